#!/usr/bin/env python3
"""Every speed and memory goal as a measure against its yardstick, in one run,
on the full-size database that gendb writes.

    python3 bench/ratios.py BUILD_DIR [RUNS] [--before OTHER_BUILD_DIR] [--rounds K] [GROUP ...]

Processes are timed from start to exit (or by what they print), medians of
RUNS (default 15) runs taken in turns; peak resident memory is each
process's own (wait4). GROUP names row groups (see GROUPS at the end) to run
only those; without, every group runs. With --before, each group runs on the
other build too, right before this one's, on the same database file: the
figures before and after a change from one run (the two builds' processes
run in the same turns). With --rounds, the groups
run K times over and a summary gives each row's medians over the rounds
(the gbench rows of the two builds do not share turns: rounds spread them
over the machine's quiet and busy stretches).

To add a row group: write a function taking the Context, that measures and
calls ctx.row(...) for each row, and add it to GROUPS.
"""
import json
import os
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time


def exe(build, name):
    for d in (os.path.join(build, "bin"), build):
        p = os.path.join(d, name)
        if os.path.exists(p):
            return p
    sys.exit(f"{name} not found in {build}")


def run(cmd, env=None, printed=False):
    """Wall time in ms of one process, and what it printed when asked for
    (printed). A process whose output is not wanted writes to /dev/null, as
    it would on its own: a pipe read and decoded here would be timed with it
    (cat of the full-size file took 4 to 6 times as long through one)."""
    out = subprocess.PIPE if printed else subprocess.DEVNULL
    t0 = time.perf_counter()
    p = subprocess.run(cmd, env=env, stdout=out, stderr=subprocess.DEVNULL)
    ms = (time.perf_counter() - t0) * 1000.0
    if p.returncode != 0:
        sys.exit(f"failed: {' '.join(cmd)}")
    return ms, p.stdout.decode(errors="replace") if printed else ""


def peak_rss(cmd, env=None):
    """Peak resident memory in MiB of one process. Through GNU time: a
    process started straight from here counts this script's own memory in
    its peak (the exec records the peak of the memory it leaves)."""
    with tempfile.NamedTemporaryFile(mode="r") as out:
        subprocess.run(["/usr/bin/time", "-f", "%M", "-o", out.name] + cmd, env=env, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return int(out.read().split()[-1]) / 1024.0


class Context:
    """What every row group shares: the build, the database, the runs, the
    environments, and the table of rows."""

    def __init__(self, build, runs, work=None):
        self.build = os.path.abspath(build)
        self.runs = runs
        self.owns_work = work is None
        self.work = work or tempfile.mkdtemp(prefix="ratios_")
        # GENDB may name another build's gendb (the file format is the same).
        if self.owns_work:
            subprocess.run([os.environ.get("GENDB") or self.exe("gendb"), self.work], check=True,
                           stdout=subprocess.DEVNULL)
        self.db = os.path.join(self.work, "Talv1Dat.bin")
        self.size_mib = os.path.getsize(self.db) / 1048576.0
        # A fresh home of its own: settings and the user-names file as a new user's.
        home = tempfile.mkdtemp(prefix="home_", dir=self.work)
        self.home = home
        self.offscreen = dict(os.environ, QT_QPA_PLATFORM="offscreen", HOME=home,
                              XDG_CONFIG_HOME=os.path.join(home, ".config"), LC_ALL="C")
        self.rows = []
        self._xvfb = None
        # With --before: the other build's context (set on the before one),
        # and the figures measured for this one in the before one's turns.
        self.partner = None
        self.replay = None

    def exe(self, name):
        return exe(self.build, name)

    def yardstick_exe(self, name):
        """A yardstick program. It measures the machine, not the build: with
        --before both builds are measured against this build's."""
        return (self.partner or self).exe(name)

    def menu_titles(self):
        """The titles of the frame's menu bar in the edition measured, as the
        program shows them (read once from this build's program)."""
        if getattr(self, "_titles", None) is None:
            probe = self.yardstick_exe("startup_probe")
            _, out = run([probe, self.work, "talvessin", "--menu-titles"], self.offscreen, printed=True)
            self._titles = [t for t in out.splitlines() if t]
            if not self._titles:
                sys.exit("startup_probe --menu-titles named no menu of the frame")
        return self._titles

    def moved(self, argv):
        """argv with this build's files named in the partner's build."""
        return [self.partner.build + a[len(self.build):] if a.startswith(self.build + os.sep) else a for a in argv]

    def medians(self, cmds, printed=False, yardsticks=()):
        """cmds: name -> (argv, env), run in turns. Medians of the wall time
        (or, with printed, of the number each process prints) and of the peak
        resident memory (measured in runs of their own).

        Each name in yardsticks is timed a second way in the same turns: the
        same command through the shell with its output to /dev/null, less
        what the shell itself takes (`true` through the shell against `true`
        alone: on a busy machine the shell's own start is a good part of a
        command of 2 ms). When the two medians differ by more than 1.5 times,
        the yardstick is not what it seems (a pipe, a decoder, a cold cache)
        and nothing is reported.

        With a partner (--before), the partner build's same commands run in
        the same turns, and its call of this function gets their figures:
        a machine whose load drifts then weighs on both builds alike."""
        if self.replay is not None:
            lines, result = self.replay.pop(0)
            # The groups ask the same in the same order for both builds.
            assert set(result[0]) == set(cmds), "a group asked the two builds for different commands"
            for line in lines:
                print(line)
            return result
        sets = [cmds]
        if self.partner:
            sets.append({k: (self.moved(argv), env) for k, (argv, env) in cmds.items()})
        every = {}
        for n, cs in enumerate(sets):
            every.update({(n, k): v for k, v in cs.items()})
            every.update({(n, f"{k} (through the shell)"): (["sh", "-c", 'exec "$@" >/dev/null', "sh"] + cs[k][0],
                                                             cs[k][1]) for k in yardsticks})
        if yardsticks:
            every[(None, "true")] = (["true"], None)
            every[(None, "true (through the shell)")] = (["sh", "-c", 'exec "$@" >/dev/null', "sh", "true"], None)
        times = {key: [] for key in every}
        rss = {key: [] for key in every if key[1] in cmds}
        for i in range(self.runs):
            for key, (argv, env) in every.items():
                wanted = printed and key[1] in cmds
                ms, out = run(argv, env, wanted)
                times[key].append(float(out.split()[-1]) if wanted else ms)
                if i < 5 and not printed and key[1] in cmds:
                    rss[key].append(peak_rss(argv, env))
        med = {key: statistics.median(v) for key, v in times.items()}
        shell = max(0.0, med[(None, "true (through the shell)")] - med[(None, "true")]) if yardsticks else 0.0
        results = []
        for n in range(len(sets)):
            lines = []
            for k in yardsticks:
                a, b = med[(n, k)], med[(n, f"{k} (through the shell)")] - shell
                lines.append(f"yardstick {k}: {a:.2f} ms, through the shell {b:.2f} ms (its own {shell:.2f} ms left out)")
                if max(a, b) > 1.5 * min(a, b):
                    print("\n".join(lines))
                    sys.exit(f"yardstick {k} differs from its second timing by more than 1.5x: not reported")
            results.append((lines, ({k: med[(n, k)] for k in cmds},
                                    {k: statistics.median(rss[(n, k)]) if rss.get((n, k)) else None for k in cmds})))
        if self.partner:
            self.partner.replay.append(results[1])
        for line in results[0][0]:
            print(line)
        return results[0][1]

    def gbench(self, name, flt, repetitions=7):
        """Medians in ms of the Google benchmarks of `name` matching `flt`."""
        out = subprocess.run([self.exe(name), f"--benchmark_filter={flt}",
                              f"--benchmark_repetitions={repetitions}",
                              "--benchmark_report_aggregates_only=true", "--benchmark_format=json"],
                             check=True, capture_output=True, text=True).stdout
        scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}
        res = {}
        for b in json.loads(out)["benchmarks"]:
            if b.get("aggregate_name") == "median":
                res[b["run_name"]] = b["real_time"] * scale[b["time_unit"]]
        return res

    def xvfb_env(self):
        """An environment on a private X server with a window manager (started
        once, stopped at the end); None when Xvfb is missing."""
        if self._xvfb is None:
            if not shutil.which("Xvfb"):
                return None
            disp = f":{200 + os.getpid() % 500}"
            server = subprocess.Popen(["Xvfb", disp, "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                                      stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            time.sleep(1.0)
            env = dict(self.offscreen, DISPLAY=disp, QT_QPA_PLATFORM="xcb")
            wm = None
            if shutil.which("openbox"):
                wm = subprocess.Popen(["openbox"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                time.sleep(0.5)
            self._xvfb = (server, wm, env)
        return self._xvfb[2]

    def row(self, measure, value, unit, yardstick=None, goal=None, ok=None):
        """One row: the measure's value, its yardstick's (or None), the goal as
        text, and whether it is met (counted from the ratio unless given)."""
        self.rows.append((measure, value, unit, yardstick, goal, ok))
        text = f"{measure}: {value:.2f} {unit}"
        if yardstick is not None:
            text += f" vs {yardstick:.2f} {unit} = {value / yardstick:.2f}x"
        if goal:
            text += f" (goal {goal}" + ("" if ok is None else (": met" if ok else ": NOT met")) + ")"
        print(text, flush=True)

    def close(self):
        if self._xvfb:
            for p in self._xvfb[1::-1]:
                if p:
                    p.send_signal(signal.SIGTERM)
                    p.wait()
        if self.owns_work:
            subprocess.run(["rm", "-rf", self.work])


# --- row groups -------------------------------------------------------------------

def load(ctx):
    """The load: in process, as a whole process (with a lease and without), and the first of a
    process."""
    r = ctx.gbench("bench_database", "BM_ReadBinFile|BM_ReadRawBytes")
    ratio = r["BM_ReadBinFile"] / r["BM_ReadRawBytes"]
    ctx.row("ReadBinFile vs raw read into a kept buffer", r["BM_ReadBinFile"], "ms", r["BM_ReadRawBytes"],
            "<= 5x", ratio <= 5)

    t, m = ctx.medians({"cat": (["cat", ctx.db], None), "check": ([ctx.exe("makedb"), "--check", ctx.db], None)},
                       yardsticks=("cat",))
    ctx.row("load, whole process: makedb --check vs cat", t["check"], "ms", t["cat"], "<= 3x",
            t["check"] / t["cat"] <= 3)
    ctx.row("makedb --check peak RSS, times the file", m["check"] / ctx.size_mib, "x", None, "<= 3",
            m["check"] / ctx.size_mib <= 3)

    # Read as an installed copy is, another user's file: no lease, so the
    # file is read through a window and its checksum taken. The file held
    # open for writing here refuses the lease as another owner would.
    held = os.open(ctx.db, os.O_WRONLY)
    try:
        t, _ = ctx.medians({"cat": (["cat", ctx.db], None),
                            "check": ([ctx.exe("makedb"), "--check", ctx.db], None)}, yardsticks=("cat",))
    finally:
        os.close(held)
    ctx.row("load without a lease, whole process: makedb --check vs cat", t["check"], "ms", t["cat"], "<= 3x",
            t["check"] / t["cat"] <= 3)

    probe = ctx.exe("first_load")
    t, _ = ctx.medians({"raw": ([probe, ctx.db, "raw"], None), "db": ([probe, ctx.db, "db"], None)}, printed=True)
    ctx.row("first load in a new process vs reading the file into a new buffer", t["db"], "ms", t["raw"],
            "<= 3x", t["db"] / t["raw"] <= 3)


def startup(ctx):
    """Start-up to the frame painted, offscreen and under Xvfb, against the
    empty Qt MDI frame with a menu bar of the program's titles (the goal: a
    frame with words on it sets up the fonts, as the program must) and, as
    information, against the empty frame with no text at all; and the peak
    memory above the empty Qt program."""
    empty = ctx.yardstick_exe("empty_qt")
    cmds = {"empty": [empty], "menus": [empty, "--menus"] + ctx.menu_titles(),
            "program": [ctx.exe("startup_probe"), ctx.work, "talvessin"]}
    for where, env in (("offscreen", ctx.offscreen), ("Xvfb", None)):
        if where == "Xvfb":
            env = ctx.xvfb_env()
            if env is None:
                print("start-up under Xvfb: Xvfb missing, not measured")
                return
        t, m = ctx.medians({k: (v, env) for k, v in cmds.items()}, yardsticks=("empty", "menus"))
        ctx.row(f"start-up to the frame painted ({where}) vs the empty Qt MDI frame with the menu bar of "
                f"{len(cmds['menus']) - 2} titles", t["program"], "ms", t["menus"], "<= 1.3x",
                t["program"] / t["menus"] <= 1.3)
        ctx.row(f"start-up to the frame painted ({where}) vs the empty Qt MDI program, no text (information)",
                t["program"], "ms", t["empty"])
        if where == "offscreen":
            above = (m["program"] - m["empty"]) / ctx.size_mib
            ctx.row("peak memory above the empty Qt program, times the file", above, "x", None, "<= 2", above <= 2)


# The windows timed as the first of a run: each in a new process.
FIRST_WINDOWS = [("first window of a run (names A-Z) opened and filled", "Alpha"),
                 ("quiz to its first question (new process, first time)", "Quiz"),
                 ("name days (new process, first time)", "NameDays"),
                 ("combine (new process, first time)", "ListOp")]


def first_windows(ctx):
    """Windows opened as the first of a run, command to first paint."""
    probe = ctx.exe("startup_probe")
    cmds = {name: ([probe, ctx.work, "talvessin", "--open", name], ctx.offscreen) for _, name in FIRST_WINDOWS}
    t, _ = ctx.medians(cmds, printed=True)
    for measure, name in FIRST_WINDOWS:
        ctx.row(measure, t[name], "ms", None, "< 16 ms", t[name] < 16)


def sort(ctx):
    """Sorting every order at 5,000, 20,000 and 80,000 lines. The goal is the
    time at 80,000 lines (half a frame); the step from 20,000 to 80,000 is
    shown but is no goal: past 20,000 lines the lines leave the cache, and the
    step measures the cache more than the sort."""
    r = ctx.gbench("bench_lists", "BM_SortOrder")
    for order in (1, 2, 3, 4, 5, 6, 99):
        ms = {n: r[f"BM_SortOrder/order:{order}/lines:{n}"] for n in (5000, 20000, 80000)}
        ctx.row(f"sort order {order}: 80,000 lines (vs 20,000)", ms[80000], "ms", ms[20000],
                "< 8 ms", ms[80000] < FRAME_MS / 2)


FRAME_MS = 1000.0 / 60


def interactions(ctx):
    """Each interaction on the full-size database against its goal: one frame
    at 60 Hz unless it says otherwise."""
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
        measured.update(ctx.gbench(binary, "^(" + "|".join(names) + ")$"))
    for what, _, name, goal in rows:
        if name not in measured:  # an older build, measured with --before
            print(f"{what}: {name} is not in this build")
            continue
        ms = measured[name]
        ctx.row(what, ms, "ms", None, f"< {goal:.1f} ms", ms < goal)


def growth(ctx):
    """Each benchmark of bench_growth at n, 4n and 16n: the time should grow
    about 4 times per step (n log n a little more; the square of n 16 times)."""
    if not any(os.path.exists(os.path.join(d, "bench_growth")) for d in (os.path.join(ctx.build, "bin"), ctx.build)):
        print("bench_growth is not in this build")
        return
    sizes = {}
    for run_name, ms in ctx.gbench("bench_growth", ".").items():
        base, size = run_name.split("/")[:2]
        sizes.setdefault(base, []).append((int(size), ms))
    for base, points in sizes.items():
        points.sort()
        for (n, a), (m, b) in zip(points, points[1:]):
            ctx.row(f"{base[3:]}: {m:,} vs {n:,}", b, "ms", a, "about 4x per step of 4", b / a <= 6)


def fulltext(ctx):
    """The full-text search for one term against grep -F -i for the same
    term over the same texts, written to a file by bench_query in the same
    run (grep's start included): the goal is a search no slower than grep.
    A search of three rows looks for three terms; against grep's one it is
    shown as information."""
    r = {name.split("/")[0]: ms for name, ms in ctx.gbench("bench_query", "^BM_(FullText|Grep)").items()}
    grep = r["BM_GrepSequence"]
    for what, name in (("a rare char sequence", "BM_FullTextSequence"), ("a rare word", "BM_FullTextWord")):
        ctx.row(f"full-text search, {what} vs grep -F -i", r[name], "ms", grep, "<= 1x", r[name] <= grep)
    ctx.row("full-text search, three rows vs grep -F -i for one term (information)", r["BM_FullTextThreeRows"], "ms",
            grep)


GROUPS = {
    "load": load,
    "startup": startup,
    "first_windows": first_windows,
    "sort": sort,
    "interactions": interactions,
    "growth": growth,
    "fulltext": fulltext,
}


def summarise(ctx, which, rounds):
    """Each row's medians over the rounds, and in how many it met its goal."""
    by = {}
    for measure, value, unit, yardstick, goal, ok in ctx.rows:
        by.setdefault(measure, []).append((value, unit, yardstick, goal, ok))
    print(f"--- summary over {rounds} rounds{' (' + which + ')' if which else ''}")
    for measure, rs in by.items():
        value = statistics.median(r[0] for r in rs)
        unit, goal = rs[0][1], rs[0][3]
        text = f"{measure}: {value:.2f} {unit}"
        if rs[0][2] is not None:
            yard = statistics.median(r[2] for r in rs)
            ratio = statistics.median(r[0] / r[2] for r in rs)
            text += f" vs {yard:.2f} {unit}, ratio {ratio:.2f}x"
        if goal:
            met = sum(1 for r in rs if r[4])
            text += f" (goal {goal}: met in {met} of {len(rs)} rounds)"
        print(text, flush=True)


USAGE = "usage: python3 bench/ratios.py BUILD_DIR [RUNS] [--before OTHER_BUILD_DIR] [--rounds K] [GROUP ...]\n"


def main():
    args = sys.argv[1:]
    # No option is taken for a build folder: --help and -h print the usage,
    # any other option than the two is refused with it.
    if "--help" in args or "-h" in args:
        print(USAGE, end="")
        sys.exit(0)
    unknown = [a for a in args if a.startswith("-") and a not in ("--before", "--rounds")]
    if unknown:
        sys.stderr.write(f"unknown option {unknown[0]}\n{USAGE}")
        sys.exit(2)
    build = args.pop(0) if args else "build"
    runs = int(args.pop(0)) if args and args[0].isdigit() else 15
    before = None
    rounds = 1
    while args and args[0] in ("--before", "--rounds"):
        flag = args.pop(0)
        if flag == "--before":
            before = args.pop(0)
        else:
            rounds = int(args.pop(0))
    chosen = args or list(GROUPS)
    for g in chosen:
        if g not in GROUPS:
            sys.exit(f"no row group {g}; groups: {' '.join(GROUPS)}")
    ctx = Context(build, runs)
    other = Context(before, runs, ctx.work) if before else None
    if other:
        other.partner, ctx.replay = ctx, []
    try:
        print(f"full-size database: {os.path.getsize(ctx.db)} bytes ({ctx.size_mib:.1f} MiB), {runs} runs each")
        for k in range(rounds):
            if rounds > 1:
                print(f"=== round {k + 1} of {rounds}")
            for g in chosen:
                for c, which in ((other, "before"), (ctx, "after" if other else "")):
                    if c:
                        print(f"--- {g}" + (f" ({which}: {c.build})" if which else ""))
                        GROUPS[g](c)
        for c, which in ((other, "before"), (ctx, "after" if other else "")):
            if c:
                if rounds > 1:
                    summarise(c, which, rounds)
                met = sum(1 for r in c.rows if r[5])
                goals = sum(1 for r in c.rows if r[5] is not None)
                print(f"--- {which + ': ' if which else ''}{met} of {goals} goals met"
                      + (" (rows of every round)" if rounds > 1 else ""))
    finally:
        if other:
            other.close()
        ctx.close()


if __name__ == "__main__":
    main()
