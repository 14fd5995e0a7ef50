// The road of a new list through the list manager, and its window.
#include <QApplication>
#include <QTest>

#include "Atom.h"
#include "CountText.h"
#include "Fakes.h"
#include "FormControls.h"
#include "ListManager.h"
#include "ResultViews.h"
#include "WindowsFixture.h"

using ListManager::Step;

namespace {

// Each step alone, on the same incoming list.
TEST_F(ListMgrTest, EachAutomaticStepFiltersOrConvertsAndNamesItself) {
    struct Case {
        Step step;
        std::string suffix;
        std::vector<std::string> leading;  // the first lines' atoms
        int lines;                         // -1: more than the leading ones
    };
    const std::vector<Case> cases = {
        {Step::FemaleOnly, ", only female", {"naMaria", "gnMaria"}, 2},
        {Step::MaleOnly, ", only male", {"naJohannes", "gnJohannes"}, 2},
        {Step::NamesOnly, ", only names", {"naJohannes", "naMaria"}, 2},
        {Step::GroupsOnly, ", only groups", {"gnJohannes", "gnMaria"}, 2},
        {Step::ToGroups, ", converted to groups", {"gnJohannes", "gnMaria"}, 2},
        {Step::ToNames, ", converted to names", {"naJohannes", "naMaria"}, -1},
    };
    Options::ListsNewSortOrder = 0;  // the lines in the order the steps made them
    Lists().Load();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.suffix);
        for (Step s : ListManager::kStepOrder) Lists().AutoBox(s)->SetValue(s == c.step ? 1 : 0);
        Produce(": In", {"naJohannes", "naMaria", "gnJohannes", "gnMaria"});
        auto cur = Lists().current();
        std::vector<std::string> names = AtomNames(*cur);
        ASSERT_GE(names.size(), c.leading.size());
        EXPECT_EQ(std::vector<std::string>(names.begin(), names.begin() + c.leading.size()), c.leading);
        if (c.lines >= 0) { EXPECT_EQ(cur->numLines(), c.lines); }
        EXPECT_EQ(cur->pureTitle(), " of 2 names+2 groups: In" + c.suffix);
        const std::string size = CountText::ResultSizeText(*cur);
        EXPECT_EQ(cur->title().substr(cur->title().find(": ") + 2, size.size()), size);
    }
}

TEST_F(ListMgrTest, AutomaticStepsRunInTheirFixedOrderWhateverOrderTheyWereTicked) {
    Lists().Load();
    // Ticked "only names" first, then "to groups": the conversion still
    // runs first, so the names filter leaves nothing, and the list is numbered.
    Lists().AutoBox(Step::NamesOnly)->SetValue(1);
    Lists().AutoBox(Step::ToGroups)->SetValue(1);
    Produce(": T", {"naJohannes"});
    EXPECT_EQ(Lists().current()->numLines(), 0);
    EXPECT_EQ(Lists().current()->title(), "1st list: Nothing of 1 name: T, converted to groups, only names");

    // Female filter before the conversion to groups; reasons name the source.
    Lists().AutoBox(Step::NamesOnly)->SetValue(0);
    Lists().AutoBox(Step::FemaleOnly)->SetValue(1);
    Produce(": Mix", {"naJohannes", "naMaria", "naMarie", "gnJohannes"});
    auto cur = Lists().current();
    EXPECT_EQ(AtomNames(*cur), std::vector<std::string>{"gnMaria"});
    EXPECT_EQ(cur->reason(0), "Group of '" + A("naMaria")->Text() + "'");
    EXPECT_EQ(cur->title(), "2nd list: 1 group of 3 names+1 group: Mix, only female, converted to groups");
}

TEST_F(ListMgrTest, NewListsTakeTheChosenSortOrder) {
    Lists().Load();
    Lists().ControlAs<ComboBox>("NewSortOrder")->SetListIndex(2);
    EXPECT_EQ(Options::ListsNewSortOrder, 2);
    Produce(": S", {"naMaria", "naJohannes", "naMarie"});
    auto cur = Lists().current();
    EXPECT_EQ(cur->SortOrder(), 2);
    EXPECT_EQ(Lists().ControlAs<ComboBox>("ActSortOrder")->ListIndex(), 2);
    EXPECT_GT(cur->line(0), cur->line(1));
    EXPECT_GT(cur->line(1), cur->line(2));
}

TEST_F(ListMgrTest, EveryChangeOfTheCurrentListIsBroadcastButNotAReSort) {
    WinMan::OpenForm("SingleName");
    std::vector<int>& notes = Names().notes;
    Produce(": A", {"naMaria", "naJohannes"});
    Produce(": B", {"naMarie"});
    EXPECT_EQ(notes, std::vector<int>({2, 2}));
    notes.clear();

    Lists().GoBack_Click();
    EXPECT_EQ(Lists().current()->pureTitle(), ": A");
    Lists().GoBack_Click();  // at the oldest: nothing
    EXPECT_EQ(notes, std::vector<int>({2}));
    Lists().GoForward_Click();
    Lists().GoForward_Click();  // at the newest: nothing
    EXPECT_EQ(notes, std::vector<int>({2, 2}));

    Lists().GoBack_Click();
    notes.clear();
    auto* act = Lists().ControlAs<ComboBox>("ActSortOrder");
    act->SetListIndex(2);  // as the user's choice: re-sorts the current list only
    EXPECT_TRUE(notes.empty());
    EXPECT_EQ(Lists().current()->SortOrder(), 2);
    EXPECT_EQ(Lists().current()->id(), 1);
    EXPECT_EQ(Lists().listHistory().numSets(), 2);
    EXPECT_EQ(Lists().listHistory().resSet(1)->SortOrder(), 1);  // the other list keeps its order
    EXPECT_EQ(Services::BusyDepth(), 0);
}

TEST_F(ListMgrTest, HandRunStepsMakeNewListsThroughTheSearchEngine) {
    Lists().Load();
    Lists().Notify(int16_t{3}, "GenderFemaleOnly");  // no list yet: nothing
    EXPECT_FALSE(Lists().current());

    Produce(": P", {"naJohannes", "naMaria", "gnMaria"});
    Lists().Notify(int16_t{3}, "GenderFemaleOnly");
    EXPECT_EQ(Lists().current()->title(), "2nd list: 1 name+1 group, only female");
    Lists().StepButton(Step::NamesOnly)->Press();
    EXPECT_EQ(Lists().current()->title(), "3rd list: 1 name, only names");

    // A hand-run list passes the automatic steps too.
    Lists().AutoBox(Step::ToGroups)->SetValue(1);
    Lists().Notify(int16_t{3}, "GenderMaleOnly");
    EXPECT_EQ(Lists().current()->title(), "4th list: Nothing of Nothing, only male, converted to groups");

    Lists().Notify(int16_t{3}, "Bogus");
    EXPECT_EQ(Fakes().TakeAsserts().size(), 1u);
    EXPECT_EQ(Lists().listHistory().numSets(), 4);
}

// The Manage Lists window itself.
TEST_F(ListMgrTest, AutomaticStepOptionsSurviveAShutdownWithTheWindowOpen) {
    WinMan::OpenForm("NameLists");
    Lists().AutoBox(Step::FemaleOnly)->click();
    Lists().AutoBox(Step::ToGroups)->click();
    Lists().AutoBox(Step::GroupsOnly)->click();
    Lists().AutoBox(Step::GroupsOnly)->click();  // ticked and cleared again
    // What the frame does when it closes: options written first, windows after.
    WinMan::appClosing = true;
    Options::SaveOptions();
    for (FormBase* f : std::vector<FormBase*>(FormBase::LoadedForms())) f->Unload(UnloadMode::AppClosing);
    EXPECT_FALSE(Lists().IsLoaded());

    for (bool* o : AutoOptions()) *o = false;
    Options::LoadOptions();
    EXPECT_TRUE(Options::ListsAutoFemaleOnly);
    EXPECT_TRUE(Options::ListsAutoToGenNames);
    EXPECT_FALSE(Options::ListsAutoGenNamesOnly);
    EXPECT_FALSE(Options::ListsAutoMaleOnly);
}

TEST_F(ListMgrTest, PairsExcludeEachOtherAndTheSecondOfAStoredPairWins) {
    for (bool* o : AutoOptions()) *o = true;
    Lists().Load();
    for (auto [step, value] : {std::pair{Step::ToNames, 0}, {Step::ToGroups, 1}, {Step::FemaleOnly, 0},
                               {Step::MaleOnly, 1}, {Step::NamesOnly, 0}, {Step::GroupsOnly, 1}})
        EXPECT_EQ(Lists().AutoBox(step)->Value(), value) << static_cast<int>(step);
    EXPECT_FALSE(Options::ListsAutoToNames);

    Lists().AutoBox(Step::FemaleOnly)->click();
    EXPECT_EQ(Lists().AutoBox(Step::MaleOnly)->Value(), 0);
    EXPECT_TRUE(Options::ListsAutoFemaleOnly);
    EXPECT_FALSE(Options::ListsAutoMaleOnly);
}

TEST_F(ListMgrTest, ClosingOnlyHidesTheWindowAndKeepsItsLists) {
    WinMan::OpenForm("NameLists");
    Produce(": K", {"naMaria"});
    Produce(": L", {"naMarie"});
    Lists().Unload(UnloadMode::User);
    EXPECT_TRUE(Lists().IsLoaded());
    EXPECT_FALSE(Lists().Visible());
    EXPECT_EQ(WinMan::History().Find(&Lists()), -1);

    WinMan::OpenForm("NameLists");
    EXPECT_EQ(Lists().current()->pureTitle(), ": L");
    Produce(": M", {"naMaria"});
    EXPECT_EQ(Lists().current()->id(), 3);
    EXPECT_TRUE(Fakes().TakeAsserts().empty());
}

// Back and forward are gray where the history has no list to go to.
TEST_F(ListMgrTest, TheArrowsAreGrayWithNothingToGoTo) {
    WinMan::OpenForm("NameLists");
    auto arrows = [this] {
        return std::pair(Lists().ControlAs<CommandButton>("GoBack")->isEnabled(),
                         Lists().ControlAs<CommandButton>("GoForward")->isEnabled());
    };
    EXPECT_EQ(arrows(), std::pair(false, false));  // no list
    Produce(": A", {"naMaria"});
    EXPECT_EQ(arrows(), std::pair(false, false));  // one list
    Produce(": B", {"naMarie"});
    EXPECT_EQ(arrows(), std::pair(true, false));
    // By keyboard: the arrow turning gray hands the keyboard to the other.
    auto* back = Lists().ControlAs<CommandButton>("GoBack");
    QApplication::setActiveWindow(back->window());
    back->setFocus();
    QTest::keyClick(back, Qt::Key_Space);
    EXPECT_EQ(arrows(), std::pair(false, true));
    EXPECT_EQ(QApplication::focusWidget(), Lists().ControlAs<CommandButton>("GoForward"));
    Lists().GoForward_Click();
    EXPECT_EQ(arrows(), std::pair(true, false));
}

TEST_F(ListMgrTest, AClickOnALineBrowsesTheCurrentListFromThatLine) {
    Produce(": Click", {"naJohannes", "naMaria", "naMarie"});
    auto cur = Lists().current();
    auto* view = Lists().ControlAs<ListView>("Names");
    ASSERT_EQ(view->Model()->rowCount(), 3);
    view->SelectTag(2);
    emit view->clicked(view->Model()->index(view->Model()->RowOfTag(2), 0));
    FakeSingleName& names = Names();
    ASSERT_EQ(names.shows, 1);
    EXPECT_EQ(names.shownAtom, cur->atom(2));
    EXPECT_EQ(names.shownSet, cur);
    EXPECT_EQ(names.shownMarked, 2);

    EXPECT_TRUE(Lists().nameWindowPending);
    Lists().Names_MouseUp();  // the mouse-up brings the name window forward
    EXPECT_FALSE(Lists().nameWindowPending);
    EXPECT_TRUE(WinMan::IsCurrent(names));
}

}  // namespace
