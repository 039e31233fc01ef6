#!/usr/bin/env bash
# Runs tst_win32.exe under Wine, then the helper's commands as Nexolan runs them, with the
# stand-in as msnmsgr.exe. Usage: run-wine-tests.sh <directory of the x86_64 programs> [prefix]
# Exit status 0 when all passed, 1 on a failure, 77 when there is no 64-bit Wine.
set -uo pipefail
here=$(dirname "$0")
source "$here/wine-env.sh"
[[ -n $wine64 ]] || { echo "No 64-bit Wine (wine64): Win32 tests skipped"; exit 77; }
bin=$(cd "${1:?usage: run-wine-tests.sh <program directory> [prefix]}" && pwd)
export WINEPREFIX
WINEPREFIX=$("$here/wine-prefix.sh" "${2:-$bin/wine-prefix}") || { echo "cannot make the Wine prefix"; exit 1; }
trap 'timeout 30 "$wineserver" -k 2>/dev/null' EXIT

passed=0 failed=0
check() { if "${@:2}"; then ((++passed)); else ((++failed)); echo "FAIL: $1"; fi; } # check <what> <command...>
hex() { printf %s "$1" | od -An -v -tx1 | tr -d ' \n'; }
work=$WINEPREFIX/drive_c/nexolan-test
rm -rf "$work" && mkdir -p "$work/scratch" && cp "$bin/msnmsgr-standin.exe" "$work/msnmsgr.exe"
# Output to files: a pipe stays open until Wine's services end, ~2 s later.
run() { timeout "${limit:-60}" "$wine64" "$@" >"$work/out" 2>"$work/err"; }
helper() { run "$bin/nexolan-messenger.exe" "$@"; }
reads() { helper read "$1" && [[ $(<"$work/out") == "$2" ]]; }
# fails <status> <text> <helper arguments...>: the helper ends so, with one error line holding text
fails() { helper "${@:3}"; [[ $? == "$1" && $(wc -l <"$work/err") == 1 ]] && grep -qF -- "$2" "$work/err"; }

limit=300 run "$bin/tst_win32.exe" 'C:\nexolan-test\msnmsgr.exe' 'C:\nexolan-test\scratch'
tr -d '\r' <"$work/out"
read -r p _ f _ < <(tr -d '\r' <"$work/out" | tail -n 1)
[[ $p =~ ^[0-9]+$ && $f =~ ^[0-9]+$ ]] || { p=0 f=1; echo "FAIL: tst_win32.exe did not finish"; }
passed=$((passed + p)) failed=$((failed + f))

key='HKEY_CURRENT_USER\Software\NexolanHelperTest'
run reg delete "$key" /f # so that writing has to make the key
for text in 'Süd Сервер 中文;10.0.0.1:1863' ''; do
    check "helper write '$text'" helper write "$key\\Server" "$(hex "$text")"
    check "helper read '$text'" reads "$key\\Server" "text $(hex "$text")"
done
run reg add "$key" /v Port /t REG_DWORD /d 1863 /f
check "helper read DWORD" reads "$key\\Port" "number 1863"

# Sign-out: cold wineserver and no client, then against the running stand-in.
timeout 30 "$wineserver" -k; timeout 30 "$wineserver" -w
check "helper signout without a client" fails 1 'Class not registered' signout
timeout 30 "$wineserver" -w
rm -f "$work/scratch"/*.txt
timeout 120 "$wine64" "$work/msnmsgr.exe" --record 'C:\nexolan-test\scratch\record.txt' \
    --ready 'C:\nexolan-test\scratch\ready.txt' --stop 'C:\nexolan-test\scratch\stop.txt' --seconds 90 \
    >"$work/standin.log" 2>&1 &
standin=$!
for _ in $(seq 200); do [[ -e $work/scratch/ready.txt ]] && break; sleep 0.1; done
check "helper signout" helper signout
check "one record line" test "$(cat "$work/scratch/record.txt" 2>/dev/null)" = Signout
touch "$work/scratch/stop.txt"
check "stand-in stops" wait "$standin"
echo "$passed passed, $failed failed"
[[ $failed == 0 ]]
