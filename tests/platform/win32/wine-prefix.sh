#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes a throwaway 64-bit Wine prefix once (~30 s), reused once complete; prints its path. Usage: wine-prefix.sh <dir>
set -euo pipefail
source "$(cd "$(dirname "$0")" && pwd)/wine-env.sh"
[[ -n $wine64 ]] || { echo "wine-prefix.sh: no 64-bit Wine found" >&2; exit 1; }
prefix=$(realpath -m "${1:?usage: wine-prefix.sh <prefix directory>}")
export WINEPREFIX=$prefix
mkdir -p "$(dirname "$prefix")"; exec 9>"$prefix.lock"; flock -w 300 9 # one maker at a time
if [[ ! -e $prefix/.complete ]]; then
    rm -rf "$prefix"
    trap 'timeout 30 "$wineserver" -k 2>/dev/null || true' EXIT
    timeout 180 "$wine64" wineboot -u >/dev/null 2>&1
    timeout 60 "$wineserver" -w
    trap - EXIT
    touch "$prefix/.complete"
fi
echo "$prefix"
