// Windows on the window base in a real MDI area (offscreen).
#include <gtest/gtest.h>

#include <QApplication>
#include <QMdiSubWindow>
#include <utility>

#include "Errors.h"
#include "Fakes.h"
#include "FormControls.h"
#include "GenMsg.h"
#include "Options.h"
#include "QtServices.h"
#include "StubForm.h"
#include "TempFolder.h"
#include "WinMan.h"

namespace {

class WindowsTest : public StubAreaTest {
protected:
    void SetUp() override {
        StubAreaTest::SetUp();
        Options::ShowToolTips = true;
    }
    std::string HistoryNames() {
        std::string s;
        for (const auto& e : WinMan::History().Entries()) s += (s.empty() ? "" : ",") + e.name;
        return s;
    }
    std::string Current() {
        auto* f = static_cast<const FormBase*>(WinMan::History().Current());
        return f ? f->Name() : "";
    }
    std::string Stored(const std::string& name) {
        std::string v;
        Options::GetVal("Windows", name, v);
        return v;
    }
};

TEST_F(WindowsTest, OpeningTwiceShowsOnceAndUserActivationReordersButBackDoesNot) {
    WinMan::OpenForm("Alpha");
    WinMan::OpenForm("Alpha");
    EXPECT_EQ(Form("Alpha").loads, 1);
    EXPECT_EQ(area->subWindowList().size(), 1);
    EXPECT_EQ(area->activeSubWindow(), Form("Alpha").SubWindow());
    WinMan::OpenForm("Lexi");
    WinMan::OpenForm("SingleName");
    EXPECT_EQ(HistoryNames(), "Alpha,Lexi,SingleName");

    WinMan::GoBack();
    EXPECT_EQ(HistoryNames(), "Alpha,Lexi,SingleName");
    EXPECT_EQ(Current(), "Lexi");
    EXPECT_EQ(area->activeSubWindow(), Form("Lexi").SubWindow());
    WinMan::GoForward();
    EXPECT_EQ(Current(), "SingleName");

    // The user clicks the first window: it moves to the end.
    area->setActiveSubWindow(Form("Alpha").SubWindow());
    EXPECT_EQ(HistoryNames(), "Lexi,SingleName,Alpha");
    EXPECT_EQ(Current(), "Alpha");

    // Opening an open window by name brings it forward and into place.
    WinMan::OpenForm("Lexi");
    EXPECT_EQ(HistoryNames(), "SingleName,Alpha,Lexi");
    EXPECT_EQ(Form("Lexi").loads, 1);
}

TEST_F(WindowsTest, BackAndForwardSkipHiddenWindows) {
    WinMan::OpenForm("Alpha");
    WinMan::OpenForm("Lexi");
    WinMan::OpenForm("SingleName");
    Form("Lexi").Hide();  // as the list manager and the tutorial window hide themselves
    WinMan::GoBack();
    EXPECT_EQ(Current(), "Alpha");
    EXPECT_EQ(HistoryNames(), "Alpha,SingleName");
    WinMan::SaveOpenWindows();
    EXPECT_EQ(Stored("Open"), "Alpha,SingleName");
    // The hidden window unloads at shutdown without an assertion.
    WinMan::appClosing = true;
    EXPECT_TRUE(Form("Lexi").Unload(UnloadMode::AppClosing));
    WinMan::appClosing = false;
}

// A window is painted once as it opens: its activation, which lets the
// pending events run, no longer paints it half shown before the end of its
// showing paints it whole again.
TEST_F(WindowsTest, AWindowOpensWithOnePaint) {
    struct Paints : QObject {
        int count = 0;
        bool eventFilter(QObject* o, QEvent* e) override {
            if (e->type() == QEvent::Paint && qobject_cast<QMdiSubWindow*>(o) && o->objectName() == "Alpha") ++count;
            return false;
        }
    } paints;
    // The window manager lets the real events run here.
    QtEventPump pump;
    Services::Set services = Services::Get();
    Services::EventPump* fake = std::exchange(services.events, &pump);
    Services::Install(services);
    qApp->installEventFilter(&paints);
    WinMan::OpenForm("Alpha");
    qApp->removeEventFilter(&paints);
    services.events = fake;
    Services::Install(services);
    EXPECT_EQ(paints.count, 1);
    EXPECT_EQ(Current(), "Alpha");  // activated all the same
}

TEST_F(WindowsTest, CloseAllWindowsUnloadsAndStoresEach) {
    Options::PutVal("Windows", "Lexi", "300,450,4500,6000,0");
    WinMan::OpenForm("Alpha");
    WinMan::OpenForm("Lexi");
    WinMan::CloseAllWindows();
    Settle();
    EXPECT_FALSE(Form("Alpha").IsLoaded());
    EXPECT_FALSE(Form("Lexi").IsLoaded());
    EXPECT_TRUE(area->subWindowList().isEmpty());
    EXPECT_EQ(WinMan::History().Count(), 0);
    EXPECT_EQ(Stored("Lexi"), "300,450,4500,6000,0");
    EXPECT_EQ(Stored("Alpha"), "0,0,7230,10035,0");  // its default rectangle
    EXPECT_TRUE(FormBase::LoadedForms().empty());

    // Loads afresh on the next opening.
    WinMan::OpenForm("Alpha");
    EXPECT_EQ(Form("Alpha").loads, 2);
}

TEST_F(WindowsTest, PlacementFromStoredAndDefaultRectangles) {
    struct Case {
        const char* name;
        const char* stored;  // nullptr: nothing stored
        QRect expected;      // pixels within the viewport
    };
    const Case cases[] = {
        {"Lexi", "300,450,4500,6000,0", QRect(30, 20, 400, 300)},
        {"Alpha", nullptr, QRect(0, 0, 669, 482)},                   // default
        {"Alpha", "0,0,5000", QRect(0, 0, 669, 482)},                // unreadable: default
        {"Alpha", "0,0,420,1800,0", QRect(0, 0, 669, 482)},          // a title bar only: default
        // Beyond the inner area: in its bottom right corner, whole.
        {"Alpha", "30000,60000,4500,6000,0", QRect(-400, -300, 400, 300)},
    };
    const QSize inner = area->viewport()->size();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored ? c.stored : "none");
        if (c.stored)
            Options::PutVal("Windows", c.name, c.stored);
        else
            Fakes().settings.Delete(Options::RegBaseKey + "Windows", c.name);
        WinMan::OpenForm(c.name);
        QMdiSubWindow* sub = Form(c.name).SubWindow();
        QRect expected = c.expected;
        if (expected.left() < 0) expected.moveTo(inner.width() + expected.left(), inner.height() + expected.top());
        EXPECT_EQ(sub->geometry(), expected);
        EXPECT_EQ(Form(c.name).WindowState(), 0);
        Form(c.name).Unload();
    }
}

// A window of fixed size, built as the choice among similar entries is.
class FixedForm : public FormBase {
public:
    explicit FixedForm(const std::string& name) : FormBase(name) {}

protected:
    void BuildControls() override {
        Client()->resize(560, 320);
        Host()->resize(568, 350);
        SetSizable(false);
    }
};

// A maximised child leaves the others as they are; a fixed window opens at
// its designed size also the second time; no sizable window gets too small.
TEST_F(WindowsTest, MaximisedChildFixedWindowsAndTheMinimumSize) {
    Auto::Register("Similar", [] { return std::make_unique<FixedForm>("Similar"); });
    WinMan::OpenForm("Alpha");
    Form("Alpha").SetWindowState(2);
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        WinMan::OpenForm("Similar");
        FormBase& fixed = *Auto::GetForm("Similar");
        EXPECT_EQ(fixed.SubWindow()->size(), QSize(568, 350));
        EXPECT_EQ(fixed.WindowState(), 0);
        EXPECT_EQ(Form("Alpha").WindowState(), 2);
        fixed.Unload();
        Settle();
        EXPECT_EQ(Stored("Similar"), "0,0,5250,8520,0");
    }
    Form("Alpha").SetWindowState(0);
    Form("Alpha").Resize(150, 150);  // 10 x 10 pixels asked for
    EXPECT_GE(Form("Alpha").Client()->width(), FormBase::kMinClientWidth);
    EXPECT_GE(Form("Alpha").Client()->height(), FormBase::kMinClientHeight);
    // Minimised, it still shrinks to its title bar.
    Form("Alpha").SetWindowState(1);
    EXPECT_LT(Form("Alpha").SubWindow()->height(), FormBase::kMinClientHeight);
}

TEST_F(WindowsTest, BandOffsetAndMaximisedWindows) {
    Options::PutVal("Windows", "Alpha", "0,0,4500,6000,0");
    Options::PutVal("Windows", "Lexi", "150,150,4500,6000,2");
    WinMan::SetTopOffset(1500);
    WinMan::OpenForm("Alpha");
    WinMan::OpenForm("Lexi");
    EXPECT_EQ(Form("Alpha").Top(), 1500);
    EXPECT_EQ(Form("Lexi").WindowState(), 2);
    // The band goes: the normal window moves up, the maximised one stays.
    QRect maxGeometry = Form("Lexi").SubWindow()->geometry();
    WinMan::SetTopOffset(0);
    EXPECT_EQ(Form("Alpha").Top(), 0);
    EXPECT_EQ(Form("Lexi").SubWindow()->geometry(), maxGeometry);
    WinMan::SetTopOffset(1500);
    WinMan::CloseAllWindows();
    EXPECT_EQ(Stored("Alpha"), "0,0,4500,6000,0");  // stored without the band
    // A maximised window is stored with the rectangle it returns to.
    EXPECT_EQ(Stored("Lexi"), "150,150,4500,6000,2");
}

// A window shown behind the one in front (by its outer widget, not by
// Show, as a list moved through by the keys shows its names) takes the state
// it was placed in then, and keeps none to spring on a later opening.
TEST_F(WindowsTest, AWindowShownBehindTakesItsStoredStateThenAndNotLater) {
    Options::PutVal("Windows", "Lexi", "300,450,4500,6000,2");
    Form("Lexi").Load();
    Form("Lexi").Host()->show();
    EXPECT_EQ(Form("Lexi").WindowState(), 2);
    Form("Lexi").SetWindowState(0);
    WinMan::OpenForm("Lexi");
    EXPECT_EQ(Form("Lexi").WindowState(), 0);
}

TEST_F(WindowsTest, CloseRefusedWhileBlocked) {
    WinMan::OpenForm("Alpha");
    WinMan::tutorialRunning = true;
    Fakes().Answer({false});
    Form("Alpha").SubWindow()->close();  // the close box
    EXPECT_TRUE(Form("Alpha").IsLoaded());
    EXPECT_EQ(Fakes().TakeMessageNumbers(), std::vector<int>{GenMsg::GMendTutor});

    // Closing by code is never asked.
    EXPECT_TRUE(Form("Alpha").Unload(UnloadMode::Code));
    EXPECT_FALSE(Form("Alpha").IsLoaded());
    EXPECT_TRUE(WinMan::tutorialRunning);
}

TEST_F(WindowsTest, ValuesSetByCodeRaiseTheHandlers) {
    WinMan::OpenForm("Alpha");
    StubForm& f = Form("Alpha");
    EXPECT_TRUE(f.clicks.empty());  // filling the lists raised nothing

    f.combo->SetListIndex(1);
    f.list->SetListIndex(0);
    f.check->SetValue(1);
    f.check->SetValue(1);  // unchanged: no click
    f.text->SetText("Anna");
    f.ControlAs<OptionButton>("Opt", 0)->SetValue(true);
    f.ControlAs<OptionButton>("Opt", 2)->SetValue(true);
    f.go->Press();
    EXPECT_EQ(f.clicks, (std::vector<std::string>{"Combo1", "List0", "Check1", "Text Anna", "Opt0", "Opt2", "Go"}));

    // One option button on at a time, and all may be off.
    EXPECT_FALSE(f.ControlAs<OptionButton>("Opt", 0)->Value());
    f.ControlAs<OptionButton>("Opt", 2)->SetValue(false);
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(f.ControlAs<OptionButton>("Opt", i)->Value());
}

TEST_F(WindowsTest, UnloadInsideAHandlerWaitsForIt) {
    WinMan::OpenForm("Alpha");
    WinMan::OpenForm("Lexi");
    StubForm& f = Form("Alpha");
    f.unloadInHandler = true;
    f.go->Press();
    EXPECT_TRUE(f.loadedAfterUnloadCall);
    EXPECT_FALSE(f.IsLoaded());
    EXPECT_EQ(HistoryNames(), "Lexi");
    Settle();
    EXPECT_EQ(area->subWindowList().size(), 1);
}

TEST_F(WindowsTest, NotifyAllInLoadOrderWithHiddenWindows) {
    WinMan::OpenForm("Lexi");
    Form("Alpha").Load();  // loaded, never shown
    WinMan::OpenForm("SingleName");
    Form("SingleName").Hide();
    WinMan::NotifyAll(2, "");
    EXPECT_EQ(log, (std::vector<std::string>{"Lexi notify 2 ", "Alpha notify 2 ", "SingleName notify 2 "}));
}

TEST_F(WindowsTest, RestoreOpenWindowsInStoredOrder) {
    Options::PutVal("Windows", "Open", "SingleName,Alpha");
    WinMan::RestoreOpenWindows();
    EXPECT_EQ(HistoryNames(), "SingleName,Alpha");
    WinMan::SaveOpenWindows();
    EXPECT_EQ(Stored("Open"), "SingleName,Alpha");
}

TEST_F(WindowsTest, UnknownStoredWindowNamesAreSkippedAndLoggedWithoutABox) {
    // A settings file damaged into 218 names no window has, between two real ones.
    std::string open = "SingleName";
    for (int i = 0; i < 218; ++i) open += ",Window" + std::to_string(i);
    Options::PutVal("Windows", "Open", open + ",Alpha,SingleName");
    TempFolder folder;
    const std::string savedLog = std::exchange(Errors::LogFile, folder / "log.txt");
    Errors::LogEnabled = true;
    WinMan::RestoreOpenWindows();
    Errors::LogEnabled = false;
    Errors::LogFile = savedLog;
    EXPECT_TRUE(Fakes().TakeAsserts().empty());
    EXPECT_EQ(HistoryNames(), "SingleName,Alpha");
    const std::string log = TempFolder::Get(folder / "log.txt");
    EXPECT_NE(log.find("RestoreOpen    skipped 219 of the stored names: Window0,Window1,"), std::string::npos) << log;
}

}  // namespace
