# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows side of the Linux build, cross-built with mingw-w64 from
# src/platform/win32, one build tree per architecture (ExternalProject):
#   x86_64: the helper nexolan-messenger and the Messenger stand-in
#   i686:   the helper only
# Nexolan runs the helper under Wine, for 64-bit and 32-bit prefixes. Both
# helpers are installed to lib/nexolan as nexolan-messenger-x64.exe and
# nexolan-messenger-x86.exe. tst_wineprefix_wine (tests/platform/wine) runs
# the helper and the stand-in in a real prefix.
#
# Sets NEXOLAN_HELPER_EXE_X64, NEXOLAN_HELPER_EXE_X86 and NEXOLAN_STANDIN_EXE;
# each is empty when its compiler is missing.

include_guard(GLOBAL)
if(WIN32)
    return() # a Windows build adds src/platform/win32 as a subdirectory instead
endif()
include(ExternalProject)

get_filename_component(_nexolan_root ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)
find_program(NEXOLAN_MINGW64_CXX x86_64-w64-mingw32-g++-posix)
find_program(NEXOLAN_MINGW32_CXX i686-w64-mingw32-g++-posix)
if(NOT DEFINED NEXOLAN_BUILD_TESTS OR NEXOLAN_BUILD_TESTS)
    set(_nexolan_win32_tests ON)
else()
    set(_nexolan_win32_tests OFF)
endif()

set(NEXOLAN_HELPER_EXE_X64 "")
set(NEXOLAN_HELPER_EXE_X86 "")
set(NEXOLAN_STANDIN_EXE "")

# nexolan_win32_build(<name> <target triple> <tests ON/OFF> <programs...>)
function(nexolan_win32_build name triple tests)
    ExternalProject_Add(${name}
        SOURCE_DIR ${_nexolan_root}/src/platform/win32
        BINARY_DIR ${CMAKE_BINARY_DIR}/${name}
        CMAKE_ARGS
            -DCMAKE_TOOLCHAIN_FILE=${_nexolan_root}/packaging/windows/mingw-toolchain.cmake
            -DNEXOLAN_MINGW_TRIPLE=${triple}
            -DCMAKE_BUILD_TYPE=Release
            -DNEXOLAN_WIN32_TESTS=${tests}
        BUILD_ALWAYS ON
        INSTALL_COMMAND ""
        BUILD_BYPRODUCTS ${ARGN})
endfunction()

if(NEXOLAN_MINGW64_CXX)
    set(_dir ${CMAKE_BINARY_DIR}/win32-x64)
    set(NEXOLAN_HELPER_EXE_X64 ${_dir}/nexolan-messenger.exe)
    if(_nexolan_win32_tests)
        set(NEXOLAN_STANDIN_EXE ${_dir}/msnmsgr-standin.exe)
    endif()
    nexolan_win32_build(win32-x64 x86_64-w64-mingw32 ${_nexolan_win32_tests}
        ${NEXOLAN_HELPER_EXE_X64} ${NEXOLAN_STANDIN_EXE})
    install(PROGRAMS ${NEXOLAN_HELPER_EXE_X64} DESTINATION lib/nexolan RENAME nexolan-messenger-x64.exe)
else()
    message(STATUS "x86_64-w64-mingw32-g++-posix not found: no 64-bit Windows helper, no Wine tests")
endif()

if(NEXOLAN_MINGW32_CXX)
    set(NEXOLAN_HELPER_EXE_X86 ${CMAKE_BINARY_DIR}/win32-x86/nexolan-messenger.exe)
    nexolan_win32_build(win32-x86 i686-w64-mingw32 OFF ${NEXOLAN_HELPER_EXE_X86})
    install(PROGRAMS ${NEXOLAN_HELPER_EXE_X86} DESTINATION lib/nexolan RENAME nexolan-messenger-x86.exe)
else()
    message(STATUS "i686-w64-mingw32-g++-posix not found: no 32-bit Windows helper")
endif()
