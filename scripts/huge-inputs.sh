#!/usr/bin/env bash
# Runs the tests of huge and deeply nested inputs (ctest label "huge") in
# an optimized build, where they take seconds; each prints its input size,
# peak memory and time. Unoptimized builds skip the largest of them.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

# The optimized build of scripts/release-tests.sh, shared with it.
build_dir=build/release-test
cmake --preset linux-release-test >/dev/null
cmake --build --preset linux-release-test --target huge_input_tests
# One at a time, so that the times are the tests' own; the figures are
# shown, the whole log only when a test fails.
log=$build_dir/huge-inputs.log
status=0
ctest --test-dir "$build_dir" --label-regex huge --output-on-failure --verbose >"$log" 2>&1 ||
  status=$?
grep -E '\[huge\]|tests passed|tests failed' "$log" || true
if ((status != 0)); then
  cat "$log"
  exit "$status"
fi
