#include "ScriptFile.h"

#include <algorithm>

#include "Errors.h"
#include "FileOp.h"
#include "GenMsg.h"
#include "TextConstants.h"

namespace ScriptFile {

namespace {

// What of a bad line the message shows: enough to find it in an editor.
constexpr std::size_t kShownChars = 60;

std::string Shown(const std::string& line) {
    std::string s = line.substr(0, kShownChars);
    for (char& c : s)
        if (static_cast<unsigned char>(c) < 0x20 || c == '\x7f') c = ' ';
    if (line.size() > kShownChars) s += "...";
    return s;
}

}  // namespace

int ReadLines(FileOp::InputFile& in, std::size_t maxLines, Text& text) {
    text = Text{};
    // One byte past the limit tells whether the file goes on.
    std::string bytes;
    char chunk[1 << 14];
    while (bytes.size() <= kMaxBytes) {
        std::size_t n = in.Read(chunk, std::min(sizeof chunk, kMaxBytes + 1 - bytes.size()));
        if (n == 0) break;
        bytes.append(chunk, n);
    }
    if (bytes.size() > kMaxBytes) {
        // The line cut by the limit is no line of the file.
        text.complete = false;
        bytes.resize(kMaxBytes);
        std::size_t end = bytes.find_last_of("\r\n");
        bytes.resize(end == std::string::npos ? 0 : end + 1);
    }
    std::string line;
    bool open = false;  // a line has begun and not ended
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (text.lines.size() == maxLines) {
            text.complete = false;
            return in.Error();
        }
        char c = bytes[i];
        if (c != '\r' && c != '\n') {
            line += c;
            open = true;
            continue;
        }
        if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        text.lines.push_back(std::move(line));
        line.clear();
        open = false;
    }
    if (open) text.lines.push_back(std::move(line));
    return in.Error();
}

void BadLines::Add(std::size_t lineNo, const std::string& line, const std::string& what) {
    if (!numbers_.insert(lineNo).second) return;
    if (lineNo == *numbers_.begin()) firstLine_ = line;
    Errors::LogEntry("ScriptFile", "BadLine",
                     path_ + " " + std::to_string(lineNo) + ": " + what + " | " + Shown(line));
}

std::string BadLines::Where() const {
    if (numbers_.empty()) return path_;
    std::string where = path_ + TextConstants::LangText(", Zeile ", ", line ") + std::to_string(*numbers_.begin());
    if (!firstLine_.empty()) where += ": " + Shown(firstLine_);
    return where;
}

void BadLines::Report() {
    if (reported_ || numbers_.empty()) return;
    reported_ = true;
    GenMsg::ShowMsg(GenMsg::GMscriptDamaged, GenMsg::kExclamation, Where());
}

}  // namespace ScriptFile
