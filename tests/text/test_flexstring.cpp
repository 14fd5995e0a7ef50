#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "Cp1252.h"
#include "Fakes.h"
#include "FlexString.h"
#include "Parser.h"

namespace {

template <typename Op>
std::string Edited(const std::string& text, Op op) {
    FlexString f(text);
    op(f);
    return f.GetStr();
}
#define ED(text, ...) Edited(text, [&](FlexString& f) { __VA_ARGS__; })

}  // namespace

TEST(FlexStringBasics, EditingInPlace) {
    struct Case { std::string result; std::string expected; };
    FlexString ab("ab");
    const Case cases[] = {
        {ED("Marianne", f.Delete(3, 2)), "Marnne"}, {ED("Anna", f.Delete(4, 0)), "Anna"},
        {ED("Anna", f.Insert(ab, 2)), "Anabna"}, {ED("Anna", f.Insert(ab, 4)), "Annaab"},
        {ED("Anna", f.Insert(f, 1)), "AAnnanna"}, {ED("Anna", f.PutAt(ab, 2)), "Anab"},
        {ED("Anna", f.PutCharAt("e", 3)), "Anne"}, {ED("Anna", f.ElimChar("n")), "Aa"},
        {ED("Anna", f.Reverse()), "annA"}, {ED("anna-lena maria", f.StartAllUpper()), "Anna-lena Maria"},
        {ED(" anna", f.StartAllUpper()), " Anna"}, {ED("élodie"_cp, f.StartUpper()), "Élodie"_cp},
        {ED("ANNA ÉLÈNE"_cp, f.Lowercase(2)), "ANna élène"_cp},
        {ED("Jürgen Ärger Öl ß"_cp, f.ElimUmlauts()), "Juergen Aerger Oel ß"_cp},
        {ED("Zoë Ångström"_cp, f.BaseChar()), "Zoe Angstrom"}, {ED("", f.Reverse(), f.Uppercase()), ""},
        {ED("Anna", f.RepeatChar("xy", 3)), "xxx"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.result, c.expected);
    const std::pair<std::string, std::string> doubles[] = {{"Anna", "Ana"}, {"aaa", "aa"}, {"aaaaa", "aaa"}, {"", ""}};
    for (const auto& [in, out] : doubles) EXPECT_EQ(ED(in, f.ElimDouble()), out);  // every other of a run
    EXPECT_TRUE(Fakes().TakeAsserts().empty());
}

TEST(FlexStringBasics, BadPositionsAssertAndStayInside) {
    struct Case { std::string result; std::string expected, assert; };
    FlexString abc("abc");
    const Case cases[] = {
        {ED("Anna", f.Delete(2, 5)), "An", "Delete"}, {ED("Anna", f.Delete(9, 1)), "Anna", "Delete"},
        {ED("Anna", f.Insert(abc, 5)), "Anna", "Insert"}, {ED("Anna", f.PutAt(abc, 2)), "Anab", "PutAt mLen"},
        {ED("Anna", f.PutCharAt("xy", 0)), "Anna", "PutCharAt"},
        {ED("Anna", f.PutCharAt("x", 4)), "Anna", "PutCharAt"},
        {ED("Anna", f.PutCodeAt(1000, -1)), "Anna", "PutCodeAt"},
        {ED("Anna", EXPECT_EQ(f.CharAt(5), 0)), "Anna", "CharAt"},
    };
    std::vector<std::string> expectedAsserts;
    for (const auto& c : cases) {
        EXPECT_EQ(c.result, c.expected);
        expectedAsserts.push_back("*** Assert: *** " + c.assert);
    }
    EXPECT_EQ(Fakes().TakeAsserts(), expectedAsserts);
}

TEST(FlexStringBasics, InStr) {
    FlexString f("Marianne");
    int pos = -1;
    bool found = false;
    f.InStr(FlexString("an"), pos, found);
    EXPECT_EQ(std::pair(found, pos), std::pair(true, 4));
    f.InStr(FlexString(""), pos, found);
    EXPECT_FALSE(found);
    EXPECT_EQ(Fakes().TakeAsserts(), std::vector<std::string>{"*** Assert: *** InStr s"});
}

TEST(FlexStringDistance, KnownPairsAtAnyLength) {
    struct Case { std::string a, b; int distance; };
    const Case cases[] = {
        {"ANNA", "ANA", 1}, {"", "ANNA", 4}, {"ANNA", "ANNA", 0}, {"kitten", "sitting", 3}, {"", "", 0},
        {std::string(50, 'A'), std::string(50, 'A') + "B", 1}, {std::string(60, 'x'), std::string(60, 'y'), 60},
        {std::string(36, 'a'), std::string(1, 'a'), 35}, {std::string(40, 'a') + "xyz", "xyz" + std::string(40, 'a'), 6},
        {"Maximilian-Alexander von Hohenstein-Ebersberg", "Maximilian Alexander von Hohenstein Ebersberg", 2},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FlexString(c.a).Distance(FlexString(c.b)), c.distance) << c.a << " / " << c.b;
        EXPECT_EQ(FlexString(c.b).Distance(FlexString(c.a)), c.distance) << c.b << " / " << c.a;
    }
}

// Distance with a limit gives the exact distance within the limit and
// limit + 1 beyond it, however far beyond.
TEST(FlexStringDistance, WithinALimit) {
    struct Case { std::string a, b; int limit, distance; };
    const Case cases[] = {
        {"ANNA", "ANA", 1, 1}, {"ANNA", "ANNA", 0, 0}, {"ANNA", "ANA", 0, 1}, {"", "", 0, 0},
        {"", "AN", 2, 2}, {"", "ANN", 2, 3}, {"ANNA", "ANNABELLE", 2, 3}, {"ANNA", "ANNABELLE", 5, 5},
        {"kitten", "sitting", 2, 3}, {"kitten", "sitting", 3, 3}, {"kitten", "sitting", 9, 3},
        // The best way leaves the diagonal by the whole limit and comes back.
        {"XABCDEF", "ABCDEFX", 2, 2}, {"XXABCDE", "ABCDEXX", 4, 4}, {"XXABCDE", "ABCDEXX", 3, 4},
        // Equal lengths, every row beyond the limit from the first letter on.
        {std::string(35, 'Q'), std::string(35, 'A'), 2, 3}, {std::string(35, 'Q'), std::string(35, 'A'), 40, 35},
        {std::string(34, 'A') + "B", std::string(35, 'A'), 1, 1}, {"B" + std::string(34, 'A'), std::string(35, 'A'), 1, 1},
        {"PETR", "PETRA", 2, 1}, {"PT", "PETRA", 2, 3}, {"ANNA", "ANNA", -1, 0}, {"ANNA", "ANA", -1, 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FlexString(c.a).Distance(FlexString(c.b), c.limit), c.distance) << c.a << " / " << c.b << " " << c.limit;
        EXPECT_EQ(FlexString(c.b).Distance(FlexString(c.a), c.limit), c.distance) << c.b << " / " << c.a << " " << c.limit;
    }
}

// The whole table, as the lookup computed it before it kept to the band.
static int FullTableDistance(const std::string& a, const std::string& b) {
    std::vector<std::vector<int>> d(a.size() + 1, std::vector<int>(b.size() + 1));
    for (size_t i = 0; i <= a.size(); ++i) d[i][0] = static_cast<int>(i);
    for (size_t j = 0; j <= b.size(); ++j) d[0][j] = static_cast<int>(j);
    for (size_t i = 1; i <= a.size(); ++i)
        for (size_t j = 1; j <= b.size(); ++j)
            d[i][j] = std::min({d[i - 1][j - 1] + (a[i - 1] != b[j - 1] ? 1 : 0), d[i - 1][j] + 1, d[i][j - 1] + 1});
    return d[a.size()][b.size()];
}

TEST(FlexStringDistance, BandAgreesWithTheWholeTable) {
    std::mt19937 rng(20261207);
    const std::string letters = "AB\xc4N";   // few letters, so close pairs are common
    auto randomText = [&](int maxLen) {
        std::string t(std::uniform_int_distribution<int>(0, maxLen)(rng), ' ');
        for (char& ch : t) ch = letters[std::uniform_int_distribution<size_t>(0, letters.size() - 1)(rng)];
        return t;
    };
    for (int k = 0; k < 60000; ++k) {
        const std::string a = randomText(k % 3 == 0 ? 40 : 9);
        std::string b = a;
        // Mostly a few edits of a, sometimes an unrelated text.
        if (k % 5 == 0) {
            b = randomText(9);
        } else {
            for (int e = std::uniform_int_distribution<int>(0, 4)(rng); e > 0; --e) {
                const size_t pos = std::uniform_int_distribution<size_t>(0, b.size())(rng);
                const char ch = letters[std::uniform_int_distribution<size_t>(0, letters.size() - 1)(rng)];
                switch (std::uniform_int_distribution<int>(0, 2)(rng)) {
                    case 0: b.insert(pos, 1, ch); break;
                    case 1: if (pos < b.size()) b.erase(pos, 1); break;
                    default: if (pos < b.size()) b[pos] = ch; break;
                }
            }
        }
        const int full = FullTableDistance(a, b);
        const int limit = k % 6;
        ASSERT_EQ(FlexString(a).Distance(FlexString(b)), full) << a << " / " << b;
        ASSERT_EQ(FlexString(a).Distance(FlexString(b), limit), std::min(full, limit + 1)) << a << " / " << b << " " << limit;
    }
}

TEST(FlexStringWildMatch, Examples) {
    struct Case { std::string text, pattern; bool found; std::string shown; };
    const Case cases[] = {
        {"MARIANNE", "MAR*NE", true, "MAR___NE"}, {"ANNA", "?NNA", true, "ANNA"}, {"ANNA", "A?NA", true, "ANNA"},
        {"ANNA", "*", true, "____"}, {"", "*", true, ""}, {"", "A*", false, ""}, {"", "?", false, ""},
        {"", "", true, ""}, {"ANNA", "A*A", true, "A__A"}, {"ANNA", "*N*", true, "_N__"},
        {"ANNA", "A**N*A", true, "AN_A"}, {"AXCAYB", "*A?B*", true, "___AYB"}, {"ANNA", "ANN", false, ""},
        {"ANNA", "ANNAS", false, ""}, {"anna", "ANNA", false, ""}, {"ANN ", "ANN?", true, "ANN "},
        {"ANN", "ANN ", false, ""}, {std::string(150, 'B') + "Z", "B*Z", true, "B" + std::string(149, '_') + "Z"},
        {std::string(150, 'B'), "*B?", true, std::string(148, '_') + "BB"},
    };
    for (const auto& c : cases) {
        bool found = !c.found;
        std::string shown = "untouched";
        FlexString(c.text).WildMatch(c.pattern, found, shown);
        EXPECT_EQ(found, c.found) << c.text << " / " << c.pattern;
        EXPECT_EQ(shown, c.found ? c.shown : "untouched") << c.text << " / " << c.pattern;
    }
}

TEST(FlexStringAllOccur, Pools) {
    struct Case { std::string pool, tags, probe; bool reuse, inOrder, found; std::string tagText, positions; };
    const Case cases[] = {
        {"NANA", "1234", "ANNA", false, false, true, "2134", " 1 0 2 3"},
        {"ANA", "123", "ANNA", false, false, false, "", " 0 1"},
        {"ANA", "123", "ANNA", true, false, true, "1221", " 0 1 1 0"},
        {"NA", "12", "AN", false, false, true, "21", " 1 0"}, {"NA", "12", "AN", false, true, false, "", " 1"},
        {"NAN", "123", "AN", true, true, true, "23", " 1 2"},
        {"ANNAPETER", "111122222", "PETRA", false, false, true, "22221", " 4 5 6 8 0"},
        {"ANNA", "1111", "", false, false, true, "", ""},
        {std::string(120, 'X') + "AB", std::string(122, '7'), "BA", false, true, false, "", "121"},
        {std::string(120, 'X') + "AB", std::string(122, '7'), "AB", false, true, true, "77", "120121"},
    };
    for (const auto& c : cases) {
        std::string tagText = "unset";
        std::string positions = "unset";
        bool found = !c.found;
        FlexString(c.pool).AllOccur(FlexString(c.probe), FlexString(c.tags), c.reuse, c.inOrder, tagText,
                                    positions, found);
        EXPECT_EQ(found, c.found) << c.pool << " / " << c.probe;
        EXPECT_EQ(tagText, c.found ? c.tagText : "unset") << c.pool << " / " << c.probe;
        EXPECT_EQ(positions, c.positions) << c.pool << " / " << c.probe;
    }
    // Positions past 99 run together in the text; the list keeps them apart.
    std::vector<int> at;
    std::string tagText, positions;
    bool found = false;
    FlexString(std::string(120, 'X') + "AB")
        .AllOccur(FlexString("BXA"), FlexString(std::string(122, '-')), false, false, tagText, positions, found, &at);
    EXPECT_EQ(at, (std::vector<int>{121, 0, 120}));
}

TEST(FlexStringRuns, EvalRunsAndGetCharOfType) {
    struct Case { std::string a, b; int prefix, suffix; } cases[] = {{"MARIANNE", "MARINA", 4, 0}, {"ABCD", "ABCD", 3, 4}, {"ANNA", "ANA", 1, 2},
                 {"", "AB", 0, 0},             {"XA", "YA", 0, 1},     {"A", "AA", 0, 1}};
    for (const auto& c : cases) {
        int prefix = -1, suffix = -1;
        FlexString(c.a).EvalRuns(FlexString(c.b), prefix, suffix);
        EXPECT_EQ(std::pair(prefix, suffix), std::pair(c.prefix, c.suffix)) << c.a << " / " << c.b;
    }
    // Alternating runs from the non-vowel class, as a spelling comparison cuts them.
    FlexString name("Christjane 7");
    std::vector<std::string> runs;
    FlexString run;
    int pos = 0;
    for (bool vowels = false; pos < name.StrLen(); vowels = !vowels) {
        run.GetCharOfType(name, pos, vowels);
        runs.push_back(run.GetStr());
    }
    EXPECT_EQ(runs, (std::vector<std::string>{"Chr", "i", "st", "ja", "n", "e", " 7"}));
}

TEST(FlexStringSyllables, CountsAndCoding) {
    const std::pair<std::string, int> cases[] = {
        {"MARIA", 3}, {"EUGEN", 2}, {"CHRISTOPH", 2}, {"JAN", 2}, {"", 0},
        {"Käuzchen"_cp, 2}, {"Paula", 2}, {"Schau", 1}, {"Zoë"_cp, 2}, {"Brynn", 1},
    };
    for (const auto& [name, n] : cases) EXPECT_EQ(FlexString(name).NumSyllables(), n) << name;

    FlexString f("SCHAUCH");
    f.CodeSpecialLetters();  // SCH before CH can take its end; AU
    EXPECT_EQ((std::vector<int>{f.StrLen(), f.CharAt(0), f.CharAt(1), f.CharAt(2)}), (std::vector<int>{3, 2001, 1000, 2002}));
    EXPECT_EQ(f.GetStr(), "SCHAUCH");
}

TEST(FlexStringBreak, Examples) {
    CharWidths widths;
    widths.fill(1);
    widths['W'] = 3;
    struct Case { std::string text; int maxWidth; std::vector<std::string> lines; };
    const Case cases[] = {
        {"Anna Lena", 100, {"Anna Lena"}}, {"", 10, {""}}, {"aaa bbb ccc", 7, {"aaa bbb", "ccc"}},
        {"aaa bbb ccc", 5, {"aaa", "bbb", "ccc"}}, {"abcdefghij", 4, {"abcd", "efgh", "ij"}},
        {"ab cdefghij", 4, {"ab", "cdef", "ghij"}}, {"WW a", 5, {"W", "W a"}}, {"W", 2, {"W"}},
        {"a b c", 1, {"a", "b", "c"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> lines{"old"};
        int count = -1;
        FlexString(c.text).Break(c.maxWidth, lines, count, widths);
        EXPECT_EQ(lines, c.lines) << c.text << " @ " << c.maxWidth;
        EXPECT_EQ(count, static_cast<int>(lines.size()));
    }
}
