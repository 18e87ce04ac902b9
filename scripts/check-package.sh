#!/usr/bin/env bash
# The package checks of CI; each failing finding fails the script:
#   1. the man page passes `mandoc -Tlint` with no message at all;
#   2. COPYRIGHT still matches the copyright files of the Debian packages
#      the program is built from (scripts/notices.py --check);
#   3. the .deb and the Windows zip, each made twice by scripts/package.sh
#      from two clones of this repository's HEAD at two different paths,
#      with SOURCE_DATE_EPOCH left to the script, are the same byte for
#      byte; a file that git does not track, left under examples/ in one
#      clone, is in neither package; the machine's apt configuration is as
#      it was;
#   4. lintian -I finds nothing in the .deb: no error, no warning, no
#      hardening or other information tag (overridden findings, each with its
#      reason in packaging/lintian-overrides, aside).
# Installs what it needs (mandoc, lintian, and the packages the notices come
# from). Builds from committed files only: commit first. Takes about as long
# as two release builds and two Windows builds.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
# shellcheck source=lib/apt.sh
. scripts/lib/apt.sh
apt_install_missing --quiet --no-recommends mandoc lintian git python3 dpkg-dev file \
  libyaml-dev libcli11-dev libfast-float-dev libdragonbox-dev libstdc++-12-dev mingw-w64-x86-64-dev \
  libadmesh-dev libnanoflann-dev

passed=0
failed=0
pass() { echo "ok: $1"; passed=$((passed + 1)); }
fail() { echo "FAIL: $1"; failed=$((failed + 1)); }

# --- The man page -----------------------------------------------------------------
for page in doc/*.1; do
  if findings=$(mandoc -Tlint "$page" 2>&1) && [ -z "$findings" ]; then
    pass "mandoc -Tlint $page"
  else
    fail "mandoc -Tlint $page:"$'\n'"$findings"
  fi
done

# --- The notices ------------------------------------------------------------------
if findings=$(scripts/notices.py --check 2>&1); then
  pass "COPYRIGHT matches the Debian packages' copyright files"
else
  fail "$findings"
fi

# --- Two runs of each package ------------------------------------------------------
work=$root/build/package-check
rm -rf "$work"
mkdir -p "$work"
commit=$(git rev-parse HEAD)
unset SOURCE_DATE_EPOCH
clones=("$work/first" "$work/second/at/another/path")
for clone in "${clones[@]}"; do
  git clone -q --no-hardlinks --no-checkout "$root" "$clone"
  git -C "$clone" checkout -q "$commit"
done
# What a user leaves beside the examples: a document written there (which
# git ignores) and a file of their own.
leftovers=(examples/case7.constructionInfo examples/my-notes.txt)
for file in "${leftovers[@]}"; do echo "not for the package" >"${clones[0]}/$file"; done
# The Windows dependencies, prepared once here, serve both clones.
scripts/windows-deps.sh
apt_configuration() { find /etc/apt -type f -print0 | sort -z | xargs -0 sha256sum; }
apt_before=$(apt_configuration)
debs=()
zips=()
for clone in "${clones[@]}"; do
  mkdir -p "$clone/build"
  ln -s "$root/build/windows-deps" "$clone/build/windows-deps"
  # Each clone builds on its own, without a compiler cache shared with the
  # other, so that nothing of one build reaches the other.
  for kind in "" --windows; do
    if ! (cd "$clone" && env -u CMAKE_CXX_COMPILER_LAUNCHER scripts/package.sh $kind) \
        >>"$clone.log" 2>&1; then
      cat "$clone.log" >&2
      fail "scripts/package.sh $kind did not pack in $clone"
      echo "package checks: $passed passed, $failed failed"
      exit 1
    fi
  done
  debs+=("$(ls "$clone"/build/packages/daz-izezovivadezurid_*.deb)")
  zips+=("$(ls "$clone"/build/packages/daz-izezovivadezurid-*-windows.zip)")
done
for pair in "the .deb:${debs[0]}:${debs[1]}" "the zip:${zips[0]}:${zips[1]}"; do
  IFS=: read -r what first second <<<"$pair"
  if cmp "$first" "$second"; then
    pass "$what is reproducible ($(sha256sum <"$first" | cut -c1-16)...)"
  else
    fail "the two runs of $what differ: $first $second"
  fi
done
packed=$(dpkg-deb -c "${debs[0]}"; cmake -E tar tf "${zips[0]}")
for file in "${leftovers[@]}"; do
  if grep -qF "$(basename "$file")" <<<"$packed"; then
    fail "$file, which git does not track, is packed"
  else
    pass "$file, which git does not track, is not packed"
  fi
done
if [ "$(apt_configuration)" = "$apt_before" ]; then
  pass "the machine's apt configuration is as it was"
else
  fail "packing changed the machine's apt configuration (/etc/apt)"
fi

# --- lintian ----------------------------------------------------------------------
# (Its notes about itself, such as running as root, go to standard error.)
# Spelling in the programs is not asked of lintian: it reads the words of
# the machine code's strings, where the compiler cuts a message into the
# immediate operands of its instructions (" where" read as "whe"), and which
# pieces those are changes with any edit, so an override would not hold.
# The programs' messages are pinned word for word by the tests instead.
if findings=$(lintian -I --fail-on error,warning,info --tag-display-limit 0 \
  --suppress-tags spelling-error-in-binary "${debs[0]}") &&
  [ -z "$findings" ]; then
  pass "lintian -I: no finding"
else
  fail "lintian:"$'\n'"$findings"
fi

echo "package checks: $passed passed, $failed failed"
((failed == 0))
