#!/usr/bin/env bash
# The package checks of CI; each failing finding fails the script:
#   1. the man page passes `mandoc -Tlint` with no message at all;
#   2. COPYRIGHT still matches the copyright files of the Debian packages
#      the program is built from (scripts/notices.py --check);
#   3. the .deb, built twice from two clones of this repository's HEAD at
#      two different paths with the same SOURCE_DATE_EPOCH (the last
#      commit's time), is the same byte for byte;
#   4. lintian finds no error and no warning in it (overridden findings,
#      each with its reason in packaging/lintian-overrides, aside).
# Installs what it needs (mandoc, lintian, and the packages the notices come
# from). Builds from committed files only: commit first. Takes about as long
# as two release builds.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
# shellcheck source=lib/apt.sh
. scripts/lib/apt.sh
apt_install_missing --quiet --no-recommends mandoc lintian git python3 dpkg-dev file \
  libyaml-dev libcli11-dev libfast-float-dev libdragonbox-dev libstdc++-12-dev mingw-w64-x86-64-dev

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

# --- Two builds of the .deb ---------------------------------------------------------
work=$root/build/package-check
rm -rf "$work"
mkdir -p "$work"
commit=$(git rev-parse HEAD)
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct "$commit")
export SOURCE_DATE_EPOCH
clones=("$work/first" "$work/second/at/another/path")
for clone in "${clones[@]}"; do
  git clone -q --no-hardlinks --no-checkout "$root" "$clone"
  git -C "$clone" checkout -q "$commit"
done
debs=()
for clone in "${clones[@]}"; do
  # Each clone builds on its own, without a compiler cache shared with the
  # other, so that nothing of one build reaches the other.
  if ! (cd "$clone" && env -u CMAKE_CXX_COMPILER_LAUNCHER scripts/package.sh) >"$clone.log" 2>&1; then
    cat "$clone.log" >&2
    fail "the .deb did not build in $clone"
    echo "package checks: $passed passed, $failed failed"
    exit 1
  fi
  debs+=("$(ls "$clone"/build/packages/daz-izezovivadezurid_*.deb)")
done
if cmp "${debs[0]}" "${debs[1]}"; then
  pass "the .deb is reproducible ($(sha256sum <"${debs[0]}" | cut -c1-16)...)"
else
  fail "the two builds of the .deb differ: ${debs[*]}"
fi

# --- lintian ----------------------------------------------------------------------
if findings=$(lintian --fail-on error,warning --no-tag-display-limit "${debs[0]}" 2>&1); then
  pass "lintian: no error, no warning"
else
  fail "lintian:"$'\n'"$findings"
fi

echo "package checks: $passed passed, $failed failed"
((failed == 0))
