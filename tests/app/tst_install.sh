#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The two ways Nexolan is installed, in temporary folders:
# - cmake --install into a prefix: the desktop entry, the AppStream metainfo
#   and the manual page valid, and the launcher on the PATH, run from
#   another folder in Portuguese, testing the server list beside the program;
# - the build tree packed by CPack: lintian finds no error or warning (also
#   none for the list, a conffile in /etc), the versions agree, and a link
#   beside the program leads to the list.
# The package is never installed on the machine that runs the tests.
#
#   tst_install.sh CMAKE CPACK BUILD_DIR
set -u
cmake=$1
cpack=$2
build=$3
fail() { echo "FAIL: $*" >&2; exit 1; }

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
prefix=$tmp/prefix
"$cmake" --install "$build" --prefix "$prefix" >/dev/null || fail "cmake --install failed"

# The files that no check below reads.
for icon in 16x16/apps/nexolan.png 32x32/apps/nexolan.png scalable/apps/nexolan.svg; do
    [ -s "$prefix/share/icons/hicolor/$icon" ] || fail "not installed: $icon"
done
[ -e "$build/nexolan-messenger-x64.exe" ] && ! [ -s "$prefix/lib/nexolan/nexolan-messenger-x64.exe" ] && fail "no helper"
metainfo=$prefix/share/metainfo/net.torvik.nexolan.metainfo.xml
desktop-file-validate "$prefix/share/applications/net.torvik.nexolan.desktop" || fail "the desktop entry is not valid"
appstreamcli validate-tree --no-net --pedantic "$prefix" || fail "the AppStream metainfo is not valid"
man --warnings -E UTF-8 -l "$prefix/share/man/man1/nexolan.1.gz" 2>&1 >/dev/null | grep . && fail "man page warnings"

# The aligned table's header shows the translation installed. A program
# that finds no list (or does not start) prints no table at all.
(cd / && PATH="$prefix/bin:$PATH" XDG_CONFIG_HOME="$tmp/config" LANG=pt_BR.UTF-8 LC_ALL= LC_MESSAGES= LANGUAGE= \
    nexolan --test-list --timeout 2) >"$tmp/out"
head -n 1 "$tmp/out" | grep -q '^Nome do host ' || fail "no table in Portuguese: $(head -n 1 "$tmp/out")"
[ "$(wc -l <"$tmp/out")" = 4 ] || fail "not the bundled list's three servers: $(cat "$tmp/out")"

"$cpack" -G DEB -B "$tmp" --config "$build/CPackConfig.cmake" >"$tmp/cpack.log" 2>&1 || fail "$(cat "$tmp/cpack.log")"
deb=$(ls "$tmp"/nexolan_*.deb)
lintian --fail-on error,warning "$deb" 2>/dev/null || fail "lintian reports errors or warnings"
version=$(dpkg-deb --field "$deb" Version)
zcat "$prefix/share/doc/nexolan/changelog.gz" | head -n 1 | grep -q "^nexolan ($version) " ||
    fail "the changelog's last entry is not version $version"
grep -m 1 '<release ' "$metainfo" | grep -q "version=\"$version\"" || fail "the metainfo's newest release is not $version"
dpkg-deb --contents "$deb" | grep -q ' \./usr/lib/nexolan/nexolan\.dat -> /etc/nexolan/nexolan\.dat$' ||
    fail "no link beside the program"
echo "installed, started and packaged: files, desktop entry, metainfo, manual page, lintian, link"
