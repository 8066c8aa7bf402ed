#!/usr/bin/env bash
# Installs what is missing to build and run (not the test toolchain), builds Pyrelle in
# build-run/ and starts it in this desktop session.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake -S . -B build-run -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPYRELLE_TESTS=OFF \
  -DPYRELLE_BENCHMARKS=OFF >/dev/null
cmake --build build-run -j "$(nproc)" --target pyrelle
exec build-run/app/pyrelle "$@"
