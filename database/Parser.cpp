#include "Parser.h"

#include "Basic.h"

namespace Parser {

std::string MakeSoundKey(const std::string& s) { return Basic::UpperAscii(s); }
std::string MakeUpperKey(const std::string& s) { return Basic::UpperAscii(s); }

}  // namespace Parser
