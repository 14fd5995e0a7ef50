// A mutable string of character codes for letter work.
//
// The text is held as cp1252 codes (0..255) edited in place; after
// CodeSpecialLetters a code may also be 1000 + i (diphthong i) or 2000 + i
// (letter group i). Positions count from 0. The code after the last character
// is always 0, so CharAt(StrLen()) is 0 and two-character tests at the last
// position fail naturally. There is no capacity limit: every operation is
// correct for texts of any length.
//
// Bad positions are reported through Errors::Assert with the member's name
// ("CharAt", "Delete", ...); the operation then does only the part that lies
// within the text, never touching memory past its end.
#pragma once

#include <array>
#include <string>
#include <vector>

// Pixel widths of the 256 cp1252 codes in the font a text is laid out in.
// The platform layer measures them once the windows exist; Break takes the
// table its caller lays out for.
using CharWidths = std::array<int, 256>;

class FlexString {
public:
    FlexString() : codes_(1, 0) {}
    explicit FlexString(const std::string& text) { Init(text); }

    // --- Loading and reading -------------------------------------------------
    void Init(const std::string& text);
    void Assign(const FlexString& other) { codes_ = other.codes_; }
    // n copies of the code of ch's first character (empty for an empty ch or n <= 0).
    void RepeatChar(const std::string& ch, int n);
    // The characters as a cp1252 text; a diphthong or letter-group code is
    // written back as its letters.
    std::string GetStr() const;
    int StrLen() const { return static_cast<int>(codes_.size()) - 1; }
    // The code at pos; pos = StrLen() gives the closing 0. Asserts "CharAt"
    // (and gives 0) for any other position outside the text.
    int CharAt(int pos) const;
    // Substitution cost of Distance.
    static int PP(int a, int b) { return a != b ? 1 : 0; }

    // --- Editing -----------------------------------------------------------------
    // Removes n characters at pos; asserts "Delete" unless 0 <= pos, 0 <= n and
    // pos + n <= StrLen() (then removes what lies within the text).
    void Delete(int pos, int n);
    // Inserts other's characters at pos; asserts "Insert" unless 0 <= pos <= StrLen()
    // (then inserts nothing).
    void Insert(const FlexString& other, int pos);
    // Overwrites from pos on with other's characters, length unchanged; asserts
    // "PutAt mLen" unless the characters fit (then writes those that do).
    void PutAt(const FlexString& other, int pos);
    // Sets one character; asserts "PutCharAt" unless ch has one character and
    // pos is within the text (then changes nothing).
    void PutCharAt(const std::string& ch, int pos);
    // Sets one code (any value, also the special codes); asserts "PutCodeAt"
    // unless pos is within the text.
    void PutCodeAt(int code, int pos);
    // The first position of other in this string. Asserts "InStr s" when other
    // is empty (found false).
    void InStr(const FlexString& other, int& pos, bool& found) const;
    // Removes every occurrence of the code of ch's first character.
    void ElimChar(const std::string& ch);
    // One pass: a character equal to the one just copied is dropped and the
    // comparison restarts after it (a run of 2 gives 1, 3 gives 2, 5 gives 3).
    void ElimDouble();
    // ä Ä ö Ö ü Ü become ae Ae oe Oe ue Ue; ß and the other letters stay.
    void ElimUmlauts();
    void Reverse();

    // --- Case and accents (the letter tables of Parser) -------------------------
    void Uppercase();
    void StartUpper();
    // The first character of every word; a word starts at the beginning and after
    // each blank ("anna-lena maria" -> "Anna-lena Maria").
    void StartAllUpper();
    // Every code from pos to the end through the lower-case table.
    void Lowercase(int pos = 0);
    void BaseChar();

    // --- Keys, comparison and analysis -------------------------------------------
    // The sound key in place: BaseChar, Uppercase, ElimDouble, ReplaceSoundex, ElimDouble.
    void Soundex();
    // Applies the sound rules, each in turn over the whole text, left to right.
    void ReplaceSoundex();
    // The Levenshtein distance (unit costs) to other.
    int Distance(const FlexString& other) const;
    // The same when it is at most limit, else limit + 1; only the band of the
    // table within limit of its diagonal is computed. ("ANNA", "ANA", 2) gives
    // 1, ("ANNA", "ANNABELLE", 2) gives 3 without computing anything.
    int Distance(const FlexString& other, int limit) const;
    // Matches this text against a pattern: "?" one character, "*" any run (the
    // shortest that lets the rest match, earlier stars first); other codes must
    // be equal. shown has one character per character of the text: the
    // character where a letter or "?" matched it, "_" under a "*". shown is
    // written only when found.
    void WildMatch(const FlexString& pattern, bool& found, std::string& shown) const;
    void WildMatch(const std::string& pattern, bool& found, std::string& shown) const;
    // Whether every character of probe can be taken from this string (the pool).
    // reuse: a pool letter may serve several probe characters; inOrder: the pool
    // positions must rise. tagText gets, per probe character, the code of tags
    // (parallel to the pool) at the position taken; it is written only when found.
    // positions gets each position taken, right-aligned in two characters
    // (" 3", "12"; "123" from 100 on), also the ones placed before a missing
    // letter. poolPositions, when given, receives the same positions as numbers.
    void AllOccur(const FlexString& probe, const FlexString& tags, bool reuse, bool inOrder,
                  std::string& tagText, std::string& positions, bool& found,
                  std::vector<int>* poolPositions = nullptr) const;
    // Lengths of the common beginning (prefix) and common end (suffix) of this
    // string and other; when they add up to more than either length, prefix
    // (or, when it is 0, suffix) is lowered by one, once.
    void EvalRuns(const FlexString& other, int& prefix, int& suffix) const;
    // This string becomes the run of other's characters from pos on that are all
    // vowels (vowels true) or all non-vowels; pos moves past the run.
    void GetCharOfType(const FlexString& other, int& pos, bool vowels);
    // On an upper-cased string: each diphthong becomes one code 1000 + i, then
    // each letter group one code 2000 + i (lists of Parser, in their order).
    void CodeSpecialLetters();
    // Vowels count one each, a diphthong counts one, letter groups nothing.
    int NumSyllables() const;
    // Word wrap to maxWidth pixels with the given character widths. A line is
    // broken at the last blank at or before the character that overflows it
    // (that blank belongs to neither line); a word wider than a line is broken
    // at the character that overflows. lines is replaced; count = lines.size().
    void Break(int maxWidth, std::vector<std::string>& lines, int& count,
               const CharWidths& widths) const;

    // Direct read access for tight loops of callers (StrLen() codes, then 0).
    const int* Codes() const { return codes_.data(); }
    bool operator==(const FlexString& other) const { return codes_ == other.codes_; }

private:
    void SetLength(int n) { codes_.resize(static_cast<std::size_t>(n) + 1); codes_.back() = 0; }

    // codes_.size() == length + 1; codes_.back() == 0.
    std::vector<int> codes_;
};
