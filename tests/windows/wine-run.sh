#!/usr/bin/env bash
# Runs one Windows test program under Wine, as CTest's cross-compiling
# emulator: wine-run.sh <prefix directory> <program.exe> [arguments...]
# The prefix is made once by tests/platform/win32/wine-prefix.sh. Wine hands
# no QT_* variable to the program, but WINEQT_* ones reach it without their
# WINE; QtTest writes to the console rather than the debug log when told so.
# Output goes through files: a pipe would stay open as long as the session's
# services, which inherit it, keep running after the program.
# Exit status: the program's; 124 when it overran NEXOLAN_WINE_TIMEOUT
# (seconds, default 300); 77 when there is no 64-bit Wine.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../platform/win32/wine-env.sh"
[[ -n $wine64 ]] || { echo "wine-run.sh: no 64-bit Wine (wine64)" >&2; exit 77; }
prefix=${1:?usage: wine-run.sh <prefix directory> <program.exe> [arguments...]}
program=${2:?usage: wine-run.sh <prefix directory> <program.exe> [arguments...]}
shift 2
export WINEPREFIX
WINEPREFIX=$("$here/../platform/win32/wine-prefix.sh" "$prefix") || exit 1
export WINEQT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} WINEQT_FORCE_STDERR_LOGGING=1
# Qt's offscreen platform takes its fonts from a folder, not from the system:
# Wine's own (Tahoma among them), through the drive Z: that maps the root.
fonts=${QT_QPA_FONTDIR:-/usr/share/wine/fonts}
[[ -d $fonts ]] && export WINEQT_QPA_FONTDIR="Z:$fonts"

output=$(mktemp -d)
trap 'rm -rf "$output"' EXIT
timeout "${NEXOLAN_WINE_TIMEOUT:-300}" "$wine64" "$program" "$@" >"$output/out" 2>"$output/err"
status=$?
tr -d '\r' <"$output/out"
tr -d '\r' <"$output/err" >&2
exit $status
