#!/usr/bin/env bash
# Installs Debian packages when any is missing: the ones named on the
# command line, or else those that building and testing need. Safe to run
# again: it installs nothing when all are present.
set -euo pipefail
# shellcheck source=lib/apt.sh
. "$(dirname "$0")/lib/apt.sh"

packages=("$@")
if ((${#packages[@]} == 0)); then
  packages=(cmake make g++ pkg-config libyaml-dev libcli11-dev libdragonbox-dev libfast-float-dev
            libgtest-dev libbenchmark-dev python3 unicode-data strace
            libadmesh-dev libnanoflann-dev)
fi
apt_install_missing "${packages[@]}"
