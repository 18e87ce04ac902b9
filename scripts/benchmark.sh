#!/usr/bin/env bash
# Times the tool as a whole process on the cases below and compares each
# with a floor measured in the same run, so that the ratios hold from one
# machine to the next even when the absolute times do not.
#
# Usage: scripts/benchmark.sh [--tool PATH] [--compare PATH2] [--runs N]
#                             [--cases "NAME ..."]
#   --tool PATH      binary to measure (default build/release/src/main/
#                    daz-izezovivadezurid, built with ./build.sh when missing)
#   --compare PATH2  a second binary (say, before and after a change): it is
#                    timed in the same run, its rows are printed under the
#                    first's, and its outputs must equal the first's byte for
#                    byte (the script fails otherwise)
#   --runs N         timed runs of the large and inline cases (default 10);
#                    the two small cases, about a millisecond each, get 20 * N;
#                    both rounded up to a multiple of the 5 rounds
#   --cases "NAME ..." only these cases (default: all of them, below)
#
# Cases, written by scripts/benchmark_helper.py with a fixed seed into a
# temporary folder (on /dev/shm when there, so the disk is not measured;
# removed at the end):
#   case7     examples/case7.json and its .pts files
#   8x400     8 products of 400 points in .pts files
#   large     32 products of 100 000 points in .pts files, numbers %.6f
#   mixed     as large, but a third of the numbers (picked at random) in
#             their shortest exact form, 16 or 17 significant digits, as a
#             program's default double-to-text conversion writes them
#   inline    10 products of 100 000 points inside the JSON as objects
#             {"x":..,"y":..,"z":..} with numbers %.6f; each product's .pts
#             file opens but its first line is not valid UTF-8, so the tool
#             drops that file and keeps the JSON's points (a missing file
#             would fail the run, a readable one would replace the points)
#   in-short  as inline, numbers %.3f
#   in-full   as inline, numbers in their shortest exact form (all of them)
#   in-array  as inline, points as arrays [x,y,z], numbers %.6f
#   8x20k     8 products of 20 000 points in .pts files, numbers %.6f:
#             counted only (below), not timed
#   in-8x20k  the same points inline as objects; counted only
#   in-8x20k-spaced  the same points inline as json.dump writes them,
#             {"x": .., "y": .., "z": ..}, with a space after ":" and ",";
#             counted only
#
# Measures, per case and binary: the median wall time of hyperfine runs after
# warm-up runs (without an intermediate shell, -N), taken in five rounds that
# alternate the order of the commands, and beside it the spread of the ratio
# (below) from round to round, lowest to highest; input MiB/s (JSON plus .pts
# bytes) and output MiB/s (.constructionInfo bytes) at that median; peak RSS,
# the largest "Maximum resident set size" of five runs under /usr/bin/time
# -v, which also serve as the warm-up of the large cases, and their page
# faults (printed at the end with the machine's facts), and the CPU time
# (user plus system) over the wall time of those runs, their median: above 1
# when more than one core works. (Five, not three: a run that the virtual
# machine's host holds back waits off the CPU, and two such runs of three
# made a median of 1.00 for a case whose other runs showed 1.2.)
# MiB means 2^20 bytes throughout, memory targets included.
#
# Instructions: case7, 8x400, 8x20k, in-8x20k and in-8x20k-spaced also run
# once per binary under valgrind --tool=callgrind, whose count of executed
# instructions (all threads) does not move with the machine's load: it shows
# a gain or a loss that the times hide. Printed in a table of their own.
#
# Floors, timed by the same hyperfine calls, in the same rounds, as the tool:
#   case7, 8x400    `true`, the cost of starting any process.
#   the others      sh -c 'cat <inputs> >/dev/null; head -c <output size>
#                   /dev/zero > <file beside the output>' minus sh -c true:
#                   reading the inputs and writing as many output bytes, net
#                   of the shell's own start-up. The start-up of cat and head
#                   (a few milliseconds together, one or two hundredths of
#                   the floor) stays in the floor.
# Ratio = tool median / floor. Targets: case7 <= 2x, 8x400 <= 3x; large and
# mixed <= 2x and peak RSS <= 1.5 * point data (24 bytes a point) + 8 MiB;
# the inline cases <= 2.5x and peak RSS <= JSON size + 1.5 * point data +
# 8 MiB.
# Unmet targets are reported, not failed: the script exits 1 only when a run
# fails, an output lacks the case's points, or the two binaries' outputs
# differ.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
tool=""
compare=""
runs=10
only=""

usage() { sed -n '/^# Usage/,/^#$/p' "$0" | sed 's/^# \{0,1\}//'; }
while (($# > 0)); do
  case "$1" in
    --tool) tool=${2:?--tool needs a path}; shift 2 ;;
    --tool=*) tool=${1#*=}; shift ;;
    --compare) compare=${2:?--compare needs a path}; shift 2 ;;
    --compare=*) compare=${1#*=}; shift ;;
    --runs) runs=${2:?--runs needs a number}; shift 2 ;;
    --runs=*) runs=${1#*=}; shift ;;
    --cases) only=${2:?--cases needs names}; shift 2 ;;
    --cases=*) only=${1#*=}; shift ;;
    -h | --help) usage; exit 0 ;;
    *) echo "unknown argument: $1" >&2; usage >&2; exit 2 ;;
  esac
done
if ! [[ $runs =~ ^[1-9][0-9]*$ ]]; then
  echo "--runs takes a positive whole number, not '$runs'" >&2
  exit 2
fi

"$repo/scripts/install-deps.sh" hyperfine time python3 valgrind

if [ -z "$tool" ]; then
  tool="$repo/build/release/src/main/daz-izezovivadezurid"
  if [ ! -x "$tool" ]; then
    echo "Building $tool"
    "$repo/build.sh" >/dev/null
  fi
fi
labels=(A)
binaries=("$(realpath -ms "$tool")")
if [ -n "$compare" ]; then
  labels+=(B)
  binaries+=("$(realpath -ms "$compare")")
fi
for binary in "${binaries[@]}"; do
  if [ ! -x "$binary" ] || [ -d "$binary" ]; then
    echo "not an executable file: $binary" >&2
    exit 2
  fi
done

base=/tmp
[ -d /dev/shm ] && [ -w /dev/shm ] && base=/dev/shm
work=$(mktemp -d "$base/daz-benchmark.XXXXXX")
trap 'rm -rf "$work"' EXIT
results="$work/results"
mkdir -p "$results"
for i in "${!labels[@]}"; do
  printf '%s\t%s\n' "${labels[$i]}" "${binaries[$i]}" >>"$results/tools"
done

# Quotes a word for the command lines that hyperfine splits itself.
q() { printf "'%s'" "${1//\'/\'\\\'\'}"; }

echo "Writing the cases into $work ($(df --output=fstype "$work" | tail -1))"
python3 "$repo/scripts/benchmark_helper.py" generate "$repo" "$work"

failed=0
differ=0
# The cases asked for, in the order of cases.json, which the report follows.
python3 - "$work/cases.json" "$only" <<'PYTHON'
import json, sys
cases = json.load(open(sys.argv[1]))
wanted = sys.argv[2].split()
unknown = [name for name in wanted if name not in [c["name"] for c in cases]]
if unknown:
    sys.exit("unknown case: " + " ".join(unknown))
if wanted:
    json.dump([c for c in cases if c["name"] in wanted], open(sys.argv[1], "w"), indent=1)
PYTHON
case_names=$(python3 -c 'import json,sys; print(" ".join(c["name"] for c in json.load(open(sys.argv[1]))))' \
  "$work/cases.json")
for case_name in $case_names; do
  inputs="$work/$case_name"
  json="$inputs/$case_name.json"
  out="$work/out/$case_name"
  mkdir -p "$out"

  timed=$(python3 -c 'import json,sys; print(next(c["timed"] for c in json.load(open(sys.argv[1])) if c["name"] == sys.argv[2]))' \
    "$work/cases.json" "$case_name")
  counted=$(python3 -c 'import json,sys; print(next(c["counted"] for c in json.load(open(sys.argv[1])) if c["name"] == sys.argv[2]))' \
    "$work/cases.json" "$case_name")
  time_runs=5
  [ "$timed" = True ] || time_runs=1

  # Five runs of each binary under /usr/bin/time first: they give the peak
  # RSS and the CPU time, warm the caches for the timed runs, and the output
  # that must hold the case's points and match the other binary's byte for
  # byte. One run for a case that is only counted.
  for i in "${!labels[@]}"; do
    for ((run = 1; run <= time_runs; run++)); do
      time_file="$results/$case_name.${labels[$i]}.time$run.txt"
      if ! /usr/bin/time -v -o "$time_file" "${binaries[$i]}" "$json" \
        -o "$out/${labels[$i]}.constructionInfo" >/dev/null; then
        echo "$case_name: ${labels[$i]} failed ($(grep -o -m1 'status [0-9]*' "$time_file" || echo signal))" >&2
        exit 1
      fi
    done
  done
  points=$(python3 -c 'import json,sys; print(next(c["points"] for c in json.load(open(sys.argv[1])) if c["name"] == sys.argv[2]))' \
    "$work/cases.json" "$case_name")
  written=$(grep -c '<Vec3>' "$out/A.constructionInfo" || true)
  if [ "$written" != "$points" ]; then
    echo "$case_name: the output holds $written points, expected $points" >&2
    failed=1
  fi
  output_bytes=$(stat -c %s "$out/A.constructionInfo")
  echo "$output_bytes" >"$results/$case_name.output_bytes"

  # The instructions of each binary, by callgrind: the same count from run
  # to run, whatever else the machine does.
  if [ "$counted" = True ]; then
    for i in "${!labels[@]}"; do
      counts="$results/$case_name.${labels[$i]}.callgrind"
      valgrind --tool=callgrind --callgrind-out-file="$counts" "${binaries[$i]}" "$json" \
        -o "$out/${labels[$i]}.counted.constructionInfo" >/dev/null 2>"$counts.log"
      grep -m1 -o '^totals: *[0-9]*' "$counts" | grep -o '[0-9]*$' >"$counts.total"
      echo "Counting $case_name (${labels[$i]}): $(cat "$counts.total") instructions"
    done
  fi

  if [ "$timed" != True ]; then
    if [ -n "$compare" ] && ! cmp -s "$out/A.constructionInfo" "$out/B.constructionInfo"; then
      echo "$case_name: the outputs of A and B differ" >&2
      differ=1
    fi
    rm -f "$out"/*.constructionInfo
    continue
  fi

  names=("${labels[@]}")
  commands=()
  for i in "${!labels[@]}"; do
    commands+=("$(q "${binaries[$i]}") $(q "$json") -o $(q "$out/${labels[$i]}.constructionInfo")")
  done
  if [ "$case_name" = case7 ] || [ "$case_name" = 8x400 ]; then
    case_runs=$((20 * runs))
    warmup=5
    names+=(true)
    commands+=(true)
  else
    case_runs=$runs
    # The runs above warmed the tool up; the floor warms up by hand, so that
    # its first timed run also replaces an existing file, as the tool's do.
    warmup=0
    floor_script="cat $(q "$inputs")/* >/dev/null; head -c $output_bytes /dev/zero > $(q "$out/floor.out")"
    sh -c "$floor_script"
    names+=(shell floor)
    commands+=("sh -c true" "sh -c $(q "$floor_script")")
  fi
  # In rounds, every other one in reverse order, so that a change in the
  # machine's load during the case falls on the tool and its floor alike.
  rounds=5
  per_round=$(((case_runs + rounds - 1) / rounds))
  echo "Timing $case_name: $((rounds * per_round)) runs of each command, in $rounds rounds"
  for ((round = 0; round < rounds; round++)); do
    arguments=()
    for j in "${!names[@]}"; do
      k=$j
      if ((round % 2 == 1)); then k=$((${#names[@]} - 1 - j)); fi
      arguments+=(-n "${names[$k]}" "${commands[$k]}")
    done
    hyperfine -N --style none --warmup "$warmup" --runs "$per_round" \
      --export-json "$results/$case_name.round$round.json" "${arguments[@]}" 2>&1 |
      { grep -v -e 'Statistical outliers' -e '^ *$' || true; }
  done

  if [ -n "$compare" ] && ! cmp -s "$out/A.constructionInfo" "$out/B.constructionInfo"; then
    echo "$case_name: the outputs of A and B differ" >&2
    differ=1
  fi
  # The next cases need the memory more than these files do.
  rm -f "$out"/*.constructionInfo "$out/floor.out"
done

# The facts that move the ratios from one machine to the next: the
# processor, the CPUs this process may use, whether huge pages are offered
# and obtained (a large case takes about 2 500 page faults with them, 12 000
# without), and the load.
thp() { cat "/sys/kernel/mm/transparent_hugepage/$1" 2>/dev/null || echo unknown; }
median_faults() {
  grep -h 'Minor (reclaiming a frame) page faults' "$results/$1.$2".time*.txt |
    awk '{print $NF}' | sort -n | sed -n 3p
}
echo
echo "$(nproc) of $(nproc --all) CPUs for this process, load average $(cut -d' ' -f1-3 /proc/loadavg), $(hyperfine --version)"
echo "processor: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//'), kernel $(uname -r)"
echo "transparent huge pages: enabled $(thp enabled), defrag $(thp defrag)"
for case_name in $case_names; do
  [ -e "$results/$case_name.A.time5.txt" ] || continue  # counted only
  faults="$case_name page faults (median of 5):"
  for label in "${labels[@]}"; do faults+=" $label $(median_faults "$case_name" "$label")"; done
  echo "$faults"
done
python3 "$repo/scripts/benchmark_helper.py" report "$work"
if [ -n "$compare" ]; then
  if ((differ == 0)); then
    echo "outputs of A and B: byte-identical in every case"
  else
    echo "outputs of A and B: DIFFER (see above)"
  fi
fi
((failed == 0 && differ == 0))
