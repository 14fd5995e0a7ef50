// Letter logic on cp1252 texts: keys for lookups.
#pragma once

#include <string>

namespace Parser {

// The sound key of a text (names that sound alike share it).
std::string MakeSoundKey(const std::string& s);
// The text upper-cased with accents folded, for sorting and exact lookups.
std::string MakeUpperKey(const std::string& s);

}  // namespace Parser
