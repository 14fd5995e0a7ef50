// The one text comparison of the program's list logic ("text comparison").
//
// Lists sort and compare display texts without regard to case, as a reader
// expects, and deterministically on every machine: the comparison works on
// the cp1252 bytes through the program's own letter tables (upper case, then
// the accent-free base letter), never through the machine's locale.
//
//   primary   the texts upper-cased and stripped of accents, byte by byte:
//             "anna" = "ANNA", "Zoë" sorts with "ZOE"
//   secondary when the primary keys are equal: upper-cased with accents
//             kept, so "Ana" < "Aña" and the two are not equal
//
// Two texts are equal exactly when they differ in case alone. A text that is
// a prefix of another sorts first. Every other byte (digits, blanks, hyphens,
// ß, æ ...) compares by its code.
#pragma once

#include <string_view>

namespace TextCompare {

// The letter tables' upper case of one byte (a-z and the accented letters).
unsigned char UpperByte(unsigned char c);
// Upper case, then the base letter without accent.
unsigned char FoldByte(unsigned char c);

// < 0, 0 or > 0 as a sorts before, with or after b.
int Compare(std::string_view a, std::string_view b);
// The same comparison applied to both texts read from their last character
// to their first (the texts reversed), without building the reversed texts.
int CompareReversed(std::string_view a, std::string_view b);

inline bool Equal(std::string_view a, std::string_view b) { return Compare(a, b) == 0; }
inline bool Greater(std::string_view a, std::string_view b) { return Compare(a, b) > 0; }
inline bool Less(std::string_view a, std::string_view b) { return Compare(a, b) < 0; }

// Comparison by plain character codes (unsigned bytes), for the orders that
// the program compares "binary".
int CompareBinary(std::string_view a, std::string_view b);

}  // namespace TextCompare
