#include <gtest/gtest.h>

#include "Basic.h"
#include "Cp1252.h"
#include "Dates.h"
#include "Errors.h"
#include "Fakes.h"
#include "TempFolder.h"
#include "TextConstants.h"

using namespace Basic;
using namespace TextConstants;

TEST(Basic, ValCLngAndOneBasedSubstrings) {
    const std::pair<std::string, double> vals[] = {{"12abc", 12}, {"abc", 0}, {"7.5", 7.5}, {"  -3x", -3}, {"1.2.3", 1.2}};
    for (const auto& [text, v] : vals) EXPECT_EQ(Val(text), v) << text;
    const std::pair<double, int> rounded[] = {{7.5, 8}, {6.5, 6}, {-2.5, -2}, {-3.5, -4}, {2.4999, 2}, {1e20, 2147483647}};
    for (const auto& [d, n] : rounded) EXPECT_EQ(CLng(d), n) << d;
    EXPECT_EQ(Str(5), " 5");
    EXPECT_EQ(Str(-5), "-5");
    EXPECT_EQ(Left("abc", -1), "");
    EXPECT_EQ(Right("abc", 2), "bc");
    EXPECT_EQ(Mid("abcdef", 2, 3), "bcd");
    EXPECT_EQ(Mid("abc", 4), "");
    EXPECT_EQ(InStr(4, "abcabc", "c"), 6);
    EXPECT_EQ(InStr(9, "abc", "a"), 0);
}

TEST(Cp1252, EveryByteSurvivesTheRoundTrip) {
    std::string all;
    for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
    bool ok = false;
    EXPECT_EQ(Cp1252::FromUtf8(Cp1252::ToUtf8(all), '?', &ok), all);
    EXPECT_TRUE(ok);
    EXPECT_EQ(Cp1252::ToUnicode(0x80), U'\u20AC');
    EXPECT_EQ(Cp1252::ToUnicode(0x9F), U'\u0178');
    // Characters without a cp1252 byte, and a sequence cut short, are replaced and reported.
    EXPECT_EQ(Cp1252::FromUtf8("a\xE2\x82\xACz\xE4\xB8\xAD", '?', &ok), "a\x80z?");
    EXPECT_FALSE(ok);
    EXPECT_EQ(Cp1252::FromUtf8("\xC3", '?', &ok), "?");
    EXPECT_FALSE(ok);
    // Overlong forms ("../"), a surrogate and a code point past U+10FFFF are
    // malformed: one replacement a byte, never the character they imitate.
    EXPECT_EQ(Cp1252::FromUtf8("\xC0\xAE\xE0\x80\xAF\xED\xA0\x80\xF4\x90\x80\x80", '?', &ok), std::string(12, '?'));
    EXPECT_FALSE(ok);
    // German literals reach the core as single bytes.
    EXPECT_EQ("Wörter"_cp.size(), 6u);
    EXPECT_EQ("Wörter"_cp, std::string("W\xF6rter"));
}

TEST(Errors, EntryLayoutWithTheHundredthsOfTheTimer) {
    EXPECT_EQ(Errors::PadToWidth("ABCDEFGHIJKLMNOP", 12), "ABCDEFGHIJK ");  // always a blank after
    std::string cols = "WinMan      Main           ";
    EXPECT_EQ(Errors::FormatEntry(5, 3, 2026, 9, 7, 2, 32822.0, "WinMan", "Main", "Init"),
              "05.03.2026 09:07:02:  " + cols + "Init");
    EXPECT_EQ(Errors::FormatEntry(5, 3, 2026, 9, 7, 2, 32822.5, "WinMan", "Main", "Init"),
              "05.03.2026 09:07:02:5  " + cols + "Init");
    EXPECT_EQ(Errors::FormatEntry(5, 3, 2026, 9, 7, 2, 32822.37, "WinMan", "Main", ""),
              "05.03.2026 09:07:02:37  " + cols);
}

TEST(Errors, EachRunWritesOneSeparatorBeforeItsFirstEntry) {
    TempFolder dir;
    Errors::LogFile = dir / "errors.log";
    Errors::LogRunStart = true;
    Errors::LogEnabled = false;  // off: the box only
    Errors::Assert(false, "LoadOnDemand open");
    Errors::Assert(true, "never");
    EXPECT_EQ(Fakes().TakeAsserts(), std::vector<std::string>{"*** Assert: *** LoadOnDemand open"});
    EXPECT_EQ(TempFolder::Get(Errors::LogFile), "");

    Errors::LogEnabled = true;
    Fakes().clock.now = {2026, 12, 6, 17, 0, 1, 61201.0};
    Errors::Assert(false, "SortPop years");
    Errors::LogEntry("WinMan", "Main", "Init");
    Errors::LogRunStart = true;  // a second run appends to the same file
    Errors::LogEntry("WinMan", "Main", "Init");
    Errors::LogEnabled = false;
    Fakes().TakeAsserts();
    std::string sep(54, '-');
    std::string e1 = "06.12.2026 17:00:01:  Errors      Assert         SortPop years";
    std::string e2 = "06.12.2026 17:00:01:  WinMan      Main           Init";
    EXPECT_EQ(TempFolder::Get(Errors::LogFile), sep + "\r\n" + e1 + "\r\n" + e2 + "\r\n" + sep + "\r\n" + e2 + "\r\n");
}

TEST(Errors, DebugSwitchIsLookedForInTheArgumentsOnly) {
    EXPECT_TRUE(Errors::HasDebugSwitch({"x", "/DEBUG"}));
    EXPECT_TRUE(Errors::HasDebugSwitch({"/d"}));
    EXPECT_FALSE(Errors::HasDebugSwitch({"-d", "D/"}));
}

TEST(TextConstants, TextsFollowTheTextLanguage) {
    textLanguage = 0;
    LoadTexts();
    EXPECT_EQ(Texts[0], "Wörter"_cp);
    EXPECT_EQ(Texts[39], "für"_cp);
    textLanguage = 1;
    LoadTexts();
    EXPECT_EQ(Texts[0], "Words");
    for (int i = 0; i < kTextCount; ++i) EXPECT_FALSE(Texts[i].empty()) << i;
    EXPECT_EQ(Text(kTextCount), "");
    EXPECT_EQ(Text(-1), "");
    EXPECT_EQ(LangText("Eigene Namen", "New Names"), "New Names");
}

TEST(TextConstants, OrdinalSuffix) {
    const std::pair<int, const char*> cases[] = {
        {1, "st"},  {2, "nd"},   {3, "rd"},   {4, "th"},   {11, "th"},  {12, "th"},  {13, "th"},
        {21, "st"}, {22, "nd"},  {23, "rd"},  {101, "st"}, {111, "th"}, {112, "th"}, {113, "th"},
    };
    for (const auto& [n, suffix] : cases) EXPECT_EQ(OrdinalSuffix(n), suffix) << n;
}

TEST(Dates, DayMonthTextInBothLanguagesAndEmptyOutOfRange) {
    textLanguage = 1;
    Dates::InitMonths();
    EXPECT_EQ(Dates::DayMonthText(19, 3), "March 19");
    const std::pair<int, int> bad[] = {{0, 1}, {32, 1}, {-5, 3}, {1, 0}, {1, 13}, {99, 99}};
    for (const auto& [day, month] : bad) EXPECT_EQ(Dates::DayMonthText(day, month), "") << day << "/" << month;
    textLanguage = 0;
    Dates::InitMonths();
    EXPECT_EQ(Dates::DayMonthText(19, 3), "19. März"_cp);
    EXPECT_EQ(Dates::DayMonthText(1, 5), "1. Mai");
}
