#include "TextCompare.h"

#include <array>

namespace TextCompare {

namespace {

struct Tables {
    std::array<unsigned char, 256> upper{};
    std::array<unsigned char, 256> fold{};
};

// The letter tables of the program: a-z and the accented lower-case letters
// have upper-case partners 32 codes below them (ÿ has none in cp1252); the
// accented letters of both cases have base letters.
constexpr Tables MakeTables() {
    Tables t;
    std::array<unsigned char, 256> base{};
    for (int c = 0; c < 256; ++c) {
        t.upper[c] = static_cast<unsigned char>(c);
        base[c] = static_cast<unsigned char>(c);
    }
    for (int c = 'a'; c <= 'z'; ++c) t.upper[c] = static_cast<unsigned char>(c - 32);
    // ä à á â ã å ë è é ê ï ì í î ö ò ó ô õ ø ü ù ú û ñ ç ý
    constexpr unsigned char lowerAccented[] = {0xE4, 0xE0, 0xE1, 0xE2, 0xE3, 0xE5, 0xEB,
                                               0xE8, 0xE9, 0xEA, 0xEF, 0xEC, 0xED, 0xEE,
                                               0xF6, 0xF2, 0xF3, 0xF4, 0xF5, 0xF8, 0xFC,
                                               0xF9, 0xFA, 0xFB, 0xF1, 0xE7, 0xFD};
    for (unsigned char c : lowerAccented) t.upper[c] = static_cast<unsigned char>(c - 32);

    struct BaseRun {
        unsigned char letter;
        unsigned char codes[6];
        int n;
    };
    constexpr BaseRun runs[] = {
        {'a', {0xE4, 0xE0, 0xE1, 0xE2, 0xE3, 0xE5}, 6}, {'e', {0xEB, 0xE8, 0xE9, 0xEA}, 4},
        {'i', {0xEF, 0xEC, 0xED, 0xEE}, 4},             {'o', {0xF6, 0xF2, 0xF3, 0xF4, 0xF5, 0xF8}, 6},
        {'u', {0xFC, 0xF9, 0xFA, 0xFB}, 4},             {'n', {0xF1}, 1},
        {'c', {0xE7}, 1},                               {'y', {0xFD, 0xFF}, 2},
        {'A', {0xC4, 0xC0, 0xC1, 0xC2, 0xC3, 0xC5}, 6}, {'E', {0xCB, 0xC8, 0xC9, 0xCA}, 4},
        {'I', {0xCF, 0xCC, 0xCD, 0xCE}, 4},             {'O', {0xD6, 0xD2, 0xD3, 0xD4, 0xD5, 0xD8}, 6},
        {'U', {0xDC, 0xD9, 0xDA, 0xDB}, 4},             {'N', {0xD1}, 1},
        {'C', {0xC7}, 1},                               {'Y', {0xDD}, 1},
    };
    for (const auto& run : runs)
        for (int k = 0; k < run.n; ++k) base[run.codes[k]] = run.letter;

    // Upper case after the base letter as well, so that ÿ (which has no
    // upper-case partner) folds to Y like ý does.
    for (int c = 0; c < 256; ++c) t.fold[c] = t.upper[base[t.upper[c]]];
    return t;
}

constexpr Tables kTables = MakeTables();

// Compares two byte sequences given by accessors, first by the folded bytes,
// then (on a tie) by the upper-cased bytes.
template <typename At>
int CompareWith(std::size_t na, std::size_t nb, At at) {
    const std::size_t n = na < nb ? na : nb;
    int secondary = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char ca = at(0, i), cb = at(1, i);
        if (ca == cb) continue;
        const unsigned char fa = kTables.fold[ca], fb = kTables.fold[cb];
        if (fa != fb) return fa < fb ? -1 : 1;
        if (secondary == 0) {
            const unsigned char ua = kTables.upper[ca], ub = kTables.upper[cb];
            if (ua != ub) secondary = ua < ub ? -1 : 1;
        }
    }
    if (na != nb) return na < nb ? -1 : 1;
    return secondary;
}

}  // namespace

unsigned char UpperByte(unsigned char c) { return kTables.upper[c]; }
unsigned char FoldByte(unsigned char c) { return kTables.fold[c]; }

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
