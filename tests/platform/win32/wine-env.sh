# Sourced by the Wine test scripts: finds the 64-bit Wine loader and its
# wineserver, and sets what every Wine call here needs. No Mono or Gecko
# installer dialogs and no menu entries in the home directory.
wine64=$(command -v wine64 || true)
[[ -n $wine64 ]] || for candidate in /usr/lib/wine/wine64 /usr/lib64/wine/wine64 /opt/wine-stable/bin/wine64; do
    [[ -x $candidate ]] && { wine64=$candidate; break; }
done
wineserver=$(dirname "${wine64:-/}")/wineserver
[[ -x $wineserver ]] || wineserver=$(command -v wineserver || true)
export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=d"
