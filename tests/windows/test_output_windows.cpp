// The export and print windows. Export: its question, its file, its report, and the button that
// stays off while an export runs.
#include <QApplication>
#include <QProgressBar>
#include <QTest>
#include <filesystem>

#include "Atom.h"
#include "DataBase.h"
#include "EnvGuard.h"
#include "Fakes.h"
#include "FileOp.h"
#include "FormControls.h"
#include "GenMsg.h"
#include "LowLevel.h"
#include "ResultSet.h"
#include "Searches.h"
#include "TempFolder.h"
#include "UserFile.h"
#include "WindowsFixture.h"
#include "windows/lists/Export.h"
#include "windows/lists/OutputWindows.h"
#include "windows/lists/PrintOptions.h"
#include "PrintFakes.h"
#include <QFile>

namespace {

class OutputWindowsTest : public WindowsTest {
protected:
    void SetUp() override {
        WindowsTest::SetUp();
        Options::ShowToolTips = false;
        Auto::Register("NameLists", [] { return std::make_unique<FakeNameLists>(); });
        OutputWindows::Register();
        WinMan::OpenForm("NameLists");
    }
    FakeNameLists& Lists() { return *dynamic_cast<FakeNameLists*>(Auto::GetForm("NameLists")); }
    // A current list of n lines (names of the sample database in turn).
    void MakeList(int n) {
        auto rs = std::make_shared<ResultSet>();
        const std::vector<atom*> atoms = {A("naMaria"), A("naJohannes"), A("gnMaria")};
        for (int i = 0; i < n; ++i) {
            atom* a = atoms[static_cast<size_t>(i) % atoms.size()];
            rs->AddResult(a->Text(), "hit", a);
        }
        Lists().NewRes(rs);
    }
    Export& OpenExport() { return Form<Export>("Export"); }
    TempFolder dir;
};

// The file dialog starts in the documents folder, then in the folder last
// chosen (a cancelled dialog chose none).
TEST_F(OutputWindowsTest, ExportWritesTheFileAndReportsOnlyACompleteOne) {
    LowLevel::DocumentsFolder = [](std::string& f) { return f = "/home/zo\xEB/Dokumente", true; };
    Export& w = OpenExport();
    auto* button = w.ControlAs<CommandButton>("DoExport");
    EXPECT_FALSE(button->isEnabled()) << "no current list yet";
    MakeList(3);
    EXPECT_TRUE(button->isEnabled());
    button->Press();  // cancelled

    w.ControlAs<OptionButton>("CsvSemi")->SetValue(true);
    w.ControlAs<OptionButton>("NamesReasons")->SetValue(true);
    const std::string path = dir / "out.csv";
    const int balance = Fakes().busy.ons - Fakes().busy.offs;
    Fakes().dialogs.saveAnswers.push_back(path);
    button->Press();
    ASSERT_EQ(Fakes().dialogs.saveRequests.size(), 2u);
    EXPECT_EQ(Fakes().dialogs.saveRequests[1].filter, "CSV files (*.csv)|*.csv|All files (*)|*");
    EXPECT_EQ(Fakes().dialogs.saveRequests[1].defaultExt, "csv");
    EXPECT_EQ(Fakes().TakeMessageNumbers(), std::vector<int>{GenMsg::GMdone});
    EXPECT_EQ(TempFolder::Get(path).substr(0, 36), "\xEF\xBB\xBF\"Name\";\"Reason\"\n\"Maria\";\"hit\"\n\"Jo");
    EXPECT_EQ(Fakes().busy.ons - Fakes().busy.offs, balance);

    // A write that fails: the old file stays, no report of completion, the
    // button and cursor come back.
    FileOp::TestFaults().commitErrno = EACCES;
    FileOp::TestFaults().commitTimes = 1;
    Fakes().dialogs.saveAnswers.push_back(path);
    Fakes().Answer({false});
    w.ControlAs<OptionButton>("Text")->SetValue(true);
    button->Press();
    FileOp::TestFaults() = {};
    EXPECT_EQ(Fakes().TakeMessageNumbers(), std::vector<int>{GenMsg::GMpermissionDenied});
    EXPECT_EQ(TempFolder::Get(path).substr(3, 6), "\"Name\"");
    EXPECT_TRUE(button->isEnabled());
    EXPECT_FALSE(w.Exporting());
    EXPECT_EQ(Fakes().busy.ons - Fakes().busy.offs, balance);

    // Cancelling the dialog writes nothing and says nothing.
    button->Press();
    EXPECT_TRUE(Fakes().TakeMessageNumbers().empty());
    std::vector<std::string> folders;
    for (const auto& r : Fakes().dialogs.saveRequests) folders.push_back(r.initialDir);
    const std::string docs = "/home/zo\xEB/Dokumente";
    EXPECT_EQ(folders, (std::vector<std::string>{docs, docs, dir.Path(), dir.Path()}));
}

// By keyboard: Down in the format group checks CSV, and Enter there exports
// and asks for a CSV file.
TEST_F(OutputWindowsTest, DownInTheFormatGroupExportsCsv) {
    MakeList(2);
    QApplication::setActiveWindow(area->window());
    Export& w = OpenExport();
    w.Control("Text")->setFocus(Qt::TabFocusReason);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    EXPECT_EQ(QApplication::focusWidget(), w.Control("CsvComma"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    ASSERT_EQ(Fakes().dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(Fakes().dialogs.saveRequests[0].filter, "CSV files (*.csv)|*.csv|All files (*)|*");
}

// One documents folder for everything: on a first run the list dialogs and
// the export dialog start where the user-names file lies, the desktop's
// documents folder, created at start: the folder a German desktop's
// user-dirs.dirs names, or ~/Documents without one.
TEST_F(OutputWindowsTest, TheDialogsStartInTheDesktopsDocumentsFolder) {
    MakeList(1);
    Export& w = OpenExport();
    const struct {
        const char* userDirs;
        const char* folder;
    } cases[] = {{"XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\nXDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n", "Dokumente"},
                 {nullptr, "Documents"}};
    for (const auto& c : cases) {
        const std::string home = dir / c.folder;
        std::filesystem::create_directories(home + "/.config");
        if (c.userDirs) TempFolder::Put(home + "/.config/user-dirs.dirs", c.userDirs);
        EnvGuard h("HOME", home), cfg("XDG_CONFIG_HOME", std::nullopt), d("XDG_DOCUMENTS_DIR", std::nullopt);
        LowLevel::DocumentsFolder = LowLevel::DesktopDocumentsFolder;
        Fakes().settings.Clear();
        Fakes().dialogs = {};
        Options::LoadOptions();
        const std::string docs = home + "/" + c.folder;
        EXPECT_TRUE(std::filesystem::is_directory(docs));

        FileOp::LoadListFile();
        FileOp::SaveListFile(Searches::GetListsCurrent().get());
        w.ControlAs<CommandButton>("DoExport")->Press();
        std::string userFile;
        ASSERT_TRUE(DataBase::WriteUserFile(userFile));
        EXPECT_EQ(userFile, docs + "/" + DataBase::UserFileName());
        ASSERT_EQ(Fakes().dialogs.openRequests.size(), 1u);
        ASSERT_EQ(Fakes().dialogs.saveRequests.size(), 2u);
        EXPECT_EQ(Fakes().dialogs.openRequests[0].initialDir, docs);
        EXPECT_EQ(Fakes().dialogs.saveRequests[0].initialDir, docs);
        EXPECT_EQ(Fakes().dialogs.saveRequests[1].initialDir, docs);
    }
}

TEST_F(OutputWindowsTest, LongDescriptionExportsAskAndANoEndsQuietly) {
    Export& w = OpenExport();
    w.ControlAs<OptionButton>("RtfColor")->SetValue(true);
    w.ControlAs<OptionButton>("Descr")->SetValue(true);
    MakeList(201);
    Fakes().Answer({false});
    w.ControlAs<CommandButton>("DoExport")->Press();
    const auto shown = Fakes().TakeMessages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].number, GenMsg::GMexportMany);
    EXPECT_EQ(shown[0].arg, "201");
    EXPECT_TRUE(Fakes().dialogs.saveRequests.empty());
    // The same list as names: no question.
    w.ControlAs<OptionButton>("Names")->SetValue(true);
    w.ControlAs<CommandButton>("DoExport")->Press();
    EXPECT_EQ(Fakes().dialogs.saveRequests.size(), 1u);
}

TEST_F(OutputWindowsTest, ANewListDuringAnExportLeavesTheButtonOff) {
    Export& w = OpenExport();
    MakeList(2);
    auto* button = w.ControlAs<CommandButton>("DoExport");
    bool seenOff = true;
    // The dialog's answer arrives while a new list is made: the export starts
    // after it, and the list made from the event pump meets a running export.
    struct Pump : Services::EventPump {
        std::function<void()> f;
        void DoEvents() override { f(); }
    } pump;
    Services::Set set = Services::Get();
    Services::EventPump* old = set.events;
    set.events = &pump;
    Services::Install(set);
    pump.f = [&] {};
    Fakes().dialogs.saveAnswers.push_back(dir / "a.txt");
    // The progress bar moves during the export; a list made then notifies 2.
    auto* bar = w.ControlAs<QProgressBar>("ExportProgress");
    QObject::connect(bar, &QProgressBar::valueChanged, [&] {
        if (!w.Exporting()) return;
        w.Notify(2, "");
        seenOff = seenOff && !button->isEnabled();
    });
    button->Press();
    set.events = old;
    Services::Install(set);
    EXPECT_TRUE(seenOff);
    EXPECT_TRUE(button->isEnabled());
    EXPECT_EQ(Fakes().TakeMessageNumbers(), std::vector<int>{GenMsg::GMdone});
}

// Printing through the scripted print dialog into PDF files.
TEST_F(OutputWindowsTest, PrintingAskForAPrinterOnceAndKeepsIt) {
    ScriptedPrintDialogs dialogs;
    auto& w = Form<PrintOptions>("PrintOptions");
    // What it prints is fixed; the other choices cannot be made.
    EXPECT_TRUE(w.ControlAs<OptionButton>("Descr")->Value());
    EXPECT_TRUE(w.ControlAs<OptionButton>("CurList")->Value());
    EXPECT_FALSE(w.ControlAs<OptionButton>("CurName")->isEnabled());

    w.ControlAs<CommandButton>("DoPrint")->Press();  // no list: nothing at all
    EXPECT_EQ(dialogs.shown, 0);
    MakeList(30);
    // No printer chosen and none installed: the dialog; its cancel prints nothing.
    w.ControlAs<CommandButton>("DoPrint")->Press();
    EXPECT_EQ(dialogs.shown, 1);
    EXPECT_EQ(w.ChosenPrinter(), nullptr);
    EXPECT_EQ(w.LastPages(), 0);

    const QString first = QString::fromStdString(dir / "first.pdf");
    dialogs.answers.push_back(first);
    w.ControlAs<CommandButton>("DoPrint")->Press();
    EXPECT_EQ(dialogs.shown, 2);
    QPrinter* chosen = w.ChosenPrinter();
    ASSERT_NE(chosen, nullptr);
    EXPECT_GT(w.LastPages(), 1);
    EXPECT_EQ(PdfPageCount(first), w.LastPages());
    const int pages = w.LastPages();

    // A second print reuses the printer without asking.
    QFile::remove(first);
    w.ControlAs<CommandButton>("DoPrint")->Press();
    EXPECT_EQ(dialogs.shown, 2);
    EXPECT_EQ(w.ChosenPrinter(), chosen);
    EXPECT_EQ(PdfPageCount(first), pages);

    // Cancelling the dialog keeps the earlier choice; confirming replaces it.
    w.ControlAs<CommandButton>("ShowPrintDialog")->Press();
    EXPECT_EQ(w.ChosenPrinter(), chosen);
    const QString second = QString::fromStdString(dir / "second.pdf");
    dialogs.answers.push_back(second);
    w.ControlAs<CommandButton>("ShowPrintDialog")->Press();
    EXPECT_NE(w.ChosenPrinter(), nullptr);
    w.ControlAs<CommandButton>("DoPrint")->Press();
    EXPECT_EQ(PdfPageCount(second), pages);
    EXPECT_TRUE(Fakes().TakeMessageNumbers().empty());

    // A printout that cannot be made says why.
    w.ChosenPrinter()->setResolution(0);
    w.ControlAs<CommandButton>("DoPrint")->Press();
    const auto shown = Fakes().TakeMessages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].number, GenMsg::GMprintFailed);
    EXPECT_EQ(shown[0].arg, "the printer reports no resolution");

    w.ControlAs<CommandButton>("DoCancel")->Press();
    Settle();
    EXPECT_FALSE(w.IsLoaded());
}

// Escape, wherever the focus is in the print window, is its Cancel: it
// closes the window without asking, also while a tutorial runs (where its
// close box asks first).
TEST_F(OutputWindowsTest, EscapeIsThePrintWindowsCancel) {
    for (bool tutorial : {false, true}) {
        SCOPED_TRACE(tutorial);
        WinMan::tutorialRunning = tutorial;
        auto* w = Open<PrintOptions>("PrintOptions");
        ASSERT_TRUE(w);
        QWidget* focus = w->Control(tutorial ? "Descr" : "DoPrint");
        focus->setFocus();
        QTest::keyClick(focus, Qt::Key_Escape);
        Settle();
        EXPECT_FALSE(w->IsLoaded());
        EXPECT_EQ(Fakes().TakeMessageNumbers(), std::vector<int>{});
    }
}

}  // namespace
