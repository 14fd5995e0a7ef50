#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "Cp1252.h"
#include "Fakes.h"
#include "Parser.h"

namespace {

int Code(char c) { return static_cast<unsigned char>(c); }

std::vector<std::pair<int, std::string>> Tokens(const std::string& line) {
    std::vector<std::pair<int, std::string>> out;
    Parser::ScanStart(line);
    for (int guard = 0; guard < 100; ++guard) {
        int type = -1;
        std::string text;
        Parser::NextToken(type, text);
        out.emplace_back(type, text);
        if (type == Parser::kTokEnd) break;
    }
    return out;
}

}  // namespace

TEST(SoundKey, GoldenNames) {
    const std::pair<std::string, std::string> golden[] = {
        {"Meier", "MAIR"},      {"Maier", "MAIR"},     {"Mayer", "MAIR"},
        {"Meyer", "MAIR"},      {"Schmidt", "SXMID"},  {"Thomas", "DOMAS"},
        {"Tomas", "DOMAS"},     {"Anna", "ANA"},       {"Hanna", "ANA"},
        {"Peter", "BDR"},       {"Gregor", "REKOR"},   {"Sophie", "SOBI"},
        {"Sofie", "SOFI"},      {"Zoë"_cp, "SOE"},     {"aaaaa", "AA"},
        // More names, worked through the rules by hand.
        {"Christoph", "XRISDOB"}, {"Müller"_cp, "MULR"}, {"Elisabeth", "LISABD"},
        {"Katharina", "KADARINA"}, {"Jürgen"_cp, "JURKEN"}, {"Björn"_cp, "BJORN"},
        {"", ""},               {"h", ""},             {"Ÿvonne"_cp, "\x9FVONE"},
    };
    for (const auto& [name, key] : golden) EXPECT_EQ(Parser::MakeSoundKey(name), key) << name;
    Parser::InitParser();  // repeatable: the keys stay
    Parser::InitParser();
    for (const auto& [name, key] : golden) EXPECT_EQ(Parser::MakeSoundKey(name), key) << name;
}

TEST(SoundKey, UpperKeyFoldsCaseAndAccents) {
    EXPECT_EQ(Parser::MakeUpperKey("Zoë"_cp), "ZOE");
    EXPECT_EQ(Parser::MakeUpperKey("Åsa-Ñico"_cp), "ASA-NICO");
    EXPECT_EQ(Parser::MakeUpperKey("straße"_cp), "STRAßE"_cp);   // ß has no capital here
    EXPECT_EQ(Parser::MakeUpperKey("Zoÿ"_cp), "ZOY");             // never a lower-case y in a key
}

TEST(Tables, CaseAndAccentTablesAgree) {
    for (int c = 0; c < 256; ++c) {
        int cls = Parser::CharClass()[c];
        int base = Parser::BaseTable()[c];
        if (cls == Parser::kLower && c != 0xFF) {
            int up = Parser::UpperTable()[c];
            EXPECT_EQ(Parser::CharClass()[up], Parser::kUpper) << c;
            EXPECT_EQ(Parser::LowerTable()[up], c) << c;
            EXPECT_EQ(Parser::BaseTable()[up], Parser::UpperTable()[base]) << c;
        }
        if (cls == Parser::kLower || cls == Parser::kUpper)
            EXPECT_EQ(Parser::CharClass()[base], cls) << c;  // an ASCII letter of the same case
        else
            EXPECT_EQ(std::tuple(base, int(Parser::UpperTable()[c]), bool(Parser::VowelTable()[c])), std::tuple(c, c, false)) << c;
    }
    for (char c : "ßæÆ -'"_cp) EXPECT_EQ(Parser::CharClass()[Code(c)], Parser::kOther);
    for (char c : "jJyÿÅ"_cp) EXPECT_TRUE(Parser::VowelTable()[Code(c)]);
    EXPECT_TRUE(Parser::IsLetter("ÿx"_cp));
    EXPECT_FALSE(Parser::IsLetter("ß"_cp));
}

TEST(Tokenizer, Lines) {
    using T = std::vector<std::pair<int, std::string>>;
    const std::pair<std::string, T> cases[] = {
        {"prop(prGenName,naAnna,gnAnna).",
         {{0, "prop"}, {4, "("}, {0, "prGenName"}, {3, ","}, {0, "naAnna"}, {3, ","},
          {0, "gnAnna"}, {5, ")"}, {6, "."}, {7, ""}}},
        {"", {{7, ""}}}, {"    ", {{7, ""}}}, {"/* -- Anna -- */", {{2, " -- Anna -- "}, {7, ""}}},
        {"/* open to the end", {{2, " open to the end"}, {7, ""}}}, {"/* a **/ b", {{2, " a **/ b"}, {7, ""}}},
        {"\"Anna Lena\" x", {{1, "Anna Lena"}, {0, "x"}, {7, ""}}}, {"\"not closed", {{1, "not closed"}, {7, ""}}},
        {"a\tb", {{0, "a"}, {9, "\t"}, {0, "b"}, {7, ""}}}, {"Zoÿ Ÿ"_cp, {{0, "Zoÿ"_cp}, {9, "\x9F"}, {7, ""}}},
        {"x ÿ"_cp, {{0, "x"}, {0, "ÿ"_cp}, {7, ""}}}, {"n7,\"\"", {{0, "n7"}, {3, ","}, {1, ""}, {7, ""}}},
    };
    for (const auto& [line, tokens] : cases) EXPECT_EQ(Tokens(line), tokens) << line;
}

TEST(Tokenizer, EndStaysAndScannersAreIndependent) {
    Parser::Scanner own;
    own.ScanStart("a b");
    Parser::ScanStart("x");
    int type = -1;
    std::string text;
    own.NextToken(type, text);
    EXPECT_EQ(text, "a");
    for (int i = 0; i < 3; ++i) Parser::NextToken(type, text);  // asking again past the end
    EXPECT_EQ(type, Parser::kTokEnd);
    EXPECT_TRUE(Parser::AtLineEnd());
    own.NextToken(type, text);
    EXPECT_EQ(text, "b");
}

TEST(Match, FourMethodsAndAnUnknownOne) {
    struct Case { std::string text, pattern; int method; bool found; int pos; };
    const Case cases[] = {
        {"Anna Lena", "anna", 1, true, 0}, {"Marie-Anna", "anna", 1, true, 6}, {"Annas", "anna", 1, false, 0},
        {"Susanna", "anna", 1, false, 0},
        {"Annas Anna", "anna", 1, true, 6},    // the first occurrence standing as a word
        {"a seaside town by the sea", "sea", 1, true, 22}, {"seaside seas", "sea", 3, false, 0},
        {"Anna", "", 0, true, 0}, {"An", "Anna", 0, false, 0},
        // long texts, where sixteen places are tested at once
        {std::string(40, 'x') + "seaside " + std::string(30, 'y') + " SEA.", "sea", 1, true, 79},
        {std::string(40, 'x') + "seaside " + std::string(30, 'y') + " SEA.", "Sea", 3, false, 0},
        {std::string(33, '-') + "\xc4pfel und \xe4PFEL", "\xe4pfel", 0, true, 33},
        {std::string(33, '-') + "\xc4pfel und \xe4PFEL", "\xe4PFEL", 2, true, 43},
        {std::string(20, 'x') + "Ab" + std::string(40, 'x'), "aB", 0, true, 20},
        {std::string(10, '-') + "\xc4PFEL" + std::string(40, '-'), "\xe4pfel", 0, true, 10},
        {std::string(70, 'a') + "b", "ab", 0, true, 69}, {std::string(70, 'a'), "ab", 0, false, 0},
        {"Susanna", "anna", 0, true, 3}, {"Susanna", "Anna", 2, false, 0}, {"Susanna", "anna", 2, true, 3},
        {"Anna2", "Anna", 3, true, 0}, {"Lena-Anna", "Anna", 3, true, 5}, {"ANNA", "Anna", 3, false, 0},
        {"Renée"_cp, "RENÉE"_cp, 0, true, 0}, {"Straße"_cp, "STRAßE"_cp, 0, true, 0},
        {"Straße"_cp, "STRASSE", 0, false, 0},
        {"Groß Anna"_cp, "anna", 1, true, 5},   // ß is no letter: a word ends there
        {"Annaß"_cp, "anna", 1, true, 0}, {"Zoÿ"_cp, "ZOŸ"_cp, 0, true, 0}, {"Zoÿ"_cp, "ZOY", 0, false, 0},
        {"Annaÿ"_cp, "anna", 1, false, 0},       // ÿ is a letter, also upper-cased
        {"Annaÿ"_cp, "Anna", 3, false, 0}, {"Éva"_cp, "éva"_cp, 1, true, 0},
    };
    for (const auto& c : cases) {
        bool found = !c.found;
        int pos = -7;
        Parser::Match(c.text, c.pattern, c.method, found, pos);
        EXPECT_EQ(found, c.found) << c.text << " / " << c.pattern << " / " << c.method;
        if (c.found) {
            EXPECT_EQ(pos, c.pos) << c.text << " / " << c.pattern;
        }
    }
    // An unknown method asserts and writes nothing.
    bool found = true;
    int pos = 42;
    Parser::Match("Anna", "Anna", 4, found, pos);
    EXPECT_TRUE(found);
    EXPECT_EQ(pos, 42);
    EXPECT_EQ(Fakes().TakeAsserts(), std::vector<std::string>{"*** Assert: *** Match method"});
}

// The straightforward search on ASCII texts: every place in turn, the
// first that matches (and, for a word, that no letter touches).
static int MatchEveryPlace(const std::string& text, const std::string& pattern, int method) {
    const bool blind = method == Parser::kMatchSub || method == Parser::kMatchWord;
    const bool word = method == Parser::kMatchWord || method == Parser::kMatchWordCase;
    auto fold = [blind](char c) { return blind && c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
    auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    for (size_t at = 0; at + pattern.size() <= text.size(); ++at) {
        size_t k = 0;
        while (k < pattern.size() && fold(text[at + k]) == fold(pattern[k])) ++k;
        if (k < pattern.size()) continue;
        const size_t after = at + pattern.size();
        if (word && ((at > 0 && letter(text[at - 1])) || (after < text.size() && letter(text[after])))) continue;
        return static_cast<int>(at);
    }
    return -1;
}

// Texts crowded with rejected occurrences (in every spelling) give the
// same place as trying every place.
TEST(Match, AgreesWithTryingEveryPlace) {
    uint32_t seed = 3;
    const char* const patterns[] = {"a", "A", "ab", "aa", "b", "aBa", "abba"};
    for (int k = 0; k < 20000; ++k) {
        std::string text(static_cast<size_t>(k % 70), ' ');
        for (char& c : text) {
            seed = seed * 1103515245u + 12345u;
            c = "aAaAbB -"[(seed >> 16) % 8];
        }
        const std::string pattern = patterns[k % 7];
        const int method = (k / 7) % 4;
        bool found = false;
        int pos = -1;
        Parser::Match(text, pattern, method, found, pos);
        const int expected = MatchEveryPlace(text, pattern, method);
        ASSERT_EQ(found ? pos : -1, expected) << text << " / " << pattern << " / " << method;
    }
}

TEST(Percent, EncodesOthersAndDecodesBack) {
    std::string s = "Eva Maria, 2.Jürgen\tß%"_cp;
    Parser::PercentEncode(s);
    EXPECT_EQ(s, "Eva%20Maria%2C%202%2EJürgen%09%DF%25"_cp);
    const std::pair<std::string, std::string> decode[] = {
        {"%2c%2C", ",,"}, {"50%", "50%"}, {"%4", "%4"}, {"%zz1", "%zz1"}, {"%252C", "%2C"}};
    for (const auto& [in, out] : decode) {
        std::string t = in;
        Parser::PercentDecode(t);
        EXPECT_EQ(t, out) << in;
    }
    // All 256 codes: only letters, digits and "%" remain, and decoding gives them back.
    std::string all;
    for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
    s = all;
    Parser::PercentEncode(s);
    for (char c : s) {
        int cls = Parser::CharClass()[Code(c)];
        EXPECT_TRUE(c == '%' || cls != Parser::kOther) << Code(c);
    }
    Parser::PercentDecode(s);
    EXPECT_EQ(s, all);
}

TEST(TextHelpers, ReplaceAll) {
    struct Case { std::string text, search, replacement, result; };
    const Case cases[] = {
        {"a\"b\"", "\"", "'", "a'b'"}, {"x%y%", "%", "12", "x12y12"},
        {"aab", "ab", "b", "b"},            // an occurrence made by a replacement goes too
        {"aaab", "ab", "b", "b"},
        {"a", "a", "aa", "aa"},             // replacement holds the search: one pass
        {"xax", "a", "[a]", "x[a]x"}, {"abc", "", "x", "abc"}, {"", "a", "b", ""},
    };
    for (const auto& c : cases) {
        std::string t = c.text;
        Parser::ReplaceAll(t, c.search, c.replacement);
        EXPECT_EQ(t, c.result) << c.text << " " << c.search << " " << c.replacement;
    }
}

TEST(TextHelpers, IsNumber) {
    const std::pair<std::string, bool> cases[] = {
        {" 12 ", true}, {"007", true}, {"-5", true}, {"+7", true}, {"", false},
        {"  ", false},  {"1a", false}, {"+", false}, {"-", false}, {"--", false},
        {"1-2", false}, {"- 5", false}, {"\t5", false}, {"5.0", false},
    };
    for (const auto& [text, number] : cases) EXPECT_EQ(Parser::IsNumber(text), number) << text;
}

TEST(TextHelpers, PadNumberAndLowerFirst) {
    EXPECT_EQ(Parser::PadNumber(-5, 4), "  -5");
    EXPECT_EQ(Parser::PadNumber(1234, 2), "1234");
    for (auto [in, out] : {std::pair<std::string, std::string>{"ÄRGER"_cp, "äRGER"_cp}, {"", ""}, {"1A", "1A"}}) {
        Parser::LowerFirst(in);
        EXPECT_EQ(in, out);
    }
}
