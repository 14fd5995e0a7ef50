#!/usr/bin/env bash
# Runs one fuzz target for a while: scripts/fuzz.sh TARGET SECONDS
# (TARGET is a name of tests/fuzz/fuzz_*.cpp without "fuzz_", or "all").
# With clang and libFuzzer it fuzzes under AddressSanitizer and
# UndefinedBehaviorSanitizer in build-fuzz/, starting from the seed corpus;
# new inputs go to build-fuzz/corpus/TARGET, a finding to
# build-fuzz/findings/TARGET/ and fails the run. Without them it replays
# the seed corpus once. WERROR=ON (scripts/test.sh sets it) makes a compiler
# warning fail the build.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ $# -ne 2 ]; then
    echo "usage: scripts/fuzz.sh TARGET SECONDS   (TARGET: all or one of:" \
         "$(ls tests/fuzz/fuzz_*.cpp | sed 's|.*/fuzz_||; s|\.cpp||' | tr '\n' ' '))" >&2
    exit 2
fi
target=$1
seconds=$2
if [ "$target" = all ]; then
    for t in $(ls tests/fuzz/fuzz_*.cpp | sed 's|.*/fuzz_||; s|\.cpp||'); do
        bash "$0" "$t" "$seconds"
    done
    exit 0
fi
if [ ! -f "tests/fuzz/fuzz_$target.cpp" ]; then
    echo "no fuzz target $target" >&2
    exit 2
fi
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/.ci/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export QT_QPA_PLATFORM=offscreen LC_ALL=C TZ=UTC

fuzzer_lib=$(clang++ -print-file-name=libclang_rt.fuzzer-x86_64.a 2>/dev/null || true)
if ! command -v clang++ >/dev/null || [ ! -f "$fuzzer_lib" ]; then
    echo "fuzz.sh: no clang with libFuzzer here; replaying the seed corpus of $target only" >&2
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build build --target "fuzz_$target"
    exec build/bin/"fuzz_$target" "tests/fuzz/corpus/$target"
fi

if [ ! -f build-fuzz/CMakeCache.txt ] || [ -n "${WERROR:-}" ]; then
    CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DFUZZ=ON -DBUILD_BENCH=OFF -DWERROR="${WERROR:-OFF}" >/dev/null
fi
cmake --build build-fuzz -j "$(nproc)" --target "fuzz_$target"
work=build-fuzz/corpus/$target
findings=build-fuzz/findings/$target
mkdir -p "$work" "$findings"
echo "fuzzing $target for $seconds s"
build-fuzz/bin/"fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 \
    -print_final_stats=1 -artifact_prefix="$findings/" \
    "$work" "tests/fuzz/corpus/$target"
