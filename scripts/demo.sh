#!/usr/bin/env bash
# Builds RUZEZ and starts it on the demo course, on activity N (default 21),
# as the main course program would: the activity goes into record 26 of the
# exchange file TEMPO.SZK in the program folder.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/packages.sh"
activity=${1:-21}

ruzez_install_packages
ruzez_build "$root"

program="$root/build/program"
# Record 26: 16-bit little-endian length, the text in windows-1252, zeros;
# every other byte of the file stays as it is.
python3 - "$program/TEMPO.SZK" "$activity" <<'PY'
import sys
path, text = sys.argv[1], sys.argv[2].encode('cp1252', 'replace')[:126]
try:
    data = bytearray(open(path, 'rb').read())
except FileNotFoundError:
    data = bytearray()
start = 25 * 128
data.extend(b'\0' * max(0, start + 128 - len(data)))
data[start:start + 128] = len(text).to_bytes(2, 'little') + text + b'\0' * (126 - len(text))
open(path, 'wb').write(data)
PY

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "No display (DISPLAY and WAYLAND_DISPLAY are empty): the window cannot open here." >&2
    echo "Run it under a display, or e.g. xvfb-run -a $0 $activity" >&2
fi
cd "$program"
exec ./ruzez
