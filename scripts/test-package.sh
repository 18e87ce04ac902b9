#!/usr/bin/env bash
# Installs the packages as their users do and runs them:
#   the .deb, in a fresh Debian root made with debootstrap under
#     build/package-test (from the archive and suite of this machine's apt
#     sources; it fails, saying so, when they name none): installed with
#     `apt-get install ./daz-izezovivadezurid_*.deb` (which must fetch the
#     declared dependencies) and the suggested libxml2-utils; its
#     dependencies, programs, man pages and documents checked; then, as a
#     normal user, the commands of the man page's FILES section that copy
#     the examples, convert them and check them, run word for word, and the
#     documents compared with the golden ones; last, the package purged,
#     which must leave none of its files;
#   the zip, unpacked and run under Wine (scripts/wine-run.sh): README.txt
#     and the manuals with CRLF line ends and no Debian path, every program
#     of the zip named in README.txt, the .exe's FileVersion the zip's
#     version, and the examples copied as README.txt says and converted to
#     the golden documents.
# Builds both packages (scripts/package.sh) unless given; a .deb or a .zip
# given alone is the only one tested. Needs root (debootstrap, chroot) and
# the Debian archive; installs what it needs. Takes a few minutes, most of
# it debootstrap and the builds.
# Usage: scripts/test-package.sh [PACKAGE.deb] [PACKAGE.zip]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

if [ "$(id -u)" -ne 0 ]; then
  echo "$0 needs root (debootstrap, chroot)" >&2
  exit 1
fi
scripts/install-deps.sh debootstrap dpkg-dev groff-base cmake

deb=""
zip=""
for argument in "$@"; do
  case $argument in
    *.deb) deb=$(realpath "$argument") ;;
    *.zip) zip=$(realpath "$argument") ;;
    *) echo "usage: $0 [PACKAGE.deb] [PACKAGE.zip]" >&2; exit 2 ;;
  esac
done
if (($# == 0)); then
  scripts/package.sh
  deb=$(ls -t "$root"/build/packages/daz-izezovivadezurid_*.deb | head -n 1)
  scripts/package.sh --windows
  zip=$(ls -t "$root"/build/packages/daz-izezovivadezurid-*-windows.zip | head -n 1)
fi

work=$root/build/package-test
target=$work/root
mounted=""
cleanup() {
  if [ -n "$mounted" ]; then umount "$target/proc" || true; fi
  if [ -n "$zip" ]; then scripts/wine-run.sh --stop >/dev/null 2>&1 || true; fi
}
trap cleanup EXIT
if mountpoint -q "$target/proc" 2>/dev/null; then umount "$target/proc"; fi
rm -rf "$work"
mkdir -p "$work"

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
same_file() { cmp -s "$1" "$2" && echo same || echo different; }
# Each example: CASE:GOLDEN, the case file and the name of its golden document.
goldens=(case7.json:case7 printing/crowns.json:printing-crowns amann-girrbach/inlay.json:amann-girrbach-inlay)
document_of() { local case=${1%%:*}; printf '%s.constructionInfo' "${case%.json}"; }
golden_of() { printf 'tests/fixtures/golden/%s.constructionInfo' "${1#*:}"; }

# --- The .deb in a fresh Debian root ------------------------------------------------
test_deb() {
  # The archive and suite of the first deb entry of this machine's apt sources.
  # shellcheck source=lib/apt.sh
  . scripts/lib/apt.sh
  local archive suite
  read -r archive suite < <(apt_archive_and_suite) || exit 1
  echo "debootstrap $suite from $archive"
  local start=$SECONDS
  if ! debootstrap --variant=minbase "$suite" "$target" "$archive" >"$work/debootstrap.log" 2>&1; then
    tail -n 20 "$work/debootstrap.log" >&2
    exit 1
  fi
  echo "Debian root made in $((SECONDS - start)) s"

  mount -t proc proc "$target/proc" && mounted=yes
  cp /etc/resolv.conf "$target/etc/resolv.conf"
  mkdir -p "$target/tmp/package"
  cp "$deb" "$target/tmp/package/"

  in_root() { chroot "$target" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin \
    DEBIAN_FRONTEND=noninteractive LC_ALL=C.UTF-8 /bin/sh -euc "$1"; }
  # A normal user's shell in the root, in the user's home.
  as_user() { chroot --userspec=user:user "$target" /usr/bin/env -i PATH=/usr/bin:/bin \
    HOME=/home/user LC_ALL=C.UTF-8 /bin/sh -euc "cd && $1"; }

  start=$SECONDS
  in_root 'apt-get update -qq && cd /tmp/package && apt-get install -y -qq ./daz-izezovivadezurid_*.deb &&
    apt-get install -y -qq libxml2-utils && useradd --create-home user' \
    >"$work/install.log" 2>&1 || { cat "$work/install.log" >&2; exit 1; }
  echo "Package installed in $((SECONDS - start)) s"

  # What dpkg-shlibdeps says the program in the package needs, asked apart
  # from the package's build.
  local unpacked=$work/unpacked
  mkdir -p "$unpacked/debian" "$unpacked/tree"
  printf 'Source: daz-izezovivadezurid\n\nPackage: daz-izezovivadezurid\nArchitecture: any\n' \
    >"$unpacked/debian/control"
  dpkg-deb -x "$deb" "$unpacked/tree"
  local shlibs
  shlibs=$(cd "$unpacked" && dpkg-shlibdeps -O -e tree/usr/bin/daz-izezovivadezurid \
    -e tree/usr/bin/daz-izezovivadezurid-check 2>/dev/null |
    sed -n 's/^shlibs:Depends=//p')

  check "the program is on the PATH" /usr/bin/daz-izezovivadezurid \
    "$(in_root 'command -v daz-izezovivadezurid')"
  check "-V prints the version" "daz-izezovivadezurid dev-version" \
    "$(in_root 'daz-izezovivadezurid -V' 2>&1)"
  # The C++ runtimes and libyaml are linked in; the C library is shared, so
  # the tool needs libc6 alone, at the version that dpkg-shlibdeps finds for
  # it. The case checker reads STL files with admesh, which Debian ships as
  # a shared library only: the package needs libadmesh1 for it. A Python
  # script among the programs needs python3, and nothing else does.
  local python=""
  if grep -lq '^#!.*python3' "$unpacked"/tree/usr/bin/*; then python=python3; fi
  depends_sorted() { tr -d ' ' | tr ',' '\n' | grep -v '^$' | sort | tr '\n' ' ' | sed 's/ $//'; }
  check "the package depends on libc6 and libadmesh1${python:+ and $python} alone" \
    "$(printf 'libadmesh1,libc6,%s' "$python" | depends_sorted)" \
    "$(in_root "dpkg-query -W -f='\${Depends}' daz-izezovivadezurid" | sed 's/ ([^)]*)//g' | depends_sorted)"
  check "the libc6 version is dpkg-shlibdeps' own" "$(printf '%s,%s' "$shlibs" "$python" | depends_sorted)" \
    "$(in_root "dpkg-query -W -f='\${Depends}' daz-izezovivadezurid" | depends_sorted)"
  check "the package suggests xmllint's package" libxml2-utils \
    "$(in_root "dpkg-query -W -f='\${Suggests}' daz-izezovivadezurid")"
  check "the program needs glibc's libraries alone" "libc.so.6" \
    "$(in_root 'ldd /usr/bin/daz-izezovivadezurid' | awk '$2 == "=>" { print $1 }' | sort | tr '\n' ' ' |
      sed 's/ $//')"
  check "the case checker needs glibc's libraries and admesh alone" \
    "libadmesh.so.1 libc.so.6 libm.so.6" \
    "$(in_root 'ldd /usr/bin/daz-izezovivadezurid-check' | awk '$2 == "=>" { print $1 }' | sort |
      tr '\n' ' ' | sed 's/ $//')"
  check "the case checker finds nothing in the installed examples" "status 0" \
    "$(as_user 'daz-izezovivadezurid-check /usr/share/doc/daz-izezovivadezurid/examples >/dev/null 2>&1;
      echo "status $?"')"
  local program
  for program in "$unpacked"/tree/usr/bin/*; do
    program=$(basename "$program")
    check "$program has its man page" yes \
      "$(in_root "test -f /usr/share/man/man1/$program.1.gz && echo yes || echo no")"
  done
  local file
  for file in /usr/share/doc/daz-izezovivadezurid/copyright \
    /usr/share/doc/daz-izezovivadezurid/changelog.Debian.gz \
    /usr/share/doc/daz-izezovivadezurid/README.md.gz \
    /usr/share/doc/daz-izezovivadezurid/catalog-reference.md.gz \
    /usr/share/doc/daz-izezovivadezurid/examples/case7.json \
    /usr/share/daz-izezovivadezurid/schemas/constructionInfo.xsd \
    /usr/share/daz-izezovivadezurid/schemas/case-metadata.schema.json; do
    check "$file is installed" yes "$(in_root "test -f $file && echo yes || echo no")"
  done

  # The man page's commands for the examples: the "$ " lines (and their
  # continuation lines) of the FILES section's Examples part, as man shows
  # them.
  local commands=$work/man-commands.sh
  zcat "$unpacked/tree/usr/share/man/man1/daz-izezovivadezurid.1.gz" |
    LC_ALL=C groff -man -Tascii -rLL=200n -P-cbou 2>/dev/null |
    awk '/^   Examples$/ { inside = 1; next }
         inside && /^   [^ ]/ || inside && /^[^ ]/ { inside = 0 }
         inside && /^ +\$ / { sub(/^ +\$ /, ""); print; going = /\\$/; next }
         inside && going { sub(/^ +/, "    "); print; going = /\\$/ }' >"$commands"
  check "the man page shows how to copy the examples" yes \
    "$(grep -q '^cp .*/usr/share/doc/daz-izezovivadezurid/examples' "$commands" && echo yes || echo no)"
  echo "As a normal user, the man page's commands:"
  sed 's/^/  /' "$commands"
  local status=0
  as_user "$(cat "$commands")" >"$work/examples.log" 2>&1 || status=$?
  check "the man page's commands run as a normal user" 0 "$status"
  ((status == 0)) || cat "$work/examples.log"
  local pair
  for pair in "${goldens[@]}"; do
    check "${pair%%:*} converts to the golden document" same \
      "$(same_file "$target/home/user/daz-examples/$(document_of "$pair")" "$(golden_of "$pair")")"
  done
  check "the installed examples stay as they were" \
    "$(find "$unpacked/tree/usr/share/doc/daz-izezovivadezurid/examples" -type f -printf '%P\n' | sort)" \
    "$(find "$target/usr/share/doc/daz-izezovivadezurid/examples" -type f -printf '%P\n' | sort)"

  in_root 'apt-get purge -y -qq daz-izezovivadezurid' >"$work/purge.log" 2>&1 ||
    { cat "$work/purge.log" >&2; exit 1; }
  local left=""
  while IFS= read -r file; do
    [ -e "$target/$file" ] && [ ! -d "$target/$file" ] && left+="$file "
  done < <(cd "$unpacked/tree" && find . -type f -printf '/%P\n')
  check "the purged package leaves none of its files" "" "$left"
  umount "$target/proc" && mounted=""
}

# --- The zip under Wine -------------------------------------------------------------
test_zip() {
  local unpacked=$work/zip
  mkdir -p "$unpacked"
  (cd "$unpacked" && cmake -E tar xf "$zip")
  local text
  for text in "$unpacked"/*.txt; do
    check "$(basename "$text") has CRLF line ends only" 0 "$(awk '!/\r$/' "$text" | wc -l)"
    check "$(basename "$text") names no Debian path" 0 "$(grep -c '/usr/' "$text")"
  done
  local program
  for program in "$unpacked"/*.exe "$unpacked"/*.py; do
    [ -e "$program" ] || continue
    program=$(basename "$program")
    check "README.txt names $program" yes "$(grep -q "^$program"$'\r'"\$" "$unpacked/README.txt" && echo yes || echo no)"
  done
  local exe=$unpacked/daz-izezovivadezurid.exe
  local version
  version=$(basename "$zip" -windows.zip)
  version=${version#daz-izezovivadezurid-}
  check "the .exe's FileVersion is the zip's version" yes \
    "$(iconv -c -f UTF-16LE -t UTF-8 "$exe" | tr -c '[:print:]' '\n' | grep -x -- "$version" >/dev/null && echo yes || echo no)"
  check "-V prints the version" "daz-izezovivadezurid dev-version" \
    "$(scripts/wine-run.sh "$exe" -V 2>&1 | tr -d '\r')"
  # README.txt's way: the examples copied to a folder of one's own, run
  # there with the .exe of the zip.
  local copy=$work/zip-user/daz-examples
  mkdir -p "$(dirname "$copy")"
  cp -r "$unpacked/examples" "$copy"
  local pair
  for pair in "${goldens[@]}"; do
    scripts/wine-run.sh "$exe" "$(winepath_of "$copy/${pair%%:*}")" >/dev/null 2>"$work/zip-run.log" || true
    check "${pair%%:*} converts to the golden document under Wine" same \
      "$(same_file "$copy/$(document_of "$pair")" "$(golden_of "$pair")")"
  done
  check "the case checker finds nothing in the examples under Wine" "status 0" \
    "$(scripts/wine-run.sh "$unpacked/daz-izezovivadezurid-check.exe" "$(winepath_of "$copy")" \
      >/dev/null 2>&1; echo "status $?")"
}
# Wine sees the root file system as drive Z:.
winepath_of() { printf 'Z:%s' "${1//\//\\}"; }

if [ -n "$deb" ]; then test_deb; fi
if [ -n "$zip" ]; then test_zip; fi

echo "package test: $passed passed, $failed failed"
((failed == 0))
