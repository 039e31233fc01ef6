# Sourced by the Wine test scripts: sets wine64 (the 64-bit loader, empty when
# there is none) and wineserver; no Mono or Gecko dialogs, no menu entries.
wine64=$(command -v wine64 || true)
[[ -n $wine64 ]] || for candidate in /usr/lib/wine/wine64 /usr/lib64/wine/wine64 /opt/wine-stable/bin/wine64; do
    [[ -x $candidate ]] && { wine64=$candidate; break; }
done
wineserver=$(dirname "${wine64:-/}")/wineserver
[[ -x $wineserver ]] || wineserver=$(command -v wineserver || true)
export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=d"
