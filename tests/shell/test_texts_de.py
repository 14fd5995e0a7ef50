#!/usr/bin/env python3
"""The German edition's texts, read as a German editor would.

Every text a user of the German edition meets -- the program's own literals in
the source, the German help pages, tutorials and examples, and the German
texts of the sample database -- is Swiss standard German: no "ß", one name for
each thing, German quotation marks in the project's own pages, no doubled
blanks. A double name keeps its hyphen, and a group is named by one of its own
names. Both help folders are checked for entities that lost their "&" or ";".

Run by CTest with the source folder as the only argument (default: the folder
two levels above this file).
"""
import html
import html.parser
import pathlib
import re
import sys
import unittest

ROOT = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).resolve().parents[2])

# Folders of the program's source whose string literals the user may see.
CODE_DIRS = ["app", "database", "describe", "lists", "platform", "search", "services", "shell", "text", "windows"]

# Proper names that keep their "ß" (none of them stands in the texts today).
SHARP_S_NAMES = {"Strauß", "Weiß", "Voß"}

# One thing, one name: (wrong spelling, the name the program's menus and
# windows use). Matched in every German text, code literals included, so each
# pattern is German only.
DOUBLED_TERMS = [
    (r"Favoriten-Liste", "Favoritenliste"),
    (r"Tabelle der (?:momentanen )?Favoriten", "Favoritenliste"),
    (r"\bHistorie", "Verlauf"),
    (r"\bNamengruppe", "Namensgruppe"),
    (r"\bDokumente-Ordner|\bDokumentordner", "Dokumentenordner"),
    (r"\bAutors?\b", "Hersteller"),
    (r"Namenstag", "Gedenktag"),
    (r"Sprache des Ursprungs|Ursprungssprache|Herkunftssprache", "Sprache der Herkunft"),
    (r"\b50(?: - | -|- |:|/| : )50\b", "50-50"),
    (r"\bz\.B\.", "z. B."),
    (r"\bd\.h\.", "d. h."),
    (r"\b(?:im|ins|dem|das|Das) Menu\b", "Menü"),
]

# The help pages name each thing as the German edition's windows and menus
# do: a button, a link, a window by its caption. Checked in the help pages only:
# the program's own literals keep the texts their messages were given.
HELP_TERMS = [
    (r"Schliessknopf", "Schliessfeld"),
    (r"Kn[oö]pf", "Schaltfläche"),
    (r"\bVerweis(?:e|en|es)?\b", "Link"),
    (r"Schreibformen", "Schreibvarianten"),
    (r"Namens?datenbank|Vornamen-Datenbank|Beispieldatenbank", "Datenbank"),
    (r"\bCtrl\+", "Strg+"),
    (r"Namens?fenster", "Fenster Name/Gruppe"),
    (r"Begrüssungsfenster", "Fenster Willkommen"),
]

# Plain errors once found in the given texts, so that none comes back.
GRAMMAR = [
    (r"\b(?:nach|von) Name\b(?!/)", "nach/vom Namen"),
    (r"erfasster eigener Namen", "erfassten eigenen Namen"),
    (r"in eine Datei (?:ablegen|speichern)", "in einer Datei ablegen"),
    (r"Position: \S+\. von", "Position 3 von 12"),
    (r"mehr verlangt werden als", "mehr verlangt werden, als"),
]

# A group named apart from all of its names and old forms, and why.
GROUP_TEXT_EXCEPTIONS = {
    "gnAngelus": "headed by the Latin form; its names are Angel, Ángel and Angelo",
}


# --- reading the texts ---------------------------------------------------------

C_LITERAL = re.compile(r'(?<![\w\'])(?:u8|L|u|U)?"((?:[^"\\\n]|\\.)*)"')


def decode_literal(body):
    """The text a C++ literal stands for: escapes are code page 1252 bytes (the
    program's own text), characters written as such are themselves (the source
    is UTF-8 and reaches the program through one conversion)."""
    out, i = [], 0
    while i < len(body):
        c = body[i]
        if c == "\\" and i + 1 < len(body):
            n = body[i + 1]
            m = re.match(r"x([0-9a-fA-F]+)|([0-7]{1,3})|u([0-9a-fA-F]{4})", body[i + 1:])
            if m and m.group(1):
                out.append(bytes([int(m.group(1), 16) & 255]).decode("cp1252", "replace"))
            elif m and m.group(2):
                out.append(bytes([int(m.group(2), 8) & 255]).decode("cp1252", "replace"))
            elif m and m.group(3):
                out.append(chr(int(m.group(3), 16)))
            else:
                out.append({"n": "\n", "t": "\t", "r": "\r"}.get(n, n))
                i += 2
                continue
            i += 1 + len(m.group(0))
            continue
        out.append(c)
        i += 1
    return "".join(out)


def code_literals():
    """(place, text) of every string literal outside comments."""
    for d in CODE_DIRS:
        for path in sorted((ROOT / d).rglob("*")):
            if path.suffix not in (".cpp", ".h"):
                continue
            src = path.read_text(encoding="utf-8")
            # Comments go, with their line breaks kept for the line numbers.
            src = re.sub(r'/\*.*?\*/|//[^\n]*|"(?:[^"\\\n]|\\.)*"|\'(?:[^\'\\\n]|\\.)*\'',
                         lambda m: m.group(0) if m.group(0)[0] in "\"'" else "\n" * m.group(0).count("\n"), src,
                         flags=re.S)
            for no, line in enumerate(src.split("\n"), 1):
                for m in C_LITERAL.finditer(line):
                    yield f"{path.relative_to(ROOT)}:{no}", decode_literal(m.group(1))


class _TextNodes(html.parser.HTMLParser):
    """The text of a page as the viewer shows it, line by line; attribute
    values are not text."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.lines = {}

    def handle_data(self, data):
        line, _ = self.getpos()
        for k, part in enumerate(data.split("\n")):
            self.lines.setdefault(line + k, []).append(part)


def help_pages(folder):
    return sorted((ROOT / "data" / "help" / folder).glob("*.html")) if folder else sorted(
        (ROOT / "data" / "help").glob("*.html"))


def help_text_lines(path):
    p = _TextNodes()
    p.feed(path.read_text(encoding="utf-8"))
    p.close()
    for no in sorted(p.lines):
        yield f"{path.relative_to(ROOT)}:{no}", "".join(p.lines[no])


def script_prose(path, opens, closes):
    """The lines of a tutorial or examples file that the user reads: those
    outside the script blocks (a block runs from a line `opens` accepts to a
    line ";")."""
    inside = False
    for no, line in enumerate(path.read_text(encoding="utf-8").split("\n"), 1):
        if opens(line):
            inside = True
        elif line == closes:
            inside = False
        elif not inside:
            yield f"{path.relative_to(ROOT)}:{no}", line


def tutorial_prose():
    for path in sorted((ROOT / "data" / "tutorials" / "de").glob("*.txt")):
        yield from script_prose(path, lambda l: l == ":", ";")


def examples_prose():
    yield from script_prose(ROOT / "data" / "examples" / "Orsa1Ex.txt", lambda l: l.startswith("*"), ";")


PROP = re.compile(r'prop\((\w+),(\w+),(?:(\w+),)?(?:"([^"]*)"|(\w+))\)\.$')


def database():
    """{atom: [(kind, atom value, string value)]} of the sample source, with
    each property's place."""
    atoms, places = {}, {}
    db = ROOT / "data" / "db"
    for name in (db / "FILES").read_text(encoding="utf-8").split("\n"):
        name = name.split("#")[0].strip()
        if not name:
            continue
        for no, line in enumerate((db / name).read_text(encoding="utf-8").split("\n"), 1):
            m = PROP.match(line.strip())
            if m:
                kind, atom, value_atom, string, only_atom = m.groups()
                atoms.setdefault(atom, []).append((kind, value_atom or only_atom, string))
                places[(atom, kind, string)] = f"data/db/{name}:{no}"
    return atoms, places


# Kinds whose string is English, or no text at all.
NOT_GERMAN = {"prEnglish", "prRelatedTo", "prSource", "prPop", "prFromYear", "prYears", "prLevel", "prBirthYear",
              "prDeathYear", "prDedicDay", "prDedicMonth", "prNotInherited"}


def database_german():
    atoms, places = database()
    for atom, props in atoms.items():
        if ("prMemberOf", "seEnglishQuestions", None) in props:
            continue
        for kind, _, string in props:
            if string is None or kind.endswith("E") or kind in NOT_GERMAN:
                continue
            yield places[(atom, kind, string)], string


def text_of(props, kind="prText"):
    return next((s for k, _, s in props if k == kind and s is not None), None)


def all_german():
    yield from code_literals()
    for path in help_pages("de"):
        yield from help_text_lines(path)
    yield from tutorial_prose()
    yield from examples_prose()
    yield from database_german()


def own_german_prose():
    """The German texts the project wrote as pages of its own."""
    for path in help_pages("de"):
        yield from help_text_lines(path)
    yield from tutorial_prose()
    yield from examples_prose()


# --- the tests -----------------------------------------------------------------

class GermanEdition(unittest.TestCase):
    def assertNone(self, faults, what):
        self.assertEqual(faults, [], f"{what}:\n" + "\n".join(faults))

    def test_every_source_of_texts_is_read(self):
        # A reader that silently finds nothing would pass every test below.
        counts = {"code": sum(1 for _ in code_literals()), "help": len(help_pages("de")),
                  "tutorials": sum(1 for _ in tutorial_prose()), "examples": sum(1 for _ in examples_prose()),
                  "database": sum(1 for _ in database_german())}
        for source, n in counts.items():
            self.assertGreater(n, 10, source)

    def test_swiss_spelling_without_sharp_s(self):
        faults = []
        for place, text in all_german():
            rest = text
            for name in SHARP_S_NAMES:
                rest = rest.replace(name, "")
            if "ß" in rest:
                faults.append(f"{place}: {text.strip()[:120]}")
        self.assertNone(faults, "ß in a German text (Swiss standard German writes ss)")

    def assertNoneOf(self, table, say, what, texts=all_german):
        """No German text holds a pattern of table's (wrong, right) pairs."""
        faults = []
        for place, text in texts():
            for wrong, right in table:
                m = re.search(wrong, text)
                if m:
                    faults.append(f"{place}: '{m.group(0)}' " + say.format(right))
        self.assertNone(faults, what)

    def test_one_name_for_each_thing(self):
        self.assertNoneOf(DOUBLED_TERMS, "where the program says '{}'", "a thing named apart from its menu or window")

    def test_help_pages_name_things_as_the_program_does(self):
        pages = lambda: (line for path in help_pages("de") for line in help_text_lines(path))
        self.assertNoneOf(HELP_TERMS, "where the program says '{}'", "a help page naming a thing apart", pages)

    def test_no_plain_error_comes_back(self):
        self.assertNoneOf(GRAMMAR, "(write '{}')", "a grammar error in a German text")

    def test_german_quotation_marks_in_own_pages(self):
        faults = [f"{place}: {text.strip()[:120]}" for place, text in own_german_prose() if '"' in text]
        self.assertNone(faults, 'straight double quotes where German writes „...“')

    def test_german_single_quotation_marks_in_the_database(self):
        # A meaning quoted in a German description reads ‚Fels‘, not 'Fels';
        # an apostrophe inside or after a word ("Artus'", "Mikha'el") stays.
        quoted = re.compile(r"(^|[\s(])'[^']+'(?![\wäöüÄÖÜ])")
        faults = [f"{place}: {text[:120]}" for place, text in database_german() if quoted.search(text)]
        self.assertNone(faults, "straight single quotes where German writes ‚...‘")

    def test_no_doubled_blanks(self):
        sources = list(own_german_prose()) + list(database_german())
        faults = [f"{place}: {text.strip()[:120]}" for place, text in sources if re.search(r"\S  +\S", text)]
        # In the code only between words: the user-names file's header lines
        # are a file format and keep their layout.
        faults += [f"{place}: {text.strip()[:120]}" for place, text in code_literals()
                   if re.search(r"[\w.,;:)]  +[\w(]", text)]
        self.assertNone(faults, "doubled blanks")

    def test_a_double_name_keeps_its_hyphen(self):
        atoms, _ = database()
        faults = []
        for atom, props in atoms.items():
            german, english = text_of(props), text_of(props, "prTextE")
            if german and english and "-" in english and "-" not in german and english.replace("-", "") == german:
                faults.append(f"{atom}: German '{german}' beside English '{english}'")
        self.assertNone(faults, "a double name without its hyphen")

    def test_a_group_is_named_by_one_of_its_names(self):
        # The German text of a group heads every list it stands in: a name
        # that none of its names or old forms has ("Emmerich" for the female
        # group of Emery) misleads.
        atoms, _ = database()
        members = {}
        for atom, props in atoms.items():
            for kind, value, _ in props:
                if kind == "prGenName":
                    members.setdefault(value, set()).add(text_of(props))
        faults = []
        for atom, props in atoms.items():
            if atom.startswith("gn") and atom not in GROUP_TEXT_EXCEPTIONS:
                if text_of(props) not in members.get(atom, set()):
                    faults.append(f"{atom}: '{text_of(props)}' is none of {sorted(members.get(atom, set()))}")
        self.assertNone(faults, "a group named apart from its names")


class HelpPages(unittest.TestCase):
    ENTITY_NAMES = "quot|amp|lt|gt|apos|nbsp|[aouAOU]uml|szlig|[a-zA-Z]acute|[a-zA-Z]grave|[a-zA-Z]circ|" \
                   "mdash|ndash|hellip|laquo|raquo|bdquo|ldquo|rdquo|lsquo|rsquo|middot|rarr|larr|copy|shy"

    def test_every_entity_has_its_ampersand_and_semicolon(self):
        lost_amp = re.compile(r"(?<![&\w])(?:" + self.ENTITY_NAMES + r");")
        lost_semi = re.compile(r"&(?:[a-zA-Z][a-zA-Z0-9]*|#[0-9]+|#x[0-9a-fA-F]+)(?![a-zA-Z0-9;])")
        bare = re.compile(r"&(?![a-zA-Z][a-zA-Z0-9]*;|#[0-9]+;|#x[0-9a-fA-F]+;)")
        faults = []
        for path in help_pages("") + help_pages("de"):
            for no, line in enumerate(path.read_text(encoding="utf-8").split("\n"), 1):
                for pattern, what in ((lost_amp, "without &"), (lost_semi, "without ;"), (bare, "bare &")):
                    for m in pattern.finditer(line):
                        faults.append(f"{path.relative_to(ROOT)}:{no}: {what}: ...{line[max(0, m.start() - 20):m.end() + 20]}...")
        self.assertEqual(faults, [], "\n".join(faults))

    def test_the_checks_catch_what_they_are_for(self):
        # The faults these tests were written for, as they once stood.
        self.assertTrue(any(re.search(p, "die Favoriten-Liste") for p, _ in DOUBLED_TERMS))
        self.assertTrue(any(re.search(p, "Verlauf, Historie der Namen") for p, _ in DOUBLED_TERMS))
        self.assertTrue(any(re.search(p, "wie z.B. Anna") for p, _ in DOUBLED_TERMS))
        self.assertFalse(any(re.search(p, "Joker 50-50, Favoritenliste, z. B.") for p, _ in DOUBLED_TERMS))
        for old in ("mit dem Schliessknopf", "im Namensfenster", "oder Ctrl+C", "als Verweis", "Schreibformen"):
            self.assertTrue(any(re.search(p, old) for p, _ in HELP_TERMS), old)
        self.assertFalse(any(re.search(p, "Schaltfläche, Link, Strg+C, Datenbank; Sein Eintrag verweist auf")
                             for p, _ in HELP_TERMS))
        self.assertEqual(decode_literal(r"W\xf6rter \x84" + "Gr\u00fcsse" + r"\x93"), "Wörter „Grüsse“")


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=1)
