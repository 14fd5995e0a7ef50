"""Reader for the text source of the name database (data/db/*.txt).

The grammar is described in data/README.md. This module only parses; the
rules that make a source valid are checked by check_source.py.
"""
import os
import re
import sys

NAME_RE = r"[A-Za-z0-9]+"
MARKER_RE = re.compile(r"^/\* -- (" + NAME_RE + r") -- \*/$")
PROP_RE = re.compile(
    r"^prop\((" + NAME_RE + r"),(" + NAME_RE + r"),"
    r"(?:(" + NAME_RE + r")|\"([^\"]*)\"|(" + NAME_RE + r"),\"([^\"]*)\")\)\.$")


class Prop:
    __slots__ = ("kind", "atom", "text", "file", "line")

    def __init__(self, kind, atom, text, file, line):
        self.kind, self.atom, self.text, self.file, self.line = kind, atom, text, file, line

    @property
    def form(self):
        """0 atom value, 1 string value, 2 both (the property kinds of the database file)."""
        if self.atom is not None and self.text is not None:
            return 2
        return 0 if self.atom is not None else 1


class Record:
    def __init__(self, name, file, line):
        self.name, self.file, self.line, self.props = name, file, line, []


def source_folder(argv, usage):
    """The source folder a data script works on: its one argument, or data/db
    of this tree. "--help" or "-h" prints the usage and ends the script
    (status 0); another argument beginning with "-", or more than one,
    prints it and ends the script with status 2: an option is never taken
    for the folder."""
    args = argv[1:]
    if "--help" in args or "-h" in args:
        print(usage, end="")
        sys.exit(0)
    unknown = [a for a in args if a.startswith("-") and a != "-"]
    if unknown or len(args) > 1:
        sys.stderr.write(("unknown option %s\n" % unknown[0] if unknown else "") + usage)
        sys.exit(2)
    return args[0] if args else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "data", "db")


def manifest(db_dir):
    """The source files in reading order, from db_dir/FILES."""
    files = []
    with open(os.path.join(db_dir, "FILES"), encoding="utf-8") as f:
        for raw in f:
            line = raw.strip()
            if line and not line.startswith("#"):
                files.append(os.path.join(db_dir, line))
    return files


def parse_file(path, records, errors):
    """Appends the records of one file to records; syntax errors go to errors."""
    short = os.path.basename(path)
    with open(path, "rb") as f:
        data = f.read()
    try:
        text = data.decode("utf-8")
    except UnicodeDecodeError as e:
        errors.append("%s: not valid UTF-8 (%s)" % (short, e))
        return
    if text.startswith("\ufeff"):
        errors.append("%s:1: byte order mark is not allowed" % short)
        text = text[1:]
    lines = text.split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    rec = None
    in_comment = False
    for no, raw in enumerate(lines, 1):
        line = raw[:-1] if raw.endswith("\r") else raw
        where = "%s:%d" % (short, no)
        if in_comment:
            if "*/" in line:
                in_comment = False
                if not line.rstrip().endswith("*/"):
                    errors.append("%s: text after the end of a comment" % where)
            continue
        if line == "":
            rec = None
            continue
        m = MARKER_RE.match(line)
        if m:
            if rec is not None:
                errors.append("%s: record marker without an empty line before it" % where)
            rec = Record(m.group(1), short, no)
            records.append(rec)
            continue
        if line.startswith("/*"):
            if line.startswith("/* --") and line.rstrip().endswith("-- */"):
                errors.append("%s: malformed record marker: %s" % (where, line))
            elif "*/" not in line:
                if rec is not None:
                    errors.append("%s: a comment inside a record must end on its line" % where)
                else:
                    in_comment = True
            elif not line.rstrip().endswith("*/"):
                errors.append("%s: text after the end of a comment" % where)
            continue
        if rec is None:
            errors.append("%s: text outside a record: %s" % (where, line[:60]))
            continue
        m = PROP_RE.match(line)
        if not m:
            errors.append("%s: not a property line: %s" % (where, line[:80]))
            continue
        kind, owner = m.group(1), m.group(2)
        if owner != rec.name:
            errors.append("%s: property of %s inside the record of %s" % (where, owner, rec.name))
            continue
        if m.group(3) is not None:
            p = Prop(kind, m.group(3), None, short, no)
        elif m.group(4) is not None:
            p = Prop(kind, None, m.group(4), short, no)
        else:
            p = Prop(kind, m.group(5), m.group(6), short, no)
        rec.props.append(p)
    if in_comment:
        errors.append("%s: comment not closed at the end of the file" % short)


def parse(files):
    records, errors = [], []
    for path in files:
        parse_file(path, records, errors)
    return records, errors
