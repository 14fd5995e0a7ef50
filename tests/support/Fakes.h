// Fakes of the outside world for the model's tests. TestMain installs one set
// for every test; a test reads and scripts it through Fakes().
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "Services.h"

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

    // The assertion prompts raised since the last call; taking them tells the
    // test harness they were expected.
    std::vector<std::string> TakeAsserts();
    void Reset();
};

FakeServices& Fakes();

// Where the test binaries find the sources and the build output.
std::string SourcePath(const std::string& relative);
std::string BinaryPath(const std::string& relative);
