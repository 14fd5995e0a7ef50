// The start and end of the program without widgets, against recording fakes.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "Errors.h"
#include "Fakes.h"
#include "StartupModel.h"
#include "TextConstants.h"

using Startup::StartResult;

namespace {

// Keeps the shared language and edition flags and the log's name as they were.
class FlagsGuard {
public:
    FlagsGuard() : lang_(TextConstants::textLanguage), edition_(TextConstants::edition), log_(Errors::LogFile) {}
    ~FlagsGuard() {
        TextConstants::textLanguage = lang_;
        TextConstants::edition = edition_;
        Errors::LogFile = log_;
        Errors::LogEnabled = false;
    }

private:
    int lang_, edition_;
    std::string log_;
};

TEST(StartupEdition, FirstFourLettersOfTheProgramNameWithoutCase) {
    struct Case {
        const char* argv0;
        std::optional<int> edition;
    } cases[] = {
        {"/usr/local/bin/talvessin", 1}, {"./TaLvEsSiN", 1}, {"talv", 1}, {"talvessin.bin", 1},
        {"orsabrine", 0}, {"build/bin/ORSAbrine", 0},
        {"tal", std::nullopt},                   // fewer than four letters
        {"xtalvessin", std::nullopt},            // the code must come first
        {"/opt/talvessin/namen", std::nullopt},  // folders do not count
        {"/opt/orsa.d/tal.v", std::nullopt},     // the extension does not count
        {"", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(Startup::EditionOfProgram(c.argv0), c.edition) << c.argv0;
    EXPECT_EQ(Startup::ProgramName("/a/b/talvessin.exe"), "talvessin");
    EXPECT_EQ(Startup::ProgramName("/a/b/.hidden"), ".hidden");
}

#define STEP(name) \
    void name() override { Add(#name); }

class RecordingSteps : public Startup::StartupSteps {
public:
    std::vector<std::string> calls;
    bool english = true, loadOk = true, closeDuringLoad = false, shortHelp = true, appClosing = false, ready = false;

    void Add(const std::string& s) { calls.push_back(s); }
    void SetAppClosing(bool c) override {
        appClosing = c;
        Add(c ? "AppClosing:=True" : "AppClosing:=False");
    }
    void SetEdition(int e) override {
        TextConstants::edition = e;
        Add("SetEdition " + std::to_string(e));
    }
    void InitMessages() override { Add(std::string("InitMessages ") + (TextConstants::textLanguage ? "en" : "de")); }
    void LoadOptions() override {
        TextConstants::textLanguage = english ? 1 : 0;
        Add("LoadOptions");
    }
    bool TextLanguageEnglish() override { return TextConstants::textLanguage == 1; }
    void Log(const std::string& m, const std::string& p, const std::string& t) override { Add("Log " + m + "." + p + " " + t); }
    bool LoadDatabase(const std::string& f) override {
        Add("LoadDatabase " + f);
        if (closeDuringLoad) appClosing = true;
        return loadOk;
    }
    bool AppClosing() override { return appClosing; }
    bool DatabaseReady() override { return ready; }
    bool ShowShortHelpOption() override { return shortHelp; }
    void InitLog() override {
        Errors::InitLog();
        Add("InitLog " + Errors::LogFile.substr(Errors::LogFile.rfind('/') + 1));
    }
    STEP(EnableLog) STEP(InitWinMan) STEP(InitDataBase) STEP(InitParser) STEP(InitColors)
    STEP(LoadTexts) STEP(InitMonths) STEP(InitSearches) STEP(ShowFrame) STEP(ShowWelcome) STEP(DoEvents)
    STEP(MeasureCharWidths) STEP(HourglassOn) STEP(HideWelcome) STEP(ReadUserFile) STEP(ClearUserNamesChanged)
    STEP(RestoreOpenWindows) STEP(HourglassOff) STEP(OpenShortHelp)
};

const std::vector<std::string> kUntilLoad = {
    "AppClosing:=False", "InitLog Orsabrine.log", "SetEdition 1", "InitWinMan", "InitMessages de", "InitDataBase",
    "InitParser", "InitColors", "LoadOptions", "InitMessages en", "LoadTexts", "InitMonths", "InitSearches", "ShowFrame",
    "Log WinMan.Main Init", "ShowWelcome", "DoEvents", "MeasureCharWidths", "HourglassOn", "LoadDatabase Talv1Dat.bin",
};

std::vector<std::string> Join(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(StartupOrder, TheSequenceAndItsVariants) {
    const std::vector<std::string> afterLoad = {"HideWelcome", "ReadUserFile", "ClearUserNamesChanged",
                                                "RestoreOpenWindows", "HourglassOff"};
    struct Case {
        const char* what;
        bool loadOk, closeDuringLoad, shortHelp;
        StartResult result;
        std::vector<std::string> expected;  // besides the steps up to the load
    } cases[] = {
        {"a start with the getting-started window", true, false, true, StartResult::Running,
         Join(afterLoad, {"OpenShortHelp"})},
        {"no getting-started window", true, false, false, StartResult::Running, afterLoad},
        {"failed load: nothing merged, restored or opened", false, false, true, StartResult::LoadFailed, {}},
        {"closed during the load: nothing restored into the closing frame", true, true, true,
         StartResult::ClosedWhileLoading, {}},
    };
    for (const Case& c : cases) {
        FlagsGuard guard;
        RecordingSteps s;
        s.loadOk = c.loadOk;
        s.closeDuringLoad = c.closeDuringLoad;
        s.shortHelp = c.shortHelp;
        EXPECT_EQ(Startup::Run(s, "/usr/bin/talvessin", {}), c.result) << c.what;
        EXPECT_EQ(s.calls, Join(kUntilLoad, c.expected)) << c.what;
    }
}

// The file read while the frame was built: no welcome window asks the user
// to wait, and no events run before the load's results are in place.
TEST(StartupOrder, ADatabaseReadAlreadyShowsNoWelcomeWindow) {
    FlagsGuard guard;
    RecordingSteps s;
    s.ready = true;
    EXPECT_EQ(Startup::Run(s, "/usr/bin/talvessin", {}), StartResult::Running);
    std::vector<std::string> expected = kUntilLoad;
    std::erase(expected, "ShowWelcome");
    std::erase(expected, "DoEvents");
    expected.resize(expected.size());
    EXPECT_EQ(std::vector<std::string>(s.calls.begin(), s.calls.begin() + static_cast<long>(expected.size())),
              expected);
}

TEST(StartupOrder, GermanTextsLoadTheMessagesOnceAndTheGermanEditionItsFile) {
    FlagsGuard guard;
    RecordingSteps s;
    s.english = false;
    Startup::Run(s, "orsabrine", {});
    EXPECT_EQ(std::count(s.calls.begin(), s.calls.end(), "InitMessages de"), 1);
    EXPECT_EQ(std::count(s.calls.begin(), s.calls.end(), "InitMessages en"), 0);
    EXPECT_EQ(std::vector(s.calls.begin() + 1, s.calls.begin() + 3),
              (std::vector<std::string>{"InitLog Orsabrine.log", "SetEdition 0"}));
    EXPECT_NE(std::find(s.calls.begin(), s.calls.end(), "LoadDatabase Orsa1Dat.bin"), s.calls.end());
}

TEST(StartupOrder, AnUnknownProgramNameAssertsAndLeavesTheGermanEdition) {
    FlagsGuard guard;
    TextConstants::edition = 0;
    RecordingSteps s;
    EXPECT_EQ(Startup::Run(s, "/home/u/bin/Namen.sh", {}), StartResult::Running);
    EXPECT_EQ(Fakes().TakeAsserts(), std::vector<std::string>{"*** Assert: *** Namen"});
    EXPECT_EQ(std::count_if(s.calls.begin(), s.calls.end(), [](const std::string& c) { return c.rfind("SetEdition", 0) == 0; }), 0);
    EXPECT_NE(std::find(s.calls.begin(), s.calls.end(), "LoadDatabase Orsa1Dat.bin"), s.calls.end());
}

TEST(StartupOrder, DebugSwitchAnywhereInTheArgumentsButNotInTheProgramPath) {
    struct Case {
        const char* argv0;
        std::vector<std::string> args;
        bool logging;
    } cases[] = {
        {"talvessin", {"/D"}, true},    {"talvessin", {"/d"}, true}, {"talvessin", {"x", "abc/dxyz"}, true},
        {"talvessin", {}, false},       {"talvessin", {"-d", "D/"}, false},
        {"/D/talvessin", {}, false},  // the program's path does not count
    };
    for (const Case& c : cases) {
        FlagsGuard guard;
        RecordingSteps s;
        Startup::Run(s, c.argv0, c.args);
        bool logging = std::find(s.calls.begin(), s.calls.end(), "EnableLog") != s.calls.end();
        EXPECT_EQ(logging, c.logging) << c.argv0 << " " << (c.args.empty() ? "" : c.args.back());
        // The switch is looked at before anything else could log.
        if (logging) {
            EXPECT_EQ(s.calls[2], "EnableLog");
        }
    }
}

TEST(WelcomeCountdown, EstimatesFromTheSpeedSoFar) {
    FlagsGuard guard;
    Startup::Countdown c;
    c.Start();
    EXPECT_EQ(c.Tick(1000, 0), std::nullopt);  // a tick without progress is skipped...
    EXPECT_EQ(c.Elapsed(), 0);                 // ...and not counted
    EXPECT_EQ(c.Tick(1000, 125), 70);          // 8 x 10 - 10
    EXPECT_EQ(c.Tick(1000, 250), 60);          // 4 x 20 - 20
    EXPECT_EQ(c.Elapsed(), 20);

    // 0.5 rounds to the even 0, 1.5 to 2; a negative estimate shows as 1.
    for (auto [max, value, remaining] : {std::tuple{1050.0, 1000.0, 0L}, {1150.0, 1000.0, 2L}, {1000.0, 2000.0, 1L}}) {
        Startup::Countdown d;
        d.Start();
        EXPECT_EQ(d.Tick(max, value), remaining) << max << "/" << value;
    }

    TextConstants::textLanguage = 0;
    EXPECT_EQ(Startup::CountdownText(7), "Bitte warten, Datenbank wird geladen (noch etwa 7 Sekunden)");
}

class RecordingShutdown : public Startup::ShutdownSteps {
public:
    std::vector<std::string> calls;
    bool loading = false, changed = false, refused = false;
    void Add(const std::string& s) { calls.push_back(s); }
    void Log(const std::string& m, const std::string& p, const std::string& t) override { Add("Log " + m + "." + p + " " + t); }
    void SetAppClosing(bool c) override { Add(c ? "AppClosing:=True" : "AppClosing:=False"); }
    bool DatabaseLoading() override { return loading; }
    bool DatabaseRefused() override {
        Add("Check");
        return refused;
    }
    bool UserNamesChanged() override { return changed; }
    STEP(SaveUserNames) STEP(SaveOpenWindows) STEP(SaveOptions)
};

// The check the load left comes before the program is closing (which would
// hold back its message); a refused file, like a load still running, ends
// the run without the close: nothing saved.
TEST(Shutdown, SavesInOrderAndNothingWhileTheDatabaseLoadsOrIsRefused) {
    const std::vector<std::string> checked = {"Log KFrame.QueryUnload 0", "Check", "AppClosing:=True"};
    struct Case {
        bool loading, changed, refused;
        std::vector<std::string> calls;
    } cases[] = {
        {false, true, false, Join(checked, {"SaveUserNames", "SaveOpenWindows", "SaveOptions"})},
        {false, false, false, Join(checked, {"SaveOpenWindows", "SaveOptions"})},
        {false, true, true, checked},
        {true, true, false, {"Log KFrame.QueryUnload 0", "AppClosing:=True"}},
    };
    for (const Case& c : cases) {
        RecordingShutdown s;
        s.loading = c.loading;
        s.changed = c.changed;
        s.refused = c.refused;
        EXPECT_EQ(Startup::QueryUnload(s, 0), c.calls.size() > checked.size());
        EXPECT_EQ(s.calls, c.calls);
    }
}

}  // namespace
