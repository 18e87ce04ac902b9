#!/usr/bin/env bash
# Builds everything (installing missing Debian packages first) and runs
# every test.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake --preset linux-test >/dev/null
cmake --build --preset linux-test --parallel "$(nproc)"
ctest --preset linux-test --parallel "$(nproc)"
