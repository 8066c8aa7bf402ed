#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test twice: a plain build and an
# AddressSanitizer + UndefinedBehaviorSanitizer build, each in its own folder; then runs
# each fuzz target for a short, bounded time.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup-tests.sh

jobs=$(nproc)
export CTEST_OUTPUT_ON_FAILURE=1

# run_suite DIR EXCLUDED-LABELS [CMAKE-OPTIONS...]
run_suite() {
  local dir=$1 excluded=$2; shift 2
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPYRELLE_WERROR=ON "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
  ctest --test-dir "$dir" -j "$jobs" -LE "$excluded"
}

echo "== Plain build, with the real panel hosts and the package =="
run_suite build fuzz
# Under the sanitizers the GUI tests drive the panel item through their stand-in watcher; the
# real hosts run once, in the plain build, to keep the run short.
echo "== AddressSanitizer + UndefinedBehaviorSanitizer build =="
run_suite build-asan "fuzz|hosts" -DPYRELLE_SANITIZE=ON -DPYRELLE_BENCHMARKS=OFF

echo "== Fuzzing (bounded) =="
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPYRELLE_WERROR=ON \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DPYRELLE_FUZZERS=ON -DPYRELLE_BENCHMARKS=OFF -DPYRELLE_GUI=OFF -DPYRELLE_TESTS=OFF >/dev/null
cmake --build build-fuzz -j "$jobs"
ctest --test-dir build-fuzz -L fuzz
