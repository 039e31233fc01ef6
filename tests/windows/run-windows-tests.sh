#!/usr/bin/env bash
# The tests of a Windows build tree (packaging/windows/build-windows.sh), run
# under Wine on a virtual X display of their own (xvfb-run):
#  1. the Win32 library's tests: tests/platform/win32/run-wine-tests.sh, in
#     the prefix <build dir>/wine-prefix;
#  2. the QtTest suites built for Windows, through CTest, whose emulator
#     (wine-run.sh) runs each in the prefix <build dir>/wine-prefix-qt;
#  3. the program itself in that prefix (smoke.sh), with screenshots in
#     <build dir>/smoke.
# Each prefix is made once (tests/platform/win32/wine-prefix.sh) and its
# wineserver ended at the end. Usage: run-windows-tests.sh <build dir>
# Exit status 0 when all passed, 1 otherwise, 77 without a 64-bit Wine.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
if [[ -z ${NEXOLAN_ON_XVFB:-} ]]; then
    NEXOLAN_ON_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
build=$(cd "${1:?usage: run-windows-tests.sh <build dir>}" && pwd)
source "$root/tests/platform/win32/wine-env.sh"
[[ -n $wine64 ]] || { echo "No 64-bit Wine (wine64): Windows tests skipped"; exit 77; }
prefix=$build/wine-prefix-qt
trap 'WINEPREFIX=$prefix timeout 30 "$wineserver" -k 2>/dev/null' EXIT

cmake --build "$build" --parallel "${JOBS:-$(nproc)}" || exit 1
"$root/tests/platform/win32/wine-prefix.sh" "$prefix" >/dev/null || { echo "cannot make the Wine prefix"; exit 1; }

results=() failed=0
step() { # step <name> <command...>: runs one part and notes how it went
    local name=$1 begin=$SECONDS
    shift
    echo "=== $name"
    if "$@"; then
        results+=("passed: $name ($((SECONDS - begin)) s)")
    else
        results+=("FAILED: $name ($((SECONDS - begin)) s)")
        failed=1
    fi
}
step "Win32 library tests" "$root/tests/platform/win32/run-wine-tests.sh" "$build"
step "QtTest suites" ctest --test-dir "$build" --output-on-failure
step "the program" "$here/smoke.sh" "$build" "$prefix" "$build/smoke"
printf '%s\n' "${results[@]}"
exit $failed
