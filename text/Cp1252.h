// Code page 1252 <-> Unicode.
//
// Inside the program every text is a std::string of cp1252 bytes. This file is
// the one table that maps those bytes to Unicode and back. It is plain C++ so
// that the core (for its German literals), the database compiler and the Qt
// layer all share it; only platform/ and tools/ convert texts that cross the
// program's edge.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace Cp1252 {

// The Unicode code point of one cp1252 byte. The five bytes cp1252 leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 control of the same
// value, so every byte survives a round trip.
char32_t ToUnicode(unsigned char byte);

// The cp1252 byte of a code point, or nothing when cp1252 has none.
std::optional<unsigned char> FromUnicode(char32_t cp);

// UTF-8 -> cp1252. Characters without a cp1252 byte (and malformed UTF-8) are
// replaced by `replacement`; `ok`, when given, turns false if that happened.
// Decoding is strict: an overlong form ("\xC0\xAE" for "."), a surrogate or
// a code point past U+10FFFF is malformed, one replacement per byte.
std::string FromUtf8(std::string_view utf8, char replacement = '?', bool* ok = nullptr);

// cp1252 -> UTF-8.
std::string ToUtf8(std::string_view cp1252);

}  // namespace Cp1252

// A UTF-8 literal of the source as the cp1252 text the core works with:
// "Wörter"_cp is 6 bytes. Used for the German texts of the tables.
std::string operator""_cp(const char* utf8, std::size_t len);
// The same for a UTF-8 text the source keeps in a table or passes along:
// Cp(row.german) where "..."_cp cannot be written.
inline std::string Cp(std::string_view utf8) { return Cp1252::FromUtf8(utf8); }
