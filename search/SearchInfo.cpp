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
    // One pass from left to right: at each step the hit nearest to the start
    // of the rest is marked (on a tie the term added first), so that no term
    // standing before another term's hit is lost. An empty term (which would
    // "match" without consuming anything) is never used.
    std::vector<Parser::Matcher> matchers;
    std::vector<std::size_t> lengths;
    for (std::size_t i = 0; i < terms.size(); ++i) {
        if (terms[i].empty()) continue;
        matchers.emplace_back(terms[i], modes[i]);
        lengths.push_back(terms[i].size());
    }
    std::string out;
    std::string_view rest = text;
    bool any = false;
    for (;;) {
        int best = -1;
        std::size_t len = 0;
        for (std::size_t i = 0; i < matchers.size(); ++i) {
            const int pos = matchers[i].Find(rest);
            if (pos >= 0 && (best < 0 || pos < best)) {
                best = pos;
                len = lengths[i];
            }
        }
        if (best < 0 || static_cast<std::size_t>(best) + len > rest.size()) break;
        // Matching without case works on the letter tables one byte for one
        // byte, so the hit has the term's length and keeps its own case.
        const auto at = static_cast<std::size_t>(best);
        out.append(rest.substr(0, at));
        out += "<b>";
        out.append(rest.substr(at, len));
        out += "</b>";
        rest.remove_prefix(at + len);
        any = true;
    }
    if (!any) return;  // nothing found: text stays as it is
    out.append(rest);
    text = std::move(out);
}
