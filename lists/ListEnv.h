// What the lists need from modules around them: the busy cursor, letting
// pending window events run, the two messages of the list-file reader and
// writer, the "Sets" subkey of the settings store, and the %-escapes of the
// registry lists. One small interface, so that tests can watch it and the
// program can route it to the real modules.
#pragma once

#include <string>
#include <vector>

namespace ListEnv {

class Host {
public:
    virtual ~Host() = default;
    virtual void HourglassOn() {}
    virtual void HourglassOff() {}
    // Lets pending window events run (long sorts yield between passes).
    virtual void DoEvents() {}
    // GMstructError (33), class 0, with the path as argument.
    virtual void ShowStructError(const std::string& path) {}
    // The disk-error message chosen by the run-time error number, no retry
    // question, with the path as argument.
    virtual void ShowDiskError(int errorNumber, const std::string& path) {}
    // A value of the settings store; false when missing or empty.
    virtual bool GetVal(const std::string& section, const std::string& name, std::string& value);
    virtual void PutVal(const std::string& section, const std::string& name, const std::string& value);
    // Word wrap of a text into pieces no wider than maxWidth pixels of the
    // list font; the default keeps the text in one piece.
    virtual std::vector<std::string> BreakText(const std::string& text, int maxWidth) { return {text}; }
};

// The host in use; never null (a silent default with an in-memory store).
Host& Get();
// Installs a host (non-owning); null restores the default.
void Install(Host* host);

// The run-time error numbers of failed file operations.
constexpr int kErrDeviceIO = 57;
constexpr int kErrDiskFull = 61;
constexpr int kErrDeviceUnavailable = 68;
constexpr int kErrPermissionDenied = 70;
constexpr int kErrDiskNotReady = 71;
constexpr int kErrPathAccess = 75;
constexpr int kErrOther = 999;
// The run-time error number of a C errno value.
int ErrorNumberOfErrno(int err);

// Registry-list escapes: every character that is not a letter (the letter
// tables' letters, accented ones included) or a digit becomes "%" and two
// upper-case hexadecimal digits; decoding turns "%" and two hexadecimal
// digits back into the character and keeps every other character, a "%"
// without two hexadecimal digits after it included.
std::string PercentEncode(const std::string& text);
std::string PercentDecode(const std::string& text);

}  // namespace ListEnv
