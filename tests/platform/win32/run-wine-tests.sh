#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The helper program under Wine: the registry through it as Nexolan uses it. Usage: run-wine-tests.sh <directory of
# the x86_64 programs> [prefix]. Exit status 0 when all passed, 1 on a failure, 77 without 64-bit Wine.
set -uo pipefail
here=$(dirname "$0")
source "$here/wine-env.sh"
[[ -n $wine64 ]] || { echo "No 64-bit Wine (wine64): Win32 tests skipped"; exit 77; }
bin=$(cd "${1:?usage: run-wine-tests.sh <program directory> [prefix]}" && pwd)
export WINEPREFIX
WINEPREFIX=$("$here/wine-prefix.sh" "${2:-$bin/wine-prefix}") || { echo "cannot make the Wine prefix"; exit 1; }
trap 'timeout 30 "$wineserver" -k 2>/dev/null' EXIT
work=$WINEPREFIX/drive_c/nexolan-test
rm -rf "$work" && mkdir -p "$work" && cp "$bin/msnmsgr-standin.exe" "$work/msnmsgr.exe"
run() { timeout 60 "$wine64" "$@" >"$work/out" 2>"$work/err"; } # to files: a pipe stays open ~2 s more
passed=0 failed=0
# helper <status> <its output, or a piece of its one line of error> <arguments...>; again if Wine ends it silently
helper() {
    for _ in 1 2; do run "$bin/nexolan-messenger.exe" "${@:3}"; status=$?
        ((status == 0)) || [[ -s $work/err ]] && break; done
    if ((status)); then [[ $(wc -l <"$work/err") == 1 ]] && grep -qF "$2" "$work/err"
    else [[ $(<"$work/out") == "$2" ]]; fi
    if (($? == 0 && status == $1)); then ((++passed)); else ((++failed)); echo "FAIL: helper ${*:3:2}"; fi
}
hex() { printf %s "$1" | od -An -v -tx1 | tr -d ' \n'; }
key='HKCU\Software\NexolanTest'
run reg delete "$key" /f # so that writing has to make the key
timeout 30 "$wineserver" -k; timeout 30 "$wineserver" -w # then other kinds into user.reg, and a server that stays:
printf '%s\n' '' '[Software\\NexolanTest\\Raw] 0' '"Port"=dword:00000747' '"Binary"=hex:01,02,03' \
    '"Unterminated"=hex(1):61,00,62,00,63,00' >>"$WINEPREFIX/user.reg" && timeout 30 "$wineserver" -p
# Written, then read back; tst_wineprefix writes Messenger's own value through the helper, non-ASCII text too.
for value in 'Text\Digits=1863' 'Text\Empty=' "Text\\Long=$(printf %5000s | tr ' ' x)"; do
    helper 0 "text $(hex "${value#*=}")" write "$key\\${value%%=*}" "$(hex "${value#*=}")"
    helper 0 "text $(hex "${value#*=}")" read "$key\\${value%%=*}"
done
# Wine's own view of a written value: a plain string (REG_SZ), which is what
# Messenger reads; REG_EXPAND_SZ would read back as text through the helper too.
run reg query "$key\\Text" /v Digits
if tr -d '\r' <"$work/out" | grep -qE '^ +Digits +REG_SZ +1863$'; then ((++passed)); else ((++failed))
    echo "FAIL: the helper did not write a REG_SZ value"; fi
helper 0 "number 1863"$'\n'"text $(hex abc)" read "$key\\Raw\\Port" "$key\\Raw\\Unterminated" # one call, two values
helper 1 'neither text nor a number' read "$key\\Raw\\Binary"
helper 1 "value $key\\Raw\\Missing does not exist" read "$key\\Raw\\Missing"
helper 1 "key $key\\Missing does not exist" read "$key\\Missing\\Server"
helper 1 'does not start with' read 'HKEY_NOWHERE\Software\Server'
# Nexolan asks for a sign-out only while the client runs; one that has just quit fails and says so, and a
# client that refuses (the stand-in, registered as Messenger's class) gives its own reason.
helper 1 'Messenger: reaching the running client failed' signout
run "$work/msnmsgr.exe" /register
timeout 60 "$wine64" "$work/msnmsgr.exe" --refuse --record 'C:\nexolan-test\record' --ready 'C:\nexolan-test\ready' \
    >/dev/null 2>&1 &
for _ in {1..300}; do [[ -e $work/ready ]] && break; sleep 0.1; done
helper 1 'calling Signout failed: Exception occurred (0x80020009): Not signed in' signout
echo "$passed passed, $failed failed"
[[ $failed == 0 ]]
