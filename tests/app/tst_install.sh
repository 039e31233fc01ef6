#!/bin/bash
# Installs Nexolan into a temporary prefix and starts the installed program
# through its launcher on the PATH, from another folder, offscreen. Start-up
# opens its first message box there, which nothing answers: the program must
# still be running then, having found its server list beside itself.
#
#   tst_install.sh CMAKE BUILD_DIR
set -u
cmake=$1
build=$2
fail() { echo "FAIL: $*" >&2; exit 1; }

tmp=$(mktemp -d)
trap '[ -n "${pid:-}" ] && kill -9 "$pid" 2>/dev/null; rm -rf "$tmp"' EXIT
prefix=$tmp/prefix
"$cmake" --install "$build" --prefix "$prefix" >/dev/null || fail "cmake --install failed"

for file in bin/nexolan lib/nexolan/nexolan lib/nexolan/nexolan.dat share/applications/nexolan.desktop \
    share/icons/hicolor/16x16/apps/nexolan.png share/icons/hicolor/32x32/apps/nexolan.png \
    share/icons/hicolor/scalable/apps/nexolan.svg; do
    [ -s "$prefix/$file" ] || fail "not installed: $file"
done
[ -e "$build/nexolan-messenger-x64.exe" ] && ! [ -s "$prefix/lib/nexolan/nexolan-messenger-x64.exe" ] && fail "no helper"
! command -v desktop-file-validate >/dev/null || desktop-file-validate "$prefix/share/applications/nexolan.desktop" ||
    fail "the desktop entry is not valid"

mkdir -p "$tmp/config/Nexolan" "$tmp/runtime"
printf '[Main]\nOpened=1\n' >"$tmp/config/Nexolan/Nexolan.ini"
(cd / && PATH="$prefix/bin:$PATH" XDG_CONFIG_HOME="$tmp/config" XDG_RUNTIME_DIR="$tmp/runtime" \
    WINEPREFIX="$tmp/no-prefix" QT_QPA_PLATFORM=offscreen exec nexolan) &
pid=$!
sleep 2
kill -0 "$pid" 2>/dev/null || { wait "$pid"; fail "the installed program ended with status $?"; }
grep -q '^Opened=2' "$tmp/config/Nexolan/Nexolan.ini" && fail "counted before its first box was answered"
echo "installed and started: launcher, program, server list, helper, desktop entry, icons"
