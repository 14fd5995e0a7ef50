#include "TextConstants.h"

#include <cstdlib>

#include "Cp1252.h"

namespace TextConstants {

int textLanguage = 0;
int edition = 0;

std::vector<std::string> Texts(kTextCount);

std::string LangText(const std::string& german, const std::string& english) {
    return textLanguage != 0 ? english : german;
}

std::string EditionText(const std::string& german, const std::string& english) {
    return edition != 0 ? english : german;
}

const std::string& Text(int i) {
    static const std::string empty;
    if (i < 0 || static_cast<std::size_t>(i) >= Texts.size()) return empty;
    return Texts[static_cast<std::size_t>(i)];
}

namespace {

// One row per index: the German text (cp1252) and the English one.
struct TextPair {
    std::string german;
    std::string english;
};

const std::vector<TextPair>& Table() {
    static const std::vector<TextPair> table{
        {"Wörter"_cp, "Words"},
        {"Angaben zur Herkunft", "Info about origin"},
        {"Sprache der Herkunft", "Language of origin"},
        {"Varianten", "Variants"},
        {"Alte/ursprüngliche Formen"_cp, "Old/original forms"},
        {"Heilige", "Saints"},
        {"Gruppe", "Group"},
        {"Männliche Form"_cp, "Male form"},
        {"Weibliche Form", "Female form"},
        {"Name", "Name"},
        {"Geschlecht", "Gender"},
        {"Sprachen des Gebrauchs", "Languages of use"},
        {"Gehört zur Gruppe"_cp, "Belongs to group"},
        {"Weitere Informationen", "Further info"},
        {"Hat eine Beziehung zu", "Is related to"},
        {"Kurzform von", "Short form of"},
        {"Koseform von", "Pet form of"},
        {"Themengebiete der Herkunft", "Topics of origin"},
        {"Bedeutung/Übersetzung"_cp, "Meaning/translation"},
        {"Schreibvariante von", "Spelling variant of"},
        {"Schreibvarianten", "Spelling variants"},
        {"Koseformen", "Pet forms"},
        {"Kurzformen", "Short forms"},
        {"Hitparaden", "Hitparades"},
        {"Beschreibung", "Description"},
        {"Geboren in", "Born in"},
        {"Geburtsjahr", "Year of birth"},
        {"Todesjahr", "Year of death"},
        {"Gedenktag", "Saint's day"},
        {"Zugehöriger Vorname"_cp, "Corresponding name"},
        {"männlich"_cp, "male"},
        {"weiblich", "female"},
        {"Tag", "day"},
        {"Differenz", "difference"},
        {"Angaben zur männlichen Form"_cp, "Info for male form"},
        {"Angaben zur weiblichen Form", "Info for female form"},
        {"Angaben zu", "Info for"},
        {"selbst", "itself"},
        {"Beispiel", "Example"},
        {"für"_cp, "for"},
        {"Kein Name gefunden für"_cp, "No name found for"},
        {"mit", "with"},
        {"und", "and"},
        {"oder", "or"},
        {"per Suche", "from search"},
        {"unbekannt", "unknown"},
    };
    return table;
}

void Fill(bool english) {
    Texts.assign(kTextCount, std::string());
    const auto& table = Table();
    for (std::size_t i = 0; i < table.size() && i < Texts.size(); ++i)
        Texts[i] = english ? table[i].english : table[i].german;
}

}  // namespace

void LoadEnglishTexts() { Fill(true); }
void LoadGermanTexts() { Fill(false); }

void LoadTexts() {
    if (textLanguage != 0)
        LoadEnglishTexts();
    else
        LoadGermanTexts();
}

std::string OrdinalSuffix(int n) {
    int last2 = std::abs(n % 100);
    if (last2 >= 11 && last2 <= 13) return "th";
    switch (last2 % 10) {
        case 1: return "st";
        case 2: return "nd";
        case 3: return "rd";
        default: return "th";
    }
}

}  // namespace TextConstants
