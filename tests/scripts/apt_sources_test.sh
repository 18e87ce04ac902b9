#!/usr/bin/env bash
# scripts/lib/apt.sh reads apt sources of both formats the same way, and
# fails with a message when they name no archive. Runs on made-up sources
# in a temporary folder (APT_SOURCES_DIR); no address here is a real one.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export APT_SOURCES_DIR=$work
# shellcheck source=../../scripts/lib/apt.sh
. "$here/../../scripts/lib/apt.sh"

passed=0
failed=0
check() { # WHAT EXPECTED ACTUAL
  if [ "$2" = "$3" ]; then
    passed=$((passed + 1))
  else
    printf 'FAIL: %s\n  expected: %q\n  got:      %q\n' "$1" "$2" "$3"
    failed=$((failed + 1))
  fi
}
sources() { # FILE CONTENT: a fresh set of sources holding that one file
  rm -rf "$work"/sources.list "$work"/sources.list.d
  mkdir -p "$work/sources.list.d"
  [ -n "$1" ] && printf '%s' "$2" >"$work/$1"
}
tab=$'\t'

sources sources.list $'# a comment\ndeb [arch=amd64 signed-by=/k.gpg] http://one.test/debian stable main contrib\ndeb-src http://one.test/debian stable main\n'
check "one-line deb entry with options" "http://one.test/debian${tab}stable${tab}main contrib${tab}arch=amd64 signed-by=/k.gpg" \
  "$(apt_source_entries deb)"
check "one-line deb-src entry" "http://one.test/debian${tab}stable${tab}main${tab}" "$(apt_source_entries deb-src)"
check "archive and suite from one-line sources" "http://one.test/debian stable" "$(apt_archive_and_suite)"

sources sources.list.d/a.sources $'Types: deb deb-src\nURIs: http://two.test/d\nSuites: s1 s2\nComponents: main\nSigned-By: /k.gpg\n\nTypes: deb\nEnabled: no\nURIs: http://off.test/d\nSuites: x\nComponents: main\n'
check "deb822 entries, one per suite, disabled left out" \
  "http://two.test/d${tab}s1${tab}main${tab}signed-by=/k.gpg"$'\n'"http://two.test/d${tab}s2${tab}main${tab}signed-by=/k.gpg" \
  "$(apt_source_entries deb)"
check "archive and suite from deb822 sources" "http://two.test/d s1" "$(apt_archive_and_suite)"

sources sources.list.d/b.list $'deb-src http://three.test/d stable main\n'
message=$(apt_archive_and_suite 2>&1 >/dev/null)
status=$?
check "no deb entry: a failure" 1 "$status"
check "no deb entry: the message says so" yes "$([[ $message == "No Debian archive in this machine's apt sources"* ]] && echo yes)"

sources "" ""
check "no sources at all: a failure" 1 "$(apt_archive_and_suite >/dev/null 2>&1; echo $?)"

echo "apt sources: $passed passed, $failed failed"
((failed == 0))
