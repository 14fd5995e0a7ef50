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

namespace Examples {

// Runs one input line (the script engine's ProcessLine).
extern std::function<void(const std::string& line)> replayLine;
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
    std::string explanation;  // lines joined by CR LF
};

// Reads example n of a window from the examples file. A header without a
// comma asserts "SearchEx" and is skipped.
Found SearchEx(const std::string& windowName, int n, Example& example);

// The window's place in the counters, made for a new name (exact names).
int GetWindowIndex(const std::string& windowName);
// The number of the example the window's next press plays.
int NextExample(const std::string& windowName);
// Forgets every counter (tests).
void ResetCounters();

// Passes the lines in order to replayLine, with exampleMode set meanwhile.
void ReplayLines(const std::vector<std::string>& lines);

// The Example button: plays the window's next example, falling back to its
// first when the next is not in the file. Nothing is played when the window
// has no examples, the file is missing (one message) or the example is
// broken (one assertion).
void PlayExample(const std::string& windowName);

// The examples file of the edition.
std::string FileName();

}  // namespace Examples
