# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the server list, run by `cmake --install` with NEXOLAN_LIST (the
# bundled list) and NEXOLAN_PROGRAMDIR (the program's directory below the
# prefix) set by src/app/CMakeLists.txt.
#
# The program reads the list beside itself, and users edit it. Below any
# prefix but /usr it simply lies there. Below /usr, where the Debian package
# installs and where files are not for editing, it is a configuration file,
# /etc/nexolan/nexolan.dat, and a link beside the program points to it. The
# package declares it a conffile (packaging/debian/conffiles), so that dpkg
# keeps a changed list on upgrade, asking as it does for any conffile.
set(programdir "${CMAKE_INSTALL_PREFIX}/${NEXOLAN_PROGRAMDIR}")
if(CMAKE_INSTALL_PREFIX MATCHES "^/usr/?$")
    set(conffile /etc/nexolan/nexolan.dat)
    file(INSTALL "${NEXOLAN_LIST}" DESTINATION /etc/nexolan)
    set(link "$ENV{DESTDIR}${programdir}/nexolan.dat")
    message(STATUS "Installing: ${link} -> ${conffile}")
    file(MAKE_DIRECTORY "$ENV{DESTDIR}${programdir}")
    file(CREATE_LINK ${conffile} "${link}" SYMBOLIC)
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${programdir}/nexolan.dat")
else()
    file(INSTALL "${NEXOLAN_LIST}" DESTINATION "${programdir}")
endif()
