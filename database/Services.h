// The program's only ways out to the world that the model code may not reach
// directly: the assertion box, the clock, random numbers, message boxes, the
// settings store, the shell, help, dialogs, the busy cursor and progress.
// Start-up installs the real implementations (platform/); tests install fakes
// (tests/support/). The model code reaches them through Services::Get().
#pragma once

#include <string>

namespace Services {

// The local wall clock as the program's logic reads it.
struct LocalTime {
    int year = 2000, month = 1, day = 1;
    int hour = 0, minute = 0, second = 0;
    // Seconds since midnight with their fraction (the program's timer value).
    double timer = 0;
};

class AssertSink {
public:
    virtual ~AssertSink() = default;
    // Shows the assertion's prompt to the user (a modal box with OK only) and
    // returns when it is closed.
    virtual void ShowAssert(const std::string& prompt) = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalTime Now() = 0;
};

class Random {
public:
    virtual ~Random() = default;
    // A number in [0, 1).
    virtual double Next() = 0;
};

// --- Shell open, help topics, printing --------------------------------------

// Opens a web or mail address or an existing document with the program the
// desktop associates with it.
class Shell {
public:
    virtual ~Shell() = default;
    // Returns false when the target was refused or could not be opened. Only
    // http, https and mailto addresses and existing documents are ever opened;
    // nothing a data text names may start a program.
    virtual bool Open(const std::string& target) = 0;
};

// Shows a topic page of the program's help.
class Help {
public:
    virtual ~Help() = default;
    // topic: "Welcome", a window name, a window and control name ("AlphaNames"),
    // a message tag or a heading topic ("GLPop"). A topic without a page shows
    // the help index with a note; an empty topic likewise.
    virtual void ShowTopic(const std::string& topic) = 0;
};

// Page margins in millimetres.
struct PageMargins {
    double top = 0, bottom = 0, left = 0, right = 0;
};

// How a print job ended. Everything but Ok means nothing more was printed;
// the caller tells the user.
enum class PrintStatus {
    Ok,
    NoPrinter,        // no usable printer or output device
    BadResolution,    // the device reports no resolution
    MarginsTooLarge,  // the margins leave no room on the page
    NoProgress,       // a line is taller than the room on a page
    Failed,           // the device refused the job
};

class Printing {
public:
    virtual ~Printing() = default;
    // Prints rich text (as the rich-text builder makes it) page by page on
    // the printer chosen for the run, within the margins.
    virtual PrintStatus PrintRichText(const std::string& richText, const PageMargins& mm) = 0;
};

// The set installed for the run. Every pointer is non-owning; start-up (or a
// test fixture) keeps the objects alive. Pointers left empty fall back to a
// plain default (stderr for assertions, the system clock, a fixed seed).
struct Set {
    AssertSink* assertSink = nullptr;
    Clock* clock = nullptr;
    Random* random = nullptr;

    // Shell open, help topics, printing.
    Shell* shell = nullptr;
    Help* help = nullptr;
    Printing* printing = nullptr;
};

const Set& Get();
void Install(const Set& set);

// Accessors that never return null (they fall back to the defaults).
AssertSink& Asserts();
Clock& TheClock();
Random& Rnd();

// Shell open, help and printing; without an installed service nothing is
// opened or shown and printing reports NoPrinter.
Shell& TheShell();
Help& TheHelp();
Printing& ThePrinter();

}  // namespace Services
