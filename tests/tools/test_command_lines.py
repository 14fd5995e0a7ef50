#!/usr/bin/env python3
"""The tools and the benchmark programs that take a folder or a file: "--help"
and "-h" print the usage (status 0), an unknown option is refused with it
(status 2), and none of the three writes a file (once "gendb --help" wrote a
database into a folder named "--help").

Usage: test_command_lines.py SOURCE_DIR BINARY_DIR   (exit status 1 and one
line per fault; programs the build did not make are left out)
"""
import os
import signal
import subprocess
import sys
import tempfile

PROGRAMS = ["gendb", "makedb", "picturegen", "file_attacks", "lock_attacks", "first_load", "startup_probe"]
SCRIPTS = ["tools/data/check_source.py", "tools/data/us_ranks_to_source.py", "bench/ratios.py",
           "bench/file_attacks.sh", "bench/fuzz_rate.sh"]


def main():
    source, binary = sys.argv[1], sys.argv[2]
    commands = [[os.path.join(binary, "bin", p)] for p in PROGRAMS if os.path.exists(os.path.join(binary, "bin", p))]
    commands += [[sys.executable if s.endswith(".py") else "bash", os.path.join(source, s)] for s in SCRIPTS]
    faults = []
    for command in commands:
        for args, status, stream in ((["--help"], 0, 0), (["-h"], 0, 0), (["--no-such-option"], 2, 1)):
            name = " ".join([os.path.basename(command[-1])] + args)
            with tempfile.TemporaryDirectory(ignore_cleanup_errors=True) as work, \
                    tempfile.TemporaryDirectory(ignore_cleanup_errors=True) as home:
                env = dict(os.environ, QT_QPA_PLATFORM="offscreen", HOME=home,
                           XDG_CONFIG_HOME=os.path.join(home, ".config"))
                # In a session of its own: a program that takes the option
                # for a folder and goes to work ends with all it started.
                run = subprocess.Popen(command + args, cwd=work, env=env, stdout=subprocess.PIPE,
                                       stderr=subprocess.PIPE, text=True, start_new_session=True)
                try:
                    said = run.communicate(timeout=20)[stream]
                except subprocess.TimeoutExpired:
                    os.killpg(run.pid, signal.SIGKILL)
                    run.communicate()
                    faults.append(f"{name}: still running after 20 s")
                    continue
                if run.returncode != status or not said.startswith(("usage:", "unknown option")):
                    faults.append(f"{name}: status {run.returncode}, {said[:80]!r}")
                if os.listdir(work):
                    faults.append(f"{name} wrote {os.listdir(work)}")
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
