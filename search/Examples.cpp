#include "Examples.h"

#include "Basic.h"
#include "Errors.h"
#include "FileOp.h"
#include "TextConstants.h"

namespace Examples {

std::function<void(const std::string&)> replayLine;
std::function<void(const std::string&)> showText;

namespace {

constexpr int kFileNum = 1;

struct Counter {
    std::string window;
    int next = 0;
};

std::vector<Counter>& Counters() {
    static std::vector<Counter> counters;
    return counters;
}

// exampleMode for the lifetime of a replay, also when a line throws.
class ModeScope {
public:
    ModeScope() { exampleMode = true; }
    ~ModeScope() { exampleMode = false; }
    ModeScope(const ModeScope&) = delete;
    ModeScope& operator=(const ModeScope&) = delete;
};

class FileCloser {
public:
    ~FileCloser() { FileOp::CloseFile("", kFileNum); }
};

}  // namespace

std::string FileName() { return TextConstants::EditionText("Orsa1Ex.txt", "Talv1Ex.txt"); }

Found SearchEx(const std::string& windowName, int n, Example& example) {
    example = Example{};
    std::string path;
    if (!FileOp::OpenFile(FileName(), "", kFileNum, "I",
                          TextConstants::LangText("Beispiel-Datei", "Examples File"), path))
        return Found::NoFile;
    FileCloser closer;
    FileOp::InputFile* in = FileOp::Input(kFileNum);
    if (!in) return Found::NoFile;

    std::string line;
    bool found = false;
    while (!found && in->ReadLine(line)) {
        if (line.empty() || line[0] != '*') continue;
        const std::size_t comma = line.find(',');
        if (comma == std::string::npos) {
            Errors::Assert(false, "SearchEx");
            continue;
        }
        found = line.substr(1, comma - 1) == windowName && Basic::Val(line.substr(comma + 1)) == n;
    }
    if (!found) return Found::NotThere;

    bool closed = false;
    while (in->ReadLine(line)) {
        if (line == ";") {
            closed = true;
            break;
        }
        example.lines.push_back(line);
    }
    if (!closed) {
        Errors::Assert(false, "SearchEx " + windowName + "," + std::to_string(n) + " ;");
        example = Example{};
        return Found::Broken;
    }
    while (in->ReadLine(line)) {
        if (!line.empty() && line[0] == '*') break;
        if (!example.explanation.empty()) example.explanation += "\r\n";
        example.explanation += line;
    }
    // Blank lines before the next example are no part of the explanation.
    while (example.explanation.size() >= 2 &&
           example.explanation.compare(example.explanation.size() - 2, 2, "\r\n") == 0)
        example.explanation.resize(example.explanation.size() - 2);
    return Found::Yes;
}

int GetWindowIndex(const std::string& windowName) {
    auto& counters = Counters();
    for (std::size_t i = 0; i < counters.size(); ++i)
        if (counters[i].window == windowName) return static_cast<int>(i);
    counters.push_back(Counter{windowName, 0});
    return static_cast<int>(counters.size()) - 1;
}

int NextExample(const std::string& windowName) { return Counters()[GetWindowIndex(windowName)].next; }

void ResetCounters() { Counters().clear(); }

void ReplayLines(const std::vector<std::string>& lines) {
    ModeScope mode;
    for (const std::string& line : lines)
        if (replayLine) replayLine(line);
}

void PlayExample(const std::string& windowName) {
    const int i = GetWindowIndex(windowName);
    const int k = Counters()[i].next;
    Counters()[i].next = k + 1;
    Example example;
    Found found = SearchEx(windowName, k, example);
    if (found == Found::NotThere && k > 0) {
        found = SearchEx(windowName, 0, example);
        Counters()[i].next = 1;
    }
    if (found != Found::Yes) return;
    ReplayLines(example.lines);
    if (showText) showText(example.explanation);
}

}  // namespace Examples
