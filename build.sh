#!/usr/bin/env bash
# Builds the tool (installing missing Debian packages first) and converts
# the bundled example case.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DDAZ_BUILD_TESTS=OFF >/dev/null
cmake --build build/release --parallel "$(nproc)" --target daz-izezovivadezurid
build/release/src/main/daz-izezovivadezurid examples/case7.json
