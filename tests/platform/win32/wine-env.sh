# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the Wine test scripts: wine64 (the 64-bit loader, empty without), wineserver; no dialogs, no menu entries.
wine_env_first() { for file; do [[ -x $file ]] && echo "$file" && break; done; true; } # the first executable
wine64=$(wine_env_first "$(command -v wine64)" /usr/lib/wine/wine64 /usr/lib64/wine/wine64 /opt/wine-stable/bin/wine64)
wineserver=$(wine_env_first "$(dirname "${wine64:-/}")/wineserver" "$(command -v wineserver)")
export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=d"
