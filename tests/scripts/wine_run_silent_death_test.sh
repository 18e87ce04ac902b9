#!/usr/bin/env bash
# A real Windows program that dies with no output, run through
# scripts/wine-run.sh: it fails with its own status and is started once,
# never a second time that might pass and hide it.
#
#   wine_run_silent_death_test.sh WINE_RUN PROGRAM.exe
set -uo pipefail
wine_run=$1
program=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
status=0
"$wine_run" "$program" >out 2>err || status=$?
starts=$(cat starts 2>/dev/null | wc -l)
if [ "$status" = 3 ] && [ "$starts" = 1 ] && [ ! -s out ]; then
  echo "passed: status 3, started once, no output"
  exit 0
fi
printf 'FAIL: expected status 3, one start and no output\n  got status %s, %s starts\n' \
  "$status" "$starts"
printf '  stdout: %s\n  stderr: %s\n' "$(cat out)" "$(cat err)"
exit 1
