#!/usr/bin/env bash
# Runs the Win32 tests under Wine in a throwaway prefix (made once per build
# tree by wine-prefix.sh): tst_win32.exe, then the helper program's commands
# as Nexolan runs them, against the Messenger stand-in installed in the prefix
# as msnmsgr.exe. Prints the time a sign-out takes with a cold and a warm
# wineserver. Ends the prefix's wineserver whatever happens.
# Usage: run-wine-tests.sh <directory of the x86_64 programs> [prefix]
# Exit status 0 when all passed, 1 on a failure, 77 when there is no 64-bit Wine.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-env.sh"
if [[ -z $wine64 ]]; then
    echo "No 64-bit Wine (wine64): Win32 tests skipped"
    exit 77
fi
bin=$(cd "${1:?usage: run-wine-tests.sh <program directory> [prefix]}" && pwd)
export WINEPREFIX
WINEPREFIX=$("$here/wine-prefix.sh" "${2:-$bin/wine-prefix}") || { echo "cannot make the Wine prefix"; exit 1; }
trap 'timeout 30 "$wineserver" -k 2>/dev/null' EXIT

passed=0 failed=0
check() { # check <what> <command...>: counts and reports one check
    local what=$1; shift
    if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAIL: $what"; fi
}
millis() { echo $(($(date +%s%N) / 1000000)); }
runs_as() { pgrep -x -P "$1" "$2" >/dev/null; } # runs_as <parent pid> <process name>
hex() { printf %s "$1" | od -An -v -tx1 | tr -d ' \n'; }

# The stand-in lives in the prefix under the client's own name.
work=$WINEPREFIX/drive_c/nexolan-test
scratch=$work/scratch
rm -rf "$work" && mkdir -p "$scratch"
cp "$bin/msnmsgr-standin.exe" "$work/msnmsgr.exe"

# Output goes to files: a pipe would stay open until the session's services,
# which inherit it, end about 2 s after the last program.
run() { timeout "${limit:-60}" "$wine64" "$@" >"$work/out" 2>"$work/err"; }
helper() { run "$bin/nexolan-messenger.exe" "$@"; }
reads() { helper read "$1" && [[ $(<"$work/out") == "$2" ]]; }
fails() { # fails <status> <text> <helper arguments...>: that status and one line of error text holding text
    local status=$1 text=$2; shift 2
    helper "$@"
    [[ $? == "$status" && $(wc -l <"$work/err") == 1 ]] && grep -qF -- "$text" "$work/err"
}

# The test program prints its own count as its last line.
limit=300 run "$bin/tst_win32.exe" 'C:\nexolan-test\msnmsgr.exe' 'C:\nexolan-test\scratch'
tr -d '\r' <"$work/out"
read -r p _ f _ < <(tr -d '\r' <"$work/out" | tail -n 1)
[[ $p =~ ^[0-9]+$ && $f =~ ^[0-9]+$ ]] || { p=0 f=1; echo "FAIL: tst_win32.exe did not finish"; }
passed=$((passed + p)) failed=$((failed + f))

# Registry through the helper: text round trip as UTF-8 hex, DWORD as a number.
key='HKEY_CURRENT_USER\Software\NexolanHelperTest'
for text in 'Süd;10.0.0.1:1863' 'Сервер 中文' '1863' ''; do
    check "helper write '$text'" helper write "$key\\Server" "$(hex "$text")"
    check "helper read '$text'" reads "$key\\Server" "text $(hex "$text")"
done
run reg add "$key" /v Port /t REG_DWORD /d 1863 /f
check "helper read DWORD" reads "$key\\Port" "number 1863"
check "helper read missing" fails 1 'does not exist' read "$key\\Missing"
check "helper write rejects broken UTF-8" fails 1 'not hex of UTF-8' write "$key\\Server" c3
check "helper rejects an unknown command" fails 2 usage frobnicate

# Sign-out: cold (no wineserver, so no client either), then warm against the
# stand-in, which starts a session of its own as the client would.
timeout 30 "$wineserver" -k
timeout 30 "$wineserver" -w
begin=$(millis)
check "helper signout without a client" fails 1 'Class not registered' signout
echo "signout, cold wineserver, no client: $(($(millis) - begin)) ms: $(<"$work/err")"
timeout 30 "$wineserver" -w

rm -f "$scratch"/*.txt # left by tst_win32.exe
timeout 120 "$wine64" "$work/msnmsgr.exe" --record 'C:\nexolan-test\scratch\record.txt' \
    --ready 'C:\nexolan-test\scratch\ready.txt' --stop 'C:\nexolan-test\scratch\stop.txt' --seconds 90 \
    >"$work/standin.log" 2>&1 &
standin=$!
for _ in $(seq 200); do [[ -e $scratch/ready.txt ]] && break; sleep 0.1; done
check "stand-in ready" test -e "$scratch/ready.txt"
# Nexolan tells a running client by the process name the stand-in runs under.
check "stand-in runs as msnmsgr.exe" runs_as "$standin" msnmsgr.exe
times=()
for call in 1 2 3; do
    begin=$(millis)
    check "helper signout $call" helper signout
    times+=("$(($(millis) - begin)) ms")
done
echo "signout, warm wineserver, client running: ${times[*]}"
check "one record line per sign-out" test "$(cat "$scratch/record.txt" 2>/dev/null)" = $'Signout\nSignout\nSignout'
touch "$scratch/stop.txt"
check "stand-in stops" wait "$standin"

echo "$passed passed, $failed failed"
[[ $failed == 0 ]]
