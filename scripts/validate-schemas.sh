#!/usr/bin/env bash
# Checks the schemas under schemas/ against what the tool really writes and
# reads, with real validators: xmllint (Debian's libxml2-utils) for the XML
# Schema and ajv-cli (npm, JSON Schema draft 2020-12) for the JSON Schema.
#
# - Every golden document under tests/fixtures/golden/, and the document the
#   tool writes now for every case under examples/, for the edge fixture and
#   for a case without products, validates against constructionInfo.xsd.
# - The edits of tests/schemas/constructionInfo-edits.tsv, applied to the
#   case7 golden document, give well-formed documents that validate or not as
#   the table says.
# - Every case under examples/ and the edge fixture validate against
#   case-metadata.schema.json, and every text of
#   tests/schemas/case-metadata-cases.tsv validates or not as the table says;
#   the tool's own reader must agree: a valid text gets past the JSON reading,
#   an invalid one fails it.
#
# Installs libxml2-utils when xmllint is missing, and Node.js with npm when npm
# is missing (Debian packages); installs ajv-cli into build/schema-tools (never
# globally). Builds the release binary unless --tool names a built one.
# Takes about 10 s once the tools are there.
#
# Usage: scripts/validate-schemas.sh [--tool PATH]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

tool=""
while (($# > 0)); do
  case $1 in
    --tool) tool=$(realpath "$2"); shift 2 ;;
    *) echo "usage: $0 [--tool PATH]" >&2; exit 2 ;;
  esac
done

xsd=$root/schemas/constructionInfo.xsd
json_schema=$root/schemas/case-metadata.schema.json
tools=$root/build/schema-tools
work=$root/build/schema-check
ajv_cli_version=5.0.0
ajv_version=8.20.0

# --- Validators ---------------------------------------------------------------
command -v xmllint >/dev/null || scripts/install-deps.sh libxml2-utils
command -v npm >/dev/null || scripts/install-deps.sh nodejs npm
installed_version() {
  sed -n 's/^  "version": "\(.*\)",$/\1/p' "$tools/node_modules/$1/package.json" 2>/dev/null
}
if [ "$(installed_version ajv-cli)" != "$ajv_cli_version" ] ||
  [ "$(installed_version ajv)" != "$ajv_version" ]; then
  mkdir -p "$tools"
  npm install --prefix "$tools" --no-save --no-package-lock --no-audit --no-fund --loglevel=error \
    "ajv-cli@$ajv_cli_version" "ajv@$ajv_version" >/dev/null
fi
ajv=$tools/node_modules/.bin/ajv

# --- The tool -------------------------------------------------------------------
if [ -z "$tool" ]; then
  scripts/install-deps.sh
  cmake --preset linux-release >/dev/null
  cmake --build --preset linux-release --parallel "$(nproc)" >/dev/null
  tool=$root/build/release/src/main/daz-izezovivadezurid
fi

rm -rf "$work"
mkdir -p "$work"
passed=0
failed=0
pass() { passed=$((passed + 1)); }
fail() {
  failed=$((failed + 1))
  echo "FAIL: $*"
}

# --- Documents ------------------------------------------------------------------
# The tool's output for each case, written under build/ so that the example
# folders stay clean.
mkdir -p "$work/out" "$work/no-products"
documents=("$root"/tests/fixtures/golden/*.constructionInfo)
convert() { # CASE_FILE OUTPUT_NAME
  if "$tool" "$1" -o "$work/out/$2.constructionInfo" >/dev/null 2>"$work/out/$2.err"; then
    documents+=("$work/out/$2.constructionInfo")
  else
    fail "the tool did not convert $1: $(cat "$work/out/$2.err")"
  fi
}
while IFS= read -r case_file; do
  name=${case_file#examples/}
  name=${name%.json}
  convert "$case_file" "${name//\//-}"
done < <(find examples -name '*.json' | sort)
convert tests/fixtures/edge/edge.json edge
printf '%s' '{"machine":"VHF_K5","material":"ZR","material_brand_reference":"","products":[]}' \
  >"$work/no-products/no-products.json"
convert "$work/no-products/no-products.json" no-products

for document in "${documents[@]}"; do
  if xmllint --noout --schema "$xsd" "$document" 2>"$work/xmllint.err"; then
    pass
  else
    fail "${document#"$root"/} does not validate: $(cat "$work/xmllint.err")"
  fi
done

# Edited documents: every occurrence of a text replaced, "\n" a line feed.
mkdir -p "$work/edits"
golden=$(<"$root/tests/fixtures/golden/case7.constructionInfo")
row=0
while IFS=$'\t' read -r expect what find replacement; do
  [[ -z $expect || $expect == \#* ]] && continue
  row=$((row + 1))
  printf -v find '%b' "$find"
  printf -v replacement '%b' "$replacement"
  if [[ $golden != *"$find"* ]]; then
    fail "edit '$what': the golden document has no '$find'"
    continue
  fi
  document="$work/edits/$row.constructionInfo"
  printf '%s' "${golden//"$find"/"$replacement"}" >"$document"
  if ! xmllint --noout "$document" 2>"$work/xmllint.err"; then
    fail "edit '$what' gives a document that is not well-formed: $(cat "$work/xmllint.err")"
    continue
  fi
  if xmllint --noout --schema "$xsd" "$document" 2>"$work/xmllint.err"; then
    result=valid
  else
    result=invalid
  fi
  if [ "$result" = "$expect" ]; then
    pass
  else
    fail "edit '$what' ($document) is $result, expected $expect: $(cat "$work/xmllint.err")"
  fi
done <tests/schemas/constructionInfo-edits.tsv

# --- Case metadata files ----------------------------------------------------------
# Each text in a folder of its own, since the tool looks for margin line files
# beside it.
declare -A what_of
mapfile -t valid_files < <(find examples -name '*.json' | sort)
valid_files+=(tests/fixtures/edge/edge.json)
invalid_files=()
head='{"machine":"M","material":"ZR","material_brand_reference":"","products":['
product_head='{"product_type":"Crown","bounding_box":[],"stl":"",'
row=0
while IFS=$'\t' read -r expect where what text; do
  [[ -z $expect || $expect == \#* ]] && continue
  row=$((row + 1))
  case $where in
    case) ;;
    product) text="$head$text]}" ;;
    tooth) text="$head$product_head\"tooth_iso_number\":[$text]}]}" ;;
    point) text="$head$product_head\"margin_line_coordinates\":[$text]}]}" ;;
    *) fail "case table: unknown place '$where' for '$what'"; continue ;;
  esac
  file="$work/cases/$row/case.json"
  mkdir -p "${file%/*}"
  printf '%s' "$text" >"$file"
  what_of[$file]=$what
  if [ "$expect" = valid ]; then valid_files+=("$file"); else invalid_files+=("$file"); fi

  # The tool's reader decides the same way.
  "$tool" "$file" -o "$work/cases/$row/out.xml" >/dev/null 2>"$work/cases/$row/err" || true
  if grep -q "^Error: Failed to parse JSON metadata file" "$work/cases/$row/err"; then
    result=invalid
  else
    result=valid
  fi
  if [ "$result" = "$expect" ]; then
    pass
  else
    fail "case '$what' is $result for the tool, expected $expect: $(cat "$work/cases/$row/err")"
  fi
done <tests/schemas/case-metadata-cases.tsv

# One ajv run for each expectation; it prints "<file> passed test" or
# "<file> failed test" for every file, and a file it cannot parse ends it.
check_with_ajv() { # valid|invalid FILE...
  local expect=$1 file outcome data=()
  shift
  for file in "$@"; do data+=(-d "$file"); done
  "$ajv" test --spec=draft2020 --strict=true --errors=line -s "$json_schema" "${data[@]}" \
    "--$expect" >"$work/ajv.out" 2>&1 || true
  for file in "$@"; do
    if grep -qxF "$file passed test" "$work/ajv.out"; then
      pass
    elif grep -qxF "$file failed test" "$work/ajv.out"; then
      # With --errors=line, the errors of an invalid file follow on one line.
      outcome=$(grep -A1 -xF "$file failed test" "$work/ajv.out" | sed -n '2{/^\[/p}')
      if [ "$expect" = valid ]; then
        fail "the schema rejects case '${what_of[$file]:-$file}' ($file): $outcome"
      else
        fail "the schema accepts case '${what_of[$file]:-$file}' ($file)"
      fi
    else
      fail "ajv gave no result for $file: $(cat "$work/ajv.out")"
    fi
  done
}
if "$ajv" compile --spec=draft2020 --strict=true -s "$json_schema" >"$work/ajv.out" 2>&1; then
  check_with_ajv valid "${valid_files[@]}"
  check_with_ajv invalid "${invalid_files[@]}"
else
  fail "ajv does not accept the schema: $(cat "$work/ajv.out")"
fi

echo "schemas: $passed passed, $failed failed"
((failed == 0))
