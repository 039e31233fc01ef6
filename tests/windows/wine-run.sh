#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# wine-run.sh <build dir>: a Windows build's tests under Wine on a virtual
# display: the QtTest suites, and installer.sh (the setup and the program it
# installs).
# wine-run.sh <prefix> <program.exe> [arguments...]: one program, as CTest's
# emulator. Exit status 0 when all passed, 77 without a 64-bit Wine.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../platform/win32/wine-env.sh"
[[ -n $wine64 ]] || { echo "wine-run.sh: no 64-bit Wine (wine64)" >&2; exit 77; }
if (($# > 1)); then
    export WINEPREFIX
    WINEPREFIX=$("$here/../platform/win32/wine-prefix.sh" "$1") || exit 1
    # WINEQT_* reach the program as QT_*; output goes through files, as a pipe
    # stays open while Wine's services run.
    export WINEQT_QPA_PLATFORM=offscreen WINEQT_FORCE_STDERR_LOGGING=1 WINEQT_QPA_FONTDIR=Z:/usr/share/wine/fonts
    out=$(mktemp -d) && trap 'rm -rf "$out"' EXIT
    timeout 120 "$wine64" "${@:2}" >"$out/1" 2>"$out/2"
    status=$?
    tr -d '\r' <"$out/1" && tr -d '\r' <"$out/2" >&2
    exit $status
fi
[[ -n ${NEXOLAN_ON_XVFB:-} ]] || NEXOLAN_ON_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
build=$(cd "${1:?usage: wine-run.sh <build dir>}" && pwd)
trap 'WINEPREFIX=$build/wine-prefix-qt timeout 30 "$wineserver" -k 2>/dev/null' EXIT
cmake --build "$build" --parallel "${JOBS:-$(nproc)}" || exit 1
failed=0
step() { echo "=== $1" && "${@:2}" || { echo "FAILED: $1"; failed=1; }; }
step "QtTest suites" ctest --test-dir "$build" --output-on-failure
step "the setup and the program" "$here/installer.sh" "$build"
exit $failed
