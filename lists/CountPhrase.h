// Count phrases of names, groups and words for titles, captions and the log:
// "12 names+3 groups", "1 group", "Nothing"; German "Keine Gruppe", "3 Wörter".
#pragma once

#include <cstdint>
#include <string>

class ResultSet;

namespace Searches {

// The number (a word for 0), the noun and the plural ending.
std::string CountPhrase(bool isGroup, int32_t n);
// The names and groups of a list: "12 names+3 groups"; "Nothing" when it has
// neither.
std::string ResultSizeText(const ResultSet& rs);
std::string WordCountText(int32_t n);

}  // namespace Searches
