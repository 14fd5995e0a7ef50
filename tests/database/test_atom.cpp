// The atom and property records: allocation, texts, iteration, derivations.
#include <array>

#include "DbInternal.h"
#include "DbTestUtil.h"
#include "Parser.h"
#include "Fakes.h"
#include "TextConstants.h"

using namespace dbtest;
using namespace DataBase;

namespace {

std::vector<std::string> Asserts() { return Fakes().TakeAsserts(); }
std::string Box(const std::string& text) { return "*** Assert: *** " + text; }

}  // namespace

TEST(Atom, PropertyArrayGrowsBySevenAndKeepsEveryProperty) {
    InitDataBase();
    atom* a = A("naA");
    Prop* p = FindOrCreateProp(A("prText"), nullptr, "A", true);
    std::vector<int> allocs;
    for (int i = 1; i <= 15; ++i) {
        a->AddProp(p);
        allocs.push_back(a->propAlloc());
    }
    EXPECT_EQ(allocs[0], 7);
    EXPECT_EQ(allocs[7], 14);
    EXPECT_EQ(allocs[14], 21);

    a->SetPropAlloc(3);
    EXPECT_EQ(Asserts(), std::vector<std::string>{Box("SetPropAlloc 3")});
    EXPECT_EQ(a->NumProp(), 15);
    EXPECT_GE(a->propAlloc(), 15);
    EXPECT_EQ(a->GetProp(15), nullptr);
    EXPECT_EQ(Asserts(), std::vector<std::string>{Box("MaxProp")});
    EXPECT_EQ(a->GetProp(14), p);

    a->DelAllProp();
    EXPECT_EQ(a->NumProp(), 0);
    EXPECT_GE(a->propAlloc(), 15);

    nothingAtom->AddProp(p);  // the "nothing" atom never gets properties
    EXPECT_EQ(Asserts(), std::vector<std::string>{Box("AddProp nothing")});
    EXPECT_EQ(nothingAtom->NumProp(), 0);
}

TEST(Atom, TextAndDescriptionFallBackAndStayWithinTheProperties) {
    InitDataBase();
    atom* a = A("naOhne");
    EXPECT_EQ(a->Text(), "(naOhne)");
    EXPECT_EQ(a->Descr(), "((naOhne))");
    EXPECT_EQ(nothingAtom->Text(), "(nothing)");
    Str(a, "prText", "Ohne");
    Str(a, "prDescr", "Kurz");
    InitPropKinds();
    a->SetTextAndDescr();
    EXPECT_EQ(a->Text(), "Ohne");
    EXPECT_EQ(a->Descr(), "Kurz");
    // The indexes stay while the properties go (a record read again from a
    // text file): an index beyond them counts as none.
    a->DelAllProp();
    EXPECT_EQ(a->textIdx(), 0);
    EXPECT_EQ(a->Text(), "(naOhne)");
    EXPECT_EQ(a->Descr(), "((naOhne))");
}

TEST(Atom, IterationCursor) {
    InitDataBase();
    atom* a = A("naIt");
    atom* k = A("prX");
    atom* other = A("prY");
    for (int i = 0; i < 6; ++i) Str(a, i % 2 ? "prX" : "prY", std::to_string(i));
    Prop* p = nullptr;
    a->setPos(1);
    EXPECT_FALSE(a->GetFirstProp(nullptr, p));
    EXPECT_EQ(a->getPos(), 1);  // no kind: the cursor is left alone

    std::vector<std::string> seen;
    for (bool f = a->GetFirstProp(k, p); f; f = a->GetNextProp(k, p)) seen.push_back(p->strVal() + "@" + std::to_string(a->getPos()));
    EXPECT_EQ(seen, (std::vector<std::string>{"1@1", "3@3", "5@5"}));
    EXPECT_EQ(a->getPos(), a->NumProp() - 1);
    EXPECT_EQ(p->strVal(), "5");  // the last property examined

    a->setPos(3);
    ASSERT_TRUE(a->GetNextProp(other, p));
    EXPECT_EQ(p->strVal(), "4");
    EXPECT_EQ(a->FirstProp(other)->strVal(), "0");
    EXPECT_EQ(a->CountProps(k), 3);
}

TEST(Atom, KeysLoseTheArticleOnlyBeforeABlank) {
    struct Row {
        const char* text;
        const char* upper;
    };
    const Row rows[] = {
        {"Der Stein", "STEIN"}, {"die Linde", "LINDE"}, {"The Rose", "ROSE"}, {"to be", "BE"},
        {"Theo Anton", "THEO ANTON"}, {"Dervish", "DERVISH"}, {"Tom", "TOM"}, {"Das", "DAS"},
    };
    for (const Row& r : rows) {
        InitDataBase();
        atom* a = A("naX");
        Str(a, "prText", r.text);
        InitPropKinds();
        a->SetTextAndDescr();
        EXPECT_EQ(a->Uppercase(), r.upper) << r.text;
        std::string sound = Parser::MakeSoundKey(r.text);
        if (std::string(r.upper) != Parser::MakeUpperKey(r.text))
            EXPECT_EQ(a->Soundex(), sound.substr(sound.find(' ') + 1)) << r.text;
        else
            EXPECT_EQ(a->Soundex(), sound) << r.text;
    }
}

TEST(Atom, EnglishTextsComeFromTheEnglishPropertiesWhenThereAreAny) {
    InitDataBase();
    atom* a = A("laGerman");
    Str(a, "prText", "Deutsch");
    Str(a, "prTextE", "German");
    Str(a, "prDescr", "Sprache");
    InitPropKinds();
    TextConstants::textLanguage = 1;
    a->SetTextAndDescr();
    EXPECT_EQ(a->Text(), "German");
    EXPECT_EQ(a->Descr(), "Sprache");
    TextConstants::textLanguage = 0;
    a->SetTextAndDescr();
    EXPECT_EQ(a->Text(), "Deutsch");
}

TEST(Atom, KindsFromSetsAndGroups) {
    InitDataBase();
    atom* male = A("gnPaul");
    Rel(male, "prSubsetOf", A("seMaleNames"));
    atom* odd = A("gnOdd");
    Str(odd, "prText", "Odd");
    Rel(odd, "prSubsetOf", A("seFemaleNames"));
    Rel(odd, "prSubsetOf", A("seOther"));  // a later unrelated set changes nothing
    atom* name = A("naPaul");
    Rel(name, "prGenName", male);
    atom* wordThenLang = A("xWL");
    Rel(wordThenLang, "prMemberOf", A("seWords"));
    Rel(wordThenLang, "prMemberOf", A("seLanguages"));
    atom* langThenWord = A("xLW");
    Rel(langThenWord, "prMemberOf", A("seLanguages"));
    Rel(langThenWord, "prMemberOf", A("seWords"));
    atom* orphan = A("naOrphan");  // its text is not set yet: the name stands in
    Rel(orphan, "prGenName", A("seWords"));
    InitPropKinds();
    EvalKinds(0);
    EXPECT_EQ(male->kind(), 2);
    EXPECT_EQ(odd->kind(), 3);
    EXPECT_EQ(name->kind(), 0);
    EXPECT_EQ(wordThenLang->kind(), 8);
    EXPECT_EQ(langThenWord->kind(), 7);
    EXPECT_EQ(orphan->kind(), 99);
    EXPECT_EQ(Asserts(), std::vector<std::string>{Box("(naOrphan): male/female")});
    EXPECT_EQ(nothingAtom->kind(), 31999);  // never evaluated

    // Colours by kind: entries of the options table, black for the rest.
    const std::array<int, 15> kinds{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 99, 31999};
    const std::array<int, 15> entries{1, 0, 1, 0, 2, -1, 6, 3, 4, 5, 6, 6, 6, -1, -1};
    std::array<uint32_t, 11> table{};
    for (uint32_t i = 0; i < 11; ++i) table[i] = 100 + i;
    for (size_t i = 0; i < kinds.size(); ++i) {
        InitDataBase();
        atom* a = A("x");
        DataBase::BinAccess::SetDerived(*a, static_cast<int16_t>(kinds[i]), 0, 0, 0, 0, "", "");
        EXPECT_EQ(a->ColorEntry(), entries[i]) << kinds[i];
        EXPECT_EQ(a->Color(table), entries[i] < 0 ? 0u : 100u + static_cast<uint32_t>(entries[i]));
        EXPECT_EQ(a->bold(), kinds[i] == 2 || kinds[i] == 3);
    }
}

TEST(Atom, CompleteCopiesInheritablePropertiesAndSetsTheLevel) {
    InitDataBase();
    atom* main = A("naMaria");
    Str(main, "prText", "Maria");
    Str(main, "prLevel", "2.5");
    Str(main, "prSecret", "own");
    Str(A("prSecret"), "prNotInherited", "");
    atom* variant = A("xMarija");  // no "na" prefix
    Str(variant, "prText", "Marija");
    Rel(variant, "prWriteVarOf", main);
    atom* saint = A("saMary");
    Rel(main, "prSaint", saint);
    Rel(variant, "prSaint", saint);  // said of both spellings
    atom* plain = A("xPlain");
    atom* group = A("gnX");
    atom* self = A("naSelf");
    Rel(self, "prWriteVarOf", self);
    InitPropKinds();
    CompleteAtoms(0);
    EXPECT_EQ(main->Level(), 2);  // halves to even
    EXPECT_EQ(variant->Level(), 2);  // the copied prLevel
    // Its own three, then text and level; not the secret, and the saint once.
    EXPECT_EQ(variant->NumProp(), 5);
    EXPECT_EQ(variant->CountProps(DataBase::prSaint), 1);
    EXPECT_EQ(variant->Text(), "Marija");
    EXPECT_EQ(plain->Level(), 99);
    EXPECT_EQ(group->Level(), 7);
    EXPECT_EQ(self->NumProp(), 1);  // copying onto itself adds nothing
}

TEST(Prop, InitialisersSettersAndSame) {
    InitDataBase();
    atom* k = A("prK");
    atom* v = A("naV");
    Prop* s = FindOrCreateProp(k, nullptr, "Text", true);
    EXPECT_EQ(s->kind(), 1);
    EXPECT_EQ(s->atomVal(), nothingAtom);
    EXPECT_EQ(s->id(), 0);
    EXPECT_TRUE(s->Same(k, v, "Text"));  // a string property compares only its string
    EXPECT_FALSE(s->Same(k, nullptr, "text"));
    EXPECT_FALSE(s->Same(v, nullptr, "Text"));
    Prop* both = FindOrCreateProp(k, v, "x", true);
    EXPECT_EQ(both->kind(), 2);
    EXPECT_TRUE(both->Same(k, v, "x"));
    EXPECT_FALSE(both->Same(k, v, "y"));
    Prop* link = FindOrCreateProp(k, v, "", false);
    EXPECT_EQ(link->kind(), 0);
    EXPECT_EQ(link->id(), -1);
    EXPECT_EQ(numProps, 2);

    s->setAtomVal(v);
    link->setStrVal("z");
    link->setKind(5);
    EXPECT_EQ(Asserts(), (std::vector<std::string>{Box("prop atomVal"), Box("prop strVal"), Box("prop kind")}));
    EXPECT_EQ(link->kind(), 5);  // stored all the same
    EXPECT_EQ(link->strVal(), "z");
}

TEST(Atom, IsLangComparesTheFirstLanguageInTheTextLanguage) {
    InitDataBase();
    atom* en = A("laEnglish");
    Str(en, "prText", "Englisch");
    Str(en, "prTextE", "English");
    atom* de = A("laGerman");
    Str(de, "prText", "Deutsch");
    Str(de, "prTextE", "German");
    atom* a = A("naJohn");
    Rel(a, "prLang", en);
    Rel(a, "prLang", de);
    atom* none = A("naNone");
    InitPropKinds();
    CompleteAtoms(0);
    EXPECT_TRUE(a->IsLang(true));
    EXPECT_FALSE(a->IsLang(false));
    EXPECT_FALSE(a->isOptionsLang());  // German texts: is the first "Deutsch"?
    EXPECT_FALSE(none->IsLang(true));
    TextConstants::textLanguage = 1;
    CompleteAtoms(0);
    EXPECT_TRUE(a->IsLang(true));
    EXPECT_TRUE(a->isOptionsLang());
}
