# SPDX-License-Identifier: GPL-3.0-or-later
# Packaging with CPack: `cpack -G DEB` in a build tree makes a Debian package
# of what `cmake --install` puts in place, installed below /usr.

set(NEXOLAN_PACKAGE_MAINTAINER "Nexolan maintainers <maintainers@nexolan.invalid>" CACHE STRING
    "Maintainer named in the packages")

set(CPACK_PACKAGE_NAME nexolan)
set(CPACK_PACKAGE_VENDOR "Torvik")
set(CPACK_PACKAGE_CONTACT "${NEXOLAN_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Messenger server switcher and tester")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_GENERATOR DEB)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The summary above is the package's first description line; this follows it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Nexolan lists Messenger servers from the list that comes with it, marks the
one the Messenger client is set to use, tests how fast a server accepts a
connection and answers the version handshake, and switches the client to the
chosen server.")
# The library packages the program links against, with their versions, as
# dpkg-shlibdeps finds them (from dpkg-dev); a fixed list without it.
find_program(NEXOLAN_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(NEXOLAN_DPKG_SHLIBDEPS)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6 (>= 2.34), libgcc-s1 (>= 3.0), libstdc++6 (>= 5.2), libqt6widgets6 (>= 6.4), \
libqt6network6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6core6 (>= 6.4), ")
endif()

# Wine's Tahoma, which the windows are laid out for; Wine itself only where
# Messenger runs under it.
string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wine")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "wine")
# Qt's own translations, for the standard buttons in the user's language;
# without them those stay English.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")

# The server list is installed as /etc/nexolan/nexolan.dat (see
# InstallServerList.cmake): a conffile, which dpkg keeps when the user
# changed it. The preinst carries a changed list over from packages that
# kept it in /usr/lib/nexolan.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_LIST_DIR}/debian/conffiles ${CMAKE_CURRENT_LIST_DIR}/debian/preinst)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# A source package leaves out the build trees and the repository.
set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build[^/]*/")

include(CPack)
