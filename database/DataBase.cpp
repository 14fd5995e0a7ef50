#include "DataBase.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "Basic.h"
#include "BinFile.h"
#include "DbInternal.h"
#include "Errors.h"
#include "FlexString.h"
#include "Parser.h"
#include "Services.h"
#include "TextConstants.h"

using Basic::kNone;
using Errors::Assert;

namespace DataBase {

Table<atom*> atomTab;
int32_t numAtoms = 0;
PropTable propTab;
int32_t numProps = 0;
Table<DbText> stringTab;
Table<int32_t> idTab;
int32_t numStrings = 0;
int32_t nextId = 0;
atom* nothingAtom = nullptr;
bool createOnLookup = false;
bool loading = false;

std::vector<atom*> langTab;
std::vector<std::string> langAbbrev;
std::vector<bool> langIsCur, langIsMainOrig, langIsMainCur;
int numLangs = 0;
std::vector<atom*> subLangs;
int numSubLangs = 0;

int32_t numAllNames = 0, numAllMale = 0, numAllFemale = 0;
int32_t numAllGenNames = 0, numAllMaleGen = 0, numAllFemaleGen = 0;

#define DATABASE_DEFINE_KIND_ATOM(n) atom* n = nullptr;
DATABASE_KIND_ATOMS(DATABASE_DEFINE_KIND_ATOM)
#undef DATABASE_DEFINE_KIND_ATOM

namespace {

// The addresses of the kind-atom variables, in lookup order.
std::vector<atom**>& KindAtomSlots() {
#define DATABASE_KIND_SLOT(n) &n,
    static std::vector<atom**> slots{DATABASE_KIND_ATOMS(DATABASE_KIND_SLOT)};
#undef DATABASE_KIND_SLOT
    return slots;
}

bool langTablesBuilt = false;

}  // namespace

const std::vector<std::string>& KindAtomNames() {
#define DATABASE_KIND_NAME(n) #n,
    static const std::vector<std::string> names{DATABASE_KIND_ATOMS(DATABASE_KIND_NAME)};
#undef DATABASE_KIND_NAME
    return names;
}

// ============================================================================
// Registration
// ============================================================================

void StoreAtom(atom* a) {
    auto id = static_cast<size_t>(a->id());
    if (id >= atomTab.size()) atomTab.resize(id + 1, nothingAtom);
    atomTab[id] = a;
    numAtoms = static_cast<int32_t>(atomTab.size());
}

void RegisterProp(Prop* p) {
    Arena::SetPropId(p, numProps);
    propTab.push_back(p);
    numProps = static_cast<int32_t>(propTab.size());
}

Prop* NewProp() { return Arena::NewProp(); }

// ============================================================================
// Set-up
// ============================================================================

void InitDataBase() {
    // The tables' memory goes too: a loaded file's lies with its records.
    atomTab = Table<atom*>();
    propTab.clear();
    stringTab = Table<DbText>();
    idTab = Table<int32_t>();
    // Names waiting in a batch point into the arenas freed below.
    DropPendingNames();
    numAtoms = numProps = numStrings = nextId = 0;
    langTab.clear();
    langAbbrev.clear();
    langIsCur.clear();
    langIsMainOrig.clear();
    langIsMainCur.clear();
    numLangs = 0;
    langTablesBuilt = false;
    subLangs.clear();
    numSubLangs = 0;
    numAllNames = numAllMale = numAllFemale = 0;
    numAllGenNames = numAllMaleGen = numAllFemaleGen = 0;
    createOnLookup = false;
    loading = false;
    dbFileName.clear();
    ForgetLoadedFile();
    Arena::Clear();
    nothingAtom = Arena::NewAtom("nothing", 0);
    for (atom** slot : KindAtomSlots()) *slot = nothingAtom;
}

void InitPropKinds() {
    const auto& names = KindAtomNames();
    const auto& slots = KindAtomSlots();
    for (size_t i = 0; i < slots.size(); ++i) *slots[i] = GetAtom(names[i]);
}

// ============================================================================
// Names
// ============================================================================

namespace {

// Case folding of the name table: the platform's upper-casing of cp1252
// (ASCII letters and every accented letter with an upper-case partner).
inline unsigned char Fold(unsigned char c) {
    return static_cast<unsigned char>(Parser::PlatformUpperTable()[c]);
}

}  // namespace

unsigned char FoldName(unsigned char c) { return Fold(c); }

int CompareNames(std::string_view a, std::string_view b) {
    static const Parser::CodeTable& f = Parser::PlatformUpperTable();
    const size_t n = std::min(a.size(), b.size());
    // Neighbours in the name table share long beginnings: passed over a
    // word at a time.
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        uint64_t x, y;
        std::memcpy(&x, a.data() + i, 8);
        std::memcpy(&y, b.data() + i, 8);
        if (x != y) {
            i += static_cast<size_t>(__builtin_ctzll(x ^ y)) / 8;  // the first byte that differs (little-endian)
            break;
        }
    }
    for (; i < n; ++i) {
        if (a[i] == b[i]) continue;
        int x = f[static_cast<unsigned char>(a[i])];
        int y = f[static_cast<unsigned char>(b[i])];
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

atom* CreateAtom(std::string_view name) {
    // "nothing" names the no-atom; it is never made a real atom.
    if (Basic::EqualsNoCaseAscii(name, "nothing")) return nothingAtom;
    bool found = false;
    DbText kept;
    int32_t id = AddName(name, found, &kept);
    if (found) return AtomById(id);  // never a second atom for one name
    if (id < 0) {
        Assert(false, "CreateAtom table full " + std::string(name));
        return nothingAtom;
    }
    // The name is kept once, for the name table and the atom alike.
    atom* a = Arena::NewAtomKept(kept, id);
    StoreAtom(a);
    return a;
}

atom* AtomById(long long id) {
    if (id < 0 || id >= numAtoms) return nothingAtom;
    return atomTab[static_cast<size_t>(id)];
}

atom* GetAtom(std::string_view name) {
    int32_t pos = 0;
    if (FindInTable(name, pos)) return AtomById(idTab[static_cast<size_t>(pos)]);
    if (const int32_t id = FindPending(name); id >= 0) return AtomById(id);
    if (createOnLookup && !name.empty()) return CreateAtom(name);
    return nothingAtom;
}

atom* LiveAtom(atom* a) {
    if (!a || a == nothingAtom) return nothingAtom;
    if (AtomById(a->id()) == a) return a;
    // Looked up without createOnLookup: a vanished atom makes no new one.
    int32_t pos = 0;
    const std::string_view name = a->name();
    if (FindInTable(name, pos)) return AtomById(idTab[static_cast<size_t>(pos)]);
    if (const int32_t id = FindPending(name); id >= 0) return AtomById(id);
    return nothingAtom;
}

void DeleteAtom(atom* a) {
    if (!a) return;
    int32_t pos = 0;
    bool found = FindString(a->name(), pos);
    // The name must be this very atom's: a stale object of a name deleted
    // earlier (and perhaps created anew) removes nothing.
    if (!found || a == nothingAtom || idTab[static_cast<size_t>(pos)] != a->id() ||
        AtomById(a->id()) != a) {
        Assert(false, "DeleteAtom " + std::string(a->name()));
        return;
    }
    for (Prop* p : propTab) {
        if (p->kind() == 0 && p->atomVal() == a) Arena::MakeEmptyString(p);
    }
    stringTab.erase(stringTab.begin() + pos);
    idTab.erase(idTab.begin() + pos);
    numStrings = static_cast<int32_t>(stringTab.size());
    atomTab[static_cast<size_t>(a->id())] = nothingAtom;
}

// ============================================================================
// Properties
// ============================================================================

Prop* FindOrCreateProp(atom* proper, atom* atomVal, std::string_view strVal, bool reg) {
    if (reg) {
        int32_t stop = std::max<int32_t>(0, numProps - 100);
        for (int32_t i = numProps - 1; i >= stop; --i) {
            Prop* p = propTab[static_cast<size_t>(i)];
            if (p->Same(proper, atomVal, strVal)) return p;
        }
    }
    Prop* p = NewProp();
    if (!atomVal)
        p->InitStr(proper, strVal, reg);
    else if (!strVal.empty())
        p->InitAtomAndStr(proper, atomVal, strVal, reg);
    else
        p->InitAtom(proper, atomVal, reg);
    return p;
}

// ============================================================================
// Derivations
// ============================================================================

namespace {

// The live atoms from startId on; deleted slots (the "nothing" atom) are
// left alone, so that it keeps its kind 31999 and stays out of every count.
// Pending window events run after each atom.
template <class F>
void ForRange(int32_t startId, F f, bool events = true) {
    for (int32_t id = std::max<int32_t>(0, startId); id < numAtoms; ++id) {
        atom* a = atomTab[static_cast<size_t>(id)];
        if (a != nothingAtom) f(*a);
        if (events) Services::Events().DoEvents();
    }
}

}  // namespace

void CompleteAtoms(int32_t startId) {
    ForRange(startId, [](atom& a) { a.Complete(); });
}

void EvalKinds(int32_t startId) {
    ForRange(startId, [](atom& a) { a.EvalKind0(); });
    ForRange(startId, [](atom& a) { a.EvalKind1(); });
}

void CountVariants(int32_t startId) {
    ForRange(startId, [](atom& a) {
        if (a.kind() == 2 || a.kind() == 3)
            a.numVariants = static_cast<int16_t>(std::min(a.CountProps(prNameVariant), 32767));
    });
}

void AddLangOfProps(int32_t startId) {
    // Every prLang of the atom gets its mirror (a new name may name up to
    // three languages), each language once.
    // The names each language lists, gathered once per language: asking the
    // language's whole list for every new name would grow with the square
    // of the names one language gets.
    std::unordered_map<const atom*, std::unordered_set<const atom*>> listed;
    ForRange(startId, [&listed](atom& a) {
        std::vector<atom*> langs;
        for (Prop* p : a.props())
            if (p->proper() == prLang) langs.push_back(p->atomVal());
        for (atom* lang : langs) {
            if (lang == nothingAtom) continue;
            auto [known, isNew] = listed.try_emplace(lang);
            if (isNew)
                for (const Prop* p : lang->props())
                    if (p->proper() == prLangOf) known->second.insert(p->atomVal());
            if (!known->second.insert(&a).second) continue;
            Prop* m = NewProp();
            m->InitAtom(prLangOf, &a, true);
            lang->AddProp(m);
        }
    }, false);
}

void CountKinds() {
    numAllNames = numAllMale = numAllFemale = 0;
    numAllGenNames = numAllMaleGen = numAllFemaleGen = 0;
    for (int32_t id = 0; id < numAtoms; ++id) {
        switch (atomTab[static_cast<size_t>(id)]->kind()) {
            case 0: ++numAllNames; ++numAllMale; break;
            case 1: ++numAllNames; ++numAllFemale; break;
            case 2: ++numAllGenNames; ++numAllMaleGen; break;
            case 3: ++numAllGenNames; ++numAllFemaleGen; break;
            default: break;
        }
    }
}

void DeriveAll() {
    InitPropKinds();
    CompleteAtoms(0);
    EvalKinds(0);
    CountVariants(0);
    CountKinds();
}

// ============================================================================
// Languages
// ============================================================================

std::string GetAbbrev(const atom* lang) {
    if (!lang) return {};
    Prop* p = nullptr;
    if (TextConstants::textLanguage != 0) p = lang->FirstProp(prAbbrevE);
    if (!p) p = lang->FirstProp(prAbbrev);
    return p ? p->strVal() : std::string();
}

namespace {

void BuildLangTables() {
    if (langTablesBuilt) return;
    langTablesBuilt = true;
    langTab.clear();
    for (Prop* p : seLanguages->props())
        if (p->proper() == prMember) langTab.push_back(p->atomVal());
    numLangs = static_cast<int>(langTab.size());
    SortAtomsByText(langTab, numLangs);
    langAbbrev.assign(langTab.size(), {});
    langIsCur.assign(langTab.size(), false);
    langIsMainOrig.assign(langTab.size(), false);
    langIsMainCur.assign(langTab.size(), false);
    for (size_t i = 0; i < langTab.size(); ++i) {
        atom* l = langTab[i];
        langAbbrev[i] = GetAbbrev(l);
        langIsCur[i] = l->HasProp(prMemberOf, seCurLanguages);
        langIsMainOrig[i] = l->HasProp(prMemberOf, seMainOrigLang);
        langIsMainCur[i] = l->HasProp(prMemberOf, seMainCurLang);
    }
}

}  // namespace

std::vector<LangComboItem> FillLangCombo(bool mainOrig, bool withUndefined) {
    BuildLangTables();
    std::vector<LangComboItem> items;
    if (withUndefined) items.push_back({TextConstants::LangText("(undefiniert)", "(undefined)"), 0});
    for (int i = 0; i < numLangs; ++i) {
        bool main = mainOrig ? langIsMainOrig[static_cast<size_t>(i)]
                             : langIsMainCur[static_cast<size_t>(i)];
        if (main) items.push_back({langTab[static_cast<size_t>(i)]->Text(), i});
    }
    items.push_back({std::string(12, '_'), 0});
    for (int i = 0; i < numLangs; ++i) items.push_back({langTab[static_cast<size_t>(i)]->Text(), i});
    return items;
}

atom* GetComboLang(int itemData) {
    if (itemData < 0 || itemData >= numLangs) return nothingAtom;
    return langTab[static_cast<size_t>(itemData)];
}

namespace {
// The languages whose walk is under way: a language met again on its own
// path is a cycle and is not entered a second time.
std::vector<atom*> walkPath;
}  // namespace

void CollectLangFamily(atom* lang) {
    subLangs.clear();
    numSubLangs = 0;
    walkPath.clear();
    CollectSubLangs(lang);
}

void CollectSubLangs(atom* lang) {
    if (!lang || lang == nothingAtom) return;
    auto has = [](const std::vector<atom*>& v, const atom* a) {
        return std::find(v.begin(), v.end(), a) != v.end();
    };
    if (has(subLangs, lang) || has(walkPath, lang)) return;
    walkPath.push_back(lang);
    for (Prop* p : lang->props()) {
        if (p->proper() != prSubset) continue;
        atom* sub = p->atomVal();
        if (sub->kind() == 8) CollectSubLangs(sub);
    }
    walkPath.pop_back();
    subLangs.push_back(lang);
    numSubLangs = static_cast<int>(subLangs.size());
}

// ============================================================================
// Sorting and strings
// ============================================================================

namespace {

// Reversed compares the texts read from their last character to their first.
int CompareFolded(std::string_view a, std::string_view b, bool accents, bool reversed) {
    const Parser::CodeTable& f = Parser::PlatformUpperTable();
    const Parser::CodeTable& base = Parser::BaseTable();
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        int x = static_cast<unsigned char>(reversed ? a[a.size() - 1 - i] : a[i]);
        int y = static_cast<unsigned char>(reversed ? b[b.size() - 1 - i] : b[i]);
        if (!accents) {
            x = base[x];
            y = base[y];
        }
        x = f[x];
        y = f[y];
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

// A stable sort of arr[0 .. n-1] by key, compared as CompareText does; each
// key is made once.
template <class Key>
void StableSortBy(std::vector<atom*>& arr, int n, Key key) {
    n = std::min<int>(n, static_cast<int>(arr.size()));
    if (n < 2) return;
    struct Item {
        std::string key;
        atom* a;
    };
    std::vector<Item> items;
    items.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) items.push_back({std::string(key(arr[static_cast<size_t>(i)])), arr[static_cast<size_t>(i)]});
    std::stable_sort(items.begin(), items.end(),
                     [](const Item& x, const Item& y) { return CompareText(x.key, y.key) < 0; });
    for (int i = 0; i < n; ++i) arr[static_cast<size_t>(i)] = items[static_cast<size_t>(i)].a;
}

}  // namespace

int CompareText(std::string_view a, std::string_view b) {
    int c = CompareFolded(a, b, false, false);
    return c != 0 ? c : CompareFolded(a, b, true, false);
}

int CompareTextReversed(std::string_view a, std::string_view b) {
    int c = CompareFolded(a, b, false, true);
    return c != 0 ? c : CompareFolded(a, b, true, true);
}

void SortAtomsByText(std::vector<atom*>& arr, int n) {
    StableSortBy(arr, n, [](const atom* a) { return a->Text(); });
}

void SortAtomsBySortKey(std::vector<atom*>& arr, int n) {
    StableSortBy(arr, n, [](const atom* a) -> const std::string& { return a->sortKey(); });
}

void SplitAt(const std::string& sep, const std::string& s, std::string& left, std::string& right) {
    size_t pos = std::string::npos;
    if (!sep.empty() && sep.size() <= s.size()) {
        for (size_t i = 0; i + sep.size() <= s.size(); ++i) {
            if (CompareNames(s.substr(i, sep.size()), sep) == 0) {
                pos = i;
                break;
            }
        }
    }
    if (pos == std::string::npos) {
        left = s;
        right.clear();
        return;
    }
    left = s.substr(0, pos);
    right = s.substr(pos + 1);
}

std::string SplitFirstComma(std::string& s) {
    size_t pos = s.find(',');
    if (pos == std::string::npos) {
        std::string all;
        all.swap(s);
        return all;
    }
    std::string head = s.substr(0, pos);
    s.erase(0, pos + 1);
    return head;
}

// ============================================================================
// Internal names for new atoms
// ============================================================================

std::string MakeAtomIdent(const std::string& text) {
    std::string s = text;
    // A leading article goes.
    std::string head = Basic::UpperAscii(s.substr(0, 4));
    if (head == "DER " || head == "DIE " || head == "DAS " || head == "THE ")
        s.erase(0, 4);
    else if (head.compare(0, 3, "TO ") == 0)
        s.erase(0, 3);

    // Umlauts spelled out, accents removed.
    FlexString f(s);
    f.ElimUmlauts();
    f.BaseChar();
    // The letters without a base letter are spelled in ASCII too, so that
    // the identifier is one the text form of the database reads back.
    std::string t;
    for (char ch : f.GetStr()) {
        switch (static_cast<unsigned char>(ch)) {
            case 0xDF: t += "ss"; break;  // ß
            case 0xE6: t += "ae"; break;  // æ
            case 0xC6: t += "Ae"; break;  // Æ
            case 0x9C: t += "oe"; break;  // œ
            case 0x8C: t += "Oe"; break;  // Œ
            case 0x9A: t += "s"; break;   // š
            case 0x8A: t += "S"; break;   // Š
            case 0x9E: t += "z"; break;   // ž
            case 0x8E: t += "Z"; break;   // Ž
            case 0x9F: t += "Y"; break;   // Ÿ
            case 0xF0: t += "d"; break;   // ð
            case 0xD0: t += "D"; break;   // Ð
            case 0xFE: t += "th"; break;  // þ
            case 0xDE: t += "Th"; break;  // Þ
            case 0x83: t += "f"; break;   // ƒ
            default: t += ch; break;
        }
    }
    // Every word begins upper case; blanks, full stops, hyphens and commas go.
    f.Init(t);
    f.StartAllUpper();
    for (const char* c : {" ", ".", "-", ","}) f.ElimChar(c);
    // Whatever else is no ASCII letter or digit (apostrophes, quotes, ...)
    // goes too; an identifier is never empty.
    std::string out;
    for (char ch : f.GetStr()) {
        bool keep = (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z') || (ch >= '0' && ch <= '9');
        if (keep) out += ch;
    }
    if (out.empty()) out = "Name";
    return out;
}

std::string MakeUniqueAtomName(const std::string& prefix, const std::string& text,
                               const std::string& suffix) {
    std::string ident = MakeAtomIdent(text);
    std::string name = prefix + ident + suffix;
    int32_t pos = 0;
    for (int n = 2; FindString(name, pos); ++n)
        name = prefix + ident + std::to_string(n) + suffix;
    return name;
}

}  // namespace DataBase
