// The examples player behind the Example button of the information and
// search windows. Each press plays the window's next example from the
// edition's examples file: its input lines go through the script engine, so
// the window fills its fields and runs its search as if the user had done
// it, and then its explanation is shown. After a window's last example its
// first comes again.
//
// The examples file ("Talv1Ex.txt" in the English edition, "Orsa1Ex.txt" in
// the German one, in the program's folder):
//
//   *Lexi,0                      header: window name, number from 0
//   Lexi SHOW                    input lines, one script line each
//   Lexi.Arg(0) SET "ann"
//   Lexi EXEC Search
//   ;                            end of the input lines
//   Names that contain "ann".    explanation, up to the next "*" line
//
// The player reaches the script engine and the message box through hooks
// that start-up installs (tests install their own).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ExampleMode.h"
#include "ScriptFile.h"

namespace Examples {

// Runs one input line (the script engine's RunLine) and tells what was
// wrong with it, "" when nothing was.
extern std::function<std::string(const std::string& line)> replayLine;
// Shows an explanation: a box with the program's title and OK only; lines
// are separated by CR LF.
extern std::function<void(const std::string& text)> showText;

// The outcome of looking for one example in the file.
enum class Found {
    Yes,
    NotThere,  // the file has no such example
    NoFile,    // the file could not be opened (its message has been shown)
    Broken,    // the example has no ";" line (asserted)
};

struct Example {
    std::vector<std::string> lines;
    std::size_t firstLine = 0;  // the number in the file of lines[0] (from 1)
    std::string explanation;    // lines joined by CR LF
};

// Reads example n of a window from the examples file. Bad lines met on the
// way go to bad (for a file other than the one bad is about, it starts
// afresh): a header without a comma ("SearchEx", skipped), the header of an
// example without its ";" line (Broken), the end of what is read of a file
// too long.
Found SearchEx(const std::string& windowName, int n, Example& example, ScriptFile::BadLines& bad);

// The window's place in the counters, made for a new name (exact names).
int GetWindowIndex(const std::string& windowName);
// The number of the example the window's next press plays.
int NextExample(const std::string& windowName);
// Forgets every counter, and that a damaged file was told of (tests).
void ResetCounters();

// Passes the example's lines in order to replayLine, with exampleMode set
// meanwhile; the lines it finds wrong go to bad.
void ReplayLines(const Example& example, ScriptFile::BadLines& bad);

// The Example button: plays the window's next example, falling back to its
// first when the next is not in the file. Nothing is played when the window
// has no examples, the file is missing (one message) or the example is
// broken. A damaged file is told of once a run, in one message naming its
// first bad line met; bad input lines are skipped.
void PlayExample(const std::string& windowName);

// The examples file of the edition.
std::string FileName();

}  // namespace Examples
