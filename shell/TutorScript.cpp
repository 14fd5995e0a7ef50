#include "TutorScript.h"

namespace {

// A line with nothing but blanks on it counts as empty.
bool Blank(const std::string& line) { return line.find_first_not_of(" \t") == std::string::npos; }

}  // namespace

bool TutorScript::HasMore() const {
    for (std::size_t i = pos_; i < lines_.size(); ++i)
        if (!Blank(lines_[i])) return true;
    return false;
}

std::vector<TutorScript::Line> TutorScript::Block(const char* end) {
    std::vector<Line> block;
    while (pos_ < lines_.size()) {
        const std::string& line = lines_[pos_++];
        if (line == end) break;
        if (!Blank(line)) block.push_back(Line{pos_, line});
    }
    return block;
}

std::vector<std::string> TutorScript::NextText() {
    std::vector<std::string> text;
    for (Line& line : Block(":")) text.push_back(std::move(line.text));
    return text;
}

std::vector<TutorScript::Line> TutorScript::NextScript() { return Block(";"); }

std::string TutorScript::Join(const std::vector<std::string>& pieces) {
    std::string text;
    for (const std::string& p : pieces) {
        if (!text.empty()) text += ' ';
        text += p;
    }
    return text;
}
