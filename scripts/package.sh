#!/usr/bin/env bash
# Builds the release program and packs it into build/packages/:
#   (default)   the Debian package daz-izezovivadezurid_<version>_<arch>.deb
#   --windows   the zip daz-izezovivadezurid-<version>-windows.zip, from the
#               mingw-w64 cross-build of scripts/build-windows.sh
# Installs the Debian packages it needs when missing.
# Usage: scripts/package.sh [--windows]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

case ${1:-} in
  "")
    # dpkg-shlibdeps names the package's dependencies; CPack finds the
    # programs to look at with file.
    scripts/install-deps.sh dpkg-dev file
    scripts/install-deps.sh
    build=build/release
    cmake --preset linux-release >/dev/null
    cmake --build --preset linux-release --parallel "$(nproc)"
    ;;
  --windows)
    if [ ! -x scripts/build-windows.sh ]; then
      echo "The Windows cross-build is not set up in this tree (scripts/build-windows.sh)" >&2
      exit 1
    fi
    scripts/build-windows.sh
    build=build/windows
    ;;
  *)
    echo "usage: $0 [--windows]" >&2
    exit 2
    ;;
esac

mkdir -p build/packages
(cd "$build" && cpack -B "$root/build/packages" >/dev/null)
rm -rf build/packages/_CPack_Packages
find build/packages -maxdepth 1 -newer "$build/CPackConfig.cmake" \( -name '*.deb' -o -name '*.zip' \) |
  sed 's/^/Packed /'
