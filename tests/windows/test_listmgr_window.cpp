// The Manage Lists window itself: its automatic-step options across a
// shutdown, the exclusive pairs, closing that only hides, and a click on a
// line that opens the name window at that line.
#include "Fakes.h"
#include "FormControls.h"
#include "ListManager.h"
#include "lists/NameLists.h"
#include "Options.h"
#include "ResultViews.h"
#include "WinMan.h"
#include "WindowsFixture.h"

using ListManager::Step;

namespace {

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
