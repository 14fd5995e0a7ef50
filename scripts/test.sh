#!/usr/bin/env bash
# Refuses a tree with an unfinished merge, sets up the machine, builds, and
# runs every test twice: once in a plain build, once under AddressSanitizer
# and UndefinedBehaviorSanitizer; then fuzzes every reader for a short while
# (FUZZ_SECONDS each, 20 by default). Every build fails on a compiler warning.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/check_conflicts.sh
bash scripts/setup.sh
jobs=$(nproc)
# Read by scripts/fuzz.sh for its own build too.
export WERROR=ON

# Said each time: the start command leaves the benchmarks off in the same build folder.
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_BENCH=ON -DWERROR=ON
cmake --build build -j "$jobs"
ctest --test-dir build -j "$jobs" --output-on-failure

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/.ci/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSANITIZE=ON -DBUILD_BENCH=OFF -DWERROR=ON
cmake --build build-asan -j "$jobs"
ctest --test-dir build-asan -j "$jobs" --output-on-failure

# Any finding of a fuzz target fails the run.
for target in $(ls tests/fuzz/fuzz_*.cpp | sed 's|.*/fuzz_||; s|\.cpp||'); do
    bash scripts/fuzz.sh "$target" "${FUZZ_SECONDS:-20}"
done
