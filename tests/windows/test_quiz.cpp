// The quiz window and its options on the sample database, offscreen, and the
// sample's two question sets.
#include <QApplication>
#include <QLabel>
#include <QPalette>
#include <QTest>
#include <QTextDocument>
#include <set>

#include "DataBase.h"
#include "Fakes.h"
#include "GenMsg.h"
#include "KFrame.h"
#include "RichTextPane.h"
#include "RtfReader.h"
#include "ShellKit.h"
#include "TextDisplay.h"
#include "TextConstants.h"
#include "WindowsFixture.h"
#include "windows/info/SingleName.h"
#include "windows/lists/Quiz.h"
#include "windows/lists/QuizOptions.h"
#include "windows/lists/QuizWindows.h"

namespace {

class QuizTest : public WindowsTest {
protected:
    void SetUp() override {
        WindowsTest::SetUp();
        Options::RegBaseKey = Options::BaseKeyFor(TextConstants::edition);
        Options::SetDefaults();
        Options::QuizUseLimit = false;  // no clock runs in these tests
        GenMsg::InitMessages();
        QuizWindows::Register();
        TextDisplay::Env().findAtom = [](const std::string& name) { return LinkTargetOf(DataBase::GetAtom(name)); };
    }
    void TearDown() override {
        TextDisplay::Env().findAtom = nullptr;
        WindowsTest::TearDown();
        Options::SetDefaults();
    }
    Quiz* QuizWindow() {
        auto* q = dynamic_cast<Quiz*>(Auto::GetForm("Quiz"));
        return q && q->IsLoaded() ? q : nullptr;
    }
    QuizOptions* Opts() { return dynamic_cast<QuizOptions*>(Auto::GetForm("QuizOptions")); }
    static QColor Background(QWidget* w) { return w->palette().color(QPalette::Base); }
    // The position of the first link character in a pane, -1 for none.
    static int FirstLink(RichTextPane* pane) {
        for (int pos = 0; pos < pane->document()->characterCount(); ++pos)
            if (!RtfReader::LinkNumberAt(*pane->document(), pos).isEmpty()) return pos;
        return -1;
    }
};

TEST_F(QuizTest, AClickSelectsAnAnswerAndTheAnswerShowsTheExplanationWithLiveLinks) {
    WinMan::OpenForm("Quiz");
    Quiz* quiz = QuizWindow();
    ASSERT_TRUE(quiz);
    const QuizRound::QuizQuestion* q = quiz->round().current();
    ASSERT_TRUE(q);
    auto* answer = quiz->ControlAs<RichTextPane>("Answer1");
    auto* descr = quiz->ControlAs<RichTextPane>("Descr");
    auto* doAnswer = quiz->ControlAs<CommandButton>("DoAnswer");
    EXPECT_EQ(answer->toPlainText().trimmed().toStdString(), q->answers[1]);
    EXPECT_EQ(Background(answer), QColor(255, 255, 255));
    EXPECT_FALSE(doAnswer->isEnabled());
    EXPECT_TRUE(descr->toPlainText().trimmed().isEmpty());  // nothing to read before the answer

    ClickAt(answer->viewport(), {answer->width() - 20, answer->height() / 2});  // right of its text
    EXPECT_EQ(Background(answer), QColor(204, 204, 255));
    EXPECT_TRUE(doAnswer->isEnabled());

    doAnswer->Press();
    const int right = quiz->round().current()->correct;
    EXPECT_EQ(Background(quiz->ControlAs<RichTextPane>("Answer" + std::to_string(right))), QColor(51, 255, 51));
    EXPECT_EQ(quiz->ControlAs<QLabel>("AnswerRight")->isVisibleTo(quiz->Client()), right == 1);
    EXPECT_EQ(quiz->ControlAs<QLabel>("AnswerWrong")->isVisibleTo(quiz->Client()), right != 1);
    EXPECT_TRUE(quiz->ControlAs<CommandButton>("DoNext")->isEnabled());

    // The explanation's link opens what it names.
    const int pos = FirstLink(descr);
    ASSERT_GE(pos, 0) << descr->toPlainText().toStdString();
    ClickAt(descr->viewport(), descr->CharRect(pos).center());
    auto* names = dynamic_cast<SingleName*>(Auto::GetForm("SingleName"));
    ASSERT_TRUE(names && names->IsLoaded());
    EXPECT_TRUE(names->curAtom());
}

TEST_F(QuizTest, StartHidesTheOptionsAndClosingTheQuizBringsThemBackButNotAtShutdown) {
    WinMan::OpenForm("QuizOptions");
    QuizOptions* opts = Opts();
    opts->ControlAs<CommandButton>("StartQuiz")->Press();
    EXPECT_FALSE(opts->Visible());
    ASSERT_TRUE(QuizWindow());

    QuizWindow()->Unload(UnloadMode::User);
    Settle();
    EXPECT_FALSE(QuizWindow());
    EXPECT_TRUE(opts->Visible());

    // While a tutorial runs and the user keeps it, the start is refused and
    // the options stay.
    WinMan::tutorialRunning = true;
    Fakes().Answer({false});
    opts->ControlAs<CommandButton>("StartQuiz")->Press();
    EXPECT_EQ(Fakes().TakeMessageNumbers(), std::vector<int>{GenMsg::GMendTutor});
    EXPECT_FALSE(QuizWindow());
    EXPECT_TRUE(opts->Visible());
    WinMan::tutorialRunning = false;

    opts->ControlAs<CommandButton>("StartQuiz")->Press();
    ASSERT_TRUE(QuizWindow());
    WinMan::appClosing = true;
    QuizWindow()->Unload(UnloadMode::AppClosing);
    WinMan::appClosing = false;
    EXPECT_FALSE(opts->Visible());
}

// A round ended with its window still open: the toolbar's Quiz brings the
// options, and their start closes that window and begins a new round.
TEST_F(QuizTest, StartBeginsANewRoundWhileAnEndedOneIsStillOpen) {
    WinMan::OpenForm("QuizOptions");
    Opts()->NumberBox(QuizOptions::kNumQ)->SetText("0");
    Opts()->ControlAs<CommandButton>("StartQuiz")->Press();
    EXPECT_EQ(Fakes().TakeMessageNumbers(), std::vector<int>{GenMsg::GMquizEnded});
    ASSERT_TRUE(QuizWindow());
    EXPECT_FALSE(QuizWindow()->round().questionOpen());

    WinMan::OpenForm("QuizOptions");
    Opts()->NumberBox(QuizOptions::kNumQ)->SetText("10");
    Opts()->ControlAs<CommandButton>("StartQuiz")->Press();
    Settle();
    ASSERT_TRUE(QuizWindow());
    EXPECT_TRUE(QuizWindow()->round().questionOpen());
    EXPECT_EQ(QuizWindow()->round().totalQuestions(), 10);
    EXPECT_FALSE(Opts()->Visible());
    EXPECT_TRUE(Fakes().TakeMessageNumbers().empty());
}

TEST_F(QuizTest, EachNumberBoxRefusesWhatItCannotHold) {
    using B = QuizOptions;
    struct Case {
        QuizOptions::Box box;
        const char* text;
        int message;  // -1: passes
        const char* arg;
    };
    const Case cases[] = {
        {B::kNumMin, "60", -1, ""},
        {B::kNumMin, "61", GenMsg::GMtooBig, "60"},
        {B::kNumQ, "0", -1, ""},
        {B::kNumQ, " 50 ", -1, ""},
        {B::kNumQ, "51", GenMsg::GMtooBig, "50"},
        {B::kNumQ, "40000", GenMsg::GMtooBig, "50"},
        {B::kNumJo5050, "-1", GenMsg::GMonlyPositive, ""},
        {B::kNumJo5050, "4", GenMsg::GMtooBig, "3"},
        {B::kNumJoNext, "1.5", GenMsg::GMonlyNumbers, ""},
        {B::kNumJoNext, "", GenMsg::GMnotEmpty, ""},
    };
    WinMan::OpenForm("QuizOptions");
    QuizOptions* opts = Opts();
    for (const Case& c : cases) {
        opts->NumberBox(c.box)->SetText(c.text);
        EXPECT_EQ(opts->CheckField(c.box), c.message < 0) << c.text;
        std::vector<Services::Message> shown = Fakes().TakeMessages();
        if (c.message < 0) {
            EXPECT_TRUE(shown.empty()) << c.text;
            continue;
        }
        ASSERT_EQ(shown.size(), 1u) << c.text;
        EXPECT_EQ(shown[0].number, c.message) << c.text;
        EXPECT_EQ(shown[0].arg, c.arg) << c.text;
        EXPECT_EQ(shown[0].msgClass, c.message == GenMsg::GMtooBig ? GenMsg::kCritical : GenMsg::kExclamation);
    }
}

TEST_F(QuizTest, AnInvalidBoxStopsTheStartAndAClearedLimitStillStoresTheMinutes) {
    WinMan::OpenForm("QuizOptions");
    QuizOptions* opts = Opts();
    auto* start = opts->ControlAs<CommandButton>("StartQuiz");
    opts->NumberBox(QuizOptions::kNumMin)->SetText("61");
    opts->NumberBox(QuizOptions::kNumQ)->SetText("12");
    start->Press();
    EXPECT_EQ(Fakes().TakeMessageNumbers(), std::vector<int>{GenMsg::GMtooBig});
    EXPECT_FALSE(QuizWindow());
    EXPECT_TRUE(opts->Visible());
    EXPECT_EQ(Options::QuizNumMin, 5);
    EXPECT_EQ(Options::QuizNumQ, 10);  // nothing reached the options
    start->Press();  // each start refused says why
    EXPECT_EQ(Fakes().TakeMessageNumbers(), std::vector<int>{GenMsg::GMtooBig});

    opts->NumberBox(QuizOptions::kNumMin)->SetText("7");
    opts->ControlAs<CheckBox>("UseLimit")->SetValue(0);
    EXPECT_FALSE(opts->NumberBox(QuizOptions::kNumMin)->isEnabled());
    start->Press();
    EXPECT_FALSE(Options::QuizUseLimit);
    EXPECT_EQ(Options::QuizNumMin, 7);
    EXPECT_EQ(Options::QuizNumQ, 12);
    ASSERT_TRUE(QuizWindow());
    EXPECT_EQ(QuizWindow()->round().totalQuestions(), 12);
    EXPECT_EQ(QuizWindow()->ControlAs<QLabel>("TimeLeft")->text(), QString());
}

// 99 minutes typed, then the box is left in each way a user leaves it: only
// a move to another control of the window, or the start, checks the value.
// Cancel and the close box close the window without a word.
TEST_F(QuizTest, OnlyALeaveWithinTheWindowOrTheStartChecksABox) {
    enum How { kCancel, kCloseBox, kNextBox, kStart };
    const struct {
        How how;
        bool message;
        bool closed;
    } cases[] = {{kCancel, false, true}, {kCloseBox, false, true}, {kNextBox, true, false}, {kStart, true, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.how));
        Options::QuizUseLimit = true;  // the minutes box is enabled
        WinMan::OpenForm("QuizOptions");
        QuizOptions* opts = Opts();
        ASSERT_TRUE(opts && opts->IsLoaded());
        area->activateWindow();
        QApplication::setActiveWindow(area);
        opts->Host()->setFocus();
        TextBox* minutes = opts->NumberBox(QuizOptions::kNumMin);
        minutes->setFocus(Qt::MouseFocusReason);
        Settle();
        ASSERT_EQ(QApplication::focusWidget(), minutes);
        minutes->SetText("99");
        auto* cancel = opts->ControlAs<CommandButton>("DoCancel");
        auto* start = opts->ControlAs<CommandButton>("StartQuiz");
        switch (c.how) {
        case kCancel: QTest::mouseClick(cancel, Qt::LeftButton); break;  // the press takes the focus
        case kCloseBox: opts->Host()->close(); break;
        case kNextBox: opts->NumberBox(QuizOptions::kNumQ)->setFocus(Qt::TabFocusReason); break;
        case kStart: QTest::mouseClick(start, Qt::LeftButton); break;  // one message, then the start refuses
        }
        Settle();
        EXPECT_EQ(Fakes().TakeMessageNumbers(),
                  c.message ? std::vector<int>{GenMsg::GMtooBig} : std::vector<int>{});
        EXPECT_EQ(!opts->IsLoaded(), c.closed);
        EXPECT_EQ(Options::QuizNumMin, 5);
        EXPECT_FALSE(QuizWindow());
        if (opts->IsLoaded()) {
            EXPECT_EQ(QApplication::focusWidget(), minutes);  // back to the box
            opts->Unload();
            Settle();
            Fakes().TakeMessageNumbers();
        }
    }
}

// The result window opens in the middle of the frame's inner area, wherever
// the frame stands on the screen.
TEST_F(QuizTest, TheResultWindowIsCentredInTheFrame) {
    auto frame = std::make_unique<KFrame>();
    frame->Show();
    frame->Move(3000, 4500);
    WinMan::OpenForm("QuizResult");
    FormBase* result = Auto::GetForm("QuizResult");
    ASSERT_TRUE(result && result->IsLoaded());
    EXPECT_EQ(result->Caption(), "Quiz Result");
    // Nothing but the frame every window has for the tutorials.
    ASSERT_EQ(result->Controls().size(), 1u);
    EXPECT_EQ(result->Controls().front().name, "MarkShape");
    const QRect inner = frame->Area()->viewport()->rect();
    const QRect own = result->Host()->geometry();
    EXPECT_NEAR(own.center().x(), inner.center().x(), 2);
    EXPECT_NEAR(own.center().y(), inner.center().y(), 2);
    result->Unload();
    frame.reset();
    Settle();
    FormBase::SetMdiArea(area);
}

// Each set of the sample serves the largest round the options allow with its
// "next question" jokers: 25, 15 and 10 questions plus three.
TEST_F(QuizTest, TheSampleSetsServeTheLargestRound) {
    for (atom* set : {DataBase::seQuestions, DataBase::seEnglishQuestions}) {
        std::vector<QuizRound::QuizQuestion> qs = QuizRound::GetQuestions(set);
        int perLevel[3] = {0, 0, 0};
        std::set<std::string> texts;
        for (const QuizRound::QuizQuestion& q : qs) {
            ASSERT_TRUE(q.level >= 0 && q.level <= 2) << q.question;
            ++perLevel[q.level];
            EXPECT_TRUE(texts.insert(q.question).second) << "twice: " << q.question;
            EXPECT_EQ(std::set<std::string>(q.answers.begin(), q.answers.end()).size(), 4u) << q.question;
            // Every explanation links what it names, and every link leads somewhere.
            EXPECT_NE(q.descr.find("<a>"), std::string::npos) << q.question;
            for (size_t at = q.descr.find("<a>"); at != std::string::npos; at = q.descr.find("<a>", at + 3)) {
                const size_t end = q.descr.find("</a>", at);
                ASSERT_NE(end, std::string::npos) << q.descr;
                const std::string target = q.descr.substr(at + 3, end - at - 3);
                EXPECT_NE(DataBase::GetAtom(target.substr(0, target.find('/'))), DataBase::nothingAtom) << target;
            }
        }
        EXPECT_GE(perLevel[0], 28) << set->name();
        EXPECT_GE(perLevel[1], 18) << set->name();
        EXPECT_GE(perLevel[2], 13) << set->name();
    }
}

}  // namespace
