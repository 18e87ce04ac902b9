#!/usr/bin/env bash
# Builds the Windows executable, cross-compiled with Debian's mingw-w64
# after installing what that needs:
#   build/windows/src/main/daz-izezovivadezurid.exe
#   build/windows/src/check/daz-izezovivadezurid-check.exe
# Each is static: it needs no DLL beyond Windows' own.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/windows-deps.sh
cmake --preset windows-release >/dev/null
cmake --build --preset windows-release
echo "Built build/windows/src/main/daz-izezovivadezurid.exe and build/windows/src/check/daz-izezovivadezurid-check.exe"
