// The program's start and end as sequences without widgets: which edition
// the program's file name selects, the order of the start-up steps, the
// welcome window's countdown and the saves of the frame's close request. The
// steps themselves are behind small interfaces, so that the order can be
// checked against recording fakes; Startup.cpp gives the real ones.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace Startup {

// --- Edition --------------------------------------------------------------------

// The file name of the program as it was started (argv[0]): the part after
// the last "/", links not resolved, without its extension.
std::string ProgramName(const std::string& argv0);
// The edition the first four letters of the program's name select, compared
// without case: "TALV" 1 (English), "ORSA" 0 (German); nothing for any other
// name.
std::optional<int> EditionOfProgram(const std::string& argv0);
// The database file of an edition: "Talv1Dat.bin" for the English one (1),
// "Orsa1Dat.bin" for the German one.
std::string DatabaseFileOf(int edition);

// --- Countdown of the welcome window -----------------------------------------------

class Countdown {
public:
    static constexpr int kIntervalMs = 10000;
    static constexpr double kIntervalSeconds = 10;

    // The loader found the welcome window's bar: the count starts at 0.
    void Start();
    bool Running() const { return running_; }
    double Elapsed() const { return elapsed_; }
    // One tick of the timer. While the bar's value is 0 (or less) the tick
    // is skipped and not counted. Otherwise the seconds the load still needs
    // by the speed so far: (maximum / value) x elapsed - elapsed, rounded
    // halves to even; a negative estimate shows as 1.
    std::optional<long> Tick(double maximum, double value);

private:
    bool running_ = false;
    double elapsed_ = 0;
};

// The progress line with the estimate, in the text language.
std::string CountdownText(long remaining);
// The progress line before the first estimate.
std::string WaitText();

// --- Start-up ---------------------------------------------------------------------------

// What start-up does, one call a step, in the order Run makes them.
class StartupSteps {
public:
    virtual ~StartupSteps() = default;
    virtual void SetAppClosing(bool closing) = 0;
    virtual void InitLog() = 0;
    virtual void EnableLog() = 0;
    virtual void SetEdition(int edition) = 0;
    virtual void InitWinMan() = 0;
    virtual void InitMessages() = 0;
    virtual void InitDataBase() = 0;
    virtual void InitParser() = 0;
    virtual void InitColors() = 0;
    virtual void LoadOptions() = 0;
    virtual bool TextLanguageEnglish() = 0;
    virtual void LoadTexts() = 0;
    virtual void InitMonths() = 0;
    virtual void InitSearches() = 0;
    virtual void ShowFrame() = 0;
    virtual void Log(const std::string& module, const std::string& proc, const std::string& text) = 0;
    virtual void ShowWelcome() = 0;
    virtual void DoEvents() = 0;
    virtual void MeasureCharWidths() = 0;
    virtual void HourglassOn() = 0;
    // Begins reading the database file beside the steps that follow, up to
    // LoadDatabase (which otherwise reads it itself).
    virtual void BeginLoadDatabase(const std::string& fileName) {}
    // True when that read has ended, or ends within a moment (nothing to
    // wait for that the user would notice).
    virtual bool DatabaseReady() { return false; }
    // Loads the database file; True when the whole file was read.
    virtual bool LoadDatabase(const std::string& fileName) = 0;
    virtual bool AppClosing() = 0;
    virtual void HideWelcome() = 0;
    virtual void ReadUserFile() = 0;
    virtual void ClearUserNamesChanged() = 0;
    virtual void RestoreOpenWindows() = 0;
    virtual void HourglassOff() = 0;
    virtual bool ShowShortHelpOption() = 0;
    virtual void OpenShortHelp() = 0;
};

enum class StartResult {
    Running,          // the frame is up with the database: run the event loop
    LoadFailed,       // the database could not be loaded: end at once, nothing saved
    ClosedWhileLoading,  // the user closed the frame during the load: end, nothing saved
};

// The start-up sequence. args are the program's arguments without its own
// path; an unknown program name raises an assertion with that name and
// leaves the German edition.
StartResult Run(StartupSteps& steps, const std::string& argv0, const std::vector<std::string>& args);

// --- Shutdown --------------------------------------------------------------------------

class ShutdownSteps {
public:
    virtual ~ShutdownSteps() = default;
    virtual void Log(const std::string& module, const std::string& proc, const std::string& text) = 0;
    virtual void SetAppClosing(bool closing) = 0;
    virtual bool DatabaseLoading() = 0;
    // Takes what the load left for later (the check of the database file's
    // body), when it is still to come; true when the file was refused, by
    // this check or an earlier one (the run is ending then).
    virtual bool DatabaseRefused() = 0;
    virtual bool UserNamesChanged() = 0;
    virtual void SaveUserNames() = 0;
    virtual void SaveOpenWindows() = 0;
    virtual void SaveOptions() = 0;
};

// The frame's close request: the program is closing from now on; unless the
// database is still loading or its file is refused, the user's new names
// (when changed), the list of open windows and the options are saved,
// before any window unloads. A close before the check the load left for
// later takes that check first. True when the close goes on; false when the
// run ends without it, with nothing saved (start-up or the refusal ends it).
bool QueryUnload(ShutdownSteps& steps, int unloadMode);

}  // namespace Startup
