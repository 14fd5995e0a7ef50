// ResultSet: counts and growth, titles, edits at the edges, browsing.
#include <gtest/gtest.h>

#include "Cp1252.h"
#include "Fakes.h"
#include "ListTestSupport.h"
#include "ResultSet.h"
#include "TextConstants.h"

namespace {

class ResultSetTest : public ::testing::Test {
protected:
    TestAtoms db;
    atom* anna = db.Make("naAnna", 1, "Anna");
    atom* jens = db.Make("naJens", 0, "Jens");
    atom* gnAnna = db.Make("gnAnna", 3, "Anna");
    atom* topic = db.Make("reSea", 6, "Sea");
    ResultSet rs;

    void Fill(std::initializer_list<const char*> texts) {
        for (const char* t : texts) rs.AddResult(t, "", nullptr);
    }
};

TEST_F(ResultSetTest, CountsFollowTheKindsOfTheLineAtoms) {
    rs.AddResult("Anna", "r1", anna);
    rs.AddResult("Jens", "r2", jens);
    rs.AddResult("Anna", "r3", gnAnna);
    rs.AddResult("Sea", "", topic);
    rs.AddResult("plain", "", nullptr);
    EXPECT_EQ(rs.numLines(), 5);
    EXPECT_EQ(rs.NumNames(), 2);
    EXPECT_EQ(rs.numGenNames(), 1);
    EXPECT_EQ(rs.reason(2), "r3");
    EXPECT_EQ(rs.atom(3), topic);
    EXPECT_EQ(rs.atom(4), nullptr);

    rs.markLine(2);
    rs.DelMarked();
    EXPECT_EQ(rs.numGenNames(), 0);
    // A line replaced in place counts by the atom it now holds.
    rs.markLine(0);
    rs.ModifyCurrent("Sea", topic);
    EXPECT_EQ(rs.NumNames(), 1);
    EXPECT_EQ(rs.reason(0), "r1");
}

TEST_F(ResultSetTest, StorageGrowsInStepsOfFiftyAndKeepsItsLines) {
    for (int i = 0; i < 50; ++i) rs.AddResult("line" + std::to_string(i), "", nullptr);
    EXPECT_EQ(rs.capacity(), 50);
    rs.AddResult("line50", "", nullptr);
    EXPECT_EQ(rs.capacity(), 100);
    for (int i = 0; i <= 50; ++i) EXPECT_EQ(rs.line(i), "line" + std::to_string(i));
    rs.Reset();
    EXPECT_EQ(rs.capacity(), 100);
    EXPECT_EQ(rs.numLines(), 0);
}

TEST_F(ResultSetTest, UniqueListsSkipRepeatedAtomsButNotLinesWithoutAtom) {
    rs.ShowUnique();
    rs.AddResult("Anna", "", anna);
    rs.AddResult("Anna again", "", anna);
    rs.AddResult("x", "", nullptr);
    rs.AddResult("x", "", nullptr);
    EXPECT_EQ(Texts(rs), (std::vector<std::string>{"Anna", "x", "x"}));
    EXPECT_EQ(rs.NumNames(), 1);
}

TEST_F(ResultSetTest, AddingAListToItselfDoublesItOnce) {
    rs.AddResult("Anna", "a", anna);
    rs.AddResult("Jens", "j", jens);
    rs.AddAllFrom(rs);
    EXPECT_EQ(Texts(rs), (std::vector<std::string>{"Anna", "Jens", "Anna", "Jens"}));
    EXPECT_EQ(rs.NumNames(), 4);
    EXPECT_EQ(rs.reason(3), "j");
    rs.AddFrom(rs, 0);
    EXPECT_EQ(rs.line(4), "Anna");
}

TEST_F(ResultSetTest, AddAllFromCopiesLinesAndTakesTheSearchTerms) {
    ResultSet other;
    other.AddResult("Jens", "why", jens);
    rs.AddResult("Anna", "", anna);
    rs.AddAllFrom(other);
    EXPECT_EQ(Texts(rs), (std::vector<std::string>{"Anna", "Jens"}));
    EXPECT_EQ(rs.reason(1), "why");
    EXPECT_EQ(rs.searchInfo(), other.searchInfo());
}

TEST_F(ResultSetTest, IndexesBeyondTheEndAssertAndChangeNothing) {
    Fill({"a"});
    EXPECT_EQ(rs.line(1), "");
    EXPECT_EQ(rs.atom(-1), nullptr);
    rs.setFullLine(5, "x");
    rs.SetMark(3, 9);
    EXPECT_EQ(Fakes().TakeAsserts(), std::vector<std::string>(4, "*** Assert: *** mNumLines"));
    EXPECT_EQ(Texts(rs), std::vector<std::string>{"a"});
}

TEST_F(ResultSetTest, MarksGoIntoTheLineAtoms) {
    rs.AddResult("Anna", "", anna);
    rs.AddResult("Jens", "", jens);
    rs.AddResult("Anna", "", anna);
    for (int32_t i = 0; i < rs.numLines(); ++i) rs.SetMark(i, 77);
    EXPECT_EQ(rs.Mark(0), 77);
    EXPECT_EQ(rs.markIndex(0), 2);  // a repeated atom keeps its last line
    EXPECT_EQ(rs.markIndex(1), 1);
    int32_t index = -1;
    EXPECT_TRUE(rs.GetAtomIndex(jens, index));
    EXPECT_EQ(index, 1);
    EXPECT_FALSE(rs.GetAtomIndex(topic, index));
    EXPECT_EQ(index, 3);
}

TEST_F(ResultSetTest, TwoColumnLinesAndWrapping) {
    rs.AddResult2("Anna", "grace", "why", anna);
    EXPECT_EQ(rs.line(0), "Anna\tgrace");

    FakeDisplay view(DisplayKind::ListView);
    view.col2Twips = 15 * (25 + 30);  // 30 pixels
    view.UseWidths(6);                // 5 characters a line
    ResultSet wrapped;
    wrapped.Init("", nullptr, "", nullptr, &view);
    wrapped.Break();
    EXPECT_EQ(wrapped.view.breakWidth, 30);
    wrapped.AddResult2("Anna", "abc de fghij", "why", anna);
    EXPECT_EQ(Texts(wrapped), (std::vector<std::string>{"Anna\tabc", "\tde", "\tfghij"}));
    EXPECT_EQ(wrapped.reason(0), "why");
    EXPECT_EQ(wrapped.reason(1), "");
    EXPECT_EQ(wrapped.atom(2), anna);
    EXPECT_EQ(wrapped.NumNames(), 3);  // every piece counts as a line
}

// --- titles -------------------------------------------------------------------

struct TitleCase {
    int language;  // 1 English, 0 German
    int id;
    int names, groups;
    std::string pure, expected;
};

TEST_F(ResultSetTest, TitlesInBothLanguages) {
    const std::vector<TitleCase> cases = {
        {1, 7, 0, 0, " empty", "7th list: Nothing empty"},
        {1, 1, 2, 1, " found", "1st list: 2 names+1 group found"},
        {1, 2, 1, 0, "X", "2nd list: 1 nameX"},
        {1, 3, 0, 2, "X", "3rd list: 2 groupsX"},
        {1, 11, 1, 0, "X", "11th list: 1 nameX"},
        {1, 12, 1, 0, "X", "12th list: 1 nameX"},
        {1, 21, 1, 0, "X", "21st list: 1 nameX"},  // 21st, not 21th, like every ordinal of the program
        {1, 31999, 1, 0, "X", "1 nameX"},
        {0, 3, 1, 3, " aus Wales", "3. Liste: 1 Name+3 Gruppen aus Wales"},
        {0, 12, 0, 1, "X", "12. Liste: 1 GruppeX"},
        {0, 31999, 0, 0, "X", "NichtsX"},
        {0, 5, 2, 0, "", "fixed"},  // no pure title: the fixed title alone
    };
    for (const auto& c : cases) {
        TextConstants::textLanguage = c.language;
        ResultSet list;
        list.InitInt();
        list.setTitle("fixed");
        list.setPureTitle(c.pure);
        list.setId(c.id);
        for (int i = 0; i < c.names; ++i) list.AddResult("n", "", anna);
        for (int i = 0; i < c.groups; ++i) list.AddResult("g", "", gnAnna);
        EXPECT_EQ(list.title(), c.expected) << c.id << c.pure;
    }
}

// --- deleting and moving at the edges --------------------------------------------

enum class Op { Del, Up, Down };

struct EdgeCase {
    const char* what;
    int lines;
    int32_t marked;
    Op op;
    std::vector<std::string> after;
    int32_t markedAfter;
    bool asserts;
};

TEST_F(ResultSetTest, DeletesAndMovesAtTheEdges) {
    const std::vector<EdgeCase> cases = {
        {"delete last of three", 3, 2, Op::Del, {"a", "b"}, 1, false},
        {"delete middle", 3, 1, Op::Del, {"a", "c"}, 1, false},
        {"delete first", 3, 0, Op::Del, {"b", "c"}, 0, false},
        {"delete the only line", 1, 0, Op::Del, {}, -1, false},
        {"delete on empty list", 0, -1, Op::Del, {}, -1, false},
        {"delete without mark", 3, -1, Op::Del, {"a", "b", "c"}, -1, true},
        {"up on line 0", 3, 0, Op::Up, {"a", "b", "c"}, 0, false},
        {"up on line 2", 3, 2, Op::Up, {"a", "c", "b"}, 1, false},
        {"up without mark", 3, -1, Op::Up, {"a", "b", "c"}, -1, true},
        {"up on a single line", 1, 0, Op::Up, {"a"}, 0, false},
        {"down on the last line", 3, 2, Op::Down, {"a", "b", "c"}, 2, false},
        {"down on line 0", 3, 0, Op::Down, {"b", "a", "c"}, 1, false},
        {"down without mark", 2, -1, Op::Down, {"a", "b"}, -1, true},
    };
    for (const auto& c : cases) {
        FakeDisplay view;
        ResultSet list;
        list.Init("", nullptr, "", nullptr, &view);
        const char* names[] = {"a", "b", "c"};
        for (int i = 0; i < c.lines; ++i) list.AddResult(names[i], "", nullptr);
        if (c.marked >= 0) list.markLine(c.marked);
        if (c.op == Op::Del) list.DelMarked();
        if (c.op == Op::Up) list.MoveMarkedUp();
        if (c.op == Op::Down) list.MoveMarkedDown();
        EXPECT_EQ(Texts(list), c.after) << c.what;
        EXPECT_EQ(list.marked(), c.markedAfter) << c.what;
        EXPECT_EQ(Fakes().TakeAsserts().size(), c.asserts ? 1u : 0u) << c.what;
        if (c.markedAfter >= 0) {
            EXPECT_EQ(view.selected, c.markedAfter) << c.what;
        }
        // A change shows the list at once.
        if (view.renders > 0) {
            EXPECT_EQ(view.shown, c.after) << c.what;
        }
    }
}

TEST_F(ResultSetTest, ShowFillsTheLabelsAndSelectionComesBack) {
    FakeDisplay view;
    FakeLabel titleLabel, countLabel;
    ResultSet list;
    list.Init("My list", &titleLabel, "tip", &countLabel, &view);
    EXPECT_EQ(view.tips, std::vector<std::string>{"tip"});
    EXPECT_EQ(list.view.ctlWidth, 2000);
    list.AddResult("a", "", anna);
    list.AddResult("b", "", jens);
    list.Show();
    EXPECT_EQ(countLabel.caption, "2");
    EXPECT_EQ(titleLabel.caption, "My list");
    view.selected = 1;
    EXPECT_EQ(list.SelIndex(), 1);
    EXPECT_EQ(list.marked(), -1);
    list.SyncMarked();
    EXPECT_EQ(list.current(), jens);
    list.setToolTipText("new tip");
    EXPECT_EQ(view.tips.back(), "new tip");

    ResultSet internal;
    EXPECT_EQ(internal.SelIndex(), 0);
    EXPECT_EQ(Fakes().TakeAsserts(), std::vector<std::string>{"*** Assert: *** SelIndex ObjType"});
}

// --- browsing -------------------------------------------------------------------------

TEST_F(ResultSetTest, BrowsingStepsOverOneRepeatedAtom) {
    rs.AddResult("Anna", "", anna);
    rs.AddResult("Anna", "", anna);
    rs.AddResult("Jens", "", jens);
    EXPECT_EQ(rs.GoBegin(), anna);
    EXPECT_EQ(rs.GoForward(), jens);
    EXPECT_EQ(rs.GoForward(), nullptr);
    EXPECT_EQ(rs.GoEnd(), jens);
    EXPECT_EQ(rs.GoBack(), anna);
    EXPECT_EQ(rs.GoBack(), anna);  // the first line: nothing left to step over
    EXPECT_EQ(rs.GoBack(), nullptr);

    ResultSet empty;
    EXPECT_EQ(empty.GoBegin(), nullptr);
    EXPECT_EQ(empty.GoForward(), nullptr);
    EXPECT_EQ(empty.GoBack(), nullptr);
    EXPECT_EQ(empty.GoEnd(), nullptr);
}

TEST_F(ResultSetTest, BrowsingStaysInsideAShrunkList) {
    atom* eva = db.Make("naEva", 1, "Eva");
    atom* ida = db.Make("naIda", 1, "Ida");
    rs.AddResult("Anna", "", anna);
    rs.AddResult("Jens", "", jens);
    rs.AddResult("Eva", "", eva);
    rs.AddResult("Ida", "", ida);

    // Deleting a line before the cursor keeps it on the same line.
    rs.markLine(2);
    rs.CurPosToMarked();
    rs.markLine(0);
    rs.DelMarked();
    EXPECT_EQ(rs.curPos(), 1);
    EXPECT_EQ(rs.GoForward(), ida);

    // Deleting the line under the cursor at the end pulls it back inside.
    rs.markLine(2);
    rs.DelMarked();
    EXPECT_EQ(rs.curPos(), 1);
    EXPECT_EQ(rs.GoForward(), nullptr);
    EXPECT_EQ(rs.GoBack(), jens);

    // A list emptied and filled anew is browsed from its start.
    rs.GoEnd();
    rs.Reset();
    rs.AddResult("Eva", "", eva);
    rs.AddResult("Ida", "", ida);
    EXPECT_EQ(rs.curPos(), 0);
    EXPECT_EQ(rs.GoForward(), ida);
    EXPECT_EQ(rs.GoBack(), eva);
}

}  // namespace
