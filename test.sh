#!/usr/bin/env bash
# Builds everything (installing missing Debian packages first) and runs
# every test.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake -S . -B build/test -DCMAKE_BUILD_TYPE=Debug -DDAZ_BUILD_TESTS=ON -DDAZ_BUILD_BENCHMARKS=ON >/dev/null
cmake --build build/test --parallel "$(nproc)"
ctest --test-dir build/test --output-on-failure --parallel "$(nproc)"
