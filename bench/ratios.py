#!/usr/bin/env python3
"""Every speed and memory goal of the load, the start-up, the sort, the
interactions and the work that must grow no faster than n log n, each
against its yardstick measured in one run, on the full-size database that
gendb writes.

    python3 bench/ratios.py BUILD_DIR [RUNS]

Processes are timed from start to exit, medians of RUNS (default 15) runs
taken in turns; peak resident memory is each process's own (wait4).
"""
import json
import os
import statistics
import subprocess
import sys
import tempfile
import time

build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
runs = int(sys.argv[2]) if len(sys.argv) > 2 else 15


def exe(name):
    for d in (os.path.join(build, "bin"), build):
        p = os.path.join(d, name)
        if os.path.exists(p):
            return p
    sys.exit(f"{name} not found in {build}")


def run(cmd, env=None, stdout=subprocess.DEVNULL):
    """Wall time in ms and peak resident memory in MiB of one process."""
    t0 = time.perf_counter()
    p = subprocess.Popen(cmd, env=env, stdout=stdout, stderr=subprocess.DEVNULL)
    _, status, ru = os.wait4(p.pid, 0)
    ms = (time.perf_counter() - t0) * 1000.0
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"failed: {' '.join(cmd)}")
    return ms, ru.ru_maxrss / 1024.0


def medians(cmds):
    """cmds: name -> (argv, env); runs them in turns, medians of time and RSS."""
    times = {k: [] for k in cmds}
    rss = {k: [] for k in cmds}
    for _ in range(runs):
        for k, (argv, env) in cmds.items():
            ms, mib = run(argv, env)
            times[k].append(ms)
            rss[k].append(mib)
    return ({k: statistics.median(v) for k, v in times.items()},
            {k: statistics.median(v) for k, v in rss.items()})


def gbench(name, flt):
    out = subprocess.run([exe(name), f"--benchmark_filter={flt}", "--benchmark_repetitions=7",
                          "--benchmark_report_aggregates_only=true", "--benchmark_format=json"],
                         check=True, capture_output=True, text=True).stdout
    res = {}
    for b in json.loads(out)["benchmarks"]:
        if b.get("aggregate_name") == "median":
            res[b["run_name"]] = b["real_time"] if b["time_unit"] == "ms" else b["real_time"] / 1e6
    return res


work = tempfile.mkdtemp(prefix="ratios_")
# GENDB may name another build's gendb (the file format is the same).
subprocess.run([os.environ.get("GENDB") or exe("gendb"), work], check=True, stdout=subprocess.DEVNULL)
db = os.path.join(work, "Talv1Dat.bin")
size_mib = os.path.getsize(db) / 1048576.0
print(f"full-size database: {os.path.getsize(db)} bytes ({size_mib:.1f} MiB), {runs} runs each")

# --- load in process ------------------------------------------------------------
r = gbench("bench_database", "BM_ReadBinFile|BM_ReadRawBytes")
print(f"ReadBinFile {r['BM_ReadBinFile']:.2f} ms, raw read {r['BM_ReadRawBytes']:.2f} ms: "
      f"ratio {r['BM_ReadBinFile'] / r['BM_ReadRawBytes']:.1f} (goal <= 5)")

# --- the checker and cat as whole processes -----------------------------------------
t, m = medians({"cat": (["cat", db], None), "check": ([exe("makedb"), "--check", db], None)})
print(f"makedb --check {t['check']:.1f} ms, cat {t['cat']:.1f} ms: ratio {t['check'] / t['cat']:.1f} (goal <= 5)")
print(f"makedb --check peak RSS {m['check']:.1f} MiB: {m['check'] / size_mib:.2f} times the file (goal <= 3)")

# --- start-up to the first frame, offscreen, new processes --------------------------
home = os.path.join(work, "home")
os.makedirs(home)
env = dict(os.environ, QT_QPA_PLATFORM="offscreen", HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"),
           LC_ALL="C")
t, m = medians({"empty": ([exe("empty_qt")], env),
                "program": ([exe("startup_probe"), work, "talvessin"], env)})
print(f"start-up to the frame painted {t['program']:.1f} ms, empty Qt program {t['empty']:.1f} ms: "
      f"ratio {t['program'] / t['empty']:.1f} (goal <= 2)")
above = m["program"] - m["empty"]
print(f"peak RSS {m['program']:.1f} MiB, empty Qt program {m['empty']:.1f} MiB: {above:.1f} MiB above it, "
      f"{above / size_mib:.2f} times the file (goal <= 2.5)")

# --- sorting -------------------------------------------------------------------------
r = gbench("bench_lists", "BM_SortOrder")
for order in (1, 2, 3, 4, 5, 6, 99):
    ms = {n: r[f"BM_SortOrder/order:{order}/lines:{n}"] for n in (5000, 20000, 80000)}
    print(f"sort order {order:2}: 5,000 {ms[5000]:.2f} ms, 20,000 {ms[20000]:.2f} ms, 80,000 "
          f"{ms[80000]:.2f} ms: 80,000/20,000 = {ms[80000] / ms[20000]:.2f} (goals < 10 ms, <= 4.5)")

# --- interactions within one frame; work that must grow no faster than n log n -------
FRAME_MS = 1000.0 / 60


def interactions():
    """Each interaction on the full-size database against its goal (one frame at 60 Hz
    unless it says otherwise)."""
    rows = [
        ("typed-name lookup, 35-letter miss", "bench_search", "BM_SearchNameLongMiss", 8.0),
        ("typed-name lookup, one letter changed", "bench_search", "BM_SearchNameAllPasses", 8.0),
        ("list view showing 20,000 lines", "bench_listview", "BM_ListViewShow20000", FRAME_MS),
        ("description of 20,000 lines", "bench_richtext", "BM_LongDescription/20000", FRAME_MS),
        ("Lexi with three rows", "bench_query", "BM_LexiThreeRows", FRAME_MS),
        ("pick every name", "bench_listwins", "BM_PickEveryName", FRAME_MS),
        ("letter combinations", "bench_listwins", "BM_LetterCombinations/0", FRAME_MS),
        ("all names to the shown list", "bench_listwins", "BM_AllNamesToTheShownList", FRAME_MS),
    ]
    binaries = {}
    for _, binary, name, _ in rows:
        binaries.setdefault(binary, []).append(name)
    measured = {}
    for binary, names in binaries.items():
        measured.update(gbench(binary, "^(" + "|".join(names) + ")$"))
    for what, _, name, goal in rows:
        ms = measured[name]
        print(f"{what}: {ms:.2f} ms, goal < {goal:.1f} ms: {ms / goal:.2f} of it")


def growth():
    """Each benchmark of bench_growth at n, 4n and 16n: the time should grow about 4
    times per step (n log n a little more; the square of n 16 times)."""
    sizes = {}
    for run_name, ms in gbench("bench_growth", ".").items():
        base, size = run_name.split("/")[:2]
        sizes.setdefault(base, []).append((int(size), ms))
    for base, points in sizes.items():
        points.sort()
        steps = ", ".join(f"{b[1] / a[1]:.1f}" for a, b in zip(points, points[1:]))
        times = ", ".join(f"{n:,} {ms:.2f} ms" for n, ms in points)
        print(f"{base[3:]}: {times}: x{steps} per step of 4 (goal about 4)")


interactions()
growth()

subprocess.run(["rm", "-rf", work])
