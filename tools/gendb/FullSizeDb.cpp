#include "FullSizeDb.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <numeric>
#include <unordered_set>

#include "Cp1252.h"
#include "DataBase.h"
#include "FullSizePop.h"

namespace gendb {

namespace {

class Lcg {
public:
    explicit Lcg(uint32_t seed) : s_(seed) {}
    uint32_t Next(uint32_t n) {
        s_ = s_ * 1664525u + 1013904223u;
        return n ? (s_ >> 8) % n : 0;
    }

private:
    uint32_t s_;
};

std::vector<std::string> nameTexts;

// One planned atom: its category decides its properties.
enum Cat { kKind, kLang, kSeries, kHit, kTopic, kWord, kSaint, kOrigin, kLink, kOldForm, kGroup, kName, kQuestion };

struct Plan {
    Cat cat;
    int index;              // within its category
    std::string name;       // internal name
    std::string text;       // display text
    atom* a = nullptr;
};

using ByCat = std::array<std::vector<atom*>, kQuestion + 1>;

// One of the atoms of v, drawn at random.
atom* Pick(Lcg& r, const std::vector<atom*>& v) { return v[r.Next(static_cast<uint32_t>(v.size()))]; }

// A new property of kind k on a: a string value, or an atom value. A
// property kept only in an on-demand block is not registered (reg false).
void str(atom* a, atom* k, const std::string& s, bool reg = true) {
    Prop* p = DataBase::NewProp();
    p->InitStr(k, s, reg);
    a->AddProp(p);
}
void rel(atom* a, atom* k, atom* v, bool reg = true) {
    Prop* p = DataBase::NewProp();
    p->InitAtom(k, v, reg);
    a->AddProp(p);
}

std::string Syllables(Lcg& r, size_t minLen, size_t maxLen) {
    static const std::vector<std::string> syl = {
        "an", "na", "ma", "ri", "el", "li", "sa", "beth", "jo", "han", "nes", "chris", "toph", "ei",
        "au", "ü"_cp, "ö"_cp, "ä"_cp, "é"_cp, "ß"_cp, "sch", "th", "ph", "ck", "tz", "gr", "ey", "ie",
        "er", "de", "pf", "z", "y", "o", "u", "ka", "tha", "mar", "lo", "ve", "ro", "ni"};
    size_t target = minLen + r.Next(static_cast<uint32_t>(maxLen - minLen + 1));
    std::string s;
    while (s.size() < target) {
        if (!s.empty() && r.Next(14) == 0) s += r.Next(2) ? ' ' : '-';
        s += syl[r.Next(static_cast<uint32_t>(syl.size()))];
    }
    s.resize(target);
    while (!s.empty() && (s.back() == ' ' || s.back() == '-')) s.pop_back();
    if (!s.empty() && s[0] >= 'a' && s[0] <= 'z') s[0] = static_cast<char>(s[0] - 32);
    return s;
}

std::string Prose(Lcg& r, size_t len) {
    static const std::vector<std::string> words = {
        "der",   "Name",  "kommt", "aus",   "dem",      "Hebräischen"_cp, "und",    "bedeutet",
        "Gnade", "Anmut", "alte",  "Form",  "germanisch", "Kurzform",     "von",    "beliebt",
        "seit",  "dem",   "Mittelalter", "heilig", "the", "name", "comes", "from", "meaning"};
    std::string s;
    while (s.size() < len) {
        if (!s.empty()) s += ' ';
        s += words[r.Next(static_cast<uint32_t>(words.size()))];
    }
    s.resize(len);
    return s;
}

// A member of set with its text and, as its property k, prose of length len.
void entry(Lcg& r, atom* a, const std::string& text, atom* set, atom* k, size_t len) {
    using namespace DataBase;
    str(a, prText, text);
    rel(a, prMemberOf, set);
    str(a, k, Prose(r, len));
}

// What the information windows read, beyond the origin entries: the saints
// and topics listed by their sets, topics with member origin entries, names
// and words, words with English and German translations and related words,
// and the words' way back to their origin entries and foreign words (each
// relation written both ways, as the compiler writes it).
void AddInfoWindowLinks(Lcg& r, const std::vector<atom*>& topics, const std::vector<atom*>& words,
                        const std::vector<atom*>& saints, const std::vector<atom*>& origins,
                        const std::vector<atom*>& names) {
    using namespace DataBase;
    auto both = [](atom* a, atom* k, atom* v, atom* inverse) {
        rel(a, k, v);
        rel(v, inverse, a);
    };
    for (atom* s : saints) rel(seSaints, prMember, s);
    for (atom* t : topics) rel(seRealms, prMember, t);
    // Topics grow by a skewed pick, so that some are much fuller than others.
    auto topic = [&] {
        const uint32_t n = static_cast<uint32_t>(topics.size());
        return topics[std::min(r.Next(n), r.Next(n))];
    };
    // The property table has little room left: a share of the origin
    // entries and their words get the way back, enough for every window to
    // have full entries to show.
    for (size_t i = 0; i < origins.size(); i += 5)
        for (Prop* p : std::vector<Prop*>(origins[i]->props()))
            if (p->proper() == prRelatedTo && p->kind() != 1) {
                atom* w = p->atomVal();
                rel(w, prRelatedTo, origins[i]);
                if (Prop* g = w->FirstProp(prGerman); g && g->kind() != 1) rel(g->atomVal(), prTranslation, w);
            }
    for (size_t i = 0; i < origins.size(); i += 8) both(origins[i], prMemberOf, topic(), prMember);
    for (size_t i = 0; i < names.size(); i += 200) both(names[i], prMemberOf, topic(), prMember);
    for (size_t i = 0; i < words.size(); i += 4) both(words[i], prMemberOf, topic(), prMember);
    for (size_t i = 0; i < words.size(); i += 8) both(words[i], prRelatedTo, Pick(r, words), prRelatedTo);
}

// A short meaning of three to five words, one of them drawn from a larger
// stock of rarer words (so that a full-text term can be rare).
std::string Meaning(Lcg& r) {
    static const std::vector<std::string> common = {"gift", "of", "God", "light", "strong", "the", "bright",
                                                    "Gabe", "Gottes", "Licht", "stark", "die", "hell"};
    std::string s = common[r.Next(static_cast<uint32_t>(common.size()))];
    const int n = 2 + static_cast<int>(r.Next(3));
    for (int k = 0; k < n; ++k) s += " " + common[r.Next(static_cast<uint32_t>(common.size()))];
    s += " " + Syllables(r, 4, 9);
    return s;
}


// What the compiler writes for an origin entry: its text, the language it
// comes from (mirrored to prLangOf by AddLangOfProps), the meaning in both
// languages, the origin info of 200 to 1,000 characters in both languages,
// and one to three related words, each with a German translation that is a
// word atom of its own.
void AddOriginEntry(Lcg& r, atom* a, const std::string& text, const std::vector<atom*>& langs,
                    const std::vector<atom*>& words) {
    using namespace DataBase;
    str(a, prText, text);
    rel(a, prMemberOf, seOrigins);
    rel(a, prLang, Pick(r, langs));
    str(a, prGerman, Meaning(r));
    str(a, prEnglish, Meaning(r));
    str(a, prOrigInfo, Prose(r, 200 + r.Next(801)));
    str(a, prOrigInfoE, Prose(r, 200 + r.Next(801)));
    // Mostly one related word, some two or three (the property table's size
    // is fixed, and the other atoms need their share).
    const uint32_t roll = r.Next(10);
    const int related = roll < 7 ? 1 : roll < 9 ? 2 : 3;
    for (int k = 0; k < related; ++k) {
        atom* word = Pick(r, words);
        rel(a, prRelatedTo, word);
        if (word->FirstProp(prGerman) == nullptr) {
            atom* german = Pick(r, words);
            if (german != word) rel(word, prGerman, german);
        }
    }
}

// Each origin entry points back at the groups whose origin it describes.
void LinkOriginsToGroups(const std::vector<atom*>& groups) {
    using namespace DataBase;
    for (atom* g : groups)
        for (Prop* p : g->props())
            if (p->proper() == prOrigin && p->kind() != 1) rel(p->atomVal(), prOriginOf, g);
}

// The quiz: both question sets, each with kQuestionsPerSet questions over
// the three levels, four answers each (names of the database) and an
// explanation that links the right one.
constexpr int kQuestionsPerSet = 500;

// How many names the hit parades rank between them.
constexpr size_t kPopularNames = 1000;

void PlanQuizQuestions(std::vector<Plan>& plan) {
    for (int i = 0; i < 2 * kQuestionsPerSet; ++i) {
        const bool english = i >= kQuestionsPerSet;
        plan.push_back({kQuestion, i, std::string("quGen") + (english ? "E" : "D") + std::to_string(i), ""});
    }
}

void AddQuizQuestions(const std::vector<atom*>& questions, const std::vector<atom*>& names, Lcg& r) {
    using namespace DataBase;
    auto pick = [&] { return static_cast<size_t>(r.Next(static_cast<uint32_t>(names.size()))); };
    for (size_t i = 0; i < questions.size(); ++i) {
        atom* q = questions[i];
        atom* set = static_cast<int>(i) < kQuestionsPerSet ? seQuestions : seEnglishQuestions;
        const size_t right = pick();
        str(q, prText, "Question " + std::to_string(i));
        rel(q, prMemberOf, set);
        rel(set, prMember, q);
        str(q, prQuestion, "Which name comes from " + Prose(r, 20 + r.Next(40)) + "?");
        str(q, prLevel, std::to_string(i % 3));
        std::vector<size_t> answers = {right};
        while (answers.size() < 4) {
            const size_t n = pick();
            if (std::find(answers.begin(), answers.end(), n) == answers.end()) answers.push_back(n);
        }
        for (size_t n : answers) str(q, prAnswer, nameTexts[n]);
        str(q, prDescr, "<a>" + std::string(names[right]->name()) + "</a> " + Prose(r, 40 + r.Next(120)));
    }
}

// --- the steps of the build, in the order it takes them ------------------------------

// Every atom of the database, by category: the kind atoms and sets, then the
// counts of each category, the quiz questions, and names for the rest of
// the atoms. The names' display texts go to nameTexts.
std::vector<Plan> PlanAtoms(Lcg& r, int atoms) {
    using namespace DataBase;
    std::vector<Plan> plan;
    for (const std::string& k : KindAtomNames()) plan.push_back({kKind, 0, k, ""});
    for (const char* extra : {"prShortForm", "prShortFormOf", "prArea", "prAreaOf", "seOther"})
        plan.push_back({kKind, 0, extra, ""});
    const int counts[] = {0, 100, 10, 400, 200, 1500, 800, 2500, 100, 500, 5000};
    const char* prefixes[] = {"", "la", "ps", "po", "re", "wo", "sa", "or", "li", "na", "gn"};
    for (int cat = kLang; cat <= kGroup; ++cat)
        for (int i = 0; i < counts[cat]; ++i) {
            std::string text = Syllables(r, cat == kGroup || cat == kOldForm ? 3 : 4, 40);
            // Old forms share the names' prefix; their own letter before the
            // number keeps the two apart.
            std::string mark = cat == kOldForm ? "O" : "";
            plan.push_back({static_cast<Cat>(cat), i, prefixes[cat] + MakeAtomIdent(text) + mark + std::to_string(i), text});
        }
    PlanQuizQuestions(plan);
    int numNames = atoms - static_cast<int>(plan.size());
    for (int i = 0; i < numNames; ++i) {
        std::string text = Syllables(r, 3, 40);
        nameTexts.push_back(text);
        plan.push_back({kName, i, "na" + MakeAtomIdent(text) + "N" + std::to_string(i), text});
    }
    return plan;
}

// Atoms are created in name order, so that every insertion is an append.
void CreateInNameOrder(std::vector<Plan>& plan) {
    std::vector<size_t> order(plan.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return DataBase::CompareNames(plan[a].name, plan[b].name) < 0; });
    for (size_t i : order) plan[i].a = DataBase::CreateAtom(plan[i].name);
}

// The properties an atom's category gives it on its own; names, hit parades
// and quiz questions get theirs once the names exist.
void AddPlannedProps(Lcg& r, const Plan& p, const ByCat& byCat) {
    using namespace DataBase;
    atom* a = p.a;
    switch (p.cat) {
        case kKind: break;
        case kLang:
            str(a, prText, p.text);
            str(a, prTextE, p.text + " (en)");
            str(a, prAbbrev, p.text.substr(0, 3) + ".");
            str(a, prAbbrevE, p.text.substr(0, 2) + ".");
            rel(a, prMemberOf, seLanguages);
            if (p.index % 3 == 0) rel(a, prMemberOf, seCurLanguages);
            if (p.index % 10 == 0) rel(a, prMemberOf, seMainOrigLang);
            if (p.index % 12 == 0) rel(a, prMemberOf, seMainCurLang);
            rel(seLanguages, prMember, a);
            if (p.index >= 10) rel(byCat[kLang][static_cast<size_t>(p.index % 10)], prSubset, a);
            break;
        case kSeries:
            entry(r, a, p.text, sePopSeries, prSource, 60);
            break;
        case kHit: break;  // AddHitParades, once the names exist
        case kTopic:
            entry(r, a, p.text, seRealms, prDescr, 80);
            break;
        case kWord:
            entry(r, a, p.text, seWords, prTranslation, 20);
            rel(a, prLang, Pick(r, byCat[kLang]));
            break;
        case kSaint:
            str(a, prText, "St. " + p.text);
            rel(a, prMemberOf, seSaints);
            str(a, prDedicDay, std::to_string(1 + r.Next(28)));
            str(a, prDedicMonth, std::to_string(1 + r.Next(12)));
            str(a, prBirthYear, std::to_string(200 + r.Next(1700)));
            str(a, prProfession, Prose(r, 30));
            break;
        case kOrigin: AddOriginEntry(r, a, p.text, byCat[kLang], byCat[kWord]); break;
        case kLink:
            entry(r, a, "https://example.org/" + std::to_string(p.index), seLinks, prDescr, 40);
            break;
        case kOldForm:
            str(a, prText, p.text);
            rel(a, prMemberOf, seOrigNames);
            rel(a, prLang, Pick(r, byCat[kLang]));
            break;
        case kGroup:
            str(a, prText, p.text);
            // One group in four has a short description: the quiz sets,
            // the origin entries and the information windows' links
            // need their share of the property table.
            if (p.index % 4 == 0) str(a, prDescr, Prose(r, 30 + r.Next(60)));
            rel(a, prSubsetOf, p.index % 2 ? seMaleNames : seFemaleNames);
            rel(a, prOrigin, Pick(r, byCat[kOrigin]));
            str(a, prOrigInfo, Prose(r, 200 + r.Next(801)));  // up to 1000
            break;
        case kName: break;  // AddNames, with their groups
        case kQuestion: break;  // AddQuizQuestions, once the names exist
    }
}

// Names: each in a group (the group lists it back), one or two languages,
// some with a level.
void AddNames(Lcg& r, const std::vector<atom*>& groups, const std::vector<atom*>& names,
              const std::vector<atom*>& langs) {
    using namespace DataBase;
    for (size_t i = 0; i < names.size(); ++i) {
        atom* a = names[i];
        atom* g = groups[i % groups.size()];
        str(a, prText, nameTexts[i]);
        rel(a, prGenName, g);
        rel(g, prNameVariant, a);
        rel(a, prLang, Pick(r, langs));
        if (i % 16 == 0) rel(a, prLang, Pick(r, langs));
        if (i % 36 == 0) str(a, prLevel, std::to_string(1 + r.Next(9)));
    }
}

// Hit parades: three properties in memory at load, the rest (up to 60
// ranked names) in their on-demand blocks, and the hit-parade lists of the
// ranked names. Returns how many properties the blocks hold.
int32_t AddHitParades(Lcg& r, const std::vector<atom*>& hits, const std::vector<atom*>& series,
                      const std::vector<atom*>& names) {
    using namespace DataBase;
    int32_t blockProps = 0;
    PopLists popLists;
    for (size_t h = 0; h < hits.size(); ++h) {
        atom* a = hits[h];
        str(a, prText, "Hit parade " + std::to_string(2000 + h % 25) + " " + std::to_string(h));
        rel(a, prMemberOf, sePopularities);
        rel(a, prSubsetOf, series[h % series.size()], false);
        str(a, prFromYear, std::to_string(2000 + h % 25), false);
        str(a, prYears, "1", false);
        blockProps += 3;
        // The ranked names come from a pool of popular names, as in real
        // hit parades, where the same names recur year after year; each
        // ranked name carries one list of its ranks, so the pool also keeps
        // the property table within its size.
        int ranks = 20 + static_cast<int>(r.Next(41));
        std::vector<atom*> drawn;
        const uint32_t pool = static_cast<uint32_t>(std::min<size_t>(names.size(), kPopularNames));
        for (int k = 0; k < ranks; ++k) drawn.push_back(names[r.Next(pool)]);
        blockProps += RankHitParade(a, std::move(drawn), h, names[names.size() / 2], popLists);
    }
    AddPopLists(popLists, hits);
    return blockProps;
}

// Tops up the property table to `want` properties with comments on names;
// a database that has grown past it is a fault of the generator.
void TopUpWithComments(Lcg& r, const std::vector<atom*>& names, int32_t want) {
    using namespace DataBase;
    for (size_t i = 0; numProps < want; ++i) str(names[i % names.size()], prComment, Prose(r, 20 + r.Next(60)));
    if (numProps > want) {
        std::fprintf(stderr, "gendb: %d properties, more than the %d asked for\n", numProps, want);
        std::abort();
    }
}

}  // namespace

const std::vector<std::string>& GeneratedNameTexts() { return nameTexts; }

FullSizeStats BuildFullSizeDb(const FullSizeOptions& options) {
    using namespace DataBase;
    InitDataBase();
    Lcg r(options.seed);
    nameTexts.clear();

    std::vector<Plan> plan = PlanAtoms(r, options.atoms);
    CreateInNameOrder(plan);
    InitPropKinds();
    ByCat byCat;
    for (const Plan& p : plan) byCat[p.cat].push_back(p.a);

    for (const Plan& p : plan) AddPlannedProps(r, p, byCat);
    const std::vector<atom*>& names = byCat[kName];
    const std::vector<atom*>& hits = byCat[kHit];
    AddNames(r, byCat[kGroup], names, byCat[kLang]);
    AddQuizQuestions(byCat[kQuestion], names, r);
    const int32_t blockProps = AddHitParades(r, hits, byCat[kSeries], names);
    LinkOriginsToGroups(byCat[kGroup]);
    AddInfoWindowLinks(r, byCat[kTopic], byCat[kWord], byCat[kSaint], byCat[kOrigin], names);
    DeriveAll();
    AddLangOfProps(0);
    TopUpWithComments(r, names, options.fileProps - static_cast<int32_t>(hits.size()));

    FullSizeStats st;
    st.atoms = numAtoms;
    st.names = static_cast<int32_t>(names.size());
    st.groups = static_cast<int32_t>(byCat[kGroup].size());
    st.hitParades = static_cast<int32_t>(hits.size());
    st.registeredProps = numProps;
    st.blockProps = blockProps;
    st.fileProps = numProps + st.hitParades;
    return st;
}

}  // namespace gendb
