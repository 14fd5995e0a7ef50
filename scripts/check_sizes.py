#!/usr/bin/env python3
"""Fails on a program file over 1,000 lines or a function over 150 lines.

A newcomer reads a file whole and a function at one go; past these sizes a
module wants splitting into named steps. Functions are found by their braces
(comments and strings blanked first): a block opened after a parameter list
that is not an if, for, while, switch or catch, counted from its opening line
to its closing one, lambdas and local classes counted with their function.

Usage: check_sizes.py [SOURCE_DIR]   (exit status 1 and one line per fault)
"""
import os
import re
import sys

FOLDERS = ["text", "services", "database", "lists", "search", "describe",
           "platform", "shell", "windows", "app", "tools"]
MAX_FILE_LINES = 1000
MAX_FUNCTION_LINES = 150


def blank(text):
    """text with every character but the line ends made a blank."""
    return re.sub(r"[^\n]", " ", text)


def strip(src):
    """src with comments and the insides of strings blanked, lines kept."""
    out, i, n = [], 0, len(src)
    while i < n:
        c = src[i]
        if src.startswith("//", i):
            j = src.find("\n", i)
            j = n if j < 0 else j
        elif src.startswith("/*", i):
            j = src.find("*/", i + 2)
            j = n if j < 0 else j + 2
        elif src.startswith('R"', i):
            delimiter = re.match(r'R"([^(]*)\(', src[i:]).group(1)
            j = src.find(")" + delimiter + '"', i) + len(delimiter) + 2
        elif c in "\"'":
            j = i + 1
            while j < n and src[j] != c:
                j += 2 if src[j] == "\\" else 1
            out.append(c + blank(src[i + 1:j]) + c)
            i = j + 1
            continue
        else:
            out.append(c)
            i += 1
            continue
        out.append(blank(src[i:j]))
        i = j
    return "".join(out)


CONTROL = re.compile(r"\b(if|for|while|switch|catch)\s*\(")
PARAMS_END = re.compile(r"\)\s*(const|override|noexcept|final|mutable|->\s*[\w:<>*&]+|\s)*$")


def long_functions(text):
    """(first line, lines, signature) of each outermost function over the limit."""
    s = strip(text)
    stack, found = [], []
    for m in re.finditer(r"[{}]", s):
        if m.group() == "{":
            head = s[max(0, m.start() - 300):m.start()]
            sig = head[max(head.rfind(";"), head.rfind("{"), head.rfind("}")) + 1:].strip()
            is_function = bool(PARAMS_END.search(sig)) and not CONTROL.search(sig)
            stack.append((s.count("\n", 0, m.start()) + 1, is_function, sig))
        elif stack:
            line, is_function, sig = stack.pop()
            lines = s.count("\n", 0, m.start()) + 1 - line + 1
            inside_function = any(outer[1] for outer in stack)
            if is_function and not inside_function and lines > MAX_FUNCTION_LINES:
                found.append((line, lines, " ".join(sig.split())[-90:]))
    return found


def main():
    root = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else
                           os.path.join(os.path.dirname(__file__), ".."))
    faults = []
    for top in FOLDERS:
        for dirpath, _, names in os.walk(os.path.join(root, top)):
            for name in sorted(names):
                if not name.endswith((".h", ".cpp")):
                    continue
                path = os.path.join(dirpath, name)
                rel = os.path.relpath(path, root)
                with open(path, encoding="latin-1") as f:
                    text = f.read()
                count = text.count("\n")
                if count > MAX_FILE_LINES:
                    faults.append(f"{rel}: {count} lines (at most {MAX_FILE_LINES})")
                for line, lines, sig in long_functions(text):
                    faults.append(f"{rel}:{line}: {lines} lines (at most {MAX_FUNCTION_LINES}): {sig}")
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
