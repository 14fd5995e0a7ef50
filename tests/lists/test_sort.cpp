// Sort orders of ResultSet and the text comparison they use.
#include <gtest/gtest.h>

#include "Cp1252.h"
#include "Fakes.h"
#include "ListTestSupport.h"
#include "ResultSet.h"
#include "TextCompare.h"

namespace {

TEST(TextCompare, IgnoresCaseAndSortsAccentsWithTheirLetters) {
    struct Case {
        std::string a, b;
        int sign;
    };
    const std::vector<Case> cases = {
        {"anna", "ANNA", 0},
        {"Anna", "Annabel", -1},
        {"Zoe", "Zoë"_cp, -1},     // same letters: the accent decides after
        {"Zoë"_cp, "Zora", -1},    // ... but only after the letters
        {"Ärger"_cp, "Bert", -1},  // Ä sorts with A, not after Z
        {"émile"_cp, "Emile", 1},
        {"ÉMILE"_cp, "émile"_cp, 0},
        {"ÿves"_cp, "Yves", 1},    // ÿ folds to Y
        {"Anna Lena", "Anna-Lena", -1},
        {"b", "a", 1},
        {"", "a", -1},
        {"", "", 0},
        {"Straße"_cp, "Strasse", 1},  // ß is no letter pair of the tables
    };
    for (const auto& c : cases) {
        const int r = TextCompare::Compare(c.a, c.b);
        EXPECT_EQ((r > 0) - (r < 0), c.sign) << c.a << " vs " << c.b;
        const int back = TextCompare::Compare(c.b, c.a);
        EXPECT_EQ((back > 0) - (back < 0), -c.sign) << c.b << " vs " << c.a;
    }
    EXPECT_LT(TextCompare::CompareReversed("Ida", "Anna"), 0);  // "adI" < "annA"
    EXPECT_GT(TextCompare::CompareBinary("a", "B"), 0);        // codes: "B" < "a"
}

struct Line {
    std::string text;
    std::string reason;
    int kind;  // -1: no atom
    std::string atomText;
};

struct SortCase {
    const char* what;
    int order;
    std::vector<Line> lines;
    std::vector<std::string> expected;  // display texts after the sort
};

TEST(ResultSetSort, EveryOrder) {
    const std::vector<SortCase> cases = {
        {"text", 1, {{"eva", "", -1, ""}, {"Anna", "", -1, ""}, {"Édith"_cp, "", -1, ""}, {"bert", "", -1, ""}},
         {"Anna", "bert", "Édith"_cp, "eva"}},
        {"text descending", 2, {{"eva", "", -1, ""}, {"Anna", "", -1, ""}, {"bert", "", -1, ""}},
         {"eva", "bert", "Anna"}},
        {"from the end", 3,
         {{"Jens", "", -1, ""}, {"Klaus", "", -1, ""}, {"Eva", "", -1, ""}, {"Ida", "", -1, ""}, {"Anna", "", -1, ""}},
         {"Ida", "Anna", "Eva", "Jens", "Klaus"}},
        {"length then text", 4, {{"Anna", "", -1, ""}, {"Ida", "", -1, ""}, {"Bo", "", -1, ""}, {"Alf", "", -1, ""}},
         {"Bo", "Alf", "Ida", "Anna"}},
        {"kind then text", 5,
         {{"Maria", "", 3, ""}, {"Eva", "", 1, ""}, {"Otto", "", 0, ""}, {"Paul", "", 2, ""}, {"Anna", "", 1, ""},
          {"Adam", "", 0, ""}},
         {"Adam", "Otto", "Anna", "Eva", "Paul", "Maria"}},
        {"reason by codes", 6,
         {{"c", " 2 2", -1, ""}, {"a", " 1  ", -1, ""}, {"b", " 2 1", -1, ""}, {"lower", "a", -1, ""},
          {"upper", "B", -1, ""}},
         {"a", "b", "c", "upper", "lower"}},
        {"atom text", 99, {{"1", "", 0, "Zeno"}, {"2", "", 0, "adam"}, {"3", "", 0, "Bruno"}}, {"2", "3", "1"}},
        {"unknown order moves nothing", 7, {{"b", "", -1, ""}, {"a", "", -1, ""}}, {"b", "a"}},
        // The Shell sort is not stable: its gap-4 pass carries "Anna" over
        // "anna", and the equal keys stay that way.
        {"equal keys", 1,
         {{"zed", "", -1, ""}, {"anna", "", -1, ""}, {"c", "", -1, ""}, {"d", "", -1, ""}, {"Anna", "", -1, ""}},
         {"Anna", "anna", "c", "d", "zed"}},
        {"empty list", 1, {}, {}},
    };
    for (const auto& c : cases) {
        TestAtoms db;
        ResultSet rs;
        int n = 0;
        for (const auto& l : c.lines) {
            atom* a = l.kind < 0 ? nullptr : db.Make("na" + std::to_string(n++), l.kind, l.atomText);
            rs.AddResult(l.text, l.reason, a);
        }
        rs.Sort(c.order);
        EXPECT_EQ(Texts(rs), c.expected) << c.what;
        EXPECT_EQ(rs.SortOrder(), c.order) << c.what;
    }
}

TEST(ResultSetSort, LinesMoveWithTheirReasonsAndAtoms) {
    TestAtoms db;
    atom* b = db.Make("naB", 0, "B");
    atom* a = db.Make("naA", 0, "A");
    ResultSet rs;
    rs.AddResult("B", "rb", b);
    rs.AddResult("A", "ra", a);
    rs.Sort(1);
    EXPECT_EQ(rs.reason(0), "ra");
    EXPECT_EQ(rs.atom(0), a);
    EXPECT_EQ(rs.atom(1), b);
}

TEST(ResultSetSort, TheSameOrderAgainDoesNothing) {
    ResultSet rs;
    rs.AddResult("b", "", nullptr);
    rs.AddResult("a", "", nullptr);
    rs.Sort(1);
    EXPECT_EQ(Fakes().events.count, 0);  // no window events while sorting
    rs.setFullLine(0, "z");              // a changed text leaves the order
    rs.Sort(1);
    EXPECT_EQ(Texts(rs), (std::vector<std::string>{"z", "b"}));
    rs.AddResult("c", "", nullptr);  // an added line resets it
    EXPECT_EQ(rs.SortOrder(), 0);
    rs.Sort(1);
    EXPECT_EQ(Texts(rs), (std::vector<std::string>{"b", "c", "z"}));
}

}  // namespace
