#!/usr/bin/env bash
# The checker's HTML report seen in a real browser: a page of fixture cases
# (a clean crown, a crown whose margin line runs round its cap with a
# spike, hostile names) is validated (tidy, each SVG parsed by xmllint, its
# structure parsed), rendered by headless Chromium, and the picture itself
# checked: the margin line's colour where the margin points project, the
# finding colour at the spike, the mesh drawn, nothing outside the frames.
# Then the figures: writing 1 000 cases, and the page and drawing time of a
# product of 200 000 facets. The files stay in build/report-test/out.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/install-deps.sh chromium tidy libxml2-utils
# shellcheck source=scripts/lib/chromium.sh
. scripts/lib/chromium.sh

build_dir=build/report-test
jobs=$(( $(nproc) < 2 ? $(nproc) : 2 ))
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DDAZ_BUILD_TESTS=ON \
  -DDAZ_BUILD_BENCHMARKS=OFF -DDAZ_WERROR=ON >/dev/null
cmake --build "$build_dir" --target report_tests report_page_fixture --parallel "$jobs"
"$build_dir/tests/report_tests" --gtest_brief=1

out=$PWD/$build_dir/out
rm -rf "$out"
mkdir -p "$out/svgs"
fixture=$build_dir/tests/report_page_fixture
check=(python3 tests/report/report_page_check.py)
page=$out/fixture.html
"$fixture" "$page"

echo "== valid HTML (tidy), every SVG well-formed XML (xmllint), links and labels"
if ! tidy -q -e "$page" >"$out/tidy.log" 2>&1 || [ -s "$out/tidy.log" ]; then
  cat "$out/tidy.log"
  echo "tidy finds faults in $page" >&2
  exit 1
fi
"${check[@]}" svgs "$page" "$out/svgs" >/dev/null
xmllint --noout "$out"/svgs/*.svg
"${check[@]}" structure "$page"

echo "== the picture in Chromium"
# The same width for both runs, so that the layout read from the probed
# page is the layout of the screenshot, whose window takes the whole page.
"${check[@]}" probe "$page" "$out/probe.html"
chromium_render --window-size=1000,1000 --dump-dom "file://$out/probe.html" >"$out/probed-dom.html"
height=$(sed -n 's/.*data-page-height="\([0-9]*\)".*/\1/p' "$out/probed-dom.html")
chromium_render --window-size="1000,${height:?the probe gave no page height}" \
  --screenshot="$out/fixture.png" "file://$page" >/dev/null
"${check[@]}" picture "$out/probed-dom.html" "$out/fixture.png" "$page.points.json"

echo "== figures"
"$fixture" "$out/1000-cases.html" 1000 20000
"$fixture" "$out/200000-facets.html" 1 200000
size=$(stat -c %s "$out/200000-facets.html")
echo "a product of 200 000 facets: page of $size bytes"
if ((size >= 2 * 1024 * 1024)); then
  echo "the page of one product of 200 000 facets passes 2 MiB" >&2
  exit 1
fi
# Chromium's own clock, read by the probe once the page is parsed and laid
# out; painting the drawings follows.
layout_ms() {
  "${check[@]}" probe "$1" "$1.probe.html"
  chromium_render --window-size=1000,1000 --dump-dom "file://$1.probe.html" |
    sed -n 's/.*data-layout-ms="\([0-9]*\)".*/\1/p'
}
echo "Chromium: the fixture page laid out in $(layout_ms "$page") ms, the product of 200 000 facets" \
  "in $(layout_ms "$out/200000-facets.html") ms, the 1 000 cases in $(layout_ms "$out/1000-cases.html") ms"
seconds() { date +%s.%N; }
start=$(seconds)
chromium_render --window-size=1000,1000 --screenshot="$out/200000-facets.png" \
  "file://$out/200000-facets.html" >/dev/null
end=$(seconds)
awk -v a="$start" -v b="$end" \
  'BEGIN { printf "Chromium: the product of 200 000 facets opened and drawn in %.2f s, start included\n", b - a }'
echo "report test passed"
