// The program's knowledge of letters, and a small line scanner.
//
// All letter logic works on cp1252 codes 0..255 through five tables (letter
// class, upper case, lower case, base letter, vowel flag), an ordered list of
// sound rules that reduce a name to its sound key, and the diphthongs and
// letter groups of syllable counting. The tables are built on first use, so
// every function works before InitParser has run; start-up calls InitParser
// once, and the tables never change afterwards.
//
// The scanner reads one line of the text form of the database (user-names
// file) or of a tutorial script. The module functions share one scanner, as
// the callers expect; a Scanner object of one's own avoids that sharing.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FlexString.h"

namespace Parser {

// --- Tables -------------------------------------------------------------------

// Letter classes.
enum : int { kLower = 0, kUpper = 1, kDigit = 2, kOther = 9 };

using CodeTable = std::array<int, 256>;
using FlagTable = std::array<bool, 256>;

// One sound rule: source and target codes, 0 where a character is absent.
struct SoundRule {
    int source1 = 0, source2 = 0, target1 = 0, target2 = 0;
};

const CodeTable& CharClass();
const CodeTable& UpperTable();   // ÿ stays; ß stays
const CodeTable& LowerTable();
const CodeTable& BaseTable();    // accents off, case kept
const FlagTable& VowelTable();   // j and J count as vowels
const std::vector<SoundRule>& SoundRules();
const std::vector<FlexString>& Diphthongs();     // written as 1000 + index
const std::vector<FlexString>& LetterGroups();   // written as 2000 + index

// The upper-casing of the platform the texts come from, used where texts are
// compared without case (Match) and for the sound rules' texts: like
// UpperTable, but also þ ð æ and the rest of 0xE0-0xFE except ÷, š œ ž, and
// ÿ -> Ÿ. ß has no single upper-case letter and stays.
const CodeTable& PlatformUpperTable();
std::string PlatformUpper(const std::string& s);

// One table lookup each; codes outside 0..255 are "other" and map to themselves.
inline int ClassOf(int code) { return code >= 0 && code < 256 ? CharClass()[code] : kOther; }
inline int ToUpper(int code) { return code >= 0 && code < 256 ? UpperTable()[code] : code; }
inline int ToLower(int code) { return code >= 0 && code < 256 ? LowerTable()[code] : code; }
inline int ToBase(int code) { return code >= 0 && code < 256 ? BaseTable()[code] : code; }
inline bool IsVowel(int code) { return code >= 0 && code < 256 && VowelTable()[code]; }

// --- Start-up -----------------------------------------------------------------

// Fills every table afresh, in the order below. Idempotent.
void InitParser();
// The fillers: each sets every entry to its default, then applies its lists.
void InitCharClasses();
void InitUpperTable();
void InitLowerTable();
void InitBaseTable();
void InitVowelTable();
void InitSoundRules();
void InitDiphthongs();
void InitLetterGroups();
void SetCharClass(int code, int cls);
void SetUpper(int code, int upper);
void SetLower(int code, int lower);
void SetBase(int code, int base);
void SetVowel(int code, bool vowel);
// source and target are upper-cased with PlatformUpper; source has one or two
// characters, target none to two.
void AddSoundRule(const std::string& source, const std::string& target);
void AddDiphthong(const std::string& text);
void AddLetterGroup(const std::string& text);

// --- Character tests (first character of ch; false for an empty text) ----------

bool IsDigit(const std::string& ch);
bool IsLetter(const std::string& ch);
bool IsLetterOrDigit(const std::string& ch);

// --- Text helpers ---------------------------------------------------------------

// An optional sign followed by at least one digit, blanks at both ends ignored.
bool IsNumber(const std::string& text);
// Replaces every occurrence of search (case-sensitive). An empty search changes
// nothing. While the replacement does not contain search, each pass searches
// from the start again, so occurrences made by a replacement are replaced too;
// when it does contain search, one left-to-right pass is made.
void ReplaceAll(std::string& text, const std::string& search, const std::string& replacement);

// Match methods.
enum : int { kMatchSub = 0, kMatchWord = 1, kMatchSubCase = 2, kMatchWordCase = 3 };
// Looks for pattern in text: 0 substring without case, 1 whole word without
// case, 2 substring, 3 whole word. In the word methods the first occurrence
// that no letter touches counts (digits and other characters do not spoil
// it): "Annas Anna" holds the word "anna" at 6, "a seaside town by the sea"
// the word "sea" at 22. pos is 0-based and meaningful when found. A method
// outside 0-3 asserts "Match method" and writes neither result.
void Match(const std::string& text, const std::string& pattern, int method, bool& found, int& pos);

// A pattern prepared once for many texts (a full-text search tests thousands
// of texts with one term): Find gives what Match gives, without copying or
// upper-casing the text.
class Matcher {
public:
    Matcher() = default;
    Matcher(const std::string& pattern, int method);
    // The 0-based position of the first occurrence that counts, or -1.
    int Find(std::string_view text) const;
    const std::string& pattern() const { return pattern_; }

private:
    // Where each spelling of the anchor was found last in one text, so that a
    // search that goes on after a rejected occurrence does not scan again for
    // a spelling that is not there ("a" in a text of a thousand "a" tests each
    // place once, not the rest of the text for "A" each time).
    struct AnchorScan {
        std::array<const unsigned char*, 2> next{};   // first place at or after from, nullptr: none
        std::array<const unsigned char*, 2> from{};   // where that search started; nullptr: never
    };
    std::size_t FindFrom(std::string_view text, std::size_t from, AnchorScan* scan = nullptr) const;
    std::string pattern_;   // upper-cased for the methods without case
    // Horspool's shifts by the upper-cased text character under the
    // pattern's last position (methods without case).
    std::array<uint16_t, 256> shift_{};
    // The pattern's rarest letter and its one or two spellings in a text:
    // memchr finds the candidates far faster than a byte-by-byte scan.
    std::size_t anchor_ = 0;
    std::array<unsigned char, 2> anchorBytes_{};
    int anchorCount_ = 0;
    // The spellings of the pattern's first and last character (0 when a
    // character has more than two): sixteen places tested at once.
    std::array<unsigned char, 2> firstBytes_{}, lastBytes_{};
    bool pairScan_ = false;
    bool blind_ = true;
    bool word_ = false;
};

// Every character of class "other" becomes "%" and two upper-case hex digits.
void PercentEncode(std::string& text);
// "%" and two hex digits (either case) become that character; a "%" without two
// hex digits after it stays as it is.
void PercentDecode(std::string& text);

// The sound key of a text (names that sound alike share it): "Meyer" -> "MAIR".
std::string MakeSoundKey(const std::string& s);
// The text upper-cased with accents folded, for sorting and exact lookups:
// "Zoë" -> "ZOE".
std::string MakeUpperKey(const std::string& s);
// The first character through the lower-case table.
void LowerFirst(std::string& text);
// The decimal n right-aligned in width characters (never cut).
std::string PadNumber(long n, int width);

// --- Scanner --------------------------------------------------------------------

enum TokenType : int {
    kTokIdent = 0,    // run of letters and digits
    kTokString = 1,   // text between double quotes
    kTokComment = 2,  // text between "/*" and "*/" (or the end of the line)
    kTokComma = 3,
    kTokOpen = 4,
    kTokClose = 5,
    kTokPeriod = 6,
    kTokEnd = 7,      // end of the line, empty text
    kTokOther = 9,    // any other character (a tab, a lone "/", ...)
};

class Scanner {
public:
    void ScanStart(const std::string& line);
    void NextToken(int& type, std::string& text);
    bool AtLineEnd() const { return consumed_ >= length_; }
    void NextChar();
    char Current() const { return current_; }

private:
    std::string marked_;   // the line followed by the end mark (code 255)
    char current_ = ' ';
    std::size_t consumed_ = 0;
    std::size_t length_ = 0;
};

// The program's one shared scanner.
void ScanStart(const std::string& line);
void NextToken(int& type, std::string& text);
bool AtLineEnd();
void NextChar();

}  // namespace Parser
