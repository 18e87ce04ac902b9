#!/usr/bin/env bash
# Builds the libFuzzer targets with clang 16 and runs each for a bounded
# time, one after the other; any crash, sanitizer report or failed check
# fails the script. The corpora grow under build/fuzz/corpus and are kept
# for the next run; a failing input is saved under build/fuzz/findings.
#
#   scripts/fuzz.sh                 # 60 s per target
#   FUZZ_SECONDS=600 scripts/fuzz.sh
#   scripts/fuzz.sh margin_line     # only the targets named
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/install-deps.sh clang-16 libclang-rt-16-dev

seconds=${FUZZ_SECONDS:-60}
build_dir=build/fuzz
jobs=$(( $(nproc) < 2 ? $(nproc) : 2 ))
CXX=clang++-16 cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DDAZ_BUILD_TESTS=OFF -DDAZ_BUILD_BENCHMARKS=OFF -DDAZ_BUILD_FUZZERS=ON -DDAZ_WERROR=ON >/dev/null
cmake --build "$build_dir" --parallel "$jobs"

targets=("$@")
if ((${#targets[@]} == 0)); then targets=(case_metadata margin_line numbers shortest_decimal); fi

# Seeds: the committed ones, the examples and test fixtures (for the case
# reader the JSON conformance suite among them).
# The margin line target takes its split point from an input's last two
# bytes, so its seeds get two such bytes added.
make_seeds() {
  local target=$1 seeds=$2
  rm -rf "$seeds"
  mkdir -p "$seeds"
  cp fuzz/seeds/"$target"/* "$seeds"/
  case "$target" in
    case_metadata)
      find examples tests/fixtures -name '*.json' -exec cp --backup=numbered -t "$seeds" {} +
      ;;
    margin_line)
      local file n=0
      while IFS= read -r file; do
        n=$((n + 1))
        { cat "$file"; printf '\x37\x13'; } >"$seeds/fixture-$n.pts"
      done < <(find examples tests/fixtures -name '*.pts')
      ;;
  esac
}

failed=()
for target in "${targets[@]}"; do
  corpus=$build_dir/corpus/$target
  seeds=$build_dir/seeds/$target
  findings=$build_dir/findings
  log=$build_dir/$target.log
  mkdir -p "$corpus" "$findings"
  make_seeds "$target" "$seeds"
  dict=()
  if [ -f "fuzz/$target.dict" ]; then dict=(-dict="fuzz/$target.dict"); fi
  echo "== $target: ${seconds}s"
  status=0
  "$build_dir/fuzz/${target}_fuzzer" "$corpus" "$seeds" "${dict[@]}" \
    -max_total_time="$seconds" -max_len=16384 -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$findings/$target-" >"$log" 2>&1 || status=$?
  runs=$(grep -o 'stat::number_of_executed_units: [0-9]*' "$log" | grep -o '[0-9]*$' || echo "?")
  echo "   executions: $runs, corpus: $(find "$corpus" -type f | wc -l) inputs"
  if [ "$status" -ne 0 ]; then
    failed+=("$target")
    echo "   FAILED (status $status); the end of $log:"
    tail -40 "$log"
  fi
done

if ((${#failed[@]} > 0)); then
  echo "Fuzzing failed: ${failed[*]}"
  exit 1
fi
echo "Fuzzing passed: ${targets[*]}"
