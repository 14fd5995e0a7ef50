#!/usr/bin/env python3
"""Checks the text source of the name database without building it.

Usage: check_source.py [data/db]

Reports every rule that the database compiler enforces on the source
(see data/README.md): syntax, internal names, duplicates, dangling references,
value types, strings that code page 1252 cannot hold or that are too long,
groups without a gender, cycles of languages, the kinds the atoms will get,
and the structure of hit parades, saints and quiz questions.
Exit status 0 when the source is clean, 1 otherwise.
"""
import os
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import dbsource  # noqa: E402

PREFIXES = {
    "na": "name", "gn": "group", "of": "old form", "or": "origin entry", "to": "topic",
    "wo": "word", "la": "language", "sa": "saint", "co": "country", "po": "hit parade",
    "ps": "hit-parade series", "li": "link", "qu": "quiz question", "pr": "property kind", "se": "set",
}
EXPECTED_KIND = {"na": (0, 1), "gn": (2, 3), "of": (4,), "or": (5,), "to": (6,), "wo": (7,),
                 "la": (8,), "sa": (9,), "po": (10,), "ps": (11,), "li": (12,),
                 "co": (99,), "qu": (99,), "pr": (99,), "se": (99,)}

# The atoms the program looks up by name after loading, and the kinds of the
# pairs of inverse properties.
REQUIRED = """prText prTextE prDescr prDescrE prGenName prNameVariant prMemberOf prMember prSubsetOf
prSubset seMaleNames seFemaleNames prLang prOrigin prOrigInfo prOrigInfoE prRelatedTo seWords prGerman
prEnglish seLanguages seCurLanguages seOrigNames seOrigins prLangOf prOriginOf prMaleOf prFemaleOf seRealms
prTranslation prTranslationE prAbbrev prAbbrevE prWriteVarOf prDedicDay prDedicMonth prNationality
prProfession prBirthYear prDeathYear prFarmersRule sePopularities prSaint seSaints prSaintOf prLevel
prComment prCommentE prShortOf prShort prDimNameOf seUserNames seGenNames seMainOrigLang seMainCurLang
prWriteVar prDimName prQuestion prAnswer seQuestions seEnglishQuestions prFilePos prPop sePopSeries
prFromYear prYears prSource psDeYearly psChGermanYearly psAtYearly psUsYearly prNotInherited laGerman
laEnglish seLinks prShortFormOf prShortForm prArea prAreaOf""".split()

PAIRS = [("prGerman", "prTranslation"), ("prEnglish", "prTranslationE"), ("prGenName", "prNameVariant"),
         ("prMemberOf", "prMember"), ("prOrigin", "prOriginOf"), ("prLang", "prLangOf"),
         ("prSubsetOf", "prSubset"), ("prRelatedTo", "prRelatedTo"), ("prMaleOf", "prFemaleOf"),
         ("prFemaleOf", "prMaleOf"), ("prDimNameOf", "prDimName"), ("prWriteVarOf", "prWriteVar"),
         ("prShortFormOf", "prShortForm"), ("prSaintOf", "prSaint"), ("prShortOf", "prShort"),
         ("prArea", "prAreaOf")]
MIRROR = dict(PAIRS)

ATOM_KINDS = {"prGenName", "prNameVariant", "prMemberOf", "prMember", "prSubsetOf", "prSubset", "prLang",
              "prLangOf", "prOrigin", "prOriginOf", "prMaleOf", "prFemaleOf", "prTranslation",
              "prTranslationE", "prWriteVarOf", "prWriteVar", "prShortOf", "prShort", "prShortFormOf",
              "prShortForm", "prDimNameOf", "prDimName", "prArea", "prAreaOf", "prNationality", "prSaint",
              "prSaintOf"}
STRING_KINDS = {"prText", "prTextE", "prDescr", "prDescrE", "prOrigInfo", "prOrigInfoE", "prAbbrev",
                "prAbbrevE", "prDedicDay", "prDedicMonth", "prProfession", "prBirthYear", "prDeathYear",
                "prFarmersRule", "prLevel", "prComment", "prCommentE", "prQuestion", "prAnswer",
                "prFromYear", "prYears", "prSource", "prNotInherited"}
EITHER_KINDS = {"prGerman", "prEnglish", "prRelatedTo"}
# Written by the compiler only: the file position of hit parades, and the
# prPop list of a name, derived from the hit parades.
COMPILER_ONLY = {"prFilePos"}
KIND_SETS_0 = {"seMaleNames": 2, "seFemaleNames": 3}
KIND_SETS_1 = {"seOrigNames": 4, "seOrigins": 5, "seRealms": 6, "seLanguages": 8, "sePopularities": 10,
               "sePopSeries": 11, "seSaints": 9, "seLinks": 12, "seWords": 7}
LINK_RE = re.compile(r"<a>(.*?)</a>")
RANK_RE = re.compile(r"^[1-9][0-9]*[ab]?$")
DAYS_IN_MONTH = [31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31]


class Checker:
    def __init__(self, records):
        self.records = records
        self.errors = []
        self.by_name = {}
        for r in records:
            self.by_name.setdefault(r.name, r)
        self.lower = {}

    def err(self, where, msg):
        self.errors.append("%s: %s" % (where, msg))

    @staticmethod
    def at(rec, p=None):
        return "%s:%d" % (rec.file, p.line if p else rec.line)

    # ----------------------------------------------------------- names
    def check_names(self):
        for r in self.records:
            low = r.name.lower()
            if low in self.lower:
                first = self.lower[low]
                self.err(self.at(r), "%s duplicates %s (%s:%d); internal names are unique without regard to case"
                         % (r.name, first.name, first.file, first.line))
            else:
                self.lower[low] = r
            if not re.fullmatch(r"[a-z]{2}[A-Z0-9][A-Za-z0-9]*", r.name):
                self.err(self.at(r), "%s: an internal name is a two-letter prefix in lower case and a part that "
                         "begins with a capital or a digit, letters A-Z, a-z and digits only" % r.name)
            elif r.name[:2] not in PREFIXES:
                self.err(self.at(r), "%s: unknown prefix %r" % (r.name, r.name[:2]))
            if r.name.endswith("User"):
                self.err(self.at(r), "%s: names ending in 'User' are kept for the user's own names" % r.name)
            if not r.props:
                self.err(self.at(r), "%s: record without properties" % r.name)

    # ----------------------------------------------------------- references and values
    def check_props(self):
        for r in self.records:
            for p in r.props:
                where = self.at(r, p)
                if p.kind not in self.by_name:
                    self.err(where, "unknown property kind %s" % p.kind)
                elif not p.kind.startswith("pr"):
                    self.err(where, "%s is used as a property kind but is not a 'pr' atom" % p.kind)
                if p.atom is not None and p.atom not in self.by_name:
                    self.err(where, "%s points at %s, which has no record" % (p.kind, p.atom))
                if p.kind in COMPILER_ONLY:
                    self.err(where, "%s is written by the compiler, not by the source" % p.kind)
                if p.kind in ATOM_KINDS and p.atom is None:
                    self.err(where, "%s needs an atom value" % p.kind)
                if p.kind in STRING_KINDS and p.atom is not None:
                    self.err(where, "%s takes a string value only" % p.kind)
                if p.kind == "prPop":
                    if p.form != 2:
                        self.err(where, "prPop needs a name and a rank: prop(prPop,po...,naX,\"rank\")")
                    if not r.name.startswith("po"):
                        self.err(where, "prPop belongs to hit parades; the compiler derives it for names")
                elif p.form == 2 and p.kind not in ATOM_KINDS and p.kind not in EITHER_KINDS:
                    self.err(where, "%s cannot have both an atom and a string" % p.kind)
                if p.kind == "prRelatedTo" and p.atom is None and not r.name.startswith("li"):
                    self.err(where, "a string prRelatedTo (an address) belongs to link atoms only")
                if p.text is not None:
                    self.check_string(where, p.text)

    def check_string(self, where, s):
        try:
            b = s.encode("cp1252")
        except UnicodeEncodeError as e:
            self.err(where, "code page 1252 cannot hold %r" % s[e.start:e.end])
            return
        if len(b) > 1000:
            self.err(where, "string of %d bytes; at most 1000" % len(b))
        if any(ord(c) < 32 for c in s):
            self.err(where, "control character in a string")
        if s != s.strip():
            self.err(where, "string begins or ends with a blank")
        for m in LINK_RE.finditer(s):
            target = m.group(1).split("/")[0]
            if target not in self.by_name:
                self.err(where, "link mark <a>%s</a> names no atom" % m.group(1))
        if s.count("<a>") != s.count("</a>"):
            self.err(where, "unbalanced <a> marks")

    def check_required(self):
        for name in REQUIRED:
            if name not in self.by_name:
                self.errors.append("missing required atom %s" % name)

    # ----------------------------------------------------------- derivations
    def derive(self):
        """The properties after the compiler's steps: mirrors, then inheritance."""
        full = {r.name: [(p.kind, p.atom, p.text) for p in r.props] for r in self.records}
        have = {n: {(k, a) for k, a, _ in ps if a is not None} for n, ps in full.items()}
        for r in self.records:
            for p in r.props:
                if p.kind in MIRROR and p.atom in full:
                    back = MIRROR[p.kind]
                    if (back, r.name) not in have[p.atom]:
                        full[p.atom].append((back, r.name, None))
                        have[p.atom].add((back, r.name))
        not_inherited = {r.name for r in self.records
                         if r.name.startswith("pr") and any(p.kind == "prNotInherited" for p in r.props)}
        for r in self.records:
            main = next((a for k, a, _ in full[r.name] if k == "prWriteVarOf"), None)
            if main in full:
                full[r.name] = full[r.name] + [q for q in full[main] if q[0] not in not_inherited]
        self.full = full
        kinds = {}
        for n, ps in full.items():
            k = 99
            for kind, a, _ in ps:
                if kind == "prSubsetOf" and a in KIND_SETS_0:
                    k = KIND_SETS_0[a]
            kinds[n] = k
        final = {}
        for n, ps in full.items():
            k = kinds[n]
            for kind, a, _ in ps:
                if kind == "prGenName" and a in kinds:
                    if kinds[a] in (2, 3):
                        k = kinds[a] - 2
                    else:
                        self.errors.append("%s: its group %s is neither male nor female" % (n, a))
                elif kind == "prMemberOf" and a in KIND_SETS_1:
                    k = KIND_SETS_1[a]
            final[n] = k
        self.kind = final

    def check_kinds(self):
        for r in self.records:
            want = EXPECTED_KIND.get(r.name[:2])
            if want and self.kind[r.name] not in want:
                self.err(self.at(r), "%s gets kind %d; a %s needs %s (check prSubsetOf, prGenName and the "
                         "order of prMemberOf)" % (r.name, self.kind[r.name], PREFIXES[r.name[:2]],
                                                   " or ".join(map(str, want))))

    def check_groups(self):
        for r in self.records:
            if not r.name.startswith("gn"):
                continue
            genders = [p.atom for p in r.props if p.kind == "prSubsetOf" and p.atom in KIND_SETS_0]
            if len(genders) != 1:
                self.err(self.at(r), "%s: a group is a subset of exactly one of seMaleNames and seFemaleNames" % r.name)
            if not any(p.kind == "prOrigin" for p in r.props):
                self.err(self.at(r), "%s: group without prOrigin" % r.name)

    def check_variants(self):
        for r in self.records:
            for p in r.props:
                if p.kind == "prWriteVarOf" and p.atom in self.by_name:
                    if any(q.kind == "prWriteVarOf" for q in self.by_name[p.atom].props):
                        self.err(self.at(r, p), "%s: spelling variant of a spelling variant (%s); point at the "
                                 "main entry" % (r.name, p.atom))
            if r.name[:2] in ("na", "of") and not any(p.kind in ("prText", "prTextE") for p in r.props):
                self.err(self.at(r), "%s has no text" % r.name)
            if r.name[:2] in ("wo", "of") and not any(p.kind == "prLang" for p in r.props):
                self.err(self.at(r), "%s has no language" % r.name)

    def check_languages(self):
        langs = {r.name: r for r in self.records if r.name.startswith("la")}
        for n, r in langs.items():
            for k in ("prAbbrev", "prAbbrevE"):
                if not any(p.kind == k for p in r.props):
                    self.err(self.at(r), "%s has no %s" % (n, k))
            for p in r.props:
                if p.kind == "prSubsetOf" and p.atom not in langs:
                    self.err(self.at(r, p), "%s: prSubsetOf of a language must be a language" % n)
        cycles = set()
        for start in langs:
            seen, cur = [], start
            while cur in langs:
                if cur in seen:
                    loop = seen[seen.index(cur):]
                    if frozenset(loop) not in cycles:
                        cycles.add(frozenset(loop))
                        self.errors.append("language cycle: %s" % " > ".join(loop + [cur]))
                    break
                seen.append(cur)
                cur = next((p.atom for p in langs[cur].props if p.kind == "prSubsetOf"), None)
        # the family walk visits each language once per parent; a language with two parents is listed twice
        for n, r in langs.items():
            if sum(1 for p in r.props if p.kind == "prSubsetOf") > 1:
                self.err(self.at(r), "%s has more than one parent language" % n)

    def check_hitparades(self):
        for r in self.records:
            if not r.name.startswith("po"):
                continue
            ps = r.props
            first_two = [p.kind for p in ps[:2]]
            if not ({"prText", "prTextE"} & set(first_two)):
                self.err(self.at(r), "%s: the text must be among the first two properties, which stay in "
                         "memory" % r.name)
            for p in ps:
                if p.kind in ("prText", "prTextE") and ps.index(p) >= 2:
                    self.err(self.at(r, p), "%s: a text after the first two properties is never shown" % r.name)
            series = [p for p in ps if p.kind == "prSubsetOf"]
            if len(series) != 1 or not series[0].atom.startswith("ps"):
                self.err(self.at(r), "%s: exactly one prSubsetOf, a hit-parade series" % r.name)
            for k in ("prFromYear", "prYears"):
                vals = [p.text for p in ps if p.kind == k]
                if len(vals) != 1 or not vals[0].isdigit():
                    self.err(self.at(r), "%s: exactly one %s with a number" % (r.name, k))
            pops = [p for p in ps if p.kind == "prPop"]
            if not pops:
                self.err(self.at(r), "%s: hit parade without ranks" % r.name)
            genders = {self.kind.get(p.atom) for p in pops}
            if not genders <= {0, 1}:
                self.err(self.at(r), "%s: prPop must point at names" % r.name)
            elif len(genders) > 1:
                self.err(self.at(r), "%s: names of both genders in one hit parade" % r.name)
            seen = set()
            for i, p in enumerate(pops):
                if p.text is None or not RANK_RE.match(p.text):
                    self.err(self.at(r, p), "rank %r: digits, optionally followed by a or b" % p.text)
                    continue
                if p.atom in seen:
                    self.err(self.at(r, p), "%s ranked twice" % p.atom)
                seen.add(p.atom)
                if p.text.endswith("a") and (i + 1 >= len(pops) or pops[i + 1].text != p.text[:-1] + "b"):
                    self.err(self.at(r, p), "shared rank %s without its b partner right after it" % p.text)
                if p.text.endswith("b") and (i == 0 or pops[i - 1].text != p.text[:-1] + "a"):
                    self.err(self.at(r, p), "shared rank %s without its a partner right before it" % p.text)

    def check_saints(self):
        for r in self.records:
            if not r.name.startswith("sa"):
                continue
            day = [p.text for p in r.props if p.kind == "prDedicDay"]
            month = [p.text for p in r.props if p.kind == "prDedicMonth"]
            if len(day) != 1 or len(month) != 1 or not day[0].isdigit() or not month[0].isdigit():
                self.err(self.at(r), "%s: exactly one prDedicDay and one prDedicMonth, as numbers" % r.name)
                continue
            d, m = int(day[0]), int(month[0])
            if not (1 <= m <= 12 and 1 <= d <= DAYS_IN_MONTH[m - 1]):
                self.err(self.at(r), "%s: no such date %d.%d." % (r.name, d, m))
            for k in ("prNationality", "prBirthYear", "prDeathYear"):
                if not any(p.kind == k for p in r.props):
                    self.err(self.at(r), "%s has no %s" % (r.name, k))
            for p in r.props:
                if p.kind == "prSaintOf" and self.kind.get(p.atom) not in (0, 1):
                    self.err(self.at(r, p), "%s: prSaintOf must point at a name" % r.name)

    def check_quiz(self):
        for r in self.records:
            sets = [p.atom for p in r.props if p.kind == "prMemberOf" and p.atom in ("seQuestions", "seEnglishQuestions")]
            if not sets and not r.name.startswith("qu"):
                continue
            if len(sets) != 1:
                self.err(self.at(r), "%s: a question is a member of exactly one question set" % r.name)
            count = lambda k: sum(1 for p in r.props if p.kind == k)
            if count("prQuestion") != 1 or count("prDescr") != 1 or count("prLevel") != 1:
                self.err(self.at(r), "%s: one prQuestion, one prLevel and one prDescr" % r.name)
            if count("prAnswer") != 4:
                self.err(self.at(r), "%s: exactly four prAnswer, the right one first" % r.name)
            lvl = [p.text for p in r.props if p.kind == "prLevel"]
            if lvl and lvl[0] not in ("0", "1", "2"):
                self.err(self.at(r), "%s: prLevel of a question is 0, 1 or 2" % r.name)
            answers = [p.text for p in r.props if p.kind == "prAnswer"]
            if len(set(answers)) != len(answers):
                self.err(self.at(r), "%s: two answers are the same" % r.name)

    def check_links(self):
        for r in self.records:
            if r.name.startswith("li"):
                rel = next((p for p in r.props if p.kind == "prRelatedTo"), None)
                if rel is None or rel.text is None or not rel.text.startswith(("http://", "https://")):
                    self.err(self.at(r), "%s: the first prRelatedTo of a link is its web address" % r.name)

    def run(self):
        self.check_names()
        self.check_props()
        self.check_required()
        if any("has no record" in e or "unknown property kind" in e for e in self.errors):
            return self.errors
        self.derive()
        self.check_kinds()
        self.check_groups()
        self.check_variants()
        self.check_languages()
        self.check_hitparades()
        self.check_saints()
        self.check_quiz()
        self.check_links()
        return self.errors


def main(argv):
    db_dir = dbsource.source_folder(argv, "usage: check_source.py [data/db]\n")
    files = dbsource.manifest(db_dir)
    records, errors = dbsource.parse(files)
    errors += Checker(records).run()
    for e in errors:
        print(e)
    kinds = {}
    for r in records:
        kinds[r.name[:2]] = kinds.get(r.name[:2], 0) + 1
    summary = ", ".join("%s %d" % (k, v) for k, v in sorted(kinds.items()))
    print("%d records in %d files (%s); %d problem(s)" % (len(records), len(files), summary, len(errors)))
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
