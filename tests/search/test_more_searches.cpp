// Names made of the letters of other names, and random picks.
#include <algorithm>

#include "Fakes.h"
#include "LetterCombine.h"
#include "RandomPick.h"
#include "SearchFixture.h"

namespace {

class LetterMixTest : public SearchTest {
protected:
    void SetUp() override {
        SearchTest::SetUp();
        for (const char* n : {"Anton", "Manon", "Tom", "Anna", "Otto", "Noam", "Ton\xe9", "Mona", "Monta"})
            db.Make(std::string("na") + n, 1, n);
        db.Make("gnAnton", 2, "Anton");  // a group is no name
        db.Finish();
    }
    static std::vector<std::string> Lines(const ResultSet& rs) {
        std::vector<std::string> v;
        for (int32_t i = 0; i < rs.numLines(); ++i) v.push_back(rs.line(i) + "=" + rs.reason(i));
        std::sort(v.begin(), v.end());
        return v;
    }
};

// Ann + Tom: without options each letter serves once, in any order (Toné
// needs an E); with multi a letter serves again (Anna, Otto); with order the
// letters keep the order of the joined texts; with both, positions still
// rise strictly, so Anna's second A finds none after its N.
TEST_F(LetterMixTest, AnnAndTomUnderEachPairOfOptions) {
    struct Case {
        bool multi, order;
        std::vector<std::string> hits;
    };
    const Case cases[] = {
        {false, false, {"Anton=11221", "Manon=21121", "Noam=1212", "Mona=2211", "Monta=22121", "Tom=222"}},
        {true, false, {"Anna=1111", "Anton=11221", "Manon=21121", "Mona=2211", "Monta=22121", "Noam=1212",
                       "Otto=2222", "Tom=222"}},
        {false, true, {"Tom=222"}},
        {true, true, {"Tom=222"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.multi << c.order);
        ResultSet rs;
        rs.InitInt();
        LetterCombine::Search({"Ann", "Tom", ""}, c.multi, c.order, rs);
        std::vector<std::string> want = c.hits;
        std::sort(want.begin(), want.end());
        EXPECT_EQ(Lines(rs), want);
    }
}

TEST_F(LetterMixTest, ALetterOfTwoTextsComesFromTheEarlierOneAndAccentsAndCaseDoNotMatter) {
    // "o" in both texts: Tom's O is text 3's only when text 2's is used up.
    LetterCombine::Placement p = LetterCombine::Place(LetterCombine::MakePool({"", "mOt", "TOM"}), "Tom", false, false);
    EXPECT_TRUE(p.found);
    EXPECT_EQ(p.origins, "222");
    p = LetterCombine::Place(LetterCombine::MakePool({"", "mOt", "TOM"}), "Otto", false, false);
    EXPECT_EQ(p.origins, "2233");
    // An accented name matches plain letters and the reverse; case is folded.
    EXPECT_TRUE(LetterCombine::Place(LetterCombine::MakePool({"tone", "", ""}), "Ton\xe9", false, false).found);
    EXPECT_TRUE(LetterCombine::Place(LetterCombine::MakePool({"\xc9MMA", "", ""}), "Emma", false, false).found);
    EXPECT_FALSE(LetterCombine::Place(LetterCombine::MakePool({"Emma", "", ""}), "Emmma", false, false).found);
}

TEST_F(LetterMixTest, TitleJoinsOnlyTheTextsGiven) {
    EXPECT_EQ(LetterCombine::Title({"Anna", "", "Peter"}), " from letters of the names 'Anna'/'Peter'");
    TextConstants::textLanguage = 0;
    EXPECT_EQ(LetterCombine::Title({"", "Tom", ""}), " aus Buchstaben der Namen 'Tom'");
}

// The picture of Anton from Ann + Tom + Xy at scale 0.5 (boxes 500 twips,
// 600 apart): text 3 starts one box after text 2's last; each line runs from
// the name box's facing edge to the source box's opposite edge.
TEST_F(LetterMixTest, ThePictureHasItsRowsColoursAndLinesToFacingEdges) {
    const LetterCombine::Layout l = LetterCombine::MakeLayout({"Ann", "Tom", "Xy"}, "Anton", false, false, 0.5);
    EXPECT_TRUE(l.complete);
    ASSERT_EQ(l.rows[0].size(), 3u);
    ASSERT_EQ(l.rows[1].size(), 5u);
    ASSERT_EQ(l.rows[2].size(), 3u);
    ASSERT_EQ(l.rows[3].size(), 2u);
    EXPECT_DOUBLE_EQ(l.rows[0][0].top, 57);
    EXPECT_DOUBLE_EQ(l.rows[1][0].top, 1000);
    EXPECT_DOUBLE_EQ(l.rows[2][0].top, 2000);
    EXPECT_DOUBLE_EQ(l.rows[1][4].left, 57 + 4 * 600);
    EXPECT_DOUBLE_EQ(l.rows[3][0].left, 57 + 2 * 600 + 2 * 500);
    EXPECT_DOUBLE_EQ(l.rows[3][0].top, 2000);
    EXPECT_EQ(l.rows[1][2].letter, "t");

    // A (text 1) up to Ann's A; T (text 2) down to Tom's T; the last N from
    // Ann's second N; Ann's first N serves the name's first N.
    const std::vector<int32_t> colours = {LetterCombine::kColourText1, LetterCombine::kColourText1, LetterCombine::kColourText2,
                                          LetterCombine::kColourText2, LetterCombine::kColourText1};
    for (size_t k = 0; k < 5; ++k) EXPECT_EQ(l.rows[1][k].colour, colours[k]) << k;
    EXPECT_EQ(l.rows[0][2].colour, LetterCombine::kColourText1);
    EXPECT_EQ(l.rows[2][2].colour, 0);  // Tom's M is not used
    EXPECT_EQ(l.rows[3][0].colour, 0);
    ASSERT_EQ(l.lines.size(), 5u);
    const LetterCombine::Line& up = l.lines[0];
    EXPECT_DOUBLE_EQ(up.x1, 57 + 250);
    EXPECT_DOUBLE_EQ(up.y1, 1000);       // the name box's top edge
    EXPECT_DOUBLE_EQ(up.y2, 57 + 500);   // Ann's A's bottom edge
    const LetterCombine::Line& down = l.lines[2];
    EXPECT_DOUBLE_EQ(down.x1, 57 + 2 * 600 + 250);
    EXPECT_DOUBLE_EQ(down.y1, 1500);     // the name box's bottom edge
    EXPECT_DOUBLE_EQ(down.x2, 57 + 250);
    EXPECT_DOUBLE_EQ(down.y2, 2000);     // Tom's T's top edge
    EXPECT_DOUBLE_EQ(l.lines[4].x2, 57 + 2 * 600 + 250);
    EXPECT_EQ(down.colour, LetterCombine::kColourText2);
}

TEST_F(LetterMixTest, TextThreeAloneStartsAtTheLeftAndTheWorldFitsTheWidestRow) {
    const LetterCombine::Layout l = LetterCombine::MakeLayout({"", "", "Tom"}, "Tom", false, false, 1);
    ASSERT_EQ(l.rows[3].size(), 3u);
    EXPECT_DOUBLE_EQ(l.rows[3][0].left, 57);
    EXPECT_EQ(l.lines[0].colour, LetterCombine::kColourText3);
    EXPECT_DOUBLE_EQ(LetterCombine::WorldWidth({"Ann", "Tom", "Xy"}, "Anton"), 1000 * 6 + 200 * 5);
    EXPECT_DOUBLE_EQ(LetterCombine::WorldWidth({"Ann", "", ""}, "Anna"), 1000 * 4 + 200 * 3);
    // A name that does not fit shows the letters placed before the first miss.
    const LetterCombine::Layout part = LetterCombine::MakeLayout({"Tom", "", ""}, "Toni", false, false, 1);
    EXPECT_FALSE(part.complete);
    EXPECT_EQ(part.lines.size(), 2u);
}

// --- random picks ------------------------------------------------------------------

class RandomPickTest : public SearchTest {
protected:
    void SetUp() override {
        SearchTest::SetUp();
        a = db.Make("naAda", 1, "Ada");
        b = db.Make("naBen", 0, "Ben");
        c = db.Make("naCleo", 1, "Cleo");
        d = db.Make("naDan", 0, "Dan");
        db.Finish();
    }
    atom *a = nullptr, *b = nullptr, *c = nullptr, *d = nullptr;
};

TEST_F(RandomPickTest, TheFirstStepsOfAShuffleDrawExactlyWhatTheNumbersSay) {
    std::vector<atom*> set = {a, b, c, d};
    Fakes().random.script = {0.5, 0.0, 0.99};
    RandomPick::Draw(set, 3, Fakes().random);
    EXPECT_EQ(std::vector<atom*>(set.begin(), set.begin() + 3), (std::vector<atom*>{c, b, d}));

    // More than the set, or a generator out of range, never reaches past it.
    set = {a, b};
    Fakes().random.script = {1.0, 7.5, -3};
    RandomPick::Draw(set, 5, Fakes().random);
    EXPECT_EQ(set.size(), 2u);
    EXPECT_TRUE(Fakes().TakeAsserts().empty());
}

TEST_F(RandomPickTest, BaseSetsByKindAndTheCurrentListWithItsRepeatedLines) {
    using RandomPick::Base;
    auto names = [](std::vector<atom*> v) {
        std::vector<std::string> out;
        for (atom* x : v) out.push_back(x->Text());
        std::sort(out.begin(), out.end());
        return out;
    };
    EXPECT_EQ(names(RandomPick::BaseSet(Base::Female, nullptr)), (std::vector<std::string>{"Ada", "Cleo"}));
    EXPECT_EQ(names(RandomPick::BaseSet(Base::Male, nullptr)), (std::vector<std::string>{"Ben", "Dan"}));
    EXPECT_EQ(RandomPick::BaseSet(Base::All, nullptr).size(), 4u);
    EXPECT_EQ(RandomPick::BaseSet(Base::Groups, nullptr).size(), 4u);  // each name's group of its own
    EXPECT_TRUE(RandomPick::BaseSet(Base::CurrentList, nullptr).empty());
    auto cur = List({{a, ""}, {b, ""}, {a, ""}});
    EXPECT_EQ(RandomPick::BaseSet(Base::CurrentList, cur.get()), (std::vector<atom*>{a, b, a}));

    ResultSet out;
    out.InitInt();
    RandomPick::FillPicked({d, a, c}, 2, out);
    ASSERT_EQ(out.numLines(), 2);
    EXPECT_EQ(out.line(1), "Ada");
    EXPECT_EQ(out.reason(1), "   2");
    EXPECT_EQ(RandomPick::Title("From all 4 names"), " from all 4 names picked at random");
}

}  // namespace
