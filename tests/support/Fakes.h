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

struct FakeServices {
    RecordingAssertSink asserts;
    FakeClock clock;
    ScriptedRandom random;

    // The assertion prompts raised since the last call; taking them tells the
    // test harness they were expected.
    std::vector<std::string> TakeAsserts();
    void Reset();
};

FakeServices& Fakes();

// Where the test binaries find the sources and the build output.
std::string SourcePath(const std::string& relative);
std::string BinaryPath(const std::string& relative);
