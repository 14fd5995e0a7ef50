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

# --- The locks of the files two runs share ------------------------------------
# LOCK_RUNS runs each (10 by default: each close waits out the held lock
# once); LOCK_BIN measures another build's lock_attacks on this database.
lock_attacks() {
    local lbin=$1 lruns=$2
    echo "== a close with six windows open while another run holds the settings lock ($lruns runs; waits must be 1)"
    "$lbin/lock_attacks" quit "$lruns" "$bin"
    echo "== another run saves while a failed save of the user's names asks to try again ($lruns runs)"
    "$lbin/lock_attacks" question "$lruns"
    echo "== the settings file's lock file is a dangling symbolic link ($lruns runs)"
    "$lbin/lock_attacks" symlink "$lruns"
}
lock_attacks "${LOCK_BIN:-$bin}" "${LOCK_RUNS:-10}"
