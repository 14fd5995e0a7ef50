// The script engine, the tutorial steps and the tutorial windows, with small
// stand-in windows in a real MDI area (offscreen).
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFontMetrics>
#include <QListWidget>
#include <filesystem>
#include <sys/stat.h>

#include "Auto.h"
#include "Fakes.h"
#include "FileOp.h"
#include "FormControls.h"
#include "GenMsg.h"
#include "Options.h"
#include "Parser.h"
#include "QtLowLevel.h"
#include "ScriptFile.h"
#include "TempFolder.h"
#include "TextConstants.h"
#include "TutSelect.h"
#include "Tutor.h"
#include "TutorScript.h"
#include "StubForm.h"
#include "WinMan.h"

// --- The step reader ------------------------------------------------------------------

TEST(TutorScript, StepsAndScriptBlocksSkipEmptyLinesAndEndWhereTheFileEnds) {
    struct Case {
        const char* what;
        std::vector<std::string> lines;
        std::vector<std::string> steps;  // the joined texts, in order
    };
    const Case cases[] = {
        {"a word, an empty line, a bold word: one paragraph",
         {"Hello", "", "<b>world</b>", ":"}, {"Hello <b>world</b>"}},
        {"empty lines around the blocks never make a step",
         {"", "", "One", ":", "", "X SHOW", ";", "", "Two", ":", "", "", ""}, {"One", "Two"}},
        {"a file ending inside a text block: that block is the last step",
         {"One", ":", "X SHOW", ";", "Two", "still two"}, {"One", "Two still two"}},
        {"a separator with a blank around it is text", {"One", " :", ":"}, {"One  :"}},
    };
    for (const Case& c : cases) {
        TutorScript script(c.lines);
        std::vector<std::string> steps;
        steps.push_back(TutorScript::Join(script.NextText()));
        while (script.HasMore()) {
            script.NextScript();
            steps.push_back(TutorScript::Join(script.NextText()));
        }
        EXPECT_EQ(steps, c.steps) << c.what;
    }
    // A script block gives its lines without the empty ones, with their
    // numbers in the file.
    TutorScript script({"Text", ":", "A SHOW", "", "A HIDE", ";", "More", ":"});
    script.NextText();
    EXPECT_EQ(script.NextScript(), (std::vector<TutorScript::Line>{{3, "A SHOW"}, {5, "A HIDE"}}));
    EXPECT_EQ(script.NextText(), std::vector<std::string>{"More"});
    EXPECT_FALSE(script.HasMore());
}

// --- Stand-in windows -------------------------------------------------------------------

namespace {

class TutorialTest : public StubAreaTest {
protected:
    void SetUp() override {
        StubAreaTest::SetUp();
        Options::ShowToolTips = false;
        TextConstants::textLanguage = 1;
        Parser::InitParser();
        GenMsg::InitMessages();
        Auto::ForgetMark();
        WinMan::clearMark = [] { Auto::ClearMark(); };
        Auto::Register("TutSelect", [] { return std::make_unique<TutSelect>(); });
        savedFolder = FileOp::ProgramFolder;
        FileOp::ProgramFolder = folder.Path();
    }
    void TearDown() override {
        FileOp::ProgramFolder = savedFolder;
        Auto::ForgetMark();
        StubAreaTest::TearDown();
        WinMan::clearMark = nullptr;
    }
    TutSelect& Select() { return *static_cast<TutSelect*>(Auto::GetForm("TutSelect")); }
    // Starts the tutorial in lines through the selection window, as the user does.
    void StartTutorial(const std::string& content, int entry = 0) {
        TempFolder::Put(folder / TutSelect::Entries()[entry].file, content);
        WinMan::OpenForm("TutSelect");
        Select().Tutorials()->setCurrentRow(entry);
        Select().DoSelect()->Press();
        Settle();
    }
    std::vector<std::string> TakeLog() { return std::exchange(log, {}); }

    TempFolder folder;
    std::string savedFolder;
};

}  // namespace

// --- Script lines -----------------------------------------------------------------------

TEST_F(TutorialTest, ASetRunsTheControlsHandlerPastTheInputGuard) {
    WinMan::tutorialRunning = true;  // any guard that asked would fail on the unasked question
    Auto::ProcessLine("Alpha.Text SET \"Anna\"");
    Auto::ProcessLine("Alpha.Check SET \"1\"");
    Auto::ProcessLine("Alpha.Combo SET \"zwei\"");
    Auto::ProcessLine("Alpha.Opt(1) SET \"true\"");
    Auto::ProcessLine("Alpha EXEC Go");
    Auto::ProcessLine("Alpha FINISHDISPLAY");
    EXPECT_EQ(TakeLog(), (std::vector<std::string>{"Alpha Text", "Alpha Check", "Alpha Combo", "Alpha Opt1",
                                                   "Alpha notify 3 Go", "Alpha notify 5 "}));
    StubForm& alpha = Form("Alpha");
    EXPECT_EQ(alpha.text->Text(), "Anna");
    EXPECT_EQ(alpha.check->Value(), 1);
    EXPECT_EQ(alpha.combo->ListIndex(), 1);
    EXPECT_TRUE(alpha.ControlAs<OptionButton>("Opt", 1)->Value());
    EXPECT_FALSE(alpha.ControlAs<OptionButton>("Opt", 0)->Value());
    // The window was loaded by the first line, not shown; the guard is back.
    EXPECT_EQ(alpha.loads, 1);
    EXPECT_FALSE(alpha.Visible());
    EXPECT_FALSE(WinMan::scriptRunning);
    WinMan::tutorialRunning = false;
    EXPECT_TRUE(Fakes().TakeAsserts().empty());
}

TEST_F(TutorialTest, BadValuesAssertAndLeaveTheControlAsItWas) {
    Auto::ProcessLine("Alpha.Combo SET \"eins\"");
    Auto::ProcessLine("Alpha.Check SET \"2\"");
    StubForm& alpha = Form("Alpha");
    EXPECT_EQ(alpha.check->Value(), 2);  // partly ticked
    TakeLog();
    struct Case {
        const char* line;
        const char* assertion;
    };
    const Case cases[] = {
        {"Alpha.Combo SET \"drei\"", "SetValue ComboBox drei"},
        {"Alpha.Check SET \"3\"", "SetValue 3"},
        {"Alpha.Opt(0) SET \"yes\"", "SetValue YES"},
        {"Alpha.Go SET \"1\"", "SetValue control type"},
        {"Alpha.Nothing SET \"1\"", "GetControl Alpha.Nothing"},
    };
    for (const Case& c : cases) {
        Auto::ProcessLine(c.line);
        std::vector<std::string> asserts = Fakes().TakeAsserts();
        ASSERT_FALSE(asserts.empty()) << c.line;
        EXPECT_NE(asserts.front().find(c.assertion), std::string::npos) << c.line << ": " << asserts.front();
    }
    EXPECT_EQ(alpha.combo->ListIndex(), 0);
    EXPECT_EQ(alpha.check->Value(), 2);
    EXPECT_FALSE(alpha.ControlAs<OptionButton>("Opt", 0)->Value());
    EXPECT_TRUE(TakeLog().empty());
    // An empty text empties a combo box.
    Auto::ProcessLine("Alpha.Combo SET \"\"");
    EXPECT_EQ(alpha.combo->ListCount(), 0);
}

TEST_F(TutorialTest, MalformedLinesAssertAndRunNothing) {
    struct Case {
        const char* line;
        const char* assertion;  // "" for none
    };
    const Case cases[] = {
        {"/* a comment line */", ""},
        {"", ""},
        {"\"Alpha\" SHOW", "ProcessLine identSym"},
        {"Alpha.(1) SET \"x\"", "ProcessLine identSym"},
        {"Alpha.Opt(x SET \"true\"", "ProcessLine index"},
        {"Alpha.Opt(,) SET \"true\"", "ProcessLine index"},
        {"Alpha.Text SET Anna", "ProcessLine strSym"},
        {"Alpha.Text \"Anna\"", "ProcessLine identSym"},
        {"Alpha JUMP", "ProcessLine cmd"},
        {"Nowhere SHOW", "GetForm Nowhere"},
        {"Pop SHOW", "GetForm Pop"},  // known, but not part of this build
    };
    for (const Case& c : cases) {
        Auto::ProcessLine(c.line);
        std::vector<std::string> asserts = Fakes().TakeAsserts();
        if (!*c.assertion) {
            EXPECT_TRUE(asserts.empty()) << c.line;
            continue;
        }
        ASSERT_EQ(asserts.size(), 1u) << c.line;
        EXPECT_NE(asserts.front().find(c.assertion), std::string::npos) << c.line << ": " << asserts.front();
    }
    EXPECT_TRUE(TakeLog().empty());
    EXPECT_FALSE(Form("Alpha").Visible());
    EXPECT_FALSE(WinMan::scriptRunning);
}

TEST_F(TutorialTest, OnlyTheNewestMarkIsClearedAndHidingItsWindowClearsIt) {
    Auto::ProcessLine("Alpha SHOW");
    Auto::ProcessLine("Lexi SHOW");
    Auto::ProcessLine("Alpha.Text MARK");
    QWidget* alphaShape = Form("Alpha").Control("MarkShape");
    ASSERT_NE(alphaShape, nullptr);  // the window base gave it one
    EXPECT_TRUE(alphaShape->isVisible());
    EXPECT_EQ(alphaShape->geometry().adjusted(4, 4, -4, -4), Form("Alpha").text->geometry());

    Auto::ProcessLine("Lexi.Combo MARK");
    QWidget* lexiShape = Form("Lexi").Control("MarkShape");
    EXPECT_TRUE(lexiShape->isVisible());
    EXPECT_TRUE(alphaShape->isVisible());  // left where it was
    EXPECT_EQ(Auto::MarkedForm(), &Form("Lexi"));

    Auto::ClearMark();
    EXPECT_FALSE(lexiShape->isVisible());
    EXPECT_TRUE(alphaShape->isVisible());
    EXPECT_EQ(Auto::MarkedForm(), nullptr);

    Auto::ProcessLine("Lexi.Go MARK");
    Auto::ProcessLine("Lexi HIDE");
    EXPECT_EQ(Auto::MarkedForm(), nullptr);
    EXPECT_FALSE(Form("Lexi").IsLoaded());
    Settle();
    Auto::ClearMark();  // nothing left to clear: no harm
    EXPECT_TRUE(Fakes().TakeAsserts().empty());
}

// --- The tutorial windows ------------------------------------------------------------------

TEST_F(TutorialTest, ATutorialRunsStepByStepBelowItsBandAndEndsOnTheLastNext) {
    WinMan::OpenForm("Alpha");
    StartTutorial("First step\n:\nLexi SHOW\nLexi.Text SET \"ann\"\nLexi.Text MARK\n;\nSecond <b>step</b>\n:\n\n");
    Tutor& tutor = Select().TutorWindow();
    ASSERT_TRUE(tutor.Visible());
    EXPECT_TRUE(WinMan::tutorialRunning);
    EXPECT_GT(WinMan::bandOffset, 0);
    // Every other window closed; the selection window too, after its own click.
    EXPECT_FALSE(Form("Alpha").IsLoaded());
    EXPECT_FALSE(Select().IsLoaded());
    EXPECT_EQ(tutor.StepSource(), "First step");
    EXPECT_EQ(tutor.Width(), area->viewport()->width() * 15.0);

    tutor.NextStep()->Press();
    EXPECT_EQ(tutor.StepSource(), "Second <b>step</b>");
    StubForm& lexi = Form("Lexi");
    EXPECT_EQ(lexi.text->Text(), "ann");
    EXPECT_GE(lexi.Top(), WinMan::bandOffset);  // opened below the band
    EXPECT_TRUE(lexi.Control("MarkShape")->isVisible());

    const double band = WinMan::bandOffset;
    const double lexiTop = lexi.Top();
    tutor.NextStep()->Press();  // only empty lines are left: the end
    Settle();
    EXPECT_FALSE(WinMan::tutorialRunning);
    EXPECT_EQ(WinMan::bandOffset, 0);
    EXPECT_FALSE(tutor.IsLoaded());
    EXPECT_EQ(lexi.Top(), std::max(0.0, lexiTop - band));  // back up
    EXPECT_FALSE(lexi.Control("MarkShape")->isVisible());
    EXPECT_TRUE(lexi.IsLoaded());  // the windows it opened stay
    EXPECT_TRUE(Fakes().TakeAsserts().empty());
}

TEST_F(TutorialTest, AUserCommandDuringATutorialAsksWhetherToEndIt) {
    StartTutorial("One\n:\nAlpha SHOW\nAlpha.Go MARK\n;\nTwo\n:\n");
    Tutor& tutor = Select().TutorWindow();
    tutor.NextStep()->Press();
    StubForm& alpha = Form("Alpha");
    TakeLog();

    Fakes().Answer({false});
    alpha.go->Press();
    EXPECT_EQ(Fakes().TakeMessageNumbers(), std::vector<int>{GenMsg::GMendTutor});
    EXPECT_EQ(TakeLog(), std::vector<std::string>{"Alpha blocked Go"});
    EXPECT_TRUE(WinMan::tutorialRunning);
    EXPECT_TRUE(tutor.Visible());

    Fakes().Answer({true});
    alpha.go->Press();
    EXPECT_EQ(Fakes().TakeMessageNumbers(), std::vector<int>{GenMsg::GMendTutor});
    EXPECT_EQ(TakeLog(), std::vector<std::string>{"Alpha Go"});
    EXPECT_FALSE(WinMan::tutorialRunning);
    EXPECT_EQ(WinMan::bandOffset, 0);
    EXPECT_FALSE(tutor.Visible());
    EXPECT_TRUE(tutor.IsLoaded());  // hidden, kept for the next start
    EXPECT_FALSE(alpha.Control("MarkShape")->isVisible());

    // Starting again shows it afresh.
    StartTutorial("Again\n:\n", 1);
    EXPECT_TRUE(tutor.Visible());
    EXPECT_TRUE(WinMan::tutorialRunning);
    EXPECT_EQ(tutor.StepSource(), "Again");
    tutor.Leave()->Press();
    Settle();
    EXPECT_FALSE(WinMan::tutorialRunning);
}

TEST_F(TutorialTest, AMissingTutorialLeavesAnEmptyBandThatCancelCloses) {
    WinMan::OpenForm("TutSelect");
    Select().Tutorials()->setCurrentRow(2);
    Select().DoSelect()->Press();
    EXPECT_EQ(Fakes().TakeMessageNumbers(), std::vector<int>{GenMsg::GMfileNotFound});
    Tutor& tutor = Select().TutorWindow();
    EXPECT_TRUE(tutor.Visible());
    EXPECT_TRUE(tutor.StepSource().empty());
    EXPECT_GT(WinMan::bandOffset, 0);
    tutor.Leave()->Press();
    Settle();
    EXPECT_EQ(WinMan::bandOffset, 0);
    EXPECT_FALSE(WinMan::tutorialRunning);
}

TEST_F(TutorialTest, ADamagedTutorialGivesOneMessageNamingItsFirstBadLineAndRunsTheRest) {
    std::string badLines, longScript;
    for (int i = 0; i < 200; ++i) badLines += "Alpha JUMP\n";
    for (int i = 0; i < 600; ++i) longScript += "Alpha SHOW\n";
    struct Case {
        const char* what;
        std::string content;
        const char* first;  // where the message says the damage begins
        bool alphaShown;    // the good lines ran
    };
    const Case cases[] = {
        {"hundreds of bad lines in two script blocks",
         "One\n:\nNowhere SHOW\nAlpha.Nothing SET \"x\"\nAlpha SHOW\n;\nTwo\n:\n" + badLines + ";\nThree\n:\n",
         "line 3: Nowhere SHOW", true},
        {"more lines than a tutorial is read to", "One\n:\n" + longScript + ";\nTwo\n:\n", "line 502", true},
        {"one line larger than a tutorial is read to", std::string(ScriptFile::kMaxBytes + 1, 'x'), "line 1", false},
        {"tags the band does not show", "One\n:\nAlpha SHOW\n;\nTwo <b>bold</b>\n<i>x</i> <u>y</u>\n:\n",
         "line 6: <i>x</i> <u>y</u>", true},
        {"a garbage text", "<q><w><e>\n" + std::string(60, '<') + "r>\n:\n", "line 1: <q><w><e>", false},
    };
    for (const Case& c : cases) {
        StartTutorial(c.content);
        Tutor& tutor = Select().TutorWindow();
        for (int steps = 0; WinMan::tutorialRunning && steps < 5; ++steps) tutor.NextStep()->Press();
        Settle();
        EXPECT_FALSE(WinMan::tutorialRunning) << c.what;
        const std::vector<Services::Message> shown = Fakes().TakeMessages();
        ASSERT_EQ(shown.size(), 1u) << c.what;
        EXPECT_EQ(shown[0].number, GenMsg::GMscriptDamaged) << c.what;
        EXPECT_EQ(shown[0].arg, (folder / "TutIntro.txt") + ", " + c.first) << c.what;
        EXPECT_EQ(Form("Alpha").Visible(), c.alphaShown) << c.what;
    }
    EXPECT_TRUE(Fakes().TakeAsserts().empty());
}

TEST_F(TutorialTest, ATutorialThatIsAPipeOrAFolderIsNotFound) {
    const std::string path = folder / "TutIntro.txt";
    for (bool pipe : {true, false}) {
        std::filesystem::remove_all(path);
        if (pipe)
            ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
        else
            std::filesystem::create_directory(path);
        WinMan::OpenForm("TutSelect");
        Select().Tutorials()->setCurrentRow(0);
        Select().DoSelect()->Press();  // never waits on the pipe
        EXPECT_EQ(Fakes().TakeMessageNumbers(), std::vector<int>{GenMsg::GMfileNotFound}) << pipe;
        Select().TutorWindow().Leave()->Press();
        Settle();
    }
}

TEST_F(TutorialTest, ClosingTheBandByItsCloseBoxMovesTheWindowsBackUp) {
    WinMan::OpenForm("Alpha");
    const double top = Form("Alpha").Top();
    StartTutorial("One\n:\nAlpha SHOW\n;\nTwo\n:\n");
    Tutor& tutor = Select().TutorWindow();
    tutor.NextStep()->Press();
    EXPECT_GT(Form("Alpha").Top(), top);
    tutor.Unload(UnloadMode::User);
    Settle();
    EXPECT_EQ(WinMan::bandOffset, 0);
    EXPECT_FALSE(WinMan::tutorialRunning);
    EXPECT_EQ(Form("Alpha").Top(), top);
}

namespace {

// Every word of every title fits in its cell, in both editions: a long
// German word ("Fortgeschrittenes") is not cut short under its icon.
TEST_F(TutorialTest, TheSelectionShowsEveryTitleWholeInBothEditions) {
    const int saved = TextConstants::textLanguage;
    for (int language : {0, 1}) {
        SCOPED_TRACE(language);
        TextConstants::textLanguage = language;
        WinMan::OpenForm("TutSelect");
        QListWidget* list = Select().Tutorials();
        const QFontMetrics metrics(list->font());
        ASSERT_EQ(list->count(), 4);
        EXPECT_GE(list->gridSize().height(), 100);
        for (int i = 0; i < list->count(); ++i)
            for (const QString& word : list->item(i)->text().split(u' '))
                EXPECT_LT(metrics.horizontalAdvance(word), list->gridSize().width() - 8) << word.toStdString();
        // The whole row is in view, the buttons inside the window.
        EXPECT_LE(list->count() * list->gridSize().width(), list->viewport()->width());
        EXPECT_LE(Select().DoSelect()->geometry().right(), Select().Client()->width());
        Select().Unload();
        Settle();
    }
    TextConstants::textLanguage = saved;
}

}  // namespace
