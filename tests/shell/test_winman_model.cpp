// The window manager's logic without widgets: history, position texts,
// placement, the "Open" list and the input block.
#include <gtest/gtest.h>

#include "Fakes.h"
#include "GenMsg.h"
#include "Options.h"
#include "WinMan.h"
#include "WinManModel.h"

using namespace WinModel;

namespace {

// Windows of the history are only identities here.
const char ids[5] = {};
const void *const kA = ids, *const kB = ids + 1, *const kC = ids + 2, *const kD = ids + 3, *const kL = ids + 4;

std::string Names(const WindowHistory& h) {
    std::string s;
    for (const auto& e : h.Entries()) s += e.name;
    return s;
}

WindowHistory Abc() {
    WindowHistory h;
    h.Activate(kA, "A");
    h.Activate(kB, "B");
    h.Activate(kC, "C");
    return h;
}

}  // namespace

TEST(WindowHistoryTest, BackAndForwardNeverReorder) {
    WindowHistory one;
    EXPECT_FALSE(one.Back());
    EXPECT_FALSE(one.Forward());
    one.Activate(kA, "A");
    EXPECT_FALSE(one.Back());  // one entry: nothing to go back to

    WindowHistory h = Abc();
    EXPECT_FALSE(h.Forward());  // at the last entry
    EXPECT_EQ(h.Back(), kB);
    EXPECT_EQ(h.Back(), kA);
    EXPECT_FALSE(h.Back());  // at the first entry
    EXPECT_TRUE(h.IsCurrent(kA));
    EXPECT_EQ(h.Forward(), kB);
    EXPECT_EQ(Names(h), "ABC");
}

TEST(WindowHistoryTest, ActivationAfterGoingBack) {
    // Back from C, then activating C: B goes to the end, then C after it.
    WindowHistory h = Abc();
    h.Back();
    h.Activate(kC, "C");
    EXPECT_EQ(Names(h), "ABC");
    EXPECT_TRUE(h.IsCurrent(kC));

    // Back from C to B, then a click on D: A C B D, and back from D leads to B.
    h = Abc();
    h.Back();
    h.Activate(kD, "D");
    EXPECT_EQ(Names(h), "ACBD");
    EXPECT_TRUE(h.IsCurrent(kD));
    EXPECT_EQ(h.Back(), kB);

    // Activating the current window changes nothing.
    h = Abc();
    h.Activate(kC, "C");
    EXPECT_EQ(Names(h), "ABC");
    EXPECT_EQ(h.CurrentIndex(), 2);
}

TEST(WindowHistoryTest, RemoveAndDropHidden) {
    WindowHistory h = Abc();
    h.Back();
    h.Back();  // A current
    EXPECT_TRUE(h.Remove(kB));
    EXPECT_EQ(Names(h), "AC");
    EXPECT_TRUE(h.IsCurrent(kC));  // closing makes the last entry current
    EXPECT_FALSE(h.Remove(kD));

    // A hidden window (L) drops out; the current one stays current.
    h.Clear();
    for (const void* k : {kA, kL, kC, kD}) h.Activate(k, "");
    h.Back();  // C current
    h.DropIf([](const void* k) { return k == kL; });
    EXPECT_EQ(h.Count(), 3);
    EXPECT_TRUE(h.IsCurrent(kC));
    EXPECT_EQ(h.Back(), kA);  // skips the hidden window

    // When the current window itself is hidden, the last entry becomes current.
    h.Forward();
    h.DropIf([](const void* k) { return k == kC; });
    EXPECT_TRUE(h.IsCurrent(kD));
}

TEST(WindowHistoryTest, OpenListLeavesOutTutorQuizAndSimilar) {
    WindowHistory h;
    const char more[6] = {};
    const char* names[] = {"SingleName", "Tutor", "Quiz", "NameLists", "Similar", "Lexi"};
    for (int i = 0; i < 6; ++i) h.Activate(more + i, names[i]);
    EXPECT_EQ(h.OpenListText(), "SingleName,NameLists,Lexi");
    EXPECT_EQ(WindowHistory().OpenListText(), "");
    EXPECT_EQ(ParseOpenList("SingleName,NameLists"), (std::vector<std::string>{"SingleName", "NameLists"}));
    EXPECT_EQ(ParseOpenList(",,Alpha,,"), std::vector<std::string>{"Alpha"});
    EXPECT_EQ(ParseOpenList(""), std::vector<std::string>{});

    // For reopening: what the program never writes there is skipped.
    auto known = [](const std::string& n) { return n != "Bogus"; };
    OpenList list = ReadOpenList("Alpha,Bogus,Tutor,,Alpha,Lexi,Similar", known);
    EXPECT_EQ(list.names, (std::vector<std::string>{"Alpha", "Lexi"}));
    EXPECT_EQ(list.skipped, 4u);
    EXPECT_EQ(list.skippedText, "Bogus,Tutor,Alpha,Similar");
    std::string flood;
    for (int i = 0; i < 1000; ++i) flood += "Bogus,";
    list = ReadOpenList(flood, known);
    EXPECT_EQ(list.skipped, 1000u);
    EXPECT_LT(list.skippedText.size(), 220u);  // the log line stays short
}

TEST(WindowRectTest, ParseAndFormat) {
    struct Case {
        const char* text;
        std::optional<StoredPosition> expected;
    };
    const Case cases[] = {
        {"100,200,5000,6000,0", StoredPosition{{100, 200, 5000, 6000}, 0}},
        {"  15, 30 ,4500,7000,2", StoredPosition{{15, 30, 4500, 7000}, 2}},
        {"10.5,0,1,1,1.4", StoredPosition{{10.5, 0, 1, 1}, 1}},
        {"0,0,5000,6000,7", StoredPosition{{0, 0, 5000, 6000}, 0}},   // state beyond 0-2
        {"0,0,5000,6000,-1", StoredPosition{{0, 0, 5000, 6000}, 0}},
        {"-300,-45,5000,6000,0", StoredPosition{{-300, -45, 5000, 6000}, 0}},
        {"0,0,5000,0,0", std::nullopt},  {"0,0,-5,6000,0", std::nullopt},  // no size
        {"0,0,5000,6000", std::nullopt}, {"0,0,5000,6000,", std::nullopt}, // state missing
        {"", std::nullopt}, {",,,,", std::nullopt}, {"abc,def,ghi,jkl,mno", std::nullopt},
        {"0,0,99999999999999999999999,6000,0", std::nullopt},  // beyond any screen
    };
    for (const Case& c : cases) EXPECT_EQ(ParseWindowRect(c.text), c.expected) << c.text;

    EXPECT_EQ(FormatWindowRect({12.5, -0.0, 1e7, 3}, 0), "12.5,0,10000000,3,0");
    // What is written reads back the same.
    WindowRect r{405, 1170, 7620, 10455};
    EXPECT_EQ(ParseWindowRect(FormatWindowRect(r, 1)), (StoredPosition{r, 1}));
}

TEST(WindowRectTest, DefaultFrameRectangle) {
    // 1280 x 1024 pixels: a twelfth around, width cut to 1000 pixels.
    EXPECT_EQ(DefaultFrameRect(1280 * 15, 1024 * 15), (WindowRect{1024 * 15 / 12.0, 1600, 12000, 15000}));  // 853 px cut to 800
    EXPECT_EQ(DefaultFrameRect(800 * 15, 600 * 15), (WindowRect{750, 1000, 600 * 15 - 2 * 750, 800 * 15 - 2 * 1000}));
}

TEST(PlacementTest, BandSizeStateAndClamping) {
    const double W = 1000 * 15, H = 600 * 15;  // inner area
    const WindowRect def{0, 405, 6630, 9750};   // a default rectangle
    struct Case {
        const char* what;
        PlaceRequest request;
        Placement expected;
    };
    const Case cases[] = {
        {"sizable child", {{100, 200, 5000, 6000}, 2, false, false, true, 0, W, H}, {100, 200, true, 5000, 6000, 2}},
        {"band added", {{0, 200, 5000, 6000}, 0, false, false, true, 1500, W, H}, {1500, 200, true, 5000, 6000, 0}},
        {"tutor without band", {{0, 0, 5000, 6000}, 0, false, true, true, 1500, W, H}, {0, 0, true, 5000, 6000, 0}},
        {"fixed border keeps size and state", {{100, 200, 5000, 6000}, 2, false, false, false, 0, W, H}, {100, 200, false, 0, 0, 0}},
        {"keep-size width", {{90, 1425, kKeepSize, kKeepSize}, 0, false, false, true, 0, W, H}, {90, 1425, false, 0, 0, 0}},
        {"frame sizes even when fixed", {{100, 100, 6000, 12000}, 0, true, false, false, 1500, W, H}, {100, 100, true, 6000, 12000, 0}},
        {"negative to 0", {{-600, -30, 5000, 6000}, 0, false, false, true, 0, W, H}, {0, 0, true, 5000, 6000, 0}},
        // The whole window comes inside the area, by its own size when that stays.
        {"beyond the inner area", {{H, W + 15, 5000, 6000}, 0, false, false, true, 0, W, H}, {H - 5000, W - 6000, true, 5000, 6000, 0}},
        {"past the right edge", {{100, W - 300, 5000, 6000}, 0, false, false, true, 0, W, H}, {100, W - 6000, true, 5000, 6000, 0}},
        {"fixed window by its own size", {{8000, 14000, 5000, 6000}, 0, false, false, false, 0, W, H, 3000, 4000}, {6000, 11000, false, 0, 0, 0}},
        {"larger than the area shrinks to it", {{300, 300, 12000, 20000}, 0, false, false, true, 0, W, H}, {0, 0, true, H, W, 0}},
        {"band pushes below the area", {{H - 1000, 0, 5000, 6000}, 0, false, false, true, 1500, W, H}, {H - 5000, 0, true, 5000, 6000, 0}},
        // Too small to use (a title bar): the default rectangle instead.
        {"too small: default", {{0, 0, 420, 1800}, 0, false, false, true, 0, W, H, 0, 0, def}, {0, 405, true, 6630, 9750, 0}},
        {"too narrow: default, state kept", {{0, 0, 6000, 2985}, 2, false, false, true, 0, W, H, 0, 0, def}, {0, 405, true, 6630, 9750, 2}},
        {"too small without default: own size", {{30, 40, 420, 1800}, 0, false, false, true, 0, W, H, 3000, 4000}, {30, 40, false, 0, 0, 0}},
        {"unknown area: only negatives mended", {{50000, -1, 5000, 6000}, 0, false, false, true, 0, 0, 0}, {50000, 0, true, 5000, 6000, 0}},
        {"bad state", {{0, 0, 5000, 6000}, 9, false, false, true, 0, W, H}, {0, 0, true, 5000, 6000, 0}},
        // The frame on a second screen, which starts 1920 pixels to the right.
        {"onto a screen that starts elsewhere",
         {{-300, 28000, 6000, 12000}, 0, true, false, true, 0, W, H, 0, 0, std::nullopt, 0, 28800},
         {0, 28800, true, 6000, 12000, 0}},
    };
    // The frame on a screen of 640 x 512 units (1280 x 1024 pixels at scale
    // 2), with a border 8 units wide and 26 high in all: outer size included.
    const double SW = 640 * 15, SH = 512 * 15, BW = 8 * 15, BH = 26 * 15;
    const Case frames[] = {
        {"larger than the screen", {{0, 0, 15360, 19200}, 0, true, false, true, 0, SW, SH, 0, 0, std::nullopt, 0, 0, BH, BW},
         {0, 0, true, SH - BH, SW - BW, 0}},
        {"its border below the screen", {{3000, 0, 4500, 6000}, 0, true, false, true, 0, SW, SH, 0, 0, std::nullopt, 0, 0, BH, BW},
         {SH - BH - 4500, 0, true, 4500, 6000, 0}},
    };
    for (const Case& c : cases) EXPECT_EQ(Place(c.request), c.expected) << c.what;
    for (const Case& c : frames) EXPECT_EQ(Place(c.request), c.expected) << c.what;
}

TEST(PlacementTest, StoredTopWithoutTheBand) {
    // A window opened at 0 under a 1500 band opens at 1500 and is stored at 0.
    EXPECT_EQ(StoredTop(1500, 1500, false), 0);
    EXPECT_EQ(StoredTop(2000, 1500, false), 500);
    EXPECT_EQ(StoredTop(1000, 1500, true), 1000);
    EXPECT_EQ(ShiftedTop(1000, -1500), 0);
}

class ActionBlockedTest : public testing::Test {
protected:
    void SetUp() override {
        WinMan::InitWinMan();
        WinMan::databaseLoading = [this] { return loading; };
        WinMan::clearMark = [this] { ++marksCleared; };
    }
    void TearDown() override {
        WinMan::databaseLoading = nullptr;
        WinMan::clearMark = nullptr;
        WinMan::InitWinMan();
    }
    bool loading = false;
    int marksCleared = 0;
};

TEST_F(ActionBlockedTest, TruthTable) {
    struct Case {
        bool script, loading, tutorial;
        std::optional<bool> answer;  // the question's answer when it is asked
        bool blocked, tutorialAfter;
    };
    const Case cases[] = {
        {false, false, false, {}, false, false},
        {true, true, true, {}, false, true},   // the script's own commands always pass
        {false, true, false, {}, true, false}, // loading: refused without a question
        {false, true, true, {}, true, true},
        {false, false, true, true, false, false},  // yes ends the tutorial
        {false, false, true, false, true, true},   // no keeps it and refuses
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.script << c.loading << c.tutorial);
        WinMan::InitWinMan();
        WinMan::scriptRunning = c.script;
        WinMan::tutorialRunning = c.tutorial;
        loading = c.loading;
        marksCleared = 0;
        if (c.answer) {
            WinMan::bandOffset = 1500;
            Fakes().Answer({*c.answer});
        }
        EXPECT_EQ(WinMan::ActionBlocked(), c.blocked);
        EXPECT_EQ(WinMan::tutorialRunning, c.tutorialAfter);
        if (c.answer) {
            EXPECT_EQ(Fakes().TakeMessageNumbers(), std::vector<int>{GenMsg::GMendTutor});
            EXPECT_EQ(marksCleared, *c.answer ? 1 : 0);
            EXPECT_EQ(WinMan::bandOffset, *c.answer ? 0 : 1500);
        } else {
            EXPECT_TRUE(Fakes().TakeMessageNumbers().empty());
        }
    }
}

TEST(StoredValuesTest, DamagedOpenListAndNamesRestoreNothingForThem) {
    WinMan::InitWinMan();
    Auto::Reset();
    Options::RegBaseKey = "Software\\Test\\";
    // Unknown names, empty pieces, excluded windows and known windows not
    // built yet are all passed by without a box.
    Options::PutVal("Windows", "Open", ",Alpha,,Tutor,Quiz,Bogus,Similar,");
    WinMan::RestoreOpenWindows();
    EXPECT_TRUE(Fakes().TakeAsserts().empty());
    EXPECT_EQ(WinMan::History().Count(), 0);
    EXPECT_FALSE(Auto::IsAvailable("Alpha"));
    EXPECT_EQ(Auto::GetForm("Alpha"), nullptr);
    EXPECT_TRUE(Fakes().TakeAsserts().empty());
}
