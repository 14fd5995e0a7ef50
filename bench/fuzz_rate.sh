#!/usr/bin/env bash
# Executions per second of every fuzz target: bash bench/fuzz_rate.sh [SECONDS]
# (10 each by default; needs clang with libFuzzer, see scripts/fuzz.sh).
set -euo pipefail
usage="usage: bash bench/fuzz_rate.sh [SECONDS]"
case ${1:-} in
    -h | --help) echo "$usage"; exit 0 ;;
    -*) echo "unknown option $1" >&2; echo "$usage" >&2; exit 2 ;;
esac
cd "$(dirname "$0")/.."
seconds=${1:-10}
for t in $(ls tests/fuzz/fuzz_*.cpp | sed 's|.*/fuzz_||; s|\.cpp||'); do
    rate=$(bash scripts/fuzz.sh "$t" "$seconds" 2>&1 | sed -n 's/^stat::average_exec_per_sec: *//p')
    printf '%-10s %8s exec/s\n' "$t" "${rate:-?}"
done
