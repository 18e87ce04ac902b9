#!/bin/sh
# The fixture page's markup, without a browser: REPORT_PAGE_FIXTURE SOURCE_DIR
set -eu
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
"$1" "$folder/fixture.html"
python3 "$2/tests/report/report_page_check.py" structure "$folder/fixture.html"
