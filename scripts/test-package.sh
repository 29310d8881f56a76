#!/usr/bin/env bash
# Builds the Debian package (scripts/package.sh) and judges it as a Debian
# developer would: lintian --pedantic with no error and no warning, the
# manual pages in both languages, the hardening dpkg-buildflags asks for,
# and qt6-wayland only recommended.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/packages.sh"

ruzez_install_packages lintian binutils
"$root/scripts/package.sh"
deb=$(ls -1 "$root"/build/deb/ruzez_*.deb | grep -v dbgsym | head -n1)
failed=0
fail() {
    echo "test-package: $*"
    failed=1
}

echo "test-package: lintian --pedantic $(basename "$deb")"
lintian --pedantic --display-info --fail-on error,warning "$deb" || fail "lintian found errors or warnings"

contents=$(dpkg-deb -c "$deb")
for page in ruzez ruzez-course ruzez-links; do
    for dir in man1 fr/man1; do
        grep -q "usr/share/man/$dir/$page.1.gz" <<<"$contents" || fail "no manual page $dir/$page.1"
    done
done

depends=$(dpkg-deb -f "$deb" Depends)
recommends=$(dpkg-deb -f "$deb" Recommends)
grep -q 'qt6-wayland' <<<"$depends" && fail "qt6-wayland is a hard dependency: $depends"
grep -q 'qt6-wayland' <<<"$recommends" || fail "qt6-wayland is not recommended: $recommends"

# Every compile asked for the fortified C library calls and the stack
# protector (lintian only looks for them in the binaries, where Qt leaves few);
# each command is position-independent, bound at load time, read-only after
# relocation and stripped of .comment.
commands_json="$root/build/deb/ruzez/obj-$(dpkg-architecture -qDEB_HOST_MULTIARCH)/compile_commands.json"
total=$(grep -c '"command"' "$commands_json" || true)
fortified=$(grep '"command"' "$commands_json" | grep -e '-D_FORTIFY_SOURCE=[23]' | grep -c -e '-fstack-protector-strong' || true)
[ "$total" -gt 0 ] && [ "$fortified" -eq "$total" ] || fail "$fortified of $total compiles fortified"
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
for command in ruzez ruzez-course ruzez-links; do
    binary="$unpacked/usr/bin/$command"
    readelf -h "$binary" | grep -q 'Type:.*DYN' || fail "$command is not position-independent"
    readelf -d "$binary" | grep -q 'FLAGS.*NOW' || fail "$command is not linked with -z now"
    readelf -l "$binary" | grep -q 'GNU_RELRO' || fail "$command is not linked with -z relro"
    readelf -S "$binary" | grep -q '\.comment' && fail "$command keeps its .comment section"
done

if [ "$failed" -ne 0 ]; then
    echo "test-package: FAILED"
    exit 1
fi
echo "test-package: passed"
