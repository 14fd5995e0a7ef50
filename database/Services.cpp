#include "Services.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <random>

namespace Services {
namespace {

class StderrAssertSink : public AssertSink {
public:
    void ShowAssert(const std::string& prompt) override {
        std::fprintf(stderr, "%s\n", prompt.c_str());
    }
};

class SystemClock : public Clock {
public:
    LocalTime Now() override {
        using namespace std::chrono;
        auto now = system_clock::now();
        std::time_t t = system_clock::to_time_t(now);
        std::tm tm{};
        localtime_r(&t, &tm);
        auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
        LocalTime lt;
        lt.year = tm.tm_year + 1900;
        lt.month = tm.tm_mon + 1;
        lt.day = tm.tm_mday;
        lt.hour = tm.tm_hour;
        lt.minute = tm.tm_min;
        lt.second = tm.tm_sec;
        // Whole hundredths keep the value exact in its decimal text.
        lt.timer = (tm.tm_hour * 3600 + tm.tm_min * 60 + tm.tm_sec) + static_cast<double>(ms / 10) / 100.0;
        return lt;
    }
};

class DefaultRandom : public Random {
public:
    double Next() override { return dist_(gen_); }

private:
    std::mt19937 gen_{12345u};
    std::uniform_real_distribution<double> dist_{0.0, 1.0};
};

class NoShell : public Shell {
public:
    bool Open(const std::string&) override { return false; }
};

class NoHelp : public Help {
public:
    void ShowTopic(const std::string&) override {}
};

class NoPrinting : public Printing {
public:
    PrintStatus PrintRichText(const std::string&, const PageMargins&) override {
        return PrintStatus::NoPrinter;
    }
};

Set& Installed() {
    static Set set;
    return set;
}

}  // namespace

const Set& Get() { return Installed(); }
void Install(const Set& set) { Installed() = set; }

AssertSink& Asserts() {
    static StderrAssertSink fallback;
    return Installed().assertSink ? *Installed().assertSink : fallback;
}

Clock& TheClock() {
    static SystemClock fallback;
    return Installed().clock ? *Installed().clock : fallback;
}

Random& Rnd() {
    static DefaultRandom fallback;
    return Installed().random ? *Installed().random : fallback;
}

Shell& TheShell() {
    static NoShell fallback;
    return Installed().shell ? *Installed().shell : fallback;
}

Help& TheHelp() {
    static NoHelp fallback;
    return Installed().help ? *Installed().help : fallback;
}

Printing& ThePrinter() {
    static NoPrinting fallback;
    return Installed().printing ? *Installed().printing : fallback;
}

}  // namespace Services
