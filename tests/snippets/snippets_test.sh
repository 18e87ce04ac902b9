#!/usr/bin/env bash
# Runs the README's script snippets (doc/snippets/) against the built tool:
# a case that converts, one that fails, the document on standard output, and
# the PowerShell snippet's text, which has no interpreter here, for the same
# steps as the others.
# Usage: snippets_test.sh TOOL SOURCE_DIR bash|python|powershell
set -u
DAZ_TOOL=$(realpath "$1")
export DAZ_TOOL
source_dir=$(realpath "$2")
language=$3
snippets=$source_dir/doc/snippets
golden=$source_dir/tests/fixtures/golden/case7.constructionInfo
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$source_dir/examples" "$work/examples"
printf '%s' '{"machine": "WNC"}' >"$work/broken.json"
cd "$work"

passed=0
failed=0
check() { # WHAT CONDITION...
  local what=$1
  shift
  if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAIL: $what"; fi
}
same_bytes() { cmp -s "$1" "$2"; }
contains() { [[ $(<"$1") == *"$2"* ]]; }

case $language in
  bash) convert=("$snippets/convert.sh") files=(convert.sh convert-to-stdout.sh) ;;
  python) convert=(python3 "$snippets/convert.py") files=(convert.py) ;;
  powershell) files=(convert.ps1) ;;
  *) echo "unknown language $language" >&2; exit 2 ;;
esac

# The README quotes each snippet whole, in a fenced block.
readme_quotes() { # FILE
  local readme body
  readme=$(<"$source_dir/README.md")
  body=$(<"$snippets/$1")
  [[ $readme == *$'```'*$'\n'"$body"$'\n```'* ]]
}
for file in "${files[@]}"; do
  check "README quotes $file" readme_quotes "$file"
done

if [ "$language" = powershell ]; then
  ps1=$snippets/convert.ps1
  check "calls the tool with the case file" grep -q '& \$Tool \$CaseFile' "$ps1"
  check "keeps standard error apart" grep -q '2> \$errors.FullName' "$ps1"
  check "checks the status" grep -q '\$status = \$LASTEXITCODE' "$ps1"
  check "reads the path from the Generated line" grep -qF "-replace '^Generated '" "$ps1"
  check "shows standard error on failure" grep -q 'Get-Content -Raw -Encoding UTF8 \$errors.FullName' "$ps1"
  check "ends with the tool's status" grep -q 'exit \$status' "$ps1"
else
  "${convert[@]}" examples/case7.json >out 2>err
  check "$language: converts with status 0" [ $? -eq 0 ]
  check "$language: prints the document's path" [ "$(<out)" = "document: examples/case7.constructionInfo" ]
  check "$language: nothing on standard error" [ ! -s err ]
  check "$language: writes the document" same_bytes examples/case7.constructionInfo "$golden"

  "${convert[@]}" broken.json >out 2>err
  check "$language: a failure keeps the tool's status 1" [ $? -eq 1 ]
  check "$language: nothing on standard output on failure" [ ! -s out ]
  check "$language: shows the tool's report" contains err "conversion of broken.json failed with status 1:
Error: Failed to parse JSON metadata file 'broken.json'

Caused by:
    missing field \`material\` at line 1 column 18"
fi

if [ "$language" = bash ]; then
  # The document alone on standard output, the Generated line on standard error.
  "$snippets/convert-to-stdout.sh" examples/case7.json >out 2>err
  check "to standard output: status 0" [ $? -eq 0 ]
  check "to standard output: the document alone" same_bytes out "$golden"
  check "to standard output: the Generated line on standard error" [ "$(<err)" = "Generated /dev/fd/3" ]
  "$snippets/convert-to-stdout.sh" examples/case7.json 2>err | cat >out
  check "to a pipe: the document alone" same_bytes out "$golden"
  # What the README warns of: with -o /dev/stdout the line follows the
  # document, on the same line since the document has no final line feed.
  "$DAZ_TOOL" examples/case7.json -o /dev/stdout | cat >out
  { cat "$golden"; echo "Generated /dev/stdout"; } >expected
  check "-o /dev/stdout: the Generated line right after the document" same_bytes out expected
fi

echo "snippets ($language): $passed passed, $failed failed"
((failed == 0))
