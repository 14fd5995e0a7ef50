// The program's script files, the tutorials and the examples files: read
// within limits, so that a huge file or one that never ends costs no more
// than a large one, and checked as they are played, so that a damaged file
// gives one message that names it and its first bad line, with every bad
// line in the log, instead of one assertion box per line.
#pragma once

#include <cstddef>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace FileOp {
class InputFile;
}

namespace ScriptFile {

// Far above what a script file of the program holds (a few kilobytes); what
// a file holds past it is not read.
constexpr std::size_t kMaxBytes = 1 << 20;

// The lines of a script file as read, with their ends removed (CR LF, LF
// or CR, as InputFile::ReadLine takes them).
struct Text {
    std::vector<std::string> lines;
    // False when the file goes on past maxLines lines or kMaxBytes bytes;
    // lines holds the whole lines before that point.
    bool complete = true;
};

// Reads the file open as in from its start. 0, or the error number of a
// read that failed (text holds what came before it).
//   "a\r\nb\n\nc" gives "a", "b", "", "c"; with maxLines 2: "a", "b" and
//   complete False.
int ReadLines(FileOp::InputFile& in, std::size_t maxLines, Text& text);

// The bad lines of one script file met in one go (a tutorial from its start
// to its end, one press of an Example button). Every one is logged; the
// message names the one with the lowest number.
class BadLines {
public:
    BadLines() = default;
    explicit BadLines(std::string path) : path_(std::move(path)) {}

    // Line numbers count from 1; what says what is wrong (the script
    // engine's text). A line met again is not logged again.
    void Add(std::size_t lineNo, const std::string& line, const std::string& what);
    bool Any() const { return !numbers_.empty(); }
    const std::string& Path() const { return path_; }
    // Shows the message about the first bad line: once, and only when there
    // is one.
    void Report();
    // The message's argument: the file, the line's number and the line,
    // shortened and without control characters.
    std::string Where() const;

private:
    std::string path_;
    std::set<std::size_t> numbers_;
    std::string firstLine_;
    bool reported_ = false;
};

}  // namespace ScriptFile
