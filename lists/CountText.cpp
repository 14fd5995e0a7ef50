#include "CountText.h"

#include "ResultSet.h"
#include "TextConstants.h"

namespace CountText {

std::string CountPhrase(bool isGroup, long n) {
    using TextConstants::LangText;
    std::string s = n == 0 ? LangText(isGroup ? "Keine" : "Kein", "No") : std::to_string(n);
    s += isGroup ? LangText(" Gruppe", " group") : LangText(" Name", " name");
    if (n > 1) s += LangText("n", "s");
    return s;
}

std::string ResultSizeText(const ResultSet& rs) {
    std::string s;
    if (rs.NumNames() > 0) s = CountPhrase(false, rs.NumNames());
    if (rs.numGenNames() > 0) {
        if (!s.empty()) s += "+";
        s += CountPhrase(true, rs.numGenNames());
    }
    if (s.empty()) s = TextConstants::LangText("Nichts", "Nothing");
    return s;
}

std::string WordCountText(long n) {
    using TextConstants::LangText;
    if (n == 0) return LangText("Kein Wort", "No word");
    if (n == 1) return LangText("1 Wort", "1 word");
    return std::to_string(n) + LangText(" W\xF6rter", " words");
}

}  // namespace CountText
