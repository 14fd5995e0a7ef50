#include "GenDescr.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "Atom.h"
#include "Basic.h"
#include "CountText.h"
#include "DataBase.h"
#include "Dates.h"
#include "Errors.h"
#include "FlexString.h"
#include "PopIndex.h"
#include "ResultSet.h"
#include "SearchInfo.h"
#include "Searches.h"
#include "TextCompare.h"
#include "TextConstants.h"

namespace GenDescr {

namespace {

constexpr int kAnyKind = Basic::kNone;
constexpr long kHelpBase = 40000;
const std::string kTab = "\t";

// Indexes of the common texts used here.
enum TextIndex : int {
    tWords = 0, tOrigInfo = 1, tOrigLang = 2, tVariants = 3, tOldForms = 4, tSaints = 5,
    tGroup = 6, tMaleForm = 7, tFemaleForm = 8, tName = 9, tGender = 10, tLangsOfUse = 11,
    tFurtherInfo = 13, tRelatedTo = 14, tShortOf = 15, tPetOf = 16, tTopics = 17,
    tMeaning = 18, tWriteVarOf = 19, tWriteVars = 20, tPetForms = 21, tShortForms = 22,
    tHitparades = 23, tDescription = 24, tBornIn = 25, tBirthYear = 26, tDeathYear = 27,
    tSaintsDay = 28, tCorrespName = 29, tMale = 30, tFemale = 31, tDay = 32, tDifference = 33,
    tInfoMale = 34, tInfoFemale = 35, tInfoFor = 36, tItself = 37, tUnknown = 45
};

const std::string& T(int i) { return TextConstants::Text(i); }
bool English() { return TextConstants::textLanguage != 0; }

// A list behind a text in brackets ("  ( German, Czech)"), nothing for an
// empty list: a user's name may have no language at all.
std::string Bracketed(const std::string& list) { return list.empty() ? std::string() : "  ( " + list + ")"; }

// A kind atom the database does not define is the "nothing" atom: such a
// property kind has no values anywhere.
bool Usable(const atom* kind) { return kind != nullptr && kind != DataBase::nothingAtom; }

// The properties of one kind in stored order. The atoms' shared iteration
// cursor is left alone: describing a word walks the same origin entry again,
// and a copy of the list cannot be disturbed by that.
std::vector<Prop*> PropsOf(const atom* a, const atom* kind) {
    std::vector<Prop*> out;
    if (a == nullptr || !Usable(kind)) return out;
    for (Prop* p : a->props())
        if (p != nullptr && p->proper() == kind) out.push_back(p);
    return out;
}

bool HasAtomValue(const Prop* p) { return p->kind() == 0 || p->kind() == 2; }

// The atom values of one kind (optionally only targets of one atom kind).
std::vector<atom*> TargetsOf(const atom* a, const atom* kind, int kindFilter = kAnyKind) {
    std::vector<atom*> out;
    for (Prop* p : PropsOf(a, kind)) {
        if (!HasAtomValue(p)) continue;
        atom* t = p->atomVal();
        if (t == nullptr) continue;
        if (kindFilter != kAnyKind && t->kind() != kindFilter) continue;
        out.push_back(t);
    }
    return out;
}

atom* FirstTarget(const atom* a, const atom* kind) {
    for (Prop* p : PropsOf(a, kind))
        if (HasAtomValue(p) && p->atomVal() != nullptr) return p->atomVal();
    return nullptr;
}

bool HasKind(const atom* a, const atom* kind) { return a != nullptr && Usable(kind) && a->FirstProp(kind); }

std::string FirstString(const atom* a, const atom* kind, bool* found = nullptr) {
    for (Prop* p : PropsOf(a, kind))
        if (p->kind() == 1 || p->kind() == 2) {
            if (found) *found = true;
            return p->strVal();
        }
    if (found) *found = false;
    return {};
}

std::string Link(const atom* a, bool asLinks) {
    if (a == nullptr) return {};
    return asLinks ? "<a>" + std::to_string(a->id()) + "</a>" : a->Text();
}

std::string JoinTargets(const std::vector<atom*>& targets, bool asLinks) {
    std::string s;
    for (const atom* t : targets) {
        if (!s.empty()) s += ", ";
        s += Link(t, asLinks);
    }
    return s;
}

// One description: the caller's flags and list, and the one piece of state a
// description has of its own (whether a name or a group leads it).
class Builder {
public:
    Builder(ResultSet& rs, const DescrFlags& flags) : rs_(rs), f_(flags) {}

    void Name(atom* name);
    void Group(atom* group);
    void Saint(atom* saint);
    void Origin(atom* group, atom* origin);
    void Word(const std::string& heading, atom* word);
    void Hitparades(atom* name);

private:
    std::string Ln(const atom* a) const { return MakeAtomLink(a, f_); }
    std::string Help(const std::string& heading, long id) const { return AddHelpLink(heading, id, f_); }
    std::string MarkTerms(std::string text) const {
        if (f_.markInfo != nullptr) f_.markInfo->Mark(text);
        return text;
    }
    void Line(const std::string& col1, const std::string& col2, atom* a) { rs_.AddResult2(col1, col2, "", a); }
    void Spacer() { rs_.AddResult("<small>", "", nullptr); }

    void AllSuchProp(std::string heading, atom* a, atom* propKind, long helpId, int kindFilter,
                     bool indent, bool join);
    void NameBody(atom* name);
    void GroupBody(atom* group);
    void NameSaints(atom* name);
    void GroupSaints(atom* group);
    void SaintLines(const std::vector<atom*>& saints);
    void GenderForms(atom* group);
    void Variants(atom* group);
    void OldForms(atom* group);
    void OriginWords(atom* origin);
    std::string SpellingNote(const atom* name, const atom* other) const;

    ResultSet& rs_;
    const DescrFlags f_;
    bool nameMode_ = false;
};

void Builder::AllSuchProp(std::string heading, atom* a, atom* propKind, long helpId, int kindFilter,
                          bool indent, bool join) {
    if (a == nullptr || !Usable(propKind)) return;
    const std::string p1 = indent && f_.richText ? "<indent>" : "";
    const std::string p2 = indent && !f_.richText ? "  " : "";
    std::string joined;
    for (Prop* p : PropsOf(a, propKind)) {
        std::string value;
        atom* lineAtom = DataBase::nothingAtom;
        if (p->kind() == 0 || p->kind() == 2) {
            atom* target = p->atomVal();
            if (kindFilter != kAnyKind && target->kind() != kindFilter) continue;
            value = Ln(target);
            lineAtom = target;
            if (join && p->kind() == 2 && TextConstants::edition == 0 && !p->strVal().empty())
                value += " (" + p->strVal() + ")";
        } else if (p->kind() == 1) {
            value = MarkTerms(p->strVal());
        } else {
            Errors::Assert(false, "AllSuchProp p.kind");
            continue;
        }
        if (join) {
            if (!joined.empty()) joined += ", ";
            joined += value;
        } else {
            Line(p1 + Help(heading, helpId), p2 + value, lineAtom);
            heading.clear();
        }
    }
    if (join && !joined.empty()) Line(p1 + Help(heading, helpId), p2 + joined, DataBase::nothingAtom);
}

// --- names and groups -----------------------------------------------------------------

void Builder::Name(atom* name) {
    if (name == nullptr) return;
    nameMode_ = true;
    NameBody(name);
    atom* group = FirstTarget(name, DataBase::prGenName);
    // A group that was deleted leaves the "nothing" atom behind: no group part.
    if (group == nullptr || group == DataBase::nothingAtom) return;
    if (!f_.noRuleLine) {
        Line("", std::string(18, '_'), nullptr);
        Line("", "", nullptr);
    } else if (f_.richText) {
        Spacer();
    } else {
        Line("", "", nullptr);
    }
    GroupBody(group);
}

void Builder::Group(atom* group) {
    if (group == nullptr) return;
    nameMode_ = false;
    GroupBody(group);
}

std::string Builder::SpellingNote(const atom* name, const atom* other) const {
    if (!f_.richText) return {};
    return " (" + T(tDifference) + ": " + SpellingDiff(name->Text(), other->Text()) + ")";
}

void Builder::NameBody(atom* name) {
    using namespace DataBase;
    Line((f_.richText ? "<em>" : "") + Help(T(tName), kHelpBase + tName), Ln(name), name);
    if (name->kind() == 0)
        Line(Help(T(tGender), kHelpBase + tGender), T(tMale), seMaleNames);
    else
        Line(Help(T(tGender), kHelpBase + tGender), T(tFemale), seFemaleNames);
    Line(Help(T(tLangsOfUse), kHelpBase + tLangsOfUse), GetLangList(name, f_.withAtomLinks), nothingAtom);
    AllSuchProp(T(tPetOf), name, prDimNameOf, kHelpBase + tPetOf, kAnyKind, false, false);
    AllSuchProp(T(tShortOf), name, prShortOf, kHelpBase + tShortOf, kAnyKind, false, false);
    if (atom* main = FirstTarget(name, prWriteVarOf))
        Line(Help(T(tWriteVarOf), kHelpBase + tWriteVarOf), Ln(main) + SpellingNote(name, main), main);
    std::string heading = T(tWriteVars);
    for (atom* v : TargetsOf(name, prWriteVar)) {
        Line(Help(heading, kHelpBase + tWriteVars), Ln(v) + SpellingNote(name, v), v);
        heading.clear();
    }
    AllSuchProp(T(tShortForms), name, prShort, kHelpBase + tShortForms, kAnyKind, false, true);
    AllSuchProp(T(tPetForms), name, prDimName, kHelpBase + tPetForms, kAnyKind, false, true);
    AllSuchProp(T(tRelatedTo), name, prRelatedTo, kHelpBase + tRelatedTo, kAnyKind, false, true);
    AllSuchProp(T(tTopics), name, prMemberOf, kHelpBase + tTopics, 6, false, true);
    NameSaints(name);
    AllSuchProp(T(tFurtherInfo), name, English() ? prCommentE : prComment, kHelpBase + tFurtherInfo,
                kAnyKind, false, false);
    Hitparades(name);
}

void Builder::GroupBody(atom* group) {
    using namespace DataBase;
    Line((f_.richText && !nameMode_ ? "<em>" : "") + Help(T(tGroup), kHelpBase + tGroup), Ln(group), group);
    if (atom* origin = FirstTarget(group, prOrigin)) {
        if (f_.richText) Spacer();
        Origin(group, origin);
    }
    GenderForms(group);
    AllSuchProp(T(tRelatedTo), group, prRelatedTo, kHelpBase + tRelatedTo, kAnyKind, false, true);
    AllSuchProp(T(tFurtherInfo), group, English() ? prCommentE : prComment, kHelpBase + tFurtherInfo,
                kAnyKind, false, false);
    GroupSaints(group);
    if (f_.richText) Spacer();
    Variants(group);
}

void Builder::GenderForms(atom* group) {
    if (atom* male = FirstTarget(group, DataBase::prFemaleOf))
        Line(Help(T(tMaleForm), kHelpBase + tMaleForm), Ln(male), male);
    if (atom* female = FirstTarget(group, DataBase::prMaleOf))
        Line(Help(T(tFemaleForm), kHelpBase + tFemaleForm), Ln(female), female);
}

void Builder::Variants(atom* group) {
    std::string heading = T(tVariants);
    for (atom* name : CollectVariants(group)) {
        const std::string s = Ln(name) + Bracketed(GetLangList(name, f_.withAtomLinks)) +
                              Bracketed(GetRealmList(name, f_.withAtomLinks));
        Line(Help(heading, kHelpBase + tVariants), s, name);
        heading.clear();
    }
}

// --- saints ------------------------------------------------------------------------------

void Builder::SaintLines(const std::vector<atom*>& saints) {
    std::string heading = T(tSaints);
    for (atom* s : saints) {
        std::string value = Ln(s);
        // A saint without a known day gets no empty "(day: )".
        const std::string day = DedicDayStr(s);
        if (!day.empty()) value += " (" + T(tDay) + ": " + day + ")";
        Line(Help(heading, kHelpBase + tSaints), value, s);
        heading.clear();
    }
}

void Builder::NameSaints(atom* name) { SaintLines(TargetsOf(name, DataBase::prSaint)); }

void Builder::GroupSaints(atom* group) {
    // The saints of every name of the group, name by name, each saint once
    // where it is first met (John the Baptist is the saint of John, Johann,
    // Giovanni and more: the reader wants him once).
    std::vector<atom*> saints;
    for (atom* n : TargetsOf(group, DataBase::prNameVariant))
        if (n->kind() == 0 || n->kind() == 1)
            for (atom* s : TargetsOf(n, DataBase::prSaint))
                if (std::find(saints.begin(), saints.end(), s) == saints.end()) saints.push_back(s);
    SaintLines(saints);
}

void Builder::Saint(atom* saint) {
    using namespace DataBase;
    if (saint == nullptr) return;
    Line("<em>" + T(tName), saint->Text(), nothingAtom);
    Line(T(tDescription), saint->Descr(), nothingAtom);
    if (atom* land = FirstTarget(saint, prNationality))
        Line(T(tBornIn), land->Text(), land);
    else
        Line(T(tBornIn), T(tUnknown), nothingAtom);
    auto year = [&](atom* kind) {
        bool found = false;
        std::string y = FirstString(saint, kind, &found);
        return !found || y.empty() || y == "Unknown" ? T(tUnknown) : y;
    };
    Line(T(tBirthYear), year(prBirthYear), nothingAtom);
    Line(T(tDeathYear), year(prDeathYear), nothingAtom);
    Line(T(tSaintsDay), DedicDayStr(saint), nothingAtom);
    if (!English()) {
        std::string rule = FirstString(saint, prFarmersRule);
        if (!rule.empty()) Line("Bauernregel", rule, nothingAtom);
    }
    if (atom* name = FirstTarget(saint, prSaintOf)) Line(T(tCorrespName), Ln(name), name);
}

// --- origins, old forms, words ----------------------------------------------------------

void Builder::Origin(atom* group, atom* origin) {
    using namespace DataBase;
    if (group == nullptr || origin == nullptr) return;
    if (atom* lang = FirstTarget(origin, prLang))
        Line(Help(T(tOrigLang), kHelpBase + tOrigLang), Ln(lang), lang);

    if (atom* k = PickTranslationProp(group, prGerman, prEnglish))
        AllSuchProp(T(tMeaning), group, k, kHelpBase + tMeaning, kAnyKind, false, false);
    else
        AllSuchProp(T(tMeaning), origin, PickTranslationProp(origin, prGerman, prEnglish),
                    kHelpBase + tMeaning, kAnyKind, false, false);

    AllSuchProp(T(tTopics), origin, prMemberOf, kHelpBase + tTopics, 6, false, true);

    atom* kG = PickTranslationProp(group, prOrigInfo, prOrigInfoE);
    atom* kO = PickTranslationProp(origin, prOrigInfo, prOrigInfoE);
    const bool femaleOf = HasKind(group, prFemaleOf);
    const bool otherForm = (femaleOf || HasKind(group, prMaleOf)) && group->Text() != origin->Text();
    if (!otherForm) {
        if (kG != nullptr)
            AllSuchProp(T(tOrigInfo), group, kG, kHelpBase + tOrigInfo, kAnyKind, false, false);
        else
            AllSuchProp(T(tOrigInfo), origin, kO, kHelpBase + tOrigInfo, kAnyKind, false, false);
    } else {
        std::string heading = T(tOrigInfo);
        if (kG != nullptr) {
            Line(Help(heading, kHelpBase + tOrigInfo),
                 T(tInfoFor) + " " + group->Text() + " " + T(tItself) + " :", group);
            AllSuchProp("", group, kG, kHelpBase + tOrigInfo, kAnyKind, true, false);
            heading.clear();
        }
        if (kO != nullptr) {
            atom* form = FirstTarget(group, femaleOf ? prFemaleOf : prMaleOf);
            Line(Help(heading, kHelpBase + tOrigInfo),
                 (femaleOf ? T(tInfoMale) : T(tInfoFemale)) + " " + Ln(form) + ":",
                 form ? form : nothingAtom);
            AllSuchProp("", origin, kO, kHelpBase + tOrigInfo, kAnyKind, true, false);
        }
    }
    OldForms(group);
    OriginWords(origin);
}

void Builder::OldForms(atom* group) {
    std::string heading = T(tOldForms);
    for (atom* of : TargetsOf(group, DataBase::prNameVariant, 4)) {
        Line(Help(heading, kHelpBase + tOldForms),
             of->Text() + Bracketed(GetLangList(of, f_.withAtomLinks)), of);
        heading.clear();
    }
}

void Builder::OriginWords(atom* origin) {
    std::string heading = T(tWords);
    for (atom* w : TargetsOf(origin, DataBase::prRelatedTo)) {
        if (!Usable(DataBase::seWords) || !w->HasProp(DataBase::prMemberOf, DataBase::seWords)) continue;
        Word(heading, w);
        heading.clear();
    }
}

void Builder::Word(const std::string& heading, atom* word) {
    if (word == nullptr) return;
    std::string s = Ln(word);
    const std::string t = AllGermanTranslat(word, f_.withAtomLinks, true, false);
    const bool foreign = !word->isOptionsLang();
    // A link is rendered with a blank after it; plain text needs its own.
    if (!f_.withAtomLinks && (foreign || !t.empty())) s += " ";
    if (foreign) s += "= ";
    s += t + WordGroupsText(word);
    rs_.AddResult(Help(heading, kHelpBase + tWords) + kTab + s, "", word);
    if (f_.markInfo != nullptr) {
        const std::string t2 = AllGermanTranslat(word, false, false, false);
        const std::string marked = MarkTerms(t2);
        if (marked != t2) rs_.AddResult(kTab + word->Text() + " = " + marked, "", word);
    }
}

void Builder::Hitparades(atom* name) {
    bool found = false;
    const std::string popText = FirstString(name, DataBase::prPop, &found);
    if (!found) return;
    std::vector<Searches::PopEntry> entries;
    std::vector<Searches::PopSeriesInfo> series;
    int numEntries = 0, numSeries = 0;
    Searches::SortPop(name, popText, entries, numEntries, series, numSeries);
    numEntries = std::min<int>(numEntries, static_cast<int>(entries.size()));
    numSeries = std::min<int>(numSeries, static_cast<int>(series.size()));
    std::string s;
    for (int i = 0; i < numSeries; ++i) {
        const Searches::PopSeriesInfo& ser = series[static_cast<size_t>(i)];
        if (ser.bestEntry < 0 || ser.bestEntry >= numEntries) continue;
        const Searches::PopEntry& best = entries[static_cast<size_t>(ser.bestEntry)];
        if (!s.empty()) s += " , ";
        // German writes an ordinal with a point ("3."); English readers take "3." for a decimal.
        const std::string rank = std::to_string(ser.bestRank);
        s += Ln(ser.series) + "(" + std::to_string(best.fromYear) + (English() ? ": " + rank + ")" : ":  " + rank + ".)");
    }
    // Only broken items: SortPop has reported them; an empty line says nothing.
    if (!s.empty()) Line(Help(T(tHitparades), kHelpBase + tHitparades), s, nullptr);
}

}  // namespace

// --- public entry points ---------------------------------------------------------------------

namespace {

// What a list holds, as the database has it now. An entry deleted since (in
// New Names; its object lives on in the lists that hold it) and a name a list
// file no longer finds (the "nothing" atom) have no description: null. A name
// changed since is described as it is now.
atom* Current(atom* a) {
    if (a == nullptr) return nullptr;
    atom* now = DataBase::LiveAtom(a);
    return now == DataBase::nothingAtom ? nullptr : now;
}

}  // namespace

void DescribeName(atom* name, ResultSet& rs, const DescrFlags& flags) { Builder(rs, flags).Name(Current(name)); }
void DescribeGroup(atom* group, ResultSet& rs, const DescrFlags& flags) { Builder(rs, flags).Group(Current(group)); }
void DescribeSaint(atom* saint, ResultSet& rs, const DescrFlags& flags) { Builder(rs, flags).Saint(saint); }
void DescribeOrigin(atom* group, atom* origin, ResultSet& rs, const DescrFlags& flags) {
    Builder(rs, flags).Origin(group, origin);
}
void DescribeWord(const std::string& heading, atom* word, ResultSet& rs, const DescrFlags& flags) {
    Builder(rs, flags).Word(heading, word);
}
void DescribeHitparades(atom* name, ResultSet& rs, const DescrFlags& flags) {
    if (name != nullptr) Builder(rs, flags).Hitparades(name);
}

std::string MakeAtomLink(const atom* a, const DescrFlags& flags) { return Link(a, flags.withAtomLinks); }

std::string AddHelpLink(const std::string& heading, long helpId, const DescrFlags& flags) {
    if (heading.empty() || !flags.withHelpLinks) return heading;
    return "<a>" + std::to_string(helpId) + "</a>" + heading;
}

std::string GetLangList(atom* a, bool asLinks) { return JoinTargets(TargetsOf(a, DataBase::prLang), asLinks); }

std::string GetRealmList(atom* a, bool asLinks) {
    return JoinTargets(TargetsOf(a, DataBase::prMemberOf, 6), asLinks);
}

atom* PickTranslationProp(const atom* a, atom* germanKind, atom* englishKind) {
    if (a == nullptr) return nullptr;
    if (English() && HasKind(a, englishKind)) return englishKind;
    if (HasKind(a, germanKind)) return germanKind;
    return nullptr;
}

std::vector<atom*> GetRealms(atom* word) {
    std::vector<atom*> realms;
    if (word == nullptr) return realms;
    if (word->isOptionsLang()) return TargetsOf(word, DataBase::prMemberOf, 6);
    atom* k = PickTranslationProp(word, DataBase::prGerman, DataBase::prEnglish);
    for (Prop* p : PropsOf(word, k)) {
        if (p->kind() == 1) continue;
        if (p->kind() != 0) {
            Errors::Assert(false, "GetRealms geProp.kind");
            continue;
        }
        for (atom* r : TargetsOf(p->atomVal(), DataBase::prMemberOf, 6))
            if (std::find(realms.begin(), realms.end(), r) == realms.end()) realms.push_back(r);
    }
    return realms;
}

std::string AllGermanTranslat(atom* word, bool asLinks, bool withRealms, bool withComments) {
    std::string out;
    if (word == nullptr) return out;
    const bool foreign = !word->isOptionsLang();
    if (foreign) {
        atom* k = PickTranslationProp(word, DataBase::prGerman, DataBase::prEnglish);
        bool first = true;
        for (Prop* p : PropsOf(word, k)) {
            std::string value;
            if (p->kind() == 1) {
                value = p->strVal();
            } else if (p->kind() == 0) {
                atom* t = p->atomVal();
                value = Link(t, asLinks);
                if (withComments) {
                    bool found = false;
                    std::string c = FirstString(t, English() ? DataBase::prCommentE : DataBase::prComment, &found);
                    if (found) value += " (" + c + ")";
                }
            } else {
                Errors::Assert(false, "AllGermanTranslat geProp.kind");
                continue;
            }
            if (!first) out += ", ";
            out += value;
            first = false;
        }
    }
    if (withRealms) {
        const std::vector<atom*> realms = GetRealms(word);
        if (!realms.empty()) {
            if (foreign) out += " (" + std::string(1, '\xA0');
            out += JoinTargets(realms, asLinks);
            if (foreign) out += ")";
        }
    }
    return out;
}

std::string WordGroupsText(atom* word) {
    long groups = 0;
    for (atom* origin : TargetsOf(word, DataBase::prRelatedTo, 5))
        groups += static_cast<long>(TargetsOf(origin, DataBase::prOriginOf).size());
    if (groups == 0) return {};
    return " ( in " + CountText::CountPhrase(true, groups) + " )";
}

std::string DedicDayStr(atom* saint) {
    bool hasDay = false, hasMonth = false;
    const std::string dayText = FirstString(saint, DataBase::prDedicDay, &hasDay);
    Errors::Assert(hasDay, "DedicDayStr day");
    const std::string monthText = FirstString(saint, DataBase::prDedicMonth, &hasMonth);
    Errors::Assert(hasMonth, "DedicDayStr month");
    if (!hasDay || !hasMonth) return {};
    // Out-of-range values (0 from an empty text) give the empty text too.
    return Dates::DayMonthText(Basic::CLng(Basic::Val(dayText)), Basic::CLng(Basic::Val(monthText)));
}

std::string SpellingDiff(const std::string& a, const std::string& b) {
    const FlexString fa(a), fb(b);
    std::string outA, outB;
    auto mark = [](const std::string& r, int p, int s) {
        const int len = static_cast<int>(r.size());
        if (p + s >= len) return r;
        return r.substr(0, static_cast<size_t>(p)) + "<b>" +
               r.substr(static_cast<size_t>(p), static_cast<size_t>(len - p - s)) + "</b>" +
               r.substr(static_cast<size_t>(len - s));
    };
    int posA = 0, posB = 0;
    bool vowels = false;  // runs alternate, non-vowels first
    FlexString ra, rb;
    while (posA < fa.StrLen() || posB < fb.StrLen()) {
        ra.GetCharOfType(fa, posA, vowels);
        rb.GetCharOfType(fb, posB, vowels);
        int p = 0, s = 0;
        ra.EvalRuns(rb, p, s);
        outA += mark(ra.GetStr(), p, s);
        outB += mark(rb.GetStr(), p, s);
        vowels = !vowels;
    }
    return outA + " / " + outB;
}

std::vector<atom*> CollectVariants(atom* group) {
    std::vector<std::pair<std::string, atom*>> keyed;
    if (group == nullptr) return {};
    const std::string groupText = group->Text();
    for (atom* n : TargetsOf(group, DataBase::prNameVariant)) {
        if (n->kind() != 0 && n->kind() != 1) continue;
        const std::string text = n->Text();
        int level = 0;
        if (text != groupText) {
            level = 100;
            for (const atom* lang : TargetsOf(n, DataBase::prLang)) level = std::min<int>(level, lang->Level());
        }
        std::string key = "   " + std::to_string(level);
        key = key.substr(key.size() - 3) + text;
        keyed.emplace_back(std::move(key), n);
    }
    // By key in code order; equal keys keep the stored order.
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& x, const auto& y) {
        return TextCompare::CompareBinary(x.first, y.first) < 0;
    });
    std::vector<atom*> out;
    out.reserve(keyed.size());
    for (auto& [key, n] : keyed) out.push_back(n);
    return out;
}

}  // namespace GenDescr
