#include "Errors.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "Basic.h"
#include "Services.h"
#include "TextConstants.h"

namespace Errors {

bool LogEnabled = false;
std::string LogFile;
bool LogRunStart = true;

void Assert(bool cond, const std::string& text) {
    if (cond) return;
    LogEntry("Errors", "Assert", text);
    Services::Asserts().ShowAssert("*** Assert: *** " + text);
}

std::string PadToWidth(const std::string& s, int width) {
    if (width <= 0) return {};
    auto w = static_cast<std::size_t>(width);
    if (s.size() < w) return s + std::string(w - s.size(), ' ');
    return s.substr(0, w - 1) + " ";
}

std::string TimerFraction(double timer) {
    // The fraction in hundredths; the decimal text "0.37" read from its third
    // character gives "37", "0.5" gives "5", an exact second "0" gives "".
    double frac = timer - std::floor(timer);
    int hundredths = static_cast<int>(std::lround(frac * 100));
    if (hundredths >= 100) hundredths = 99;
    if (hundredths == 0) return {};
    std::string digits = hundredths < 10 ? "0" + std::to_string(hundredths) : std::to_string(hundredths);
    if (digits.back() == '0') digits.pop_back();
    return digits;
}

namespace {
std::string Two(int n) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02d", n % 100);
    return buf;
}
}  // namespace

std::string FormatEntry(int day, int month, int year, int hour, int minute, int second,
                        double timer, const std::string& module, const std::string& proc,
                        const std::string& text) {
    char year4[8];
    std::snprintf(year4, sizeof year4, "%04d", year % 10000);
    return Two(day) + "." + Two(month) + "." + year4 + " " + Two(hour) + ":" + Two(minute) +
           ":" + Two(second) + ":" + TimerFraction(timer) + "  " + PadToWidth(module, 12) +
           PadToWidth(proc, 15) + text;
}

void LogEntry(const std::string& module, const std::string& proc, const std::string& text) {
    if (!LogEnabled) return;
    if (LogRunStart) {
        WriteLogLine(std::string(54, '-'));
        LogRunStart = false;
    }
    Services::LocalTime t = Services::TheClock().Now();
    WriteLogLine(FormatEntry(t.day, t.month, t.year, t.hour, t.minute, t.second, t.timer, module,
                             proc, text));
}

void InitLog() {
    LogFile = GetTempDir() + TextConstants::LangText("Orsabrine.log", "Talvessin.log");
    LogEnabled = false;
    LogRunStart = true;
}

void WriteLogLine(const std::string& line) {
    // The log is a trace only: a line that cannot be written is lost quietly.
    if (LogFile.empty()) return;
    std::FILE* f = std::fopen(LogFile.c_str(), "ab");
    if (!f) return;
    std::fwrite(line.data(), 1, line.size(), f);
    std::fwrite("\r\n", 1, 2, f);
    std::fclose(f);
}

bool HasDebugSwitch(const std::vector<std::string>& args) {
    for (const auto& a : args)
        if (Basic::InStr(Basic::UpperAscii(a), "/D") > 0) return true;
    return false;
}

std::string GetTempDir() {
    const char* env = std::getenv("TMPDIR");
    std::string dir = (env && *env) ? env : "/tmp";
    if (dir.back() != '/') dir += '/';
    return dir;
}

}  // namespace Errors
