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

# Both programs, the tool and the case checker.
resources="$(mktemp)"
trap 'rm -f "$resources"; scripts/wine-run.sh --stop || true' EXIT
for exe in build/windows-test/src/main/daz-izezovivadezurid.exe \
  build/windows-test/src/check/daz-izezovivadezurid-check.exe; do
  allowed=" KERNEL32.dll msvcrt.dll SHELL32.dll "
  imports="$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p')"
  for dll in $imports; do
    if [[ "$allowed" != *" $dll "* ]]; then
      echo "$exe needs $dll, which Windows does not bring" >&2
      exit 1
    fi
  done
  echo "$exe imports only:" $imports

  # The version resource and the manifest: their resource types (16 and 24),
  # the version texts (UTF-16 in the file) and the manifest's settings.
  x86_64-w64-mingw32-objcopy -O binary --only-section=.rsrc "$exe" "$resources"
  directory="$(x86_64-w64-mingw32-objdump -p "$exe")"
  version_texts="$(iconv -c -f UTF-16LE -t UTF-8 "$resources" | tr -c '[:print:]' '\n')"
  check() {
    if ! grep -qF -- "$2" <<<"$1"; then
      echo "$exe lacks $3 ($2)" >&2
      exit 1
    fi
  }
  check "$directory" "Entry: ID: 0x000010," "a version resource"
  check "$directory" "Entry: ID: 0x000018," "a manifest"
  for text in FileDescription ProductVersion FileVersion ProductName; do
    check "$version_texts" "$text" "the version text $text"
  done
  manifest="$(tr -c '[:print:]' '\n' <"$resources")"
  check "$manifest" '<longPathAware xmlns="http://schemas.microsoft.com/SMI/2016/WindowsSettings">true</longPathAware>' "long-path awareness"
  check "$manifest" '>UTF-8</activeCodePage>' "the UTF-8 code page"
  check "$manifest" '<supportedOS Id="{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"/>' "Windows 10 and 11 as supported"
  echo "$exe carries its version resource and manifest"
done

ctest --preset windows-test
