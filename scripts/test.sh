#!/usr/bin/env bash
# Builds ORMA twice (optimised, and with AddressSanitizer + UndefinedBehaviorSanitizer)
# and runs every test in both builds; then runs each fuzz target of fuzz/ for a short time.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

# Optimised as shipped, but without debug information: it only slows the build down here.
# Both builds compile each target's sources in batches (ORMA_UNITY_BUILD): a build from
# scratch takes a third of the time, and the batches prove that no two files of a target
# define the same helper.
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -DNDEBUG" -DORMA_UNITY_BUILD=ON -DORMA_WERROR=ON
cmake --build build-release -j "$jobs"
ctest --test-dir build-release --output-on-failure -j "$jobs"

# Line tables are enough for the sanitizers' stack traces.
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g1" \
  -DORMA_SANITIZE=ON -DORMA_WITH_BENCH=OFF -DORMA_UNITY_BUILD=ON -DORMA_WERROR=ON
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure -j "$jobs"

# Each reader's libFuzzer target for a few seconds (README: how to run them for long).
# clang comes with the install script: without it the fuzzing would prove nothing.
FUZZ_REQUIRED=1 bash scripts/fuzz.sh 5
