#include "Services.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <random>

#include "Cp1252.h"
#include "Errors.h"
#include "SettingsStore.h"
#include "TextChecks.h"

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

class StderrMessages : public MessageBoxes {
public:
    bool ShowMessage(const Message& m) override {
        std::fprintf(stderr, "Message %d: %s\n", m.number, Cp1252::ToUtf8(m.text).c_str());
        return false;
    }
};

class NoDialogs : public FileDialogs {
public:
    std::optional<std::string> OpenFile(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<std::string> SaveFile(const FileDialogRequest&) override { return std::nullopt; }
};

class NoBusyCursor : public BusyCursor {
public:
    void On() override {}
    void Off() override {}
};

class NoProgress : public Progress {
public:
    void SetMaximum(int) override {}
    void SetValue(int) override {}
};

class NoEvents : public EventPump {
public:
    void DoEvents() override {}
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

// The letter code's broken expectations go where every other one goes: the
// log and the assertion box of the installed set.
void ReportTextCheck(const std::string& text) { Errors::Assert(false, text); }

}  // namespace

const Set& Get() { return Installed(); }
void Install(const Set& set) {
    Installed() = set;
    TextChecks::SetSink(&ReportTextCheck);
}

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

MessageBoxes& Messages() {
    static StderrMessages fallback;
    return Installed().messages ? *Installed().messages : fallback;
}

SettingsStore& Settings() {
    static MemorySettingsStore fallback;
    return Installed().settings ? *Installed().settings : fallback;
}

FileDialogs& Dialogs() {
    static NoDialogs fallback;
    return Installed().fileDialogs ? *Installed().fileDialogs : fallback;
}

BusyCursor& Busy() {
    static NoBusyCursor fallback;
    return Installed().busyCursor ? *Installed().busyCursor : fallback;
}

namespace {
int busyDepth = 0;
}  // namespace

void HourglassOn() {
    Busy().On();
    ++busyDepth;
}

void HourglassOff() {
    if (busyDepth > 0) --busyDepth;
    if (busyDepth == 0) Busy().Off();
}

int BusyDepth() { return busyDepth; }

void ResetBusyDepth() { busyDepth = 0; }

Progress& ProgressBar() {
    static NoProgress fallback;
    return Installed().progress ? *Installed().progress : fallback;
}

EventPump& Events() {
    static NoEvents fallback;
    return Installed().events ? *Installed().events : fallback;
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
