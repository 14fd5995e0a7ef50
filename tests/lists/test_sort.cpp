// Sort orders of ResultSet and the text comparison they use.
#include <gtest/gtest.h>

#include <map>

#include "Cp1252.h"
#include "Fakes.h"
#include "ListTestSupport.h"
#include "ResultSet.h"
#include "TextCompare.h"

namespace {

using Lines = std::vector<std::string>;

TEST(TextCompare, IgnoresCaseAndSortsAccentsWithTheirLetters) {
    struct Case {
        std::string a, b;
        int sign;
    };
    const Case cases[] = {
        {"anna", "ANNA", 0},         {"Anna", "Annabel", -1},
        {"Zoe", "Zoë"_cp, -1},       // same letters: the accent decides after
        {"Zoë"_cp, "Zora", -1},      // ... but only after the letters
        {"Ärger"_cp, "Bert", -1},    // Ä sorts with A, not after Z
        {"ÉMILE"_cp, "émile"_cp, 0}, {"ÿves"_cp, "Yves", 1},  // ÿ folds to Y
        {"Anna Lena", "Anna-Lena", -1}, {"", "a", -1},
        {"Straße"_cp, "Strasse", 1},  // ß is no letter pair of the tables
    };
    for (const auto& c : cases) {
        const int r = TextCompare::Compare(c.a, c.b), back = TextCompare::Compare(c.b, c.a);
        EXPECT_EQ((r > 0) - (r < 0), c.sign) << c.a << " vs " << c.b;
        EXPECT_EQ((back > 0) - (back < 0), -c.sign) << c.b << " vs " << c.a;
    }
    EXPECT_LT(TextCompare::CompareReversed("Ida", "Anna"), 0);  // "adI" < "annA"
    EXPECT_GT(TextCompare::CompareBinary("a", "B"), 0);        // codes: "B" < "a"
}

TEST(ResultSetSort, EveryOrder) {
    struct Line {
        std::string text, reason;
        int kind = -1;  // -1: no atom
        std::string atomText;
    };
    struct Case {
        const char* what;
        int order;
        std::vector<Line> lines;
        Lines expected;  // display texts after the sort
    };
    const Case cases[] = {
        {"text", 1, {{"eva"}, {"Anna"}, {"Édith"_cp}, {"bert"}}, {"Anna", "bert", "Édith"_cp, "eva"}},
        {"text descending", 2, {{"eva"}, {"Anna"}, {"bert"}}, {"eva", "bert", "Anna"}},
        {"from the end", 3, {{"Jens"}, {"Klaus"}, {"Eva"}, {"Ida"}, {"Anna"}}, {"Ida", "Anna", "Eva", "Jens", "Klaus"}},
        {"length then text", 4, {{"Anna"}, {"Ida"}, {"Bo"}, {"Alf"}}, {"Bo", "Alf", "Ida", "Anna"}},
        {"kind then text", 5,
         {{"Maria", "", 3}, {"Eva", "", 1}, {"Otto", "", 0}, {"Paul", "", 2}, {"Anna", "", 1}, {"Adam", "", 0}},
         {"Adam", "Otto", "Anna", "Eva", "Paul", "Maria"}},
        {"reason by codes", 6, {{"c", " 2 2"}, {"a", " 1  "}, {"b", " 2 1"}, {"lower", "a"}, {"upper", "B"}},
         {"a", "b", "c", "upper", "lower"}},
        {"atom text", 99, {{"1", "", 0, "Zeno"}, {"2", "", 0, "adam"}, {"3", "", 0, "Bruno"}}, {"2", "3", "1"}},
        {"unknown order moves nothing", 7, {{"b"}, {"a"}}, {"b", "a"}},
        // The Shell sort is not stable: its gap-4 pass carries "Anna" over
        // "anna", and the equal keys stay that way.
        {"equal keys", 1, {{"zed"}, {"anna"}, {"c"}, {"d"}, {"Anna"}}, {"Anna", "anna", "c", "d", "zed"}},
        {"empty list", 1, {}, {}},
    };
    for (const auto& c : cases) {
        TestAtoms db;
        ResultSet rs;
        std::map<std::string, std::string> why;
        for (const auto& l : c.lines) {
            why[l.text] = l.reason;
            atom* a = l.kind < 0 ? nullptr : db.Make("na" + l.text, l.kind, l.atomText.empty() ? l.text : l.atomText);
            rs.AddResult(l.text, l.reason, a);
        }
        rs.Sort(c.order);
        EXPECT_EQ(Texts(rs), c.expected) << c.what;
        EXPECT_EQ(rs.SortOrder(), c.order) << c.what;
        for (int32_t i = 0; i < rs.numLines(); ++i) {  // reasons and atoms move with their lines
            if (rs.atom(i) != nullptr) EXPECT_EQ(rs.atom(i)->name(), "na" + rs.line(i)) << c.what;
            EXPECT_EQ(rs.reason(i), why[rs.line(i)]) << c.what;
        }
    }
}

TEST(ResultSetSort, TheSameOrderAgainDoesNothing) {
    ResultSet rs;
    rs.AddResult("b", "", nullptr);
    rs.AddResult("a", "", nullptr);
    rs.Sort(1);
    EXPECT_EQ(Fakes().events.count, 0);  // no window events while sorting
    rs.setFullLine(0, "z");              // a changed text leaves the order
    rs.Sort(1);
    EXPECT_EQ(Texts(rs), (Lines{"z", "b"}));
    rs.AddResult("c", "", nullptr);  // an added line resets it
    EXPECT_EQ(rs.SortOrder(), 0);
    rs.Sort(1);
    EXPECT_EQ(Texts(rs), (Lines{"b", "c", "z"}));
}

}  // namespace
