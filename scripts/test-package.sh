#!/usr/bin/env bash
# Installs the Debian package in a fresh Debian root and runs it there:
#   1. builds the package (scripts/package.sh) unless a .deb is given;
#   2. makes a minimal Debian root with debootstrap under build/package-test,
#      from the archive and suite of this machine's apt sources (it fails,
#      saying so, when they name none);
#   3. inside it (chroot), `apt-get install ./daz-izezovivadezurid_*.deb`,
#      which must fetch the declared dependencies, then checks that
#      `daz-izezovivadezurid -V` runs from /usr/bin, that examples/case7.json
#      converts to the golden document, and that the man page and the
#      schemas are in place.
# Needs root (debootstrap, chroot) and the Debian archive; installs
# debootstrap when missing. Takes about two minutes, most of it debootstrap.
# Usage: scripts/test-package.sh [PACKAGE.deb]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

if [ "$(id -u)" -ne 0 ]; then
  echo "$0 needs root (debootstrap, chroot)" >&2
  exit 1
fi
scripts/install-deps.sh debootstrap dpkg-dev

if (($# > 0)); then
  package=$(realpath "$1")
else
  scripts/package.sh
  package=$(ls -t "$root"/build/packages/daz-izezovivadezurid_*.deb | head -n 1)
fi

# The archive and suite of the first deb entry of this machine's apt sources.
# shellcheck source=lib/apt.sh
. scripts/lib/apt.sh
read -r archive suite < <(apt_archive_and_suite) || exit 1

work=$root/build/package-test
target=$work/root
mounted=""
cleanup() {
  if [ -n "$mounted" ]; then umount "$target/proc" || true; fi
}
trap cleanup EXIT
if mountpoint -q "$target/proc" 2>/dev/null; then umount "$target/proc"; fi
rm -rf "$work"
mkdir -p "$work"

echo "debootstrap $suite from $archive"
start=$SECONDS
if ! debootstrap --variant=minbase "$suite" "$target" "$archive" >"$work/debootstrap.log" 2>&1; then
  tail -n 20 "$work/debootstrap.log" >&2
  exit 1
fi
echo "Debian root made in $((SECONDS - start)) s"

mount -t proc proc "$target/proc" && mounted=yes
cp /etc/resolv.conf "$target/etc/resolv.conf"
mkdir -p "$target/tmp/package" "$target/tmp/case"
cp "$package" "$target/tmp/package/"
cp examples/case7.json examples/11_12_bridge.pts examples/36_onlay.pts examples/11_12_bridge.stl \
  "examples/36 onlay&inlay.stl" "$target/tmp/case/"

in_root() { chroot "$target" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin \
  DEBIAN_FRONTEND=noninteractive LC_ALL=C.UTF-8 /bin/sh -euc "$1"; }

start=$SECONDS
in_root 'apt-get update -qq && cd /tmp/package && apt-get install -y -qq ./daz-izezovivadezurid_*.deb' \
  >"$work/install.log" 2>&1 || { cat "$work/install.log" >&2; exit 1; }
echo "Package installed in $((SECONDS - start)) s"

# What dpkg-shlibdeps says the program in the package needs, asked apart
# from the package's build.
shlibs_of_program() {
  local dir
  dir=$(mktemp -d)
  mkdir -p "$dir/debian" "$dir/unpacked"
  printf 'Source: daz-izezovivadezurid\n\nPackage: daz-izezovivadezurid\nArchitecture: any\n' >"$dir/debian/control"
  dpkg-deb -x "$package" "$dir/unpacked"
  (cd "$dir" && dpkg-shlibdeps -O -e unpacked/usr/bin/daz-izezovivadezurid 2>/dev/null) |
    sed -n 's/^shlibs:Depends=//p'
  rm -rf "$dir"
}

passed=0
failed=0
check() { # WHAT EXPECTED ACTUAL
  if [ "$2" = "$3" ]; then
    echo "ok: $1"
    passed=$((passed + 1))
  else
    echo "FAIL: $1: expected '$2', got '$3'"
    failed=$((failed + 1))
  fi
}
check "the program is on the PATH" /usr/bin/daz-izezovivadezurid \
  "$(in_root 'command -v daz-izezovivadezurid')"
check "-V prints the version" "daz-izezovivadezurid dev-version" \
  "$(in_root 'daz-izezovivadezurid -V' 2>&1)"
# The C++ runtimes and libyaml are linked in; the C library is shared, so
# the program needs libc6 alone, at the version that dpkg-shlibdeps finds
# for it; the margin line checker beside it needs python3.
depends_sorted() { tr -d ' ' | tr ',' '\n' | sort | tr '\n' ' ' | sed 's/ $//'; }
check "the package depends on libc6 and python3 alone" "libc6 python3" \
  "$(in_root "dpkg-query -W -f='\${Depends}' daz-izezovivadezurid" | sed 's/ ([^)]*)//g' | depends_sorted)"
check "the libc6 version is dpkg-shlibdeps' own" "$(printf '%s, python3' "$(shlibs_of_program)" | depends_sorted)" \
  "$(in_root "dpkg-query -W -f='\${Depends}' daz-izezovivadezurid" | depends_sorted)"
check "the program needs glibc's libraries alone" "libc.so.6" \
  "$(in_root 'ldd /usr/bin/daz-izezovivadezurid' | awk '$2 == "=>" { print $1 }' | sort | tr '\n' ' ' | sed 's/ $//')"
check "an example converts" "Generated case7.constructionInfo" \
  "$(in_root 'cd /tmp/case && daz-izezovivadezurid case7.json' 2>&1)"
check "the margin line checker passes the example's files" "status 0" \
  "$(in_root 'cd /tmp/case && check-margin-lines *.pts >/dev/null 2>&1; echo "status $?"')"
if cmp -s "$target/tmp/case/case7.constructionInfo" tests/fixtures/golden/case7.constructionInfo; then
  check "the document is the golden one" same same
else
  check "the document is the golden one" same different
fi
for file in /usr/share/man/man1/daz-izezovivadezurid.1.gz \
  /usr/share/doc/daz-izezovivadezurid/copyright \
  /usr/share/doc/daz-izezovivadezurid/changelog.Debian.gz \
  /usr/share/doc/daz-izezovivadezurid/examples/case7.json \
  /usr/share/doc/daz-izezovivadezurid/examples/printing/crowns.json \
  /usr/share/daz-izezovivadezurid/schemas/constructionInfo.xsd \
  /usr/share/daz-izezovivadezurid/schemas/case-metadata.schema.json; do
  check "$file is installed" yes "$(in_root "test -f $file && echo yes || echo no")"
done

echo "package test: $passed passed, $failed failed"
((failed == 0))
