#include "InfoTables.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "Atom.h"
#include "AtomAccess.h"
#include "Basic.h"
#include "CountText.h"
#include "DataBase.h"
#include "Dates.h"
#include "Errors.h"
#include "GenDescr.h"
#include "Parser.h"
#include "ResultSet.h"
#include "TextConstants.h"

using TextConstants::LangText;

namespace InfoTables {

namespace {

constexpr int kAny = Basic::kNone;  // no kind filter of PropTargets

// The targets of one property kind of the given atoms (of kind k1 or k2),
// each with its source's reason: the tables name the word a row came by.
std::vector<atom*> Targets(const std::vector<atom*>& from, atom* prop, int k1, int k2) {
    return ListAtoms::PropTargets(from, prop, k1, k2, true);
}

std::string Quoted(int letterIndex) { return "'" + std::string(1, static_cast<char>('A' + letterIndex)) + "'"; }

}  // namespace

// --- names by letter ---------------------------------------------------------------

int LetterIndexOf(std::string_view text) {
    if (text.empty()) return -1;
    const int base = Parser::ToBase(static_cast<unsigned char>(text[0]));
    return base >= 'A' && base <= 'Z' ? base - 'A' : -1;
}

void FillLetter(ResultSet& table, int letterIndex, bool male, bool female) {
    table.Reset();
    for (int32_t id = 0; id < DataBase::numAtoms && id < static_cast<int32_t>(DataBase::atomTab.size()); ++id) {
        atom* a = DataBase::atomTab[static_cast<size_t>(id)];
        if (!a || !((male && a->kind() == 0) || (female && a->kind() == 1))) continue;
        // Every name is looked at and few are kept: the text is copied only
        // for those.
        std::string_view inPlace;
        if (a->TextInPlace(inPlace)) {
            if (LetterIndexOf(inPlace) == letterIndex) table.AddResult(std::string(inPlace), "", a);
            continue;
        }
        const std::string text = a->Text();
        if (LetterIndexOf(text) == letterIndex) table.AddResult(text, "", a);
    }
    table.Sort(1);
}

std::string LetterCaption(const ResultSet& table, int letterIndex) {
    return CountText::ResultSizeText(table) + LangText(" mit ", " with ") + Quoted(letterIndex);
}

std::string LetterTitle(int letterIndex) {
    return LangText(" beginnend mit ", " starting with ") + Quoted(letterIndex);
}

// --- saints --------------------------------------------------------------------------

std::string SaintKey(int day, int month) {
    auto two = [](int v) {
        std::string s = v > 0 ? std::to_string(v) : std::string();
        while (s.size() < 2) s.insert(0, "0");
        return s;
    };
    return two(month) + two(day);
}

std::vector<Saint> GatherSaints(bool byDate) {
    const std::vector<atom*> members = Targets({DataBase::seSaints}, DataBase::prMember, kAny, kAny);
    std::vector<Saint> saints;
    saints.reserve(members.size());
    for (atom* s : members) {
        Saint row;
        row.saint = s;
        Prop* d = s->FirstProp(DataBase::prDedicDay);
        Prop* m = s->FirstProp(DataBase::prDedicMonth);
        Errors::Assert(d != nullptr, "GetSaints dedicDay");
        Errors::Assert(m != nullptr, "GetSaints dedicMonth");
        if (d) row.day = static_cast<int>(Basic::Val(std::string(d->strVal())));
        if (m) row.month = static_cast<int>(Basic::Val(std::string(m->strVal())));
        row.key = SaintKey(row.day, row.month);
        s->sortKey() = row.key;
        saints.push_back(std::move(row));
    }
    if (byDate)
        std::stable_sort(saints.begin(), saints.end(), [](const Saint& a, const Saint& b) { return a.key < b.key; });
    return saints;
}

void FillSaints(ResultSet& table, bool byDate) {
    table.Reset();
    for (const Saint& s : GatherSaints(byDate)) table.AddResult(s.saint->Text(), Dates::DayMonthText(s.day, s.month), s.saint);
    if (!byDate) table.Sort(1);
}

std::string SaintsCaption(long n) { return std::to_string(n) + LangText(" Heilige", " saints"); }

// --- topics --------------------------------------------------------------------------

std::vector<atom*> Topics() {
    std::vector<atom*> topics = Targets({DataBase::seRealms}, DataBase::prMember, 6, kAny);
    DataBase::SortAtomsByText(topics, static_cast<int>(topics.size()));
    return topics;
}

void FillTopic(atom* topic, ResultSet& names, ResultSet& words) {
    names.Reset();
    words.Reset();
    if (!topic) return;
    const std::string topicText = topic->Text();

    const std::vector<atom*> entries = Targets({topic}, DataBase::prMember, 5, kAny);
    for (atom* g : Targets(entries, DataBase::prOriginOf, 2, 3)) names.AddResult(g->Text(), topicText, g);
    for (atom* n : Targets({topic}, DataBase::prMember, 0, 1)) names.AddResult(n->Text(), topicText, n);

    // Every topic word carries its own text as reason, also those not listed:
    // the groups reached through them below name the word they came by.
    const std::vector<atom*> topicWords = Targets({topic}, DataBase::prMember, 7, kAny);
    for (atom* w : topicWords) {
        w->reason() = w->Text();
        if (!w->isOptionsLang()) continue;
        words.AddResult(w->Text(), topicText, w);
        words.setReason(words.numLines() - 1, std::string(w->Uppercase()));
    }
    words.Sort(6);
    words.setSelfAtom(topic);

    atom* back = TextConstants::textLanguage == 1 ? DataBase::prTranslationE : DataBase::prTranslation;
    const std::vector<atom*> foreign = Targets(topicWords, back, 7, kAny);
    const std::vector<atom*> viaEntries = Targets(foreign, DataBase::prRelatedTo, 5, kAny);
    for (atom* g : Targets(viaEntries, DataBase::prOriginOf, 2, 3)) {
        int32_t at = 0;
        if (names.GetAtomIndex(g, at)) continue;
        names.AddResult(g->Text(), topicText + "/" + g->reason(), g);
    }
    names.Sort(1);
    names.setSelfAtom(topic);
    names.setPureTitle(LangText(" zu Themengebiet ", " for topic ") + topicText);
}

// --- words ---------------------------------------------------------------------------

atom* FirstLang(atom* a) {
    Prop* p = a ? a->FirstProp(DataBase::prLang) : nullptr;
    atom* lang = p ? p->atomVal() : nullptr;
    return lang == DataBase::nothingAtom ? nullptr : lang;
}

void FillRelatedWords(atom* word, ResultSet& relWords) {
    relWords.Reset();
    if (!word) return;
    std::vector<atom*> t;
    if (word->isOptionsLang()) {
        t.push_back(word);
    } else {
        if (TextConstants::textLanguage == 1) t = Targets({word}, DataBase::prEnglish, 7, kAny);
        if (t.empty()) t = Targets({word}, DataBase::prGerman, 7, kAny);
    }
    std::vector<atom*> r = Targets(t, DataBase::prRelatedTo, 7, kAny);
    r.insert(r.end(), t.begin(), t.end());
    std::vector<atom*> f;
    if (!r.empty()) {
        atom* back = r.front()->IsLang(false) ? DataBase::prTranslation : DataBase::prTranslationE;
        f = Targets(r, back, 7, kAny);
        f.insert(f.end(), r.begin(), r.end());
    }
    GenDescr::DescrFlags links;
    links.withAtomLinks = true;
    for (atom* w : f) {
        if (w == word) continue;
        int32_t at = 0;
        if (relWords.GetAtomIndex(w, at)) continue;
        std::string col1 = GenDescr::MakeAtomLink(w, links);
        if (atom* lang = FirstLang(w)) col1 += " (" + GenDescr::MakeAtomLink(lang, links) + ")";
        relWords.AddResult2(col1, GenDescr::AllGermanTranslat(w, true, true, false), "", w);
    }
    relWords.Sort(99);
}

void FillWordNames(atom* word, const ResultSet& relWords, bool allWords, bool showNames, ResultSet& names) {
    names.Reset();
    if (!word) return;
    std::vector<atom*> sources;
    if (allWords || word->isOptionsLang()) relWords.GetAtoms(sources);
    // The word itself is always a source: an own-language word without
    // related words still finds the names of its own origin entries.
    sources.push_back(word);
    for (atom* s : sources) s->reason() = s->Text();
    const std::vector<atom*> entries = Targets(sources, DataBase::prRelatedTo, 5, kAny);
    std::vector<atom*> found = Targets(entries, DataBase::prOriginOf, 2, 3);
    if (showNames) found = Targets(found, DataBase::prNameVariant, 0, 1);
    for (atom* a : found) {
        int32_t at = 0;
        if (names.GetAtomIndex(a, at)) {
            names.setReason(at, a->reason());  // the last source word it was reached through
            continue;
        }
        names.AddResult(a->Text(), a->reason(), a);
    }
    names.Sort(1);
}

std::string WordListTitle(atom* word, bool allWords) {
    if (!word) return {};
    const bool own = word->isOptionsLang();
    const std::string phrase = own || allWords ? LangText("zu allen W\xf6rtern verwandt mit", "for all words related to")
                                               : LangText("zu Wort", "for word");
    std::string title = " " + phrase + " '" + word->Text() + "'";
    if (atom* lang = FirstLang(word)) title += " (" + lang->Text() + ")";
    if (!own) {
        const std::string translation = GenDescr::AllGermanTranslat(word, false, false, false);
        if (!translation.empty()) title += " = " + translation;
    }
    return title;
}

bool IsAllWordsTitle(const std::string& title) {
    return title.find(LangText("zu allen W\xf6rtern verwandt mit", "for all words related to")) != std::string::npos;
}

// --- languages -------------------------------------------------------------------------

void FillLanguage(atom* lang, ResultSet& origin, ResultSet& use, ResultSet& words) {
    origin.Reset();
    use.Reset();
    use.ShowUnique();
    words.Reset();
    if (!lang) return;
    DataBase::CollectLangFamily(lang);
    const std::vector<atom*> family = DataBase::subLangs;
    for (atom* m : family) {
        const std::string reason = DataBase::GetAbbrev(m);
        const std::vector<atom*> entries = Targets({m}, DataBase::prLangOf, 5, kAny);
        for (atom* g : Targets(entries, DataBase::prOriginOf, 2, 3)) origin.AddResult(g->Text(), reason, g);
        for (atom* n : Targets({m}, DataBase::prLangOf, 0, 1)) {
            int32_t at = 0;
            if (!use.GetAtomIndex(n, at)) use.AddResult(n->Text(), reason, n);
        }
        for (atom* w : Targets({m}, DataBase::prLangOf, 7, kAny)) {
            const std::string trans = GenDescr::AllGermanTranslat(w, false, false, false);
            if (trans.empty() && !w->IsLang(TextConstants::textLanguage == 1)) continue;
            words.AddResult2(w->Text(), trans, reason, w);
        }
    }
    for (ResultSet* t : {&origin, &use, &words}) {
        t->Sort(1);
        t->setSelfAtom(lang);
    }
    origin.setPureTitle(OriginTitle(lang));
    use.setPureTitle(UseTitle(lang));
}

std::string OriginTitle(atom* lang) {
    const std::string t = lang ? lang->Text() : std::string();
    return LangText(" mit " + t + " als Sprache der Herkunft", " with " + t + " as language of origin");
}

std::string UseTitle(atom* lang) {
    const std::string t = lang ? lang->Text() : std::string();
    return LangText(" mit " + t + " als Sprache des Gebrauchs", " with " + t + " as language of use");
}

}  // namespace InfoTables
