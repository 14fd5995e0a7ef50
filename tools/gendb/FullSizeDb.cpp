#include "FullSizeDb.h"

#include <algorithm>
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
enum Cat { kKind, kLang, kSeries, kHit, kTopic, kWord, kSaint, kOrigin, kLink, kOldForm, kGroup, kName };

struct Plan {
    Cat cat;
    int index;              // within its category
    std::string name;       // internal name
    std::string text;       // display text
    atom* a = nullptr;
};

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

}  // namespace

const std::vector<std::string>& GeneratedNameTexts() { return nameTexts; }

FullSizeStats BuildFullSizeDb(const FullSizeOptions& options) {
    using namespace DataBase;
    InitDataBase();
    Lcg r(options.seed);
    nameTexts.clear();

    // --- plan every atom ------------------------------------------------------------
    std::vector<Plan> plan;
    for (const std::string& k : KindAtomNames()) plan.push_back({kKind, 0, k, ""});
    for (const char* extra : {"prShortForm", "prShortFormOf", "prArea", "prAreaOf", "seOther"})
        plan.push_back({kKind, 0, extra, ""});
    const int counts[] = {0, 100, 10, 400, 200, 1500, 800, 1000, 100, 500, 5000};
    const char* prefixes[] = {"", "la", "ps", "po", "re", "wo", "sa", "or", "li", "na", "gn"};
    for (int cat = kLang; cat <= kGroup; ++cat)
        for (int i = 0; i < counts[cat]; ++i) {
            std::string text = Syllables(r, cat == kGroup || cat == kOldForm ? 3 : 4, 40);
            // Old forms share the names' prefix; their own letter before the
            // number keeps the two apart.
            std::string mark = cat == kOldForm ? "O" : "";
            plan.push_back({static_cast<Cat>(cat), i, prefixes[cat] + MakeAtomIdent(text) + mark + std::to_string(i), text});
        }
    int numNames = options.atoms - static_cast<int>(plan.size());
    for (int i = 0; i < numNames; ++i) {
        std::string text = Syllables(r, 3, 40);
        nameTexts.push_back(text);
        plan.push_back({kName, i, "na" + MakeAtomIdent(text) + "N" + std::to_string(i), text});
    }
    // Atoms are created in name order, so that every insertion is an append.
    std::vector<size_t> order(plan.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return CompareNames(plan[a].name, plan[b].name) < 0; });
    for (size_t i : order) plan[i].a = CreateAtom(plan[i].name);
    InitPropKinds();

    std::vector<atom*> byCat[kName + 1];
    for (const Plan& p : plan) byCat[p.cat].push_back(p.a);
    auto pick = [&](Cat c) { return byCat[c][r.Next(static_cast<uint32_t>(byCat[c].size()))]; };
    auto str = [](atom* a, atom* k, const std::string& s, bool reg = true) {
        Prop* p = NewProp();
        p->InitStr(k, s, reg);
        a->AddProp(p);
    };
    auto rel = [](atom* a, atom* k, atom* v, bool reg = true) {
        Prop* p = NewProp();
        p->InitAtom(k, v, reg);
        a->AddProp(p);
    };

    // --- properties ---------------------------------------------------------------------
    const std::vector<atom*>& langs = byCat[kLang];
    for (const Plan& p : plan) {
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
                if (p.index >= 10) rel(langs[static_cast<size_t>(p.index % 10)], prSubset, a);
                break;
            case kSeries:
                str(a, prText, p.text);
                rel(a, prMemberOf, sePopSeries);
                str(a, prSource, Prose(r, 60));
                break;
            case kHit: break;  // below, once the names exist
            case kTopic:
                str(a, prText, p.text);
                rel(a, prMemberOf, seRealms);
                str(a, prDescr, Prose(r, 80));
                break;
            case kWord:
                str(a, prText, p.text);
                rel(a, prMemberOf, seWords);
                str(a, prTranslation, Prose(r, 20));
                rel(a, prLang, pick(kLang));
                break;
            case kSaint:
                str(a, prText, "St. " + p.text);
                rel(a, prMemberOf, seSaints);
                str(a, prDedicDay, std::to_string(1 + r.Next(28)));
                str(a, prDedicMonth, std::to_string(1 + r.Next(12)));
                str(a, prBirthYear, std::to_string(200 + r.Next(1700)));
                str(a, prProfession, Prose(r, 30));
                break;
            case kOrigin:
                str(a, prText, p.text);
                rel(a, prMemberOf, seOrigins);
                str(a, prOrigInfo, Prose(r, 100 + r.Next(300)));
                break;
            case kLink:
                str(a, prText, "https://example.org/" + std::to_string(p.index));
                rel(a, prMemberOf, seLinks);
                str(a, prDescr, Prose(r, 40));
                break;
            case kOldForm:
                str(a, prText, p.text);
                rel(a, prMemberOf, seOrigNames);
                rel(a, prLang, pick(kLang));
                break;
            case kGroup:
                str(a, prText, p.text);
                str(a, prDescr, Prose(r, 30 + r.Next(60)));
                rel(a, prSubsetOf, p.index % 2 ? seMaleNames : seFemaleNames);
                rel(a, prOrigin, pick(kOrigin));
                str(a, prOrigInfo, Prose(r, 200 + r.Next(801)));  // up to 1000
                break;
            case kName: break;  // below, with their groups
        }
    }
    // Names: each in a group (the group lists it back), one or two languages,
    // some with a level or a hit-parade entry.
    const std::vector<atom*>& groups = byCat[kGroup];
    const std::vector<atom*>& names = byCat[kName];
    for (size_t i = 0; i < names.size(); ++i) {
        atom* a = names[i];
        atom* g = groups[i % groups.size()];
        str(a, prText, nameTexts[i]);
        rel(a, prGenName, g);
        rel(g, prNameVariant, a);
        rel(a, prLang, pick(kLang));
        if (i % 4 == 0) rel(a, prLang, pick(kLang));
        if (i % 9 == 0) str(a, prLevel, std::to_string(1 + r.Next(9)));
    }
    // Hit parades: three properties in memory at load, the rest (up to 60
    // ranked names) in their on-demand blocks.
    int32_t blockProps = 0;
    const std::vector<atom*>& hits = byCat[kHit];
    const std::vector<atom*>& series = byCat[kSeries];
    PopLists popLists;
    for (size_t h = 0; h < hits.size(); ++h) {
        atom* a = hits[h];
        str(a, prText, "Hit parade " + std::to_string(2000 + h % 25) + " " + std::to_string(h));
        rel(a, prMemberOf, sePopularities);
        rel(a, prSubsetOf, series[h % series.size()], false);
        str(a, prFromYear, std::to_string(2000 + h % 25), false);
        str(a, prYears, "1", false);
        blockProps += 3;
        int ranks = 20 + static_cast<int>(r.Next(41));
        std::vector<atom*> drawn;
        for (int k = 0; k < ranks; ++k) drawn.push_back(names[r.Next(static_cast<uint32_t>(names.size()))]);
        blockProps += RankHitParade(a, std::move(drawn), h, names[names.size() / 2], popLists);
    }
    AddPopLists(popLists, hits);
    DeriveAll();
    AddLangOfProps(0);
    // Top up the property table to the asked size with comments on names.
    int32_t want = options.fileProps - static_cast<int32_t>(hits.size());
    for (size_t i = 0; numProps < want; ++i) str(names[i % names.size()], prComment, Prose(r, 20 + r.Next(60)));
    if (numProps > want) {
        std::fprintf(stderr, "gendb: %d properties, more than the %d asked for\n", numProps, want);
        std::abort();
    }

    FullSizeStats st;
    st.atoms = numAtoms;
    st.names = static_cast<int32_t>(names.size());
    st.groups = static_cast<int32_t>(groups.size());
    st.hitParades = static_cast<int32_t>(hits.size());
    st.registeredProps = numProps;
    st.blockProps = blockProps;
    st.fileProps = numProps + st.hitParades;
    return st;
}

}  // namespace gendb
