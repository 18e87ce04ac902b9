#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer
# (leaks included) and runs every test, unit and end-to-end; the end-to-end
# tests then run the sanitized tool as well. The first report ends the
# process that made it, so any finding fails this script.
#
#   scripts/sanitizers.sh                   # g++, build/sanitize
#   CXX=clang++-16 scripts/sanitizers.sh    # clang 16, build/sanitize-clang
set -euo pipefail
cd "$(dirname "$0")/.."

compiler=${CXX:-g++}
checks="address,undefined,float-cast-overflow"
flags="-O1 -fno-omit-frame-pointer -fsanitize=$checks -fno-sanitize-recover=all"
# Bounds checks in the standard library's containers and views; they leave
# its layout alone, so the prebuilt test libraries still link.
flags+=" -D_GLIBCXX_ASSERTIONS"
build_dir=build/sanitize
scripts/install-deps.sh
if [[ "$compiler" == clang* ]]; then
  scripts/install-deps.sh clang-16 libclang-rt-16-dev
  # libstdc++ 12 offers <expected> only to compilers that claim C++20
  # concepts in full; clang 16 has all that it needs.
  flags+=" -D__cpp_concepts=202002L -Wno-macro-redefined"
  build_dir=build/sanitize-clang
else
  # Under the sanitizers' instrumentation GCC 12 finds variables in
  # libstdc++'s <regex> "maybe uninitialized" that are not; still shown.
  flags+=" -Wno-error=maybe-uninitialized"
fi

jobs=$(( $(nproc) < 2 ? $(nproc) : 2 ))
# The compiler is taken when the build folder is first made; each compiler
# has its own folder.
CXX=$compiler cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=Debug -DDAZ_BUILD_TESTS=ON \
  -DDAZ_BUILD_BENCHMARKS=OFF -DDAZ_STATIC_RUNTIME=OFF -DDAZ_WERROR=ON "-DCMAKE_CXX_FLAGS=$flags" \
  "-DCMAKE_EXE_LINKER_FLAGS=-fsanitize=$checks" >/dev/null
cmake --build "$build_dir" --parallel "$jobs"

export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1:detect_invalid_pointer_pairs=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
ctest --test-dir "$build_dir" --output-on-failure --parallel "$jobs"
