// The Manage Lists window itself: its automatic-step options across a
// shutdown, the exclusive pairs, closing that only hides, a click on a line
// that opens the name window at that line, and its texts in both languages.
#include "ListMgrFixture.h"

#include <QGroupBox>

#include "Atom.h"
#include "Cp1252.h"
#include "ListManager.h"
#include "QtText.h"
#include "ToolTip.h"

using namespace listmgr_test;
using ListManager::Step;

namespace {

// What the frame does when it closes: options written first, windows after.
void ShutDown() {
    WinMan::appClosing = true;
    Options::SaveOptions();
    for (FormBase* f : std::vector<FormBase*>(FormBase::LoadedForms())) f->Unload(UnloadMode::AppClosing);
}

TEST_F(ListMgrTest, AutomaticStepOptionsSurviveAShutdownWithTheWindowOpen) {
    WinMan::OpenForm("NameLists");
    Lists().AutoBox(Step::FemaleOnly)->click();
    Lists().AutoBox(Step::ToGroups)->click();
    Lists().AutoBox(Step::GroupsOnly)->click();
    Lists().AutoBox(Step::GroupsOnly)->click();  // ticked and cleared again
    ShutDown();
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
    const std::vector<std::pair<Step, int>> expected = {
        {Step::ToNames, 0}, {Step::ToGroups, 1}, {Step::FemaleOnly, 0},
        {Step::MaleOnly, 1}, {Step::NamesOnly, 0}, {Step::GroupsOnly, 1}};
    for (auto [step, value] : expected) EXPECT_EQ(Lists().AutoBox(step)->Value(), value) << static_cast<int>(step);
    EXPECT_FALSE(Options::ListsAutoToNames);
    EXPECT_TRUE(Options::ListsAutoMaleOnly);

    Lists().AutoBox(Step::FemaleOnly)->click();
    EXPECT_EQ(Lists().AutoBox(Step::MaleOnly)->Value(), 0);
    EXPECT_TRUE(Options::ListsAutoFemaleOnly);
    EXPECT_FALSE(Options::ListsAutoMaleOnly);
}

TEST_F(ListMgrTest, ClosingOnlyHidesTheWindowAndKeepsItsLists) {
    WinMan::OpenForm("NameLists");
    Produce(": K", {"naMaria"});
    Produce(": L", {"naMarie"});
    EXPECT_TRUE(Lists().Unload(UnloadMode::User) == false || Lists().IsLoaded());
    EXPECT_TRUE(Lists().IsLoaded());
    EXPECT_FALSE(Lists().Visible());
    EXPECT_EQ(WinMan::History().Find(&Lists()), -1);

    WinMan::OpenForm("NameLists");
    EXPECT_TRUE(Lists().Visible());
    EXPECT_EQ(Lists().current()->pureTitle(), ": L");
    EXPECT_EQ(Lists().listHistory().numSets(), 2);
    Produce(": M", {"naMaria"});
    EXPECT_EQ(Lists().current()->id(), 3);
    EXPECT_TRUE(Fakes().TakeAsserts().empty());
}

TEST_F(ListMgrTest, AClickOnALineBrowsesTheCurrentListFromThatLine) {
    Produce(": Click", {"naJohannes", "naMaria", "naMarie"});
    auto cur = Lists().current();
    auto* view = Lists().ControlAs<ListView>("Names");
    ASSERT_TRUE(view);
    ASSERT_EQ(view->Model()->rowCount(), 3);
    view->SelectTag(2);
    emit view->clicked(view->Model()->index(view->Model()->RowOfTag(2), 0));
    FakeSingleName& names = Names();
    ASSERT_EQ(names.shows, 1);
    EXPECT_EQ(names.shownAtom, cur->atom(2));
    EXPECT_EQ(names.shownSet, cur);
    EXPECT_TRUE(names.shownMarkCurrent);
    EXPECT_EQ(names.shownMarked, 2);
    cur->CurPosToMarked();
    EXPECT_EQ(cur->curPos(), 2);

    EXPECT_TRUE(Lists().nameWindowPending);
    Lists().Names_MouseUp();
    EXPECT_FALSE(Lists().nameWindowPending);
    EXPECT_TRUE(WinMan::IsCurrent(names));
}

// A table of another window goes to the name window as a copy: marked on
// the clicked line, and made again only when the table's title changed.
class TableForm : public ChildForm, public ChildWindow {
public:
    TableForm() : ChildForm("Alpha") {}
    void Notify(int16_t code, const std::string& text) override { OnNotify(code, text); }
    using ChildForm::Notify;
    std::unique_ptr<ListViewDisplay> display;
    ResultSet table;
    ListView* view = nullptr;
    std::shared_ptr<ResultSet> Copy() const { return browseCopy; }

protected:
    void BuildControls() override {
        Resize(3000, 4000);
        view = Add<ListView>("Names");
        view->setGeometry(5, 5, 200, 150);
    }
    void Form_Load() override {
        display = std::make_unique<ListViewDisplay>(view);
        table.Init("", nullptr, "", nullptr, display.get());
        table.setPureTitle(": Table");
    }
};

TEST_F(ListMgrTest, ATableLineGoesToTheNameWindowInAMarkedCopy) {
    Auto::Register("Alpha", [] { return std::make_unique<TableForm>(); });
    WinMan::OpenForm("Alpha");
    auto& form = *dynamic_cast<TableForm*>(Auto::GetForm("Alpha"));
    for (const char* n : {"naJohannes", "naMaria", "naMarie"}) form.table.AddResult(A(n)->Text(), "", A(n));
    form.table.Show();
    form.view->SelectTag(1);
    form.TableItemToNameWindow(form.table);
    FakeSingleName& names = Names();
    ASSERT_TRUE(names.shownSet);
    EXPECT_NE(names.shownSet.get(), &form.table);
    EXPECT_EQ(names.shownMarked, 1);
    EXPECT_EQ(names.shownAtom, A("naMaria"));
    auto first = form.Copy();

    form.view->SelectTag(2);
    form.TableItemToNameWindow(form.table);
    EXPECT_EQ(names.shownSet, first);
    EXPECT_EQ(names.shownMarked, 2);

    form.table.setPureTitle(": Other");
    form.TableItemToNameWindow(form.table);
    EXPECT_NE(names.shownSet, first);
    EXPECT_EQ(names.shownMarked, 2);
}

TEST_F(ListMgrTest, CaptionsAndTooltipsComeInTheTextLanguage) {
    Options::ShowToolTips = true;
    struct Case {
        int language;
        std::string title, frame, button, box, tip;
    };
    const std::vector<Case> cases = {
        {1, "Manage Lists", "History", "Only Male", "Automatically",
         "Go back to the previous list according to history"},
        {0, "Listen verwalten", "Verlauf", "Nur männliche"_cp, "automatisch",
         "Gehe zurück zur vorhergehenden Liste gemäss Verlauf"_cp},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.language);
        TextConstants::textLanguage = c.language;
        WinMan::appClosing = true;
        Lists().Unload(UnloadMode::AppClosing);
        WinMan::appClosing = false;
        Lists().Load();
        EXPECT_EQ(Lists().Caption(), c.title);
        EXPECT_EQ(QtText::FromQt(Lists().ControlAs<QGroupBox>("HistoryFrame")->title()), c.frame);
        EXPECT_EQ(QtText::FromQt(Lists().ControlAs<CommandButton>("GenderMaleOnly")->text()), c.button);
        EXPECT_EQ(QtText::FromQt(Lists().ControlAs<CheckBox>("AutoNamesOnly")->text()), c.box);
        QWidget* back = Lists().Control("GoBack");
        std::string tip;
        for (const auto& t : Lists().toolTips)
            if (t->IsTool(back)) tip = t->ToolText(back);
        EXPECT_EQ(tip, c.tip);
        // Every button and box has exactly one tooltip.
        EXPECT_EQ(Lists().toolTips.size(), 18u);
    }
}

TEST_F(ListMgrTest, WithoutTheTooltipOptionNoControlHasATooltip) {
    Options::ShowToolTips = false;
    Lists().Load();
    EXPECT_TRUE(Lists().toolTips.empty());
}

}  // namespace
