// Enter and Escape in the running program, pressed where the focus is, in
// both editions: Enter presses the button with the focus and otherwise the
// window's default button, a text box with an Enter of its own keeps it,
// Escape closes the dialog-like windows just as their close box does (or is
// their Cancel) and no other window, and a close keeps what was typed.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMainWindow>
#include <QTest>
#include <QTextBrowser>
#include <set>

#include "DataBase.h"
#include "Fakes.h"
#include "FormControls.h"
#include "GenMsg.h"
#include "GenMsgForm.h"
#include "HelpViewer.h"
#include "KFrame.h"
#include "OptionEntry.h"
#include "Options.h"
#include "ProgramFixture.h"
#include "ResultViews.h"
#include "Searches.h"
#include "WinMan.h"
#include "TutSelect.h"
#include "Tutor.h"
#include "windows/info/SingleName.h"
#include "windows/lists/Favorites.h"
#include "windows/lists/Quiz.h"
#include "windows/lists/QuizOptions.h"

namespace {

void Settle() {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

class Keys : public RunningProgram, public testing::WithParamInterface<const char*> {
protected:
    void SetUp() override {
        RunningProgram::SetUp();
        const std::string edition = GetParam();
        const std::string key = edition == "talvessin" ? "Talvessin" : "Orsabrine";
        Fakes().settings.Write("Software\\Quillmarsh\\" + key + "\\1.x\\Options", "ShowShortHelp", "False");
        StartProgram("/x/" + edition);
        Options::QuizUseLimit = false;  // no clock runs
        QMainWindow* main = program->Frame()->MainWindow();
        main->resize(1000, 800);
        QApplication::setActiveWindow(main);
        Settle();
        Fakes().TakeMessageNumbers();
        Fakes().help.topics.clear();
    }
    void TearDown() override {
        WinMan::tutorialRunning = false;
        RunningProgram::TearDown();
    }

    static FormBase* Open(const std::string& name) {
        WinMan::OpenForm(name);
        Settle();
        FormBase* f = Auto::GetForm(name);
        EXPECT_TRUE(f && f->Visible()) << name;
        return f;
    }
    // The user puts the focus on widget and presses key there.
    static void Press(QWidget* widget, Qt::Key key) {
        ASSERT_TRUE(widget);
        QApplication::setActiveWindow(widget->window());
        widget->setFocus(Qt::TabFocusReason);
        ASSERT_EQ(QApplication::focusWidget(), widget);
        QTest::keyClick(widget, key);
        Settle();
    }
    static bool Loaded(const std::string& name) {
        FormBase* f = Auto::GetForm(name);
        return f && f->IsLoaded();
    }
    static size_t Lists() {
        auto* lists = dynamic_cast<NameListsWindow*>(Auto::GetForm("NameLists"));
        return lists ? lists->HistoryLists().size() : 0;
    }
};

INSTANTIATE_TEST_SUITE_P(BothEditions, Keys, testing::Values("talvessin", "orsabrine"));

// Space was the only key that pressed a button outside the dialogs.
TEST_P(Keys, EnterPressesTheButtonWithTheFocus) {
    FormBase* shortHelp = Open("ShortHelp");
    Press(shortHelp->Control("DoClose"), Qt::Key_Return);
    EXPECT_FALSE(shortHelp->IsLoaded());
    EXPECT_TRUE(Loaded("Alpha"));  // where Close leads on to

    // A button that is not the default one: Enter presses it, not the default.
    FormBase* lexi = Open("Lexi");
    const size_t lists = Lists();
    Press(lexi->Control("ShowHelp"), Qt::Key_Enter);
    EXPECT_EQ(Fakes().help.topics, std::vector<std::string>{"Lexi"});
    EXPECT_EQ(Lists(), lists);
}

TEST_P(Keys, EnterRunsTheWindowsCommandFromItsBoxes) {
    // Quiz Options: Enter in a number box checks it before a round starts.
    auto* opts = static_cast<QuizOptions*>(Open("QuizOptions"));
    opts->NumberBox(QuizOptions::kNumQ)->SetText("99");
    Press(opts->NumberBox(QuizOptions::kNumQ), Qt::Key_Return);
    EXPECT_EQ(Fakes().TakeMessageNumbers(), std::vector<int>{GenMsg::GMtooBig});
    EXPECT_FALSE(Loaded("Quiz"));

    // The search windows: Enter in a condition's boxes finds, once; in the
    // spelled-out query it does nothing.
    FormBase* lexi = Open("Lexi");
    lexi->ControlAs<ComboBox>("Cond", 0)->SetListIndex(1);  // "starts with"
    lexi->ControlAs<TextBox>("Arg", 0)->SetText("an");
    size_t lists = Lists();
    Press(lexi->Control("Arg", 0), Qt::Key_Return);
    EXPECT_EQ(Lists(), lists + 1);
    Press(lexi->Control("Cond", 0), Qt::Key_Enter);
    EXPECT_EQ(Lists(), lists + 2);
    Press(lexi->Control("Query"), Qt::Key_Return);
    EXPECT_EQ(Lists(), lists + 2);

    // Letter combinations fill their own table; Enter in the table of names
    // is the table's, and starts no search for the letters typed since.
    FormBase* mix = Open("LetterMix");
    auto* names = mix->ControlAs<ListView>("Names");
    mix->ControlAs<TextBox>("Letters", 0)->SetText("Anna");
    Press(mix->Control("Letters", 0), Qt::Key_Return);
    const int found = names->Model()->rowCount();
    EXPECT_GT(found, 1);
    mix->ControlAs<TextBox>("Letters", 0)->SetText("Otto");
    Press(names, Qt::Key_Return);
    EXPECT_EQ(names->Model()->rowCount(), found);
    Press(mix->Control("Letters", 0), Qt::Key_Return);
    EXPECT_NE(names->Model()->rowCount(), found);

    FormBase* pick = Open("PickRandom");
    pick->ControlAs<TextBox>("PickNum")->SetText("3");
    lists = Lists();
    Press(pick->Control("PickNum"), Qt::Key_Return);
    ASSERT_EQ(Lists(), lists + 1);
    EXPECT_EQ(Searches::GetListsCurrent()->numLines(), 3);

    // The name box keeps its own Enter: one lookup, not a second one by the
    // window's default button.
    auto* single = static_cast<SingleName*>(Open("SingleName"));
    const int shown = single->nameHistory().numSets();
    single->ControlAs<TextBox>("CurName")->SetText("Anna");
    Press(single->Control("CurName"), Qt::Key_Return);
    EXPECT_EQ(single->nameHistory().numSets(), shown + 1);
    EXPECT_EQ(Fakes().TakeMessageNumbers(), std::vector<int>{});
    EXPECT_EQ(Fakes().TakeAsserts(), std::vector<std::string>{});
}

// A box of the options ticked with Space: Enter saves, Escape drops it.
TEST_P(Keys, TheOptionsSaveOnEnterAndChangeNothingOnEscape) {
    auto* options = static_cast<OptionEntry*>(Auto::GetForm("OptionEntry"));
    for (auto [key, saved] : {std::pair{Qt::Key_Return, true}, std::pair{Qt::Key_Escape, false}}) {
        Options::ShowAlphaInfoLinks = false;
        options->Show();
        Press(options->ShowAlphaInfoLinks(), Qt::Key_Space);
        Press(options->ShowAlphaInfoLinks(), key);
        EXPECT_FALSE(options->IsLoaded());
        EXPECT_EQ(Options::ShowAlphaInfoLinks, saved);
    }
}

TEST_P(Keys, EscapeClosesTheDialogLikeWindowsAsTheirCloseBoxDoes) {
    // Select: a name that occurs twice offers the choice; Escape leaves the
    // asking window as it was.
    auto* single = static_cast<SingleName*>(Open("SingleName"));
    single->ControlAs<TextBox>("CurName")->SetText("Andrea");
    Press(single->Control("CurName"), Qt::Key_Return);
    ASSERT_TRUE(Loaded("Similar"));
    FormBase* similar = Auto::GetForm("Similar");
    Press(similar->Control("Names"), Qt::Key_Escape);
    EXPECT_FALSE(similar->IsLoaded());
    EXPECT_EQ(single->curAtom(), nullptr);

    // Quiz Options: what was typed is dropped without a message.
    auto* opts = static_cast<QuizOptions*>(Open("QuizOptions"));
    opts->NumberBox(QuizOptions::kNumQ)->SetText("7x");
    Press(opts->NumberBox(QuizOptions::kNumQ), Qt::Key_Escape);
    EXPECT_FALSE(opts->IsLoaded());
    EXPECT_EQ(Options::QuizNumQ, 10);

    // Getting Started: closed, not led on to the names by alphabet.
    FormBase* shortHelp = Open("ShortHelp");
    Press(shortHelp->Control("ShowShortHelp"), Qt::Key_Escape);
    EXPECT_FALSE(shortHelp->IsLoaded());
    EXPECT_FALSE(Loaded("Alpha"));

    FormBase* tutorials = Open("TutSelect");
    Press(tutorials->Control("Tutorials"), Qt::Key_Escape);
    EXPECT_FALSE(tutorials->IsLoaded());

    FormBase* feedback = Auto::GetForm("Feedback");
    feedback->Show();
    Press(feedback->Control("Text"), Qt::Key_Escape);
    EXPECT_FALSE(feedback->IsLoaded());

    // A window that is no dialog keeps what was typed into it.
    single->ControlAs<TextBox>("CurName")->SetText("Ann");
    Press(single->Control("CurName"), Qt::Key_Escape);
    EXPECT_TRUE(single->IsLoaded());
    EXPECT_EQ(single->ControlAs<TextBox>("CurName")->Text(), "Ann");
    EXPECT_EQ(Fakes().TakeMessageNumbers(), std::vector<int>{});
    EXPECT_EQ(Fakes().TakeAsserts(), std::vector<std::string>{});
}

// While a tutorial runs, the close box of Quiz Options first asks whether to
// stop the tutorial, and so does Escape; Select closes without a question.
TEST_P(Keys, EscapeAsksWhereTheCloseBoxAsks) {
    auto* opts = static_cast<QuizOptions*>(Open("QuizOptions"));
    WinMan::tutorialRunning = true;
    Fakes().Answer({false});
    Press(opts->NumberBox(QuizOptions::kNumQ), Qt::Key_Escape);
    EXPECT_EQ(Fakes().TakeMessageNumbers(), std::vector<int>{GenMsg::GMendTutor});
    EXPECT_TRUE(opts->IsLoaded());
    Fakes().Answer({true});
    Press(opts->NumberBox(QuizOptions::kNumQ), Qt::Key_Escape);
    EXPECT_EQ(Fakes().TakeMessageNumbers(), std::vector<int>{GenMsg::GMendTutor});
    EXPECT_FALSE(opts->IsLoaded());
    EXPECT_FALSE(WinMan::tutorialRunning);

    WinMan::tutorialRunning = true;
    FormBase* similar = Open("Similar");
    Press(similar->Control("Names"), Qt::Key_Escape);
    EXPECT_FALSE(similar->IsLoaded());
    EXPECT_EQ(Fakes().TakeMessageNumbers(), std::vector<int>{});
}

// Escape in the tutorial band is its Cancel: the tutorial ends and the
// windows move back up, without a question.
TEST_P(Keys, EscapeLeavesTheTutorialAsCancelDoes) {
    WinMan::OpenForm("TutSelect");
    auto* select = static_cast<TutSelect*>(Auto::GetForm("TutSelect"));
    select->Tutorials()->setCurrentRow(0);
    select->DoSelect()->Press();
    Settle();
    ASSERT_TRUE(WinMan::tutorialRunning);
    Press(select->TutorWindow().NextStep(), Qt::Key_Escape);
    EXPECT_FALSE(WinMan::tutorialRunning);
    EXPECT_EQ(WinMan::bandOffset, 0);
    EXPECT_EQ(Fakes().TakeMessageNumbers(), std::vector<int>{});
}

// A comment typed and not yet stored is kept when Ctrl+F4 closes the
// favorites, as if Enter had been pressed: the window opened again shows it.
TEST_P(Keys, ACommentTypedIsKeptWhenCtrlF4ClosesTheFavorites) {
    auto* fav = static_cast<Favorites*>(Open("Favorites"));
    fav->Add(DataBase::GetAtom("naMaria"));
    QWidget* comment = fav->Control("Comment");
    Press(comment, Qt::Key_End);
    QTest::keyClicks(comment, " typed, then closed");
    const std::string typed = fav->ControlAs<TextBox>("Comment")->Text();
    QTest::keyClick(comment, Qt::Key_F4, Qt::ControlModifier);
    Settle();
    EXPECT_FALSE(fav->IsLoaded());
    Open("Favorites");
    fav->Add(DataBase::GetAtom("naMaria"));
    EXPECT_EQ(fav->ControlAs<TextBox>("Comment")->Text(), typed);
    EXPECT_EQ(Fakes().TakeMessageNumbers(), std::vector<int>{});
}

// Enter in Quiz Options starts a round, which is played by keyboard: the
// answers are one stop of Tab, as option buttons are, the arrow keys move the
// mark among the answers shown, Enter gives the answer it is on at once and
// the focus goes on to Next, and from Next to the next question's answers.
TEST_P(Keys, TheQuizIsStartedAndPlayedByKeyboard) {
    Options::QuizStopAfterWrong = false;
    FormBase* opts = Open("QuizOptions");
    opts->ControlAs<TextBox>("NumQ")->SetText("3");
    Press(opts->Control("StopAfterWrong"), Qt::Key_Return);
    auto* quiz = dynamic_cast<Quiz*>(Auto::GetForm("Quiz"));
    ASSERT_TRUE(quiz && quiz->Visible());
    EXPECT_EQ(Options::QuizNumQ, 3);
    auto answer = [quiz](int i) { return quiz->Control("Answer" + std::to_string(i)); };
    auto stops = [&] {
        std::vector<int> tab;
        for (int i = 0; i < QuizRound::kNumAnswers; ++i)
            if (answer(i)->focusPolicy() & Qt::TabFocus) tab.push_back(i);
        return tab;
    };
    EXPECT_EQ(stops(), std::vector<int>{0});
    // Each arrow marks the answer it reaches; the ends go round.
    Press(answer(0), Qt::Key_Down);
    EXPECT_EQ(QApplication::focusWidget(), answer(1));
    EXPECT_EQ(quiz->round().selected(), 1);
    EXPECT_EQ(stops(), std::vector<int>{1});
    QTest::keyClick(answer(1), Qt::Key_Up);
    QTest::keyClick(answer(0), Qt::Key_Left);
    EXPECT_EQ(QApplication::focusWidget(), answer(3));
    EXPECT_EQ(quiz->round().selected(), 3);
    EXPECT_TRUE(quiz->round().questionOpen());
    QTest::keyClick(answer(3), Qt::Key_Return);
    EXPECT_FALSE(quiz->round().questionOpen());
    ASSERT_EQ(QApplication::focusWidget(), quiz->Control("DoNext"));
    Press(quiz->Control("DoNext"), Qt::Key_Return);
    EXPECT_TRUE(quiz->round().questionOpen());
    EXPECT_EQ(QApplication::focusWidget(), answer(0));
    // Space marks without giving; 50-50 leaves two answers to go round.
    Press(answer(2), Qt::Key_Space);
    EXPECT_EQ(quiz->round().selected(), 2);
    EXPECT_TRUE(quiz->round().questionOpen());
    for (int slot = 0; slot < QuizRound::kNumJokerSlots; ++slot)
        if (quiz->round().jokerType(slot) == QuizRound::kFiftyFifty) {
            quiz->Joker_Click(slot);
            break;
        }
    ASSERT_EQ(stops().size(), 1U);
    Press(answer(stops()[0]), Qt::Key_Down);
    std::set<QWidget*> reached;
    for (int i = 0; i < 4; ++i) {
        reached.insert(QApplication::focusWidget());
        EXPECT_TRUE(QApplication::focusWidget()->isVisible());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    }
    EXPECT_EQ(reached.size(), 2U);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_FALSE(quiz->round().questionOpen());
    // Enter on an answer not marked yet gives it with one press.
    Press(quiz->Control("DoNext"), Qt::Key_Return);
    Press(answer(1), Qt::Key_Return);
    EXPECT_FALSE(quiz->round().questionOpen());
    EXPECT_EQ(quiz->round().selected(), 1);
    EXPECT_EQ(QApplication::focusWidget(), quiz->Control("DoNext"));
    quiz->Unload();
    Settle();
    EXPECT_EQ(Fakes().TakeMessageNumbers(), std::vector<int>{});
}

// The message window: Enter presses the button with the focus, else the
// preferred one; Escape is No for a question and OK for a message.
TEST_P(Keys, TheMessageWindowTakesEnterAndEscape) {
    GenMsgForm msg(program->Frame()->MainWindow());
    auto question = GenMsg::Compose(GenMsg::Entry(GenMsg::GMendTutor, true), GenMsg::GMendTutor, 2, "", 0, false);
    struct Case {
        const char* button;  // where the focus is
        Qt::Key key;
        bool answer;
    } cases[] = {{"AnswerNo", Qt::Key_Return, false},
                 {"AnswerYes", Qt::Key_Return, true},
                 {"AnswerYes", Qt::Key_Escape, false},
                 {"MsgText", Qt::Key_Enter, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        msg.Prepare(question.message);
        msg.show();
        Press(msg.findChild<QWidget*>(c.button), c.key);
        EXPECT_FALSE(msg.isVisible());
        EXPECT_EQ(msg.Answer, c.answer);
    }
    msg.Prepare(GenMsg::Compose(GenMsg::Entry(GenMsg::GMdone, true), GenMsg::GMdone, 3, "", 0, false).message);
    msg.show();
    Press(msg.findChild<QWidget*>("DoOk"), Qt::Key_Escape);
    EXPECT_FALSE(msg.isVisible());
}

// A message opens with the keyboard on its preferred button, never on Help,
// also when Help had it in the message before: Enter answers No to a
// question and OK to any other message, and opens no help page.
TEST_P(Keys, EnterInAMessageWithHelpAnswersWithThePreferredButton) {
    GenMsgForm msg(program->Frame()->MainWindow());
    const auto question = GenMsg::Compose(GenMsg::Entry(GenMsg::GMendTutor, true), GenMsg::GMendTutor, 2, "", 0, false);
    const auto done = GenMsg::Compose(GenMsg::Entry(GenMsg::GMdone, true), GenMsg::GMdone, 3, "", 0, false);
    for (const auto* m : {&question, &done, &question}) {
        const bool isQuestion = m == &question;
        // First the user goes to Help and leaves with Escape.
        msg.Prepare(m->message);
        msg.show();
        Press(msg.findChild<QWidget*>(isQuestion ? "DoHelp1" : "DoHelp0"), Qt::Key_Escape);
        msg.Prepare(m->message);
        msg.show();
        QApplication::setActiveWindow(&msg);
        Settle();
        ASSERT_EQ(QApplication::focusWidget()->objectName(), isQuestion ? "AnswerNo" : "DoOk");
        msg.Answer = true;
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_FALSE(msg.isVisible());
        EXPECT_EQ(msg.Answer, !isQuestion);  // a plain message leaves it as it was
    }
    EXPECT_TRUE(Fakes().help.topics.empty());
}

TEST_P(Keys, TheHelpViewerTakesEnterOnItsButtonsAndClosesOnEscape) {
    LowLevel::HelpViewer viewer(LowLevel::LanguageFolder(QString::fromUtf8(SOURCE_DIR) + "/data/help"));
    viewer.ShowTopic("Lexi");
    viewer.show();
    auto* contents = viewer.findChildren<CommandButton*>().value(2);
    ASSERT_TRUE(contents);
    Press(contents, Qt::Key_Return);
    EXPECT_TRUE(viewer.CurrentPage().toString().endsWith("index.html"));
    Press(viewer.Browser(), Qt::Key_Escape);
    EXPECT_FALSE(viewer.isVisible());
}

}  // namespace
