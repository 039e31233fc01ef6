# SPDX-License-Identifier: GPL-3.0-or-later
# Cross-compiling for Windows with Debian's mingw-w64 (posix threads).
# NEXOLAN_MINGW_TRIPLE picks the target: x86_64-w64-mingw32 (64-bit, the
# default) or i686-w64-mingw32 (32-bit), e.g.
#   cmake -DCMAKE_TOOLCHAIN_FILE=.../mingw-toolchain.cmake -DNEXOLAN_MINGW_TRIPLE=i686-w64-mingw32
set(CMAKE_SYSTEM_NAME Windows)
if(NOT NEXOLAN_MINGW_TRIPLE)
    set(NEXOLAN_MINGW_TRIPLE x86_64-w64-mingw32)
endif()
# CMake reads this file again for its compiler checks, in projects of their
# own: hand the choice on to them.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES NEXOLAN_MINGW_TRIPLE)
if(NEXOLAN_MINGW_TRIPLE MATCHES "^i686-")
    set(CMAKE_SYSTEM_PROCESSOR x86)
else()
    set(CMAKE_SYSTEM_PROCESSOR x86_64)
endif()
set(CMAKE_C_COMPILER ${NEXOLAN_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${NEXOLAN_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${NEXOLAN_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${NEXOLAN_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
