// The window manager in the running program on the sample database: every
// name of its table has a window, the windows without a function behave as
// every child window does, closing every window after a quiz leaves none,
// a restored print window lies inside the frame, and a window asked for
// comes up to be worked in.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTest>
#include <algorithm>
#include <functional>
#include <utility>

#include "Atom.h"
#include "Auto.h"
#include "ChildForm.h"
#include "DataBase.h"
#include "Fakes.h"
#include "FileLock.h"
#include "FormControls.h"
#include "KFrame.h"
#include "Options.h"
#include "OtherRun.h"
#include "PlainWindows.h"
#include "QtServices.h"
#include "QtText.h"
#include "ProgramFixture.h"
#include "SettingsStore.h"
#include "TempFolder.h"
#include "TutSelect.h"
#include "Tutor.h"
#include "WinMan.h"
#include "windows/search/LetterMix.h"

namespace {

class WinManProgram : public RunningProgram {
protected:
    void Start() {
        // No getting-started window comes between.
        Fakes().settings.Write("Software\\Quillmarsh\\Talvessin\\1.x\\Options", "ShowShortHelp", "False");
        StartProgram("/x/talvessin");
        Options::QuizUseLimit = false;  // no clock runs
        program->Frame()->MainWindow()->resize(1000, 800);
        Settle();
    }
    static void Settle() {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // Closes the frame (which stores the open windows) and starts again.
    void Restart() {
        ASSERT_TRUE(program->Frame()->Unload(UnloadMode::User));
        Stop();
        Start();
    }
    QRect Inner() const { return QRect(QPoint(0, 0), program->Frame()->Area()->viewport()->size()); }
    std::vector<std::string> VisibleChildren() const {
        std::vector<std::string> names;
        for (QMdiSubWindow* sub : program->Frame()->Area()->subWindowList())
            if (sub->isVisible()) names.push_back(sub->objectName().toStdString());
        return names;
    }
    std::string Stored(const std::string& name) const {
        std::string v;
        Options::GetVal("Windows", name, v);
        return v;
    }
};

// A script line or a stored list of open windows may name any window of the
// table; the nine without a function open by their name, are placed, closed
// with their close box and come back at the next start where they were.
TEST_F(WinManProgram, EveryNameHasAWindowThatOpensClosesAndComesBackAtStart) {
    Start();
    std::vector<std::string> known = Auto::KnownNames();
    std::sort(known.begin(), known.end());
    EXPECT_EQ(Auto::AvailableNames(), known);

    std::string open;
    std::vector<QRect> placed;
    for (const char* name : PlainWindows::kNames) {
        SCOPED_TRACE(name);
        Auto::ProcessLine(std::string(name) + " SHOW");  // as a tutorial opens it
        FormBase* f = Auto::GetForm(name);
        ASSERT_TRUE(f && f->Visible());
        EXPECT_EQ(f->Caption(), name);
        EXPECT_TRUE(Inner().contains(f->SubWindow()->geometry()));
        const auto children = program->Frame()->Area()->subWindowList().size();
        WinMan::OpenForm(name);  // brought forward, not made twice
        EXPECT_EQ(program->Frame()->Area()->subWindowList().size(), children);
        f->SubWindow()->close();  // the close box
        Settle();
        EXPECT_FALSE(f->IsLoaded());

        // Opened again, moved and left open for the next start.
        WinMan::OpenForm(name);
        f->Move(1500 + 150.0 * placed.size(), 1500);
        placed.push_back(f->SubWindow()->geometry());
        open += (open.empty() ? "" : ",") + std::string(name);
    }
    Restart();
    EXPECT_EQ(Stored("Open"), open);
    for (size_t i = 0; i < placed.size(); ++i) {
        FormBase* f = Auto::GetForm(PlainWindows::kNames[i]);
        ASSERT_TRUE(f && f->Visible()) << PlainWindows::kNames[i];
        EXPECT_EQ(f->SubWindow()->geometry(), placed[i]) << PlainWindows::kNames[i];
        EXPECT_EQ(WinMan::History().Entries()[i].name, PlainWindows::kNames[i]);
    }
    EXPECT_EQ(Fakes().TakeAsserts(), std::vector<std::string>{});
}

// Closing with six windows open while another run hangs with the settings
// file's lock: the close waits for the lock once, not once a window, and
// stores the open windows and their places all the same.
TEST_F(WinManProgram, ClosingWhileAnotherRunHoldsTheSettingsLockWaitsOnce) {
    TempFolder dir;
    FileSettingsStore store(dir / "settings");
    const Services::Set saved = Services::Get();
    Services::Set set = saved;
    set.settings = &store;
    Services::Install(set);
    const std::string key = "Software\\Quillmarsh\\Talvessin\\1.x\\";
    std::string open;
    for (int i = 0; i < 6; ++i) open += (i ? "," : "") + std::string(PlainWindows::kNames[i]);
    store.Write(key + "Options", "ShowShortHelp", "False");
    store.Write(key + "Windows", "Open", open);
    StartProgram("/x/talvessin");
    Settle();
    ASSERT_EQ(VisibleChildren().size(), 6u);
    {
        LockHeldElsewhere held(dir / "settings");
        ASSERT_TRUE(held.Held());
        const int before = FileOp::FileLock::Waits();
        ASSERT_TRUE(program->Frame()->Unload(UnloadMode::User));
        EXPECT_EQ(FileOp::FileLock::Waits(), before + 1);
    }
    FileSettingsStore after(dir / "settings");
    EXPECT_EQ(after.Read(key + "Windows", "Open"), open);
    for (int i = 0; i < 6; ++i) EXPECT_TRUE(after.Read(key + "Windows", PlainWindows::kNames[i])) << i;
    Stop();
    Services::Install(saved);
}

// The quiz brings its options back when the user closes it, but not when
// every window closes at once: by the command, or when a tutorial starts.
TEST_F(WinManProgram, ClosingEveryWindowAfterAQuizLeavesNone) {
    Start();
    struct Case {
        const char* what;
        std::function<void()> closeAll;
        std::vector<std::string> left;
    } cases[] = {
        {"Close All Windows", [this] { program->Frame()->ItemClick("CloseAllFunc"); }, {}},
        {"a tutorial's start",
         [] {
             WinMan::OpenForm("TutSelect");
             static_cast<TutSelect*>(Auto::GetForm("TutSelect"))->DoSelect()->Press();
         },
         {"Tutor"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WinMan::OpenForm("SingleName");
        WinMan::OpenForm("QuizOptions");
        Auto::GetForm("QuizOptions")->ControlAs<CommandButton>("StartQuiz")->Press();
        ASSERT_TRUE(Auto::GetForm("Quiz")->Visible());
        c.closeAll();
        Settle();
        EXPECT_EQ(VisibleChildren(), c.left);
        EXPECT_FALSE(Auto::GetForm("QuizOptions")->IsLoaded());
        if (WinMan::tutorialRunning)
            static_cast<TutSelect*>(Auto::GetForm("TutSelect"))->TutorWindow().Leave()->Press();
        Settle();
    }
    EXPECT_EQ(Fakes().TakeAsserts(), std::vector<std::string>{});
}

// Wherever its position was stored (another frame, another screen), and
// where the frame's area would put it with nothing usable stored, the print
// window comes back whole inside the frame, its buttons in reach.
TEST_F(WinManProgram, ARestoredPrintWindowLiesInsideTheFrame) {
    Start();
    // The area seeks room beside the windows already open, right of them.
    for (const char* other : {"Alpha", "SingleName", "Translate"}) WinMan::OpenForm(other);
    const char* stored[] = {
        "600,900,4350,6420,0",      // inside: exactly there
        "600,12000,4350,6420,0",    // partly past the right edge
        "10000,900,4350,6420,0",    // partly past the bottom
        "90000,90000,4350,6420,0",  // wholly outside
        "-900,-900,4350,6420,0",
        "0,0,0,0,0",                // unusable: no default either
        nullptr,                    // nothing stored
    };
    for (const char* value : stored) {
        SCOPED_TRACE(value ? value : "nothing");
        if (value)
            Options::PutVal("Windows", "PrintOptions", value);
        else
            Fakes().settings.Delete(Options::RegBaseKey + "Windows", "PrintOptions");
        Options::PutVal("Windows", "Open", "PrintOptions");
        WinMan::RestoreOpenWindows();
        FormBase* print = Auto::GetForm("PrintOptions");
        ASSERT_TRUE(print && print->Visible());
        const QRect r = print->SubWindow()->geometry();
        EXPECT_TRUE(Inner().contains(r)) << r.x() << "," << r.y() << " " << r.width() << "x" << r.height();
        if (value == stored[0]) {
            EXPECT_EQ(r.topLeft(), QPoint(60, 40));
        }
        print->Unload(UnloadMode::User);
        Settle();
    }
}

// A window the user asks for comes up to be worked in, by every road: one
// closed while minimised opens restored, active and with the keyboard (it
// came up as a bar at the foot of the area, no window active), and so does
// one left minimised, maximised when another window is. The windows of the
// last run come back at the start as they were, minimised too.
TEST_F(WinManProgram, AWindowAskedForComesUpRestoredActiveAndWithTheKeyboard) {
    Start();
    KFrame* frame = program->Frame();
    frame->MainWindow()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame->MainWindow()));
    FormBase* names = Auto::GetForm("SingleName");
    const atom* name = nullptr;
    for (int32_t id = 0; id < DataBase::numAtoms && !name; ++id)
        if (const atom* a = DataBase::atomTab[static_cast<size_t>(id)]; a && a->isName()) name = a;
    ASSERT_TRUE(name);
    const struct {
        const char* what;
        bool opensClosed;  // also a window that is not open
        std::function<void()> ask;
    } roads[] = {
        {"menu", true, [frame] { frame->MenuAction("SingleNameFunc")->trigger(); }},
        {"toolbar", true, [frame] { frame->ToolAction("SingleName")->trigger(); }},
        {"tutorial's SHOW", true, [] { Auto::ProcessLine("SingleName SHOW"); }},
        {"link", true, [name] { ChildForm::FollowDescriptionLink(std::to_string(name->id()), nullptr); }},
        {"list line", true,
         [frame] {
             frame->ShowForm("LetterMix");
             auto* mix = static_cast<LetterMix*>(Auto::GetForm("LetterMix"));
             mix->ControlAs<TextBox>("Letters", 0)->SetText("Annabel");
             mix->Search_Click();
             mix->ControlAs<QWidget>("Names")->setFocus(Qt::TabFocusReason);
             QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
             QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
         }},
        {"Windows menu's list", false,
         [frame, names] {
             QMenu* windows = frame->Menu("WindowsMenu");
             windows->popup(QPoint(0, 0));
             QAction* entry = nullptr;
             for (QAction* a : windows->actions())
                 if (a->isCheckable() && a->text().endsWith(QtText::ToQt(names->Caption()))) entry = a;
             windows->hide();  // as a menu does before it runs the item chosen
             ASSERT_TRUE(entry);
             entry->trigger();
         }},
        {"Previous Window", false, [frame] { frame->MenuAction("GoBackFunc")->trigger(); }},
        {"Switch Window", false, [frame] { frame->MenuAction("SwitchWindowFunc")->trigger(); }},
    };
    for (int othersState : {WinModel::kNormal, WinModel::kMaximized})
        for (bool closed : {true, false})
            for (const auto& road : roads) {
                if (closed && !road.opensClosed) continue;
                SCOPED_TRACE(std::string(road.what) + (closed ? ", closed minimised" : ", minimised") +
                             (othersState ? ", others maximised" : ""));
                frame->ItemClick("CloseAllFunc");
                frame->ShowForm("SingleName");  // the keyboard in its first box
                names->SetWindowState(WinModel::kMinimized);
                WinMan::OpenForm("Alpha");
                Auto::GetForm("Alpha")->SetWindowState(othersState);
                if (closed) names->Unload(UnloadMode::User);
                Settle();
                road.ask();
                Settle();
                ASSERT_TRUE(names->Visible());
                EXPECT_EQ(names->WindowState(), othersState);
                EXPECT_EQ(frame->Area()->activeSubWindow(), names->SubWindow());
                // The keyboard is in its box, where it was or where it is on
                // a first opening (the menu's popup may keep the activation
                // offscreen, so the frame's own focus is asked).
                EXPECT_EQ(frame->MainWindow()->focusWidget(), names->Control("CurName"));
            }

    names->SetWindowState(WinModel::kMinimized);
    Restart();
    names = Auto::GetForm("SingleName");
    ASSERT_TRUE(names->Visible());
    EXPECT_EQ(names->WindowState(), WinModel::kMinimized);
    EXPECT_EQ(Fakes().TakeAsserts(), std::vector<std::string>{});
}

}  // namespace

// A start that reopens windows lets the events run, and the frame is
// painted meanwhile: the getting-started window still comes up on top at
// once, not at whatever the user does next (nothing on the screen changes
// by itself over Quiz Options). A window the user opens before it comes
// stays in front of it.
TEST_F(WinManProgram, GettingStartedComesUpOnTopButNeverOverAWindowOpenedBeforeIt) {
    Fakes().settings.Write("Software\\Quillmarsh\\Talvessin\\1.x\\Windows", "Open", "Alpha,QuizOptions");
    Fakes().settings.Write("Software\\Quillmarsh\\Talvessin\\1.x\\Options", "ShowShortHelp", "True");
    auto front = [this] {
        QMdiSubWindow* active = program->Frame()->Area()->activeSubWindow();
        const QList<QMdiSubWindow*> stack = program->Frame()->Area()->subWindowList(QMdiArea::StackingOrder);
        EXPECT_EQ(active, stack.back());
        return active ? active->objectName().toStdString() : std::string();
    };
    for (bool eventsRun : {true, false}) {
        SCOPED_TRACE(eventsRun);
        QtEventPump pump;  // the start lets the real events run
        Services::Set services = Services::Get();
        Services::EventPump* fake = std::exchange(services.events, eventsRun ? &pump : services.events);
        Services::Install(services);
        StartProgram("/x/talvessin");
        services.events = fake;
        Services::Install(services);
        if (!eventsRun) program->Frame()->ShowForm("UserNames");  // before the first paint
        QCoreApplication::processEvents();  // the paint
        QCoreApplication::sendPostedEvents();  // what follows it
        EXPECT_EQ(front(), eventsRun ? "ShortHelp" : "UserNames");
        EXPECT_TRUE(Auto::GetForm("ShortHelp")->Visible());
        Stop();
    }
}
