#!/usr/bin/env bash
# Builds the release program from the last commit and packs it into
# build/packages/:
#   (default)   the Debian package daz-izezovivadezurid_<version>-<revision>_<arch>.deb,
#               built with Debian's flags (dpkg-buildflags: fortify, stack
#               protector, relro and bindnow, PIE), its programs stripped and
#               their debug symbols in build/packages/debug/<program>.debug
#   --windows   the zip daz-izezovivadezurid-<version>-windows.zip, from the
#               mingw-w64 cross-build of scripts/build-windows.sh
# What is packed is the commit, exported with `git archive` (under
# build/package/), never the working tree: neither an uncommitted change nor
# a file that git does not track (a document written beside an example) gets
# in; the script says so when the tree has changes. SOURCE_DATE_EPOCH is the
# commit's time unless the caller sets it, so that two runs of one commit
# give the same bytes. DAZ_PACKAGE_VERSION, when set, is the version
# (CONTRIBUTING.md, "Versions"). Installs the Debian packages it needs when
# missing.
# Usage: scripts/package.sh [--windows]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

case ${1:-} in
  "") kind=deb ;;
  --windows) kind=windows ;;
  *)
    echo "usage: $0 [--windows]" >&2
    exit 2
    ;;
esac

# dpkg-shlibdeps names the .deb's dependencies, dpkg-buildflags its flags;
# CPack finds the programs to look at with file.
scripts/install-deps.sh git dpkg-dev file binutils zip
scripts/install-deps.sh

commit=$(git rev-parse HEAD)
if [ -n "$(git status --porcelain --untracked-files=no)" ]; then
  echo "Packing commit ${commit:0:12}: the working tree's uncommitted changes are left out" >&2
fi
: "${SOURCE_DATE_EPOCH:=$(git log -1 --format=%ct "$commit")}"
export SOURCE_DATE_EPOCH
# The zip's times are local times; every run takes them in the same zone.
export TZ=UTC

work=$root/build/package/$kind
source=$work/source
rm -rf "$work"
mkdir -p "$source" "$root/build/packages"
git archive --format=tar "$commit" | tar -x -C "$source"
version_option=()
if [ -n "${DAZ_PACKAGE_VERSION:-}" ]; then version_option=("-DDAZ_PACKAGE_VERSION=$DAZ_PACKAGE_VERSION"); fi

case $kind in
  deb)
    # Debian's flags with every hardening feature; the preprocessor's
    # (_FORTIFY_SOURCE) go with the compiler's, which CMake takes from
    # CXXFLAGS. The release build's own -O3 comes after their -O2.
    flags=$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get CPPFLAGS)
    CXXFLAGS="$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get CXXFLAGS) $flags"
    LDFLAGS=$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get LDFLAGS)
    export CXXFLAGS LDFLAGS
    (cd "$source" && cmake --preset linux-release "${version_option[@]}" >/dev/null &&
      cmake --build --preset linux-release --parallel "$(nproc)")
    build=$source/build/release
    (cd "$build" && cpack -B "$work/cpack" >/dev/null)
    for deb in "$work"/cpack/*.deb; do
      cp "$deb" "$root/build/packages/"
      echo "Packed build/packages/$(basename "$deb")"
    done
    rm -rf "$root/build/packages/debug"
    cp -r "$build/debug" "$root/build/packages/debug"
    echo "Debug symbols in build/packages/debug/"
    ;;
  windows)
    # The Windows dependencies are prepared once, in this tree's
    # build/windows-deps, and used by the export's build.
    scripts/windows-deps.sh
    (cd "$source" && cmake --preset windows-release "${version_option[@]}" \
      -DDAZ_WINDOWS_DEPS="$root/build/windows-deps" >/dev/null &&
      cmake --build --preset windows-release)
    build=$source/build/windows
    # The zip is made here rather than by CPack, whose zip holds each file's
    # times and the order the file system lists them in: its entries are
    # sorted, dated SOURCE_DATE_EPOCH, and hold no other time (zip -X).
    stage=$work/stage
    cmake --install "$build" --prefix "$stage" --strip >/dev/null
    name=$(sed -n 's/^set(CPACK_PACKAGE_FILE_NAME "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
    zip=$root/build/packages/$name.zip
    rm -f "$zip"
    find "$stage" -type f -exec touch -d "@$SOURCE_DATE_EPOCH" {} +
    (cd "$stage" && find . -type f -printf '%P\n' | LC_ALL=C sort | zip -q -X -D -9 "$zip" -@)
    echo "Packed build/packages/$name.zip"
    ;;
esac
