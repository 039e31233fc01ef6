#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds a static Qt for 64-bit Windows from Debian's own source of the
# installed Qt, once, into a cache directory outside the source tree. The
# result is not relocatable, so it stays where it was built; its name holds
# the Debian version and a hash of what the build depends on (that version,
# the options, the target and the cross compiler's version), so a change of
# any of them builds a new one beside it, while tidying a file of ours does
# not. Prints the install prefix on its last line.
#
# The source comes through an apt configuration of our own (a deb-src entry
# for the same archive), so the system's apt sources stay untouched.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
version=$(dpkg-query -W -f='${Version}' qt6-base-dev)
jobs=${JOBS:-$(nproc)}
cache=${NEXOLAN_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/nexolan}

options=(
    -DQT_HOST_PATH=/usr
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
    -DBUILD_SHARED_LIBS=OFF
    -DCMAKE_BUILD_TYPE=Release
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
    -DINPUT_opengl=no -DFEATURE_opengl=OFF
    -DFEATURE_dbus=OFF -DFEATURE_sql=OFF -DFEATURE_printsupport=OFF
    -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_zstd=OFF
    -DFEATURE_openssl=OFF -DFEATURE_vulkan=OFF
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_png=OFF
    -DFEATURE_system_jpeg=OFF -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF
    -DFEATURE_system_doubleconversion=OFF -DFEATURE_system_libb2=OFF
    -DFEATURE_direct2d=ON -DFEATURE_direct2d1_1=OFF
    -DFEATURE_tabletevent=OFF
    -DFEATURE_androiddeployqt=OFF
)
triple=x86_64-w64-mingw32
compiler=$("$triple-g++-posix" --version | head -n1)
key=$(printf '%s\n' "$version" "${options[@]}" "$triple" "$compiler" | sha256sum | cut -c1-12)
prefix="$cache/qt-${version%%+*}-mingw64-$key"

if [ -f "$prefix/.complete" ]; then
    echo "$prefix"
    exit 0
fi

work="$cache/work-$key"
mkdir -p "$work/apt/lists/partial" "$work/apt/cache/archives/partial" "$work/apt/sources"
cat > "$work/apt/sources/qt-source.sources" <<SOURCES
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
apt_opts=(-o Dir::Etc::SourceList=/dev/null -o "Dir::Etc::SourceParts=$work/apt/sources"
          -o "Dir::State::Lists=$work/apt/lists" -o "Dir::Cache=$work/apt/cache")

src=$(find "$work" -maxdepth 1 -type d -name 'qt6-base-*' | head -n1)
if [ -z "$src" ]; then
    apt-get "${apt_opts[@]}" update
    (cd "$work" && apt-get "${apt_opts[@]}" source --download-only "qt6-base=$version")
    (cd "$work" && dpkg-source -x qt6-base_*.dsc)
    src=$(find "$work" -maxdepth 1 -type d -name 'qt6-base-*' | head -n1)
fi

cmake -S "$src" -B "$work/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$here/mingw-toolchain.cmake" -DNEXOLAN_MINGW_TRIPLE="$triple" \
    -DCMAKE_INSTALL_PREFIX="$prefix" "${options[@]}"
cmake --build "$work/build" --parallel "$jobs"
cmake --install "$work/build"
touch "$prefix/.complete"
rm -rf "$work/build"
echo "$prefix"
