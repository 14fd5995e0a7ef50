// The program's only ways out to the world that the model code may not reach
// directly: the assertion box, the clock, random numbers, message boxes, the
// settings store, the shell, help, dialogs, the busy cursor and progress.
// Start-up installs the real implementations (platform/); tests install fakes
// (tests/support/). The model code reaches them through Services::Get().
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

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

// --- Messages, settings, dialogs, busy cursor, progress, pending events -----

// One run of a message's text: plain text, bold or not, or a line break.
// A message travels as runs rather than as mark-up, so a caller's argument
// (a typed search text, a file path) can never be read as mark-up.
struct MsgRun {
    std::string text;  // cp1252
    bool bold = false;
    bool lineBreak = false;  // a run that only breaks the line (text empty)
    bool operator==(const MsgRun&) const = default;
};

// A message composed and ready to show: the message window shows the icon of
// its class, its runs, and Yes/No/Help for a question or OK/Help otherwise.
struct Message {
    int number = 0;
    int msgClass = 0;            // 0 critical, 1 exclamation, 2 question, 3 information
    std::string iconKey;         // "Critical", "Exclamation", "Question", "Info" ("" for a bad class)
    bool question = false;       // Yes and No instead of OK; No is the preferred button
    std::string helpTag;         // help topic of the message, "" for none
    std::string arg;             // the caller's argument as given
    int errNum = 0;              // the error number shown in the text, 0 for none
    std::string text;            // the final text with its mark-up, as the log shows it
    std::vector<MsgRun> runs;    // the same text as the window renders it
};

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Shows the message modally and returns when it is closed: True when a
    // question was answered Yes, False for No and for every other message.
    virtual bool ShowMessage(const Message& message) = 0;
};

// The per-user store of string values that stands in for the registry. Key
// paths use backslashes ("Software\Quillmarsh\Talvessin\1.x\Options"); key
// paths and value names compare without case (ASCII), as the registry's do.
// Values are cp1252 texts and come back byte for byte.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // The value, or nothing when the key or the value is missing.
    virtual std::optional<std::string> Read(const std::string& key, const std::string& name) = 0;
    // Creates the key when needed. False when the store could not be written;
    // the store then holds what it held before.
    virtual bool Write(const std::string& key, const std::string& name, const std::string& value) = 0;
    // Several values of one key written together: all of them or, when the
    // store could not be written, none (the store keeps what it held). The
    // plain version writes them one by one and stops at a failure.
    virtual bool WriteValues(const std::string& key, const std::vector<std::pair<std::string, std::string>>& values) {
        for (const auto& [name, value] : values)
            if (!Write(key, name, value)) return false;
        return true;
    }
    // Reads a value and writes what change makes of it (change is given
    // nothing for a missing value), as one step: no other run's write comes
    // between the two. Other runs wait while change runs, so it must not wait
    // on the user. False when the store could not be written; the store then
    // holds what it held before.
    virtual bool Update(const std::string& key, const std::string& name,
                        const std::function<std::string(const std::optional<std::string>&)>& change) {
        return Write(key, name, change(Read(key, name)));
    }
    // Removes one value; a missing value is no failure.
    virtual bool Delete(const std::string& key, const std::string& name) = 0;
    // Removes a key with its values and every key below it.
    virtual bool DeleteKey(const std::string& key) = 0;
    // The value names of a key in the order they were first written.
    virtual std::vector<std::string> ValueNames(const std::string& key) = 0;

    // The error number of the last write that failed, 0 after a success (a
    // store that cannot tell gives 0).
    virtual int LastError() const { return 0; }
    // Whether the last write that succeeded found every value as it was, so
    // that nothing was written: it says nothing of whether the store can be
    // written. False for a store that cannot tell.
    virtual bool LastWriteUnchanged() const { return false; }
    // The file the store is kept in (a system path), "" for one in memory.
    virtual std::string Path() const { return {}; }
};

// What an open or save dialog is asked to show.
struct FileDialogRequest {
    std::string title;
    // Pairs of description and patterns joined by "|":
    // "Talvessin Name Lists (*.onl)|*.onl|All Files (*.*)|*.*".
    std::string filter;
    std::string defaultExt;   // without the dot; added to a typed name without one
    std::string initialDir;   // "" for the dialog's own choice
};

class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // The chosen path (cp1252), or nothing when the user cancelled. The open
    // dialog accepts only an existing file in an existing folder; the save
    // dialog asks before it lets the user pick an existing file.
    virtual std::optional<std::string> OpenFile(const FileDialogRequest& request) = 0;
    virtual std::optional<std::string> SaveFile(const FileDialogRequest& request) = 0;
};

class BusyCursor {
public:
    virtual ~BusyCursor() = default;
    virtual void On() = 0;   // the hourglass over the whole program
    virtual void Off() = 0;  // back to the ordinary pointer
};

// The progress bar that a long operation moves (the welcome window's, while
// the database loads).
class Progress {
public:
    virtual ~Progress() = default;
    virtual void SetMaximum(int maximum) = 0;
    virtual void SetValue(int value) = 0;
};

class EventPump {
public:
    virtual ~EventPump() = default;
    // Lets pending window events run once (input, painting, timers).
    virtual void DoEvents() = 0;
    // The same without the user's keys and clicks, which wait until the
    // running handler has returned: a window that comes forward on a mouse
    // press or by a command must be in front, with its focus, before the
    // release and the typed keys that follow reach it. A pump that cannot
    // tell input apart runs everything.
    virtual void DoEventsHoldingInput() { DoEvents(); }
};

// --- Shell open, help topics, printing --------------------------------------

// Opens a web or mail address with the program the desktop associates with
// it.
class Shell {
public:
    virtual ~Shell() = default;
    // Returns false when the target was refused or could not be opened. Only
    // http, https and mailto addresses (LowLevel::ClassifyShellTarget) are
    // ever opened; nothing a data text names may open a local file or start
    // a program.
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

    // Messages, settings, dialogs, busy cursor, progress, pending events.
    MessageBoxes* messages = nullptr;
    SettingsStore* settings = nullptr;
    FileDialogs* fileDialogs = nullptr;
    BusyCursor* busyCursor = nullptr;
    Progress* progress = nullptr;
    EventPump* events = nullptr;

    // Shell open, help topics, printing.
    Shell* shell = nullptr;
    Help* help = nullptr;
    Printing* printing = nullptr;
};

const Set& Get();
// Installs the set, and with it the assertion sink as the hook of the letter
// code's checks (text/ reports through a hook of its own, see TextChecks.h).
void Install(const Set& set);

// Accessors that never return null (they fall back to the defaults).
AssertSink& Asserts();
Clock& TheClock();
Random& Rnd();

// Fallbacks: messages go to stderr and every question is answered No; the
// settings live in memory for the run; dialogs are cancelled; the busy
// cursor, progress and the event pump do nothing.
MessageBoxes& Messages();
SettingsStore& Settings();
FileDialogs& Dialogs();
BusyCursor& Busy();
Progress& ProgressBar();
EventPump& Events();

// Shell open, help and printing; without an installed service nothing is
// opened or shown and printing reports NoPrinter.
Shell& TheShell();
Help& TheHelp();
Printing& ThePrinter();

// The nesting busy cursor of long operations, through Busy(): every
// HourglassOn shows the hourglass; the HourglassOff that brings the depth to
// 0 (or finds it there) restores the default pointer. Operations nest (a list
// saved while a search runs), so only the outermost one may end the hourglass.
void HourglassOn();
void HourglassOff();
int BusyDepth();
// Depth 0 again, without touching the pointer (a fresh start of the engine).
void ResetBusyDepth();

}  // namespace Services
