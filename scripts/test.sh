#!/usr/bin/env bash
# Installs what is missing, builds in build/ and runs every test.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/packages.sh"

ruzez_install_packages
ruzez_build "$root"
cd "$root/build"
ctest --output-on-failure -j"$(nproc)" "$@"
