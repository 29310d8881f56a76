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

# Wine, its 32-bit half, the Windows cross-compilers, a headless X server and
# a way to press the close button.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    [ "$(id -u)" -eq 0 ] && dpkg --add-architecture i386 || sudo dpkg --add-architecture i386
fi
ruzez_install_packages wine wine32:i386 wine64 gcc-mingw-w64-i686 gcc-mingw-w64-x86-64 xvfb xauth xdotool
[ -x "$root/build/program/ruzez" ] && [ -x "$root/build/program/ruzez-course" ] || ruzez_build "$root"

work=$(mktemp -d)
xvfb_pid=
cleanup() {
    WINEPREFIX="$work/prefix" "$wineserver" -k 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}

# The course's program is 32-bit. A kernel without IA-32 emulation (some
# virtual machines) cannot run 32-bit code at all: there the stand-in is
# built for 64-bit Windows, which goes through the same Wine paths.
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
    wine=/usr/lib/wine/wine wineserver=/usr/lib/wine/wineserver32 cc=i686-w64-mingw32-gcc
    export WINEARCH=win32
else
    echo "test-wine: this kernel cannot run 32-bit programs; the stand-in is built for 64-bit Windows"
    wine=/usr/lib/wine/wine64 wineserver=/usr/lib/wine/wineserver64 cc=x86_64-w64-mingw32-gcc
    export WINEARCH=win64
fi
trap cleanup EXIT

display=:$((90 + RANDOM % 900))
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=$display WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# Wine hands the browser its environment but for QT_* variables; this one goes through.
[ "$(id -u)" -eq 0 ] && export QTWEBENGINE_DISABLE_SANDBOX=1
unset QT_QPA_PLATFORM

"$cc" -O2 -Wall -o "$work/standin.exe" "$root/tests/wine/standin/standin.c"
start=$(date +%s)
"$wine" wineboot -i >/dev/null 2>&1
echo "test-wine: fresh prefix in $(($(date +%s) - start)) s"

# Presses "&Fermer" once the activity's page is shown.
close_window() {
    local window
    window=$(timeout 60 xdotool search --sync --onlyvisible --name "^RUZEZ - L'air et ses polluants" | head -n1)
    [ -n "$window" ] || return 1
    xdotool windowfocus --sync "$window"
    xdotool key --clearmodifiers alt+f
}

# run_case NAME HOW: runs the stand-in from the course folder and checks its report.
run_case() {
    local name=$1 how=$2 folder="$WINEPREFIX/drive_c/Cours ZK"
    (cd "$folder" && timeout 90 "$wine" standin.exe "$how" 60 >"$work/$name.log" 2>/dev/null) &
    local standin=$!
    close_window || echo "test-wine: $name: no RUZEZ window" >>"$work/$name.log"
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
