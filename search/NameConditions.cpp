#include "NameConditions.h"

#include <algorithm>

#include "Atom.h"
#include "DataBase.h"
#include "Errors.h"
#include "GenMsg.h"
#include "Parser.h"
#include "ResultSet.h"
#include "TextConstants.h"

using TextConstants::LangText;

namespace Query {

// --- what the query windows share ----------------------------------------------

std::string AndWord() { return LangText("und", "and"); }
std::string OrWord() { return LangText("oder", "or"); }
std::string Connective(bool andMode) { return andMode ? AndWord() : OrWord(); }

bool ExampleRing::AlreadyUsed(const std::string& text) const {
    return std::find(names_.begin(), names_.end(), text) != names_.end();
}

void ExampleRing::AddUsed(const std::string& text) {
    if (count() < kSize)
        names_.push_back(text);
    else
        names_.clear();
}

// --- codes -----------------------------------------------------------------------------

namespace {

struct CodeText {
    const char* captionDe;
    const char* captionEn;
    const char* templateDe;
    const char* templateEn;
};

const CodeText kCodes[NameConditions::kNumCodes] = {
    {"(undefiniert)", "(undefined)", "", ""},
    {"beginnt mit", "starts with", "Name beginnt mit der Buchstabenfolge #",
     "name starts with the letter sequence #"},
    {"endet mit", "ends with", "Name endet mit der Buchstabenfolge #", "name ends with the letter sequence #"},
    {"enth\xe4lt irgendwo", "contains", "Name enth\xe4lt mindestens einmal irgendwo die Buchstabenfolge #",
     "name contains the letter sequence # at least once"},
    {"enth\xe4lt zweimal", "contains twice", "Name enth\xe4lt mindestens zweimal irgendwo die Buchstabenfolge #",
     "name contains the letter sequence # at least twice"},
    {"enth\xe4lt nicht", "does not contain", "Name enth\xe4lt die Buchstabenfolge # nicht",
     "name does not contain the letter sequence #"},
    {"ausgesprochen ungef\xe4hr wie", "pronounced similar to", "Name wird ungef\xe4hr ausgesprochen wie #",
     "name is pronounced similar to #"},
    {"geschrieben ungef\xe4hr wie", "written similar to", "Name wird ungef\xe4hr geschrieben wie #",
     "name is written similar to #"},
    {"passt zum Muster", "matches the pattern",
     "Name passt zum mit Hilfe von '?' und '*' formulierten Muster #",
     "name matches the pattern # built with '?' and '*'"},
    {"Anzahl Buchstaben gleich", "no. of letters equal", "Name enth\xe4lt genau # Buchstaben",
     "name has exactly # letters"},
    {"Anzahl Buchst. gr\xf6sser/gleich", "no. of letters greater/equal", "Name enth\xe4lt # oder mehr Buchstaben",
     "name has # or more letters"},
    {"Anzahl Buchst. kleiner/gleich", "no. of letters less/equal", "Name enth\xe4lt # oder weniger Buchstaben",
     "name has # or fewer letters"},
    {"Anzahl Silben gleich", "no. of syllables equal", "Name enth\xe4lt genau # Silben",
     "name has exactly # syllables"},
    {"Anzahl Silben gr\xf6sser/gleich", "no. of syllables greater/equal", "Name enth\xe4lt # oder mehr Silben",
     "name has # or more syllables"},
    {"Anzahl Silben kleiner/gleich", "no. of syllables less/equal", "Name enth\xe4lt # oder weniger Silben",
     "name has # or fewer syllables"},
    {"enth\xe4lt Umlaute/Akzente", "contains umlauts/accents",
     "Name enth\xe4lt mindestens einen Umlaut oder Akzent (\xe4,\xfc,\xe9,\xe0 usw.)",
     "name contains at least one umlaut or accented letter (\xe4,\xfc,\xe9,\xe0 etc.)"},
    {"enth\xe4lt keine Umlaute/Akzente", "contains no umlauts/accents",
     "Name enth\xe4lt keine Umlaute oder Akzente (\xe4,\xfc,\xe9,\xe0 usw.)",
     "name contains no umlauts or accented letters (\xe4,\xfc,\xe9,\xe0 etc.)"},
    {"vorw\xe4rts und r\xfc" "ckw\xe4rts gleich", "is symmetrical",
     "Name ist vorw\xe4rts und r\xfc" "ckw\xe4rts geschrieben gleich", "name is symmetrical in writing"},
};

bool ValidCode(int code) { return code >= 0 && code < NameConditions::kNumCodes; }

std::string Upper(const std::string& s) {
    std::string out(s);
    const auto& up = Parser::UpperTable();
    for (char& c : out) c = static_cast<char>(up[static_cast<unsigned char>(c)]);
    return out;
}

}  // namespace

bool NameConditions::NeedsArg(int code) { return code >= 1 && code <= 14; }
bool NameConditions::NumArg(int code) { return code >= 9 && code <= 14; }

std::string NameConditions::Caption(int code) {
    return ValidCode(code) ? LangText(kCodes[code].captionDe, kCodes[code].captionEn) : std::string();
}

std::string NameConditions::Template(int code) {
    return ValidCode(code) ? LangText(kCodes[code].templateDe, kCodes[code].templateEn) : std::string();
}

bool NameConditions::Complete(const Row& row) {
    return row.code >= 1 && ValidCode(row.code) && (!NeedsArg(row.code) || !row.arg.empty());
}

bool NameConditions::AllNumeric(const Rows& rows) {
    return std::all_of(rows.begin(), rows.end(), [](const Row& r) { return r.code <= 0 || NumArg(r.code); });
}

// --- one condition ----------------------------------------------------------------

void NameConditions::Prepare(Prepared& p, const Row& row) {
    p.code = Complete(row) ? row.code : 0;
    p.arg = Upper(row.arg);
    p.argFlex.Init(p.arg);
    FlexString sound(p.arg);
    sound.Soundex();
    p.argSound = sound.GetStr();
    p.num = GenMsg::NumberFieldValue(row.arg);
}

void NameConditions::LoadName(const atom* a) {
    name_ = Upper(a->Text());
    flexLoaded_ = false;
}

void NameConditions::PutMarks(const std::string& text, int pos) {
    for (std::size_t k = 0; k < text.size(); ++k) {
        const std::size_t at = static_cast<std::size_t>(pos) + k;
        if (pos >= 0 && at < marks_.size()) marks_[at] = text[k];
    }
}

void NameConditions::AddCountMark(int count) {
    if (!marks_.empty()) marks_ += '/';
    const std::string padded = " " + std::to_string(count);
    marks_ += padded.substr(padded.size() - 2);
}

bool NameConditions::MatchCond(const atom* a, int code, const std::string& upperArg, bool marksOn) {
    Prepared p;
    Prepare(p, Row{code, upperArg});
    p.code = code;
    LoadName(a);
    return Match(a, p, marksOn);
}

bool NameConditions::Match(const atom* a, const Prepared& p, bool marksOn) {
    const std::string& name = name_;
    const std::string& arg = p.arg;
    const int len = static_cast<int>(name.size());
    auto flex = [&]() -> FlexString& {
        if (!flexLoaded_) {
            nameFlex_.Init(name_);
            flexLoaded_ = true;
        }
        return nameFlex_;
    };
    switch (p.code) {
    case 1:
        if (name.compare(0, arg.size(), arg) != 0 || arg.size() > name.size()) return false;
        if (marksOn) PutMarks(arg, 0);
        return true;
    case 2:
        if (arg.size() > name.size() || name.compare(name.size() - arg.size(), arg.size(), arg) != 0) return false;
        if (marksOn) PutMarks(arg, len - static_cast<int>(arg.size()));
        return true;
    case 3: {
        const std::size_t at = name.find(arg);
        if (at == std::string::npos) return false;
        if (marksOn) PutMarks(arg, static_cast<int>(at));
        return true;
    }
    case 4: {
        const std::size_t first = name.find(arg);
        if (first == std::string::npos) return false;
        const std::size_t second = name.find(arg, first + (arg.size() == 1 ? 1 : 2));
        if (second == std::string::npos) return false;
        if (marksOn) {
            PutMarks(arg, static_cast<int>(first));
            PutMarks(arg, static_cast<int>(second));
        }
        return true;
    }
    case 5: return name.find(arg) == std::string::npos;
    case 6: return a->Soundex() == p.argSound;
    case 7: {
        const int limit = arg.size() < 5 ? 1 : 2;
        return flex().Distance(p.argFlex, limit) <= limit;
    }
    case 8: {
        bool found = false;
        std::string shown;
        flex().WildMatch(p.argFlex, found, shown);
        if (found && marksOn) marks_ = shown;
        return found;
    }
    case 9:
    case 10:
    case 11: {
        const bool hit = p.code == 9 ? len == p.num : p.code == 10 ? len >= p.num : len <= p.num;
        if (hit) AddCountMark(len);
        return hit;
    }
    case 12:
    case 13:
    case 14: {
        const int n = flex().NumSyllables();
        const bool hit = p.code == 12 ? n == p.num : p.code == 13 ? n >= p.num : n <= p.num;
        if (hit) AddCountMark(n);
        return hit;
    }
    case 15:
    case 16: {
        const auto& base = Parser::BaseTable();
        const bool accented = std::any_of(name.begin(), name.end(), [&](char c) {
            return base[static_cast<unsigned char>(c)] != static_cast<unsigned char>(c);
        });
        return p.code == 15 ? accented : !accented;
    }
    case 17: return std::equal(name.begin(), name.end(), name.rbegin());
    default: Errors::Assert(false, "Cond"); return false;
    }
}

// --- rows ---------------------------------------------------------------------------

void NameConditions::SetRows(const Rows& rows, bool andMode) {
    for (int i = 0; i < 3; ++i) Prepare(rows_[i], rows[static_cast<std::size_t>(i)]);
    andMode_ = andMode;
    allNumeric_ = AllNumeric(rows);
}

bool NameConditions::TakeA(const atom* a) {
    if (!a->isName()) return false;
    LoadName(a);
    if (allNumeric_)
        marks_.clear();
    else
        marks_.assign(name_.size(), '_');
    // Every row is evaluated, also once the value is settled, so that each
    // satisfied row writes its marks; an incomplete row is neutral.
    bool value = andMode_;
    for (const Prepared& p : rows_) {
        if (p.code == 0) continue;
        const bool hit = Match(a, p, true);
        value = andMode_ ? (value && hit) : (value || hit);
    }
    return value;
}

void NameConditions::Search(const Rows& rows, bool andMode, ResultSet& out) {
    SetRows(rows, andMode);
    const int32_t n = DataBase::numAtoms;
    for (int32_t i = 0; i < n; ++i) {
        const atom* a = DataBase::atomTab[static_cast<std::size_t>(i)];
        if (a == nullptr || !a->isName()) continue;
        if (TakeA(a)) out.AddResult(a->Text(), marks_, const_cast<atom*>(a));
    }
}

std::string NameConditions::Title(const Rows& rows, bool andMode) {
    std::string joined;
    for (const Row& r : rows) {
        if (r.code <= 0) continue;
        if (!joined.empty()) joined += " " + Connective(andMode) + " ";
        joined += Caption(r.code);
        if (!r.arg.empty()) joined += NumArg(r.code) ? " " + r.arg : " '" + r.arg + "'";
    }
    return " " + LangText("per Suche", "from search") + ": " + joined;
}

atom* NameConditions::SearchExample(const Row& row, ExampleRing& ring) {
    if (!Complete(row)) return nullptr;
    Prepared p;
    Prepare(p, row);
    const int32_t n = DataBase::numAtoms;
    for (int32_t i = 0; i < n; ++i) {
        atom* a = DataBase::atomTab[static_cast<std::size_t>(i)];
        if (a == nullptr || !a->isName()) continue;
        LoadName(a);
        marks_.clear();
        if (!Match(a, p, false)) continue;
        const std::string text = a->Text();
        if (ring.AlreadyUsed(text)) continue;
        ring.AddUsed(text);
        return a;
    }
    return nullptr;
}

}  // namespace Query
