// The child windows by keyboard and mouse as on every desktop, in the
// running program of each edition: real key and mouse events (QTest) reach
// real windows.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <functional>
#include <utility>

#include "Fakes.h"
#include "FormControls.h"
#include "GenMsg.h"
#include "KFrame.h"
#include "ProgramFixture.h"
#include "QtText.h"
#include "ResultSet.h"
#include "ResultViews.h"
#include "windows/info/Realm.h"
#include "windows/info/SingleName.h"
#include "windows/search/LetterMix.h"
#include "windows/lists/NameLists.h"

namespace {

const char* const kEditions[] = {"/x/talvessin", "/x/orsabrine"};

class DesktopInput : public RunningProgram {
protected:
    void Start(const char* argv0) {
        // No getting-started window comes between.
        for (const char* edition : {"Talvessin", "Orsabrine"})
            Fakes().settings.Write(std::string("Software\\Quillmarsh\\") + edition + "\\1.x\\Options", "ShowShortHelp",
                                   "False");
        StartProgram(argv0);
        QMainWindow* main = program->Frame()->MainWindow();
        main->resize(1000, 800);
        main->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(main));
    }
    FormBase* Show(const char* name) {
        program->Frame()->ShowForm(name);
        return Auto::GetForm(name);
    }
    std::string Active() const {
        QMdiSubWindow* sub = program->Frame()->Area()->activeSubWindow();
        return sub ? sub->objectName().toStdString() : "";
    }
    // A key as the user presses it, at the widget that has the focus.
    static void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }
    // Whether the focus is in that window.
    static bool HasFocus(const char* name) {
        FormBase* f = Auto::GetForm(name);
        return f && f->Client() && f->Client()->isAncestorOf(QApplication::focusWidget());
    }
    SingleName* NameWindow() const { return static_cast<SingleName*>(Auto::GetForm("SingleName")); }
};

// The Windows menu names the keys in the edition's language. Ctrl+Tab (or
// Ctrl+F6) brings the window behind forward and sends the front one to the
// back, so that pressing it again and again visits every window, and
// Ctrl+Shift+Tab steps back; Previous Window keeps its meaning. Ctrl+F4
// closes the active window as its close box does, so a close refused while
// input is blocked leaves it open.
TEST_F(DesktopInput, CtrlTabAndCtrlF4AsOnEveryDesktop) {
    for (const char* argv0 : kEditions) {
        SCOPED_TRACE(argv0);
        Start(argv0);
        const bool german = TextConstants::textLanguage == 0;
        EXPECT_EQ(program->Frame()->MenuAction("CloseWindowFunc")->text(),
                  german ? "&Fenster schliessen\tStrg+F4" : "Cl&ose Window\tCtrl+F4");
        EXPECT_TRUE(program->Frame()->MenuAction("SwitchBackFunc")->text().endsWith(
            german ? "\tStrg+Umschalt+Tab" : "\tCtrl+Shift+Tab"));

        for (const char* name : {"Alpha", "Lexi", "SingleName"}) Show(name);
        std::vector<std::string> seen;
        for (Qt::Key key : {Qt::Key_Tab, Qt::Key_F6, Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_Backtab, Qt::Key_Backtab}) {
            Press(key, key == Qt::Key_Backtab ? Qt::ControlModifier | Qt::ShiftModifier : Qt::ControlModifier);
            seen.push_back(Active());
        }
        EXPECT_EQ(seen, (std::vector<std::string>{"Lexi", "Alpha", "SingleName", "Alpha", "Lexi", "SingleName"}));
        // The focus went along: the keys go on from the window now in front.
        EXPECT_TRUE(Auto::GetForm("SingleName")->SubWindow()->isAncestorOf(QApplication::focusWidget()));
        program->Frame()->ItemClick("GoBackFunc");
        EXPECT_EQ(Active(), "Lexi");

        Press(Qt::Key_F4);
        EXPECT_FALSE(Auto::GetForm("Lexi")->IsLoaded());
        EXPECT_EQ(Active(), "SingleName");
        WinMan::tutorialRunning = true;  // the user answers No to ending it
        Fakes().Answer({false});
        Press(Qt::Key_F4);
        EXPECT_TRUE(Auto::GetForm("SingleName")->IsLoaded());
        EXPECT_EQ(Fakes().TakeMessageNumbers(), std::vector<int>{GenMsg::GMendTutor});
        WinMan::tutorialRunning = false;
        Stop();
    }
}

// The user's press and release arrive together (a quick click, a tap): the
// release waits while the press activates the window, so the click on a
// control of a window that was not the active one acts, and acts once.
TEST_F(DesktopInput, TheFirstClickOnAnInactiveWindowActsOnce) {
    struct QueuedRelease : Services::EventPump {
        std::function<void()> release;  // the user's release, already queued
        void DoEvents() override {
            if (auto r = std::exchange(release, nullptr)) r();
        }
        void DoEventsHoldingInput() override {}
    } pump;
    for (const char* argv0 : kEditions) {
        SCOPED_TRACE(argv0);
        Start(argv0);
        Services::Set set = Services::Get();
        Services::EventPump* old = std::exchange(set.events, &pump);
        Services::Install(set);
        FormBase* alpha = Show("Alpha");
        auto* lists = dynamic_cast<NameLists*>(Show("NameLists"));
        ASSERT_TRUE(lists);
        auto click = [&](QWidget* control) {
            Show("NameDays");  // Alpha behind it
            ASSERT_EQ(Active(), "NameDays");
            pump.release = [control] { QTest::mouseRelease(control, Qt::LeftButton); };
            QTest::mousePress(control, Qt::LeftButton);
            if (auto r = std::exchange(pump.release, nullptr)) r();
        };
        click(alpha->Control("Letter", 1));
        EXPECT_EQ(Active(), "Alpha");
        EXPECT_TRUE(QtText::FromQt(alpha->ControlAs<QGroupBox>("NamesFrame")->title()).ends_with("'B'"));
        const int before = static_cast<int>(lists->HistoryLists().size());
        click(alpha->Control("AsList"));
        EXPECT_EQ(static_cast<int>(lists->HistoryLists().size()), before + 1);
        set.events = old;
        Services::Install(set);
        Stop();
    }
}

// Brought forward again by its menu item, a window gives the focus where its
// first opening gave it, wherever the user had left it; what the user types
// next goes into the name box of Name/Group.
TEST_F(DesktopInput, AWindowBroughtForwardByItsCommandFocusesItsFirstInput) {
    for (const char* argv0 : kEditions) {
        SCOPED_TRACE(argv0);
        Start(argv0);
        for (const std::string& name : Auto::AvailableNames()) {
            const QAction* item = program->Frame()->MenuAction(name + "Func");
            if (!item || !item->isEnabled() || name == "OptionEntry" || name == "Feedback") continue;
            SCOPED_TRACE(name);
            FormBase* form = Show(name.c_str());
            QWidget* first = QApplication::focusWidget();
            ASSERT_TRUE(first && form->Client()->isAncestorOf(first));
            // The user tabs on, works elsewhere, and comes back by the menu.
            Press(Qt::Key_Tab, Qt::NoModifier);
            Show(name == "Alpha" ? "Realm" : "Alpha");
            Show(name.c_str());
            EXPECT_EQ(QApplication::focusWidget(), first);
        }
        Show("Alpha");
        Show("SingleName");
        QTest::keyClicks(QApplication::focusWidget(), "Kim");
        EXPECT_EQ(Auto::GetForm("SingleName")->ControlAs<TextBox>("CurName")->Text(), "Kim");
        Stop();
    }
}

// In a small frame a window larger than the area opens with its own corner
// in sight, also where it opens in a box nearly as wide as the area (Manage
// Lists in its title box): where the box begins shows the keyboard.
TEST_F(DesktopInput, ASmallFrameShowsTheCornerOfAWindowOpenedInAWideBox) {
    for (const char* argv0 : kEditions) {
        SCOPED_TRACE(argv0);
        Start(argv0);
        program->Frame()->MainWindow()->resize(650, 480);
        QWidget* view = program->Frame()->Area()->viewport();
        FormBase* form = Show("NameLists");
        ASSERT_EQ(QApplication::focusWidget(), form->Control("CurListQuery"));
        ASSERT_GT(form->SubWindow()->width(), view->width());
        EXPECT_TRUE(view->rect().contains(form->SubWindow()->geometry().topLeft()));
        Stop();
    }
}

// F10 takes the keyboard to the menu bar and back, as Alt alone does; Shift+F10
// opens the context menu of the box with the focus, as the menu key does.
TEST_F(DesktopInput, F10FocusesTheMenuBarAndShiftF10OpensTheContextMenu) {
    for (const char* argv0 : kEditions) {
        SCOPED_TRACE(argv0);
        Start(argv0);
        Show("SingleName");
        QWidget* box = NameWindow()->Control("CurName");
        ASSERT_EQ(QApplication::focusWidget(), box);
        Press(Qt::Key_F10, Qt::NoModifier);
        EXPECT_EQ(QApplication::focusWidget(), program->Frame()->MainWindow()->menuBar());
        Press(Qt::Key_F10, Qt::NoModifier);
        EXPECT_EQ(QApplication::focusWidget(), box);
        Press(Qt::Key_F10, Qt::ShiftModifier);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_TRUE(menu);
        menu->close();
        Stop();
    }
}

// Switched back to by Ctrl+Tab or the Windows menu, a window gives the focus
// back to the control that had it: here Topic's table of names, which the
// user went through by the arrow keys, each line shown in Name/Group behind
// it while the keys stay in the table.
TEST_F(DesktopInput, ASwitchedBackWindowGivesTheFocusBackWhereItWas) {
    for (const char* argv0 : kEditions) {
        SCOPED_TRACE(argv0);
        Start(argv0);
        Show("SingleName");
        FormBase* topic = Show("Realm");
        auto* names = topic->ControlAs<ListView>("Names");
        names->setFocus(Qt::TabFocusReason);
        for (int step = 0; step < 2; ++step) {
            Press(Qt::Key_Down, Qt::NoModifier);
            EXPECT_EQ(QApplication::focusWidget(), names);
            EXPECT_EQ(Active(), "Realm");
            EXPECT_EQ(NameWindow()->curAtom(), static_cast<Realm*>(topic)->names()->atom(names->SelectedTag()));
        }
        Press(Qt::Key_Tab);
        EXPECT_TRUE(HasFocus("SingleName"));
        Press(Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), names);
        Press(Qt::Key_Tab);
        QMenu* windows = program->Frame()->Menu("WindowsMenu");
        windows->popup(QPoint(0, 0));
        windows->hide();
        for (QAction* a : windows->actions())
            if (a->text().endsWith(QtText::ToQt(topic->Caption()))) a->trigger();
        EXPECT_EQ(QApplication::focusWidget(), names);
        Stop();
    }
}

// Manage Lists hides instead of closing: after Ctrl+F4 on it the window
// behind it is the active one and has the keyboard, so F1 opens its help.
TEST_F(DesktopInput, TheHiddenManageListsLeavesTheWindowBehindActive) {
    for (const char* argv0 : kEditions) {
        SCOPED_TRACE(argv0);
        Start(argv0);
        Show("Alpha");
        Show("NameLists");
        Press(Qt::Key_F4);
        EXPECT_FALSE(Auto::GetForm("NameLists")->Visible());
        EXPECT_EQ(Active(), "Alpha");
        EXPECT_TRUE(HasFocus("Alpha"));
        Fakes().help.topics.clear();
        Press(Qt::Key_F1, Qt::NoModifier);
        EXPECT_EQ(Fakes().help.topics, std::vector<std::string>{"Alpha"});
        Stop();
    }
}

// A start that reopens windows: the window in front (the print window,
// restored last) has the keyboard, and the Windows menu, opened before the
// getting-started window comes, lists that one as soon as it comes. With no
// window open, every command of the Windows menu is disabled, and the
// toolbar's arrows with them.
TEST_F(DesktopInput, TheWindowsMenuAfterARestoringStart) {
    for (const char* argv0 : kEditions) {
        SCOPED_TRACE(argv0);
        const std::string key = std::string("Software\\Quillmarsh\\") +
                                (std::string_view(argv0).ends_with("talvessin") ? "Talvessin" : "Orsabrine") + "\\1.x\\";
        Fakes().settings.Write(key + "Windows", "Open", "SingleName,PrintOptions");
        Fakes().settings.Write(key + "Options", "ShowShortHelp", "True");
        StartProgram(argv0);
        KFrame* frame = program->Frame();
        EXPECT_TRUE(Auto::GetForm("PrintOptions")->Client()->isAncestorOf(frame->MainWindow()->focusWidget()));
        QMenu* windows = frame->Menu("WindowsMenu");
        auto listed = [windows] {
            QStringList names;
            for (QAction* a : windows->actions())
                if (a->isCheckable()) names << a->text();
            return names;
        };
        windows->popup(QPoint(0, 0));
        EXPECT_EQ(listed().size(), 2);
        frame->Host()->repaint();  // the getting-started window follows the frame's first paint
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents();
        ASSERT_EQ(listed().size(), 3);
        EXPECT_TRUE(listed().last().endsWith(QtText::ToQt(Auto::GetForm("ShortHelp")->Caption())));
        windows->hide();

        frame->ItemClick("CloseAllFunc");
        for (const char* item : {"GoBackFunc", "GoForwFunc", "CloseAllFunc", "CloseWindowFunc", "SwitchWindowFunc",
                                 "SwitchBackFunc"})
            EXPECT_FALSE(frame->MenuAction(item)->isEnabled()) << item;
        for (const char* tool : {"GoBack", "GoForw"}) EXPECT_FALSE(frame->ToolAction(tool)->isEnabled()) << tool;
        Show("Alpha");
        EXPECT_TRUE(frame->MenuAction("CloseWindowFunc")->isEnabled());
        Stop();
    }
}

// Enter on a line of Letter Combinations' table opens the name in Name/Group,
// as the Name button does.
TEST_F(DesktopInput, EnterOnALetterCombinationsLineOpensTheName) {
    for (const char* argv0 : kEditions) {
        SCOPED_TRACE(argv0);
        Start(argv0);
        auto* mix = static_cast<LetterMix*>(Show("LetterMix"));
        mix->ControlAs<TextBox>("Letters", 0)->SetText("Annabel");
        mix->Search_Click();
        auto* names = mix->ControlAs<ListView>("Names");
        ASSERT_GT(names->Model()->rowCount(), 2);
        names->setFocus(Qt::TabFocusReason);
        Press(Qt::Key_Down, Qt::NoModifier);
        Press(Qt::Key_Return, Qt::NoModifier);
        EXPECT_EQ(Active(), "SingleName");
        EXPECT_EQ(NameWindow()->curAtom(), mix->names()->atom(names->SelectedTag()));
        Stop();
    }
}

// A frame closed maximised comes back maximised, in each edition: fitting
// the frame to its screen as it appears took it for a normal window and
// dropped the state. Its normal rectangle stays the one stored.
TEST_F(DesktopInput, AFrameClosedMaximisedComesBackMaximised) {
    for (const char* argv0 : kEditions) {
        SCOPED_TRACE(argv0);
        const std::string key = std::string("Software\\Quillmarsh\\") +
                                (std::string_view(argv0).ends_with("talvessin") ? "Talvessin" : "Orsabrine") +
                                "\\1.x\\Windows";
        Fakes().settings.Write(key, "KFrame", "1500,1500,6000,7500,2");
        StartProgram(argv0);
        EXPECT_TRUE(program->Frame()->MainWindow()->isMaximized());
        program->Frame()->Unload(UnloadMode::User);
        EXPECT_EQ(Fakes().settings.Read(key, "KFrame").value_or(""), "1500,1500,6000,7500,2");
        Stop();
    }
}

// Under a screen scale of 2 (CTest runs these on a 1280 x 1024 offscreen
// screen with QT_SCALE_FACTOR=2; elsewhere they are skipped): the frame stored
// by a run at scale 1 fits its screen, and a window larger than the frame's
// area can be reached whole, its right-hand buttons and its close box, by the
// area's scroll bars. A position stored off the area is brought inside.
TEST_F(DesktopInput, AtScreenScaleTwoEveryPartOfAWindowCanBeReached) {
    if (qApp->devicePixelRatio() != 2) GTEST_SKIP() << "runs at a screen scale of 2";
    for (const char* argv0 : kEditions) {
        SCOPED_TRACE(argv0);
        const std::string key = std::string("Software\\Quillmarsh\\") +
                                (std::string_view(argv0).ends_with("talvessin") ? "Talvessin" : "Orsabrine") +
                                "\\1.x\\Windows";
        Fakes().settings.Write(key, "KFrame", "1500,1500,12000,15000,0");  // 1000 x 800 at 100, 100
        Fakes().settings.Write(key, "Alpha", "30000,60000,7230,10035,0");
        StartProgram(argv0);
        QMainWindow* main = program->Frame()->MainWindow();
        EXPECT_TRUE(main->screen()->availableGeometry().contains(main->frameGeometry()));

        main->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(main));
        QMdiArea* area = program->Frame()->Area();
        QWidget* view = area->viewport();
        auto inSight = [view](QWidget* w, QRect r) {
            return view->rect().contains(QRect(w->mapTo(view, r.topLeft()), r.size()));
        };
        const std::pair<const char*, const char*> windows[] = {{"Alpha", "ShowHelp"}, {"NameLists", "ShowHelp"}};
        for (const auto& [name, button] : windows) {
            SCOPED_TRACE(name);
            FormBase* form = Show(name);
            QMdiSubWindow* sub = form->SubWindow();
            EXPECT_TRUE(view->rect().contains(sub->geometry().topLeft()));  // opens in sight
            EXPECT_FALSE(view->rect().contains(sub->geometry()));           // but larger than the area
            // By keyboard: the right-hand button that takes the focus comes into sight.
            QWidget* b = form->Control(button);
            b->setFocus(Qt::TabFocusReason);
            EXPECT_TRUE(inSight(b, b->rect()));
            // By mouse: the scroll bars reach the close box at the title bar's right end.
            area->horizontalScrollBar()->setValue(area->horizontalScrollBar()->maximum());
            area->verticalScrollBar()->setValue(area->verticalScrollBar()->minimum());
            EXPECT_TRUE(inSight(sub, QRect(sub->width() - 24, 0, 24, 20)));
            area->horizontalScrollBar()->setValue(0);
        }
        Stop();
    }
}

// At a screen scale of 2 the frame's rectangle is stored in the screen's own
// pixels: one stored as 1000 x 800 comes back as 500 x 400 units, the same
// part of the screen, and goes back as it came.
TEST_F(DesktopInput, AtScreenScaleTwoTheFrameIsStoredInTheScreensPixels) {
    if (qApp->devicePixelRatio() != 2) GTEST_SKIP() << "runs at a screen scale of 2";
    const std::string key = "Software\\Quillmarsh\\Talvessin\\1.x\\Windows";
    Fakes().settings.Write(key, "KFrame", "1500,1500,12000,15000,0");
    StartProgram("/x/talvessin");
    QMainWindow* main = program->Frame()->MainWindow();
    EXPECT_EQ(main->size(), QSize(500, 400));
    main->resize(600, 450);
    program->Frame()->Unload(UnloadMode::User);
    EXPECT_EQ(Fakes().settings.Read(key, "KFrame").value_or(""), "1500,1500,13500,18000,0");
    Stop();
}

}  // namespace
