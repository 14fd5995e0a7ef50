#include "Parser.h"

#include <algorithm>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <cstdio>

#include "Basic.h"
#include "Cp1252.h"
#include "TextChecks.h"

namespace Parser {
namespace {

struct State {
    CodeTable charClass{};
    CodeTable upper{};
    CodeTable lower{};
    CodeTable base{};
    FlagTable vowel{};
    CodeTable platformUpper{};
    std::vector<SoundRule> rules;
    std::vector<FlexString> diphthongs;
    std::vector<FlexString> groups;
};

// The accented letters, lower case and upper case at the same places; ÿ has
// no partner in the upper list.
const std::string& LowerAccented() {
    static const std::string s = "äàáâãåëèéêïìíîöòóôõøüùúûñçýÿ"_cp;
    return s;
}
const std::string& UpperAccented() {
    static const std::string s = "ÄÀÁÂÃÅËÈÉÊÏÌÍÎÖÒÓÔÕØÜÙÚÛÑÇÝ"_cp;
    return s;
}
// The base letter of each entry of the two lists above.
constexpr const char* kLowerBase = "aaaaaaeeeeiiiioooooouuuuncyy";
constexpr const char* kUpperBase = "AAAAAAEEEEIIIIOOOOOOUUUUNCY";

int Code(char c) { return static_cast<unsigned char>(c); }

void FillCharClasses(State& st) {
    st.charClass.fill(kOther);
    for (int c = 'a'; c <= 'z'; ++c) st.charClass[c] = kLower;
    for (int c = 'A'; c <= 'Z'; ++c) st.charClass[c] = kUpper;
    for (int c = '0'; c <= '9'; ++c) st.charClass[c] = kDigit;
    for (char c : LowerAccented()) st.charClass[Code(c)] = kLower;
    for (char c : UpperAccented()) st.charClass[Code(c)] = kUpper;
}

void Identity(CodeTable& t) {
    for (int c = 0; c < 256; ++c) t[c] = c;
}

void FillUpper(State& st) {
    Identity(st.upper);
    for (int c = 'a'; c <= 'z'; ++c) st.upper[c] = c - 32;
    const std::string& up = UpperAccented();
    for (std::size_t i = 0; i < up.size(); ++i) st.upper[Code(LowerAccented()[i])] = Code(up[i]);
}

void FillLower(State& st) {
    Identity(st.lower);
    for (int c = 'A'; c <= 'Z'; ++c) st.lower[c] = c + 32;
    const std::string& up = UpperAccented();
    for (std::size_t i = 0; i < up.size(); ++i) st.lower[Code(up[i])] = Code(LowerAccented()[i]);
}

void FillBase(State& st) {
    Identity(st.base);
    const std::string& lo = LowerAccented();
    const std::string& up = UpperAccented();
    for (std::size_t i = 0; i < lo.size(); ++i) st.base[Code(lo[i])] = Code(kLowerBase[i]);
    for (std::size_t i = 0; i < up.size(); ++i) st.base[Code(up[i])] = Code(kUpperBase[i]);
}

void FillVowels(State& st) {
    st.vowel.fill(false);
    for (char c : std::string("aeijouyAEIJOUY")) st.vowel[Code(c)] = true;
    const std::string notVowels = "ñçÑÇ"_cp;
    for (const std::string* list : {&LowerAccented(), &UpperAccented()})
        for (char c : *list)
            if (notVowels.find(c) == std::string::npos) st.vowel[Code(c)] = true;
}

void FillPlatformUpper(State& st) {
    Identity(st.platformUpper);
    for (int c = 'a'; c <= 'z'; ++c) st.platformUpper[c] = c - 32;
    for (int c = 0xE0; c <= 0xFE; ++c)
        if (c != 0xF7) st.platformUpper[c] = c - 0x20;   // ÷ is no letter
    st.platformUpper[0x9A] = 0x8A;   // š Š
    st.platformUpper[0x9C] = 0x8C;   // œ Œ
    st.platformUpper[0x9E] = 0x8E;   // ž Ž
    st.platformUpper[0xFF] = 0x9F;   // ÿ Ÿ
}

void AddRule(State& st, const std::string& source, const std::string& target) {
    std::string s = source;
    std::string t = target;
    for (char& c : s) c = static_cast<char>(st.platformUpper[Code(c)]);
    for (char& c : t) c = static_cast<char>(st.platformUpper[Code(c)]);
    SoundRule r;
    if (!s.empty()) r.source1 = Code(s.front());
    if (s.size() >= 2) r.source2 = Code(s.back());
    if (!t.empty()) r.target1 = Code(t.front());
    if (t.size() >= 2) r.target2 = Code(t.back());
    st.rules.push_back(r);
}

void FillSoundRules(State& st) {
    // Order matters: each rule works on the result of the ones before it
    // ("t" -> "d" comes before "de" -> "d", "p" -> "b" before "pf" -> "f").
    static const char* const kRules[][2] = {
        {"ts", "s"}, {"el", "l"}, {"tz", "z"}, {"ae", "e"}, {"eh", "e"}, {"oh", "o"},
        {"ih", "i"}, {"t", "d"},  {"p", "b"},  {"ck", "k"}, {"ch", "x"}, {"ey", "ai"},
        {"ay", "ai"}, {"ei", "ai"}, {"de", "d"}, {"ie", "i"}, {"gr", "r"}, {"be", "b"},
        {"es", "s"}, {"er", "r"}, {"h", ""},  {"z", "s"},  {"ae", "e"}, {"pf", "f"},
        {"g", "k"},  {"y", "i"},
    };
    st.rules.clear();
    for (const auto& rule : kRules) AddRule(st, rule[0], rule[1]);
}

void FillDiphthongs(State& st) {
    st.diphthongs.clear();
    for (const std::string& d : {std::string("AU"), "ÄU"_cp, std::string("EI"), std::string("EU")})
        st.diphthongs.emplace_back(d);
}

void FillLetterGroups(State& st) {
    st.groups.clear();
    for (const char* g : {"CK", "SCH", "CH", "PH", "RH", "TH"}) st.groups.emplace_back(g);
}

void FillAll(State& st) {
    FillCharClasses(st);
    FillUpper(st);
    FillLower(st);
    FillBase(st);
    FillVowels(st);
    FillPlatformUpper(st);
    FillSoundRules(st);
    FillDiphthongs(st);
    FillLetterGroups(st);
}

// Built on first use, so that no caller depends on the order of start-up.
State& S() {
    static State st = [] {
        State s;
        FillAll(s);
        return s;
    }();
    return st;
}

bool InTable(int code) { return code >= 0 && code < 256; }

// The shared scanner of the module functions.
Scanner& SharedScanner() {
    static Scanner scanner;
    return scanner;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

// --- Tables -----------------------------------------------------------------------

const CodeTable& CharClass() { return S().charClass; }
const CodeTable& UpperTable() { return S().upper; }
const CodeTable& LowerTable() { return S().lower; }
const CodeTable& BaseTable() { return S().base; }
const FlagTable& VowelTable() { return S().vowel; }
const std::vector<SoundRule>& SoundRules() { return S().rules; }
const std::vector<FlexString>& Diphthongs() { return S().diphthongs; }
const std::vector<FlexString>& LetterGroups() { return S().groups; }
const CodeTable& PlatformUpperTable() { return S().platformUpper; }

std::string PlatformUpper(const std::string& s) {
    const CodeTable& t = S().platformUpper;
    std::string out = s;
    for (char& c : out) c = static_cast<char>(t[Code(c)]);
    return out;
}

// --- Start-up -----------------------------------------------------------------------

void InitParser() {
    InitCharClasses();
    InitUpperTable();
    InitLowerTable();
    InitBaseTable();
    InitVowelTable();
    FillPlatformUpper(S());
    InitSoundRules();
    InitDiphthongs();
    InitLetterGroups();
}

void InitCharClasses() { FillCharClasses(S()); }
void InitUpperTable() { FillUpper(S()); }
void InitLowerTable() { FillLower(S()); }
void InitBaseTable() { FillBase(S()); }
void InitVowelTable() { FillVowels(S()); }
void InitSoundRules() { FillSoundRules(S()); }
void InitDiphthongs() { FillDiphthongs(S()); }
void InitLetterGroups() { FillLetterGroups(S()); }

void SetCharClass(int code, int cls) {
    if (InTable(code)) S().charClass[code] = cls;
}
void SetUpper(int code, int upper) {
    if (InTable(code)) S().upper[code] = upper;
}
void SetLower(int code, int lower) {
    if (InTable(code)) S().lower[code] = lower;
}
void SetBase(int code, int base) {
    if (InTable(code)) S().base[code] = base;
}
void SetVowel(int code, bool vowel) {
    if (InTable(code)) S().vowel[code] = vowel;
}
void AddSoundRule(const std::string& source, const std::string& target) {
    AddRule(S(), source, target);
}
void AddDiphthong(const std::string& text) { S().diphthongs.emplace_back(text); }
void AddLetterGroup(const std::string& text) { S().groups.emplace_back(text); }

// --- Character tests ------------------------------------------------------------------

bool IsDigit(const std::string& ch) { return !ch.empty() && ClassOf(Code(ch[0])) == kDigit; }

bool IsLetter(const std::string& ch) {
    if (ch.empty()) return false;
    int cls = ClassOf(Code(ch[0]));
    return cls == kLower || cls == kUpper;
}

bool IsLetterOrDigit(const std::string& ch) {
    if (ch.empty()) return false;
    int cls = ClassOf(Code(ch[0]));
    return cls == kLower || cls == kUpper || cls == kDigit;
}

// --- Text helpers ---------------------------------------------------------------------

bool IsNumber(const std::string& text) {
    std::size_t from = text.find_first_not_of(' ');
    if (from == std::string::npos) return false;
    std::size_t to = text.find_last_not_of(' ') + 1;
    if (text[from] == '+' || text[from] == '-') ++from;
    if (from >= to) return false;
    for (std::size_t i = from; i < to; ++i)
        if (ClassOf(Code(text[i])) != kDigit) return false;
    return true;
}

void ReplaceAll(std::string& text, const std::string& search, const std::string& replacement) {
    if (search.empty()) return;
    if (replacement.find(search) != std::string::npos) {
        // Searching from the start again would find the replacement itself
        // forever: one left-to-right pass instead.
        std::string out;
        std::size_t from = 0;
        for (std::size_t at; (at = text.find(search, from)) != std::string::npos;
             from = at + search.size()) {
            out.append(text, from, at - from);
            out += replacement;
        }
        out.append(text, from, std::string::npos);
        text = std::move(out);
        return;
    }
    // Occurrences made by joining a replacement with its neighbours are
    // replaced too. Nothing before the last replacement can have changed except
    // its last search.size() - 1 characters, so the search resumes there
    // instead of at the start: the same result without quadratic rescans.
    std::size_t from = 0;
    for (std::size_t at; (at = text.find(search, from)) != std::string::npos;) {
        text.replace(at, search.size(), replacement);
        from = at >= search.size() - 1 ? at - (search.size() - 1) : 0;
    }
}

Matcher::Matcher(const std::string& pattern, int method)
    : blind_(method == kMatchSub || method == kMatchWord),
      word_(method == kMatchWord || method == kMatchWordCase) {
    pattern_ = blind_ ? PlatformUpper(pattern) : pattern;
    const std::size_t m = pattern_.size();
    const auto cap = [](std::size_t v) { return static_cast<uint16_t>(std::min<std::size_t>(v, 65535)); };
    shift_.fill(cap(m));
    for (std::size_t k = 0; k + 1 < m; ++k) shift_[static_cast<unsigned char>(pattern_[k])] = cap(m - 1 - k);

    // The anchor: the pattern character least frequent in ordinary text
    // (letters by their frequency; everything else counts as rare, but a
    // blank as common), taken where it has at most two spellings.
    static const std::string kByFrequency = " ETAONRISHDLCUMWFGYPBVKJXQZ";
    const CodeTable& up = PlatformUpperTable();
    std::size_t bestRank = 0;
    anchorCount_ = 0;
    for (std::size_t k = 0; k < m && blind_; ++k) {
        const auto c = static_cast<unsigned char>(pattern_[k]);
        const std::size_t found = kByFrequency.find(static_cast<char>(c));
        const std::size_t rank = found == std::string::npos ? kByFrequency.size() : found;
        if (anchorCount_ != 0 && rank <= bestRank) continue;
        std::array<unsigned char, 2> bytes{};
        int count = 0;
        for (int b = 0; b < 256; ++b) {
            if (up[static_cast<std::size_t>(b)] != c) continue;
            if (count < 2) bytes[static_cast<std::size_t>(count)] = static_cast<unsigned char>(b);
            ++count;
        }
        if (count < 1 || count > 2) continue;
        anchor_ = k;
        anchorBytes_ = bytes;
        anchorCount_ = count;
        bestRank = rank;
    }
    // The spellings of one pattern character, when there are one or two.
    auto spellings = [&up](unsigned char c, std::array<unsigned char, 2>& bytes) {
        int count = 0;
        for (int b = 0; b < 256; ++b) {
            if (up[static_cast<std::size_t>(b)] != c) continue;
            if (count < 2) bytes[static_cast<std::size_t>(count)] = static_cast<unsigned char>(b);
            ++count;
        }
        if (count == 1) bytes[1] = bytes[0];
        return count >= 1 && count <= 2;
    };
    pairScan_ = blind_ && m >= 2 && spellings(static_cast<unsigned char>(pattern_[0]), firstBytes_) &&
                spellings(static_cast<unsigned char>(pattern_[m - 1]), lastBytes_);
}

std::size_t Matcher::FindFrom(std::string_view text, std::size_t from, AnchorScan* scan) const {
    if (!blind_) return text.find(pattern_, from);
    const std::size_t m = pattern_.size();
    if (m == 0) return from <= text.size() ? from : std::string_view::npos;
    if (text.size() < m || from > text.size() - m) return std::string_view::npos;
    const CodeTable& up = PlatformUpperTable();
    const auto* t = reinterpret_cast<const unsigned char*>(text.data());
    const auto* p = reinterpret_cast<const unsigned char*>(pattern_.data());
#if defined(__SSE2__)
    if (pairScan_) {
        // Sixteen starting places at once: a place is a candidate when the
        // pattern's first and last characters both stand there in either
        // spelling; only candidates are compared in full.
        const std::size_t n = text.size();
        const __m128i f0 = _mm_set1_epi8(static_cast<char>(firstBytes_[0]));
        const __m128i f1 = _mm_set1_epi8(static_cast<char>(firstBytes_[1]));
        const __m128i l0 = _mm_set1_epi8(static_cast<char>(lastBytes_[0]));
        const __m128i l1 = _mm_set1_epi8(static_cast<char>(lastBytes_[1]));
        std::size_t i = from;
        for (; i + m - 1 + 16 <= n; i += 16) {
            const __m128i head = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + i));
            const __m128i tail = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + i + m - 1));
            const __m128i hit = _mm_and_si128(_mm_or_si128(_mm_cmpeq_epi8(head, f0), _mm_cmpeq_epi8(head, f1)),
                                              _mm_or_si128(_mm_cmpeq_epi8(tail, l0), _mm_cmpeq_epi8(tail, l1)));
            auto mask = static_cast<unsigned>(_mm_movemask_epi8(hit));
            while (mask != 0) {
                const std::size_t at = i + static_cast<std::size_t>(__builtin_ctz(mask));
                std::size_t k = 1;
                while (k + 1 < m && up[t[at + k]] == p[k]) ++k;
                if (k + 1 >= m) return at;
                mask &= mask - 1;
            }
        }
        for (; i + m <= n; ++i) {
            std::size_t k = 0;
            while (k < m && up[t[i + k]] == p[k]) ++k;
            if (k == m) return i;
        }
        return std::string_view::npos;
    }
#endif
    if (anchorCount_ > 0) {
        // Candidates where the anchor's spellings stand, each found by
        // memchr; the pattern is then compared around it.
        const std::size_t n = text.size();
        const unsigned char* end = t + n;
        const unsigned char* next[2] = {nullptr, nullptr};
        auto seek = [&](int v, const unsigned char* at) {
            const auto w = static_cast<std::size_t>(v);
            // A search begun at or before at that found nothing before at
            // gives the answer already.
            if (scan != nullptr && scan->from[w] != nullptr && scan->from[w] <= at &&
                (scan->next[w] == nullptr || scan->next[w] >= at)) {
                next[v] = scan->next[w];
                return;
            }
            next[v] = at < end ? static_cast<const unsigned char*>(
                                     std::memchr(at, anchorBytes_[w], static_cast<std::size_t>(end - at)))
                               : nullptr;
            if (scan != nullptr) {
                scan->from[w] = at;
                scan->next[w] = next[v];
            }
        };
        const unsigned char* start = t + from + anchor_;
        for (int v = 0; v < anchorCount_; ++v) seek(v, start);
        for (;;) {
            int v = -1;
            for (int w = 0; w < anchorCount_; ++w)
                if (next[w] && (v < 0 || next[w] < next[v])) v = w;
            if (v < 0) return std::string_view::npos;
            const std::size_t i = static_cast<std::size_t>(next[v] - t) - anchor_;
            if (i + m > n) return std::string_view::npos;
            std::size_t k = 0;
            while (k < m && up[t[i + k]] == p[k]) ++k;
            if (k == m) return i;
            seek(v, next[v] + 1);
        }
    }
    // Horspool's search on upper-cased characters: the character under the
    // pattern's end decides how far the pattern may move on.
    const int lastCode = p[m - 1];
    const std::size_t n = text.size();
    std::size_t i = from;
    while (i + m <= n) {
        const int c = up[t[i + m - 1]];
        if (c == lastCode) {
            std::size_t k = 0;
            while (k + 1 < m && up[t[i + k]] == p[k]) ++k;
            if (k + 1 == m) return i;
        }
        i += shift_[static_cast<unsigned char>(c)];
    }
    return std::string_view::npos;
}

int Matcher::Find(std::string_view text) const {
    AnchorScan scan;
    std::size_t at = FindFrom(text, 0, &scan);
    while (at != std::string_view::npos) {
        if (!word_) return static_cast<int>(at);
        // The letter test reads the text as given: upper-casing keeps every
        // position, but would turn the letter ÿ into Ÿ, which is no letter of
        // the tables.
        const std::size_t after = at + pattern_.size();
        const bool before = at > 0 && ClassOf(Code(text[at - 1])) <= kUpper;
        const bool behind = after < text.size() && ClassOf(Code(text[after])) <= kUpper;
        if (!before && !behind) return static_cast<int>(at);
        at = FindFrom(text, at + 1, &scan);
    }
    return -1;
}

void Match(const std::string& text, const std::string& pattern, int method, bool& found, int& pos) {
    if (method < kMatchSub || method > kMatchWordCase) {
        TextChecks::Expect(false, "Match method");
        return;
    }
    const int at = Matcher(pattern, method).Find(text);
    found = at >= 0;
    if (found) pos = at;
}

void PercentEncode(std::string& text) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (ClassOf(Code(c)) == kOther) {
            out += '%';
            out += kHex[Code(c) >> 4];
            out += kHex[Code(c) & 15];
        } else {
            out += c;
        }
    }
    text = std::move(out);
}

void PercentDecode(std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            int hi = HexValue(text[i + 1]);
            int lo = HexValue(text[i + 2]);
            if (hi >= 0 && lo >= 0) {
                out += static_cast<char>(hi * 16 + lo);
                i += 2;
                continue;
            }
        }
        out += text[i];
    }
    text = std::move(out);
}

std::string MakeSoundKey(const std::string& s) {
    FlexString f(s);
    f.Soundex();
    return f.GetStr();
}

std::string MakeUpperKey(const std::string& s) {
    FlexString f(s);
    f.Uppercase();
    f.BaseChar();
    // ÿ has no upper-case partner in the tables and folds to a lower-case y;
    // one more pass keeps the key in upper case ("Zoÿ" -> "ZOY").
    f.Uppercase();
    return f.GetStr();
}

void LowerFirst(std::string& text) {
    if (!text.empty()) text[0] = static_cast<char>(ToLower(Code(text[0])));
}

std::string PadNumber(long n, int width) {
    std::string digits = std::to_string(n);
    if (width > static_cast<int>(digits.size()))
        digits.insert(0, static_cast<std::size_t>(width) - digits.size(), ' ');
    return digits;
}

// --- Scanner --------------------------------------------------------------------------

void Scanner::ScanStart(const std::string& line) {
    marked_ = line;
    marked_ += '\xFF';   // the end mark; told from the letter ÿ by its position only
    consumed_ = 0;
    length_ = marked_.size();
    NextChar();
}

void Scanner::NextChar() {
    if (consumed_ < length_) current_ = marked_[consumed_++];
    else current_ = ' ';
}

void Scanner::NextToken(int& type, std::string& text) {
    text.clear();
    auto letterOrDigit = [this] {
        int cls = ClassOf(Code(current_));
        return cls == kLower || cls == kUpper || cls == kDigit;
    };
    for (;;) {
        if (AtLineEnd()) {
            type = kTokEnd;
            return;
        }
        if (letterOrDigit() || current_ != ' ') break;
        NextChar();
    }
    if (letterOrDigit()) {
        type = kTokIdent;
        do {
            text += current_;
            NextChar();
        } while (letterOrDigit() && !AtLineEnd());
        return;
    }
    switch (current_) {
    case '(': type = kTokOpen; break;
    case ')': type = kTokClose; break;
    case '.': type = kTokPeriod; break;
    case ',': type = kTokComma; break;
    case '"':
        type = kTokString;
        for (;;) {
            NextChar();
            if (AtLineEnd() || current_ == '"') break;
            text += current_;
        }
        NextChar();
        return;
    case '/':
        NextChar();
        if (current_ != '*') {
            // A lone slash; what follows it is the next token.
            type = kTokOther;
            text.assign(1, '/');
            return;
        }
        type = kTokComment;
        for (;;) {
            NextChar();
            if (AtLineEnd()) break;   // a comment ends with its line
            if (current_ == '*') {
                NextChar();
                if (AtLineEnd()) {
                    text += '*';
                    break;
                }
                if (current_ == '/') break;
                text += '*';
            }
            // The character after a star is taken as it is, so "**/" does not close.
            text += current_;
        }
        NextChar();
        return;
    default: type = kTokOther; break;
    }
    text = current_;
    NextChar();
}

void ScanStart(const std::string& line) { SharedScanner().ScanStart(line); }
void NextToken(int& type, std::string& text) { SharedScanner().NextToken(type, text); }
bool AtLineEnd() { return SharedScanner().AtLineEnd(); }
void NextChar() { SharedScanner().NextChar(); }

}  // namespace Parser
