#!/usr/bin/env bash
# Every test again in an optimized build with warnings as errors (the
# linux-release-test preset): GCC 12 warns at -O2 of what the Debug build of
# test.sh never shows (-Wrestrict, -Wstringop-overflow, -Wmaybe-uninitialized
# through inlining), so a test or source that breaks the Release build fails
# here. The huge inputs' tests are left to scripts/huge-inputs.sh, which
# runs them one at a time in this same build.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset linux-release-test >/dev/null
cmake --build --preset linux-release-test
ctest --preset linux-release-test
