#include "CountPhrase.h"

#include "Cp1252.h"
#include "ResultSet.h"
#include "TextConstants.h"

using TextConstants::LangText;

namespace Searches {

std::string CountPhrase(bool isGroup, int32_t n) {
    std::string s;
    if (n == 0)
        s = LangText(isGroup ? "Keine" : "Kein", "No");
    else
        s = std::to_string(n);
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
    if (s.empty()) s = LangText("Nichts", "Nothing");
    return s;
}

std::string WordCountText(int32_t n) {
    if (n == 0) return LangText("Kein Wort", "No word");
    if (n == 1) return LangText("1 Wort", "1 word");
    return std::to_string(n) + LangText(" Wörter"_cp, " words");
}

}  // namespace Searches
