// The atom and property records: texts, iteration, derivations.
#include "DbTestUtil.h"
#include "Fakes.h"
#include "Parser.h"
#include "TextConstants.h"

using namespace dbtest;
using namespace DataBase;

namespace {
std::vector<std::string> Asserts() { return Fakes().TakeAsserts(); }
std::string Box(const std::string& text) { return "*** Assert: *** " + text; }
}  // namespace

TEST(Atom, PropertiesStayWithinTheirArray) {
    InitDataBase();
    atom* a = A("naA");
    Prop* p = FindOrCreateProp(A("prText"), nullptr, "A", true);
    for (int i = 0; i < 15; ++i) a->AddProp(p);
    a->SetPropAlloc(3);  // never below what it holds
    EXPECT_EQ(Asserts(), std::vector<std::string>{Box("SetPropAlloc 3")});
    EXPECT_EQ(a->NumProp(), 15);
    EXPECT_EQ(a->GetProp(14), p);
    EXPECT_EQ(a->GetProp(15), nullptr);
    EXPECT_EQ(Asserts(), std::vector<std::string>{Box("MaxProp")});
    nothingAtom->AddProp(p);  // the "nothing" atom never gets properties
    EXPECT_EQ(Asserts(), std::vector<std::string>{Box("AddProp nothing")});
    EXPECT_EQ(nothingAtom->NumProp(), 0);
}

TEST(Atom, TextAndDescriptionFallBackAndFollowTheTextLanguage) {
    InitDataBase();
    atom* a = A("laGerman");
    EXPECT_EQ(a->Text(), "(laGerman)");
    EXPECT_EQ(a->Descr(), "((laGerman))");
    Add("laGerman", {{"prText", "Deutsch"}, {"prTextE", "German"}, {"prDescr", "Sprache"}});
    InitPropKinds();
    TextConstants::textLanguage = 1;
    a->SetTextAndDescr();
    EXPECT_EQ(a->Text(), "German");
    EXPECT_EQ(a->Descr(), "Sprache");  // no English description: the German one
    TextConstants::textLanguage = 0;
    a->SetTextAndDescr();
    EXPECT_EQ(a->Text(), "Deutsch");
    // The indexes stay while the properties go (a record read again from a
    // text file): an index beyond them counts as none.
    a->DelAllProp();
    EXPECT_EQ(a->Text(), "(laGerman)");
    EXPECT_EQ(a->Descr(), "((laGerman))");
}

TEST(Atom, KeysLoseTheArticleOnlyBeforeABlank) {
    const std::pair<const char*, const char*> rows[] = {
        {"Der Stein", "STEIN"},        {"die Linde", "LINDE"}, {"The Rose", "ROSE"}, {"to be", "BE"},
        {"Theo Anton", "THEO ANTON"}, {"Dervish", "DERVISH"}, {"Das", "DAS"},
    };
    for (const auto& [text, upper] : rows) {
        InitDataBase();
        atom* a = A("naX");
        Str(a, "prText", text);
        InitPropKinds();
        a->SetTextAndDescr();
        EXPECT_EQ(a->Uppercase(), upper) << text;
        std::string sound = Parser::MakeSoundKey(text);
        if (std::string(upper) != Parser::MakeUpperKey(text)) sound = sound.substr(sound.find(' ') + 1);
        EXPECT_EQ(a->Soundex(), sound) << text;
    }
}

TEST(Atom, KindsFromSetsAndGroups) {
    InitDataBase();
    Add("gnPaul", {{"prSubsetOf", "@seMaleNames"}});
    Add("gnOdd", {{"prSubsetOf", "@seFemaleNames"}, {"prSubsetOf", "@seOther"}});  // a later unrelated set changes nothing
    Add("naPaul", {{"prGenName", "@gnPaul"}});
    Add("xWL", {{"prMemberOf", "@seWords"}, {"prMemberOf", "@seLanguages"}});
    Add("xLW", {{"prMemberOf", "@seLanguages"}, {"prMemberOf", "@seWords"}});
    Add("naOrphan", {{"prGenName", "@seWords"}});  // its text is not set yet: the name stands in
    InitPropKinds();
    EvalKinds(0);
    std::vector<int> kinds;
    for (const char* n : {"gnPaul", "gnOdd", "naPaul", "xWL", "xLW", "naOrphan"}) kinds.push_back(GetAtom(n)->kind());
    EXPECT_EQ(kinds, (std::vector<int>{2, 3, 0, 8, 7, 99}));
    EXPECT_EQ(Asserts(), std::vector<std::string>{Box("(naOrphan): male/female")});
    EXPECT_EQ(nothingAtom->kind(), 31999);  // never evaluated
}

TEST(Atom, CompleteCopiesInheritablePropertiesOnceAndSetsTheLevel) {
    InitDataBase();
    Add("naMaria", {{"prText", "Maria"}, {"prLevel", "2.5"}, {"prSecret", "own"}, {"prSaint", "@saMary"}});
    Str(A("prSecret"), "prNotInherited", "");
    atom* variant = A("xMarija");  // no "na" prefix
    Add("xMarija", {{"prText", "Marija"}, {"prWriteVarOf", "@naMaria"}, {"prSaint", "@saMary"}});
    atom* self = A("naSelf");
    Rel(self, "prWriteVarOf", self);
    atom* plain = A("xPlain");
    InitPropKinds();
    CompleteAtoms(0);
    EXPECT_EQ(GetAtom("naMaria")->Level(), 2);  // halves to even
    EXPECT_EQ(variant->Level(), 2);             // the copied prLevel
    // Its own three, then text and level; not the secret, and the saint once.
    EXPECT_EQ(variant->NumProp(), 5);
    EXPECT_EQ(variant->CountProps(prSaint), 1);
    EXPECT_EQ(variant->Text(), "Marija");
    EXPECT_EQ(plain->Level(), 99);
    EXPECT_EQ(self->NumProp(), 1);  // copying onto itself adds nothing
}

TEST(Prop, KindsAndSame) {
    InitDataBase();
    atom* k = A("prK");
    atom* v = A("naV");
    Prop* s = FindOrCreateProp(k, nullptr, "Text", true);
    EXPECT_TRUE(s->Same(k, v, "Text"));  // a string property compares only its string
    EXPECT_FALSE(s->Same(k, nullptr, "text"));
    EXPECT_FALSE(FindOrCreateProp(k, v, "x", true)->Same(k, v, "y"));
    Prop* link = FindOrCreateProp(k, v, "", false);
    EXPECT_EQ(std::pair(int(link->kind()), link->id()), std::pair(0, -1));  // outside the table
    s->setAtomVal(v);  // a value of the wrong kind is reported
    EXPECT_EQ(Asserts(), std::vector<std::string>{Box("prop atomVal")});
}

TEST(Prop, KeepsTextsOfEveryLengthAndItsKindAtomOnceDeleted) {
    InitDataBase();
    atom* holder = CreateAtom("naHolder");
    atom* kind = CreateAtom("naKind");
    // Across the lengths a property stores in place and those kept with
    // their length in front (none of the database file's is that long).
    for (size_t n : {size_t{0}, size_t{1}, size_t{65534}, size_t{65535}, size_t{70000}}) {
        const std::string text(n, 'x');
        Prop* p = FindOrCreateProp(kind, nullptr, text, true);
        EXPECT_EQ(p->strVal(), text) << n;
        p->setStrVal("short");
        EXPECT_EQ(p->strVal(), "short") << n;
        holder->AddProp(p);
    }
    // A deleted atom lives on as the kind of the properties that have it.
    DeleteAtom(kind);
    EXPECT_EQ(holder->props().front()->proper(), kind);
    EXPECT_EQ(holder->CountProps(kind), 5);
    EXPECT_EQ(holder->FirstProp(CreateAtom("naUnused")), nullptr);
    EXPECT_TRUE(Asserts().empty());
}

TEST(Atom, IsLangComparesTheFirstLanguageInTheTextLanguage) {
    InitDataBase();
    Add("laEnglish", {{"prText", "Englisch"}, {"prTextE", "English"}});
    Add("laGerman", {{"prText", "Deutsch"}, {"prTextE", "German"}});
    atom* a = A("naJohn");
    Add("naJohn", {{"prLang", "@laEnglish"}, {"prLang", "@laGerman"}});
    atom* none = A("naNone");
    InitPropKinds();
    CompleteAtoms(0);
    EXPECT_TRUE(a->IsLang(true));
    EXPECT_FALSE(a->IsLang(false));
    EXPECT_FALSE(a->isOptionsLang());  // German texts: is the first "Deutsch"?
    EXPECT_FALSE(none->IsLang(true));
    TextConstants::textLanguage = 1;
    CompleteAtoms(0);
    EXPECT_TRUE(a->isOptionsLang());
}
