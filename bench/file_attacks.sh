#!/usr/bin/env bash
# Attacks on the program's files, in loops: bash bench/file_attacks.sh [RUNS]
# (200 by default; needs a build in build/ with the benchmarks, and the
# full-size database that the test gendb_full_size_process writes).
# Counts in capitals must be 0: a mixed database, a block of another file,
# a loader killed by a signal, a writer kept waiting, a damaged file loaded
# one way and refused the other.
set -euo pipefail
usage="usage: bash bench/file_attacks.sh [RUNS]"
case ${1:-} in
    -h | --help) echo "$usage"; exit 0 ;;
    -*) echo "unknown option $1" >&2; echo "$usage" >&2; exit 2 ;;
esac
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
echo "== another user's file (as an installed copy is) rewritten in place during a load ($runs runs)"
"$bin/file_attacks" owner "$runs" "$full/Talv1Dat.bin"
echo "== a file written in place after the start-up's load on its own thread ($runs runs)"
"$bin/file_attacks" earlywrite "$runs" "$full/Talv1Dat.bin"
echo "== one byte changed ($runs copies), the checksum zero, four bytes appended: under a lease and without"
"$bin/file_attacks" flips "$runs" "$full/Talv1Dat.bin"

# The running program's database file overwritten by cp, as an update would:
# how long cp waits (PROGRAM_RUNS runs, 10 by default, of the English edition
# offscreen, in a folder of its own with the full-size database; cp gives up
# after 60 s, the system's lease-break time is 45 s).
cp_over_running_program() {
    local n=${PROGRAM_RUNS:-10} tmp pid ino t0 t1 i
    tmp=$(mktemp -d)
    mkdir -p "$tmp/prog" "$tmp/home" "$tmp/config" "$tmp/docs"
    cp -l "$bin/talvessin" "$tmp/prog/" 2>/dev/null || cp "$bin/talvessin" "$tmp/prog/"
    cp -r "$bin/help" "$bin/de" "$bin"/*.txt "$tmp/prog/"
    echo "== cp of a new database over the running program's file ($n runs)"
    local waits=() slow=0 ended=0
    for i in $(seq "$n"); do
        cp "$full/Talv1Dat.bin" "$tmp/prog/Talv1Dat.bin"
        ino=$(stat -c %i "$tmp/prog/Talv1Dat.bin")
        HOME=$tmp/home XDG_CONFIG_HOME=$tmp/config XDG_DOCUMENTS_DIR=$tmp/docs QT_QPA_PLATFORM=offscreen \
            "$tmp/prog/talvessin" >/dev/null 2>&1 &
        pid=$!
        # Loaded: the lease on the file is there (it stays for the run).
        for _ in $(seq 100); do grep -qE "LEASE .*:$ino " /proc/locks && break; sleep 0.1; done
        sleep 1
        t0=$(date +%s%N)
        timeout 60 cp "$full/Orsa1Dat.bin" "$tmp/prog/Talv1Dat.bin" || true
        t1=$(date +%s%N)
        waits+=($(( (t1 - t0) / 1000000 )))
        (( waits[-1] >= 1000 )) && slow=$((slow + 1))
        if kill -0 "$pid" 2>/dev/null; then kill "$pid"; else ended=$((ended + 1)); fi
        wait "$pid" 2>/dev/null || true
    done
    mapfile -t waits < <(printf '%s\n' "${waits[@]}" | sort -n)
    echo "cp waited, ms: median ${waits[$(( (n - 1) / 2 ))]}, longest ${waits[-1]}"
    echo "WAITED 1 s or more              $slow"
    echo "PROGRAM ENDED BY ITSELF         $ended"
    rm -rf "$tmp"
}
cp_over_running_program

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
    echo "== no settings file, three runs take its lock, the lock file deleted from outside ($lruns runs of 120 takes)"
    "$lbin/lock_attacks" deleted "$lruns" || echo "(no such attack in $lbin/lock_attacks)"
    # Three runs that take the settings lock in turn, each for a while: a
    # waiter keeps waiting while the lock changes hands, and nothing is
    # written without it. LARGE_RUNS attacks (3 by default) of 300 values,
    # on a machine left alone and beside a busy process per core.
    local large=${LARGE_RUNS:-3}
    echo "== three runs, large values: 100 values of 20 KB each saved at once ($large runs; values lost must be 0)"
    "$lbin/lock_attacks" large "$large" || echo "(no such attack in $lbin/lock_attacks)"
    echo "== three runs, large values, beside $(nproc) busy processes ($large runs; values lost must be 0)"
    "$lbin/lock_attacks" large "$large" "$(nproc)" || echo "(no such attack in $lbin/lock_attacks)"
}
lock_attacks "${LOCK_BIN:-$bin}" "${LOCK_RUNS:-10}"
