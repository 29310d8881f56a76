#!/usr/bin/env bash
# End to end under Wine: a stand-in for the course's main Windows program
# (tests/wine/standin/standin.c, built with mingw-w64) runs in a fresh Wine
# prefix, writes activity 21 into TEMPO.SZK, starts RUZEZ.EXE (the launcher
# ruzez-course installs) from its folder, sees "OUI", and sees "NON" once the
# window is closed with its own "&Fermer" button (Alt+F), every other byte
# unchanged. Cases: the disc as dosdevices/d: of the program folder, started
# with CreateProcess; the course only on the prefix's drive E:, started with
# WinExec. Installs what it needs; expects a built tree in build/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/packages.sh"

source "$root/scripts/wine-common.sh"

wine_install_packages
[ -x "$root/build/program/ruzez" ] && [ -x "$root/build/program/ruzez-course" ] || ruzez_build "$root"
wine_pick_arch

work=$(mktemp -d)
trap 'wine_stop; rm -rf "$work"' EXIT
start=$(date +%s)
wine_start "$work/prefix"
echo "test-wine: fresh prefix in $(($(date +%s) - start)) s"

"$cc" -O2 -Wall -o "$work/standin.exe" "$root/tests/wine/standin/standin.c"
# Presses "&Fermer" once the activity's page is shown, again every 5 s while
# the window stays (a busy machine may drop a key sent too early).
close_window() {
    local window attempt
    window=$(timeout 60 xdotool search --sync --onlyvisible --name "^RUZEZ - L'air et ses polluants" | head -n1)
    [ -n "$window" ] || return 1
    for attempt in 1 2 3 4 5 6; do
        xdotool windowfocus --sync "$window" 2>/dev/null || return 0
        xdotool key --clearmodifiers alt+f
        for _ in $(seq 50); do
            xdotool getwindowname "$window" >/dev/null 2>&1 || return 0
            sleep 0.1
        done
    done
    return 1
}

# run_case NAME HOW: runs the stand-in from the course folder and checks its report.
run_case() {
    local name=$1 how=$2 folder="$WINEPREFIX/drive_c/Cours ZK"
    (cd "$folder" && timeout 90 "$wine" standin.exe "$how" 60 >"$work/$name.log" 2>/dev/null) &
    local standin=$!
    close_window || echo "test-wine: $name: the RUZEZ window did not show the activity, or did not close" >>"$work/$name.log"
    local status=0
    wait "$standin" || status=$?
    grep -E '^(requested|OUI|NON|other|byte|cannot|CreateProcess|WinExec|test-wine)' "$work/$name.log" | sed "s/^/test-wine: $name: /"
    if [ "$status" -ne 0 ]; then
        echo "test-wine: $name FAILED (stand-in exit $status)"
        return 1
    fi
    echo "test-wine: $name passed"
}

folder="$WINEPREFIX/drive_c/Cours ZK"
mkdir -p "$folder"
cp "$work/standin.exe" "$folder/"
cp "$root/build/program/environ.mdb" "$folder/"
"$root/build/program/ruzez-course" install "$folder"

failed=0
mkdir -p "$folder/dosdevices"
ln -s "$root/demo/disc" "$folder/dosdevices/d:"
run_case "disc-on-program-d" createprocess || failed=1
rm -rf "$folder/dosdevices"

mkdir -p "$work/copie"
cp -r "$root/demo/disc/re2rira" "$work/copie/"
ln -s "$work/copie" "$WINEPREFIX/dosdevices/e:"
run_case "course-on-prefix-e" winexec || failed=1

echo "test-wine: $(($(date +%s) - start)) s in all"
exit "$failed"
