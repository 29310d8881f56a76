#!/usr/bin/env bash
# Measures start-up time: runs a program several times and prints the median
# of the "elapsed_ms=<n>" figure each run prints (time from launch to the
# first page loaded). Each run gets RUZEZ_T0_NS, the launch time in ns.
#
#   benchmarks/startup.sh [-n RUNS] [PROGRAM [ARGS...]]
#
# Without a program: the bare QWebEngineView on the demo start page.
# Builds bare_view when it is missing. Runs headless when there is no display.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=7
if [ "${1:-}" = "-n" ]; then runs=$2; shift 2; fi

if [ $# -eq 0 ]; then
    bare="$root/build/benchmarks/bare_view"
    if [ ! -x "$bare" ]; then
        cmake -S "$root" -B "$root/build" >/dev/null
        cmake --build "$root/build" -j2 --target bare_view >/dev/null
    fi
    set -- "$bare" "$root/demo/disc/re2rira/partages/index.html"
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
    [ "$(id -u)" -eq 0 ] && export QTWEBENGINE_DISABLE_SANDBOX=1
fi

times=()
for ((i = 1; i <= runs; i++)); do
    out=$(RUZEZ_T0_NS=$(date +%s%N) "$@" 2>/dev/null | grep -o 'elapsed_ms=[0-9]*' | tail -n1 || true)
    ms=${out#elapsed_ms=}
    if [ -z "$ms" ]; then
        echo "run $i: no elapsed_ms printed" >&2
        continue
    fi
    echo "run $i: $ms ms"
    times+=("$ms")
done

[ ${#times[@]} -gt 0 ] || { echo "no run gave a figure" >&2; exit 1; }
median=$(printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : int((a[NR/2] + a[NR/2+1]) / 2)}')
echo "median of ${#times[@]} runs: $median ms ($(basename "$1"))"
