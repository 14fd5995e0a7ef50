// Fakes of the outside world for the model's tests. TestMain installs one set
// for every test; a test reads and scripts it through Fakes().
#pragma once

#include <deque>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "Services.h"
#include "SettingsStore.h"

class RecordingAssertSink : public Services::AssertSink {
public:
    void ShowAssert(const std::string& prompt) override { prompts.push_back(prompt); }
    std::vector<std::string> prompts;
};

class FakeClock : public Services::Clock {
public:
    Services::LocalTime Now() override { return now; }
    Services::LocalTime now{2026, 3, 19, 10, 30, 5, 37805.0};
};

// Returns the scripted numbers in turn, then 0.
class ScriptedRandom : public Services::Random {
public:
    double Next() override {
        if (script.empty()) return 0;
        double v = script.front();
        script.pop_front();
        return v;
    }
    std::deque<double> script;
};

// --- Messages, settings, dialogs, busy cursor, progress, pending events -----

// Records every message shown and answers questions from the script (No when
// the script is empty).
class ScriptedMessages : public Services::MessageBoxes {
public:
    bool ShowMessage(const Services::Message& message) override {
        shown.push_back(message);
        if (!message.question || answers.empty()) return false;
        bool yes = answers.front();
        answers.pop_front();
        return yes;
    }
    std::vector<Services::Message> shown;
    std::deque<bool> answers;  // True Yes, False No
};

// Returns the scripted paths in turn (nothing: the user cancelled), then
// cancels; remembers what each dialog was asked to show.
class ScriptedDialogs : public Services::FileDialogs {
public:
    std::optional<std::string> OpenFile(const Services::FileDialogRequest& r) override {
        openRequests.push_back(r);
        return Next(openAnswers);
    }
    std::optional<std::string> SaveFile(const Services::FileDialogRequest& r) override {
        saveRequests.push_back(r);
        return Next(saveAnswers);
    }
    std::deque<std::optional<std::string>> openAnswers, saveAnswers;
    std::vector<Services::FileDialogRequest> openRequests, saveRequests;

private:
    static std::optional<std::string> Next(std::deque<std::optional<std::string>>& q) {
        if (q.empty()) return std::nullopt;
        auto v = q.front();
        q.pop_front();
        return v;
    }
};

class CountingBusyCursor : public Services::BusyCursor {
public:
    void On() override { ++ons; }
    void Off() override { ++offs; }
    int ons = 0, offs = 0;
};

class RecordingProgress : public Services::Progress {
public:
    void SetMaximum(int m) override { maximum = m; }
    void SetValue(int v) override { values.push_back(v); }
    int maximum = 0;
    std::vector<int> values;
};

class CountingEvents : public Services::EventPump {
public:
    void DoEvents() override { ++count; }
    int count = 0;
};

// Records every target it is asked to open; answers `result`.
class RecordingShell : public Services::Shell {
public:
    bool Open(const std::string& target) override {
        opened.push_back(target);
        return result;
    }
    std::vector<std::string> opened;
    bool result = true;
};

// Records every help topic asked for.
class RecordingHelp : public Services::Help {
public:
    void ShowTopic(const std::string& topic) override { topics.push_back(topic); }
    std::vector<std::string> topics;
};

// Records every print job; answers `result`.
class RecordingPrinting : public Services::Printing {
public:
    struct Job {
        std::string richText;
        Services::PageMargins margins;
    };
    Services::PrintStatus PrintRichText(const std::string& richText,
                                         const Services::PageMargins& mm) override {
        jobs.push_back(Job{richText, mm});
        return result;
    }
    std::vector<Job> jobs;
    Services::PrintStatus result = Services::PrintStatus::Ok;
};

struct FakeServices {
    RecordingAssertSink asserts;
    FakeClock clock;
    ScriptedRandom random;
    RecordingShell shell;
    RecordingHelp help;
    RecordingPrinting printing;

    ScriptedMessages messages;
    MemorySettingsStore settings;
    ScriptedDialogs dialogs;
    CountingBusyCursor busy;
    RecordingProgress progress;
    CountingEvents events;

    // The assertion prompts raised since the last call; taking them tells the
    // test harness they were expected.
    std::vector<std::string> TakeAsserts();
    // The messages shown since the last call; taking them tells the test
    // harness they were expected. Any message left untaken, scripted answer
    // left unused or scripted dialog left unopened fails the test.
    std::vector<Services::Message> TakeMessages();
    // The numbers of the messages taken.
    std::vector<int> TakeMessageNumbers();
    // Scripts the answers of the next questions.
    void Answer(std::initializer_list<bool> yesNo);
    void Reset();
};

FakeServices& Fakes();

// Where the test binaries find the sources and the build output.
std::string SourcePath(const std::string& relative);
std::string BinaryPath(const std::string& relative);
