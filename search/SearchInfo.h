// The terms of a full-text search with their match modes. The list that the
// search makes carries it, and the description builder uses it to put the
// hits in bold.
#pragma once

#include <string>
#include <vector>

class searchInfo {
public:
    // Forgets every term.
    void Init();
    // Adds a term with its Parser::Match mode (0 substring ignoring case,
    // 1 whole word ignoring case, 2 substring, 3 whole word).
    void SetInfo(const std::string& term, int mode);
    // Puts "<b>" and "</b>" round the hits in text. Scanning goes left to
    // right: at each step the hit of any term that comes first in the rest
    // of the text is marked (on a tie the term added first), and the search
    // goes on after that hit. Empty terms are passed over.
    // "lily and rose" with the terms rose, lily: "<b>lily</b> and <b>rose</b>".
    void Mark(std::string& text) const;

    int count() const { return static_cast<int>(terms.size()); }
    const std::string& term(int i) const { return terms.at(static_cast<size_t>(i)); }
    int mode(int i) const { return modes.at(static_cast<size_t>(i)); }

private:
    std::vector<std::string> terms;
    std::vector<int> modes;
};
