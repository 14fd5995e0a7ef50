// The three query windows on the sample database, offscreen, with the fake
// clock: explanations and query, the connectives, the number check, the
// language boxes, and the lists they hand to the list manager.
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QStandardItemModel>
#include <QTest>

#include "Atom.h"
#include "DataBase.h"
#include "Fakes.h"
#include "FormControls.h"
#include "GenDescr.h"
#include "GenMsg.h"
#include "LangCombo.h"
#include "ResultSet.h"
#include "SearchInfo.h"
#include "TextConstants.h"
#include "WindowsFixture.h"
#include "windows/search/FullText.h"
#include "windows/search/Lang.h"
#include "windows/search/Lexi.h"
#include "windows/search/SearchWindows.h"

namespace {

class SearchWindowsTest : public WindowsTest {
protected:
    void SetUp() override {
        WindowsTest::SetUp();
        SearchWindows::Register();
        Auto::Register("NameLists", [] { return std::make_unique<FakeNameLists>(); });
        Auto::Register("SingleName", [] { return std::make_unique<FakeSingleName>(); });
        Fakes().clock.now.second = 5;
    }
    static ComboBox* Cond(FormBase* w, int i) { return w->ControlAs<ComboBox>("Cond", i); }
    static TextBox* Arg(FormBase* w, int i) { return w->ControlAs<TextBox>("Arg", i); }
    static ComboBox* ArgList(FormBase* w, int i) { return w->ControlAs<ComboBox>("Arg", i); }
    static void NextSecond() { Fakes().clock.now.second += 1; }
    FakeNameLists& Lists() { return *dynamic_cast<FakeNameLists*>(Auto::GetForm("NameLists")); }
    static bool Has(const std::string& rtf, const std::string& text) { return rtf.find(text) != std::string::npos; }
    // The index of a language in a language box.
    static int IndexOf(ComboBox* box, const std::string& text) {
        for (int i = 0; i < box->ListCount(); ++i)
            if (box->List(i) == text) return i;
        return -1;
    }
};

// "Anna" copied with its line end and pasted into a row searches for what
// "Anna" typed does.
TEST_F(SearchWindowsTest, APastedNameIsSearchedAsTyped) {
    auto* w = Open<Lexi>("Lexi");
    Cond(w, 0)->SetListIndex(1);
    Arg(w, 0)->SetText("Anna");
    w->ControlAs<CommandButton>("Search")->Press();
    Arg(w, 0)->SetText("");
    QGuiApplication::clipboard()->setText(QStringLiteral("Anna\r\n"));
    QTest::keySequence(Arg(w, 0), QKeySequence::Paste);
    w->ControlAs<CommandButton>("Search")->Press();
    ASSERT_EQ(Lists().lists.size(), 2u);
    EXPECT_EQ(Lists().lists[1]->pureTitle(), " from search: starts with 'Anna'");
    EXPECT_GT(Lists().lists[1]->numLines(), 0);
    EXPECT_EQ(Lists().lists[1]->numLines(), Lists().lists[0]->numLines());
}

TEST_F(SearchWindowsTest, LexiExplainsACodeWithoutArgumentAtOnceAndTypingAtTheNextSecond) {
    auto* w = Open<Lexi>("Lexi");
    ASSERT_TRUE(w);
    EXPECT_TRUE(Arg(w, 0)->isReadOnly());

    Cond(w, 0)->SetListIndex(17);
    EXPECT_TRUE(Has(w->ExplRtf(0), "name is symmetrical in writing, like e.g. "));
    EXPECT_EQ(w->ring().count(), 1);
    EXPECT_FALSE(Has(w->QueryRtf(), "symmetrical"));

    Cond(w, 1)->SetListIndex(1);
    EXPECT_FALSE(Arg(w, 1)->isReadOnly());
    Arg(w, 1)->SetText("an");
    w->UpdateTimer_Timer();  // the same clock second: nothing yet
    EXPECT_FALSE(Has(w->ExplRtf(1), "letter sequence"));
    EXPECT_FALSE(Has(w->QueryRtf(), "symmetrical"));
    NextSecond();
    w->UpdateTimer_Timer();
    EXPECT_TRUE(Has(w->ExplRtf(1), "name starts with the letter sequence "));
    EXPECT_TRUE(Has(w->QueryRtf(), "symmetrical"));
    EXPECT_TRUE(Has(w->QueryRtf(), "and "));
    EXPECT_FALSE(w->changed());

    // Switching to a code without argument empties and locks the box.
    Cond(w, 1)->SetListIndex(16);
    EXPECT_EQ(Arg(w, 1)->Text(), "");
    EXPECT_TRUE(Arg(w, 1)->isReadOnly());
}

TEST_F(SearchWindowsTest, LexiConnectivesStayInStepAndTheSearchHandsItsListOver) {
    auto* w = Open<Lexi>("Lexi");
    w->ControlAs<ComboBox>("Logic", 1)->SetListIndex(1);
    EXPECT_EQ(w->ControlAs<ComboBox>("Logic", 0)->ListIndex(), 1);
    EXPECT_FALSE(w->andMode());
    w->ControlAs<ComboBox>("Logic", 0)->SetListIndex(0);
    EXPECT_EQ(w->ControlAs<ComboBox>("Logic", 1)->ListIndex(), 0);
    EXPECT_TRUE(w->andMode());

    Cond(w, 0)->SetListIndex(1);
    Arg(w, 0)->SetText("an");
    Cond(w, 1)->SetListIndex(10);
    Arg(w, 1)->SetText("5");
    w->ControlAs<CommandButton>("Search")->Press();
    ASSERT_EQ(Lists().lists.size(), 1u);
    const ResultSet& rs = *Lists().lists.back();
    // The rows' codes and arguments as the title names them; what they find is the engine's.
    EXPECT_EQ(rs.pureTitle(), " from search: starts with 'an' and no. of letters greater/equal 5");
    ASSERT_GT(rs.numLines(), 0);
    EXPECT_EQ(rs.reason(0).substr(0, 2), "AN");
    // Tutorial command 3 runs the same search; no complete row still hands a list over.
    Cond(w, 0)->SetListIndex(0);
    Cond(w, 1)->SetListIndex(0);
    w->ControlAs<ComboBox>("Logic", 0)->SetListIndex(1);
    w->Notify(3, "");
    ASSERT_EQ(Lists().lists.size(), 2u);
    EXPECT_EQ(Lists().lists.back()->numLines(), 0);
}

TEST_F(SearchWindowsTest, LexiLeavingACountBoxChecksOnceAndPutsOneBack) {
    auto* w = Open<Lexi>("Lexi");
    Cond(w, 0)->SetListIndex(9);
    struct Case { std::string text; std::vector<int> messages; std::string after; };
    // Which texts pass is CheckNumberField's (pinned with it); the box puts 1
    // back after the one message, and keeps a number that passes.
    const Case cases[] = {{"", {GenMsg::GMnotEmpty}, "1"}, {"x", {GenMsg::GMonlyNumbers}, "1"}, {"0", {}, "0"}};
    for (const Case& c : cases) {
        Arg(w, 0)->SetText(c.text);
        w->Arg_LostFocus(0);
        EXPECT_EQ(Fakes().TakeMessageNumbers(), c.messages) << c.text;
        EXPECT_EQ(Arg(w, 0)->Text(), c.after) << c.text;
    }
    // Typing 0 marks nothing; leaving the box accepts it.
    NextSecond();
    w->UpdateTimer_Timer();
    EXPECT_FALSE(w->changed());
    Arg(w, 0)->SetText("0");
    EXPECT_FALSE(w->rowChanged(0));
    w->Arg_LostFocus(0);
    EXPECT_TRUE(w->rowChanged(0));
    // A count typed with its sign is that count: typing it marks the row.
    NextSecond();
    w->UpdateTimer_Timer();
    Arg(w, 0)->SetText("+4");
    EXPECT_TRUE(w->rowChanged(0));
    // Argument boxes take at most 100 characters.
    Cond(w, 1)->SetListIndex(3);
    Arg(w, 1)->SetText(std::string(150, 'a'));
    EXPECT_EQ(Arg(w, 1)->Text().size(), 100u);
    // Typed characters outside code page 1252 are refused, others taken.
    Arg(w, 1)->SetText("");
    for (char16_t ch : {u'\u2192', u'\u00e9'}) {
        QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(QChar(ch)));
        QApplication::sendEvent(Arg(w, 1), &key);
    }
    EXPECT_EQ(Arg(w, 1)->Text(), "\xe9");
}

// "abc" in a count box: the focus going to another window asks nothing;
// the box is checked when left for a control of its own window, and by
// the search, which then does not run.
TEST_F(SearchWindowsTest, ACountBoxLeftForAnotherWindowAsksNothing) {
    auto* w = Open<Lexi>("Lexi");
    QApplication::setActiveWindow(area);
    Cond(w, 0)->SetListIndex(9);
    TextBox* box = Arg(w, 0);
    box->setFocus(Qt::MouseFocusReason);
    box->SetText("abc");
    Settle();
    ASSERT_EQ(QApplication::focusWidget(), box);
    Open<FullText>("FullText");  // as from the toolbar
    Settle();
    ASSERT_NE(QApplication::focusWidget(), box);
    EXPECT_TRUE(Fakes().TakeMessageNumbers().empty());

    w->Search_Click();
    EXPECT_EQ(Fakes().TakeMessageNumbers(), std::vector<int>{GenMsg::GMonlyNumbers});
    EXPECT_EQ(box->Text(), "1");
    EXPECT_TRUE(Lists().lists.empty());

    // Back in the window, a move to its own condition box checks.
    box->SetText("abc");
    WinMan::OpenForm("Lexi");
    box->setFocus(Qt::MouseFocusReason);
    Cond(w, 1)->setFocus(Qt::TabFocusReason);
    Settle();
    EXPECT_EQ(Fakes().TakeMessageNumbers(), std::vector<int>{GenMsg::GMonlyNumbers});
    EXPECT_EQ(QApplication::focusWidget(), box);
}

TEST_F(SearchWindowsTest, NotifyCodesPerWindowAndExampleLinksOpenTheName) {
    auto* lexi = Open<Lexi>("Lexi");
    Cond(lexi, 0)->SetListIndex(1);
    Arg(lexi, 0)->SetText("an");
    NextSecond();
    lexi->Notify(5, "");
    EXPECT_TRUE(lexi->changed());  // Lexi waits for its timer

    atom* anna = A("naAnna");
    lexi->Notify(0, std::to_string(anna->id()));
    auto* names = dynamic_cast<FakeSingleName*>(Auto::GetForm("SingleName"));
    ASSERT_TRUE(names);
    EXPECT_EQ(names->shownAtom, anna);

    auto* lang = Open<Lang>("Lang");
    ArgList(lang, 0)->SetListIndex(1);
    EXPECT_TRUE(lang->changed());
    lang->Notify(5, "");  // no later second needed
    EXPECT_FALSE(lang->changed());
    EXPECT_TRUE(Has(lang->QueryRtf(), "the original language of the name is "));

    auto* full = Open<FullText>("FullText");
    Cond(full, 0)->SetListIndex(2);
    Arg(full, 0)->SetText("God");
    full->Notify(0, std::to_string(anna->id()));
    EXPECT_EQ(names->shows, 1);  // FullText follows no links
    full->Notify(3, "");
    ASSERT_FALSE(Lists().lists.empty());
    EXPECT_EQ(Lists().lists.back()->pureTitle(), " from fulltext search: contains the word 'God'");
}

TEST_F(SearchWindowsTest, LangRefillsItsLanguageBoxesAsTheConditionChanges) {
    auto* w = Open<Lang>("Lang");
    ASSERT_TRUE(w);
    EXPECT_TRUE(w->argIsOrigin(0));
    EXPECT_EQ(ArgList(w, 0)->ListIndex(), 0);

    // A language chosen first sets "language of origin" and stays.
    const int hebrew = IndexOf(ArgList(w, 0), "Hebrew");
    ASSERT_GT(hebrew, 0);
    ArgList(w, 0)->SetListIndex(hebrew);
    EXPECT_EQ(Cond(w, 0)->ListIndex(), 1);
    EXPECT_EQ(ArgList(w, 0)->Text(), "Hebrew");
    EXPECT_TRUE(Has(w->ExplRtf(0), "Example "));

    // Use refills; choosing use again keeps the language.
    Cond(w, 0)->SetListIndex(2);
    EXPECT_FALSE(w->argIsOrigin(0));
    EXPECT_EQ(ArgList(w, 0)->ListIndex(), 0);
    ArgList(w, 0)->SetListIndex(IndexOf(ArgList(w, 0), "English"));
    Cond(w, 0)->SetListIndex(2);
    EXPECT_EQ(ArgList(w, 0)->Text(), "English");

    // Back to undefined: the language goes, the explanation empties.
    Cond(w, 0)->SetListIndex(0);
    EXPECT_EQ(ArgList(w, 0)->ListIndex(), 0);
    EXPECT_FALSE(Has(w->ExplRtf(0), "English"));
    // A language chosen now, while the box holds the use list, switches to
    // origin and the language has to be chosen again.
    ArgList(w, 0)->SetListIndex(IndexOf(ArgList(w, 0), "English"));
    EXPECT_EQ(Cond(w, 0)->ListIndex(), 1);
    EXPECT_TRUE(w->argIsOrigin(0));
    EXPECT_EQ(ArgList(w, 0)->ListIndex(), 0);

    // The separator names no language and cannot be chosen.
    ComboBox* box = ArgList(w, 1);
    const int sep = IndexOf(box, std::string(12, '_'));
    ASSERT_GT(sep, 0);
    auto* model = qobject_cast<QStandardItemModel*>(box->model());
    ASSERT_TRUE(model);
    EXPECT_FALSE(model->item(sep)->isEnabled());
    EXPECT_EQ(LangCombo::ItemData(box, sep), -1);
    box->SetListIndex(sep);
    EXPECT_EQ(LangCombo::SelectedLang(box), nullptr);
    EXPECT_FALSE(Has(w->ExplRtf(1), "Example"));
}

TEST_F(SearchWindowsTest, LangJoinsRowsWithReasonsInRowOrder) {
    auto* w = Open<Lang>("Lang");
    Cond(w, 0)->SetListIndex(1);
    ArgList(w, 0)->SetListIndex(IndexOf(ArgList(w, 0), "Hebrew"));
    Cond(w, 1)->SetListIndex(2);
    ArgList(w, 1)->SetListIndex(IndexOf(ArgList(w, 1), "English"));
    w->Search_Click();
    ASSERT_EQ(Lists().lists.size(), 1u);
    const ResultSet& both = *Lists().lists.back();
    EXPECT_EQ(both.pureTitle(), " with language of origin: Hebrew and language of use: English");
    ASSERT_GT(both.numLines(), 0);
    EXPECT_EQ(both.reason(0), "Heb+Eng");
    // The connective box chooses "or" for the search (the joining itself is
    // the engine's, pinned with it).
    w->ControlAs<ComboBox>("Logic", 0)->SetListIndex(1);
    w->Search_Click();
    EXPECT_GT(Lists().lists.back()->numLines(), both.numLines());
}

TEST_F(SearchWindowsTest, FullTextListMarksItsTermInTheDescriptions) {
    auto* w = Open<FullText>("FullText");
    EXPECT_TRUE(Arg(w, 0)->isReadOnly());
    Cond(w, 0)->SetListIndex(2);
    EXPECT_FALSE(Arg(w, 0)->isReadOnly());
    Arg(w, 0)->SetText("God");
    NextSecond();
    w->UpdateTimer_Timer();
    EXPECT_TRUE(Has(w->ExplRtf(0), "description of the name contains somewhere the word "));
    EXPECT_FALSE(Has(w->ExplRtf(0), "like e.g."));
    w->Search_Click();
    ASSERT_EQ(Lists().lists.size(), 1u);
    const ResultSet& rs = *Lists().lists.back();
    ASSERT_GT(rs.numLines(), 0);
    ASSERT_TRUE(rs.searchInfo());
    EXPECT_EQ(rs.reason(0), "God");

    ResultSet descr;
    GenDescr::DescrFlags f;
    f.markInfo = rs.searchInfo().get();
    GenDescr::DescribeGroup(rs.atom(0), descr, f);
    bool bold = false;
    for (int32_t i = 0; i < descr.numLines(); ++i) bold = bold || Has(descr.line(i), "<b>God</b>");
    EXPECT_TRUE(bold);
}

}  // namespace
