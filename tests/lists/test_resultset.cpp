// ResultSet: counts and growth, titles, edits at the edges, browsing, sorting
// and the text comparison it uses; ResultHistory.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>

#include "Cp1252.h"
#include "Fakes.h"
#include "ListTestSupport.h"
#include "ResultHistory.h"
#include "ResultSet.h"
#include "TextCompare.h"
#include "TextConstants.h"

namespace {

using Lines = std::vector<std::string>;

class ResultSetTest : public ::testing::Test {
protected:
    TestAtoms db;
    atom* anna = db.Make("naAnna", 1, "Anna");
    atom* jens = db.Make("naJens", 0, "Jens");
    atom* gnAnna = db.Make("gnAnna", 3, "Anna");
    atom* topic = db.Make("reSea", 6, "Sea");
    ResultSet rs;
};

TEST_F(ResultSetTest, CountsFollowTheKindsOfTheLineAtomsAndStorageGrows) {
    rs.AddResult("Anna", "r1", anna);
    rs.AddResult("Jens", "r2", jens);
    rs.AddResult("Anna", "r3", gnAnna);
    rs.AddResult("Sea", "", topic);
    rs.AddResult("plain", "", nullptr);
    EXPECT_EQ(rs.NumNames(), 2);
    EXPECT_EQ(rs.numGenNames(), 1);
    rs.markLine(2);
    rs.DelMarked();
    EXPECT_EQ(rs.numGenNames(), 0);
    rs.markLine(0);  // a line replaced in place counts by the atom it now holds
    rs.ModifyCurrent("Sea", topic);
    EXPECT_EQ(rs.NumNames(), 1);
    EXPECT_EQ(rs.reason(0), "r1");

    // Storage grows in steps of fifty and keeps its lines, also over a reset.
    rs.Reset();
    for (int i = 0; i < 50; ++i) rs.AddResult("line" + std::to_string(i), "", nullptr);
    EXPECT_EQ(rs.capacity(), 50);
    rs.AddResult("line50", "", nullptr);
    EXPECT_EQ(rs.capacity(), 100);
    for (int i = 0; i <= 50; ++i) EXPECT_EQ(rs.line(i), "line" + std::to_string(i));
    rs.Reset();
    EXPECT_EQ(rs.capacity(), 100);
}

TEST_F(ResultSetTest, AddingAListToItself) {
    rs.AddResult("Anna", "a", anna);
    rs.AddResult("Jens", "j", jens);
    rs.AddAllFrom(rs);
    EXPECT_EQ(Texts(rs), (Lines{"Anna", "Jens", "Anna", "Jens"}));
    EXPECT_EQ(rs.NumNames(), 4);
    EXPECT_EQ(rs.reason(3), "j");
    rs.AddFrom(rs, 0);
    EXPECT_EQ(rs.line(4), "Anna");
}

TEST_F(ResultSetTest, IndexesBeyondTheEndAssertAndChangeNothing) {
    rs.AddResult("a", "", nullptr);
    EXPECT_EQ(rs.line(1), "");
    EXPECT_EQ(rs.atom(-1), nullptr);
    rs.setFullLine(5, "x");
    rs.SetMark(3, 9);
    EXPECT_EQ(Fakes().TakeAsserts(), Lines(4, "*** Assert: *** mNumLines"));
    EXPECT_EQ(Texts(rs), Lines{"a"});
}

TEST_F(ResultSetTest, TwoColumnLinesWrapTheirSecondColumn) {
    FakeDisplay view(DisplayKind::ListView);
    view.col2Twips = 15 * (25 + 30);  // 30 pixels
    view.UseWidths(6);                // 5 characters a line
    rs.Init("", nullptr, "", nullptr, &view);
    rs.Break();
    rs.AddResult2("Anna", "abc de fghij", "why", anna);
    EXPECT_EQ(Texts(rs), (Lines{"Anna\tabc", "\tde", "\tfghij"}));
    EXPECT_EQ(rs.reason(0), "why");
    EXPECT_EQ(rs.reason(1), "");
    EXPECT_EQ(rs.atom(2), anna);
}

TEST_F(ResultSetTest, TitlesInBothLanguages) {
    struct Case {
        int language;  // 1 English, 0 German
        int id, names, groups;
        std::string pure, expected;
    };
    const Case cases[] = {
        {1, 7, 0, 0, " empty", "7th list: Nothing empty"},
        {1, 1, 2, 1, " found", "1st list: 2 names+1 group found"},
        {1, 2, 1, 0, "X", "2nd list: 1 nameX"},
        {1, 3, 0, 2, "X", "3rd list: 2 groupsX"},
        {1, 12, 1, 0, "X", "12th list: 1 nameX"},
        {1, 21, 1, 0, "X", "21st list: 1 nameX"},
        {1, 31999, 1, 0, "X", "1 nameX"},
        {0, 3, 1, 3, " aus Wales", "3. Liste: 1 Name+3 Gruppen aus Wales"},
        {0, 31999, 0, 0, "X", "NichtsX"},
        {0, 5, 2, 0, "", "fixed"},  // no pure title: the fixed title alone
    };
    for (const auto& c : cases) {
        TextConstants::textLanguage = c.language;
        ResultSet list;
        list.setTitle("fixed");
        list.setPureTitle(c.pure);
        list.setId(c.id);
        for (int i = 0; i < c.names + c.groups; ++i) list.AddResult("n", "", i < c.names ? anna : gnAnna);
        EXPECT_EQ(list.title(), c.expected) << c.id << c.pure;
    }
}

TEST_F(ResultSetTest, DeletesAndMovesAtTheEdges) {
    enum Op { Del, Up, Down };
    struct Case {
        const char* what;
        int lines, marked;
        Op op;
        Lines after;
        int markedAfter;
        bool asserts;
    };
    const Case cases[] = {
        {"delete last of three", 3, 2, Del, {"a", "b"}, 1, false},
        {"delete middle", 3, 1, Del, {"a", "c"}, 1, false},
        {"delete first", 3, 0, Del, {"b", "c"}, 0, false},
        {"delete the only line", 1, 0, Del, {}, -1, false},
        {"delete on empty list", 0, -1, Del, {}, -1, false},
        {"delete without mark", 3, -1, Del, {"a", "b", "c"}, -1, true},
        {"up on line 0", 3, 0, Up, {"a", "b", "c"}, 0, false},
        {"up on line 2", 3, 2, Up, {"a", "c", "b"}, 1, false},
        {"up without mark", 3, -1, Up, {"a", "b", "c"}, -1, true},
        {"down on the last line", 3, 2, Down, {"a", "b", "c"}, 2, false},
        {"down on line 0", 3, 0, Down, {"b", "a", "c"}, 1, false},
        {"down without mark", 2, -1, Down, {"a", "b"}, -1, true},
    };
    for (const auto& c : cases) {
        FakeDisplay view;
        ResultSet list;
        list.Init("", nullptr, "", nullptr, &view);
        for (int i = 0; i < c.lines; ++i) list.AddResult(std::string(1, static_cast<char>('a' + i)), "", nullptr);
        if (c.marked >= 0) list.markLine(c.marked);
        if (c.op == Del) list.DelMarked();
        if (c.op == Up) list.MoveMarkedUp();
        if (c.op == Down) list.MoveMarkedDown();
        EXPECT_EQ(Texts(list), c.after) << c.what;
        EXPECT_EQ(list.marked(), c.markedAfter) << c.what;
        EXPECT_EQ(Fakes().TakeAsserts().size(), c.asserts ? 1u : 0u) << c.what;
        if (c.markedAfter >= 0) { EXPECT_EQ(view.selected, c.markedAfter) << c.what; }
        if (view.renders > 0) { EXPECT_EQ(view.shown, c.after) << c.what; }  // a change shows at once
    }
}

TEST_F(ResultSetTest, BrowsingStepsOverOneRepeatedAtomAndStaysInsideAShrunkList) {
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
    EXPECT_EQ(empty.GoForward(), nullptr);
    EXPECT_EQ(empty.GoEnd(), nullptr);

    atom* eva = db.Make("naEva", 1, "Eva");
    rs.Reset();
    for (atom* a : {anna, jens, eva, gnAnna}) rs.AddResult(a->Text(), "", a);
    rs.markLine(2);
    rs.CurPosToMarked();
    rs.markLine(0);
    rs.DelMarked();  // a line before the cursor: it stays on its line
    EXPECT_EQ(rs.curPos(), 1);
    EXPECT_EQ(rs.GoForward(), gnAnna);
    rs.markLine(2);
    rs.DelMarked();  // the line under the cursor at the end: pulled back inside
    EXPECT_EQ(rs.curPos(), 1);
    EXPECT_EQ(rs.GoForward(), nullptr);
    EXPECT_EQ(rs.GoBack(), jens);
    rs.GoEnd();
    rs.Reset();  // emptied and filled anew: browsed from its start
    rs.AddResult("Eva", "", eva);
    rs.AddResult("Anna", "", anna);
    EXPECT_EQ(rs.curPos(), 0);
    EXPECT_EQ(rs.GoForward(), anna);
}

// --- sorting ----------------------------------------------------------------------

TEST(TextCompare, IgnoresCaseAndSortsAccentsWithTheirLetters) {
    struct Case {
        std::string a, b;
        int sign;
    };
    const Case cases[] = {
        {"ÉMILE"_cp, "émile"_cp, 0}, {"Anna", "Annabel", -1}, {"Anna Lena", "Anna-Lena", -1},
        {"Zoe", "Zoë"_cp, -1},       // same letters: the accent decides after ...
        {"Zoë"_cp, "Zora", -1},      // ... but only after the letters
        {"Ärger"_cp, "Bert", -1},    // Ä sorts with A, not after Z
        {"ÿves"_cp, "Yves", 1},      // ÿ folds to Y
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
        std::string text;
        std::string reason = "";
        int kind = -1;  // -1: no atom
        std::string atomText = "";
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
            if (rs.atom(i) != nullptr) { EXPECT_EQ(rs.atom(i)->name(), "na" + rs.line(i)) << c.what; }
            EXPECT_EQ(rs.reason(i), why[rs.line(i)]) << c.what;
        }
    }
}

// The sort must order exactly as the comparison of two lines does, and keep
// equal lines in their list order: thousands of lines of few letters,
// accents, cases and NUL bytes, against a plain stable sort with that
// comparison, in every order. Shared beginnings and endings of 8, 16 and more
// bytes, and many copies of one text, put large runs of lines side by side
// that differ only late in their keys, or only in their length or accents.
TEST(ResultSetSort, AgreesWithThePairwiseComparisonInEveryOrder) {
    const std::string letters = std::string("aAbBäÄéÉe E-"_cp) + '\0';
    const std::vector<std::string> beginnings = {"",           "",         "Anna",   "Annabel", "ANNABELLA",
                                                 "annabellä"_cp, "Annabella-Marie-Luise", "Annabella-Marie-Luisé"_cp};
    const std::vector<std::string> endings = {"", "", "", "chris", "-Christine", "-christinE"};
    uint32_t seed = 12345;
    auto next = [&](uint32_t n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % n;
    };
    auto text = [&] {
        std::string t = beginnings[next(static_cast<uint32_t>(beginnings.size()))];
        for (uint32_t k = next(5); k > 0; --k) t += letters[next(static_cast<uint32_t>(letters.size()))];
        return t + endings[next(static_cast<uint32_t>(endings.size()))];
    };
    TestAtoms db;
    std::vector<atom*> atoms = {nullptr};
    for (int i = 0; i < 40; ++i) atoms.push_back(db.Make("na" + std::to_string(i), i % 4, text()));
    struct Line {
        std::string text, reason;
        atom* a;
    };
    std::vector<Line> lines;
    const std::vector<std::string> reasons = {" 1 2", " 1 2 ", " 10", "reason 12345678 b", "reason 12345678 a", ""};
    for (int i = 0; i < 6000; ++i) {
        // Every fourth line repeats an earlier one: many equal keys.
        if (i % 4 == 3) lines.push_back(lines[next(static_cast<uint32_t>(lines.size()))]);
        else lines.push_back({text(), reasons[next(static_cast<uint32_t>(reasons.size()))], atoms[next(static_cast<uint32_t>(atoms.size()))]});
    }

    using TextCompare::Compare;
    auto lastKey = [](const std::string& t) { return t.empty() ? std::string_view() : std::string_view(t).substr(t.size() - 1); };
    // < 0 when x belongs before y.
    const std::map<int, std::function<int(const Line&, const Line&)>> orders = {
        {1, [](const Line& x, const Line& y) { return Compare(x.text, y.text); }},
        {2, [](const Line& x, const Line& y) { return -Compare(x.text, y.text); }},
        {3, [&](const Line& x, const Line& y) {
             const int c = Compare(lastKey(x.text), lastKey(y.text));
             return c != 0 ? c : TextCompare::CompareReversed(x.text, y.text);
         }},
        {4, [](const Line& x, const Line& y) {
             return x.text.size() != y.text.size() ? (x.text.size() < y.text.size() ? -1 : 1) : Compare(x.text, y.text);
         }},
        {5, [](const Line& x, const Line& y) {
             const int kx = ListAtoms::Kind(x.a), ky = ListAtoms::Kind(y.a);
             return kx != ky ? kx - ky : Compare(x.text, y.text);
         }},
        {6, [](const Line& x, const Line& y) { return TextCompare::CompareBinary(x.reason, y.reason); }},
        {99, [](const Line& x, const Line& y) { return Compare(ListAtoms::Text(x.a), ListAtoms::Text(y.a)); }},
    };
    for (const auto& [order, compare] : orders) {
        ResultSet rs;
        for (size_t i = 0; i < lines.size(); ++i) rs.AddResult(lines[i].text, lines[i].reason, lines[i].a);
        rs.Sort(order);
        std::vector<size_t> want(lines.size());
        for (size_t i = 0; i < want.size(); ++i) want[i] = i;
        std::stable_sort(want.begin(), want.end(), [&](size_t i, size_t j) { return compare(lines[i], lines[j]) < 0; });
        // Copies of a line cannot be told apart; lines equal under the order
        // but different in text, reason or atom can.
        ASSERT_EQ(rs.numLines(), static_cast<int32_t>(lines.size()));
        size_t wrong = 0;
        for (size_t k = 0; k < want.size(); ++k) {
            const Line& w = lines[want[k]];
            const auto i = static_cast<int32_t>(k);
            if (rs.line(i) != w.text || rs.reason(i) != w.reason || rs.atom(i) != w.a) ++wrong;
        }
        EXPECT_EQ(wrong, 0u) << "order " << order;
    }
}

TEST_F(ResultSetTest, SortingTheSameOrderAgainDoesNothing) {
    rs.AddResult("b", "", nullptr);
    rs.AddResult("a", "", nullptr);
    const int events = Fakes().events.count;
    rs.Sort(1);
    EXPECT_EQ(Fakes().events.count, events);  // no window events while sorting
    rs.setFullLine(0, "z");              // a changed text leaves the order
    rs.Sort(1);
    EXPECT_EQ(Texts(rs), (Lines{"z", "b"}));
    rs.AddResult("c", "", nullptr);  // an added line resets it
    EXPECT_EQ(rs.SortOrder(), 0);
    rs.Sort(1);
    EXPECT_EQ(Texts(rs), (Lines{"b", "c", "z"}));
}

// --- history --------------------------------------------------------------------

std::shared_ptr<ResultSet> Shown(FakeDisplay& view, const std::string& title) {
    auto rs = std::make_shared<ResultSet>();
    rs->Init(title, nullptr, "", nullptr, &view);
    return rs;
}

TEST(ResultHistory, KeepsTheLastTwentyLists) {
    FakeDisplay view;
    ResultHistory h;
    std::vector<std::shared_ptr<ResultSet>> all;
    for (int i = 0; i < 21; ++i) h.Add(all.emplace_back(Shown(view, "L" + std::to_string(i))));
    EXPECT_EQ(h.numSets(), 20);
    EXPECT_EQ(h.curIndex(), 19);
    EXPECT_EQ(h.resSet(0), all[1]);  // the oldest went
    EXPECT_TRUE(all[20]->view.active && !all[19]->view.active);  // only the current list is active
    EXPECT_EQ(h.resSet(20), nullptr);
    EXPECT_EQ(Fakes().TakeAsserts().size(), 1u);
}

TEST(ResultHistory, BackAndForwardStopAtTheEnds) {
    FakeDisplay view;
    ResultHistory h;
    EXPECT_EQ(h.GoBack(), nullptr);
    auto a = Shown(view, "a"), b = Shown(view, "b"), c = Shown(view, "c");
    for (const auto& l : {a, b, b, c}) h.Add(l);
    EXPECT_EQ(h.GoForward(), nullptr);
    EXPECT_EQ(h.GoBack(), b);  // the same list twice in a row is stepped over once
    EXPECT_EQ(view.renders, 1);  // a list stepped to is shown
    EXPECT_EQ(h.GoBack(), a);
    EXPECT_EQ(h.GoBack(), nullptr);
    EXPECT_EQ(h.curIndex(), 0);
    EXPECT_EQ(h.GoForward(), b);
    EXPECT_EQ(h.curIndex(), 1);
    h.Add(Shown(view, "d"));  // a new list goes after the newest, whatever was current
    EXPECT_EQ(h.curIndex(), 4);
    EXPECT_EQ(h.GoForward(), nullptr);

    ResultHistory twice;
    twice.Add(b);
    twice.Add(b);
    EXPECT_EQ(twice.GoBack(), b);  // no other list: lands on the first copy
}

TEST(ResultHistory, TitleListAndMovingQuietly) {
    FakeDisplay view, titles;
    auto a = Shown(view, "a"), b = Shown(view, "b"), list = Shown(titles, "");
    ResultHistory h;
    h.SetListBox(list);
    h.Add(a);
    h.Add(b);
    EXPECT_EQ(titles.shown, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(list->marked(), 1);
    h.showSets(false);  // moves quietly: nothing shown, the title list stays
    EXPECT_EQ(h.GoBack(), a);
    EXPECT_EQ(view.renders + list->marked(), 1);
    h.showSets(true);
    a->AddResult("x", "", nullptr);
    a->AddResult("y", "", nullptr);
    a->markLine(1);
    h.SetCurrent(0);
    EXPECT_EQ(list->marked(), 0);
    EXPECT_EQ(view.selected, 1);  // shown with its own marked line selected again
    h.SetCurrent(2);
    EXPECT_EQ(Fakes().TakeAsserts().size(), 1u);
    EXPECT_EQ(h.current(), a);
}

}  // namespace
