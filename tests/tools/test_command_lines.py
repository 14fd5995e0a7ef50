#!/usr/bin/env python3
"""Every program and script of tools/, bench/ and tests/fuzz/: "--help" and
"-h" print the usage (status 0), an unknown option is refused with it (status
2), and none of the three writes a file (once "gendb --help" wrote a database
into a folder named "--help", and "fuzz_make_corpus --help" a corpus).

The programs are those the build lists in PROGRAM_LIST (every executable
whose first source lies in those folders); the scripts are found here: every
shell script, and every Python file run as a program. So a new one is checked
without being named anywhere.

Usage: test_command_lines.py SOURCE_DIR PROGRAM_LIST   (exit status 1 and one
line per fault; programs the build did not make are left out)
"""
import os
import signal
import subprocess
import sys
import tempfile

FOLDERS = ["tools", "bench", "tests/fuzz"]


def scripts(source):
    found = []
    for folder in FOLDERS:
        for parent, _, files in os.walk(os.path.join(source, folder)):
            for f in sorted(files):
                path = os.path.join(parent, f)
                if f.endswith(".sh"):
                    found.append(["bash", path])
                elif f.endswith(".py") and "__main__" in open(path, encoding="utf-8").read():
                    found.append([sys.executable, path])
    return found


def main():
    source, program_list = sys.argv[1], sys.argv[2]
    faults = []
    try:
        listed = [line for line in open(program_list, encoding="utf-8").read().splitlines() if line]
    except OSError as e:
        listed = []
        faults.append(f"no list of programs: {e}")
    if not listed and not faults:
        faults.append(f"{program_list} lists no program")
    commands = [[p] for p in listed if os.path.exists(p)] + scripts(source)
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
                for folder in (work, home):
                    if os.listdir(folder):
                        faults.append(f"{name} wrote {os.listdir(folder)}")
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
