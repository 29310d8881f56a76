#!/usr/bin/env bash
# Builds the Debian package from debian/ with dpkg-buildpackage, in a copy of
# the source under build/deb/ so that the tree stays clean:
# build/deb/ruzez_<version>_<arch>.deb (and its -dbgsym .ddeb). Installs the
# build dependencies debian/control names.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/packages.sh"

ruzez_install_packages dpkg-dev debhelper
out="$root/build/deb"
src="$out/ruzez"
rm -rf "$out"
mkdir -p "$src"
# The files of the tree without build products: what git knows (ignored files
# left out), or everything but build/ outside a git checkout.
if git -C "$root" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    (cd "$root" && git ls-files -z --cached --others --exclude-standard \
        | xargs -0 sh -c 'for f; do [ -e "$f" ] && printf "%s\0" "$f"; done' sh \
        | tar -c --null -T - -f -) | tar -x -C "$src"
else
    tar -c -C "$root" --exclude=./build --exclude=./.git -f - . | tar -x -C "$src"
fi

cd "$src"
if ! dpkg-checkbuilddeps 2>/dev/null; then
    sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get build-dep -y -qq "$src"
fi
# A compiler cache, where one is installed, makes a second package build
# cheap; its folder is named because debhelper gives the build a HOME of its own.
if command -v ccache >/dev/null; then
    export CMAKE_CXX_COMPILER_LAUNCHER=ccache CCACHE_DIR="${CCACHE_DIR:-$(ccache -k cache_dir)}"
fi
# The Flash player's npm package, fetched now at its pinned version into the
# source the package is built from: the package build itself fetches nothing.
ruzez_install_packages npm openssl
layout=$(mktemp -d)
"$src/scripts/fetch-ruffle.sh" "$layout/ruffle" "$src/third_party/npm-cache"
rm -rf "$layout"
export DEB_BUILD_OPTIONS="parallel=$(nproc) ${DEB_BUILD_OPTIONS:-}"
dpkg-buildpackage -us -uc -b
ls -1 "$out"/ruzez_*.deb
