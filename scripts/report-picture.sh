#!/usr/bin/env bash
# Makes the picture of a checker report for doc/: the page rendered whole
# by headless Chromium (Debian's chromium, installed when missing) to PNG.
#
#   scripts/report-picture.sh [--page REPORT.html] [OUT.png]
#
# Without --page it builds the checker and writes the report of examples/
# (daz-izezovivadezurid-check --report); OUT.png is doc/report-examples.png
# unless given. The picture is 1000 pixels wide and as tall as the page, at
# most 2800 pixels (the summary and the first cases: a small picture for doc/).
set -euo pipefail
cd "$(dirname "$0")/.."
page=""
if [ "${1:-}" = --page ]; then
  page=$(realpath "$2")
  shift 2
fi
picture=$(realpath -m "${1:-doc/report-examples.png}")
scripts/install-deps.sh chromium python3
# shellcheck source=scripts/lib/chromium.sh
. scripts/lib/chromium.sh

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if [ -z "$page" ]; then
  scripts/install-deps.sh
  build_dir=build/report-picture
  jobs=$(( $(nproc) < 2 ? $(nproc) : 2 ))
  cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DDAZ_BUILD_TESTS=OFF >/dev/null
  cmake --build "$build_dir" --target daz-izezovivadezurid-check --parallel "$jobs"
  page=$work/report.html
  # The checker's status says whether it found anything; the picture is
  # wanted either way.
  "$build_dir/src/check/daz-izezovivadezurid-check" --report "$page" examples >/dev/null || true
  [ -s "$page" ] || { echo "the checker wrote no report" >&2; exit 1; }
fi

# The page's height, as Chromium lays it out at this width.
width=1000
python3 tests/report/report_page_check.py probe "$page" "$work/probe.html"
height=$(chromium_render --window-size="$width,1000" --dump-dom "file://$work/probe.html" |
  sed -n 's/.*data-page-height="\([0-9]*\)".*/\1/p')
height=${height:-2000}
((height > 2800)) && height=2800
chromium_render --window-size="$width,$height" --screenshot="$picture" "file://$page" >/dev/null
echo "$picture: $width x $height"
