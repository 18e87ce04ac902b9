#!/usr/bin/env bash
# Installs Debian packages when any is missing: the ones named on the
# command line, or else those that building and testing need. Safe to run
# again: it installs nothing when all are present.
set -euo pipefail

packages=("$@")
if ((${#packages[@]} == 0)); then
  packages=(cmake make g++ pkg-config libyaml-dev libcli11-dev libdragonbox-dev libfast-float-dev
            libgtest-dev libbenchmark-dev python3 unicode-data strace)
fi
missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
if ((${#missing[@]} > 0)); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}"
fi
