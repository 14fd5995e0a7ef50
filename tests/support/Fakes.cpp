#include "Fakes.h"

#include "FileOp.h"
#include "GenMsg.h"
#include "LowLevel.h"
#include "Options.h"
#include "TextConstants.h"

std::vector<std::string> FakeServices::TakeAsserts() {
    std::vector<std::string> out;
    out.swap(asserts.prompts);
    return out;
}

std::vector<Services::Message> FakeServices::TakeMessages() {
    std::vector<Services::Message> out;
    out.swap(messages.shown);
    return out;
}

std::vector<int> FakeServices::TakeMessageNumbers() {
    std::vector<int> out;
    for (const auto& m : TakeMessages()) out.push_back(m.number);
    return out;
}

void FakeServices::Answer(std::initializer_list<bool> yesNo) {
    messages.answers.insert(messages.answers.end(), yesNo.begin(), yesNo.end());
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
    messages = ScriptedMessages{};
    settings.Clear();
    dialogs = ScriptedDialogs{};
    busy = CountingBusyCursor{};
    progress = RecordingProgress{};
    events = CountingEvents{};
    set.messages = &messages;
    set.settings = &settings;
    set.fileDialogs = &dialogs;
    set.busyCursor = &busy;
    set.progress = &progress;
    set.events = &events;

    set.shell = &shell;
    set.help = &help;
    set.printing = &printing;
    Services::Install(set);
    // Messages follow the text language of the moment; files, faults and the
    // options start afresh, with a documents folder that is the same on
    // every machine.
    GenMsg::MsgTable.clear();
    FileOp::CloseAllFiles();
    FileOp::TestFaults() = FileOp::Faults{};
    FileOp::ProgramFolder.clear();
    FileOp::SetListFileFormat(nullptr);
    LowLevel::DocumentsFolder = [](std::string& f) { return f = "/home/user/Documents", true; };
    Options::RegBaseKey = Options::BaseKeyFor(0);
    Options::SetDefaults();
    Options::InitColors();
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
