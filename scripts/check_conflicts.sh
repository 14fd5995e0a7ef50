#!/usr/bin/env bash
# Fails when a tracked file still holds a marker line of an unfinished merge
# ("<<<<<<< ours", "=======", "||||||| base", ">>>>>>> theirs"), so that a
# half-resolved conflict never reaches a build, let alone the program folder.
# A line of exactly seven "=" counts too: a leftover separator is the usual
# remnant of a hand-made resolution. (No tracked Markdown file underlines a
# heading so; underline with any other number of "=" or use "#".)
#
# Usage: check_conflicts.sh [FOLDER]   (a git work tree, default the project's;
# exit status 1 and one line per marker, 0 when there is none)
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"
if ! git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    echo "check_conflicts: not a git work tree, nothing checked" >&2
    exit 0
fi
# -I skips binary files; git grep exits 1 when nothing matches.
if git grep -I -n -E '^(<<<<<<<|>>>>>>>|\|\|\|\|\|\|\|)( |$)|^=======$' >&2; then
    echo "check_conflicts: merge conflict markers in the tracked files above" >&2
    exit 1
fi
