#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds nexolan.exe for 64-bit Windows and packs it:
#   build-windows.sh <build dir> <dist dir>
# 1. A static Qt for Windows, built once by build-qt.sh (45-60 minutes on two
#    cores the first time; after that it only prints where it lies).
# 2. The project configured in the build dir with Qt's toolchain file, which
#    loads this tree's mingw-toolchain.cmake (not the one Qt was built from:
#    that tree may be gone), and built: nexolan.exe, linked statically,
#    so it needs no DLL. The tree is set up for the Windows tests too (the
#    Win32 tests and Messenger stand-in, and CTest running the suites under
#    Wine through tests/windows/wine-run.sh); only the program is built here.
# 3. <dist dir>/nexolan-<version>-windows-x64.zip: the stripped program, the
#    server list beside it, and README.txt and LICENSE.txt with Windows line
#    endings.
# 4. <dist dir>/nexolan-<version>-windows-x64-setup.exe: the same four files
#    in a setup made with makensis from nexolan.nsi (made in the build dir's
#    package/ folder, where the Windows tests find it, and copied).
# JOBS sets the parallel jobs (default: the number of processors).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$(realpath -m "${1:?usage: build-windows.sh <build dir> <dist dir>}")
dist=$(realpath -m "${2:?usage: build-windows.sh <build dir> <dist dir>}")
jobs=${JOBS:-$(nproc)}
millis() { echo $(($(date +%s%N) / 1000000)); }
took() { local ms=$(($(millis) - $1)); printf '%d.%d s' $((ms / 1000)) $((ms % 1000 / 100)); }

begin=$(millis)
qt=$(JOBS=$jobs "$here/build-qt.sh" | tee /dev/stderr | tail -n 1)
[[ -f $qt/lib/cmake/Qt6/qt.toolchain.cmake ]] || { echo "build-windows.sh: no Qt at '$qt'" >&2; exit 1; }
echo "Qt for Windows: $qt ($(took "$begin"))"

begin=$(millis)
cmake -S "$root" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
    -DQT_CHAINLOAD_TOOLCHAIN_FILE="$here/mingw-toolchain.cmake" \
    -DCMAKE_BUILD_TYPE=Release \
    -DNEXOLAN_BUILD_TESTS=ON -DNEXOLAN_WIN32_TESTS=ON \
    "-DCMAKE_CROSSCOMPILING_EMULATOR=$root/tests/windows/wine-run.sh;$build/wine-prefix-qt"
cmake --build "$build" --parallel "$jobs" --target nexolan
echo "nexolan.exe built in $(took "$begin")"

version=$(sed -n 's/^project(Nexolan VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
name=nexolan-$version-windows-x64
stage=$build/package/$name
rm -rf "$stage" && mkdir -p "$stage" "$dist"
x86_64-w64-mingw32-strip -o "$stage/nexolan.exe" "$build/nexolan.exe"
cp "$root/data/nexolan.dat" "$stage/nexolan.dat"
sed -e "s/@VERSION@/$version/" -e 's/$/\r/' "$here/README.txt" >"$stage/README.txt"
sed -e 's/$/\r/' "$root/LICENSE" >"$stage/LICENSE.txt"
rm -f "$dist/$name.zip"
(cd "$stage" && zip -q -X -9 "$dist/$name.zip" nexolan.exe nexolan.dat README.txt LICENSE.txt)
echo "nexolan.exe: $(stat -c %s "$stage/nexolan.exe") bytes stripped ($(stat -c %s "$build/nexolan.exe") before)"
echo "$dist/$name.zip: $(stat -c %s "$dist/$name.zip") bytes"

setup=$build/package/$name-setup.exe
rm -f "$setup" "$dist/$name-setup.exe"
makensis -V2 -WX -DVERSION="$version" -DSTAGE="$stage" -DOUTFILE="$setup" "$here/nexolan.nsi"
cp "$setup" "$dist/"
echo "$dist/$name-setup.exe: $(stat -c %s "$setup") bytes"
