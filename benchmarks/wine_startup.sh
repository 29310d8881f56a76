#!/usr/bin/env bash
# Start-up of RUZEZ under Wine against starting it directly, in one run:
#   benchmarks/wine_startup.sh [RUNS]      (default 9)
# Under Wine: from the stand-in main program's request to start RUZEZ.EXE
# (tests/wine/standin) to the completed load of activity 21's page, the
# browser being the startup_ruzez benchmark program behind a RUZEZ.EXE
# launcher. Directly: startup_ruzez launched from the shell, in the same folder.
# Both draw on the same Xvfb display. Prints both medians and their ratio.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-9}
source "$root/scripts/packages.sh"
source "$root/scripts/wine-common.sh"

wine_install_packages >/dev/null
cmake --build "$root/build" -j2 --target startup_ruzez >/dev/null
wine_pick_arch >/dev/null
work=$(mktemp -d)
trap 'wine_stop; rm -rf "$work"' EXIT
wine_start "$work/prefix"

folder="$WINEPREFIX/drive_c/Cours"
mkdir -p "$folder/dosdevices"
ln -s "$root/demo/disc" "$folder/dosdevices/d:"
"$cc" -O2 -o "$folder/standin.exe" "$root/tests/wine/standin/standin.c"
# The stand-in hands its request time over in RUZEZ_T0_NS; startup_ruzez
# prints the time from then to the page.
cat >"$folder/RUZEZ.EXE" <<SH
#!/bin/sh
echo "launcher_ns=\$(date +%s%N) t0_ns=\$RUZEZ_T0_NS" >>'$work/wine.log'
exec '$root/build/benchmarks/startup_ruzez' '$folder' 'presentair.html#CO2' >>'$work/wine.log' 2>/dev/null
SH
chmod +x "$folder/RUZEZ.EXE"
# As in a classroom, Wine's session (its server and services) is up before the
# main program starts the browser.
(cd "$folder" && "$wine" standin.exe stay 900 >/dev/null 2>&1) &
sleep 3

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

# Runs alternate, so the load of this shared machine weighs on both alike.
wine_times=() direct_times=()
for ((i = 1; i <= runs; i++)); do
    before=$(grep -c elapsed_ms "$work/wine.log" 2>/dev/null || true)
    (cd "$folder" && "$wine" standin.exe createprocess -8 >/dev/null 2>&1) &
    standin=$!
    for _ in $(seq 600); do
        [ "$(grep -c elapsed_ms "$work/wine.log" 2>/dev/null || true)" -gt "${before:-0}" ] && break
        sleep 0.1
    done
    ms=$(grep -o 'elapsed_ms=[0-9]*' "$work/wine.log" | tail -n1 | cut -d= -f2)
    spawn=$(grep -o 'launcher_ns=[0-9]* t0_ns=[0-9]*' "$work/wine.log" | tail -n1 | awk -F'[= ]' '{print int(($2 - $4) / 1000000)}')
    wine_times+=("$ms")
    # Let the browser and the stand-in of this run end before the next starts.
    while pgrep -f "startup_ruzez $folder" >/dev/null; do sleep 0.1; done
    wait "$standin"

    direct=$(cd "$folder" && RUZEZ_T0_NS=$(date +%s%N) "$root/build/benchmarks/startup_ruzez" "$folder" 'presentair.html#CO2' 2>/dev/null \
        | grep -o 'elapsed_ms=[0-9]*' | cut -d= -f2)
    direct_times+=("$direct")
    echo "run $i: under Wine $ms ms (Wine ran the launcher $spawn ms after the request), directly $direct ms"
done
wine_ms=$(printf '%s\n' "${wine_times[@]}" | median)
direct_ms=$(printf '%s\n' "${direct_times[@]}" | median)
echo "medians of $runs runs: under Wine $wine_ms ms, directly $direct_ms ms"
echo "ratio Wine / direct: $(awk -v w="$wine_ms" -v d="$direct_ms" 'BEGIN { printf "%.2f", w / d }') (target: at most 1.2)"
