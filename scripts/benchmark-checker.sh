#!/usr/bin/env bash
# Times the case checker on a folder of many small cases, against the
# tool's own runs on the same cases, and prints the time per case of each.
#
# Usage: scripts/benchmark-checker.sh [--cases N] [--runs R] [--tool-cases M]
#   --cases N        cases in the folder (default 10000): copies of
#                    examples/case7.json with its .pts and STL files (the STL
#                    files hard links to one copy), each in
#                    a folder of its own, in a temporary folder (on /dev/shm
#                    when there; removed at the end)
#   --runs R         timed runs of the checker over the whole folder, alone
#                    and writing its HTML report (--report; at most twice the
#                    time alone), each (default 5, after one warm-up run)
#   --tool-cases M   cases the tool converts one process after another, for
#                    its time per case (default 1000, the first M of the
#                    folder)
# Then one large case alone, on one core: a crown whose STL has 200 000
# facets (a sphere of 400 segments and 250 rings, less the poles' 800) and whose margin line has
# 2 000 points on its equator; the checker's budget for it is 50 ms.
# Both programs are the release builds (build/release, built with ./build.sh
# when missing). The checker uses every core the process may use; the tool
# converts one case per process, as a batch script runs it.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
cases=10000
runs=5
tool_cases=1000
while (($# > 0)); do
  case "$1" in
    --cases) cases=${2:?}; shift 2 ;;
    --runs) runs=${2:?}; shift 2 ;;
    --tool-cases) tool_cases=${2:?}; shift 2 ;;
    -h | --help) sed -n '/^# Usage/,/^# Both/p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "unknown argument: $1" >&2; exit 2 ;;
  esac
done

"$repo/scripts/install-deps.sh" hyperfine python3

tool="$repo/build/release/src/main/daz-izezovivadezurid"
checker="$repo/build/release/src/check/daz-izezovivadezurid-check"
if [ ! -x "$tool" ] || [ ! -x "$checker" ]; then
  echo "Building the release programs"
  "$repo/build.sh" >/dev/null
fi

base=/tmp
[ -d /dev/shm ] && [ -w /dev/shm ] && base=/dev/shm
work=$(mktemp -d "$base/daz-checker-benchmark.XXXXXX")
trap 'rm -rf "$work"' EXIT

echo "Writing $cases cases into $work"
python3 - "$repo/examples" "$work/cases" "$cases" <<'PYTHON'
import os, shutil, sys
examples, target, count = sys.argv[1], sys.argv[2], int(sys.argv[3])
names = ["case7.json", "11_12_bridge.pts", "36_onlay.pts", "11_12_bridge.stl", "36 onlay&inlay.stl"]
for i in range(count):
    folder = os.path.join(target, f"{i:05d}")
    os.makedirs(folder)
    for name in names:
        source, copy = os.path.join(examples, name), os.path.join(folder, name)
        # The meshes are only read: one file under many names, so that the
        # folder does not take the meshes' bytes ten thousand times.
        if i > 0 and name.endswith(".stl"):
            os.link(os.path.join(target, "00000", name), copy)
        else:
            shutil.copyfile(source, copy)
PYTHON

if ! "$checker" "$work/cases" >"$work/check.txt"; then
  echo "the checker found something in the copies of an example:" >&2
  tail -5 "$work/check.txt" >&2
  exit 1
fi
tail -1 "$work/check.txt"

# The check alone and with its HTML report, in one hyperfine run so that
# both meet the same load on a shared machine.
hyperfine -N --warmup 1 --runs "$runs" --export-json "$work/checker.json" \
  "$checker $work/cases" "$checker --report $work/report.html $work/cases" >/dev/null
median() {
  python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["results"][int(sys.argv[2])]["median"])' \
    "$work/checker.json" "$1"
}
checker_median=$(median 0)
report_median=$(median 1)

# The tool, one process per case, as a batch would run it; each document
# is written beside its case.
list="$work/tool-cases.txt"
# (sorted whole first: head closing the pipe early would fail the script)
find "$work/cases" -name case7.json | sort >"$list.all"
head -n "$tool_cases" "$list.all" >"$list"
tool_start=$(date +%s.%N)
while IFS= read -r json; do
  "$tool" "$json" >/dev/null
done <"$list"
tool_end=$(date +%s.%N)

# The large case: every margin point on a chord of the equator, the box the
# mesh's extents, so that the case checks clean.
mkdir -p "$work/large"
python3 - "$work/large" <<'PYTHON'
import json, math, os, struct, sys
folder = sys.argv[1]
segments, rings, radius = 400, 250, 5.0
def corner(ring, segment):
    if ring in (0, rings):  # the poles, one point each
        return (0.0, 0.0, 6 + (radius if ring == 0 else -radius))
    polar = math.pi * ring / rings
    azimuth = 2 * math.pi * (segment % segments) / segments
    return (radius * math.sin(polar) * math.cos(azimuth),
            radius * math.sin(polar) * math.sin(azimuth), 6 + radius * math.cos(polar))
facets = []
for ring in range(rings):
    for segment in range(segments):
        a, b = corner(ring, segment), corner(ring, segment + 1)
        c, d = corner(ring + 1, segment), corner(ring + 1, segment + 1)
        # At the poles one of the two is no triangle (two corners the pole).
        if ring < rings - 1:
            facets.append((a, c, d))
        if ring > 0:
            facets.append((a, d, b))
with open(os.path.join(folder, "11.stl"), "wb") as stl:
    stl.write(b"large".ljust(80, b" ") + struct.pack("<I", len(facets)))
    for facet in facets:
        stl.write(struct.pack("<12fH", 0, 0, 0, *facet[0], *facet[1], *facet[2], 0))
# The corners as the STL holds them (32-bit floats), for the box.
floats = [struct.unpack("<f", struct.pack("<f", v))[0] for f in facets for p in f for v in p]
box = [min(floats[axis::3]) for axis in range(3)] + [max(floats[axis::3]) for axis in range(3)]
with open(os.path.join(folder, "11.pts"), "w") as pts:
    pts.write("BEGIN_MARGIN\n")
    equator = rings // 2
    for segment in range(segments):
        a, b = corner(equator, segment), corner(equator, segment + 1)
        for step in range(5):
            t = step / 5
            pts.write(" ".join(f"{a[i] + t * (b[i] - a[i]):.6f}" for i in range(3)) + "\n")
    pts.write("END_MARGIN\n")
case = {"machine": "WNC", "material": "ZIRCONIUM", "material_brand_reference": "zige",
        "products": [{"product_type": "Crown", "tooth_iso_number": [11],
                      "bounding_box": [round(v, 4) for v in box], "color": "A2",
                      "stl": "11.stl", "pts": "11.pts"}]}
with open(os.path.join(folder, "case.json"), "w") as out:
    json.dump(case, out, indent=2)
PYTHON
if ! taskset -c 0 "$checker" "$work/large/case.json" >"$work/large.txt"; then
  echo "the checker found something in the large case:" >&2
  cat "$work/large.txt" >&2
  exit 1
fi
hyperfine -N --warmup 2 --runs "$((runs * 4))" --export-json "$work/large.json" \
  "taskset -c 0 $checker $work/large/case.json" >/dev/null
large_median=$(python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["results"][0]["median"])' \
  "$work/large.json")

python3 - "$checker_median" "$cases" "$tool_start" "$tool_end" "$tool_cases" "$(nproc)" "$large_median" \
  "$report_median" "$(stat -c %s "$work/report.html")" <<'PYTHON'
import os, sys
median, cases, start, end, tool_cases, cores, large, report, report_bytes = sys.argv[1:]
median, cases, tool_cases = float(median), int(cases), int(tool_cases)
tool_total = float(end) - float(start)
load = " ".join(f"{x:.2f}" for x in os.getloadavg())
print(f"cores {cores}, load averages {load}")
print(f"checker: {cases} cases in {median:.3f} s (median), {1e6 * median / cases:.0f} us per case")
report = float(report)
print(f"--report: {cases} cases in {report:.3f} s (median), a page of {int(report_bytes)} bytes; "
      f"{report / median:.2f} times the check alone (at most 2)")
print(f"tool:    {tool_cases} cases in {tool_total:.3f} s, one process each, "
      f"{1e6 * tool_total / tool_cases:.0f} us per case")
print(f"checker, one core: a case of 200 000 facets and 2 000 margin points in "
      f"{1e3 * float(large):.1f} ms (median; budget 50 ms)")
PYTHON
