#include "Examples.h"

#include "Basic.h"
#include "FileOp.h"
#include "GenMsg.h"
#include "TextConstants.h"

namespace Examples {

std::function<std::string(const std::string&)> replayLine;
std::function<void(const std::string&)> showText;

namespace {

constexpr int kFileNum = 1;
// An examples file is read up to this many lines.
constexpr std::size_t kMaxLines = 20000;

// Whether this run has told of a damaged examples file.
bool damageReported = false;

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

Found SearchEx(const std::string& windowName, int n, Example& example, ScriptFile::BadLines& bad) {
    example = Example{};
    std::string path;
    if (!FileOp::OpenFile(FileName(), "", kFileNum, "I",
                          TextConstants::LangText("Beispiel-Datei", "Examples File"), path))
        return Found::NoFile;
    ScriptFile::Text text;
    {
        FileCloser closer;
        FileOp::InputFile* in = FileOp::Input(kFileNum);
        if (!in) return Found::NoFile;
        if (int err = ScriptFile::ReadLines(*in, kMaxLines, text)) {
            bool retry = false;
            GenMsg::ShowDiskError(path, false, retry, err);
        }
    }
    if (bad.Path() != path) bad = ScriptFile::BadLines(path);
    if (!text.complete) bad.Add(text.lines.size() + 1, "", "past the length an examples file is read to");
    const std::vector<std::string>& lines = text.lines;

    std::size_t at = 0, header = 0;
    bool found = false;
    while (!found && at < lines.size()) {
        const std::string& line = lines[at++];
        if (line.empty() || line[0] != '*') continue;
        const std::size_t comma = line.find(',');
        if (comma == std::string::npos) {
            bad.Add(at, line, "SearchEx");
            continue;
        }
        found = line.substr(1, comma - 1) == windowName && Basic::Val(line.substr(comma + 1)) == n;
        header = at;
    }
    if (!found) return Found::NotThere;

    example.firstLine = at + 1;
    bool closed = false;
    while (at < lines.size()) {
        const std::string& line = lines[at++];
        if (line == ";") {
            closed = true;
            break;
        }
        example.lines.push_back(line);
    }
    if (!closed) {
        bad.Add(header, lines[header - 1], "SearchEx " + windowName + "," + std::to_string(n) + " ;");
        example = Example{};
        return Found::Broken;
    }
    while (at < lines.size()) {
        const std::string& line = lines[at++];
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

void ResetCounters() {
    Counters().clear();
    damageReported = false;
}

void ReplayLines(const Example& example, ScriptFile::BadLines& bad) {
    ModeScope mode;
    if (!replayLine) return;
    for (std::size_t i = 0; i < example.lines.size(); ++i) {
        const std::string problem = replayLine(example.lines[i]);
        if (!problem.empty()) bad.Add(example.firstLine + i, example.lines[i], problem);
    }
}

void PlayExample(const std::string& windowName) {
    const int i = GetWindowIndex(windowName);
    const int k = Counters()[i].next;
    Counters()[i].next = k + 1;
    Example example;
    ScriptFile::BadLines bad;
    Found found = SearchEx(windowName, k, example, bad);
    if (found == Found::NotThere && k > 0) {
        found = SearchEx(windowName, 0, example, bad);
        Counters()[i].next = 1;
    }
    if (found == Found::Yes) ReplayLines(example, bad);
    // The file's damage is told once a run: every press would meet it again.
    if (bad.Any() && !damageReported) {
        damageReported = true;
        bad.Report();
    }
    if (found == Found::Yes && showText) showText(example.explanation);
}

}  // namespace Examples
