#include "FlexString.h"

#include <algorithm>
#include <cstdlib>

#include "TextChecks.h"
#include "Parser.h"

namespace {

constexpr int kBlank = 32;
constexpr int kDiphthongBase = 1000;
constexpr int kLetterGroupBase = 2000;

int Code(char c) { return static_cast<unsigned char>(c); }

// First position >= from at which `what` stands in codes[0, n), or -1.
int FindFrom(const int* codes, int n, const int* what, int len, int from) {
    if (len <= 0) return -1;
    const int* end = codes + n;
    const int* hit = std::search(codes + std::max(from, 0), end, what, what + len);
    return hit == end ? -1 : static_cast<int>(hit - codes);
}

// Whether the pattern codes [p, p + len) match the text at t ("?" matches any
// character); the caller keeps t + len within the text.
bool SegmentAt(const int* text, int t, const int* pat, int p, int len) {
    for (int q = 0; q < len; ++q)
        if (pat[p + q] != '?' && pat[p + q] != text[t + q]) return false;
    return true;
}

char ShownChar(int code) { return code >= 0 && code < 256 ? static_cast<char>(code) : '?'; }

}  // namespace

// --- Loading and reading ---------------------------------------------------------------

void FlexString::Init(const std::string& text) {
    codes_.resize(text.size() + 1);
    for (std::size_t i = 0; i < text.size(); ++i) codes_[i] = Code(text[i]);
    codes_.back() = 0;
}

void FlexString::RepeatChar(const std::string& ch, int n) {
    if (ch.empty() || n < 0) n = 0;
    codes_.assign(static_cast<std::size_t>(n) + 1, n > 0 ? Code(ch[0]) : 0);
    codes_.back() = 0;
}

std::string FlexString::GetStr() const {
    std::string out;
    out.reserve(codes_.size() - 1);
    for (int i = 0, n = StrLen(); i < n; ++i) {
        int c = codes_[i];
        if (c >= 0 && c < 256) {
            out += static_cast<char>(c);
            continue;
        }
        const std::vector<FlexString>* list = nullptr;
        int index = -1;
        if (c >= kLetterGroupBase) {
            list = &Parser::LetterGroups();
            index = c - kLetterGroupBase;
        } else if (c >= kDiphthongBase) {
            list = &Parser::Diphthongs();
            index = c - kDiphthongBase;
        }
        if (list && index < static_cast<int>(list->size())) out += (*list)[index].GetStr();
        else out += '?';
    }
    return out;
}

int FlexString::CharAt(int pos) const {
    if (pos < 0 || pos > StrLen()) {
        TextChecks::Expect(false, "CharAt");
        return 0;
    }
    return codes_[pos];
}

// --- Editing ------------------------------------------------------------------------------

void FlexString::Delete(int pos, int n) {
    int len = StrLen();
    if (pos < 0 || n < 0 || pos > len || n > len - pos) {
        TextChecks::Expect(false, "Delete");
        if (pos < 0 || pos >= len || n <= 0) return;
        n = len - pos;
    }
    codes_.erase(codes_.begin() + pos, codes_.begin() + pos + n);
}

void FlexString::Insert(const FlexString& other, int pos) {
    if (pos < 0 || pos > StrLen()) {
        TextChecks::Expect(false, "Insert");
        return;
    }
    if (&other == this) {
        FlexString copy(*this);
        Insert(copy, pos);
        return;
    }
    codes_.insert(codes_.begin() + pos, other.codes_.begin(), other.codes_.end() - 1);
}

void FlexString::PutAt(const FlexString& other, int pos) {
    int len = StrLen();
    int n = other.StrLen();
    TextChecks::Expect(pos >= 0 && pos <= len - n, "PutAt mLen");
    for (int k = 0; k < n; ++k)
        if (pos + k >= 0 && pos + k < len) codes_[pos + k] = other.codes_[k];
}

void FlexString::PutCharAt(const std::string& ch, int pos) {
    if (ch.size() != 1 || pos < 0 || pos >= StrLen()) {
        TextChecks::Expect(false, "PutCharAt");
        return;
    }
    codes_[pos] = Code(ch[0]);
}

void FlexString::PutCodeAt(int code, int pos) {
    if (pos < 0 || pos >= StrLen()) {
        TextChecks::Expect(false, "PutCodeAt");
        return;
    }
    codes_[pos] = code;
}

void FlexString::InStr(const FlexString& other, int& pos, bool& found) const {
    if (other.StrLen() < 1) {
        TextChecks::Expect(false, "InStr s");
        found = false;
        return;
    }
    int at = FindFrom(codes_.data(), StrLen(), other.codes_.data(), other.StrLen(), 0);
    found = at >= 0;
    if (found) pos = at;
}

void FlexString::ElimChar(const std::string& ch) {
    if (ch.empty()) return;
    int c = Code(ch[0]);
    codes_.erase(std::remove(codes_.begin(), codes_.end() - 1, c), codes_.end() - 1);
}

void FlexString::ElimDouble() {
    int n = StrLen();
    int w = 0;
    for (int i = 0; i < n;) {
        int c = codes_[i];
        codes_[w++] = c;
        i += (i + 1 < n && codes_[i + 1] == c) ? 2 : 1;
    }
    SetLength(w);
}

void FlexString::ElimUmlauts() {
    // ä Ä ö Ö ü Ü and the letters that replace them.
    static const struct { int code; int first; } kUmlauts[] = {
        {0xE4, 'a'}, {0xC4, 'A'}, {0xF6, 'o'}, {0xD6, 'O'}, {0xFC, 'u'}, {0xDC, 'U'},
    };
    std::vector<int> out;
    out.reserve(codes_.size() + 4);
    for (int i = 0, n = StrLen(); i < n; ++i) {
        int c = codes_[i];
        int first = 0;
        for (const auto& u : kUmlauts)
            if (u.code == c) first = u.first;
        if (first) {
            out.push_back(first);
            out.push_back('e');
        } else {
            out.push_back(c);
        }
    }
    out.push_back(0);
    codes_ = std::move(out);
}

void FlexString::Reverse() { std::reverse(codes_.begin(), codes_.end() - 1); }

// --- Case and accents -----------------------------------------------------------------------

namespace {
// Every code of [from, to) through a table; codes outside it stay.
void MapCodes(int* codes, int from, int to, const Parser::CodeTable& table) {
    for (int i = from; i < to; ++i)
        if (codes[i] >= 0 && codes[i] < 256) codes[i] = table[codes[i]];
}
}  // namespace

void FlexString::Uppercase() { MapCodes(codes_.data(), 0, StrLen(), Parser::UpperTable()); }

void FlexString::StartUpper() {
    if (StrLen() > 0) codes_[0] = Parser::ToUpper(codes_[0]);
}

void FlexString::StartAllUpper() {
    for (int i = 0, n = StrLen(); i < n; ++i)
        if (i == 0 || codes_[i - 1] == kBlank) codes_[i] = Parser::ToUpper(codes_[i]);
}

void FlexString::Lowercase(int pos) {
    MapCodes(codes_.data(), std::max(pos, 0), StrLen(), Parser::LowerTable());
}

void FlexString::BaseChar() { MapCodes(codes_.data(), 0, StrLen(), Parser::BaseTable()); }

// --- Keys, comparison and analysis --------------------------------------------------------------

void FlexString::Soundex() {
    BaseChar();
    Uppercase();
    ElimDouble();
    ReplaceSoundex();
    ElimDouble();
}

void FlexString::ReplaceSoundex() {
    for (const Parser::SoundRule& rule : Parser::SoundRules()) {
        int srcLen = rule.source2 != 0 ? 2 : 1;
        int tgtLen = rule.target1 == 0 ? 0 : (rule.target2 != 0 ? 2 : 1);
        int n = StrLen();
        if (tgtLen <= srcLen) {
            // The text never grows: one pass that reads at r and writes at w <= r.
            // What is written is not looked at again by this rule; what follows
            // a match is read from the untouched rest.
            // Most rules find nothing: nothing moves before the first source1.
            int first = static_cast<int>(std::find(codes_.begin(), codes_.end() - 1, rule.source1) -
                                         codes_.begin());
            int w = first;
            for (int r = first; r < n;) {
                bool hit = codes_[r] == rule.source1 && (srcLen == 1 || codes_[r + 1] == rule.source2);
                if (hit) {
                    if (tgtLen >= 1) codes_[w++] = rule.target1;
                    if (tgtLen == 2) codes_[w++] = rule.target2;
                    r += srcLen;
                } else {
                    codes_[w++] = codes_[r++];
                }
            }
            SetLength(w);
        } else {
            std::vector<int> out;
            out.reserve(codes_.size() + 4);
            for (int r = 0; r < n;) {
                if (codes_[r] == rule.source1 && (srcLen == 1 || codes_[r + 1] == rule.source2)) {
                    out.push_back(rule.target1);
                    out.push_back(rule.target2);
                    r += srcLen;
                } else {
                    out.push_back(codes_[r++]);
                }
            }
            out.push_back(0);
            codes_ = std::move(out);
        }
    }
}

int FlexString::Distance(const FlexString& other) const {
    // No distance exceeds the longer length, so this band is the whole table.
    return Distance(other, std::max(StrLen(), other.StrLen()));
}

int FlexString::Distance(const FlexString& other, int limit) const {
    const int n = StrLen();
    const int m = other.StrLen();
    limit = std::max(limit, 0);
    const int over = limit + 1;
    // Entry (i, j) of the table is at least |i - j|, so only the band of
    // width limit on either side of the diagonal can hold a value within the
    // limit. Everything outside it, and every value above the limit, is held
    // as over: a value within the limit comes only from neighbours within the
    // limit, so those stay exact.
    if (std::abs(n - m) > limit) return over;
    // One row of the table, reused between calls: Distance runs for every
    // candidate of a spelling search.
    thread_local std::vector<int> row;
    row.resize(static_cast<std::size_t>(m) + 1);
    for (int j = 0; j <= m; ++j) row[j] = std::min(j, over);
    const int* b = other.codes_.data();
    for (int i = 1; i <= n; ++i) {
        const int a = codes_[i - 1];
        const int lo = std::max(1, i - limit);
        const int hi = std::min(m, i + limit);
        int diag = row[lo - 1];                     // entry (i - 1, lo - 1)
        int left = lo == 1 ? std::min(i, over) : over;   // entry (i, lo - 1)
        if (lo == 1) row[0] = left;
        int rowMin = left;
        for (int j = lo; j <= hi; ++j) {
            const int up = row[j];                  // entry (i - 1, j); over beyond the last band
            int v = std::min({diag + PP(a, b[j - 1]), left + 1, up + 1});
            if (v > over) v = over;
            row[j] = v;
            diag = up;
            left = v;
            rowMin = std::min(rowMin, v);
        }
        // Every way to the last entry crosses this row, and no step lowers the cost.
        if (rowMin > limit) return over;
    }
    return row[m];
}

void FlexString::WildMatch(const std::string& pattern, bool& found, std::string& shown) const {
    WildMatch(FlexString(pattern), found, shown);
}

void FlexString::WildMatch(const FlexString& pattern, bool& found, std::string& shown) const {
    // The pattern is a first segment, then segments each after a "*". The
    // search that tries the shortest run for each star first, with
    // backtracking, ends with this placement: the first segment at the start,
    // each middle segment at its earliest place after the one before (a later
    // place never helps, as the next star can take up the difference), and
    // the last segment at the very end. Same answer and marks, without the
    // exponential backtracking.
    const int* text = codes_.data();
    const int* pat = pattern.codes_.data();
    const int n = StrLen();
    const int m = pattern.StrLen();
    auto nextStar = [&](int from) {
        while (from < m && pat[from] != '*') ++from;
        return from;
    };

    // The marks: a placed character shows itself, one under a star "_".
    std::string marks(static_cast<std::size_t>(n), '_');
    auto place = [&](int start, int len) {
        for (int k = start; k < start + len; ++k) marks[k] = ShownChar(text[k]);
    };
    found = false;
    const int firstStar = nextStar(0);
    if (firstStar == m) {
        if (n != m || !SegmentAt(text, 0, pat, 0, m)) return;
        place(0, m);
    } else {
        if (firstStar > n || !SegmentAt(text, 0, pat, 0, firstStar)) return;
        place(0, firstStar);
        int t = firstStar;
        int lastStar = firstStar;
        for (int p = firstStar; p < m; ++p)
            if (pat[p] == '*') lastStar = p;
        for (int p = firstStar + 1; p <= lastStar;) {
            int q = nextStar(p);
            int len = q - p;
            if (len > 0) {
                int j = t;
                while (j + len <= n && !SegmentAt(text, j, pat, p, len)) ++j;
                if (j + len > n) return;
                place(j, len);
                t = j + len;
            }
            p = q + 1;
        }
        int lastLen = m - (lastStar + 1);
        if (n - lastLen < t || !SegmentAt(text, n - lastLen, pat, lastStar + 1, lastLen)) return;
        place(n - lastLen, lastLen);
    }
    found = true;
    shown = std::move(marks);
}

void FlexString::AllOccur(const FlexString& probe, const FlexString& tags, bool reuse, bool inOrder,
                          std::string& tagText, std::string& positions, bool& found,
                          std::vector<int>* poolPositions) const {
    const int n = StrLen();
    std::vector<char> used(static_cast<std::size_t>(n), 0);
    std::string tagsFound;
    positions.clear();
    if (poolPositions) poolPositions->clear();
    int previous = -1;
    for (int k = 0, pn = probe.StrLen(); k < pn; ++k) {
        int c = probe.codes_[k];
        int j = inOrder ? previous + 1 : 0;
        while (j < n && (used[j] || codes_[j] != c)) ++j;
        if (j >= n) {
            found = false;
            return;
        }
        if (!reuse) used[j] = 1;
        tagsFound += ShownChar(tags.CharAt(j));
        positions += Parser::PadNumber(j, 2);
        if (poolPositions) poolPositions->push_back(j);
        previous = j;
    }
    found = true;
    tagText = std::move(tagsFound);
}

void FlexString::EvalRuns(const FlexString& other, int& prefix, int& suffix) const {
    const int n = StrLen();
    const int m = other.StrLen();
    prefix = 0;
    while (prefix < n && prefix < m && codes_[prefix] == other.codes_[prefix]) ++prefix;
    suffix = 0;
    while (suffix < n && suffix < m && codes_[n - 1 - suffix] == other.codes_[m - 1 - suffix]) ++suffix;
    if (prefix + suffix > n || prefix + suffix > m) {
        if (prefix >= 1) --prefix;
        else if (suffix > 0) --suffix;
    }
}

void FlexString::GetCharOfType(const FlexString& other, int& pos, bool vowels) {
    if (pos < 0) pos = 0;
    const int m = other.StrLen();
    int end = pos;
    while (end < m && Parser::IsVowel(other.codes_[end]) == vowels) ++end;
    std::vector<int> run;
    if (pos < m) run.assign(other.codes_.begin() + pos, other.codes_.begin() + end);
    run.push_back(0);
    codes_ = std::move(run);   // other may be this string
    pos = std::max(pos, end);
}

void FlexString::CodeSpecialLetters() {
    auto code = [this](const std::vector<FlexString>& list, int base) {
        for (int i = 0; i < static_cast<int>(list.size()); ++i) {
            const FlexString& entry = list[i];
            int len = entry.StrLen();
            // A coded place holds no letter, so no later occurrence can start
            // before it: the search goes on from there.
            for (int at = 0; (at = FindFrom(codes_.data(), StrLen(), entry.codes_.data(), len, at)) >= 0;) {
                if (len > 1) Delete(at + 1, len - 1);
                PutCodeAt(base + i, at);
            }
        }
    };
    code(Parser::Diphthongs(), kDiphthongBase);
    code(Parser::LetterGroups(), kLetterGroupBase);
}

int FlexString::NumSyllables() const {
    FlexString work;
    work.Assign(*this);
    work.Uppercase();
    work.CodeSpecialLetters();
    int count = 0;
    for (int i = 0, n = work.StrLen(); i < n; ++i) {
        int c = work.codes_[i];
        if (c < kDiphthongBase ? Parser::IsVowel(c) : c < kLetterGroupBase) ++count;
    }
    return count;
}

void FlexString::Break(int maxWidth, std::vector<std::string>& lines, int& count,
                       const CharWidths& widths) const {
    const std::string text = GetStr();
    const int n = static_cast<int>(text.size());
    auto width = [&](int i) { return widths[Code(text[i])]; };
    lines.clear();
    int lineStart = 0;
    int lineWidth = 0;        // width of text[lineStart, i]
    int lastBlank = -1;       // last blank of the current line, -1 for none
    int widthToBlank = 0;     // width of text[lineStart, lastBlank]
    for (int i = 0; i < n; ++i) {
        lineWidth += width(i);
        if (text[i] == ' ') {
            if (lineWidth > maxWidth && i > lineStart) {
                // The blank that overflows ends the line and belongs to neither.
                lines.push_back(text.substr(lineStart, i - lineStart));
                lineStart = i + 1;
                lineWidth = 0;
                lastBlank = -1;
                continue;
            }
            lastBlank = i;
            widthToBlank = lineWidth;
            continue;
        }
        if (lineWidth <= maxWidth || i == lineStart) continue;
        if (lastBlank >= lineStart) {
            lines.push_back(text.substr(lineStart, lastBlank - lineStart));
            lineStart = lastBlank + 1;
            lineWidth -= widthToBlank;
            lastBlank = -1;
        }
        if (lineWidth > maxWidth && i > lineStart) {
            // No blank left to break at: the word is cut before the character
            // that overflows.
            lines.push_back(text.substr(lineStart, i - lineStart));
            lineStart = i;
            lineWidth = width(i);
        }
    }
    lines.push_back(text.substr(lineStart));
    count = static_cast<int>(lines.size());
}
