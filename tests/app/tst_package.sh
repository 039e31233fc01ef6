#!/bin/bash
# Packs the build tree into a Debian package, in a temporary folder, and
# checks how it installs the server list: as /etc/nexolan/nexolan.dat,
# declared a conffile (so that dpkg keeps a changed list on upgrade), with a
# link beside the program, where the program reads it.
#
#   tst_package.sh CPACK BUILD_DIR
set -u
cpack=$1
build=$2
fail() { echo "FAIL: $*" >&2; exit 1; }

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
"$cpack" -G DEB -B "$tmp" --config "$build/CPackConfig.cmake" >"$tmp/cpack.log" 2>&1 ||
    { cat "$tmp/cpack.log"; fail "cpack failed"; }
deb=$(ls "$tmp"/nexolan_*.deb)

[ "$(dpkg-deb --info "$deb" conffiles)" = /etc/nexolan/nexolan.dat ] || fail "the list is not the only conffile"
dpkg-deb --contents "$deb" >"$tmp/contents"
grep -q '^-rw-r--r-- root/root .* \./etc/nexolan/nexolan\.dat$' "$tmp/contents" || fail "no list in /etc/nexolan"
grep -q ' \./usr/lib/nexolan/nexolan\.dat -> /etc/nexolan/nexolan\.dat$' "$tmp/contents" ||
    fail "no link beside the program"
dpkg-deb --fsys-tarfile "$deb" | tar -xO ./etc/nexolan/nexolan.dat | cmp -s - "$build/nexolan.dat" ||
    fail "the packaged list is not the bundled one"
echo "packaged: /etc/nexolan/nexolan.dat a conffile, linked from /usr/lib/nexolan"
