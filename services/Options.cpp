#include "Options.h"

#include "Basic.h"
#include "Errors.h"
#include "FileOp.h"
#include "GenMsg.h"
#include "LowLevel.h"
#include "Services.h"
#include "TextConstants.h"

namespace Reg {

std::optional<std::string> RegReadValue(const std::string& keyPath, const std::string& name) {
    return Services::Settings().Read(keyPath, name);
}

namespace {

// The error number of the store's failed write.
int WriteError(const Services::SettingsStore& store) {
    return store.LastError() != 0 ? store.LastError() : FileOp::kErrInternal;
}

}  // namespace

int RegWriteValue(const std::string& keyPath, const std::string& name, const std::string& value) {
    Services::SettingsStore& store = Services::Settings();
    return store.Write(keyPath, name, value) ? 0 : WriteError(store);
}

int RegWriteValues(const std::string& keyPath, const std::vector<std::pair<std::string, std::string>>& values,
                   bool* unchanged) {
    Services::SettingsStore& store = Services::Settings();
    if (!store.WriteValues(keyPath, values)) return WriteError(store);
    if (unchanged) *unchanged = store.LastWriteUnchanged();
    return 0;
}

std::string StoreName() {
    const std::string path = Services::Settings().Path();
    return path.empty() ? TextConstants::LangText("Einstellungen", "Settings") : FileOp::FromNative(path);
}

}  // namespace Reg

namespace Options {

std::string RegBaseKey = "Software\\Quillmarsh\\Orsabrine\\1.x\\";

bool ShowShortHelp = true;
bool ShowToolTips = true;
bool ShowAlphaInfoLinks = true;
bool ShowSingleInfoLinks = true;
bool QuizUseLimit = true;
int QuizNumMin = 5;
bool QuizStopAfterWrong = true;
bool QuizIncDiff = true;
int QuizNumQ = 10;
int QuizNumJo5050 = 2;
int QuizNumJoNext = 2;
std::string LoadInitDir;
std::string SaveInitDir;
int AlphaGender = 2;
bool WordShowNames = false;
bool DaysSortDate = true;
int ListsNewSortOrder = 1;
bool ListsAutoToNames = false;
bool ListsAutoToGenNames = false;
bool ListsAutoFemaleOnly = false;
bool ListsAutoMaleOnly = false;
bool ListsAutoNamesOnly = false;
bool ListsAutoGenNamesOnly = false;
bool FavAutoSaveInfo = false;
bool UserNamesInfo = false;

std::array<uint32_t, kNumColors> OptColor{};
std::array<uint32_t, kNumColors> ShownColor{};

namespace {

// One option of the table: its value name, its variable and its default.
struct BoolOpt {
    const char* name;
    bool* var;
    bool def;
};
struct IntOpt {
    const char* name;
    int* var;
    int def;
};
struct DirOpt {
    const char* name;
    std::string* var;
};

// The table in its order; a kind tag keeps the three sorts interleaved as
// they are read and written.
struct Opt {
    enum Kind { Bool, Int, Dir } kind;
    BoolOpt b;
    IntOpt i;
    DirOpt d;
};

constexpr Opt B(const char* n, bool* v, bool d) { return {Opt::Bool, {n, v, d}, {}, {}}; }
constexpr Opt I(const char* n, int* v, int d) { return {Opt::Int, {}, {n, v, d}, {}}; }
constexpr Opt D(const char* n, std::string* v) { return {Opt::Dir, {}, {}, {n, v}}; }

const Opt kOptions[] = {
    B("ShowShortHelp", &ShowShortHelp, true),
    B("ShowToolTips", &ShowToolTips, true),
    B("ShowAlphaInfoLinks", &ShowAlphaInfoLinks, true),
    B("ShowSingleInfoLinks", &ShowSingleInfoLinks, true),
    B("QuizUseLimit", &QuizUseLimit, true),
    I("QuizNumMin", &QuizNumMin, 5),
    B("QuizStopAfterWrong", &QuizStopAfterWrong, true),
    B("QuizIncDiff", &QuizIncDiff, true),
    I("QuizNumQ", &QuizNumQ, 10),
    I("QuizNumJo5050", &QuizNumJo5050, 2),
    I("QuizNumJoNext", &QuizNumJoNext, 2),
    D("LoadInitDir", &LoadInitDir),
    D("SaveInitDir", &SaveInitDir),
    I("AlphaGender", &AlphaGender, 2),
    B("WordShowNames", &WordShowNames, false),
    B("DaysSortDate", &DaysSortDate, true),
    I("ListsNewSortOrder", &ListsNewSortOrder, 1),
    B("ListsAutoToNames", &ListsAutoToNames, false),
    B("ListsAutoToGenNames", &ListsAutoToGenNames, false),
    B("ListsAutoFemaleOnly", &ListsAutoFemaleOnly, false),
    B("ListsAutoMaleOnly", &ListsAutoMaleOnly, false),
    B("ListsAutoNamesOnly", &ListsAutoNamesOnly, false),
    B("ListsAutoGenNamesOnly", &ListsAutoGenNamesOnly, false),
    B("FavAutoSaveInfo", &FavAutoSaveInfo, false),
    B("UserNamesInfo", &UserNamesInfo, false),
};

}  // namespace

std::string BaseKeyFor(int edition) {
    return edition != 0 ? "Software\\Quillmarsh\\Talvessin\\1.x\\" : "Software\\Quillmarsh\\Orsabrine\\1.x\\";
}

void SetDefaults() {
    const std::string docs = LowLevel::DocumentsFolderOrEmpty();
    for (const Opt& o : kOptions) {
        switch (o.kind) {
        case Opt::Bool: *o.b.var = o.b.def; break;
        case Opt::Int: *o.i.var = o.i.def; break;
        case Opt::Dir: *o.d.var = docs; break;
        }
    }
}

void InitColors() {
    OptColor = {RGB(255, 102, 153), RGB(0, 0, 204),   RGB(51, 51, 51),    RGB(0, 176, 0),
                RGB(51, 153, 255),  RGB(170, 0, 255), RGB(204, 102, 0),   RGB(255, 204, 0),
                RGB(128, 128, 128), RGB(204, 204, 255), RGB(51, 255, 51)};
    // The display draws every colour exactly, and links are found from the
    // document rather than from screen pixels: nothing needs to be probed.
    ShownColor = OptColor;
}

bool GetVal(const std::string& section, const std::string& name, std::string& value) {
    std::optional<std::string> v = Reg::RegReadValue(RegBaseKey + section, name);
    value = v.value_or(std::string());
    return !value.empty();
}

namespace {
// The user said No to writing the settings again; cleared by a write that
// reaches the store, and by the start of a run.
bool settingsWriteGivenUp = false;
}  // namespace

bool PutVals(const std::string& section, const std::vector<std::pair<std::string, std::string>>& values) {
    for (;;) {
        bool unchanged = false;
        const int err = Reg::RegWriteValues(RegBaseKey + section, values, &unchanged);
        if (err == 0) {
            // Values the store already held were not written: the store may
            // be as unwritable as it was when the user gave up.
            if (!unchanged) settingsWriteGivenUp = false;
            return true;
        }
        const std::string store = Reg::StoreName();
        Errors::LogEntry("Options", "PutVals", section + " " + std::to_string(err));
        if (settingsWriteGivenUp) return false;
        bool retry = false;
        GenMsg::ShowDiskError(store, true, retry, err);
        if (!retry) {
            settingsWriteGivenUp = true;
            return false;
        }
    }
}

bool PutVal(const std::string& section, const std::string& name, const std::string& value) {
    return PutVals(section, {{name, value}});
}

bool ParseBool(const std::string& text, bool def) {
    std::string up = Basic::UpperAscii(text);
    if (up == "TRUE") return true;
    if (up == "FALSE") return false;
    return def;
}

int ParseInt(const std::string& text, int def) {
    // A number outside the 16-bit range cannot be a value the program wrote.
    int32_t n = Basic::CLng(Basic::Val(text));
    if (n < -32768 || n > 32767) return def;
    return n;
}

void GetBoolOption(const std::string& name, bool& variable, bool def) {
    std::string text;
    variable = GetVal("Options", name, text) ? ParseBool(text, def) : def;
}

void GetIntOption(const std::string& name, int& variable, int def) {
    std::string text;
    variable = GetVal("Options", name, text) ? ParseInt(text, def) : def;
}

namespace {
const char* BoolText(bool value) { return value ? "True" : "False"; }
}  // namespace

void PutBoolOption(const std::string& name, bool value) { PutVal("Options", name, BoolText(value)); }

void PutIntOption(const std::string& name, int value) { PutVal("Options", name, std::to_string(value)); }

namespace {

// What each option of the table held when the options were loaded: whether
// the store had it, and its text. An option the store lacked and the run
// left as it was (its default) is no setting of this run: when another run
// has stored it meanwhile, that run's value stays.
struct AtLoad {
    bool found = true;  // before a load: every option is the run's own
    std::string text;
};
std::array<AtLoad, std::size(kOptions)> atLoad;

std::string OptionText(const Opt& o) {
    switch (o.kind) {
    case Opt::Bool: return BoolText(*o.b.var);
    case Opt::Int: return std::to_string(*o.i.var);
    case Opt::Dir: return *o.d.var;
    }
    return {};
}

const char* OptionName(const Opt& o) {
    switch (o.kind) {
    case Opt::Bool: return o.b.name;
    case Opt::Int: return o.i.name;
    case Opt::Dir: return o.d.name;
    }
    return "";
}

}  // namespace

void LoadOptions() {
    RegBaseKey = BaseKeyFor(TextConstants::edition);
    // Each edition speaks its own language: German texts in the German
    // edition, English ones in the English edition.
    TextConstants::textLanguage = TextConstants::edition != 0 ? 1 : 0;
    settingsWriteGivenUp = false;
    std::string docs;
    bool docsKnown = false;
    for (std::size_t i = 0; i < std::size(kOptions); ++i) {
        const Opt& o = kOptions[i];
        std::string text;
        const bool found = GetVal("Options", OptionName(o), text);
        switch (o.kind) {
        case Opt::Bool: *o.b.var = found ? ParseBool(text, o.b.def) : o.b.def; break;
        case Opt::Int: *o.i.var = found ? ParseInt(text, o.i.def) : o.i.def; break;
        case Opt::Dir:
            if (found) {
                *o.d.var = text;
            } else {
                // Asked only when a folder is missing: the answer creates the folder.
                if (!docsKnown) {
                    docs = LowLevel::DocumentsFolderOrEmpty();
                    docsKnown = true;
                }
                *o.d.var = docs;
            }
            break;
        }
        atLoad[i] = {found, OptionText(o)};
    }
}

void SaveOptions() {
    std::vector<std::pair<std::string, std::string>> values;
    for (std::size_t i = 0; i < std::size(kOptions); ++i) {
        const Opt& o = kOptions[i];
        std::string text = OptionText(o), stored;
        if (!atLoad[i].found && text == atLoad[i].text && GetVal("Options", OptionName(o), stored)) continue;
        values.emplace_back(OptionName(o), std::move(text));
    }
    PutVals("Options", values);
}

}  // namespace Options
