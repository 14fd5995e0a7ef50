// The frame window, the shell's small windows and the program's start on
// the sample database, offscreen.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMouseEvent>
#include <QToolBar>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include "AboutFeedback.h"
#include "CountText.h"
#include "Dates.h"
#include "GenDescr.h"
#include "QtText.h"
#include "ResultSet.h"
#include "TempFolder.h"
#include "DbTestUtil.h"
#include "UserFile.h"
#include "BinFile.h"
#include "DataBase.h"
#include "EarlyStart.h"
#include "Fakes.h"
#include "FileOp.h"
#include "GenMsg.h"
#include "HelpViewer.h"
#include "KFrame.h"
#include "MenuCode.h"
#include "OptionEntry.h"
#include "LowLevel.h"
#include "Options.h"
#include "RichTextPane.h"
#include "ShortHelp.h"
#include "Startup.h"
#include "WindowRegistry.h"
#include "TextConstants.h"
#include "Welcome.h"
#include "ProgramFixture.h"
#include "StubForm.h"
#include "WinMan.h"

namespace {

std::vector<std::string> AllWindowNames() {
    return {"Alpha", "SingleName", "OrigLang", "OrigWord", "Realm", "NameDays", "Lexi", "Lang", "FullText",
            "NameLists", "ListOp", "Export", "StdLists", "Favorites", "LetterMix", "PickRandom", "UserNames",
            "Pop", "TutSelect", "QuizOptions"};
}

class ShellTest : public testing::Test {
protected:
    void SetUp() override {
        lang_ = TextConstants::textLanguage;
        edition_ = TextConstants::edition;
        TextConstants::textLanguage = 1;
        TextConstants::edition = 1;
        Options::RegBaseKey = "Software\\Test\\";
        Options::SetDefaults();
        WinMan::InitWinMan();
        WinMan::appClosing = false;
        WinMan::databaseLoading = [this] { return loading; };
        Auto::Reset();
    }
    void TearDown() override {
        Auto::Reset();
        frame.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        FormBase::SetMdiArea(nullptr);
        WinMan::databaseLoading = nullptr;
        WinMan::appClosing = false;
        WinMan::InitWinMan();
        TextConstants::textLanguage = lang_;
        TextConstants::edition = edition_;
    }

    void MakeFrame(bool withWindows) {
        if (withWindows)
            for (const std::string& n : AllWindowNames())
                Auto::Register(n, [this, n] { return std::make_unique<StubForm>(n, stubLog); });
        Auto::Register("ShortHelp", [] { return std::make_unique<ShortHelp>(); });
        Auto::Register("OptionEntry", [] { return std::make_unique<OptionEntry>(); });
        Auto::Register("Feedback", [] { return std::make_unique<Feedback>(); });
        frame = std::make_unique<KFrame>();
        frame->onCommand = [this](const std::string& c) { commands.push_back(c); };
        frame->Show();
    }
    bool Shown(const std::string& name) {
        FormBase* f = Auto::GetForm(name);
        return f && f->Visible();
    }
    std::string Stored(const std::string& section, const std::string& name) {
        std::string v;
        Options::GetVal(section, name, v);
        return v;
    }
    // Runs f; the modal window it opens is noted and closed as by its close box.
    std::string ModalOf(const std::function<void()>& f) {
        std::string seen;
        QTimer::singleShot(0, [&seen] {
            if (QWidget* w = QApplication::activeModalWidget()) {
                seen = w->objectName().toStdString();
                w->close();
            }
        });
        f();
        return seen;
    }

    bool loading = false;
    std::vector<std::string> commands;
    std::vector<std::string> stubLog;  // what the stand-in windows heard
    std::unique_ptr<KFrame> frame;
    int lang_ = 0, edition_ = 0;
};

// The separators group the buttons as the menus do (one after Alpha was once
// missing); each button runs what its menu item runs.
TEST_F(ShellTest, EveryToolbarKeyRunsTheHandlerOfItsMenuItem) {
    MakeFrame(true);
    QStringList keys;
    for (QAction* a : frame->MainWindow()->findChild<QToolBar*>("Toolbar1")->actions())
        keys << (a->isSeparator() ? QStringLiteral("|") : a->objectName());
    EXPECT_EQ(keys.join(','), QStringLiteral("Alpha,|,SingleName,OrigLang,OrigWord,Realm,NameDays,|,Lexi,Lang,"
                                             "FullText,|,NameLists,ListOp,Favorites,|,LetterMix,PickRandom,"
                                             "UserNames,Pop,Quiz,|,GoBack,GoForw"));
    for (const KFrame::ToolButton& b : KFrame::ToolButtons()) {
        if (!*b.key) continue;  // a separator
        QAction* tool = frame->ToolAction(b.key);
        QAction* item = frame->MenuAction(b.item);
        ASSERT_TRUE(tool && item) << b.key;
        EXPECT_TRUE(tool->isEnabled()) << b.key;
        EXPECT_FALSE(tool->icon().isNull()) << b.key;
        commands.clear();
        tool->trigger();
        std::vector<std::string> byTool = commands;
        commands.clear();
        item->trigger();
        EXPECT_EQ(byTool, commands) << b.key;
        ASSERT_EQ(byTool.size(), 1u) << b.key;
        // The key is the command's logged name; the quiz's key opens its options.
        EXPECT_EQ(byTool[0], std::string(b.key) == "Quiz" ? "QuizOptions" : b.key);
    }
    EXPECT_TRUE(Shown("Alpha") && Shown("Pop") && Shown("UserNames"));
    frame->Toolbar1_ButtonClick("Quiz");
    EXPECT_TRUE(Shown("QuizOptions"));
    frame->Toolbar1_ButtonClick("Nonsense");
    EXPECT_EQ(Fakes().TakeAsserts(), std::vector<std::string>{"*** Assert: *** Toolbar"});
}

TEST_F(ShellTest, MenusShowTheToolbarPicturesAndMarkTheOpenWindows) {
    MakeFrame(true);
    QMenuBar* bar = frame->MainWindow()->menuBar();
    EXPECT_FALSE(bar->isNativeMenuBar());
    EXPECT_TRUE(MenuCode::ItemOf(bar->actions().at(0)));  // the bar stays converted

    QMenu* show = frame->Menu("ViewMenu");
    show->popup(QPoint(0, 0));
    const MenuCode::MenuItem* alpha = MenuCode::ItemOf(frame->MenuAction("AlphaFunc"));
    ASSERT_TRUE(alpha);
    const MenuCode::MenuWindow* w = MenuCode::WindowOf(show);
    ASSERT_TRUE(alpha->iButton >= 0 && alpha->iButton < static_cast<int>(w->ilHandle.size()));
    EXPECT_EQ(w->ilHandle[alpha->iButton].tag, "Names by &Alphabet...");
    EXPECT_FALSE(w->ilHandle[alpha->iButton].picture.isNull());
    show->hide();

    frame->ShowForm("Alpha");
    frame->ShowForm("SingleName");
    QMenu* windows = frame->Menu("WindowsMenu");
    windows->popup(QPoint(0, 0));
    int marked = 0, checked = 0;
    for (QAction* a : windows->actions())
        if (const MenuCode::MenuItem* item = MenuCode::ItemOf(a); item && item->bAsCheck) {
            ++marked;
            checked += a->isChecked();
        }
    EXPECT_EQ(marked, 2);
    EXPECT_EQ(checked, 1);
    windows->hide();
}

// The hint after a fruitless lookup sends the user to a menu and an item by
// name: both must be there under those captions, in either language.
TEST_F(ShellTest, TheNewNamesHintNamesTheFramesOwnMenuAndItem) {
    for (bool english : {true, false}) {
        SCOPED_TRACE(english ? "English" : "German");
        TextConstants::textLanguage = english ? 1 : 0;
        frame.reset();
        MakeFrame(false);
        const std::string hint = GenMsg::Entry(GenMsg::GMuserNames, english);
        auto quoted = [&](const std::string& before) {
            // "menu" in an English sentence, "Menu" at the start of a German noun
            std::string lower = hint, key = before + " '";
            for (std::string* t : {&lower, &key})
                for (char& c : *t) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
            const size_t at = lower.find(key);
            if (at == std::string::npos) return QString();
            const size_t from = at + before.size() + 2;
            return QtText::ToQt(hint.substr(from, hint.find('\'', from) - from));
        };
        auto plain = [](QString s) { return s.remove(QLatin1Char('&')).remove(QStringLiteral("...")); };
        QString menu = quoted("Men\xfc");  // the German hint, "Menü"
        if (menu.isEmpty()) menu = quoted("Menu");
        if (menu.isEmpty()) menu = quoted("menu");
        const QString item = plain(quoted(english ? "function" : "Funktion"));
        ASSERT_FALSE(menu.isEmpty() || item.isEmpty()) << hint;
        QAction* menuAction = nullptr;
        for (QAction* a : frame->MainWindow()->menuBar()->actions())
            if (plain(a->text()) == menu) menuAction = a;
        ASSERT_TRUE(menuAction) << menu.toStdString();
        QAction* userNames = frame->MenuAction("UserNamesFunc");
        ASSERT_TRUE(userNames);
        EXPECT_TRUE(menuAction->menu()->actions().contains(userNames));
        EXPECT_EQ(plain(userNames->text()), item);
    }
}

TEST_F(ShellTest, CommandsAreBlockedWhileLoadingButOptionsAboutFeedbackAndHelpAreNot) {
    MakeFrame(true);
    frame->ItemClick("SingleNameFunc");
    frame->ItemClick("LexiFunc");
    ASSERT_TRUE(Shown("SingleName") && Shown("Lexi"));
    loading = true;
    commands.clear();
    for (const char* c : {"AlphaFunc", "NameDaysFunc", "PopFunc", "ShortHelpFunc", "TutorFunc", "GoBackFunc",
                          "CloseAllFunc", "LoadListFunc", "SaveListFunc"})
        frame->ItemClick(c);
    frame->Toolbar1_ButtonClick("Quiz");
    EXPECT_FALSE(Shown("Alpha") || Shown("NameDays") || Shown("Pop") || Shown("ShortHelp") || Shown("TutSelect") ||
                 Shown("QuizOptions"));
    EXPECT_TRUE(Shown("SingleName") && Shown("Lexi"));  // close-all did nothing
    EXPECT_TRUE(WinMan::IsCurrent(*Auto::GetForm("Lexi")));  // back did nothing
    // Every command was still logged.
    EXPECT_EQ(commands, (std::vector<std::string>{"Alpha", "NameDays", "Pop", "ShortHelp", "Tutor", "TutSelect",
                                                  "GoBack", "CloseAll", "LoadList", "SaveList", "QuizOptions"}));

    EXPECT_EQ(ModalOf([&] { frame->ItemClick("OptionEntryFunc"); }), "OptionEntry");
    EXPECT_EQ(ModalOf([&] { frame->ItemClick("FeedbackFunc"); }), "Feedback");
    EXPECT_EQ(ModalOf([&] { frame->ItemClick("AboutFunc"); }), "About");
    frame->ItemClick("HelpFunc");  // the page the help viewer's Contents button shows
    EXPECT_EQ(Fakes().help.topics, std::vector<std::string>{LowLevel::ContentsTopic()});
}

TEST_F(ShellTest, ClosingTheFrameSavesTheOpenWindowsBeforeTheyUnload) {
    MakeFrame(true);
    bool closed = false;
    frame->onClosed = [&] { closed = true; };
    frame->ItemClick("AlphaFunc");
    frame->ItemClick("PopFunc");
    Options::ShowToolTips = false;
    EXPECT_TRUE(frame->Unload(UnloadMode::User));
    EXPECT_TRUE(closed);
    EXPECT_TRUE(WinMan::appClosing);
    EXPECT_EQ(Stored("Windows", "Open"), "Alpha,Pop");
    EXPECT_EQ(Stored("Options", "ShowToolTips"), "False");
    // Each window stored its position as it unloaded, the frame too.
    for (const char* w : {"Alpha", "Pop", "KFrame"}) EXPECT_FALSE(Stored("Windows", w).empty()) << w;
    EXPECT_FALSE(Auto::GetForm("Alpha")->IsLoaded());
}

class RestartNoteWatcher : public Services::MessageBoxes {
public:
    bool ShowMessage(const Services::Message& m) override {
        numbers.push_back(m.number);
        windowVisible = form && form->Visible();
        return false;
    }
    FormBase* form = nullptr;
    std::vector<int> numbers;
    bool windowVisible = true;
};

TEST_F(ShellTest, OptionsCancelSaveAndTheRestartNoteForTooltips) {
    MakeFrame(false);
    OptionEntry& w = *static_cast<OptionEntry*>(Auto::GetForm("OptionEntry"));
    Services::Set saved = Services::Get();
    Services::Set set = saved;
    RestartNoteWatcher watcher;
    watcher.form = &w;
    set.messages = &watcher;
    Services::Install(set);

    Options::ShowToolTips = true;
    Options::ShowAlphaInfoLinks = false;
    Options::ShowSingleInfoLinks = true;
    w.Load();
    w.ShowToolTips()->SetValue(0);
    w.ShowAlphaInfoLinks()->SetValue(1);
    w.DoCancel()->Press();  // changes nothing
    EXPECT_FALSE(w.IsLoaded());
    EXPECT_TRUE(Options::ShowToolTips);
    EXPECT_FALSE(Options::ShowAlphaInfoLinks);

    w.Load();
    w.ShowSingleInfoLinks()->SetValue(0);  // an info-link box alone: no note
    w.DoSave()->Press();
    EXPECT_FALSE(Options::ShowSingleInfoLinks);
    EXPECT_TRUE(watcher.numbers.empty());
    EXPECT_FALSE(w.IsLoaded());

    w.Load();
    w.ShowToolTips()->SetValue(0);
    w.DoSave()->Press();
    Services::Install(saved);
    EXPECT_FALSE(Options::ShowToolTips);
    EXPECT_EQ(watcher.numbers, std::vector<int>{GenMsg::GMrestart});
    EXPECT_FALSE(watcher.windowVisible);  // the note comes after the window went
    // The settings reach the store only when the program closes.
    EXPECT_TRUE(Fakes().settings.Keys().empty());
}

// The quiz is in both editions, and the getting-started text of each points
// a new user to it in the edition's language.
TEST_F(ShellTest, GettingStartedCheckBoxButtonsAndItsPointerToTheQuiz) {
    MakeFrame(true);
    const struct {
        int language;
        const char* quiz;
        const char* menu;
    } cases[] = {{0, "Vornamen-Quiz", "Men\u00fc \u201e" "Extras\u201c"}, {1, "Name Quiz", "'Extras' menu"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.quiz);
        TextConstants::textLanguage = c.language;
        WinMan::OpenForm("ShortHelp");
        auto& w = *static_cast<ShortHelp*>(Auto::GetForm("ShortHelp"));
        const QString text = w.Text()->toPlainText();
        EXPECT_TRUE(text.contains(QString::fromLatin1(c.quiz))) << text.toStdString();
        EXPECT_TRUE(text.contains(QString::fromUtf8(c.menu))) << text.toStdString();
        // The box follows the option; the close box closes the window alone.
        EXPECT_EQ(w.ShowShortHelpBox()->Value(), c.language == 0 ? 1 : 0);
        w.ShowShortHelpBox()->SetValue(0);
        EXPECT_FALSE(Options::ShowShortHelp);
        w.Unload(UnloadMode::User);
        EXPECT_FALSE(Shown("Alpha"));
    }
    // Its button leads on to the names by alphabet.
    WinMan::OpenForm("ShortHelp");
    auto& w = *static_cast<ShortHelp*>(Auto::GetForm("ShortHelp"));
    w.DoClose()->Press();
    EXPECT_FALSE(w.IsLoaded());
    EXPECT_TRUE(Shown("Alpha"));
}

// The getting-started window comes back where it was, but always whole inside
// the frame, its Close button in reach.
TEST_F(ShellTest, GettingStartedReopensWholeInsideTheFrame) {
    MakeFrame(true);
    frame->MainWindow()->resize(1000, 800);
    QCoreApplication::processEvents();
    const QSize inner = frame->Area()->viewport()->size();
    struct Case {
        const char* stored;
        bool atStored;  // inside already: exactly there
    } cases[] = {
        {"300,450,6390,9240,0", true},
        {"300,100000,6390,9240,0", false},   // past the right edge
        {"90000,90000,6390,9240,0", false},  // past the bottom right corner
        {"-900,-900,6390,9240,0", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        Options::PutVal("Windows", "ShortHelp", c.stored);
        WinMan::OpenForm("ShortHelp");
        FormBase& w = *Auto::GetForm("ShortHelp");
        const QRect r = w.SubWindow()->geometry();
        EXPECT_TRUE(QRect(QPoint(0, 0), inner).contains(r)) << r.x() << "," << r.y() << " in " << inner.width();
        if (c.atStored) {
            EXPECT_EQ(r.topLeft(), QPoint(30, 20));
        }
        w.Unload(UnloadMode::User);
    }
}

class ProgramTest : public ShellTest {
protected:
    void TearDown() override {
        DataBase::InitDataBase();
        ShellTest::TearDown();
    }
};

TEST_F(ProgramTest, FeedbackLinkFollowsTheMakersLinkAtom) {
    ASSERT_TRUE(DataBase::ReadBinFile(BinaryPath("bin/Talv1Dat.bin")).ok);
    MakeFrame(false);
    atom* maker = DataBase::GetAtom("liQuillmarsh");
    ASSERT_NE(maker, DataBase::nothingAtom);
    auto& w = *static_cast<Feedback*>(Auto::GetForm("Feedback"));
    w.Load();
    EXPECT_NE(w.Display()->GetStr().find("#" + std::to_string(maker->id())), std::string::npos);

    // A click on the link's text in the pane.
    w.Host()->show();  // shown without its modal loop
    RichTextPane* pane = w.Text();
    int at = pane->document()->toRawText().indexOf("Quillmarsh");
    ASSERT_GE(at, 0);
    QPoint p = pane->CharRect(at + 2).center();
    for (auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent e(type, p, pane->viewport()->mapToGlobal(p), Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(pane->viewport(), &e);
    }
    EXPECT_EQ(Fakes().shell.opened, std::vector<std::string>{"https://www.example.org/quillmarsh/"});

    // The mail's subject names the edition, escaped for an address.
    Fakes().shell.opened.clear();
    TextConstants::textLanguage = 0;
    w.Mailto()->Press();
    EXPECT_EQ(Fakes().shell.opened,
              std::vector<std::string>{"mailto:feedback@example.org?subject=Orsabrine%20V1%2E3%20Feedback"});
}

// A desktop without a mail or web program: each click tells so once, with
// the address to copy (the mail address alone, without its subject).
TEST_F(ProgramTest, LinksNoProgramOpensShowTheirAddress) {
    MakeFrame(false);
    Fakes().shell.result = false;
    auto& feedback = *static_cast<Feedback*>(Auto::GetForm("Feedback"));
    feedback.Load();
    About about;
    about.Load();
    struct Case {
        LinkLabel* link;
        std::string opened, shown;
    } cases[] = {
        {feedback.Mailto(), "mailto:feedback@example.org?subject=Talvessin%20V1%2E3%20Feedback", "feedback@example.org"},
        {feedback.Website(), "https://www.example.org/quillmarsh/feedback?prog13",
         "https://www.example.org/quillmarsh/feedback"},
        {about.Mailto(), "mailto:info@example.org", "info@example.org"},
        {about.Website(), "https://www.example.org/quillmarsh/", "https://www.example.org/quillmarsh/"},
    };
    for (const Case& c : cases) {
        Fakes().shell.opened.clear();
        c.link->Press();
        EXPECT_EQ(Fakes().shell.opened, std::vector<std::string>{c.opened});
        const auto shown = Fakes().TakeMessages();
        ASSERT_EQ(shown.size(), 1u) << c.opened;
        EXPECT_EQ(shown[0].number, GenMsg::GMnoProgramForAddress);
        EXPECT_EQ(shown[0].arg, c.shown);
        EXPECT_EQ(shown[0].helpTag, "GMnoProgramForAddress");
    }
    // Opened: nothing to say.
    Fakes().shell.result = true;
    about.Website()->Press();
    EXPECT_TRUE(Fakes().TakeMessages().empty());
}

// The frame is painted first; the getting-started window a new user sees
// and the measuring of the character widths follow it.
TEST_F(ProgramTest, TheGettingStartedWindowAndTheWidthsFollowTheFramesFirstPaint) {
    LowLevel::charWidthArial.fill(0);
    Startup::Program program(SampleSetup(BinaryPath("bin")));
    ASSERT_EQ(program.Start("/x/talvessin", {}), Startup::StartResult::Running);
    ASSERT_TRUE(Options::ShowShortHelp);
    EXPECT_FALSE(Shown("ShortHelp"));
    EXPECT_EQ(LowLevel::charWidthArial['a'], 0);
    program.Frame()->Host()->repaint();
    QCoreApplication::processEvents();  // the paint
    QCoreApplication::sendPostedEvents();  // what follows it
    EXPECT_TRUE(Shown("ShortHelp"));
    EXPECT_GT(LowLevel::charWidthArial['a'], 0);
}

// What main begins before its QApplication: the program takes the database
// read of the file its name chooses, waits for and drops a read of another
// edition's file, reads itself after a name that chooses none, and starts
// on the file it was to load either way.
TEST_F(ProgramTest, AReadBegunBeforeTheProgramIsTakenOnlyForItsOwnFile) {
    const std::string folder = BinaryPath("bin");
    const struct Case {
        const char* early;
        bool begun;
        bool readEarly;  // the program's own setting
    } cases[] = {
        {"talvessin", true, true},
        {"orsabrine", true, true},
        {"notes", false, true},
        {"talvessin", true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.early);
        Startup::EarlyStart early(c.early, folder);
        EXPECT_EQ(early.ReadBegun(), c.begun);
        Startup::ProgramSetup setup = SampleSetup(folder);
        setup.early = &early;
        setup.readDatabaseEarly = c.readEarly;
        Startup::Program program(setup);
        ASSERT_EQ(program.Start("talvessin", {}), Startup::StartResult::Running);
        EXPECT_GT(DataBase::numAtoms, 1);
        EXPECT_EQ(std::filesystem::path(DataBase::dbFileName).filename(), "Talv1Dat.bin");
        EXPECT_FALSE(early.TakeRead(folder + "/Talv1Dat.bin"));  // handed over or dropped
    }
}

// The read main began leaves the checksum of a mapped file's body until the
// frame has been painted, where nothing uses the database before: the check
// comes right after that paint, or with a command or a close of the frame
// that comes sooner, and only then are the user's names merged. A damaged
// file is refused with its message, the database emptied and every command
// refused, and the run ends (status 1) with nothing saved; with windows to
// restore, or read without a lease, it is refused at the load as before.
TEST_F(ProgramTest, ADamagedFileMainBeganToReadIsRefusedBeforeItIsUsed) {
    TempFolder dir, userDir;
    auto savedFolder = LowLevel::DocumentsFolder;
    LowLevel::DocumentsFolder = [&userDir](std::string& f) { return f = userDir.Path(), true; };
    TempFolder::Put(userDir / "Talv1User.txt",
                    "/* -- naTalvUser -- */\r\nprop(prText,naTalvUser,\"Talvino\").\r\nprop(prGenName,naTalvUser,gnJoseph).\r\n\r\n");
    std::ifstream in(BinaryPath("bin/Talv1Dat.bin"), std::ios::binary);
    const std::string intact((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string damaged = intact;
    const size_t text = damaged.rfind("Helen");
    ASSERT_NE(text, std::string::npos);
    damaged[text] = 'J';
    const bool leases = dbtest::LeasesHere();
    enum Then { Paint, Command, Close, Restore };
    const struct Case {
        const char* what;
        const std::string& bytes;
        Then then;
    } cases[] = {
        {"intact, painted", intact, Paint},         {"intact, a command first", intact, Command},
        {"intact, closed first", intact, Close},    {"damaged, painted", damaged, Paint},
        {"damaged, a command first", damaged, Command}, {"damaged, closed first", damaged, Close},
        {"damaged, windows to restore", damaged, Restore},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder::Put(dir / "Talv1Dat.bin", c.bytes);
        Fakes().settings.Clear();
        if (c.then == Restore) Fakes().settings.Write("Software\\Quillmarsh\\Talvessin\\1.x\\Windows", "Open", "ShortHelp");
        Startup::EarlyStart early("talvessin", dir.Path());
        Startup::ProgramSetup setup = SampleSetup(dir.Path());
        setup.early = &early;
        Startup::Program program(setup);
        const bool ok = &c.bytes == &intact;
        const bool atLoad = !ok && (c.then == Restore || !leases);
        ASSERT_EQ(program.Start("talvessin", {}),
                  atLoad ? Startup::StartResult::LoadFailed : Startup::StartResult::Running);
        if (!atLoad) {
            EXPECT_TRUE(Fakes().TakeMessageNumbers().empty());
            EXPECT_EQ(DataBase::GetAtom("naTalvUser"), DataBase::nothingAtom);  // the names wait for the check
            // In the run's event loop, which a refusal or a close ends, and
            // here what comes next when neither did.
            bool ended = false;
            const auto quitting = QObject::connect(qApp, &QCoreApplication::aboutToQuit, [&ended] { ended = true; });
            QTimer::singleShot(0, [&] {
                if (c.then == Paint)
                    program.Frame()->Host()->repaint();
                else if (c.then == Command)
                    EXPECT_EQ(WinMan::ActionBlocked(), !ok);
                else
                    program.Frame()->Host()->close();
                QMetaObject::invokeMethod(
                    qApp, [&ended] { if (!ended) QCoreApplication::exit(0); }, Qt::QueuedConnection);
            });
            EXPECT_EQ(QCoreApplication::exec(), ok ? 0 : 1);
            QObject::disconnect(quitting);
            EXPECT_EQ(Fakes().settings.Keys().empty(), !ok || c.then != Close);
        }
        EXPECT_EQ(Fakes().TakeMessageNumbers(), ok ? std::vector<int>{} : std::vector<int>{GenMsg::GMstructError});
        if (!atLoad) {
            EXPECT_EQ(WinMan::ActionBlocked(), !ok);
        }
        EXPECT_EQ(DataBase::GetAtom("naTalvUser") != DataBase::nothingAtom, ok);
        if (!ok) {
            EXPECT_LE(DataBase::numAtoms, 1);
        }
    }
    LowLevel::DocumentsFolder = savedFolder;
}

// A program folder whose name has a letter beyond ASCII ("Zürich", in the
// system's UTF-8): its database file is found, whether main began the read
// or the program reads it itself.
TEST_F(ProgramTest, ADatabaseFolderWithAnUmlautIsFound) {
    TempFolder temp;
    const std::string folder = temp / "Z\xC3\xBCrich";
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(BinaryPath("bin/Talv1Dat.bin"), folder + "/Talv1Dat.bin");
    for (const bool early : {true, false}) {
        SCOPED_TRACE(early);
        std::unique_ptr<Startup::EarlyStart> begun;
        Startup::ProgramSetup setup = SampleSetup(folder);
        if (early) setup.early = (begun = std::make_unique<Startup::EarlyStart>("talvessin", folder)).get();
        Startup::Program program(setup);
        ASSERT_EQ(program.Start("talvessin", {}), Startup::StartResult::Running);
        EXPECT_GT(DataBase::numAtoms, 1);
        EXPECT_TRUE(Fakes().TakeMessageNumbers().empty());
    }
}

// No database file, or something else under its name (a folder, a link
// that leads round in a loop): the message that fits, and nothing saved.
TEST_F(ProgramTest, AFailedLoadEndsWithNothingSaved) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "frame_test_empty";
    const std::filesystem::path file = folder / "Talv1Dat.bin";
    const struct Case {
        const char* what;
        std::function<void()> make;
        int message;
    } cases[] = {
        {"missing", [] {}, GenMsg::GMfileNotFound},
        {"a folder", [&] { std::filesystem::create_directory(file); }, GenMsg::GMstructError},
        {"a loop of links", [&] { std::filesystem::create_symlink(file, file); }, GenMsg::GMfileNotFound},
    };
    for (const Case& c : cases) {
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        c.make();
        {
            Startup::Program program(SampleSetup(folder.string()));
            EXPECT_EQ(program.Start("talvessin", {}), Startup::StartResult::LoadFailed) << c.what;
            EXPECT_FALSE(Shown("ShortHelp")) << c.what;
        }
        EXPECT_EQ(Fakes().TakeMessageNumbers(), std::vector<int>{c.message}) << c.what;
        EXPECT_TRUE(Fakes().settings.Keys().empty()) << c.what;
    }
    std::filesystem::remove_all(folder);
}

// Both editions start on the sample database with the windows of the last
// run; each speaks its own language everywhere, reads its own database file
// and keeps its own settings and new names.
TEST_F(ProgramTest, EachEditionSpeaksItsOwnLanguageAndKeepsItsOwnFiles) {
    TempFolder userDir;
    auto savedFolder = LowLevel::DocumentsFolder;
    LowLevel::DocumentsFolder = [&userDir](std::string& f) { return f = userDir.Path(), true; };
    auto userFile = [](const std::string& name, const std::string& text) {
        return "/* -- " + name + " -- */\r\nprop(prText," + name + ",\"" + text + "\").\r\nprop(prGenName," + name +
               ",gnJoseph).\r\n\r\n";
    };
    TempFolder::Put(userDir / "Orsa1User.txt", userFile("naOrsaUser", "Orsino"));
    TempFolder::Put(userDir / "Talv1User.txt", userFile("naTalvUser", "Talvino"));

    struct Edition {
        const char* argv0;
        const char* menu;       // the first menu of the frame
        const char* tip;        // the tooltip of the first toolbar button
        const char* message;    // the start of a message
        const char* heading;    // a description's second line
        const char* month;      // a saint's day
        const char* count;      // a count phrase
        const char* meaning;    // a meaning in the group's description
        const char* group;      // a group's text
        const char* ownUser, *otherUser;
        const char* key;        // the settings' key
        const char* dialog;     // the title of the dialog that loads a list
    };
    const Edition editions[] = {
        {"/opt/bin/orsabrine", "&Anzeigen", "Namen alphabetisch anzeigen", "Datei <b>x.onl</b><br>nicht gefunden",
         "Geschlecht\tm\xe4nnlich", "19. M\xe4rz", "2 Namen", "er (Gott) m\xf6ge hinzuf\xfcgen", "Helene",
         "naOrsaUser", "naTalvUser", "Software\\Quillmarsh\\Orsabrine\\1.x\\", "Orsabrine-Namenliste laden"},
        {"/opt/bin/talvessin", "&Show", "Show Names by Alphabet", "File <b>x.onl</b><br>not found",
         "Gender\tmale", "March 19", "2 names", "may he (God) add", "Helen", "naTalvUser", "naOrsaUser",
         "Software\\Quillmarsh\\Talvessin\\1.x\\", "Load Talvessin Name List"},
    };
    for (const Edition& e : editions) {
        SCOPED_TRACE(e.argv0);
        Fakes().settings.Clear();
        Fakes().settings.Write(std::string(e.key) + "Windows", "Open", "ShortHelp");
        Startup::Program program(SampleSetup(BinaryPath("bin")));
        ASSERT_EQ(program.Start(e.argv0, {}), Startup::StartResult::Running);
        // Read while the frame was built, the database may need no welcome window.
        if (program.WelcomeWindow()) {
            EXPECT_FALSE(program.WelcomeWindow()->Timer()->isActive());
        }
        EXPECT_FALSE(WinMan::ActionBlocked());
        KFrame* f = program.Frame();
        ASSERT_TRUE(f && f->Visible());
        EXPECT_TRUE(Shown("ShortHelp"));  // the windows of the last run
        EXPECT_EQ(Services::BusyDepth(), 0);
        EXPECT_EQ(f->MainWindow()->menuBar()->actions().value(0)->text(), QString::fromLatin1(e.menu));
        EXPECT_EQ(f->ToolAction("Alpha")->toolTip(), QtText::ToQt(e.tip));

        GenMsg::ShowMsg(GenMsg::GMfileNotFound, GenMsg::kCritical, "x.onl");
        ASSERT_FALSE(Fakes().messages.shown.empty());
        EXPECT_EQ(Fakes().messages.shown.back().text, e.message);
        Fakes().TakeMessageNumbers();

        ResultSet rs;
        rs.InitInt();
        GenDescr::DescribeName(DataBase::GetAtom("naJosef"), rs, {});
        EXPECT_EQ(rs.line(1), e.heading);
        EXPECT_EQ(Dates::DayMonthText(19, 3), e.month);
        EXPECT_EQ(FileOp::ListDialogTexts().loadTitle, e.dialog);
        ResultSet two;
        two.InitInt();
        for (const char* n : {"naJosef", "naJoseph"}) two.AddResult(n, "", DataBase::GetAtom(n));
        EXPECT_EQ(CountText::ResultSizeText(two), e.count);
        rs.Reset();
        GenDescr::DescribeGroup(DataBase::GetAtom("gnJoseph"), rs, {});
        bool meaning = false;
        for (int32_t i = 0; i < rs.numLines(); ++i) meaning |= rs.line(i).find(e.meaning) != std::string::npos;
        EXPECT_TRUE(meaning) << e.meaning;
        EXPECT_EQ(DataBase::GetAtom("gnHelene")->Text(), e.group);

        // Its own new names only, and its settings under its own key.
        EXPECT_NE(DataBase::GetAtom(e.ownUser), DataBase::nothingAtom);
        EXPECT_EQ(DataBase::GetAtom(e.otherUser), DataBase::nothingAtom);
        EXPECT_TRUE(f->Unload(UnloadMode::User));
        ASSERT_FALSE(Fakes().settings.Keys().empty());
        for (const auto& k : Fakes().settings.Keys()) EXPECT_EQ(k.path.rfind(e.key, 0), 0u) << k.path;
    }
    LowLevel::DocumentsFolder = savedFolder;
}

// Closes the frame the first time pending events run during the load.
class CloseOnEvents : public Services::EventPump {
public:
    void DoEvents() override {
        if (program && !done && program->Frame()) {
            done = true;
            program->Frame()->Unload(UnloadMode::User);
        }
    }
    Startup::Program* program = nullptr;
    bool done = false;
};

TEST_F(ProgramTest, AFrameClosedDuringTheLoadEndsTheProgramWithoutRestoring) {
    Fakes().settings.Write("Software\\Quillmarsh\\Talvessin\\1.x\\Windows", "Open", "ShortHelp");
    Services::Set saved = Services::Get();
    Services::Set set = saved;
    CloseOnEvents pump;
    set.events = &pump;
    Services::Install(set);
    {
        // Read at the load step: read beside the frame's building, the file
        // may be in before any event runs.
        Startup::ProgramSetup setup = SampleSetup(BinaryPath("bin"));
        setup.readDatabaseEarly = false;
        Startup::Program program(setup);
        pump.program = &program;
        EXPECT_EQ(program.Start("talvessin", {}), Startup::StartResult::ClosedWhileLoading);
        EXPECT_TRUE(pump.done);
        EXPECT_FALSE(Shown("ShortHelp"));
    }
    Services::Install(saved);
    // Nothing was written: the one value is the one the test put there.
    ASSERT_EQ(Fakes().settings.Keys().size(), 1u);
    EXPECT_EQ(Fakes().settings.Keys()[0].values.size(), 1u);
}

}  // namespace
