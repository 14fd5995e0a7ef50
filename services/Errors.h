// Assertions and the developer's log.
//
// Assert reports a broken expectation through the assertion box and carries
// on; LogEntry appends one time-stamped line to the log file, but only when
// the program was started with "/D".
#pragma once

#include <string>
#include <vector>

namespace Errors {

extern bool LogEnabled;
extern std::string LogFile;
extern bool LogRunStart;

void Assert(bool cond, const std::string& text);
void LogEntry(const std::string& module, const std::string& proc, const std::string& text);
// Sets the log file (temporary folder + "Orsabrine.log" / "Talvessin.log" by
// the text language) and switches logging off until start-up sees "/D".
// Start-up calls it first, while the text language is still German, so both
// editions log to "Orsabrine.log".
void InitLog();
// s brought to exactly `width` characters: padded with blanks, or cut to
// width - 1 characters and one blank.
std::string PadToWidth(const std::string& s, int width);
void WriteLogLine(const std::string& line);

// The hundredths part of an entry's time stamp: the fraction of the timer
// value as decimal digits, at most two, none at an exact second.
std::string TimerFraction(double timer);
// One whole entry line for the given time.
std::string FormatEntry(int day, int month, int year, int hour, int minute, int second,
                        double timer, const std::string& module, const std::string& proc,
                        const std::string& text);

// True when one of the program's arguments (never its own path) contains
// "/D" in any case.
bool HasDebugSwitch(const std::vector<std::string>& argsWithoutProgram);

// The temporary folder, ending in "/".
std::string GetTempDir();

}  // namespace Errors
