#!/bin/bash
# Installs Nexolan into a temporary prefix and runs the installed program
# through its launcher on the PATH, from another folder: its command-line
# test of the server list beside it. The end-to-end test starts the window.
#
#   tst_install.sh CMAKE BUILD_DIR
set -u
cmake=$1
build=$2
fail() { echo "FAIL: $*" >&2; exit 1; }

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
prefix=$tmp/prefix
"$cmake" --install "$build" --prefix "$prefix" >/dev/null || fail "cmake --install failed"

for file in bin/nexolan lib/nexolan/nexolan lib/nexolan/nexolan.dat share/applications/net.torvik.nexolan.desktop \
    share/icons/hicolor/16x16/apps/nexolan.png share/icons/hicolor/32x32/apps/nexolan.png \
    share/icons/hicolor/scalable/apps/nexolan.svg; do
    [ -s "$prefix/$file" ] || fail "not installed: $file"
done
[ -e "$build/nexolan-messenger-x64.exe" ] && ! [ -s "$prefix/lib/nexolan/nexolan-messenger-x64.exe" ] && fail "no helper"
! command -v desktop-file-validate >/dev/null || desktop-file-validate "$prefix/share/applications/net.torvik.nexolan.desktop" ||
    fail "the desktop entry is not valid"

# The installed launcher, run from another folder, finds the program and the
# server list beside it: the command-line test of that list prints one row
# for each of the bundled list's three servers (all on loopback). Exit status
# 2 would mean it found no list.
(cd / && PATH="$prefix/bin:$PATH" XDG_CONFIG_HOME="$tmp/config" nexolan --test-list --csv --timeout 2) >"$tmp/out"
status=$?
[ "$status" = 0 ] || [ "$status" = 1 ] || fail "the installed program's list test ended with status $status"
head -n 1 "$tmp/out" | grep -qx 'host,ip,port,connection,response,rating,reply' || fail "no table header: $(head -n 1 "$tmp/out")"
[ "$(wc -l <"$tmp/out")" = 4 ] || fail "not the bundled list's three servers: $(cat "$tmp/out")"
echo "installed and started: launcher, program, server list, helper, desktop entry, icons"
