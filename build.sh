#!/usr/bin/env bash
# Builds the tool (installing missing Debian packages first) and converts
# the bundled example case.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake --preset linux-release >/dev/null
cmake --build --preset linux-release --parallel "$(nproc)"
build/release/src/main/daz-izezovivadezurid examples/case7.json
