#!/usr/bin/env bash
# Installs what is missing, builds Pyrelle and starts it in this desktop session.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target pyrelle
exec build/app/pyrelle "$@"
