// A tutorial file as steps: a text block ended by a line ":", then, when
// more steps follow, a script block ended by a line ";".
//
//   Type a name into the <b>name box</b>.        text of step 1
//   :
//   SingleName SHOW                              script run by Next
//   ;
//   The window shows the name.                   text of step 2
//   :
//
// Empty lines are skipped and never make a step; a file that ends inside a
// block ends that block there, and a script block with no text after it is
// run by the last Next.
#pragma once

#include <string>
#include <vector>

class TutorScript {
public:
    TutorScript() = default;
    explicit TutorScript(std::vector<std::string> lines) : lines_(std::move(lines)) {}

    // A line of the file and its number (from 1).
    struct Line {
        std::size_t number;
        std::string text;
        bool operator==(const Line&) const = default;
    };

    // Whether a line with something on it is left.
    bool HasMore() const;
    // The non-empty lines of the next text block (its ":" consumed).
    std::vector<std::string> NextText();
    // The same with their numbers.
    std::vector<Line> NextTextLines() { return Block(":"); }
    // The non-empty lines of the next script block (its ";" consumed).
    std::vector<Line> NextScript();
    // The pieces of a text block as one paragraph: joined by one space.
    //   {"Hello", "<b>world</b>"} gives "Hello <b>world</b>".
    static std::string Join(const std::vector<std::string>& pieces);

    std::size_t Position() const { return pos_; }
    std::size_t LineCount() const { return lines_.size(); }

private:
    std::vector<Line> Block(const char* end);
    std::vector<std::string> lines_;
    std::size_t pos_ = 0;
};
