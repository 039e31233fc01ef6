# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows platform: the registry, the settings, message boxes, web pages
# and Messenger through the system's own calls. Paths are relative to
# src/platform, which includes this file after creating nexolan_platform.
set(NEXOLAN_WINDOWS_SOURCES
    windows/ProgramFile.h windows/ProgramFile.cpp
    windows/RegistrySettingsStore.h windows/RegistrySettingsStore.cpp
    windows/WindowsDesktop.h windows/WindowsDesktop.cpp
    windows/WindowsMessenger.h windows/WindowsMessenger.cpp
    windows/WindowsRegistry.h windows/WindowsRegistry.cpp
    windows/WindowsSystemObjects.h windows/WindowsSystemObjects.cpp
    windows/WindowsConsole.cpp
    windows/WinsockConnector.cpp
)
# MessageBoxW and ShellExecuteW; Winsock for the probe's connections.
target_link_libraries(nexolan_platform PUBLIC user32 shell32 ws2_32)
