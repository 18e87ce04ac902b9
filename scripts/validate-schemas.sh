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
#   the tool must agree: a valid text converts, an invalid one fails.
# - Every case under examples/ validates against
#   case-metadata.strict.schema.json, and every text of
#   tests/schemas/case-metadata-strict-cases.tsv validates or not as the table
#   says, the tool converts it or not as the table says, and
#   case-metadata.schema.json accepts exactly those that convert.
# - The strict schema's error for a misspelt machine, material or brand
#   reference names the values it takes.
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
strict_schema=$root/schemas/case-metadata.strict.schema.json
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
# Each text in a folder of its own beside a margin line file p.pts, since the
# tool reads the margin line files beside the case file. The tool's verdict is
# its exit status: a case is valid when it converts.
declare -A what_of
mapfile -t valid_files < <(find examples -name '*.json' | sort)
valid_files+=(tests/fixtures/edge/edge.json)
invalid_files=()
strict_valid_files=()
strict_invalid_files=()
row=0
case_file_of_row() { # TEXT WHAT: writes the text into a fresh folder, named by $file
  row=$((row + 1))
  file="$work/cases/$row/case.json"
  mkdir -p "${file%/*}"
  printf '%s' "$1" >"$file"
  printf 'BEGIN_MARGIN\n1 2 3\nEND_MARGIN\n' >"${file%/*}/p.pts"
  what_of[$file]=$2
}
tool_verdict() { # FILE: converts or fails
  if "$tool" "$1" -o "${1%/*}/out.xml" >/dev/null 2>"${1%/*}/err"; then
    echo converts
  else
    echo fails
  fi
}

head='{"machine":"M","material":"ZR","material_brand_reference":"","products":['
product_head='{"product_type":"Crown","bounding_box":[0,0,0,10,10,8],"stl":"","pts":"p.pts",'
while IFS=$'\t' read -r expect where what text; do
  [[ -z $expect || $expect == \#* ]] && continue
  case $where in
    case) ;;
    product) text="$head$text]}" ;;
    tooth) text="$head$product_head\"tooth_iso_number\":[$text]}]}" ;;
    point) text="$head$product_head\"tooth_iso_number\":[11],\"margin_line_coordinates\":[$text]}]}" ;;
    *) fail "case table: unknown place '$where' for '$what'"; continue ;;
  esac
  case_file_of_row "$text" "$what"
  if [ "$expect" = valid ]; then valid_files+=("$file"); else invalid_files+=("$file"); fi
  result=$(tool_verdict "$file")
  if [ "$result" = "$([ "$expect" = valid ] && echo converts || echo fails)" ]; then
    pass
  else
    fail "case '$what' $result with the tool, but is $expect in the table: $(cat "${file%/*}/err")"
  fi
done <tests/schemas/case-metadata-cases.tsv

# The strict schema: every example is valid. The edge fixture is not: it
# holds a misspelt material, an unknown brand reference and tooth numbers
# outside ISO 3950 on purpose.
mapfile -t strict_valid_files < <(find examples -name '*.json' | sort)
strict_invalid_files+=(tests/fixtures/edge/edge.json)
strict_head='{"machine":"VHF_K5","material":"ZIRCONIUM","material_brand_reference":"zige","products":['
strict_product='{"product_type":"Crown","tooth_iso_number":[11],"bounding_box":[0,0,0,10,10,8],"color":"A2","stl":"c.stl","pts":"p.pts"}'
strict_tail='"products":['"$strict_product"']}'
while IFS=$'\t' read -r expect tool_expect where what text; do
  [[ -z $expect || $expect == \#* ]] && continue
  case $where in
    case) ;;
    machine) text="{\"machine\":$text,\"material\":\"ZR\",\"material_brand_reference\":\"zige\",$strict_tail" ;;
    material) text="{\"machine\":\"VHF_K5\",\"material\":$text,\"material_brand_reference\":\"zige\",$strict_tail" ;;
    reference) text="{\"machine\":\"AMANNGIRRBACH_CM3\",\"material\":\"ZR\",\"material_brand_reference\":$text,$strict_tail" ;;
    product) text="$strict_head$text]}" ;;
    tooth) text="$strict_head${strict_product/\[11\]/[$text]}]}" ;;
    *) fail "strict case table: unknown place '$where' for '$what'"; continue ;;
  esac
  case_file_of_row "$text" "$what"
  if [ "$expect" = valid ]; then strict_valid_files+=("$file"); else strict_invalid_files+=("$file"); fi
  # The plain schema follows the tool.
  if [ "$tool_expect" = converts ]; then valid_files+=("$file"); else invalid_files+=("$file"); fi
  result=$(tool_verdict "$file")
  if [ "$result" = "$tool_expect" ]; then
    pass
  else
    fail "strict case '$what' $result with the tool, expected $tool_expect: $(cat "${file%/*}/err")"
  fi
done <tests/schemas/case-metadata-strict-cases.tsv

# One ajv run for each expectation; it prints "<file> passed test" or
# "<file> failed test" for every file, and a file it cannot parse ends it.
check_with_ajv() { # SCHEMA valid|invalid FILE...
  local schema=$1 expect=$2 file outcome data=()
  shift 2
  (($# > 0)) || return 0
  for file in "$@"; do data+=(-d "$file"); done
  "$ajv" test --spec=draft2020 --strict=true --errors=line -s "$schema" "${data[@]}" \
    "--$expect" >"$work/ajv.out" 2>&1 || true
  for file in "$@"; do
    if grep -qxF "$file passed test" "$work/ajv.out"; then
      pass
    elif grep -qxF "$file failed test" "$work/ajv.out"; then
      # With --errors=line, the errors of an invalid file follow on one line.
      outcome=$(grep -A1 -xF "$file failed test" "$work/ajv.out" | sed -n '2{/^\[/p}')
      if [ "$expect" = valid ]; then
        fail "${schema##*/} rejects case '${what_of[$file]:-$file}' ($file): $outcome"
      else
        fail "${schema##*/} accepts case '${what_of[$file]:-$file}' ($file)"
      fi
    else
      fail "ajv gave no result for $file: $(cat "$work/ajv.out")"
    fi
  done
}
for schema in "$json_schema" "$strict_schema"; do
  if ! "$ajv" compile --spec=draft2020 --strict=true -s "$schema" >"$work/ajv.out" 2>&1; then
    fail "ajv does not accept ${schema##*/}: $(cat "$work/ajv.out")"
  fi
done
check_with_ajv "$json_schema" valid "${valid_files[@]}"
check_with_ajv "$json_schema" invalid "${invalid_files[@]}"
check_with_ajv "$strict_schema" valid "${strict_valid_files[@]}"
check_with_ajv "$strict_schema" invalid "${strict_invalid_files[@]}"

# A typo in a catalog value: the strict schema's error names the values that
# it takes (an enumeration), not a pattern of thousands of characters.
while IFS=' ' read -r member typo listed; do
  file="$work/typo-$member.json"
  declare -A value=([machine]=VHF_K5 [material]=ZR [material_brand_reference]=zige)
  value[$member]=$typo
  printf '{"machine":"%s","material":"%s","material_brand_reference":"%s","products":[]}' \
    "${value[machine]}" "${value[material]}" "${value[material_brand_reference]}" >"$file"
  "$ajv" validate --spec=draft2020 --strict=true --errors=json -s "$strict_schema" -d "$file" \
    >"$work/ajv.out" 2>&1 || true
  if grep -qF "\"instancePath\": \"/$member\"" "$work/ajv.out" &&
    grep -qF '"allowedValues": [' "$work/ajv.out" && grep -qE "^ +\"$listed\",?$" "$work/ajv.out" &&
    ! grep -qF '"pattern"' "$work/ajv.out"; then
    pass
  else
    fail "the strict schema's error for the $member $typo does not list the values: $(cat "$work/ajv.out")"
  fi
done <<'TYPOS'
machine VHF-K5 VHF_K5
material Zirconia ZIRCONIUM
material_brand_reference zigee zige
TYPOS

echo "schemas: $passed passed, $failed failed"
((failed == 0))
