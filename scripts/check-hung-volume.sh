#!/usr/bin/env bash
# Checks by hand, as root, what a volume that never answers does to start-up:
# a FUSE file system whose every lookup hangs is mapped as drive E: of a
# program folder whose drive D: holds the demo course. E: is examined first;
# RUZEZ must give up on it after 2 s, find the course on D:, load the
# activity's page and end at once, though the check on E: never returns.
# Not part of CI (it needs /dev/fuse); the fake probe in tst_content_root is.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/packages.sh"
ruzez_install_packages python3-fusepy
cmake --build "$root/build" -j2 --target startup_ruzez >/dev/null

work=$(mktemp -d)
mkdir -p "$work/hang" "$work/program/dosdevices"
cat >"$work/hangfs.py" <<'PY'
import stat, sys, threading
from fusepy import FUSE, Operations
class Hang(Operations):
    def getattr(self, path, fh=None):
        if path == '/':
            return dict(st_mode=stat.S_IFDIR | 0o755, st_nlink=2)
        threading.Event().wait()
    def readdir(self, path, fh):
        return ['.', '..']
FUSE(Hang(), sys.argv[1], foreground=True)
PY
/usr/bin/python3 "$work/hangfs.py" "$work/hang" >/dev/null 2>&1 &
fs=$!
cleanup() {
    # Abort the connection: every call still hanging on it returns.
    mountpoint -q /sys/fs/fuse/connections || mount -t fusectl none /sys/fs/fuse/connections
    local device
    device=$(stat -c %d "$work/hang" 2>/dev/null || true)
    [ -n "$device" ] && [ -e "/sys/fs/fuse/connections/$device/abort" ] && echo 1 >"/sys/fs/fuse/connections/$device/abort"
    kill -9 "$fs" 2>/dev/null || true
    umount -l "$work/hang" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
for _ in $(seq 50); do mountpoint -q "$work/hang" && break; sleep 0.1; done

ln -s "$work/hang/volume" "$work/program/dosdevices/e:"
ln -s "$root/demo/disc" "$work/program/dosdevices/d:"
python3 - "$work/program/TEMPO.SZK" <<'PY'
import sys
data = bytearray(26 * 128)
data[25 * 128:25 * 128 + 4] = (2).to_bytes(2, 'little') + b'21'
open(sys.argv[1], 'wb').write(data)
PY

start=$(date +%s%N)
out=$(cd "$work" && QT_QPA_PLATFORM=offscreen QTWEBENGINE_DISABLE_SANDBOX=1 RUZEZ_T0_NS=$start \
      timeout 30 "$root/build/benchmarks/startup_ruzez" "$work/program" 'presentair.html#CO2' 2>/dev/null || true)
ended=$((($(date +%s%N) - start) / 1000000))
page=$(echo "$out" | grep -o 'elapsed_ms=[0-9]*' | cut -d= -f2)
echo "activity page after ${page:-never} ms; program ended after $ended ms"
[ -n "$page" ] && [ "$page" -ge 2000 ] && [ "$ended" -lt 20000 ]
