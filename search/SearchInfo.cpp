#include "SearchInfo.h"

#include "Parser.h"

void searchInfo::Init() {
    terms.clear();
    modes.clear();
}

void searchInfo::SetInfo(const std::string& term, int mode) {
    terms.push_back(term);
    modes.push_back(mode);
}

void searchInfo::Mark(std::string& text) const {
    // One pass from left to right instead of recursing on the rest: a long
    // description with many hits cannot exhaust the stack, and an empty term
    // (which would "match" without consuming anything) is never used.
    std::string out;
    std::string rest = text;
    for (;;) {
        bool found = false;
        int pos = 0;
        size_t len = 0;
        for (size_t i = 0; i < terms.size() && !found; ++i) {
            if (terms[i].empty()) continue;
            Parser::Match(rest, terms[i], modes[i], found, pos);
            if (found) len = terms[i].size();
        }
        if (!found || pos < 0 || static_cast<size_t>(pos) + len > rest.size()) break;
        // Matching without case works on the letter tables one byte for one
        // byte, so the hit has the term's length and keeps its own case.
        out.append(rest, 0, static_cast<size_t>(pos));
        out += "<b>";
        out.append(rest, static_cast<size_t>(pos), len);
        out += "</b>";
        rest.erase(0, static_cast<size_t>(pos) + len);
    }
    if (out.empty()) return;  // nothing found: text stays as it is
    text = out + rest;
}
