#!/usr/bin/env bash
# The Windows test stage: installs what it needs, builds libyaml and
# GoogleTest for Windows, the .exe and the Windows test programs, checks
# that the .exe needs no DLL beyond Windows' own, and runs every test under
# Wine. Fails when anything does.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/windows-deps.sh --tests

# Wine is up before anything captures the output of a Windows program
# (test discovery at build time, then ctest), and down again at the end.
trap 'scripts/wine-run.sh --stop || true' EXIT
scripts/wine-run.sh --start

cmake --preset windows-test >/dev/null
cmake --build --preset windows-test

exe=build/windows-test/src/main/daz-izezovivadezurid.exe
allowed=" KERNEL32.dll msvcrt.dll SHELL32.dll "
imports="$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p')"
for dll in $imports; do
  if [[ "$allowed" != *" $dll "* ]]; then
    echo "$exe needs $dll, which Windows does not bring" >&2
    exit 1
  fi
done
echo "$exe imports only:" $imports

ctest --preset windows-test
