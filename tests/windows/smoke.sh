#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# nexolan.exe under Wine on the display in $DISPLAY, driven with xdotool: it
# starts beside its nexolan.dat with the Messenger stand-in running; "Use this
# server" on the last row signs Messenger out and sets its Server value; it
# ends with status 0 on WM_CLOSE. Leaves smoke.png in the build dir.
# Usage: smoke.sh <build dir> <Wine prefix>
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/tests/platform/win32/wine-env.sh"
build=$(cd "${1:?usage: smoke.sh <build dir> <Wine prefix>}" && pwd)
export WINEPREFIX
WINEPREFIX=$("$root/tests/platform/win32/wine-prefix.sh" "${2:?usage: smoke.sh <build dir> <Wine prefix>}") || exit 1
app=$WINEPREFIX/drive_c/Program\ Files/Nexolan work=$WINEPREFIX/drive_c/nexolan-smoke
rm -rf "$app" "$work" && mkdir -p "$app" "$work"
cp "$build/nexolan.exe" "$root/data/nexolan.dat" "$app/" && cp "$build/msnmsgr-standin.exe" "$work/msnmsgr.exe"
trap 'touch "$work/stop"; timeout 30 "$wineserver" -k 2>/dev/null' EXIT
failed=0
check() { "${@:2}" || { echo "FAIL: $1"; failed=1; }; }
within() { for _ in $(seq $(($1 * 10))); do "${@:2}" && return; sleep 0.1; done; false; } # within <seconds> <command...>
wine() { timeout 60 "$wine64" "$@" >"$work/out" 2>&1; } # not through a pipe, which Wine's services keep open
server_is() { wine reg query 'HKCU\Software\Microsoft\MSNMessenger' /v Server && grep -q "REG_SZ *$1"$'\r' "$work/out"; }
shown() { main=$(xdotool search --onlyvisible --name '^Nexolan - By Torvik$' 2>/dev/null | head -n 1) && [[ -n $main ]]; }

# A user who has had the first-run notice, Messenger on the list's first server.
wine reg add 'HKCU\Software\VB and VBA Program Settings\Nexolan\Main' /v Opened /d 1 /f
wine reg add 'HKCU\Software\Microsoft\MSNMessenger' /v Server /d 'localhost;127.0.0.1:1863' /f
check "the stand-in registers" wine "$work/msnmsgr.exe" /register
timeout 120 "$wine64" 'C:\nexolan-smoke\msnmsgr.exe' --record 'C:\nexolan-smoke\record' \
    --ready 'C:\nexolan-smoke\ready' --stop 'C:\nexolan-smoke\stop' --seconds 110 >/dev/null 2>&1 &
check "the stand-in is ready" within 20 test -e "$work/ready"
(cd "$app" && exec timeout 60 "$wine64" 'C:\Program Files\Nexolan\nexolan.exe' >"$work/nexolan.log" 2>&1) &
program=$!
within 30 shown || { echo "FAIL: no window"; exit 1; }
sleep 1
eval "$(xdotool getwindowgeometry --shell "$main")"
# The last row (End in the list, which has the focus), then "Use this server",
# at 392,256 (81x25) in the 304-pixel client area below the menu bar.
xdotool key --window "$main" End 2>/dev/null; sleep 0.3 # xdotool misreads the focus without a window manager
xdotool mousemove --window "$main" 432 $((HEIGHT - 304 + 268)) click 1 2>/dev/null
check "Messenger signed out" within 10 grep -qsx Signout "$work/record"
check "the server switched" within 10 server_is '127.0.0.1:1864'
import -window root "$build/smoke.png"
wine taskkill /im nexolan.exe
wait "$program"
check "status 0 on WM_CLOSE" test $? = 0
echo "smoke.sh: $([[ $failed == 0 ]] && echo passed || echo FAILED)"
exit $failed
