#include "Startup.h"

#include <QApplication>
#include <QEvent>
#include <QLibraryInfo>
#include <QMdiArea>
#include <QPrinter>
#include <QTimer>
#include <QTranslator>
#include <QWidget>
#include <chrono>
#include <functional>
#include <utility>
#include <vector>

#include "AboutFeedback.h"
#include "BinFile.h"
#include "DataBase.h"
#include "Dates.h"
#include "Errors.h"
#include "FileOp.h"
#include "GenMsg.h"
#include "HelpViewer.h"
#include "KFrame.h"
#include "shell/widgets/DebugGraph.h"
#include "ListFile.h"
#include "LowLevel.h"
#include "OptionEntry.h"
#include "Options.h"
#include "Parser.h"
#include "PlainWindows.h"
#include "QtLowLevel.h"
#include "QtServices.h"
#include "QtSystem.h"
#include "QtText.h"
#include "RichTextPrint.h"
#include "RtfReader.h"
#include "Searches.h"
#include "SettingsStore.h"
#include "ShellKit.h"
#include "ShortHelp.h"
#include "TutSelect.h"
#include "TextConstants.h"
#include "TextDisplay.h"
#include "UserFile.h"
#include "Welcome.h"
#include "WinMan.h"
#include "WindowContracts.h"

namespace Startup {

namespace {

// The window manager as the search engine sees it.
class WinManOpener : public WindowOpener {
public:
    ChildWindow* OpenForm(const std::string& name) override {
        if (!Auto::IsKnownName(name)) return nullptr;
        WinMan::OpenForm(name);
        return dynamic_cast<ChildWindow*>(Auto::GetForm(name));
    }
    ChildWindow* FormByName(const std::string& name) override {
        if (!Auto::IsKnownName(name)) return nullptr;
        FormBase* f = Auto::GetForm(name);
        if (f) f->Load();
        return dynamic_cast<ChildWindow*>(f);
    }
};

// The printer is made when something is first printed: a QPrinter loads the
// print-support plugins and asks the system for its printers, which start-up
// does not need.
class LazyPrinting : public LowLevel::QtPrinting {
public:
    using QtPrinting::QtPrinting;
    Services::PrintStatus PrintRichText(const std::string& richText, const Services::PageMargins& mm) override {
        if (!printer_) {
            printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
            SetPrinter(printer_.get());
        }
        return QtPrinting::PrintRichText(richText, mm);
    }

private:
    std::unique_ptr<QPrinter> printer_;
};

}  // namespace

// The first paint of a top-level window (of any widget in it), watched from
// the moment the window is shown: what waits for it runs once it has come,
// and what is given after it has come runs at once (both queued, in the
// order given). A paint that came while the start let events run (the
// windows it restored) counts as well; waiting for the next paint instead
// waited for whatever the user did next, when nothing on the screen changed
// by itself.
class FirstPaint : public QObject {
public:
    explicit FirstPaint(QWidget* window) : window_(window) { qApp->installEventFilter(this); }
    void Then(std::function<void()> what) {
        if (painted_)
            QMetaObject::invokeMethod(window_, std::move(what), Qt::QueuedConnection);
        else
            waiting_.push_back(std::move(what));
    }
    bool eventFilter(QObject* obj, QEvent* ev) override {
        if (ev->type() == QEvent::Paint && obj->isWidgetType() && static_cast<QWidget*>(obj)->window() == window_) {
            qApp->removeEventFilter(this);
            painted_ = true;
            for (std::function<void()>& what : std::exchange(waiting_, {}))
                QMetaObject::invokeMethod(window_, std::move(what), Qt::QueuedConnection);
        }
        return false;
    }

private:
    QWidget* window_;
    bool painted_ = false;
    std::vector<std::function<void()>> waiting_;
};

struct Program::Impl : public StartupSteps {
    ProgramSetup setup;

    // --- The real services ---------------------------------------------------------
    Services::Set previous;
    QtAssertBox assertBox;
    QtClock clock;
    QtRandom random;
    QtMessageBoxes messages;
    std::unique_ptr<FileSettingsStore> settings;
    QtFileDialogs dialogs;
    QtBusyCursor busy;
    QtProgress progress;
    QtEventPump events;
    LowLevel::QtShell shell;
    std::unique_ptr<LowLevel::QtHelp> help;
    std::unique_ptr<LazyPrinting> printing;
    LowLevel::HelpKey helpKey;  // F1 in every window

    // --- Windows of the shell --------------------------------------------------------
    std::unique_ptr<KFrame> frame;
    std::unique_ptr<Welcome> welcome;
    WinManOpener opener;
    // From the start until the database load has ended, every command is refused.
    bool loadPending = true;
    std::unique_ptr<QTranslator> qtTexts;
    // The database file read beside the building of the frame (see Run).
    std::unique_ptr<DataBase::EarlyRead> early;
    std::unique_ptr<FirstPaint> framePaint;  // the frame's first paint
    // What the load left until the frame's first paint (see LoadDatabase
    // and FinishLoad).
    enum class Left { Nothing, Pending, Running, Refused };
    Left left = Left::Nothing;
    bool userFileLeft = false;  // the merge of the user's names waits for the check

    explicit Impl(ProgramSetup s) : setup(std::move(s)) {}

    ~Impl() override {
        // A read still running ends before anything else goes.
        early.reset();
        framePaint.reset();
        // Windows before what they use; nothing here saves anything.
        Auto::Reset();
        welcome.reset();
        frame.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        WinMan::databaseLoading = nullptr;
        WinMan::finishLoad = nullptr;
        Searches::SetEnv({});
        TextDisplay::Env().findAtom = nullptr;
        TextDisplay::Env().actionBlocked = nullptr;
        DataBase::SetFileErrorHandler({});
        if (qtTexts) QCoreApplication::removeTranslator(qtTexts.get());
        if (setup.installServices) Services::Install(previous);
    }

    void InstallServices() {
        previous = Services::Get();
        settings = std::make_unique<FileSettingsStore>(setup.settingsPath.empty() ? FileSettingsStore::DefaultPath()
                                                                                  : setup.settingsPath);
        help = std::make_unique<LowLevel::QtHelp>();
        printing = std::make_unique<LazyPrinting>(
            nullptr, [](QTextDocument& doc, const std::string& rtf) { RtfReader::Read(rtf, doc); });
        Services::Set set;
        set.assertSink = &assertBox;
        set.clock = &clock;
        set.random = &random;
        set.messages = &messages;
        set.settings = settings.get();
        set.fileDialogs = &dialogs;
        set.busyCursor = &busy;
        set.progress = &progress;
        set.events = &events;
        set.shell = &shell;
        set.help = help.get();
        set.printing = printing.get();
        Services::Install(set);
    }

    // What the model parts need of the shell, wired once.
    void Connect() {
        std::string folder = setup.databaseFolder.empty() ? LowLevel::ProgramFolder().toStdString()
                                                          : setup.databaseFolder;
        FileOp::ProgramFolder = FileOp::FromNative(folder);
        FileOp::SetListFileFormat(&ListFile::TheFormat());
        WinMan::databaseLoading = [this] { return loadPending || DataBase::loading; };
        WinMan::finishLoad = [this] { return FinishLoad(); };
        Searches::SetEnv(Searches::Env{&opener});
        TextDisplay::Env().findAtom = [](const std::string& name) { return LinkTargetOf(DataBase::GetAtom(name)); };
        TextDisplay::Env().actionBlocked = [] { return WinMan::ActionBlocked(); };
        DataBase::SetFileErrorHandler([](const DataBase::DbStatus& st) { ShowDatabaseFailure(st); });
        if (setup.registerWindows) setup.registerWindows();
        WidgetWindows::Register();
        PlainWindows::Register();
        Tutorials::Register();
        Auto::Register("ShortHelp", [] { return std::make_unique<ShortHelp>(); });
        Auto::Register("OptionEntry", [] { return std::make_unique<OptionEntry>(); });
        Auto::Register("Feedback", [] { return std::make_unique<Feedback>(); });
    }

    // --- StartupSteps ------------------------------------------------------------------
    void SetAppClosing(bool closing) override { WinMan::appClosing = closing; }
    void InitLog() override { Errors::InitLog(); }
    void EnableLog() override { Errors::LogEnabled = true; }
    void SetEdition(int edition) override { TextConstants::edition = edition; }
    void InitWinMan() override {
        WinMan::InitWinMan();
        // The window manager's state is fresh; the windows' table is filled
        // now, before anything can ask for a window.
        Connect();
    }
    void InitMessages() override { GenMsg::InitMessages(); }
    // A read main began has filled the parser's tables and empties the
    // database itself, and may be at work on it already.
    bool EarlyReadBegun() const { return setup.early && setup.early->ReadBegun(); }
    void InitDataBase() override {
        if (!EarlyReadBegun()) DataBase::InitDataBase();
    }
    void InitParser() override {
        if (!EarlyReadBegun()) Parser::InitParser();
    }
    void InitColors() override { Options::InitColors(); }
    void LoadOptions() override { Options::LoadOptions(); }
    bool TextLanguageEnglish() override { return TextConstants::textLanguage == 1; }
    void LoadTexts() override {
        TextConstants::LoadTexts();
        // What Qt itself shows (a window's system menu, a text box's context
        // menu, the file dialogs) in German too, where Qt's translation is
        // installed, and in Swiss standard German as the program's own texts.
        if (TextConstants::textLanguage == 0 && !qtTexts) {
            auto t = std::make_unique<QtText::SwissGermanTranslator>();
            if (t->load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
                QCoreApplication::installTranslator(t.get()))
                qtTexts = std::move(t);
        }
    }
    void InitMonths() override { Dates::InitMonths(); }
    void InitSearches() override { Searches::InitSearches(); }

    void ShowFrame() override {
        // What the frame's first paint needs and no font: done while
        // fontconfig may still be setting up.
        KFrame::PreparePictures();
        frame = std::make_unique<KFrame>();
        frame->BuildAhead();
        if (setup.early) setup.early->WaitForFonts();
        frame->onClosed = [] { QTimer::singleShot(0, qApp, &QCoreApplication::quit); };
        frame->Show();
        framePaint = std::make_unique<FirstPaint>(frame->Host());
        if (setup.installServices) {
            assertBox.SetOwner(frame->Host());
            messages.SetOwner(frame->Host());
            dialogs.SetOwner(frame->Host());
        }
    }
    void Log(const std::string& m, const std::string& p, const std::string& t) override { Errors::LogEntry(m, p, t); }
    void ShowWelcome() override {
        welcome = std::make_unique<Welcome>();
        welcome->Show();
        progress.SetBar(welcome->LoadProgress());
    }
    void DoEvents() override { Services::Events().DoEvents(); }
    void MeasureCharWidths() override {
        LowLevel::MeasureCharWidthsOnFirstUse(welcome ? welcome->Client() : nullptr);
    }
    void HourglassOn() override { Services::HourglassOn(); }

    // In the program's text (the reader makes it the system's): a folder
    // with a letter beyond ASCII, made the system's twice, named no file.
    static std::string DatabasePath(const std::string& fileName) {
        const std::string& folder = FileOp::ProgramFolder;
        return folder.empty() ? fileName : folder + "/" + fileName;
    }
    void BeginLoadDatabase(const std::string& fileName) override {
        const std::string path = DatabasePath(fileName);
        if (setup.early) early = setup.early->TakeRead(path);
        if (!setup.readDatabaseEarly)
            early.reset();  // ends before the load step reads the file itself
        else if (!early)
            early = std::make_unique<DataBase::EarlyRead>(path);
    }
    // A read that failed shows the welcome window all the same: its message
    // comes through it. Until the read ends, this thread makes the memory it
    // is about to write, which it then finds made.
    bool DatabaseReady() override {
        if (!early) return false;
        while (!early->Loaded() && DataBase::FaultAhead()) {
        }
        return early->Loaded(kMoment);
    }
    // How long a read may take before the welcome window shows: about what
    // a user takes for at once.
    static constexpr std::chrono::milliseconds kMoment{100};
    bool LoadDatabase(const std::string& fileName) override {
        const std::string path = DatabasePath(fileName);
        DataBase::DbStatus st;
        if (early && SameFile(early->fileName(), path)) {
            st = early->Finish(welcome.get());
            early.reset();
        } else {
            early.reset();
            st = DataBase::ReadBinFile(path, welcome.get());
        }
        loadPending = false;
        if (welcome && welcome->Timer()) welcome->Timer()->stop();
        if (!st.ok || !DataBase::BodyCheckPending()) return st.ok;
        // The read left the checksum of the file's body for later. Where
        // nothing uses the database before the frame's first paint (no window
        // to restore, and no welcome window whose events ran meanwhile), the
        // frame is painted first and the check follows at once (FinishLoad);
        // else it is taken now.
        QWidget* host = frame ? frame->Host() : nullptr;
        if (!welcome && host && host->isVisible() && !WinMan::OpenWindowsStored()) {
            left = Left::Pending;
            return true;
        }
        st = DataBase::CheckBody();
        ShowDatabaseFailure(st);
        return st.ok;
    }

    // Runs what the load left until the frame's first paint, once: the check
    // of the database file's body, then the merge of the user's names. A
    // body that does not give its checksum refuses the file as a failed load
    // does: its message, and the run ends with nothing saved. True when the
    // database may be used; false while this runs (a message's events) and
    // after a refusal.
    bool FinishLoad() {
        if (left != Left::Pending) return left == Left::Nothing;
        left = Left::Running;
        const DataBase::DbStatus st = DataBase::CheckBody();
        if (!st.ok) {
            left = Left::Refused;
            ShowDatabaseFailure(st);
            QCoreApplication::exit(ExitCode(StartResult::LoadFailed));
            return false;
        }
        if (std::exchange(userFileLeft, false)) {
            DataBase::ReadUserFile();
            DataBase::userNamesChanged = false;
        }
        left = Left::Nothing;
        return true;
    }
    bool AppClosing() override { return WinMan::appClosing; }
    void HideWelcome() override {
        if (welcome) welcome->Hide();
    }
    // The user's names join the database once its check has found it sound.
    void ReadUserFile() override {
        if (left == Left::Pending)
            userFileLeft = true;
        else
            DataBase::ReadUserFile();
    }
    void ClearUserNamesChanged() override {
        if (!userFileLeft) DataBase::userNamesChanged = false;
    }
    void RestoreOpenWindows() override { WinMan::RestoreOpenWindows(); }
    void HourglassOff() override { Services::HourglassOff(); }
    bool ShowShortHelpOption() override { return Options::ShowShortHelp; }
    // The getting-started window opens after the frame's first paint: the
    // frame is there at once, and the window follows, on top of the windows
    // the start restored. A window the user brought forward before it came
    // stays in front of it.
    void OpenShortHelp() override {
        QWidget* host = frame ? frame->Host() : nullptr;
        if (!host || !host->isVisible() || !framePaint) {
            WinMan::OpenForm("ShortHelp");
            return;
        }
        const void* front = WinMan::History().Current();
        framePaint->Then([this, front] {
            if (!FinishLoad()) return;
            const void* users = WinMan::History().Current();
            WinMan::OpenForm("ShortHelp");
            if (users == front) return;
            for (FormBase* f : FormBase::LoadedForms())
                if (f == users) f->ComeForward();
        });
    }
};

Program::Program(ProgramSetup setup) : impl_(std::make_unique<Impl>(std::move(setup))) {
    if (impl_->setup.installServices) impl_->InstallServices();
}

Program::~Program() = default;

StartResult Program::Start(const std::string& argv0, const std::vector<std::string>& args) {
    StartResult result = Run(*impl_, argv0, args);
    if (result == StartResult::Running && impl_->frame) {
        impl_->frame->UpdateCommandStates();
        // The character widths every description needs are measured, and
        // the windows' fonts made ready, while the user looks at the frame,
        // not when the first window opens.
        if (QWidget* host = impl_->frame->Host(); host && host->isVisible() && impl_->framePaint) {
            // What the load left for the first paint comes first after it
            // (the getting-started window, asked for before, runs it first).
            if (impl_->left == Impl::Left::Pending)
                impl_->framePaint->Then([impl = impl_.get()] { impl->FinishLoad(); });
            impl_->framePaint->Then([] {
                LowLevel::EnsureCharWidths();
                QTimer::singleShot(0, qApp, &LowLevel::PrepareWindowFonts);
            });
        }
    }
    return result;
}

KFrame* Program::Frame() const { return impl_->frame.get(); }
Welcome* Program::WelcomeWindow() const { return impl_->welcome.get(); }

int ExitCode(StartResult result) {
    switch (result) {
    case StartResult::Running: return 0;
    case StartResult::LoadFailed: return 1;
    case StartResult::ClosedWhileLoading: return 0;
    }
    return 0;
}

}  // namespace Startup
