#include "TextChecks.h"

#include <cstdio>

namespace TextChecks {
namespace {

void ToStderr(const std::string& text) {
    std::fprintf(stderr, "*** Assert: *** %s\n", text.c_str());
}

Sink& Installed() {
    static Sink sink = &ToStderr;
    return sink;
}

}  // namespace

void SetSink(Sink sink) { Installed() = sink ? sink : &ToStderr; }

void Expect(bool cond, const std::string& text) {
    if (!cond) Installed()(text);
}

}  // namespace TextChecks
