// The predefined lists and the combination of two lists, on the real list
// manager.
#include <algorithm>

#include "Atom.h"
#include "DataBase.h"
#include "Fakes.h"
#include "FormControls.h"
#include "ResultHistory.h"
#include "Searches.h"
#include <QLabel>
#include "TextConstants.h"
#include "WindowsFixture.h"
#include "windows/lists/ListOp.h"
#include "windows/lists/StdLists.h"
#include "windows/search/SearchWindows.h"
#include "windows/search/PickRandom.h"
#include "windows/search/LetterMix.h"
#include "windows/info/OrigLang.h"
#include <QSignalBlocker>
#include <functional>
#include <QGroupBox>
#include <QTest>
#include "GenMsg.h"

namespace {

class MoreListsTest : public ListMgrTest {
protected:
    StdLists& Std() { return Form<StdLists>("StdLists"); }
    ListOp& Op() { return Form<ListOp>("ListOp"); }
    static std::vector<std::string> Sorted(std::vector<std::string> v) {
        std::sort(v.begin(), v.end());
        return v;
    }
    // The text of the current list's title after its size.
    std::string TitleTail() {
        const std::string t = Lists().current()->pureTitle();
        return t.substr(t.find(": "));
    }
};

TEST_F(MoreListsTest, EachPredefinedListHoldsEveryAtomOfItsKindsAndItsCount) {
    struct Case {
        StdLists::List which;
        std::vector<int> kinds;
        int32_t count;
        std::string title;
    };
    const Case cases[] = {
        {StdLists::kAllNames, {0, 1}, DataBase::numAllNames, ": All names"},
        {StdLists::kAllFemale, {1}, DataBase::numAllFemale, ": All female names"},
        {StdLists::kAllMale, {0}, DataBase::numAllMale, ": All male names"},
        {StdLists::kAllGenNames, {2, 3}, DataBase::numAllGenNames, ": All groups"},
        {StdLists::kAllGenFemale, {3}, DataBase::numAllFemaleGen, ": All female groups"},
        {StdLists::kAllGenMale, {2}, DataBase::numAllMaleGen, ": All male groups"},
    };
    StdLists& w = Std();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        EXPECT_GT(c.count, 0);
        w.List_Click(c.which);
        auto cur = Lists().current();
        ASSERT_EQ(cur->numLines(), c.count);
        for (int32_t i = 0; i < cur->numLines(); ++i)
            ASSERT_NE(std::find(c.kinds.begin(), c.kinds.end(), cur->atom(i)->kind()), c.kinds.end());
        EXPECT_EQ(TitleTail(), c.title);
        // The counter beside the button shows the same number.
        const char* counters[] = {"NumAllNames",    "NumAllFemale",    "NumAllMale",
                                  "NumAllGenNames", "NumAllFemaleGen", "NumAllMaleGen"};
        EXPECT_EQ(w.ControlAs<QLabel>(counters[c.which])->text().toStdString(), std::to_string(c.count));
    }
    EXPECT_EQ(Services::BusyDepth(), 0);
}

TEST_F(MoreListsTest, PredefinedListsPassTheAutomaticStepsAndTheTutorialsCommands) {
    Options::ListsAutoFemaleOnly = true;
    Std().List_Click(StdLists::kAllMale);
    EXPECT_EQ(Lists().current()->numLines(), 0);
    Options::ListsAutoFemaleOnly = false;
    Lists().AutoBox(ListManager::Step::FemaleOnly)->SetValue(0);

    Std().Notify(int16_t{3}, "AllGenNames");
    EXPECT_EQ(TitleTail(), ": All groups");
    Std().Notify(int16_t{3}, "AllNames");
    EXPECT_EQ(TitleTail(), ": All names");
    Std().Notify(int16_t{3}, "AllMale");  // no command of the tutorial's
    EXPECT_EQ(Lists().listHistory().numSets(), 3);

    BlockLoading();
    Std().List_Click(StdLists::kAllFemale);
    EXPECT_EQ(Lists().listHistory().numSets(), 3);
}

TEST_F(MoreListsTest, EveryModeCombinesTheLastTwoListsAndNamesThemByNumber) {
    Produce(": A", {"naMaria", "naJohannes", "naMarie"});
    Produce(": B", {"naMarie", "gnMaria"});
    struct Case {
        const char* button;
        std::vector<std::string> atoms;
        std::string title;
    };
    // Each combination becomes the newest list, so the next one combines
    // list 2 with the one made before it; the boxes are set back each time.
    const Case cases[] = {
        {"OpOr", {"gnMaria", "naJohannes", "naMaria", "naMarie"}, " from combination: All from 1st list and 2nd list"},
        {"OpAnd", {"naMarie"}, " from combination: Common to 1st list and 2nd list"},
        {"OpSubList2", {"naJohannes", "naMaria"}, " from combination: 1st list without that common with 2nd list"},
        {"OpSubList1", {"gnMaria"}, " from combination: 2nd list without that common with 1st list"},
    };
    ListOp& w = Op();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        w.ControlAs<OptionButton>("AnyTwo")->SetValue(true);
        w.ControlAs<ComboBox>("List1")->SetListIndex(0);
        w.ControlAs<ComboBox>("List2")->SetListIndex(1);
        w.ControlAs<OptionButton>(c.button)->SetValue(true);
        w.ControlAs<CommandButton>("DoOp")->Press();
        EXPECT_EQ(Sorted(AtomNames(*Lists().current())), c.atoms);
        const std::string t = Lists().current()->pureTitle();
        EXPECT_EQ(t.substr(t.find(" from combination")), c.title);
    }
    EXPECT_EQ(Lists().listHistory().numSets(), 6);
}

TEST_F(MoreListsTest, LastTwoFollowsTheHistoryAndAnyTwoMayPickOneListTwice) {
    ListOp& w = Op();
    auto* lastTwo = w.ControlAs<OptionButton>("LastTwo");
    auto* list1 = w.ControlAs<ComboBox>("List1");
    auto* list2 = w.ControlAs<ComboBox>("List2");
    // No list, then one: nothing to choose, nothing to combine.
    for (int lists = 0; lists < 2; ++lists) {
        SCOPED_TRACE(lists);
        EXPECT_FALSE(lastTwo->isEnabled());
        EXPECT_FALSE(w.ControlAs<OptionButton>("AnyTwo")->isEnabled());
        EXPECT_FALSE(w.ControlAs<CommandButton>("DoOp")->isEnabled());
        EXPECT_EQ(list1->ListCount(), 0);
        EXPECT_EQ(list2->ListIndex(), -1);
        w.DoOp_Click();
        EXPECT_EQ(Lists().listHistory().numSets(), lists);
        Produce(": L" + std::to_string(lists + 1), {"naMaria", "naJohannes"});
    }
    EXPECT_TRUE(lastTwo->isEnabled());
    EXPECT_TRUE(w.ControlAs<CommandButton>("DoOp")->isEnabled());
    EXPECT_EQ(list1->ListIndex(), 0);
    EXPECT_EQ(list2->ListIndex(), 1);
    EXPECT_FALSE(list1->isEnabled());

    // A = B: the union is the list, the intersection doubles every reason,
    // each difference is empty.
    w.ControlAs<OptionButton>("AnyTwo")->SetValue(true);
    EXPECT_TRUE(list1->isEnabled());
    const struct {
        const char* button;
        int lines;
        std::string reason;
    } same[] = {{"OpOr", 2, "hit"}, {"OpAnd", 2, "hit+hit"}, {"OpSubList2", 0, ""}, {"OpSubList1", 0, ""}};
    for (const auto& c : same) {
        SCOPED_TRACE(c.button);
        list1->SetListIndex(0);
        list2->SetListIndex(0);
        w.ControlAs<OptionButton>(c.button)->SetValue(true);
        w.DoOp_Click();
        ASSERT_EQ(Lists().current()->numLines(), c.lines);
        if (c.lines) { EXPECT_EQ(Lists().current()->reason(0), c.reason); }
    }

    // After combining, the last two are selected again, the new list as B.
    lastTwo->SetValue(true);
    EXPECT_EQ(list2->ListIndex(), list2->ListCount() - 1);
    EXPECT_EQ(list2->Text(), Lists().current()->title());
}

// The manager keeps twenty lists and numbers on; the oldest goes from its
// history box and from both boxes of the combination window.
TEST_F(MoreListsTest, AFullHistoryDropsTheOldestListFromBothBoxes) {
    Produce(": Test", {"naJohannes", "naMaria", "gnJohannes"});  // no automatic step: number and count only
    EXPECT_EQ(Lists().current()->title(), "1st list: 2 names+1 group: Test");
    EXPECT_TRUE(Lists().Visible());
    for (int i = 2; i <= 20; ++i) Produce(": L" + std::to_string(i), {"naMaria"});
    ListOp& w = Op();
    auto* list1 = w.ControlAs<ComboBox>("List1");
    EXPECT_EQ(list1->ListCount(), 20);
    w.DoOp_Click();
    EXPECT_EQ(Lists().current()->id(), 21);
    ResultHistory& h = Lists().listHistory();
    EXPECT_EQ(h.numSets(), 20);
    EXPECT_EQ(h.resSet(0)->title(), "2nd list: 1 name: L2");
    EXPECT_EQ(Lists().historySet()->numLines(), 20);
    EXPECT_EQ(Lists().historySet()->line(19), Lists().current()->title());
    EXPECT_EQ(list1->ListCount(), 20);
    EXPECT_EQ(list1->List(0), h.resSet(0)->title());
    EXPECT_EQ(w.ControlAs<ComboBox>("List2")->Text().rfind("21st list", 0), 0u);
    EXPECT_EQ(list1->Text().rfind("20th list", 0), 0u);
}

// --- random names ----------------------------------------------------------------------

class PickRandomTest : public MoreListsTest {
protected:
    void SetUp() override {
        MoreListsTest::SetUp();
        SearchWindows::Register();
    }
    PickRandom& Pick() { return Form<PickRandom>("PickRandom"); }
    std::string Total() { return Pick().ControlAs<TextBox>("TotalNum")->Text(); }
    void Ask(const std::string& n) {
        Pick().ControlAs<TextBox>("PickNum")->SetText(n);
        Pick().ControlAs<CommandButton>("Pick")->Press();
    }
};

TEST_F(PickRandomTest, ASeededPickTakesTheDrawnEntriesInOrderAndNumbersThem) {
    PickRandom& w = Pick();
    EXPECT_EQ(Total(), std::to_string(DataBase::numAllNames));
    w.ControlAs<OptionButton>("AllMale")->SetValue(true);
    EXPECT_EQ(Total(), std::to_string(DataBase::numAllMale));
    // Zeros keep every entry in place: the first three male names of the table.
    Fakes().random.script = {0, 0, 0};
    Options::ListsNewSortOrder = 0;
    Lists().Load();
    Lists().ControlAs<ComboBox>("NewSortOrder")->SetListIndex(0);
    Ask("3");
    auto cur = Lists().current();
    ASSERT_EQ(cur->numLines(), 3);
    std::vector<atom*> males = RandomPick::BaseSet(RandomPick::Base::Male, nullptr);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(cur->atom(i), males[static_cast<size_t>(i)]);
        EXPECT_EQ(cur->reason(i), "   " + std::to_string(i + 1));
    }
    EXPECT_NE(cur->pureTitle().find(" from all " + std::to_string(DataBase::numAllMale) +
                                    " male names picked at random"),
              std::string::npos);

    // Nothing asked: an empty list is still handed over.
    Ask("0");
    EXPECT_EQ(Lists().current()->numLines(), 0);
    EXPECT_EQ(Lists().listHistory().numSets(), 2);
    EXPECT_EQ(Services::BusyDepth(), 0);
}

TEST_F(PickRandomTest, TheNumberIsCheckedEvenWhenTheFieldKeepsTheFocus) {
    Pick();
    const struct {
        const char* text;
        int message;
    } bad[] = {{"", GenMsg::GMnotEmpty}, {"zwei", GenMsg::GMonlyNumbers}};  // the rest: CheckNumberField
    for (const auto& c : bad) {
        SCOPED_TRACE(c.text);
        Ask(c.text);  // Enter or a tutorial's command right after typing
        EXPECT_EQ(Fakes().TakeMessageNumbers(), std::vector<int>{c.message});
        EXPECT_FALSE(Lists().IsLoaded() && Lists().current());
    }
    // The field's own check as it loses the focus, then a pick without a second message.
    Pick().ControlAs<TextBox>("PickNum")->SetText("x");
    EXPECT_FALSE(Pick().PickNum_LostFocus());
    EXPECT_EQ(Fakes().TakeMessageNumbers(), std::vector<int>{GenMsg::GMonlyNumbers});
    Pick().Pick_Click();
    EXPECT_TRUE(Fakes().TakeMessageNumbers().empty());
    Ask(" 2 ");
    EXPECT_EQ(Lists().current()->numLines(), 2);
}

TEST_F(PickRandomTest, LeavingAnEmptyOrInvalidNumberGivesOneMessageAndAUsableBox) {
    PickRandom& w = Pick();
    Settle();
    auto* box = w.ControlAs<TextBox>("PickNum");
    auto* other = w.ControlAs<OptionButton>("AllMale");
    QApplication::setActiveWindow(area->window());
    for (const char* text : {"", "zwei"}) {
        SCOPED_TRACE(text);
        box->setFocus();
        Settle();
        ASSERT_EQ(QApplication::focusWidget(), box);
        box->SetText(text);
        other->setFocus();  // the user tabs or clicks elsewhere in the window
        Settle();
        EXPECT_EQ(Fakes().TakeMessageNumbers().size(), 1u);
        // A number that passes, and the focus back to correct it.
        EXPECT_EQ(box->Text(), "1");
        EXPECT_EQ(QApplication::focusWidget(), box);
        // Leaving again goes through without a word.
        other->setFocus();
        Settle();
        EXPECT_TRUE(Fakes().TakeMessageNumbers().empty());
        EXPECT_EQ(QApplication::focusWidget(), other);
    }
}

// A click on an option button that takes the focus from "abc": the message
// first, then the click takes effect. A click on Pick that way picks nothing.
TEST_F(PickRandomTest, AClickThatSetsOffTheNumberMessageTakesEffectAfterIt) {
    PickRandom& w = Pick();
    Settle();
    QApplication::setActiveWindow(area->window());
    auto* box = w.ControlAs<TextBox>("PickNum");
    auto* female = w.ControlAs<OptionButton>("AllFemale");
    box->setFocus(Qt::MouseFocusReason);
    box->SetText("abc");
    // The press moves the focus; its release goes to the message box.
    QTest::mousePress(female, Qt::LeftButton);
    Settle();
    QTest::mouseRelease(box, Qt::LeftButton);
    EXPECT_EQ(Fakes().TakeMessageNumbers(), std::vector<int>{GenMsg::GMonlyNumbers});
    EXPECT_TRUE(female->Value());
    EXPECT_FALSE(female->isDown());
    EXPECT_EQ(Total(), std::to_string(DataBase::numAllFemale));
    EXPECT_EQ(box->Text(), "1");
    EXPECT_EQ(QApplication::focusWidget(), box);

    box->SetText("abc");
    QTest::mouseClick(w.ControlAs<CommandButton>("Pick"), Qt::LeftButton);
    Settle();
    EXPECT_EQ(Fakes().TakeMessageNumbers(), std::vector<int>{GenMsg::GMonlyNumbers});
    EXPECT_FALSE(Lists().IsLoaded() && Lists().current());
}

TEST_F(PickRandomTest, TheCurrentListsCountFollowsItsChangesAndAStaleCountCannotOverdraw) {
    Produce(": Three", {"naMaria", "naMaria", "naJohannes"});
    PickRandom& w = Pick();
    auto* act = w.ControlAs<OptionButton>("ActList");
    EXPECT_EQ(act->text().toStdString(), "From all 3 names of the current list");
    act->SetValue(true);
    EXPECT_EQ(Total(), "3");

    // A list holding a name twice may give it twice: sorted, it reads
    // Johannes, Maria, Maria; the draw swaps 0 with 1, then 1 with 2.
    Fakes().random.script = {0.5, 0.5};
    Ask("2");
    auto cur = Lists().current();
    ASSERT_EQ(cur->numLines(), 2);
    EXPECT_EQ(cur->atom(0), A("naMaria"));
    EXPECT_EQ(cur->atom(1), A("naMaria"));
    EXPECT_EQ(Total(), "2");  // the pick became the current list

    Produce(": One", {"naJohannes"});
    EXPECT_EQ(Total(), "1");
    EXPECT_EQ(act->text().toStdString(), "From all 1 names of the current list");
    Ask("3");
    const auto shown = Fakes().TakeMessages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].number, GenMsg::GMtooManyRandom);
    EXPECT_EQ(shown[0].arg, "2");
    EXPECT_EQ(Lists().listHistory().numSets(), 3);

    // A base chosen while the list was longer: the base at the pick decides.
    w.ControlAs<OptionButton>("All")->SetValue(true);
    act->SetValue(true);
    Produce(": Empty", {});
    Pick().ControlAs<TextBox>("TotalNum")->SetText("5");  // as a stale count would read
    Ask("1");
    EXPECT_EQ(Fakes().TakeMessageNumbers(), std::vector<int>{GenMsg::GMtooManyRandom});
}

TEST_F(PickRandomTest, ABlockedChoicePutsThePreviousOptionBack) {
    PickRandom& w = Pick();
    BlockLoading();
    w.ControlAs<OptionButton>("AllGen")->click();
    EXPECT_TRUE(w.ControlAs<OptionButton>("All")->Value());
    EXPECT_FALSE(w.ControlAs<OptionButton>("AllGen")->Value());
    EXPECT_EQ(Total(), std::to_string(DataBase::numAllNames));
    UnblockLoading();
    w.ControlAs<OptionButton>("AllGen")->click();
    EXPECT_EQ(Total(), std::to_string(DataBase::numAllGenNames));
}

}  // namespace

// --- letter combinations ------------------------------------------------------------

namespace {

class LetterMixTest : public PickRandomTest {
protected:
    LetterMix& Mix() { return Form<LetterMix>("LetterMix"); }
    void Type(int box, const std::string& text) { Mix().ControlAs<TextBox>("Letters", box)->SetText(text); }
};

TEST_F(LetterMixTest, ACombinationListsItsNamesAndDrawsTheFirst) {
    LetterMix& w = Mix();
    Type(0, "Ann");
    Type(1, "Tom");
    w.ControlAs<CommandButton>("Search")->Press();
    const ResultSet& names = *w.names();
    std::vector<std::string> lines;
    for (int32_t i = 0; i < names.numLines(); ++i) lines.push_back(names.line(i));
    for (const char* n : {"Anton", "Manon", "Tom"})
        EXPECT_NE(std::find(lines.begin(), lines.end(), n), lines.end()) << n;
    EXPECT_TRUE(std::is_sorted(lines.begin(), lines.end()));
    EXPECT_EQ(w.ControlAs<QGroupBox>("NamesFrame")->title().toStdString(),
              std::to_string(names.numLines()) + " names");
    EXPECT_EQ(names.pureTitle(), " from letters of the names 'Ann'/'Tom'");
    // The first line is drawn: its boxes in the name's row.
    EXPECT_EQ(w.layout().rows[1].size(), names.line(0).size());

    // The table goes to the list manager under its title.
    w.AsList_Click();
    EXPECT_EQ(Lists().current()->numLines(), names.numLines());
    EXPECT_NE(Lists().current()->pureTitle().find("from letters of the names 'Ann'/'Tom'"), std::string::npos);
    EXPECT_EQ(Services::BusyDepth(), 0);
}

TEST_F(LetterMixTest, ALineClickedAfterTheTextsChangedIsDrawnWithTheTextsOfTheTable) {
    LetterMix& w = Mix();
    Type(0, "Ann");
    Type(1, "Tom");
    w.Search_Click();
    int32_t anton = -1;
    ASSERT_TRUE(w.names()->GetAtomIndex(A("naAnton"), anton));
    Type(0, "Xaver");
    Type(1, "");
    w.names()->markLine(anton);
    w.Names_ItemClick();
    EXPECT_TRUE(Fakes().TakeAsserts().empty());
    EXPECT_TRUE(w.layout().complete);
    EXPECT_EQ(w.layout().rows[0].size(), 3u);  // Ann, not Xaver
    EXPECT_EQ(w.layout().lines.size(), 5u);

    // Nothing found: the count phrase for none and an empty picture.
    Type(0, "Qqq");
    w.Search_Click();
    EXPECT_EQ(w.names()->numLines(), 0);
    EXPECT_EQ(w.ControlAs<QGroupBox>("NamesFrame")->title().toStdString(), "No name");
    EXPECT_TRUE(w.layout().rows[1].empty());
    // All three texts empty: the table stays as it was.
    Type(0, "");
    Type(1, "Tom");
    w.Search_Click();
    const int32_t found = w.names()->numLines();
    Type(1, "");
    w.Search_Click();
    EXPECT_EQ(w.names()->numLines(), found);
    EXPECT_EQ(w.ControlAs<TextBox>("Letters", 2)->maxLength(), 33);
}

}  // namespace

// --- the tutorials' command ------------------------------------------------------------

namespace {

// A tutorial's command (Notify 3) does what the window's main button does,
// and each window hands its list to the list manager as that button would.
TEST_F(LetterMixTest, TheTutorialsCommandRunsEachWindowsMainAction) {
    Auto::Register("OrigLang", [] { return std::make_unique<OrigLang>(); });
    Produce(": A", {"naMaria", "naJohannes"});
    Produce(": B", {"naMaria"});
    struct Case {
        const char* window;
        std::function<void()> prepare;
        std::string text;
        int newLists;
        std::function<void()> check;
    };
    const Case cases[] = {
        {"ListOp", [&] { Op().ControlAs<OptionButton>("OpAnd")->SetValue(true); }, "", 1,
         [&] { EXPECT_EQ(AtomNames(*Lists().current()), std::vector<std::string>{"naMaria"}); }},
        {"LetterMix", [&] { Type(0, "Ann"), Type(1, "Tom"); }, "", 0,
         [&] { EXPECT_GT(Mix().names()->numLines(), 2); }},
        {"PickRandom", [&] { Pick().ControlAs<TextBox>("PickNum")->SetText("2"); }, "", 1,
         [&] { EXPECT_EQ(Lists().current()->numLines(), 2); }},
        {"OrigLang", [&] { Form<OrigLang>("OrigLang").ShowAtom(A("laAncientGreek")); }, "OrigAsList", 1,
         [&] { EXPECT_EQ(Lists().current()->numLines(), Form<OrigLang>("OrigLang").origin()->numLines()); }},
        {"OrigLang",
         [&] {
             // The box shows another language than the window, as a
             // tutorial's SETVALUE leaves it.
             OrigLang& w = Form<OrigLang>("OrigLang");
             w.ShowAtom(A("laHungarian"));
             ASSERT_NE(w.curLang(), DataBase::GetComboLang(0));
             auto* box = w.ControlAs<ComboBox>("CurLang");
             const QSignalBlocker quiet(box);
             box->setCurrentIndex(0);
         },
         "", 0, [&] { EXPECT_EQ(Form<OrigLang>("OrigLang").curLang(), DataBase::GetComboLang(0)); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.window + (" " + c.text));
        WinMan::OpenForm(c.window);
        c.prepare();
        const int before = Lists().listHistory().numSets();
        Auto::GetForm(c.window)->Notify(3, c.text);
        EXPECT_EQ(Lists().listHistory().numSets(), before + c.newLists);
        c.check();
    }
    EXPECT_TRUE(Fakes().TakeMessageNumbers().empty());
}

}  // namespace
