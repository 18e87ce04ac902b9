#!/usr/bin/env bash
# Converts one case and prints the path of its document; on failure shows
# the tool's report and ends with the tool's status.
# Usage: convert.sh CASE.json   (DAZ_TOOL names the program, if not on PATH)
tool=${DAZ_TOOL:-daz-izezovivadezurid}
case_file=$1

errors=$(mktemp)
trap 'rm -f "$errors"' EXIT
if output=$("$tool" "$case_file" 2>"$errors"); then
  document=${output#Generated }   # the one line on success: "Generated <path>"
  echo "document: $document"
else
  status=$?                       # 1: bad case files; 2: bad command line
  echo "conversion of $case_file failed with status $status:" >&2
  cat "$errors" >&2
  exit "$status"
fi
