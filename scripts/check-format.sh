#!/usr/bin/env bash
# Checks that every tracked C++ file (*.cpp, *.h) is as Debian 12's
# clang-format (clang-format-14) writes it under the repository's
# .clang-format. Lists the files that differ and fails when any does; to
# mend them: clang-format-14 -i FILE...
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh clang-format-14 git

mapfile -t files < <(git ls-files -- '*.cpp' '*.h')
if ((${#files[@]} == 0)); then
  echo "check-format.sh: no tracked C++ file found (not a git checkout?)" >&2
  exit 1
fi
# One clang-format for all files: it names each place that it would write
# otherwise ("FILE:LINE:COLUMN: error: code should be clang-formatted").
report=$(mktemp)
trap 'rm -f "$report"' EXIT
status=0
clang-format-14 --dry-run --Werror --style=file "${files[@]}" >"$report" 2>&1 || status=$?
mapfile -t differ < <(sed -n 's/^\(.*\):[0-9]*:[0-9]*: error: code should be clang-formatted.*/\1/p' \
  "$report" | sort -u)
if ((status != 0)) && ((${#differ[@]} == 0)); then
  cat "$report" >&2
  echo "check-format.sh: clang-format-14 failed (status $status)" >&2
  exit 1
fi
if ((${#differ[@]} > 0)); then
  echo "Not formatted as clang-format-14 writes them (${#differ[@]} of ${#files[@]} files):" >&2
  printf '  %s\n' "${differ[@]}" >&2
  echo "Mend with: clang-format-14 -i FILE..." >&2
  exit 1
fi
echo "All ${#files[@]} C++ files formatted as clang-format-14 writes them"
