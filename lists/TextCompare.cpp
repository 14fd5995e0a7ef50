#include "TextCompare.h"

#include <array>

#include "Parser.h"

namespace TextCompare {

namespace {

struct Tables {
    std::array<unsigned char, 256> upper{};
    std::array<unsigned char, 256> fold{};
};

// Built once from the letter tables: upper case, and upper case of the base
// letter (upper case after the base letter too, so that ÿ, which has no
// upper-case partner, folds to Y like ý does).
const Tables& TheTables() {
    static const Tables tables = [] {
        Tables t;
        for (int c = 0; c < 256; ++c) {
            const int up = Parser::ToUpper(c);
            t.upper[c] = static_cast<unsigned char>(up);
            t.fold[c] = static_cast<unsigned char>(Parser::ToUpper(Parser::ToBase(up)));
        }
        return t;
    }();
    return tables;
}

// Compares two byte sequences given by an accessor, first by the folded
// bytes, then (on a tie) by the upper-cased bytes.
template <typename At>
int CompareWith(std::size_t na, std::size_t nb, At at) {
    const Tables& t = TheTables();
    const std::size_t n = na < nb ? na : nb;
    int secondary = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char ca = at(0, i), cb = at(1, i);
        if (ca == cb) continue;
        const unsigned char fa = t.fold[ca], fb = t.fold[cb];
        if (fa != fb) return fa < fb ? -1 : 1;
        if (secondary == 0) {
            const unsigned char ua = t.upper[ca], ub = t.upper[cb];
            if (ua != ub) secondary = ua < ub ? -1 : 1;
        }
    }
    if (na != nb) return na < nb ? -1 : 1;
    return secondary;
}

}  // namespace

unsigned char UpperByte(unsigned char c) { return TheTables().upper[c]; }
unsigned char FoldByte(unsigned char c) { return TheTables().fold[c]; }

int Compare(std::string_view a, std::string_view b) {
    return CompareWith(a.size(), b.size(), [&](int which, std::size_t i) {
        return static_cast<unsigned char>(which == 0 ? a[i] : b[i]);
    });
}

int CompareReversed(std::string_view a, std::string_view b) {
    return CompareWith(a.size(), b.size(), [&](int which, std::size_t i) {
        return static_cast<unsigned char>(which == 0 ? a[a.size() - 1 - i] : b[b.size() - 1 - i]);
    });
}

int CompareBinary(std::string_view a, std::string_view b) {
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char ca = static_cast<unsigned char>(a[i]), cb = static_cast<unsigned char>(b[i]);
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    return 0;
}

}  // namespace TextCompare
