#include "Fakes.h"

#include "TextConstants.h"

std::vector<std::string> FakeServices::TakeAsserts() {
    std::vector<std::string> out;
    out.swap(asserts.prompts);
    return out;
}

void FakeServices::Reset() {
    asserts.prompts.clear();
    clock = FakeClock{};
    random.script.clear();
    shell = RecordingShell{};
    help = RecordingHelp{};
    printing = RecordingPrinting{};
    Services::Set set;
    set.assertSink = &asserts;
    set.clock = &clock;
    set.random = &random;
    set.shell = &shell;
    set.help = &help;
    set.printing = &printing;
    Services::Install(set);
    // Every test starts in the German text language of the German edition,
    // as the program does before its options are read.
    TextConstants::textLanguage = 0;
    TextConstants::edition = 0;
}

FakeServices& Fakes() {
    static FakeServices fakes;
    return fakes;
}

std::string SourcePath(const std::string& relative) { return std::string(SOURCE_DIR) + "/" + relative; }
std::string BinaryPath(const std::string& relative) { return std::string(BINARY_DIR) + "/" + relative; }
