// The road of a new list through the list manager: automatic filters and
// conversions in their fixed order with the count prefix, numbering, sort
// order of new lists, the history of 20 lists and the broadcast of changes.
#include "Atom.h"
#include "Fakes.h"
#include "FormControls.h"
#include "ListManager.h"
#include "lists/NameLists.h"
#include "Options.h"
#include "ResultViews.h"
#include "Searches.h"
#include "WinMan.h"
#include "WindowsFixture.h"

using ListManager::Step;

namespace {

TEST_F(ListMgrTest, WithoutAutomaticStepsOnlyNumberAndCountGoBeforeTheTitle) {
    Produce(": Test", {"naJohannes", "naMaria", "gnJohannes"});
    EXPECT_EQ(Lists().current()->title(), "1st list: 2 names+1 group: Test");
    EXPECT_TRUE(Lists().Visible());
    Produce(": Again", {"naMaria"});
    Produce(": Third", {"naMaria"});
    EXPECT_EQ(Lists().current()->title(), "3rd list: 1 name: Third");
}

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
        if (c.lines >= 0) EXPECT_EQ(cur->numLines(), c.lines);
        EXPECT_EQ(cur->pureTitle(), " of 2 names+2 groups: In" + c.suffix);
        const std::string size = Searches::ResultSizeText(*cur);
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

TEST_F(ListMgrTest, TheHistoryKeepsTwentyListsAndNumbersGoOn) {
    for (int i = 1; i <= 21; ++i) Produce(": L" + std::to_string(i), {"naMaria"});
    ResultHistory& h = Lists().listHistory();
    EXPECT_EQ(h.numSets(), 20);
    EXPECT_EQ(h.resSet(0)->id(), 2);
    EXPECT_EQ(Lists().current()->title().rfind("21st list", 0), 0u);
    EXPECT_EQ(Lists().historySet()->numLines(), 20);
    EXPECT_EQ(Lists().historySet()->line(19), Lists().current()->title());
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

    // A pick in the history view broadcasts and shows that list.
    Lists().ControlAs<ListView>("History")->SelectTag(1);
    Lists().History_ItemClick();
    EXPECT_EQ(notes, std::vector<int>({2}));
    EXPECT_EQ(Lists().current()->pureTitle(), ": B");
    EXPECT_EQ(act->ListIndex(), 1);
    EXPECT_EQ(Searches::BusyDepth(), 0);
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

}  // namespace
