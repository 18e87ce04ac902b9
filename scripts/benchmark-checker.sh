#!/usr/bin/env bash
# Times the case checker on a folder of many small cases, against the
# tool's own runs on the same cases, and prints the time per case of each.
#
# Usage: scripts/benchmark-checker.sh [--cases N] [--runs R] [--tool-cases M]
#                                     [--compare BUILD]
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
#   --compare BUILD  another build's checker (BUILD/src/check/...-check,
#                    e.g. a worktree of an earlier commit, built with its
#                    linux-release preset) timed in the same runs on the same
#                    cases, with the ratio of the two
# Then one large case alone, on one core: a crown whose STL has 200 000
# facets (a sphere of 400 segments and 250 rings, less the poles' 800) and whose margin line has
# 2 000 points on its equator; the checker's budget for it is 50 ms.
# Then the checker against the tool on the same case, on one core (each
# within 1.5 times the tool's time and memory): a crown of 500 000 inline
# margin points (objects with six decimals, as json.dump writes them,
# 21 MB) on a mesh of 2 000 facets; its .pts file is not UTF-8, so that
# the tool keeps the inline points (the checker's one finding says so).
# Each timing also gives the processor time (user + system), steadier than
# the wall clock on a busy machine, and the floor of starting a process
# (`true`) measured in the same run. Both programs are the release builds
# (build/release, built with ./build.sh when missing). The checker uses
# every core the process may use; the tool converts one case per process,
# as a batch script runs it.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
cases=10000
runs=5
tool_cases=1000
compare=
while (($# > 0)); do
  case "$1" in
    --cases) cases=${2:?}; shift 2 ;;
    --runs) runs=${2:?}; shift 2 ;;
    --tool-cases) tool_cases=${2:?}; shift 2 ;;
    --compare) compare=${2:?}; shift 2 ;;
    -h | --help) sed -n '/^# Usage/,/^# as a batch/p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "unknown argument: $1" >&2; exit 2 ;;
  esac
done

"$repo/scripts/install-deps.sh" hyperfine python3 time

tool="$repo/build/release/src/main/daz-izezovivadezurid"
checker="$repo/build/release/src/check/daz-izezovivadezurid-check"
if [ ! -x "$tool" ] || [ ! -x "$checker" ]; then
  echo "Building the release programs"
  "$repo/build.sh" >/dev/null
fi
other=
if [ -n "$compare" ]; then
  other="$compare/src/check/daz-izezovivadezurid-check"
  if [ ! -x "$other" ]; then
    echo "no checker in $compare (build it with its linux-release preset)" >&2
    exit 2
  fi
fi

# One hyperfine run of the commands given, each its median wall time and
# mean processor time (user + system) as "name median cpu" lines.
time_commands() {
  local export=$1 warmup=$2 count=$3
  shift 3
  # ignore_failure=1: a program's status 1 (a finding) is no failure.
  hyperfine -N ${ignore_failure:+--ignore-failure} --warmup "$warmup" --runs "$count" --export-json "$export" "$@" >/dev/null
  python3 -c 'import json,sys
for r in json.load(open(sys.argv[1]))["results"]:
    print(r["median"], r["user"] + r["system"])' "$export"
}

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

# The check alone and with its HTML report (and the compared checker), in
# one hyperfine run so that all meet the same load on a shared machine.
small_commands=("$checker $work/cases" "$checker --report $work/report.html $work/cases")
if [ -n "$other" ]; then
  if ! "$other" "$work/cases" >"$work/other.txt"; then
    echo "the compared checker found something in the copies of an example:" >&2
    tail -5 "$work/other.txt" >&2
    exit 1
  fi
  small_commands+=("$other $work/cases")
fi
mapfile -t small < <(time_commands "$work/checker.json" 1 "$runs" "${small_commands[@]}" true)

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
python3 "$repo/scripts/lib/sphere_case.py" "$work/large" 400 250 pts 2000
if ! taskset -c 0 "$checker" "$work/large/case.json" >"$work/large.txt"; then
  echo "the checker found something in the large case:" >&2
  cat "$work/large.txt" >&2
  exit 1
fi
large_commands=("taskset -c 0 $checker $work/large/case.json" "taskset -c 0 true"
  "taskset -c 0 $tool $work/large/case.json")
[ -n "$other" ] && large_commands+=("taskset -c 0 $other $work/large/case.json")
mapfile -t large < <(time_commands "$work/large.json" 2 "$((runs * 4))" "${large_commands[@]}")

# The inline case: its points on chords of the mesh's equator.
python3 "$repo/scripts/lib/sphere_case.py" "$work/inline" 40 26 inline 500000
inline_commands=("taskset -c 0 $checker $work/inline/case.json" "taskset -c 0 true"
  "taskset -c 0 $tool $work/inline/case.json")
[ -n "$other" ] && inline_commands+=("taskset -c 0 $other $work/inline/case.json")
mapfile -t inline < <(ignore_failure=1 time_commands "$work/inline.json" 1 "$runs" "${inline_commands[@]}")

python3 - "$cases" "$tool_start" "$tool_end" "$tool_cases" "$(nproc)" "${#small[@]}" \
  "$(stat -c %s "$work/report.html")" "${small[@]}" "${large[@]}" <<'PYTHON'
import os, sys
cases, start, end, tool_cases, cores, small_count, report_bytes = sys.argv[1:8]
cases, tool_cases, small_count = int(cases), int(tool_cases), int(small_count)
small = [tuple(map(float, line.split())) for line in sys.argv[8:8 + small_count]]
large = [tuple(map(float, line.split())) for line in sys.argv[8 + small_count:]]
tool_total = float(end) - float(start)
load = " ".join(f"{x:.2f}" for x in os.getloadavg())
def per_case(seconds):
    return f"{1e6 * seconds / cases:.0f} us per case"
print(f"cores {cores}, load averages {load}")
median, cpu = small[0]
print(f"checker: {cases} cases in {median:.3f} s (median), {per_case(median)}; "
      f"processor {cpu:.3f} s, {per_case(cpu)}")
report_median, report_cpu = small[1]
print(f"--report: {cases} cases in {report_median:.3f} s (median), a page of "
      f"{int(report_bytes)} bytes; {report_median / median:.2f} times the check alone "
      f"(processor {report_cpu / cpu:.2f}; at most 2)")
if len(small) == 4:
    other_median, other_cpu = small[2]
    print(f"compared checker: {other_median:.3f} s (median), {per_case(other_median)}; "
          f"processor {other_cpu:.3f} s; ratio {median / other_median:.2f} "
          f"(processor {cpu / other_cpu:.2f})")
floor_median, floor_cpu = small[-1]
print(f"floor (true): {1e3 * floor_median:.1f} ms, processor {1e3 * floor_cpu:.1f} ms")
print(f"tool:    {tool_cases} cases in {tool_total:.3f} s, one process each, "
      f"{1e6 * tool_total / tool_cases:.0f} us per case")
(median, cpu), (floor_median, floor_cpu) = large[0], large[1]
print(f"checker, one core: a case of 200 000 facets and 2 000 margin points in "
      f"{1e3 * median:.1f} ms (median; budget 50 ms), processor {1e3 * cpu:.1f} ms; "
      f"floor (taskset true) {1e3 * floor_median:.1f} ms, processor {1e3 * floor_cpu:.1f} ms")
tool_median, tool_cpu = large[2]
print(f"tool, one core, the same case (it reads the margin line, no STL): "
      f"{1e3 * tool_median:.1f} ms (median), processor {1e3 * tool_cpu:.1f} ms")
if len(large) == 4:
    other_median, other_cpu = large[3]
    print(f"compared checker, one core, the same case: {1e3 * other_median:.1f} ms (median), "
          f"processor {1e3 * other_cpu:.1f} ms")
PYTHON

python3 - "${inline[@]}" <<'PYTHON'
import sys
runs = [tuple(map(float, line.split())) for line in sys.argv[1:]]
(median, cpu), (floor_median, floor_cpu), (tool_median, tool_cpu) = runs[:3]
print(f"inline case, one core (500 000 points, 2 000 facets): checker {1e3 * median:.1f} ms "
      f"(median), processor {1e3 * cpu:.1f} ms; tool {1e3 * tool_median:.1f} ms, processor "
      f"{1e3 * tool_cpu:.1f} ms; checker / tool {median / tool_median:.2f} "
      f"(processor {cpu / tool_cpu:.2f}); floor {1e3 * floor_median:.1f} ms, "
      f"processor {1e3 * floor_cpu:.1f} ms")
if len(runs) == 4:
    other_median, other_cpu = runs[3]
    print(f"compared checker, the same case: {1e3 * other_median:.1f} ms (median), "
          f"processor {1e3 * other_cpu:.1f} ms")
PYTHON

# Peak memory of each program on one small case and on the large one, as
# GNU time reports it (a child of python would carry python's own peak).
# The checker's status 1 (the inline case's finding) is no failure here.
peak() { { /usr/bin/time -f %M "$@" 2>&1 >/dev/null || true; } | tail -1; }
for which in small large inline; do
  case=$work/cases/00000/case7.json
  [ "$which" = large ] && case=$work/large/case.json
  [ "$which" = inline ] && case=$work/inline/case.json
  line="peak memory, $which case: checker $(peak "$checker" "$case") KiB, tool $(peak "$tool" "$case") KiB"
  [ -n "$other" ] && line+=", compared $(peak "$other" "$case") KiB"
  echo "$line"
done
