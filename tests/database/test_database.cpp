// The database tables: the name table, lookups, deletion, internal names,
// shared properties, derivations, languages, sorting and string helpers.
#include <algorithm>
#include <optional>
#include <random>
#include <regex>
#include <utility>

#include "DbTestUtil.h"
#include "Fakes.h"
#include "TextConstants.h"

using namespace dbtest;
using namespace DataBase;

namespace {

std::string Box(const std::string& text) { return "*** Assert: *** " + text; }

// The name table must stay sorted, with every live atom's name mapped to it.
void ExpectTablesConsistent() {
    ASSERT_EQ(static_cast<size_t>(numStrings), idTab.size());
    ASSERT_EQ(static_cast<size_t>(numAtoms), atomTab.size());
    for (size_t i = 1; i < stringTab.size(); ++i) EXPECT_LT(CompareNames(stringTab[i - 1], stringTab[i]), 0);
    int32_t live = 0;
    for (int32_t id = 0; id < numAtoms; ++id) {
        atom* a = atomTab[static_cast<size_t>(id)];
        if (a == nothingAtom) continue;
        ++live;
        EXPECT_EQ(a->id(), id);
        EXPECT_EQ(GetAtom(a->name()), a);
    }
    EXPECT_EQ(live, numStrings);
}

}  // namespace

TEST(NameTable, FindStringAgreesWithLowerBoundOverCaseVariantsAndUnknownNames) {
    InitDataBase();
    std::mt19937 rnd(7);
    const std::string letters = "aAbBzZ09\xE4\xC4_";  // ä and Ä fold together
    auto randomName = [&] {
        std::string s;
        for (size_t n = 1 + rnd() % 4; n > 0; --n) s += letters[rnd() % letters.size()];
        return s;
    };
    std::vector<std::string> reference;  // one spelling per name, sorted without case
    auto less = [](const std::string& a, const std::string& b) { return CompareNames(a, b) < 0; };
    for (int i = 0; i < 400; ++i) {
        std::string name = randomName();
        auto it = std::lower_bound(reference.begin(), reference.end(), name, less);
        bool known = it != reference.end() && CompareNames(*it, name) == 0;
        int32_t before = numAtoms;
        atom* a = CreateAtom(name);
        EXPECT_EQ(numAtoms, known ? before : before + 1) << name;
        if (!known) reference.insert(it, name);
        EXPECT_EQ(a, GetAtom(Basic::UpperAscii(name))) << name;
    }
    EXPECT_EQ(std::vector<std::string>(stringTab.begin(), stringTab.end()), reference);
    for (int i = 0; i < 2000; ++i) {
        std::string q = randomName();
        int32_t pos = -1;
        bool found = FindString(q, pos);
        auto it = std::lower_bound(reference.begin(), reference.end(), q, less);
        EXPECT_EQ(std::pair(found, pos), std::pair(it != reference.end() && CompareNames(*it, q) == 0, int32_t(it - reference.begin()))) << q;
    }
    ExpectTablesConsistent();
    // Unknown names give nothing unless lookups create atoms; an empty name never does.
    int32_t atoms = numAtoms;
    EXPECT_EQ(GetAtom("naUnknown"), nothingAtom);
    createOnLookup = true;
    EXPECT_EQ(GetAtom("naNeu")->id(), atoms);
    EXPECT_EQ(GetAtom(""), nothingAtom);
    createOnLookup = false;
    EXPECT_EQ(numAtoms, atoms + 1);
    EXPECT_EQ(AtomById(-1), nothingAtom);
    EXPECT_EQ(AtomById(numAtoms), nothingAtom);
}

namespace {

// What adding these names leaves: the id and found flag of each add, then
// the table's names, ids and next id.
struct AddOutcome {
    std::vector<std::pair<int32_t, bool>> adds;
    std::vector<std::string> names;
    std::vector<int32_t> ids;
    int32_t next = 0;
    bool operator==(const AddOutcome&) const = default;
};

// Some names go in before (the loaded database), the rest one by one, in a
// batch or not; in a batch every name is looked up again before it ends.
AddOutcome AddNames(const std::vector<std::string>& before, const std::vector<std::string>& added, bool batch) {
    InitDataBase();
    for (const std::string& n : before) CreateAtom(n);
    AddOutcome o;
    {
        std::optional<NameBatch> b;
        if (batch) b.emplace();
        for (const std::string& n : added) {
            bool found = false;
            const int32_t id = n.size() % 2 ? AddString(n, found) : CreateAtom(n)->id();
            if (n.size() % 2 == 0) found = id < o.next;  // CreateAtom tells only by the id
            o.adds.emplace_back(id, found);
            o.next = std::max(o.next, id + 1);
        }
        for (const std::string& n : added)
            if (n.size() % 2 == 0) { EXPECT_EQ(GetAtom(n)->name(), CreateAtom(n)->name()) << n; }
    }
    o.names.assign(stringTab.begin(), stringTab.end());
    o.ids.assign(idTab.begin(), idTab.end());
    o.next = nextId;
    return o;
}

}  // namespace

TEST(NameTable, ABatchOfNewNamesEndsAsAddingThemOneByOne) {
    struct Case {
        const char* what;
        std::vector<std::string> before, added;
    };
    const std::vector<Case> cases{
        {"none added", {"naAnna", "naBert"}, {}},
        {"into an empty table", {}, {"naZora", "naAnna", "naMia"}},
        {"duplicates within the batch", {"naBert"}, {"naCleo", "naAda", "naCleo", "naAda", "naCleo"}},
        {"case variants of waiting and stored names", {"naBert"}, {"naCleo", "NACLEO", "nabert", "naCLEo"}},
        {"accented letters fold with their capitals", {"na\xC4mil"}, {"na\xE4mil", "na\xC9mile", "na\xE9mile", "na\xE9mila"}},
        {"accents sort after the plain letters", {"naEmil", "naZoe"}, {"na\xC9mil", "naEmma", "na\xE4sa", "naAsa"}},
        {"the empty name", {"naA"}, {"", "naB", ""}},
        {"names sharing long beginnings", {"naBenchAaaaUser"}, {"naBenchAaabUser", "naBenchAaaaUsers", "naBenchAaa", "naBenchAaabUser"}},
        {"before and after every stored name", {"naM", "naN"}, {"aa", "zz", "naMa", "naL", "naO", "naMz"}},
    };
    for (const Case& c : cases) {
        const AddOutcome oneByOne = AddNames(c.before, c.added, false);
        EXPECT_EQ(AddNames(c.before, c.added, true), oneByOne) << c.what;
    }
}

TEST(NameTable, ABatchJoinsTheTableWhenItIsNeededWhole) {
    InitDataBase();
    atom* bert = CreateAtom("naBert");
    NameBatch batch;
    atom* ada = CreateAtom("naAda");
    EXPECT_EQ(numStrings, 1);  // waiting beside the table
    int32_t pos = -1;
    ASSERT_TRUE(FindString("NAADA", pos));
    EXPECT_EQ(pos, 0);
    EXPECT_EQ(idTab[0], ada->id());
    atom* cleo = CreateAtom("naCleo");
    DeleteAtom(cleo);
    EXPECT_EQ(GetAtom("naCleo"), nothingAtom);
    EXPECT_EQ(std::vector<std::string>(stringTab.begin(), stringTab.end()), (std::vector<std::string>{"naAda", "naBert"}));
    EXPECT_EQ(GetAtom("nabert"), bert);
    // A new database drops what waited in the old one.
    CreateAtom("naDora");
    InitDataBase();
    EXPECT_EQ(GetAtom("naDora"), nothingAtom);
    atom* eva = CreateAtom("naEva");
    EXPECT_EQ(GetAtom("NAEVA"), eva);
    EXPECT_EQ(numStrings, 0);
}

TEST(NameTable, NothingIsNeverMadeARealAtom) {
    InitDataBase();
    createOnLookup = true;
    EXPECT_EQ(GetAtom("nothing"), nothingAtom);
    EXPECT_EQ(CreateAtom("NOTHING"), nothingAtom);
    createOnLookup = false;
    EXPECT_EQ(GetAtom("nothing"), nothingAtom);
    EXPECT_EQ(numAtoms, 0);
}

TEST(NameTable, RunTimeIdsStopBelowTheHelpMarks) {
    InitDataBase();
    char name[16];
    for (int32_t i = 0; i < kAtomIdLimit; ++i) {
        std::snprintf(name, sizeof name, "a%05d", static_cast<int>(i));  // ascending: appended
        CreateAtom(name);
    }
    EXPECT_EQ(CreateAtom("oneMore"), nothingAtom);
    EXPECT_EQ(Fakes().TakeAsserts(), std::vector<std::string>{Box("CreateAtom table full oneMore")});
    EXPECT_EQ(numAtoms + numStrings, 2 * kAtomIdLimit);
}

TEST(DeleteAtom, KeepsEveryInvariant) {
    BuildSmallDb();
    atom* gn = GetAtom("gnAnna");
    int32_t id = gn->id(), atoms = numAtoms, strings = numStrings;
    Prop* genName = GetAtom("naAnna")->FirstProp(prGenName);
    Prop* both = GetAtom("naPeter")->FirstProp(prComment);
    DeleteAtom(gn);
    EXPECT_EQ(AtomById(id), nothingAtom);
    EXPECT_EQ(GetAtom("gnAnna"), nothingAtom);
    EXPECT_EQ(numAtoms - numStrings, atoms - strings + 1);
    EXPECT_EQ(gn->NumProp(), 5);  // the object lives on
    // A link to it becomes an empty string; one with both values is left as it is.
    EXPECT_EQ(std::tuple(int(genName->kind()), genName->strVal(), genName->atomVal()), std::tuple(1, "", nothingAtom));
    EXPECT_EQ(both->kind(), 2);
    ExpectTablesConsistent();
    // A new atom of that name gets a new id; the old object deletes nothing.
    atom* again = CreateAtom("GNANNA");
    EXPECT_EQ(again->id(), atoms);
    DeleteAtom(gn);
    DeleteAtom(nothingAtom);
    EXPECT_EQ(Fakes().TakeAsserts(), (std::vector<std::string>{Box("DeleteAtom gnAnna"), Box("DeleteAtom nothing")}));
    EXPECT_EQ(GetAtom("gnAnna"), again);
    ExpectTablesConsistent();
    CountKinds();
    EXPECT_EQ(numAllGenNames, 1);  // the deleted group counts no more
}

TEST(Names, MakeAtomIdentGivesIdentifiersTheUserFileReads) {
    const std::pair<std::string, std::string> rows[] = {
        {"Anna-Lena", "AnnaLena"},    {"Jürgen"_cp, "Juergen"},          {"der Stein", "Stein"},
        {"maria del carmen", "MariaDelCarmen"},                           {"Strauß"_cp, "Strauss"},
        {"O'Brien", "OBrien"},        {"æsa"_cp, "Aesa"},                 {"Zoë Œuvre"_cp, "ZoeOeuvre"},
        {"Þór"_cp, "Thor"},           {"«Ève» 2"_cp, "Eve2"},             {"!!!", "Name"},
        {"", "Name"},                 {"Die ", "Name"},
    };
    for (const auto& [text, ident] : rows) EXPECT_EQ(MakeAtomIdent(text), ident) << text;
    const std::regex ident("[A-Za-z0-9]+");
    for (int c = 0; c < 256; ++c)
        EXPECT_TRUE(std::regex_match(MakeAtomIdent(std::string("a") + static_cast<char>(c) + "b"), ident)) << c;
}

TEST(Names, UniqueNamesNeverCollideSilently) {
    InitDataBase();
    EXPECT_EQ(MakeUniqueAtomName("na", "Strauß"_cp, "User"), "naStraussUser");
    CreateAtom("NASTRAUSSUSER");
    EXPECT_EQ(MakeUniqueAtomName("na", "Strauss", "User"), "naStrauss2User");
    CreateAtom("naStrauss2User");
    EXPECT_EQ(MakeUniqueAtomName("na", "Strauß"_cp, "User"), "naStrauss3User");
    EXPECT_EQ(MakeUniqueAtomName("gn", "Strauß"_cp, "User"), "gnStraussUser");
}

TEST(Props, FindOrCreateSharesOnlyRegisteredEqualValues) {
    InitDataBase();
    atom* k = A("prText");
    Prop* first = FindOrCreateProp(k, nullptr, "same", true);
    EXPECT_EQ(FindOrCreateProp(k, nullptr, "same", true), first);
    EXPECT_NE(FindOrCreateProp(k, nullptr, "same", false), first);
    EXPECT_NE(FindOrCreateProp(k, nullptr, "Same", true), first);
    Prop* link = FindOrCreateProp(k, A("naV"), "", true);
    EXPECT_EQ(FindOrCreateProp(k, A("naV"), "", true), link);
    EXPECT_EQ(propTab[static_cast<size_t>(link->id())], link);
}

TEST(Derivations, NewAtomsFromTheUserFile) {
    BuildSmallDb();
    int32_t start = numAtoms;
    atom* de = GetAtom("laGerman");
    Add("gnNeuUser", {{"prText", "Neu"}, {"prSubsetOf", "@seMaleNames"}});
    // The same language twice: one mirror.
    Add("naNeuUser", {{"prText", "Neu"}, {"prGenName", "@gnNeuUser"}, {"prLang", "@laGerman"},
                      {"prLang", "@laEnglish"}, {"prLang", "@laLatin"}, {"prLang", "@laGerman"}});
    atom* name = GetAtom("naNeuUser");
    int deProps = de->NumProp();
    CompleteAtoms(start), EvalKinds(start), CountVariants(start), AddLangOfProps(start), CountKinds();
    EXPECT_EQ(GetAtom("gnNeuUser")->kind(), 2);
    EXPECT_EQ(GetAtom("gnNeuUser")->numVariants, 0);  // a group without variants
    EXPECT_EQ(name->Level(), 7);
    for (const char* l : {"laGerman", "laEnglish", "laLatin"}) EXPECT_TRUE(GetAtom(l)->HasProp(prLangOf, name)) << l;
    EXPECT_EQ(de->NumProp(), deProps + 1);
    EXPECT_EQ(numAllMale + numAllMaleGen, 4);
}

TEST(Languages, ComboEntriesAndFamilies) {
    BuildSmallDb();
    TextConstants::textLanguage = 1;
    std::vector<LangComboItem> items = FillLangCombo(true, true);
    std::string texts;
    for (const auto& i : items) texts += i.text + "|";
    // Sorted by the texts of the moment the tables were built.
    EXPECT_EQ(texts, "(undefined)|Deutsch|____________|Deutsch|Englisch|Latein|");
    EXPECT_EQ(GetComboLang(items[5].itemData), GetAtom("laLatin"));
    EXPECT_EQ(GetComboLang(99), nothingAtom);
    TextConstants::textLanguage = 0;
    // Families: deepest first, the language last; cycles and shared
    // sub-languages are walked once.
    atom *la = GetAtom("laLatin"), *de = GetAtom("laGerman"), *en = GetAtom("laEnglish");
    CollectLangFamily(la);
    EXPECT_EQ(subLangs, (std::vector<atom*>{de, la}));
    Rel(la, "prSubset", en);
    Rel(en, "prSubset", de);
    Rel(de, "prSubset", la);                 // a cycle
    Rel(de, "prSubset", GetAtom("naAnna"));  // not a language: skipped
    CollectLangFamily(la);
    EXPECT_EQ(subLangs, (std::vector<atom*>{de, en, la}));
    EXPECT_EQ(numSubLangs, 3);
}

TEST(Sorting, StableSortByTextAndByKey) {
    InitDataBase();
    std::vector<atom*> arr;
    const char* texts[] = {"delta", "Alpha", "\xC4rger", "charlie", "alphaz", "Bravo", "Zulu", "x"};
    for (const char* t : texts) {
        atom* a = A("a" + std::to_string(arr.size()));
        Str(a, "prText", t);
        a->sortKey() = std::string(1, static_cast<char>('z' - arr.size()));
        arr.push_back(a);
    }
    InitPropKinds();
    CompleteAtoms(0);
    std::vector<atom*> all = arr;
    SortAtomsByText(all, static_cast<int>(all.size()));
    std::string got;
    for (atom* a : all) got += a->Text() + " ";
    EXPECT_EQ(got, "Alpha alphaz \xC4rger Bravo charlie delta x Zulu ");
    all = arr;
    SortAtomsBySortKey(all, 5);  // only the first five
    EXPECT_EQ((std::vector<atom*>{all[0], all[4], all[5]}), (std::vector<atom*>{arr[4], arr[0], arr[5]}));
    // Equal keys (without case) keep their order.
    for (atom* a : arr) a->sortKey() = "same";
    arr[2]->sortKey() = "SAME";
    arr[5]->sortKey() = "a";
    all = arr;
    SortAtomsBySortKey(all, static_cast<int>(all.size()));
    EXPECT_EQ(all, (std::vector<atom*>{arr[5], arr[0], arr[1], arr[2], arr[3], arr[4], arr[6], arr[7]}));
}

TEST(Strings, SplitHelpers) {
    std::string l, r, s = "plain";
    SplitAt("X", "abxcd", l, r);  // without case
    EXPECT_EQ(l + "|" + r, "ab|cd");
    SplitAt("/", "none", l, r);
    EXPECT_EQ(l + "|" + r, "none|");
    EXPECT_EQ(SplitFirstComma(s) + "|" + s, "plain|");
}

TEST(FreeTexts, KeysAndReasonsByIdStayWhereTheyAreAsHigherIdsAskForTheirs) {
    InitDataBase();
    std::vector<atom*> atoms;
    for (int i = 0; i < 3000; ++i) atoms.push_back(A("naF" + std::to_string(i)));
    atom* low = atoms[3];
    atom* high = atoms[2900];
    // Never asked for: empty, for both kinds of text, and nothing is made.
    EXPECT_EQ(std::as_const(*high).sortKey(), "");
    EXPECT_EQ(std::as_const(*high).reason(), "");
    low->reason() = "low";
    const std::string* kept = &low->reason();
    // The higher id's text made on the left of the assignment must not move
    // the lower one read on its right, nor the reverse.
    high->reason() = low->reason();
    atoms[1500]->sortKey() = high->reason();
    EXPECT_EQ(&low->reason(), kept);
    const struct {
        atom* a;
        std::string key, reason;
    } cases[] = {{low, "", "low"}, {high, "", "low"}, {atoms[1500], "low", ""}, {atoms[1024], "", ""}, {atoms[2047], "", ""}};
    for (const auto& c : cases) {
        EXPECT_EQ(std::as_const(*c.a).sortKey(), c.key) << c.a->name();
        EXPECT_EQ(std::as_const(*c.a).reason(), c.reason) << c.a->name();
    }
    // A new database starts with none.
    InitDataBase();
    atom* again = A("naAgain");
    EXPECT_EQ(std::as_const(*again).reason(), "");
}
