#!/usr/bin/env bash
# Builds the Debian package build/ruzez_<version>_amd64.deb: ruzez,
# ruzez-links and ruzez-course, with their Debian dependencies declared so
# that `apt install ./ruzez_*.deb` brings everything they need.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/packages.sh"

# dpkg-shlibdeps (dpkg-dev) and file find the libraries the executables link.
ruzez_install_packages dpkg-dev file
# cpack installs what is built; it need not build the tests first.
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
cmake --build "$root/build" -j"$(nproc)" --target ruzez ruzez-links ruzez-course
cd "$root/build"
cpack -G DEB
ls -1 "$root"/build/ruzez_*_amd64.deb
