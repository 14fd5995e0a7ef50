// Broken expectations of the letter code (a position outside a string, an
// unknown match method), reported through a hook this folder owns, so that the
// lowest folder needs nothing above it. The services install the program's
// assertion box and log as the hook; until then a report goes to stderr.
#pragma once

#include <string>

namespace TextChecks {

using Sink = void (*)(const std::string& text);

// Replaces the hook; nullptr brings back the stderr default.
void SetSink(Sink sink);

// Reports `text` through the hook when `cond` is false, and carries on.
void Expect(bool cond, const std::string& text);

}  // namespace TextChecks
