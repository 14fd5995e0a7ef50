// What the three query windows (letters, languages, full text) share below
// their frame: a condition row as data, the connective, and the ring of
// example names that keeps successive explanations from showing the same
// name again.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace Query {

// One condition row: the code chosen in its condition box (0 = undefined, the
// row takes no part) and its argument as typed (Lang: the language's item
// data as decimal text, "" for none).
struct Row {
    int code = 0;
    std::string arg;
};
using Rows = std::array<Row, 3>;

// The connectives "and" / "or" (German "und" / "oder") of the text language.
std::string AndWord();
std::string OrWord();
std::string Connective(bool andMode);

// The names already shown as examples: up to 50; adding the 51st empties the
// ring instead of storing it, so the ring starts over.
class ExampleRing {
public:
    static constexpr int kSize = 50;
    bool AlreadyUsed(const std::string& text) const;
    void AddUsed(const std::string& text);
    int count() const { return static_cast<int>(names_.size()); }
    void Clear() { names_.clear(); }

private:
    std::vector<std::string> names_;
};

}  // namespace Query
