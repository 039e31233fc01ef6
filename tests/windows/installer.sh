#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows setup and the program it installs, under Wine in a throwaway
# copy of a fresh prefix, on the display in $DISPLAY, driven with xdotool: a
# silent install into a folder of the user's choice; the program started from
# its Start menu shortcut beside a running Messenger stand-in, where "Use this
# server" on the last row signs Messenger out and sets its Server value; a
# setup refused while it runs; its end on WM_CLOSE; an upgrade over a changed
# server list; a silent uninstall.
# Usage: installer.sh <build dir>  (the setup lies in <build dir>/package/)
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/tests/platform/win32/wine-env.sh"
build=$(cd "${1:?usage: installer.sh <build dir>}" && pwd)
setup=$(ls "$build"/package/nexolan-*-setup.exe 2>/dev/null | tail -n 1)
[[ -f $setup ]] || { echo "FAIL: no setup in $build/package"; exit 1; }
version=$(basename "$setup" | sed 's/^nexolan-\([0-9.]*\)-.*/\1/')
template=$("$root/tests/platform/win32/wine-prefix.sh" "$build/wine-prefix-setup") || exit 1
export WINEPREFIX=$build/wine-prefix-setup-run
rm -rf "$WINEPREFIX" && cp -a "$template" "$WINEPREFIX" || exit 1
work=$WINEPREFIX/drive_c/nexolan-test
trap 'touch "$work/stop"; timeout 30 "$wineserver" -k 2>/dev/null; rm -rf "$WINEPREFIX"' EXIT
timeout 30 "$wineserver" -p # one server for all the calls below, ended by the trap

dir_windows='C:\Apps\Nexolan'
dir=$WINEPREFIX/drive_c/Apps/Nexolan
profile=$WINEPREFIX/drive_c/users/$(id -un)
shortcut=$profile/AppData/Roaming/Microsoft/Windows/Start\ Menu/Programs/Nexolan.lnk
# Wine links the profile's desktop to the home folder: a folder of its own
# instead, so that nothing here reaches the home.
rm -f "$profile/Desktop" && mkdir "$profile/Desktop" "$work" || exit 1
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Nexolan'
failed=0
check() { "${@:2}" || { echo "FAIL: $1"; failed=1; }; }
within() { local end=$((SECONDS + $1)); until "${@:2}"; do ((SECONDS < end)) || return 1; sleep 0.1; done; } # within <seconds> <command...>
wine() { timeout 120 "$wine64" "$@" >"$work/out" 2>&1; } # to a file: Wine's services keep a pipe open
reg_value() { tr -d '\r' <"$work/out" | sed -n "s/^ *$1 *REG_[A-Z_]* *//p"; } # <name>'s data, from reg query
reg_is() { wine reg query "$1" /v "$2" && [[ $(reg_value "$2") =~ ^$3$ ]]; } # reg_is <key> <name> <pattern of its data>
fails() { ! "$@"; }
shown() { main=$(xdotool search --onlyvisible --name '^Nexolan - By Torvik$' 2>/dev/null | head -n 1) && [[ -n $main ]]; }

check "silent install exits 0" wine "$setup" /S "/D=$dir_windows"
for file in nexolan.exe nexolan.dat README.txt LICENSE.txt uninstall.exe; do check "installed: $file" test -s "$dir/$file"; done
check "the bundled list installed" cmp -s "$root/data/nexolan.dat" "$dir/nexolan.dat"
check "no desktop shortcut unless asked for" test ! -e "$profile/Desktop/Nexolan.lnk"
values() { tr -d '\r' <"$work/out" | sed -n 's/^ *\([A-Za-z]*\) *REG_[A-Z_]* *\(.*\)$/\1=\2/p' | grep -v ^EstimatedSize= | sort; } # sorted name=data
check "Uninstall values" diff - <(wine reg query "$key" && values) <<EOF
DisplayIcon=$dir_windows\\nexolan.exe,0
DisplayName=Nexolan
DisplayVersion=$version
InstallLocation=$dir_windows
NoModify=0x1
NoRepair=0x1
Publisher=Torvik
QuietUninstallString="$dir_windows\\uninstall.exe" /S
UninstallString="$dir_windows\\uninstall.exe"
EOF
check "Uninstall value EstimatedSize" test $(($(reg_value EstimatedSize))) -gt 0

# A user who has had the first-run notice, Messenger running on the list's
# first server. The shortcut starts the installed program.
settings='HKCU\Software\VB and VBA Program Settings\Nexolan\Main'
wine reg add "$settings" /v Opened /d 1 /f
wine reg add 'HKCU\Software\Microsoft\MSNMessenger' /v Server /d 'localhost;127.0.0.1:1863' /f
cp "$build/msnmsgr-standin.exe" "$work/msnmsgr.exe"
check "the stand-in registers" wine "$work/msnmsgr.exe" /register
timeout 120 "$wine64" 'C:\nexolan-test\msnmsgr.exe' --record 'C:\nexolan-test\record' \
    --ready 'C:\nexolan-test\ready' --stop 'C:\nexolan-test\stop' --seconds 110 >/dev/null 2>&1 &
check "the stand-in is ready" within 20 test -e "$work/ready"
timeout 120 "$wine64" start /unix "$shortcut" >/dev/null 2>&1
within 60 shown || { echo "FAIL: the installed program does not start from its shortcut"; exit 1; }
sleep 1
eval "$(xdotool getwindowgeometry --shell "$main")"
# The last row (End in the list, which has the focus), then "Use this server",
# at 392,256 (81x25) in the 304-pixel client area below the menu bar.
xdotool key --window "$main" End 2>/dev/null; sleep 0.3 # xdotool misreads the focus without a window manager
xdotool mousemove --window "$main" 432 $((HEIGHT - 304 + 268)) click 1 2>/dev/null
check "Messenger signed out" within 10 grep -qsx Signout "$work/record"
check "the server switched" within 10 reg_is 'HKCU\Software\Microsoft\MSNMessenger' Server '127.0.0.1:1864'
check "the launch counted" reg_is "$settings" Opened 2

# A setup while Nexolan runs changes nothing.
printf 'mine;10.0.0.1;1863\r\n' >>"$dir/nexolan.dat"
check "a silent setup while Nexolan runs fails" fails wine "$setup" /S
check "... and writes no new list" test ! -e "$dir/nexolan.dat.new"
wine taskkill /im nexolan.exe
check "the program ends on WM_CLOSE" within 10 fails shown

# An upgrade goes where the earlier install went and keeps the changed list.
check "upgrade exits 0" wine "$setup" /S
check "upgrade keeps the changed list" grep -q '^mine;' "$dir/nexolan.dat"
check "upgrade puts the bundled list beside it" cmp -s "$root/data/nexolan.dat" "$dir/nexolan.dat.new"

# The silent uninstall runs as Settings > Apps runs it: from a copy of itself,
# while the started one ends at once. Its last step removes the key.
check "silent uninstall starts" wine "$dir/uninstall.exe" /S
check "silent uninstall removes the Uninstall key" within 60 fails wine reg query "$key"
for file in "$dir"/{nexolan.exe,README.txt,LICENSE.txt,uninstall.exe,nexolan.dat.new} "$shortcut"; do check "uninstalled: $file" test ! -e "$file"; done
check "uninstall keeps the changed list" grep -q '^mine;' "$dir/nexolan.dat"

echo "setup: $(stat -c %s "$setup") bytes; installer.sh: $([[ $failed == 0 ]] && echo passed || echo FAILED)"
exit $failed
