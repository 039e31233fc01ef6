# SPDX-License-Identifier: GPL-3.0-or-later
# Windows: nexolan.exe for 64-bit Windows, cross-built with mingw-w64 against
# a static Qt, packed into dist/, and tested under Wine. Included by the
# Makefile.
#
#   make windows        dist/nexolan-<version>-windows-x64.zip and
#                       dist/nexolan-<version>-windows-x64-setup.exe
#   make windows-test   that, then under Wine: the Win32 tests, the QtTest
#                       suites, the program itself on a virtual display, and
#                       the setup: install, upgrade, uninstall
#
# The first `make windows` builds a static Qt 6.4 for Windows from Debian's
# source of the installed Qt (packaging/windows/build-qt.sh): 45 to 60 minutes
# on two cores, into ~/.cache/nexolan/. Later runs reuse it in a moment.
# JOBS=<n> sets the parallel jobs (default: the number of processors).
WINDOWS_BUILD_DIR ?= build-windows
WINDOWS_DIST_DIR ?= dist
# The host's lrelease and Qt's translations go into the program.
WINDOWS_PACKAGES := cmake ninja-build qt6-base-dev qt6-base-dev-tools qt6-l10n-tools qt6-translations-l10n \
	dpkg-dev debian-archive-keyring \
	gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix zip nsis
WINDOWS_TEST_PACKAGES := wine wine64 xvfb xauth xdotool

.PHONY: windows windows-test

windows: PACKAGES += $(WINDOWS_PACKAGES)
windows: deps
	packaging/windows/build-windows.sh $(WINDOWS_BUILD_DIR) $(WINDOWS_DIST_DIR)

windows-test: PACKAGES += $(WINDOWS_PACKAGES) $(WINDOWS_TEST_PACKAGES)
windows-test: windows
	tests/windows/wine-run.sh $(WINDOWS_BUILD_DIR)
