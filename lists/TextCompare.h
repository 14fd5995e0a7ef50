// The text comparison of the lists ("text comparison"): the database's one
// locale-free comparison of cp1252 texts, which the database's own sorts use
// too, so that a list and the database never disagree about an order.
//
//   primary   the texts without accents and without case, byte by byte:
//             "anna" = "ANNA", "Zoë" sorts with "ZOE"
//   secondary when the primary keys are equal: without case, accents kept,
//             so "Ana" < "Aña" and the two are not equal
//
// Two texts are equal exactly when they differ in case alone. A text that is
// a prefix of another sorts first. Other bytes (digits, blanks, hyphens, ß)
// compare by their codes.
#pragma once

#include <string_view>

namespace TextCompare {

// < 0, 0 or > 0 as a sorts before, with or after b.
int Compare(std::string_view a, std::string_view b);
// The same comparison applied to both texts read from their last character
// to their first (the texts reversed).
int CompareReversed(std::string_view a, std::string_view b);

inline bool Equal(std::string_view a, std::string_view b) { return Compare(a, b) == 0; }
inline bool Greater(std::string_view a, std::string_view b) { return Compare(a, b) > 0; }
inline bool Less(std::string_view a, std::string_view b) { return Compare(a, b) < 0; }

// Comparison by plain character codes (unsigned bytes), for the orders that
// the program compares "binary".
int CompareBinary(std::string_view a, std::string_view b);

}  // namespace TextCompare
