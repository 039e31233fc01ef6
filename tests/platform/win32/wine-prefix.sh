#!/usr/bin/env bash
# Makes a throwaway 64-bit Wine prefix at the given path once (~30 s); later
# calls reuse it once complete. Prints its path. Usage: wine-prefix.sh <prefix directory>
set -euo pipefail
source "$(cd "$(dirname "$0")" && pwd)/wine-env.sh"
[[ -n $wine64 ]] || { echo "wine-prefix.sh: no 64-bit Wine found" >&2; exit 1; }
prefix=$(realpath -m "${1:?usage: wine-prefix.sh <prefix directory>}")
export WINEPREFIX=$prefix
mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock -w 300 9
if [[ ! -e $prefix/.complete ]]; then
    rm -rf "$prefix"
    trap 'timeout 30 "$wineserver" -k 2>/dev/null || true' EXIT
    timeout 180 "$wine64" wineboot -u >/dev/null 2>&1
    timeout 60 "$wineserver" -w
    trap - EXIT
    touch "$prefix/.complete"
fi
echo "$prefix"
