// The engines of the three query windows on a small database: name
// conditions with their marks, the example ring, the language search and the
// full-text search.
#include <gtest/gtest.h>

#include "Atom.h"
#include "Cp1252.h"
#include "DataBase.h"
#include "Fakes.h"
#include "FullTextSearch.h"
#include "LangSearch.h"
#include "ListTestSupport.h"
#include "NameConditions.h"
#include "ResultSet.h"
#include "SearchInfo.h"
#include "Searches.h"
#include "TextConstants.h"

using Query::NameConditions;
using Query::Row;
using Query::Rows;

namespace {

std::vector<std::string> Lines(const ResultSet& rs) {
    std::vector<std::string> v;
    for (int32_t i = 0; i < rs.numLines(); ++i) v.push_back(rs.line(i) + "|" + rs.reason(i));
    return v;
}

class NameConditionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        TextConstants::textLanguage = 1;
        Searches::InitSearches();
        for (const char* n : {"Anna", "Ananas", "Aaa", "Aaaa", "Max", "Otto"}) db.Make(std::string("na") + n, 1, n);
        db.Make("naRenee", 1, "Ren\xe9" "e");
        db.Make("gnLone", 3, "Anna");  // a group: never a hit
        db.Make("naLong", 0, std::string(40, 'b'));
    }
    // The marks of one name under the rows, or "-" when it is no hit.
    std::string Marks(const std::string& name, const Rows& rows, bool andMode = true) {
        NameConditions nc;
        nc.SetRows(rows, andMode);
        return nc.TakeA(DataBase::GetAtom(name)) ? nc.marks() : "-";
    }
    TestDb db;
};

TEST_F(NameConditionsTest, MarksOfEachKindOfRow) {
    struct Case { std::string name; Rows rows; bool andMode; std::string marks; };
    const Case cases[] = {
        {"naAnna", {{{1, "an"}}}, true, "AN__"},
        {"naAnna", {{{2, "na"}}}, true, "__NA"},
        {"naAnna", {{{3, "nn"}}}, true, "_NN_"},
        {"naAnanas", {{{4, "ana"}}}, true, "ANANA_"},
        {"naAnna", {{{4, "nn"}}}, true, "-"},
        {"naMax", {{{4, "x"}}}, true, "-"},
        {"naAaa", {{{4, "aa"}}}, true, "-"},
        {"naAaaa", {{{4, "aa"}}}, true, "AAAA"},
        {"naAnna", {{{5, "x"}}}, true, "____"},
        {"naAnna", {{{5, "N"}}}, true, "-"},
        {"naAnna", {{{8, "a*a"}}}, true, "A__A"},
        {"naAnna", {{{8, "?nn?"}}}, true, "ANNA"},
        {"naAnna", {{{8, "*"}}}, true, "____"},
        // the pattern replaces the marks written before it
        {"naAnna", {{{9, "4"}, {8, "a*a"}}}, true, "A__A"},
        {"naAnna", {{{1, "an"}, {2, "xy"}}}, false, "AN__"},
        {"naAnna", {{{9, "4"}}}, true, " 4"},
        {"naAnna", {{{9, "4"}, {12, "2"}}}, true, " 4/ 2"},
        {"naAnna", {{{1, "an"}, {9, "4"}}}, true, "AN__/ 4"},
        {"naAnna", {{{10, " 4"}, {11, "4x"}}}, true, " 4/ 4"},   // the leading number counts
        {"naAnna", {{{9, "+4"}, {12, "+2"}}}, true, " 4/ 2"},    // with its sign
        {"naAnna", {{{17, ""}}}, true, "____"},
        {"naOtto", {{{17, ""}}}, true, "____"},
        {"naMax", {{{17, ""}}}, true, "-"},
        {"naRenee", {{{15, ""}}}, true, "_____"},
        {"naRenee", {{{16, ""}}}, true, "-"},
        {"naAnna", {{{7, "ana"}}}, true, "____"},      // distance 1
        {"naAnna", {{{7, "axa"}}}, true, "-"},         // distance 2 with a short argument
        {"naAnanas", {{{7, "anaxax"}}}, true, "______"},  // distance 2 with six letters
        {"naAnna", {{{6, "Ana"}}}, true, "____"},     // same sound key
        {"naMax", {{{6, "Ana"}}}, true, "-"},
        // incomplete rows are neutral: True under and, False under or
        {"naAnna", {{{1, ""}, {0, "an"}}}, true, "____"},
        {"naAnna", {{{1, ""}}}, false, "-"},
        {"gnLone", {}, true, "-"},
        {"naLong", {{{1, std::string(100, 'b')}}}, true, "-"},
        {"naLong", {{{1, std::string(40, 'b')}, {9, "40"}}}, true, std::string(40, 'B') + "/40"},
    };
    for (const Case& c : cases) EXPECT_EQ(Marks(c.name, c.rows, c.andMode), c.marks) << c.name << " " << c.rows[0].code;
}

TEST_F(NameConditionsTest, SearchTitleExampleAndUnknownCode) {
    ResultSet rs;
    NameConditions nc;
    nc.Search({{{1, "a"}, {9, "4"}}}, true, rs);
    EXPECT_EQ(Lines(rs), (std::vector<std::string>{"Anna|A___/ 4", "Aaaa|A___/ 4"}));
    EXPECT_EQ(NameConditions::Title({{{1, "an"}, {9, "4"}}}, true), " from search: starts with 'an' and no. of letters equal 4");
    EXPECT_EQ(NameConditions::Title({{{0, "x"}, {1, ""}, {17, ""}}}, false), " from search: starts with or is symmetrical");

    // A deleted name's slot is passed over.
    DataBase::DeleteAtom(DataBase::GetAtom("naAaaa"));
    rs.Reset();
    nc.Search({{{1, "a"}, {9, "4"}}}, true, rs);
    EXPECT_EQ(rs.numLines(), 1);

    Query::ExampleRing ring;
    atom* first = nc.SearchExample({17, ""}, ring);
    atom* second = nc.SearchExample({17, ""}, ring);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    EXPECT_EQ(nc.SearchExample({1, "zz"}, ring), nullptr);
    EXPECT_EQ(ring.count(), 2);

    EXPECT_FALSE(nc.MatchCond(DataBase::GetAtom("naAnna"), 18, "", true));
    EXPECT_EQ(Fakes().TakeAsserts(), std::vector<std::string>{"*** Assert: *** Cond"});
}

TEST(ExampleRing, FiftyNamesThenTheFiftyFirstEmptiesIt) {
    Query::ExampleRing ring;
    for (int i = 0; i < 50; ++i) ring.AddUsed("n" + std::to_string(i));
    EXPECT_TRUE(ring.AlreadyUsed("n49"));
    ring.AddUsed("n50");
    EXPECT_EQ(ring.count(), 0);
    EXPECT_FALSE(ring.AlreadyUsed("n50"));
}

// Languages, origin entries and groups: Hebrew and English as origin,
// German and English as use; Anna's group has two Hebrew origin entries.
class LangSearchTest : public ::testing::Test {
protected:
    void SetUp() override {
        TextConstants::textLanguage = 1;
        Searches::InitSearches();
        he = Lang("laHebrew", "Hebrew", "HE");
        en = Lang("laEnglish", "English", "EN");
        de = Lang("laGerman", "German", "DE");
        gAnna = db.Group("gnAnna", "Anna", false);
        gJohn = db.Group("gnJohn", "John", true);
        anna = Variant(db.Name("naAnna", "Anna", gAnna), gAnna);
        hanna = Variant(db.Name("naHanna", "Hanna", gAnna), gAnna);
        john = Variant(db.Name("naJohn", "John", gJohn), gJohn);
        Entry("orAnna1", he, gAnna);
        Entry("orAnna2", he, gAnna);
        Entry("orJohn", he, gJohn);
        Use(john, en);
        Use(anna, de);
        Use(anna, en);
        db.Finish();
    }
    atom* Lang(const std::string& n, const std::string& text, const std::string& abbrev) {
        atom* l = db.Member(n, text, "seLanguages");
        db.StrProp(l, "prAbbrevE", abbrev);
        db.With(db.K("seLanguages"), "prMember", l);
        return l;
    }
    atom* Variant(atom* name, atom* group) {
        db.With(group, "prNameVariant", name);
        return name;
    }
    void Entry(const std::string& n, atom* lang, atom* group) {
        atom* e = db.Member(n, "", "seOrigins");
        db.With(e, "prLang", lang);
        db.With(e, "prOriginOf", group);
        db.With(lang, "prLangOf", e);
    }
    void Use(atom* name, atom* lang) {
        db.With(name, "prLang", lang);
        db.With(lang, "prLangOf", name);
    }
    TestDb db;
    atom *he, *en, *de, *gAnna, *gJohn, *anna, *hanna, *john;
};

TEST_F(LangSearchTest, RowsJoinedInOrderWithReasons) {
    using Query::LangRows;
    struct Case { LangRows rows; bool andMode; std::vector<std::string> lines; };
    const Case cases[] = {
        // a group with two entries gives its names twice
        {{{{1, he}}}, true, {"Anna|HE", "Hanna|HE", "Anna|HE", "Hanna|HE", "John|HE"}},
        {{{{2, en}}}, true, {"John|EN", "Anna|EN"}},
        // "and": the second row's order, the first row's reason first
        {{{{2, en}, {2, de}}}, true, {"Anna|EN+DE"}},
        {{{{2, de}, {0, nullptr}, {2, en}}}, true, {"Anna|DE+EN"}},
        // "or": the first row's names, then the new ones
        {{{{2, de}, {2, en}}}, false, {"Anna|DE", "John|EN"}},
        {{{{1, nullptr}}}, true, {}},
    };
    for (const Case& c : cases) {
        ResultSet rs;
        Query::LangSearch::Search(c.rows, c.andMode, rs);
        EXPECT_EQ(Lines(rs), c.lines);
    }
    EXPECT_EQ(Query::LangSearch::Title({{{1, he}, {2, de}}}, true),
              " with language of origin: Hebrew and language of use: German");
    EXPECT_EQ(Query::LangSearch::Title({}, true), " with ");
}

TEST_F(LangSearchTest, ExamplesWalkTheRingAndRepeatTheLastWhenAllWereShown) {
    Query::ExampleRing ring;
    // origin: the groups of the entries in table order
    EXPECT_EQ(Query::LangSearch::SearchExample({1, he}, ring), gAnna);
    EXPECT_EQ(Query::LangSearch::SearchExample({1, he}, ring), gJohn);
    EXPECT_EQ(Query::LangSearch::SearchExample({1, he}, ring), gJohn);
    EXPECT_EQ(ring.count(), 2);
    // use: names whose first language is the one chosen
    EXPECT_EQ(Query::LangSearch::SearchExample({2, de}, ring), anna);
    EXPECT_EQ(Query::LangSearch::SearchExample({2, en}, ring), john);
    EXPECT_EQ(Query::LangSearch::SearchExample({2, he}, ring), nullptr);
}

// Origin entries with texts and related words; Lena's entry has no group,
// Daniel's has two.
class FullTextTest : public ::testing::Test {
protected:
    void SetUp() override {
        TextConstants::textLanguage = 1;
        Searches::InitSearches();
        gSea = db.Group("gnMarina", "Marina", false);
        gGod = db.Group("gnGabriel", "Gabriel", true);
        atom* e1 = Entry("orMarina", "A seaside town by the Sea.", gSea);
        Entry("orMarina2", "Latin marinus: of the sea-shore", gSea);
        atom* e3 = Entry("orGabriel", "Hebrew: God is my strength", gGod);
        // One entry for a male group and its female one.
        atom* e4 = Entry("orDaniel", "Hebrew: God is my judge", db.Group("gnDaniel", "Daniel", true));
        db.With(e4, "prOriginOf", db.Group("gnDanielle", "Danielle", false));
        Entry("orLena", "Sea without a group", nullptr);
        atom* word = db.Member("woLight", "light", "seWords");
        atom* german = db.Member("woLicht", "Licht", "seWords");
        db.With(word, "prGerman", german);
        db.With(e3, "prRelatedTo", word);
        (void)e1;
        db.Finish();
    }
    atom* Entry(const std::string& n, const std::string& text, atom* group) {
        atom* e = db.Member(n, "", "seOrigins");
        db.StrProp(e, "prOrigInfoE", text);
        if (group) db.With(e, "prOriginOf", group);
        return e;
    }
    std::vector<std::string> Find(const Rows& rows, bool andMode = true) {
        ResultSet rs;
        Query::FullTextSearch ft;
        ft.Search(rows, andMode, rs);
        return Lines(rs);
    }
    TestDb db;
    atom *gSea, *gGod;
};

TEST_F(FullTextTest, CaseWordModesRelatedWordsAndReasons) {
    struct Case { Rows rows; bool andMode; std::vector<std::string> lines; };
    const Case cases[] = {
        {{{{1, "SEA"}}}, true, {"Marina|sea", "Marina|sea"}},
        {{{{3, "SEA"}}}, true, {}},
        {{{{3, "Sea"}}}, true, {"Marina|Sea"}},
        // the first whole word counts, also after "seaside"
        {{{{2, "sea"}}}, true, {"Marina|Sea", "Marina|sea"}},
        {{{{4, "sea"}}}, true, {"Marina|sea"}},
        // every group of the entry, each with the entry's reason
        {{{{2, "GOD"}}}, true, {"Gabriel|God", "Daniel|God", "Danielle|God"}},
        // related words and their German translations
        {{{{2, "light"}}}, true, {"Gabriel|light"}},
        {{{{1, "LICHT"}}}, true, {"Gabriel|Licht"}},
        {{{{1, "LIGHT LICHT"}}}, true, {"Gabriel|light Licht"}},   // across the joined words
        {{{{2, "ht lic"}}}, true, {}},
        {{{{1, "god"}, {1, "licht"}}}, true, {"Gabriel|God+Licht"}},
        {{{{1, "xyz"}, {1, "licht"}}}, false, {"Gabriel|Licht"}},
        {{{{1, "god"}, {1, "licht"}}}, false, {"Gabriel|God", "Daniel|God", "Danielle|God"}},
        // no complete row: every entry with a group under "and", none under "or"
        {{{{1, ""}}}, true, {"Marina|", "Marina|", "Gabriel|", "Daniel|", "Danielle|"}},
        {{{{1, ""}}}, false, {}},
    };
    for (const Case& c : cases) EXPECT_EQ(Find(c.rows, c.andMode), c.lines) << c.rows[0].arg;
}

TEST_F(FullTextTest, TitleAndTermsForBoldInDescriptions) {
    const Rows rows{{{2, "river"}, {1, ""}, {1, "sea"}}};
    EXPECT_EQ(Query::FullTextSearch::Title(rows, true),
              " from fulltext search: contains the word 'river' and contains the char sequence '' and "
              "contains the char sequence 'sea'");
    ResultSet rs;
    Query::FullTextSearch ft;
    ft.Search(rows, false, rs);
    ASSERT_TRUE(rs.searchInfo());
    ASSERT_EQ(rs.searchInfo()->count(), 2);
    std::string text = "Seaside by the river";
    rs.searchInfo()->Mark(text);
    EXPECT_EQ(text, "<b>Sea</b>side by the <b>river</b>");  // both terms, in text order
}

}  // namespace
