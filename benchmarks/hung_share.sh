#!/usr/bin/env bash
# How long the window stops answering after each action, and how long the program takes to end,
# when the course disc or the program folder is on a share that hangs (as root: it mounts a FUSE
# file system; Xvfb, openbox and xdotool as scripts/packages.sh installs them). The figures come
# from tst_hung_share; -1 means "not within 8 s", that is, until the share answers again.
# Usage: benchmarks/hung_share.sh [PROGRAM]   (default: the build's ruzez; give an older one to compare)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
program=${1:-$root/build/program/ruzez}
cmake --build "$root/build" -j2 --target tst_hung_share ruzez >/dev/null
RUZEZ_PROGRAM_UNDER_TEST=$program QT_QPA_PLATFORM=offscreen QTWEBENGINE_DISABLE_SANDBOX=1 \
    "$root/build/tests/shell/tst_hung_share" 2>/dev/null | grep -E '^QINFO' | sed 's/^QINFO *: TestHungShare:://' || true
