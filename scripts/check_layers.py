#!/usr/bin/env python3
"""Fails on any #include that points up the order of the program's folders.

The folders depend on each other in one order, lowest first; a file may include
headers of its own folder and of the folders before it, never of one after it,
so that no two folders call each other. Most includes name a header by its
basename (the include path covers the folders), so each include is resolved by
finding the header in the tree. The tools stand beside the program and may use
the model (the first six folders) and one another, nothing of the Qt program.

Usage: check_layers.py [SOURCE_DIR]   (exit status 1 and one line per fault)
"""
import os
import re
import sys

ORDER = ["text", "services", "database", "lists", "search", "describe",
         "platform", "shell", "windows", "app"]
CORE = ORDER[:ORDER.index("describe") + 1]
SOURCE_SUFFIXES = (".h", ".hpp", ".cpp", ".cc")
INCLUDE = re.compile(r'^\s*#\s*include\s*[<"]([^">]+)[">]')


def folder_of(rel):
    """The checked folder a path (relative to the source dir) lies in, or None."""
    top = rel.split("/", 1)[0]
    if top in ORDER:
        return top
    if top == "tools":
        return "tools"
    return None


def allowed(folder):
    if folder == "tools":
        return set(CORE) | {folder}
    return set(ORDER[:ORDER.index(folder) + 1])


def main():
    root = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else
                           os.path.join(os.path.dirname(__file__), ".."))
    files = []
    for top in ORDER + ["tools"]:
        for dirpath, _, names in os.walk(os.path.join(root, top)):
            for name in names:
                if name.endswith(SOURCE_SUFFIXES):
                    files.append(os.path.relpath(os.path.join(dirpath, name), root))
    # A header is found by the end of its path: "GenDescr.h" or "widgets/MenuStyle.h".
    headers = [f for f in files if f.endswith((".h", ".hpp"))]

    def resolve(including, name):
        local = os.path.normpath(os.path.join(os.path.dirname(including), name))
        if local in headers:
            return [local]
        return [h for h in headers if h == name or h.endswith("/" + name)]

    faults = []
    for rel in sorted(files):
        here = folder_of(rel)
        if here is None:
            continue
        ok = allowed(here)
        with open(os.path.join(root, rel), encoding="latin-1") as f:
            for number, line in enumerate(f, 1):
                m = INCLUDE.match(line)
                if not m:
                    continue
                found = resolve(rel, m.group(1))
                if len(found) > 1:
                    faults.append(f"{rel}:{number}: {m.group(1)} is ambiguous: {', '.join(found)}")
                    continue
                if not found:
                    continue  # a library header (std, Qt, gtest)
                there = folder_of(found[0])
                if there is not None and there not in ok:
                    faults.append(f"{rel}:{number}: {here} includes {found[0]} of {there}, "
                                  f"which comes after it")
    for fault in faults:
        print(fault)
    if faults:
        print(f"{len(faults)} include(s) point up the order: {' <- '.join(ORDER)}")
        return 1
    print(f"{len(files)} files keep the order: {' <- '.join(ORDER)}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
