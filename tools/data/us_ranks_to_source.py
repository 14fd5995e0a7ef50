#!/usr/bin/env python3
"""Turns the SSA ranking tables of data/db into the hit-parade records of data/db/hitparades_us.txt.

Usage: us_ranks_to_source.py [data/db]

Three tables, each with the columns named in its first comment line:
  us_ranks.tsv         year, sex (M/F), rank, name, births: one hit parade
                       per year and sex in the series psUsYearly;
  us_state_ranks.tsv   state, year, sex, rank, name, births: one hit parade
                       per state, year and sex in the state's own series
                       (psUsCaYearly, ...);
  us_decade_ranks.tsv  first year, years, sex, rank, name, births: one hit
                       parade per span and sex in the series psUsDecades,
                       ranked by the births of the span added up.
Names are found by their text among the name records of the source, so every
ranked name must exist there first. Names with the same number of births
share a rank: the first gets the suffix "a", the second "b". Runs offline;
nothing is downloaded.
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import dbsource  # noqa: E402

SOURCE = "U.S. Social Security Administration, national baby name data"
STATE_SOURCE = "U.S. Social Security Administration, baby name data by state"
OUT_NAME = "hitparades_us.txt"

# State code: series, German text, English text, German place phrase, English place phrase.
STATES = {
    "CA": ("psUsCaYearly", "Kalifornien", "California", "in Kalifornien", "in California"),
    "TX": ("psUsTxYearly", "Texas", "Texas", "in Texas", "in Texas"),
    "NY": ("psUsNyYearly", "New York", "New York", "im Bundesstaat New York", "in the state of New York"),
    "FL": ("psUsFlYearly", "Florida", "Florida", "in Florida", "in Florida"),
}


def read_table(path, columns):
    """Rows of a table: the text columns before the last four, then year-like ints, sex, rank, name, births."""
    rows = []
    if not os.path.exists(path):
        return rows
    with open(path, encoding="utf-8") as f:
        for no, raw in enumerate(f, 1):
            line = raw.rstrip("\n")
            if not line or line.startswith("#"):
                continue
            cells = line.split("\t")
            if len(cells) != len(columns):
                raise SystemExit("%s:%d: %d columns expected" % (path, no, len(columns)))
            row = {}
            for key, cell in zip(columns, cells):
                row[key] = cell if key in ("sex", "name", "state") else int(cell)
            if row["sex"] not in ("M", "F"):
                raise SystemExit("%s:%d: sex must be M or F" % (path, no))
            if "state" in row and row["state"] not in STATES:
                raise SystemExit("%s:%d: unknown state %s" % (path, no, row["state"]))
            rows.append(row)
    return rows


def name_ids(db_dir):
    files = [f for f in dbsource.manifest(db_dir) if os.path.basename(f) != OUT_NAME]
    records, errors = dbsource.parse(files)
    if errors:
        raise SystemExit("\n".join(errors))
    by_text = {}
    for r in records:
        if r.name.startswith("na"):
            for p in r.props:
                if p.kind == "prText":
                    by_text.setdefault(p.text, []).append(r.name)
                    break
    return by_text


def parade(out, problems, by_text, head, entries):
    """One hit parade: head holds id, texts, series, years, source and descriptions."""
    pid = head["id"]
    out.append("/* -- %s -- */" % pid)
    out.append('prop(prText,%s,"%s").' % (pid, head["text"]))
    if head.get("textE"):
        out.append('prop(prTextE,%s,"%s").' % (pid, head["textE"]))
    out.append("prop(prMemberOf,%s,sePopularities)." % pid)
    out.append("prop(prSubsetOf,%s,%s)." % (pid, head["series"]))
    out.append('prop(prFromYear,%s,"%d").' % (pid, head["from"]))
    out.append('prop(prYears,%s,"%d").' % (pid, head["years"]))
    out.append('prop(prSource,%s,"%s").' % (pid, head["source"]))
    out.append('prop(prDescr,%s,"%s").' % (pid, head["descr"]))
    out.append('prop(prDescrE,%s,"%s").' % (pid, head["descrE"]))
    entries = sorted(entries, key=lambda e: (e[0], -e[1], e[2]))
    for i, (rank, births, name) in enumerate(entries):
        ids = by_text.get(name, [])
        if len(ids) != 1:
            problems.append("%s: name %s %s" % (pid, name,
                                                "is missing" if not ids else "is ambiguous: " + " ".join(ids)))
            continue
        same_before = i > 0 and entries[i - 1][1] == births
        same_after = i + 1 < len(entries) and entries[i + 1][1] == births
        if same_before and same_after:
            # The database marks a shared rank with "a" and "b" only: three
            # names with one number of births cannot be written.
            problems.append("%s: more than two names share %d births (%s)" % (pid, births, name))
            continue
        suffix = ""
        if same_after:
            suffix = "a"
        elif same_before:
            # Both names show the first one's rank, in the order the table gives.
            suffix = "b"
            rank = entries[i - 1][0]
        out.append('prop(prPop,%s,%s,"%d%s").' % (pid, ids[0], rank, suffix))
    out.append("")


def group(rows, key):
    groups = {}
    for r in rows:
        groups.setdefault(key(r), []).append((r["rank"], r["births"], r["name"]))
    return groups


def main(argv):
    db_dir = dbsource.source_folder(argv, "usage: us_ranks_to_source.py [data/db]\n")
    national = read_table(os.path.join(db_dir, "us_ranks.tsv"), ("year", "sex", "rank", "name", "births"))
    states = read_table(os.path.join(db_dir, "us_state_ranks.tsv"),
                        ("state", "year", "sex", "rank", "name", "births"))
    spans = read_table(os.path.join(db_dir, "us_decade_ranks.tsv"),
                       ("from", "years", "sex", "rank", "name", "births"))
    by_text = name_ids(db_dir)
    out = ["/* Hit parades of the SSA's baby name data: the yearly US rankings (psUsYearly), those of four",
           "   states (psUsCaYearly, psUsTxYearly, psUsNyYearly, psUsFlYearly) and the ranking of a decade",
           "   (psUsDecades). Generated by tools/data/us_ranks_to_source.py from us_ranks.tsv,",
           "   us_state_ranks.tsv and us_decade_ranks.tsv; edit the tables, not this file. */",
           ""]
    problems = []
    count = 0

    def kids(sex, english):
        if english:
            return "boys" if sex == "M" else "girls"
        return "Jungen" if sex == "M" else "M\u00e4dchen"

    for (year, sex), entries in sorted(group(national, lambda r: (r["year"], r["sex"])).items()):
        parade(out, problems, by_text, {
            "id": "poUs%d%s" % (year, sex), "text": "USA %d" % year, "series": "psUsYearly",
            "from": year, "years": 1, "source": SOURCE,
            "descr": "Die h\u00e4ufigsten Vornamen f\u00fcr %s, die %d in den USA geboren wurden." % (kids(sex, False), year),
            "descrE": "The most frequent names of %s born in the USA in %d." % (kids(sex, True), year)}, entries)
        count += 1
    for (state, year, sex), entries in sorted(group(states, lambda r: (r["state"], r["year"], r["sex"])).items()):
        series, de, en, in_de, in_en = STATES[state]
        parade(out, problems, by_text, {
            "id": "poUs%s%d%s" % (state.capitalize(), year, sex), "text": "%s %d" % (de, year),
            "textE": "%s %d" % (en, year) if en != de else None, "series": series,
            "from": year, "years": 1, "source": STATE_SOURCE,
            "descr": "Die h\u00e4ufigsten Vornamen f\u00fcr %s, die %d %s geboren wurden." % (kids(sex, False), year, in_de),
            "descrE": "The most frequent names of %s born %s in %d." % (kids(sex, True), in_en, year)}, entries)
        count += 1
    for (first, years, sex), entries in sorted(group(spans, lambda r: (r["from"], r["years"], r["sex"])).items()):
        last = first + years - 1
        parade(out, problems, by_text, {
            "id": "poUs%dto%d%s" % (first, last, sex), "text": "USA %d-%d" % (first, last),
            "series": "psUsDecades", "from": first, "years": years, "source": SOURCE,
            "descr": "Die h\u00e4ufigsten Vornamen f\u00fcr %s, die von %d bis %d in den USA geboren wurden: "
                     "Rangfolge nach der Summe der Geburten aller %d Jahre." % (kids(sex, False), first, last, years),
            "descrE": "The most frequent names of %s born in the USA from %d to %d, ranked by the births "
                      "of all %d years added up." % (kids(sex, True), first, last, years)}, entries)
        count += 1
    if problems:
        raise SystemExit("\n".join(problems))
    with open(os.path.join(db_dir, OUT_NAME), "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(out) + "\n")
    print("wrote %d hit parades to %s" % (count, OUT_NAME))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
