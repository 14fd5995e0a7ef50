#include "StartupModel.h"

#include "Basic.h"
#include "Cp1252.h"
#include "Errors.h"
#include "TextConstants.h"

namespace Startup {

std::string ProgramName(const std::string& argv0) {
    std::string name = argv0;
    if (auto slash = name.find_last_of('/'); slash != std::string::npos) name.erase(0, slash + 1);
    // A leading dot is part of the name, not an extension.
    if (auto dot = name.find_last_of('.'); dot != std::string::npos && dot > 0) name.erase(dot);
    return name;
}

std::optional<int> EditionOfProgram(const std::string& argv0) {
    std::string code = Basic::UpperAscii(Basic::Left(ProgramName(argv0), 4));
    if (code == "ORSA") return 0;
    if (code == "TALV") return 1;
    return std::nullopt;
}

std::string DatabaseFileOf(int edition) { return edition != 0 ? "Talv1Dat.bin" : "Orsa1Dat.bin"; }

// --- Countdown ------------------------------------------------------------------

void Countdown::Start() {
    running_ = true;
    elapsed_ = 0;
}

std::optional<long> Countdown::Tick(double maximum, double value) {
    if (!running_ || value <= 0) return std::nullopt;
    elapsed_ += kIntervalSeconds;
    long remaining = Basic::CLng(maximum / value * elapsed_ - elapsed_);
    if (remaining < 0) remaining = 1;
    return remaining;
}

std::string CountdownText(long remaining) {
    std::string n = std::to_string(remaining);
    return TextConstants::LangText("Bitte warten, Datenbank wird geladen (noch etwa " + n + " Sekunden)",
                                   "Please wait, loading database (time remaining approx. " + n + " secs)");
}

std::string WaitText() {
    return TextConstants::LangText("Bitte warten, Datenbank wird geladen", "Please wait, loading database");
}

// --- Start-up -------------------------------------------------------------------------

StartResult Run(StartupSteps& s, const std::string& argv0, const std::vector<std::string>& args) {
    s.SetAppClosing(false);
    s.InitLog();
    if (Errors::HasDebugSwitch(args)) s.EnableLog();

    if (auto edition = EditionOfProgram(argv0))
        s.SetEdition(*edition);
    else
        Errors::Assert(false, Cp1252::FromUtf8(ProgramName(argv0)));

    s.InitWinMan();
    // German in a fresh program: the options have not chosen the language yet.
    const bool messagesEnglish = s.TextLanguageEnglish();
    s.InitMessages();
    s.InitDataBase();
    s.InitParser();
    s.InitColors();
    s.LoadOptions();
    // The options set the edition's language; the messages follow it.
    if (s.TextLanguageEnglish() != messagesEnglish) s.InitMessages();
    s.LoadTexts();
    s.InitMonths();
    s.InitSearches();
    // Nothing from here to the load touches the database: the file is read
    // while the frame and the welcome window are built and shown.
    const std::string dbFile = DatabaseFileOf(TextConstants::edition);
    s.BeginLoadDatabase(dbFile);

    s.ShowFrame();
    s.Log("WinMan", "Main", "Init");
    // The welcome window asks the user to wait for the database: when the
    // file has been read while the frame was built, or is read within a
    // moment, there is nothing to wait for, and the frame is painted once,
    // with what the user asked for.
    if (!s.DatabaseReady()) {
        s.ShowWelcome();
        s.DoEvents();
    }
    s.MeasureCharWidths();
    s.HourglassOn();

    bool ok = s.LoadDatabase(dbFile);
    if (!ok) return StartResult::LoadFailed;
    // The user closed the frame while the database loaded: the close was held
    // until now; nothing is restored into a closing frame and nothing saved.
    if (s.AppClosing()) return StartResult::ClosedWhileLoading;

    s.HideWelcome();
    s.ReadUserFile();
    s.ClearUserNamesChanged();
    s.RestoreOpenWindows();
    s.HourglassOff();
    if (s.ShowShortHelpOption()) s.OpenShortHelp();
    return StartResult::Running;
}

// --- Shutdown ------------------------------------------------------------------------------

bool QueryUnload(ShutdownSteps& s, int unloadMode) {
    s.Log("KFrame", "QueryUnload", std::to_string(unloadMode));
    // The check comes before the program is closing, which would hold back
    // the message of a damaged file.
    const bool loading = s.DatabaseLoading();
    const bool refused = !loading && s.DatabaseRefused();
    s.SetAppClosing(true);
    if (loading || refused) return false;
    if (s.UserNamesChanged()) s.SaveUserNames();
    s.SaveOpenWindows();
    s.SaveOptions();
    return true;
}

}  // namespace Startup
