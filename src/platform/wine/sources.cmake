# SPDX-License-Identifier: GPL-3.0-or-later
# The Wine platform: Messenger's registry and client in the user's Wine
# prefix. Paths are relative to src/platform.
set(NEXOLAN_WINE_SOURCES
    wine/WinePrefix.h wine/WinePrefix.cpp
    wine/WineHelper.h wine/WineHelper.cpp
    wine/WineRegistry.h wine/WineRegistry.cpp
    wine/WineMessenger.h wine/WineMessenger.cpp
    wine/WineSystemObjects.h wine/WineSystemObjects.cpp
)
