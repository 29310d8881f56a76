#!/bin/bash
# Lays out the Flash player pages use (Ruffle's self-hosted web build) in
# DEST, from the npm package at the version pinned below. Run by the build,
# never by the program: RUZEZ fetches nothing at run time. The package is
# kept in CACHE so that a rebuild needs no network.
# Usage: fetch-ruffle.sh DEST CACHE
set -euo pipefail

readonly RUFFLE_PACKAGE=@ruffle-rs/ruffle
readonly RUFFLE_VERSION=0.6.0
# The package's sha512 integrity as the registry states it for 0.6.0.
readonly RUFFLE_INTEGRITY=sha512-P2X1zDENBoiLt2ZjPcsUzaDxoR7fVF2e1U/bi7hbIAQEjkykxljSoG8AgbywHvlVVzL9Y5tIZMRqDwIm31jgPA==

dest=$1
cache=$2
tarball=$cache/ruffle-rs-ruffle-$RUFFLE_VERSION.tgz

if [ ! -f "$tarball" ]; then
    mkdir -p "$cache"
    command -v npm >/dev/null || { echo "fetch-ruffle: npm is missing (scripts/packages.sh installs it)" >&2; exit 1; }
    (cd "$cache" && npm pack --silent "$RUFFLE_PACKAGE@$RUFFLE_VERSION" >/dev/null)
fi
actual="sha512-$(openssl dgst -sha512 -binary "$tarball" | base64 -w0)"
if [ "$actual" != "$RUFFLE_INTEGRITY" ]; then
    echo "fetch-ruffle: $tarball is not the pinned package" >&2
    rm -f "$tarball"
    exit 1
fi

# Only what the player needs, with its licences; no source maps.
rm -rf "$dest"
mkdir -p "$dest"
tar -xzf "$tarball" -C "$dest" --strip-components=1 --wildcards \
    'package/*.js' 'package/*.wasm' 'package/LICENSE_*' 'package/package.json'
touch "$dest"
