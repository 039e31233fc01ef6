#!/usr/bin/env bash
# The Windows program itself under Wine, on the X display in $DISPLAY (a
# virtual one from run-windows-tests.sh), driven with xdotool:
#  1. first launch, from C:\Program Files\Nexolan beside its nexolan.dat, with
#     the Messenger stand-in registered and running: the one-time notice box
#     comes up; it is photographed and answered, and the main window follows
#     (no Messenger API box);
#  2. the main window is photographed; the launch counter is 1 in the registry;
#  3. the row without a host name is clicked, then "Use this server": the
#     stand-in records the sign-out and Messenger's Server value becomes
#     127.0.0.1:1864, as `wine reg query` reports; photographed again;
#  4. closed as Windows closes programs (WM_CLOSE, by taskkill): it ends with
#     status 0;
#  5. second launch: no notice, the main window at once; the counter is 2.
# Usage: smoke.sh <build dir> <Wine prefix> <output dir for the pictures>
# Exit status 0 when all checks passed. Every wait is bounded.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
source "$root/tests/platform/win32/wine-env.sh"
usage='usage: smoke.sh <build dir> <Wine prefix> <output dir>'
build=$(cd "${1:?$usage}" && pwd)
export WINEPREFIX
WINEPREFIX=$("$root/tests/platform/win32/wine-prefix.sh" "${2:?$usage}") || exit 1
out=$(realpath -m "${3:?$usage}")
title='^Nexolan - By Torvik$'

app=$WINEPREFIX/drive_c/Program\ Files/Nexolan
work=$WINEPREFIX/drive_c/nexolan-smoke
rm -rf "$app" "$work" "$out"
mkdir -p "$app" "$work" "$out"
cp "$build/nexolan.exe" "$root/data/nexolan.dat" "$app/"
cp "$build/msnmsgr-standin.exe" "$work/msnmsgr.exe"
trap 'touch "$work/stop.txt"; timeout 30 "$wineserver" -k 2>/dev/null' EXIT

passed=0 failed=0
check() { # check <what> <command...>
    local what=$1
    shift
    if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAIL: $what"; fi
}
wait_for() { # wait_for <seconds> <command...>: until the command succeeds
    local tries=$(($1 * 10))
    shift
    until "$@"; do
        tries=$((tries - 1))
        [[ $tries -gt 0 ]] || return 1
        sleep 0.1
    done
}
# Output through files: see run-wine-tests.sh.
wine() { timeout 60 "$wine64" "$@" >"$work/out" 2>"$work/err"; }
reg_value() { # reg_value <key> <name>: the value's data as `reg query` prints it
    wine reg query "$1" /v "$2" && tr -d '\r' <"$work/out" | sed -n "s/^ *$2 *REG_[A-Z]* *//p"
}
server_is() { [[ $(reg_value 'HKCU\Software\Microsoft\MSNMessenger' Server) == "$1" ]]; }
counter_is() { [[ $(reg_value 'HKCU\Software\VB and VBA Program Settings\Nexolan\Main' Opened) == "$1" ]]; }
recorded() { [[ $(cat "$work/record.txt" 2>/dev/null) == "$1" ]]; }
windows() { xdotool search --onlyvisible --name "$title" 2>/dev/null; }
one_window() { [[ $(windows | wc -l) == 1 ]]; }
# The main window's client area is 481 pixels wide, its menu bar above it.
is_main_window() { eval "$(xdotool getwindowgeometry --shell "$1")" && [[ $WIDTH == 481 && $HEIGHT -gt 304 ]]; }
not_main_window() { ! is_main_window "$1"; }
window_gone() { ! xdotool getwindowname "$1" >/dev/null 2>&1 || [[ -z $(windows | grep -x "$1") ]]; }
shot() { import -window root "$out/$1.png"; }
# Clicks at x y of a window's client area.
click() { xdotool mousemove --window "$1" "$2" "$3" click 1; sleep 0.3; }
ended() { ! kill -0 "$1" 2>/dev/null; }

launch() { # starts the program from its own folder; sets $program
    (cd "$app" && exec timeout 120 "$wine64" 'C:\Program Files\Nexolan\nexolan.exe' \
        >"$work/nexolan.out" 2>"$work/nexolan.err") &
    program=$!
}
close_program() { # as Windows asks a program to close: WM_CLOSE to its windows
    wine taskkill /im nexolan.exe
    wait_for 20 ended "$program"
}

# A fresh user: no launch counter, Messenger set to the list's first server.
wine reg delete 'HKCU\Software\VB and VBA Program Settings\Nexolan' /f
wine reg add 'HKCU\Software\Microsoft\MSNMessenger' /v Server /d 'localhost;127.0.0.1:1863' /f
check "stand-in registers" wine "$work/msnmsgr.exe" /register
timeout 150 "$wine64" 'C:\nexolan-smoke\msnmsgr.exe' --record 'C:\nexolan-smoke\record.txt' \
    --ready 'C:\nexolan-smoke\ready.txt' --stop 'C:\nexolan-smoke\stop.txt' --seconds 140 \
    >"$work/standin.log" 2>&1 &
standin=$!
check "stand-in ready" wait_for 20 test -e "$work/ready.txt"

# 1. The notice box.
launch
check "a box comes up" wait_for 30 one_window
box=$(windows | head -n 1)
sleep 1
shot 1-notice
geometry=$(xdotool getwindowgeometry --shell "$box")
eval "$geometry"
echo "notice box: ${WIDTH}x$HEIGHT at $X,$Y"
check "the box is not the main window" not_main_window "$box"
xdotool key --window "$box" Return 2>/dev/null # xdotool misreads the focus of a window without a manager
check "the box goes" wait_for 10 window_gone "$box"

# 2. The main window.
check "the main window comes up" wait_for 30 one_window
main=$(windows | head -n 1)
check "no other box came first: the next window is the main window" is_main_window "$main"
sleep 1
shot 2-main
eval "$(xdotool getwindowgeometry --shell "$main")"
echo "main window: ${WIDTH}x$HEIGHT at $X,$Y"
check "launch counted" counter_is 1

# 3. The last row, by End in the list, which has the focus; then a click on
# "Use this server" (at 392,256, 81x25, in the client area below the menu
# bar, whose height is what the window is taller than the 304 pixels of the
# client area).
xdotool key --window "$main" End 2>/dev/null
sleep 0.3
click "$main" $((392 + 40)) $((HEIGHT - 304 + 256 + 12))
check "Messenger signed out" wait_for 10 recorded Signout
check "server switched" wait_for 10 server_is '127.0.0.1:1864'
sleep 0.5
shot 3-switched

# 4. Closed.
close_program
check "the program ends on WM_CLOSE" ended "$program"
wait "$program"
check "with status 0" test $? = 0

# 5. Second launch: straight to the main window.
launch
check "the main window comes up again" wait_for 30 one_window
check "no notice the second time: the window is the main window" is_main_window "$(windows | head -n 1)"
check "second launch counted" counter_is 2
close_program
check "the program ends again" ended "$program"

touch "$work/stop.txt"
wait "$standin"
echo "pictures: $out"
echo "$passed passed, $failed failed"
[[ $failed == 0 ]]
