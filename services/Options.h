// The user's settings: one variable per option with its fixed default, read
// from the settings store at start-up and written back when the program
// closes; the colour table of the entry kinds; and the access to the store's
// sections under the edition's base key.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace Reg {

// The value's text, or nothing when it or its key is missing.
std::optional<std::string> RegReadValue(const std::string& keyPath, const std::string& name);
// 0 on success, otherwise the error number of the failed write.
int RegWriteValue(const std::string& keyPath, const std::string& name, const std::string& value);
// Several values of one key, all or none: 0, or the error number. unchanged
// (when given) tells of a 0 whether the store already held every value, so
// that nothing was written.
int RegWriteValues(const std::string& keyPath, const std::vector<std::pair<std::string, std::string>>& values,
                   bool* unchanged = nullptr);
// The settings file as the disk messages name it (a program path).
std::string StoreName();

}  // namespace Reg

namespace Options {

// The base key of the edition, ending in a backslash; set by LoadOptions.
extern std::string RegBaseKey;
std::string BaseKeyFor(int edition);

// The options, in the order in which they are read and written.
extern bool ShowShortHelp;
extern bool ShowToolTips;
extern bool ShowAlphaInfoLinks;
extern bool ShowSingleInfoLinks;
extern bool QuizUseLimit;
extern int QuizNumMin;
extern bool QuizStopAfterWrong;
extern bool QuizIncDiff;
extern int QuizNumQ;
extern int QuizNumJo5050;
extern int QuizNumJoNext;
extern std::string LoadInitDir;
extern std::string SaveInitDir;
extern int AlphaGender;
extern bool WordShowNames;
extern bool DaysSortDate;
extern int ListsNewSortOrder;
extern bool ListsAutoToNames;
extern bool ListsAutoToGenNames;
extern bool ListsAutoFemaleOnly;
extern bool ListsAutoMaleOnly;
extern bool ListsAutoNamesOnly;
extern bool ListsAutoGenNamesOnly;
extern bool FavAutoSaveInfo;
extern bool UserNamesInfo;

// Sets every option to its default (the folders to the documents folder,
// LowLevel::DocumentsFolder).
void SetDefaults();

// The colour of each kind of entry (red in the lowest byte, then green, then
// blue), and the same colours as the display renders them.
constexpr int kNumColors = 11;
extern std::array<uint32_t, kNumColors> OptColor;
extern std::array<uint32_t, kNumColors> ShownColor;
constexpr uint32_t RGB(int r, int g, int b) {
    return static_cast<uint32_t>(r) | (static_cast<uint32_t>(g) << 8) | (static_cast<uint32_t>(b) << 16);
}
void InitColors();

// A section's value ("Options", "Sets", "Windows") under RegBaseKey; found is
// False when the value is missing or empty.
bool GetVal(const std::string& section, const std::string& name, std::string& value);
// Writes values of a section, all or none. A failure shows the disk message
// with the retry question, once: after a No, later failures of the run are
// only logged until a write reaches the store again (closing the program
// writes the open windows, every window's place and the options, and a full
// disk is one message, not one per value). A write of values the store
// already holds reaches nothing and says nothing of the store. False when
// the values could not be written.
bool PutVals(const std::string& section, const std::vector<std::pair<std::string, std::string>>& values);
bool PutVal(const std::string& section, const std::string& name, const std::string& value);

// How the stored texts read: "True"/"False" in any case, else the default;
// the leading number rounded halves to even ("7.5" 8, "6.5" 6, "12abc" 12,
// "abc" 0), the default when it lies outside the 16-bit range.
bool ParseBool(const std::string& text, bool def);
int ParseInt(const std::string& text, int def);

void GetBoolOption(const std::string& name, bool& variable, bool def);
void GetIntOption(const std::string& name, int& variable, int def);
void PutBoolOption(const std::string& name, bool value);
void PutIntOption(const std::string& name, int value);

// Reads every option of the edition's base key and sets the text language
// of the edition (German for Orsabrine, English for Talvessin). A new run
// asks again about a settings write that fails.
void LoadOptions();
// Writes every option in one write: a store that cannot be written keeps the
// options it held. An option the store lacked at the load and the run left
// at its default is left out when another run of the program has stored it
// meanwhile: that run's setting stays.
void SaveOptions();

// The value a check box takes for an option: 1 ticked, 0 cleared. The widget
// side is platform's SetCheckBox.
inline int CheckBoxValue(bool value) { return value ? 1 : 0; }

}  // namespace Options
