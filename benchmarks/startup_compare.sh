#!/usr/bin/env bash
# Start-up of RUZEZ on the demo course's activity 21 against a bare
# QWebEngineView loading the same page, in one run:
#   benchmarks/startup_compare.sh [RUNS]
# Prints both medians (launch to the page's completed load) and their ratio.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-7}
cmake --build "$root/build" -j2 --target startup_ruzez bare_view >/dev/null

folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
mkdir -p "$folder/dosdevices"
ln -s "$root/demo/disc" "$folder/dosdevices/d:"
# Record 26 of the exchange file: activity 21.
python3 - "$folder/TEMPO.SZK" <<'PY'
import sys
data = bytearray(26 * 128)
data[25 * 128:25 * 128 + 4] = (2).to_bytes(2, 'little') + b'21'
open(sys.argv[1], 'wb').write(data)
PY

page="$root/demo/disc/re2rira/air/presentair.html#CO2"
ruzez_out=$("$root/benchmarks/startup.sh" -n "$runs" "$root/build/benchmarks/startup_ruzez" "$folder" "presentair.html#CO2")
bare_out=$("$root/benchmarks/startup.sh" -n "$runs" "$root/build/benchmarks/bare_view" "$page")
echo "$ruzez_out"
echo "$bare_out"
r=$(echo "$ruzez_out" | sed -n 's/^median of .* runs: \([0-9]*\) ms.*/\1/p')
b=$(echo "$bare_out" | sed -n 's/^median of .* runs: \([0-9]*\) ms.*/\1/p')
echo "ratio ruzez / bare view: $(awk -v r="$r" -v b="$b" 'BEGIN { printf "%.2f", r / b }') (target: at most 1.5)"
