// The database tables: the name table, lookups, deletion, internal names,
// shared properties, derivations, languages, sorting and string helpers.
#include <algorithm>
#include <random>
#include <regex>

#include "DbTestUtil.h"
#include "Fakes.h"
#include "TextConstants.h"

using namespace dbtest;
using namespace DataBase;

namespace {

std::string Box(const std::string& text) { return "*** Assert: *** " + text; }

// The name table must stay sorted, with every live atom's name mapped to it.
void ExpectTablesConsistent() {
    ASSERT_EQ(static_cast<size_t>(numStrings), stringTab.size());
    ASSERT_EQ(stringTab.size(), idTab.size());
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

TEST(NameTable, FindStringAgreesWithLowerBoundOverCaseVariants) {
    InitDataBase();
    std::mt19937 rnd(7);
    const std::string letters = "aAbBzZ09\xE4\xC4_";  // ä and Ä fold together
    auto randomName = [&] {
        std::string s;
        size_t n = 1 + rnd() % 4;
        for (size_t i = 0; i < n; ++i) s += letters[rnd() % letters.size()];
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
    EXPECT_EQ(stringTab, reference);
    for (int i = 0; i < 2000; ++i) {
        std::string q = randomName();
        int32_t pos = -1;
        bool found = FindString(q, pos);
        auto it = std::lower_bound(reference.begin(), reference.end(), q, less);
        EXPECT_EQ(pos, it - reference.begin()) << q;
        EXPECT_EQ(found, it != reference.end() && CompareNames(*it, q) == 0) << q;
    }
    ExpectTablesConsistent();
    int32_t pos = 7;
    InitDataBase();
    EXPECT_FALSE(FindString("x", pos));
    EXPECT_EQ(pos, 0);
}

TEST(NameTable, UnknownNamesGiveNothingUnlessCreatingOnLookup) {
    BuildSmallDb();
    int32_t atoms = numAtoms;
    EXPECT_EQ(GetAtom("nothing"), nothingAtom);
    EXPECT_EQ(GetAtom("naUnknown"), nothingAtom);
    EXPECT_EQ(GetAtom("NAANNA"), GetAtom("naAnna"));
    EXPECT_EQ(numAtoms, atoms);
    createOnLookup = true;
    atom* a = GetAtom("naNeu");
    EXPECT_EQ(a->id(), atoms);
    EXPECT_EQ(GetAtom("NANEU"), a);
    EXPECT_EQ(GetAtom(""), nothingAtom);  // no atom without a name
    EXPECT_EQ(numAtoms, atoms + 1);
    EXPECT_EQ(CreateAtom("naneu"), a);  // never a second atom for one name
    EXPECT_EQ(numAtoms, atoms + 1);
    createOnLookup = false;
    EXPECT_EQ(AtomById(-1), nothingAtom);
    EXPECT_EQ(AtomById(numAtoms), nothingAtom);
    ExpectTablesConsistent();
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
    EXPECT_EQ(numAtoms, kAtomIdLimit);
    EXPECT_EQ(numStrings, kAtomIdLimit);
}

TEST(DeleteAtom, KeepsEveryInvariant) {
    BuildSmallDb();
    atom* gn = GetAtom("gnAnna");
    atom* na = GetAtom("naAnna");
    int32_t id = gn->id();
    int32_t atoms = numAtoms, strings = numStrings;
    Prop* genName = na->FirstProp(prGenName);
    Prop* both = GetAtom("naPeter")->FirstProp(prComment);
    Prop* unregistered = FindOrCreateProp(prGenName, gn, "", false);
    DeleteAtom(gn);

    EXPECT_EQ(AtomById(id), nothingAtom);
    EXPECT_EQ(GetAtom("gnAnna"), nothingAtom);
    EXPECT_EQ(numAtoms, atoms);
    EXPECT_EQ(nextId, atoms);
    EXPECT_EQ(numStrings, strings - 1);
    EXPECT_EQ(gn->name(), "gnAnna");  // the object lives on
    EXPECT_EQ(gn->NumProp(), 5);
    EXPECT_EQ(genName->kind(), 1);
    EXPECT_EQ(genName->strVal(), "");
    EXPECT_EQ(genName->atomVal(), nothingAtom);
    EXPECT_EQ(both->kind(), 2);  // left as it is
    EXPECT_EQ(both->atomVal(), gn);
    EXPECT_EQ(unregistered->kind(), 0);
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
    EXPECT_EQ(nothingAtom->kind(), 31999);
}

TEST(Names, MakeAtomIdentGivesIdentifiersTheUserFileReads) {
    struct Row {
        std::string text, ident;
    };
    const Row rows[] = {
        {"Anna-Lena", "AnnaLena"},
        {"Jürgen"_cp, "Juergen"},
        {"der Stein", "Stein"},
        {"maria del carmen", "MariaDelCarmen"},
        {"To be", "Be"},
        {"Strauß"_cp, "Strauss"},
        {"O'Brien", "OBrien"},
        {"Æsa"_cp, "Aesa"},
        {"æsa"_cp, "Aesa"},
        {"Šárka"_cp, "Sarka"},
        {"Zoë Œuvre"_cp, "ZoeOeuvre"},
        {"Þór"_cp, "Thor"},
        {"Jean-Luc, Jr.", "JeanLucJr"},
        {"«Ève» 2"_cp, "Eve2"},
        {"!!!", "Name"},
        {"", "Name"},
        {"Die ", "Name"},
    };
    const std::regex ident("[A-Za-z0-9]+");
    for (const Row& r : rows) {
        std::string got = MakeAtomIdent(r.text);
        EXPECT_EQ(got, r.ident) << r.text;
        EXPECT_TRUE(std::regex_match(got, ident)) << r.text;
    }
    for (int c = 0; c < 256; ++c) {
        std::string got = MakeAtomIdent(std::string("a") + static_cast<char>(c) + "b");
        EXPECT_TRUE(std::regex_match(got, ident)) << c;
    }
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

TEST(Props, FindOrCreateSharesAmongTheNewestHundred) {
    InitDataBase();
    atom* k = A("prText");
    atom* v = A("naV");
    Prop* first = FindOrCreateProp(k, nullptr, "same", true);
    EXPECT_EQ(FindOrCreateProp(k, nullptr, "same", true), first);
    EXPECT_NE(FindOrCreateProp(k, nullptr, "same", false), first);
    EXPECT_NE(FindOrCreateProp(k, nullptr, "Same", true), first);
    Prop* link = FindOrCreateProp(k, v, "", true);
    EXPECT_EQ(FindOrCreateProp(k, v, "", true), link);
    for (int i = 0; i < 97; ++i) FindOrCreateProp(k, nullptr, std::to_string(i), true);
    EXPECT_EQ(FindOrCreateProp(k, nullptr, "same", true), first);  // 100 back
    FindOrCreateProp(k, nullptr, "one more", true);
    Prop* fresh = FindOrCreateProp(k, nullptr, "same", true);
    EXPECT_NE(fresh, first);
    EXPECT_EQ(fresh->id(), numProps - 1);
    EXPECT_EQ(propTab[static_cast<size_t>(fresh->id())], fresh);
}

TEST(Derivations, NewAtomsFromTheUserFile) {
    BuildSmallDb();
    int32_t start = numAtoms;
    atom* de = GetAtom("laGerman");
    atom* en = GetAtom("laEnglish");
    atom* la = GetAtom("laLatin");
    createOnLookup = true;
    atom* group = GetAtom("gnNeuUser");
    atom* name = GetAtom("naNeuUser");
    createOnLookup = false;
    Str(group, "prText", "Neu");
    Rel(group, "prSubsetOf", seMaleNames);
    Str(name, "prText", "Neu");
    Rel(name, "prGenName", group);
    Rel(name, "prLang", de);
    Rel(name, "prLang", en);
    Rel(name, "prLang", la);
    Rel(name, "prLang", de);  // the same language twice: one mirror
    int deProps = de->NumProp();
    CompleteAtoms(start);
    EvalKinds(start);
    CountVariants(start);
    AddLangOfProps(start);
    CountKinds();
    EXPECT_EQ(group->kind(), 2);
    EXPECT_EQ(name->kind(), 0);
    EXPECT_EQ(group->numVariants, 0);  // a group without variants
    EXPECT_EQ(name->numVariants, 31999);
    EXPECT_EQ(name->Level(), 7);
    for (atom* l : {de, en, la}) EXPECT_TRUE(l->HasProp(prLangOf, name)) << l->name();
    EXPECT_EQ(de->NumProp(), deProps + 1);
    EXPECT_EQ(numAllMale, 2);
    EXPECT_EQ(numAllMaleGen, 2);
}

TEST(Languages, ComboEntriesAndFamilies) {
    BuildSmallDb();
    TextConstants::textLanguage = 1;
    std::vector<LangComboItem> items = FillLangCombo(true, true);
    std::vector<std::string> texts;
    for (const auto& i : items) texts.push_back(i.text);
    // Sorted by the texts of the moment the tables were built.
    EXPECT_EQ(texts, (std::vector<std::string>{"(undefined)", "Deutsch", "____________", "Deutsch",
                                               "Englisch", "Latein"}));
    EXPECT_EQ(GetComboLang(items[0].itemData), GetAtom("laGerman"));
    EXPECT_EQ(GetComboLang(items[2].itemData), GetAtom("laGerman"));
    EXPECT_EQ(GetComboLang(items[5].itemData), GetAtom("laLatin"));
    EXPECT_EQ(GetComboLang(99), nothingAtom);
    EXPECT_EQ(FillLangCombo(false, false).size(), 4u);
    EXPECT_EQ(langAbbrev[0], "dt.");
    TextConstants::textLanguage = 0;

    // Families: deepest first, the language last; cycles and shared
    // sub-languages are walked once.
    atom* la = GetAtom("laLatin");
    atom* de = GetAtom("laGerman");
    atom* en = GetAtom("laEnglish");
    CollectLangFamily(la);
    EXPECT_EQ(subLangs, (std::vector<atom*>{de, la}));
    Rel(la, "prSubset", en);
    Rel(en, "prSubset", de);
    Rel(de, "prSubset", la);  // a cycle
    Rel(de, "prSubset", GetAtom("naAnna"));  // not a language: skipped
    CollectLangFamily(la);
    EXPECT_EQ(subLangs, (std::vector<atom*>{de, en, la}));
    EXPECT_EQ(numSubLangs, 3);
    CollectLangFamily(nothingAtom);
    EXPECT_EQ(numSubLangs, 0);
}

TEST(Sorting, ShellSortByTextAndByKey) {
    InitDataBase();
    std::vector<atom*> arr;
    const char* texts[] = {"delta", "Alpha", "\xC4rger", "charlie", "alphaz", "Bravo", "echo",
                           "Zulu", "yankee", "x", "Whiskey", "victor", "Uniform", "tango"};
    for (int i = 0; i < 14; ++i) {
        atom* a = A("a" + std::to_string(i));
        Str(a, "prText", texts[i]);
        a->sortKey = std::string(1, static_cast<char>('z' - i));
        arr.push_back(a);
    }
    InitPropKinds();
    CompleteAtoms(0);
    std::vector<atom*> one{arr[0]};
    SortAtomsByText(one, 1);
    EXPECT_EQ(one[0], arr[0]);
    std::vector<atom*> two{arr[3], arr[1]};
    SortAtomsByText(two, 2);
    EXPECT_EQ(two[0], arr[1]);
    std::vector<atom*> all = arr;
    SortAtomsByText(all, 14);
    std::vector<std::string> got;
    for (atom* a : all) got.push_back(a->Text());
    EXPECT_EQ(got, (std::vector<std::string>{"Alpha", "alphaz", "\xC4rger", "Bravo", "charlie", "delta",
                                             "echo", "tango", "Uniform", "victor", "Whiskey", "x",
                                             "yankee", "Zulu"}));
    all = arr;
    SortAtomsBySortKey(all, 5);  // only the first five
    EXPECT_EQ(all[0], arr[4]);
    EXPECT_EQ(all[4], arr[0]);
    EXPECT_EQ(all[5], arr[5]);
}

TEST(Strings, SplitHelpers) {
    std::string l, r;
    SplitAt("/", "12/3", l, r);
    EXPECT_EQ(l + "|" + r, "12|3");
    SplitAt("X", "abxcd", l, r);
    EXPECT_EQ(l + "|" + r, "ab|cd");
    SplitAt("/", "none", l, r);
    EXPECT_EQ(l + "|" + r, "none|");
    std::string s = "a,b,c";
    EXPECT_EQ(SplitFirstComma(s), "a");
    EXPECT_EQ(s, "b,c");
    s = "plain";
    EXPECT_EQ(SplitFirstComma(s), "plain");
    EXPECT_EQ(s, "");
}
