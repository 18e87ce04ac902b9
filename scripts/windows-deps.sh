#!/usr/bin/env bash
# What the Windows cross build needs, made once and kept under
# build/windows-deps (the prefix that the Windows presets hand to
# cmake/mingw-w64-x86_64.cmake):
#   - Debian's packages: mingw-w64 (posix threads), the autotools for
#     libyaml, CLI11;
#   - libyaml and admesh (the checker's STL reader), built as static Windows
#     libraries from Debian's source packages;
#   - CLI11's, Dragonbox's, fast_float's and nanoflann's headers (and CMake files where
#     they are headers alone), copied alone so that the cross build never
#     sees the host's /usr/include.
# With --tests, also what the Windows tests need: Wine, and GoogleTest built
# for Windows from Debian's /usr/src/googletest.
# Safe to run again: each part is skipped when it is already there.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
prefix="$root/build/windows-deps"
sources="$prefix/src"
toolchain="$root/cmake/mingw-w64-x86_64.cmake"
host=x86_64-w64-mingw32

# shellcheck source=lib/apt.sh
. scripts/lib/apt.sh

# Runs a step with its output in a log, shown only when the step fails.
quietly() {
  local log
  log="$(mktemp)"
  if ! "$@" >"$log" 2>&1; then
    cat "$log" >&2
    rm -f "$log"
    return 1
  fi
  rm -f "$log"
}

install_packages() {
  local packages=(cmake make pkg-config g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
                  autoconf automake libtool dpkg-dev libcli11-dev libdragonbox-dev
                  libfast-float-dev libnanoflann-dev)
  if [ "$with_tests" = yes ]; then packages+=(wine wine64 googletest); fi
  # Recommends would bring 32-bit Wine and desktop pieces that a console
  # program under test does not use.
  apt_install_missing --quiet --no-recommends "${packages[@]}"
}

build_libyaml() {
  [ -f "$prefix/lib/libyaml.a" ] && return
  # apt-get source needs deb-src entries: they are made from the deb ones in
  # an apt configuration of our own, and the machine's is left as it is.
  rm -rf "$sources/libyaml"
  mkdir -p "$sources/libyaml"
  (cd "$sources/libyaml" && quietly apt_private_source "$prefix/apt" libyaml)
  local tree
  tree="$(find "$sources/libyaml" -mindepth 1 -maxdepth 1 -type d -name 'libyaml-*' | head -n 1)"
  # Debian's source has no configure script; bootstrap makes it. Only the
  # library, its header and its .pc file are built and installed.
  (cd "$tree" && quietly ./bootstrap &&
    quietly ./configure --host="$host" --prefix="$prefix" --enable-static --disable-shared \
      CC="$host-gcc-posix" &&
    quietly make -j2 -C src install && quietly make -C include install &&
    quietly make install-pkgconfigDATA)
  # yaml.h declares its functions dllimport unless told the library is
  # static; every user of the .pc file gets that definition.
  sed -i 's|^Cflags: \(.*\)$|Cflags: \1 -DYAML_DECLARE_STATIC|' "$prefix/lib/pkgconfig/yaml-0.1.pc"
}

build_admesh() {
  [ -f "$prefix/lib/libadmesh.a" ] && return
  rm -rf "$sources/admesh"
  mkdir -p "$sources/admesh"
  (cd "$sources/admesh" && quietly apt_private_source "$prefix/apt" admesh)
  local tree
  tree="$(find "$sources/admesh" -mindepth 1 -maxdepth 1 -type d -name 'admesh-*' | head -n 1)"
  # The library alone, static. Its configure adds _FORTIFY_SOURCE, which
  # mingw-w64 fulfils only with libssp linked into every program that
  # links the library; make's CFLAGS replace configure's.
  (cd "$tree" && quietly autoreconf -fi &&
    quietly ./configure --host="$host" --prefix="$prefix" --enable-static --disable-shared \
      CC="$host-gcc-posix" &&
    quietly make -j2 libadmesh.la CFLAGS="-O2" &&
    quietly make install-libLTLIBRARIES install-pkgincludeHEADERS install-pkgconfigDATA)
}

build_googletest() {
  [ -f "$prefix/lib/libgtest.a" ] && return
  quietly cmake -S /usr/src/googletest -B "$sources/googletest-build" \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DDAZ_WINDOWS_DEPS="$prefix" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_GMOCK=OFF
  quietly cmake --build "$sources/googletest-build" --parallel 2
  quietly cmake --install "$sources/googletest-build"
}

copy_header_libraries() {
  mkdir -p "$prefix/include" "$prefix/share/cmake" "$prefix/lib/cmake"
  if [ ! -f "$prefix/share/cmake/CLI11/CLI11Config.cmake" ]; then
    cp -r /usr/include/CLI "$prefix/include/"
    cp -r /usr/share/cmake/CLI11 "$prefix/share/cmake/"
  fi
  if [ ! -f "$prefix/lib/cmake/FastFloat/FastFloatConfig.cmake" ]; then
    cp -r /usr/include/fast_float "$prefix/include/"
    cp -r /usr/lib/cmake/FastFloat "$prefix/lib/cmake/"
  fi
  # Dragonbox's headers only; the build finds them without its package.
  if [ ! -f "$prefix/include/dragonbox/dragonbox.h" ]; then
    cp -r /usr/include/dragonbox-*/dragonbox "$prefix/include/"
  fi
  if [ ! -f "$prefix/include/nanoflann.hpp" ]; then
    cp /usr/include/nanoflann.hpp "$prefix/include/"
  fi
}

with_tests=no
if [ "${1:-}" = "--tests" ]; then with_tests=yes; fi
install_packages
mkdir -p "$sources"
copy_header_libraries
if [ "$with_tests" = no ]; then
  build_libyaml
  build_admesh
  exit 0
fi
# Wine's first start (mostly waiting) and libyaml's download and configure
# (one core) overlap GoogleTest's build.
scripts/wine-run.sh --start &
wine=$!
(build_libyaml && build_admesh) &
libraries=$!
build_googletest
wait "$libraries"
wait "$wine"
