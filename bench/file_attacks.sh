#!/usr/bin/env bash
# Attacks on the program's files, in loops: bash bench/file_attacks.sh [RUNS]
# (200 by default; needs a build in build/ with the benchmarks, and the
# full-size database that the test gendb_full_size_process writes).
# Counts in capitals must be 0: a mixed database, a block of another file,
# a loader killed by a signal.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-200}
bin=build/bin
full=build/gendb-test
[ -f "$full/Talv1Dat.bin" ] || "$bin/gendb" "$full" >/dev/null
echo "== a file rewritten in place during a load without a lease ($runs runs)"
"$bin/file_attacks" rewrite "$runs" "$bin/Talv1Dat.bin"
echo "== hit-parade blocks after the file was replaced ($runs runs, every block)"
"$bin/file_attacks" blocks "$runs" "$full/Talv1Dat.bin"
echo "== a lease break without memory for the copy ($runs runs)"
"$bin/file_attacks" leasecopy "$runs" "$full/Talv1Dat.bin"
echo "== a save of 50 MB killed part-way ($runs runs)"
"$bin/file_attacks" killsave "$runs"
