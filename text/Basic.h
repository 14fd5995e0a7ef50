// Small helpers with the exact semantics the program's logic is written in:
// 1-based string positions, the leading-number reading of texts, rounding of
// halves to the even number, and the decimal text with its sign blank.
// Texts are cp1252 byte strings; nothing here looks at the machine's locale.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace Basic {

// "None" for 16-bit ids, indexes, kinds and counts.
constexpr int kNone = 31999;

// The leading decimal number of s: leading blanks and tabs skipped, an
// optional sign, digits with at most one decimal point; 0 when there is none.
// "12abc" -> 12, "7.5" -> 7.5, "abc" -> 0, " -3" -> -3.
double Val(std::string_view s);

// x rounded to the nearest integer, halves to the even one (6.5 -> 6, 7.5 -> 8),
// saturated to the 32-bit range.
int32_t CLng(double x);

// The decimal text of n with a leading blank when n is not negative: " 5", "-5".
std::string Str(long long n);

// Left(s, n), Right(s, n), Mid(s, start[, n]) with 1-based positions; out of
// range arguments give what fits (never throw).
std::string Left(std::string_view s, long long n);
std::string Right(std::string_view s, long long n);
std::string Mid(std::string_view s, long long start, long long n = -1);

// Position (1-based) of `what` in `s` from `start` (1-based), 0 when absent.
// An empty `what` is found at `start` when start <= Len(s) + 1.
long long InStr(long long start, std::string_view s, std::string_view what);
inline long long InStr(std::string_view s, std::string_view what) { return InStr(1, s, what); }

// Byte-wise equality without case for ASCII letters only (internal names,
// section names, file-format keywords).
bool EqualsNoCaseAscii(std::string_view a, std::string_view b);
std::string UpperAscii(std::string_view s);

}  // namespace Basic
