#!/usr/bin/env bash
# Installs what building and running need (scripts/setup.sh) and the test toolchain on top:
# GoogleTest and Google Benchmark, clang for the fuzzers, Xvfb and a session bus for the GUI
# tests, the package checks' tools, shellcheck, and the real panel hosts listed in
# tests/hosts/packages.txt.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  xvfb xauth dbus dbus-x11 at-spi2-core
  desktop-file-utils strace imagemagick shellcheck x11-utils
  dpkg-dev file lintian appstream python3-gi
)
if [ -f tests/hosts/packages.txt ]; then
  # One package a line; blank lines and # comments are skipped.
  while read -r name _; do
    [[ -z $name || $name == \#* ]] || packages+=("$name")
  done <tests/hosts/packages.txt
fi
bash scripts/setup.sh "${packages[@]}"
