// The name window on the sample database, and the choice among similar entries.
#include <QApplication>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QLabel>
#include <QTest>
#include <QTextDocument>

#include "Atom.h"
#include "Fakes.h"
#include "FormControls.h"
#include "GenMsg.h"
#include "QtText.h"
#include "ResultViews.h"
#include "RichTextPane.h"
#include "RtfReader.h"
#include "WinManModel.h"
#include "windows/info/Similar.h"
#include "windows/info/SingleName.h"
#include "WindowsFixture.h"

namespace {

std::string PaneText(SingleName* w) {
    return QtText::FromQt(w->ControlAs<RichTextPane>("Text")->toPlainText());
}

class SingleNameTest : public WindowsTest {
protected:
    // The table window, shown, with these entries.
    TableForm* OpenTable(const std::vector<std::string>& names) {
        Auto::Register("Alpha", [] { return std::make_unique<TableForm>(); });
        WinMan::OpenForm("Alpha");
        auto* table = dynamic_cast<TableForm*>(Auto::GetForm("Alpha"));
        for (const auto& n : names) table->table->AddResult(A(n)->Text(), "", A(n));
        table->table->Show();
        QApplication::processEvents();
        return table;
    }
    static void ClickRow(TableForm* table, int row) {
        ClickAt(table->view->viewport(), table->view->visualRect(table->view->Model()->index(row, 0)).center());
    }
    static SingleName* NameWindow() { return dynamic_cast<SingleName*>(Auto::GetForm(WindowNames::kSingleName)); }
};

TEST_F(SingleNameTest, TypedNamesAndGroupsShowTheirDescription) {
    struct Case {
        std::string typed;
        bool groups;
        std::string shown;  // internal name of the entry shown
        std::string text;   // what the name box then holds
    };
    const std::vector<Case> cases = {
        {"janet", false, "naJanet", "Janet"}, {"Joan", false, "naJoan", "Joan"},
        {"Joan", true, "gnJohanna", "Joan"},  // the group's English text
        {"Miryam", false, "gnMaria", "Mary"},  // an old form shows its group
    };
    SingleName* w = OpenNameWindow();
    ASSERT_NE(w, nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        Lookup(w, c.typed, c.groups);
        ASSERT_EQ(w->curAtom(), A(c.shown));
        EXPECT_EQ(w->ControlAs<TextBox>("CurName")->Text(), c.text);
        EXPECT_NE(PaneText(w).find(c.text), std::string::npos);
    }
    // A name's description goes on with its group's.
    Lookup(w, "Janet");
    EXPECT_NE(PaneText(w).find("Joan"), std::string::npos);
    EXPECT_NE(PaneText(w).find("Languages of use"), std::string::npos);
    EXPECT_EQ(w->ControlAs<ComboBox>("History")->ListIndex(), static_cast<int>(cases.size()));
    // The tutorial's command runs the lookup of whatever the box holds.
    w->ControlAs<TextBox>("CurName")->SetText("Jenny");
    w->Notify(3, "anything");
    EXPECT_EQ(w->curAtom(), A("naJenny"));
    EXPECT_TRUE(Fakes().TakeMessageNumbers().empty());
    // Unknown text: the lookup's messages (pinned with the lookup), the
    // entry shown stays, nothing enters the history.
    Lookup(w, "Qxzqxzqx");
    EXPECT_EQ(Fakes().TakeMessageNumbers(), (std::vector<int>{GenMsg::GMnothingFound, GenMsg::GMuserNames}));
    EXPECT_EQ(w->curAtom(), A("naJenny"));
    EXPECT_EQ(w->nameHistory().numSets(), static_cast<int>(cases.size()) + 2);
}

// Keys typed where the focus is, as a user types them.
void Type(const QString& text) {
    for (QChar c : text) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        const int key = c == QLatin1Char('\r') ? int{Qt::Key_Return} : c.toUpper().unicode();
        const QString t = c == QLatin1Char('\r') ? QString() : QString(c);
        for (auto type : {QEvent::KeyPress, QEvent::KeyRelease}) {
            QKeyEvent e(type, key, Qt::NoModifier, t);
            QApplication::sendEvent(focus, &e);
        }
    }
}

// After Enter the focus stays in the name box with the shown name selected:
// the next name typed replaces it and is looked up in turn.
TEST_F(SingleNameTest, NamesTypedInARowWithEnterAreEachShown) {
    QApplication::setActiveWindow(area);
    SingleName* w = OpenNameWindow();
    ASSERT_TRUE(WinMan::IsCurrent(*w));
    w->ControlAs<TextBox>("CurName")->setFocus();
    Type(QStringLiteral("Janet\r"));
    EXPECT_EQ(w->curAtom(), A("naJanet"));
    Type(QStringLiteral("Jenny\r"));
    EXPECT_EQ(w->curAtom(), A("naJenny"));
    EXPECT_EQ(QApplication::focusWidget(), w->Control("CurName"));
    EXPECT_EQ(w->ControlAs<TextBox>("CurName")->selectedText(), QStringLiteral("Jenny"));
    // The history box keeps its selection: the entry shown last.
    EXPECT_EQ(w->nameHistory().numSets(), 2);
    EXPECT_EQ(w->ControlAs<ComboBox>("History")->ListIndex(), 1);
    // Back in the name box from elsewhere, the next name replaces the text.
    w->ControlAs<ComboBox>("History")->setFocus();
    w->ControlAs<TextBox>("CurName")->setFocus(Qt::OtherFocusReason);
    Type(QStringLiteral("Joan\r"));
    EXPECT_EQ(w->curAtom(), A("naJoan"));
    // A letter without a cp1252 byte is typed as its base letter, never
    // dropped nor turned into "?" at the lookup; accented letters of the code
    // page are taken as they are.
    Type(QString::fromUtf8("\xc5\x81" "ukasz"));
    EXPECT_EQ(w->ControlAs<TextBox>("CurName")->Text(), "Lukasz");
    Type(QString::fromUtf8("\xc3\xa9"));
    EXPECT_EQ(w->ControlAs<TextBox>("CurName")->Text(), "Lukasz\xe9");
}

TEST_F(SingleNameTest, GroupLinksShowTheGroupAndHelpMarksTheirTopic) {
    SingleName* w = OpenNameWindow();
    Lookup(w, "Janet");
    auto* pane = w->ControlAs<RichTextPane>("Text");
    pane->resize(600, 2000);  // every line in view
    QApplication::processEvents();

    // The group link of the description: the name window shows the group.
    ASSERT_TRUE(ClickLink(pane, A("gnJohanna")->id()));
    EXPECT_EQ(w->curAtom(), A("gnJohanna"));
    EXPECT_EQ(w->ControlAs<TextBox>("CurName")->Text(), "Joan");
    EXPECT_EQ(w->nameHistory().numSets(), 2);

    // Links to the other windows' atoms: DescriptionLinksOpenTheWindowOfTheirAtom.
    // A help mark of a heading opens its help topic.
    Options::ShowSingleInfoLinks = true;
    Lookup(w, "Janet");
    ASSERT_TRUE(ClickLink(pane, 40009));
    EXPECT_EQ(Fakes().help.topics.size(), 1u);
}

TEST_F(SingleNameTest, BackAndForwardThroughTheShownEntries) {
    SingleName* w = OpenNameWindow();
    for (const char* n : {"Janet", "Jenny", "Joanna"}) Lookup(w, n);
    auto* back = w->ControlAs<CommandButton>("GoBack");
    auto* forward = w->ControlAs<CommandButton>("GoForward");
    auto* history = w->ControlAs<ComboBox>("History");
    auto* curName = w->ControlAs<TextBox>("CurName");

    struct Step {
        CommandButton* button;
        const char* shown;
        int index;
    };
    const std::vector<Step> steps = {{back, "naJenny", 1},   {back, "naJanet", 0},    {back, "naJanet", 0},
                                     {forward, "naJenny", 1}, {forward, "naJoanna", 2}, {forward, "naJoanna", 2}};
    for (const Step& s : steps) {
        s.button->Press();
        EXPECT_EQ(w->curAtom(), A(s.shown)) << s.shown;
        EXPECT_EQ(curName->Text(), A(s.shown)->Text());
        EXPECT_EQ(history->ListIndex(), s.index);
        EXPECT_NE(PaneText(w).find(A(s.shown)->Text()), std::string::npos);
    }
    // A pick in the history box shows that entry again.
    history->SetListIndex(0);
    EXPECT_EQ(w->curAtom(), A("naJanet"));
    EXPECT_EQ(w->nameHistory().numSets(), 3);

    // The 21st entry pushes the first out.
    for (int i = 0; i < 18; ++i) Lookup(w, "Jenny");
    EXPECT_EQ(w->nameHistory().numSets(), 20);
    EXPECT_EQ(w->nameHistory().resSet(0)->selfAtom(), A("naJenny"));
}

TEST_F(SingleNameTest, BrowsingATableStartsAtTheClickedLine) {
    TableForm* table = OpenTable({"naJohanna", "naJoanna", "naJoan", "naJoanne", "naJane"});
    ClickRow(table, 2);
    SingleName* w = NameWindow();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->curAtom(), A("naJoan"));
    EXPECT_EQ(w->BrowseCaption(), "Browse in list (position 3 of 5)");
    auto copy = w->curBrowseSet();
    ASSERT_TRUE(copy);
    EXPECT_NE(copy, table->table);  // a copy, marked on the clicked line
    EXPECT_EQ(copy->marked(), 2);
    // The mouse-up brought the name window forward.
    EXPECT_EQ(area->activeSubWindow(), w->SubWindow());

    w->ControlAs<CommandButton>("GoNameForward")->Press();
    EXPECT_EQ(w->curAtom(), A("naJoanne"));
    EXPECT_EQ(w->BrowseCaption(), "Browse in list (position 4 of 5)");
    w->ControlAs<CommandButton>("GoNameEnd")->Press();
    EXPECT_EQ(w->curAtom(), A("naJane"));
    w->ControlAs<CommandButton>("GoNameForward")->Press();  // at the end nothing changes
    EXPECT_EQ(w->curAtom(), A("naJane"));
    EXPECT_EQ(w->nameHistory().numSets(), 3);
    w->ControlAs<CommandButton>("GoNameBegin")->Press();
    EXPECT_EQ(w->curAtom(), A("naJohanna"));

    // A followed link keeps the browse position but drops it from the caption.
    w->Notify(0, std::to_string(A("gnJohanna")->id()));
    EXPECT_EQ(w->BrowseCaption(), "Browse in list");
    w->ControlAs<CommandButton>("GoNameForward")->Press();
    EXPECT_EQ(w->curAtom(), A("naJoanna"));

    // Another line of the unchanged table: the same copy, started at that line.
    table->BringToFront();
    ClickRow(table, 4);
    EXPECT_EQ(w->curAtom(), A("naJane"));
    EXPECT_EQ(w->curBrowseSet(), copy);
    EXPECT_EQ(w->BrowseCaption(), "Browse in list (position 5 of 5)");
    w->ControlAs<CommandButton>("GoNameBack")->Press();
    EXPECT_EQ(w->curAtom(), A("naJoanne"));
    // A table with another title is another list.
    table->table->setPureTitle("Other");
    table->BringToFront();
    ClickRow(table, 1);
    EXPECT_NE(w->curBrowseSet(), copy);
    EXPECT_EQ(w->browseLists().numSets(), 2);
}

TEST_F(SingleNameTest, TableClickDuringATutorialLeavesTheFocusWhereItIs) {
    TableForm* table = OpenTable({"naJohanna", "naJoanna"});
    WinMan::tutorialRunning = true;
    WinMan::scriptRunning = true;  // the tutorial's own step: no question
    ClickRow(table, 1);
    WinMan::scriptRunning = false;
    SingleName* w = NameWindow();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->curAtom(), A("naJoanna"));
    EXPECT_TRUE(w->Visible());
    EXPECT_EQ(area->activeSubWindow(), table->SubWindow());
    EXPECT_FALSE(table->nameWindowPending);
    // Nor does a later mouse-up after the tutorial bring it forward.
    WinMan::tutorialRunning = false;
    ClickAt(table->view->viewport(), QPoint(1, 280));
    EXPECT_EQ(area->activeSubWindow(), table->SubWindow());
}

TEST_F(SingleNameTest, BrowseListsComeFromTheListManager) {
    FakeNameLists* lists = nullptr;
    Auto::Register("NameLists", [&lists] {
        auto f = std::make_unique<FakeNameLists>();
        lists = f.get();
        return f;
    });
    SingleName* w = OpenNameWindow();
    Lookup(w, "Janet");
    w->ControlAs<CommandButton>("AsList")->Press();
    ASSERT_NE(lists, nullptr);
    ASSERT_EQ(lists->lists.size(), 1u);
    auto made = lists->lists[0];
    EXPECT_EQ(made->pureTitle(), " from group 'Joan'");
    // The manager's notice put the new list among the browse lists; choosing
    // it shows its line at the cursor.
    auto* curList = w->ControlAs<ComboBox>("CurList");
    EXPECT_EQ(curList->ListCount(), 1);
    curList->SetListIndex(0);
    EXPECT_EQ(w->curAtom(), made->atom(0));
    EXPECT_EQ(w->curBrowseSet(), made);
    // A name window opened later takes the manager's history.
    lists->NewRes(std::make_shared<ResultSet>());
    w->Unload();
    Settle();
    EXPECT_EQ(OpenNameWindow()->browseLists().numSets(), 2);
}

// The choice among similar entries, reached through the lookup.
TEST_F(SingleNameTest, AMisspeltNameOffersSimilarEntriesAndThePickIsShown) {
    SingleName* w = OpenNameWindow();
    Lookup(w, "Janett");
    Similar* s = SimilarWindow();
    ASSERT_NE(s, nullptr);
    auto names = s->names();
    EXPECT_FALSE(s->Control("MultiLabel")->isVisibleTo(s->Client()));
    EXPECT_TRUE(s->Control("SimilarLabel")->isVisibleTo(s->Client()));
    EXPECT_EQ(QtText::FromQt(s->ControlAs<QLabel>("Text")->text()), "Janett");
    int32_t janet = 0;
    ASSERT_TRUE(names->GetAtomIndex(A("naJanet"), janet));
    const std::string line = names->line(janet);
    EXPECT_EQ(line.substr(0, line.find('\t')), "Janet");
    EXPECT_TRUE(line.find("\tsimilar sound\t") != std::string::npos ||
                line.find("\tsimilar spelling 1\t") != std::string::npos)
        << line;
    // The group as a link of its id.
    EXPECT_NE(line.find("<a>" + std::to_string(A("gnJohanna")->id()) + "</a>Joan"), std::string::npos);

    // The click on the line: the name window shows it, the choice goes.
    auto* view = s->ControlAs<ListView>("Names");
    ClickAt(view->viewport(), view->visualRect(view->Model()->index(janet, 0)).center());
    Settle();
    EXPECT_EQ(SimilarWindow(), nullptr);
    EXPECT_EQ(w->curAtom(), A("naJanet"));
    EXPECT_EQ(w->nameHistory().numSets(), 1);
}

// Over a maximised name window the choice opens at its own size and leaves
// the name window maximised, every time, and is stored at a usable size.
TEST_F(SingleNameTest, TheChoiceOverAMaximisedNameWindowKeepsItsSize) {
    Options::RegBaseKey = "Software\\Test\\";
    SingleName* w = OpenNameWindow();
    w->SetWindowState(2);
    QSize designed;
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        Lookup(w, "Janett");
        Similar* s = SimilarWindow();
        ASSERT_NE(s, nullptr);
        Settle();
        EXPECT_EQ(w->WindowState(), 2);
        EXPECT_EQ(s->WindowState(), 0);
        const QSize size = s->SubWindow()->size();
        if (round == 0) designed = size;
        EXPECT_EQ(size, designed);
        EXPECT_GE(size.width(), 400);
        EXPECT_GE(size.height(), 300);
        int32_t janet = 0;
        ASSERT_TRUE(s->names()->GetAtomIndex(A("naJanet"), janet));
        s->Pick(janet);
        Settle();
        EXPECT_EQ(w->curAtom(), A("naJanet"));
        EXPECT_EQ(w->WindowState(), 2);
        std::string stored;
        ASSERT_TRUE(Options::GetVal("Windows", "Similar", stored));
        auto pos = WinModel::ParseWindowRect(stored);
        ASSERT_TRUE(pos) << stored;
        EXPECT_EQ(pos->state, 0) << stored;
        EXPECT_EQ(pos->rect.width, designed.width() * 15.0) << stored;
        EXPECT_EQ(pos->rect.height, designed.height() * 15.0) << stored;
    }
}

// A name typed with its accent also finds the spelling without it: the
// entry spelled as typed, accents kept and case aside, stands ready for
// Enter, else the first.
TEST_F(SingleNameTest, TheChoiceHasTheEntrySpelledAsTypedReady) {
    SingleName* w = OpenNameWindow();
    const struct {
        const char* typed;
        const char* ready;  // null: the first line
    } cases[] = {{"\xc4nne", "naAenne"}, {"\xc1gnes", "naAgnesHu"}, {"Anne", "naAnne"},
                 {"\xe4nne", "naAenne"}, {"\xe1gnes", "naAgnesHu"}, {"anne", "naAnne"}, {"\xe9nne", nullptr}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        auto* box = w->ControlAs<TextBox>("CurName");
        box->clear();
        TypeKeys(box, c.typed);
        QTest::keyClick(box, Qt::Key_Return);
        Similar* s = SimilarWindow();
        ASSERT_NE(s, nullptr);
        ASSERT_GE(s->names()->numLines(), 2);
        atom* ready = s->names()->atom(s->names()->SelIndex());
        EXPECT_EQ(ready, c.ready ? A(c.ready) : s->names()->atom(0));
        // Enter picks it.
        QTest::keyClick(s->ControlAs<ListView>("Names"), Qt::Key_Return);
        Settle();
        EXPECT_EQ(w->curAtom(), ready);
    }
}

TEST_F(SingleNameTest, ANameTwoEntriesShareIsOfferedAsMultiple) {
    SingleName* w = OpenNameWindow();
    Lookup(w, "Andrea");
    Similar* s = SimilarWindow();
    ASSERT_NE(s, nullptr);
    EXPECT_TRUE(s->Control("MultiLabel")->isVisibleTo(s->Client()));
    EXPECT_FALSE(s->Control("SimilarLabel")->isVisibleTo(s->Client()));
    auto names = s->names();
    ASSERT_EQ(names->numLines(), 2);
    for (int i = 0; i < 2; ++i) EXPECT_NE(names->line(i).find("\tmultiple\t"), std::string::npos);
    EXPECT_EQ(names->atom(0)->kind() + names->atom(1)->kind(), 1);  // a male and a female name
    EXPECT_EQ(names->SelIndex(), 0);  // the first stands ready for Enter

    // The pick reaches a name window that was closed meanwhile.
    atom* second = names->atom(1);
    w->Unload(UnloadMode::User);
    Settle();
    ASSERT_FALSE(w->IsLoaded());
    s->Pick(1);
    Settle();
    EXPECT_TRUE(w->IsLoaded());
    EXPECT_EQ(w->curAtom(), second);
}

}  // namespace
