#include <gtest/gtest.h>

#include "Basic.h"
#include "Cp1252.h"
#include "Errors.h"
#include "Fakes.h"
#include "TextConstants.h"

using namespace Basic;

TEST(Basic, ValReadsTheLeadingNumber) {
    EXPECT_EQ(Val("12abc"), 12);
    EXPECT_EQ(Val("abc"), 0);
    EXPECT_EQ(Val("7.5"), 7.5);
    EXPECT_EQ(Val("  -3x"), -3);
    EXPECT_EQ(Val(""), 0);
    EXPECT_EQ(Val("1.2.3"), 1.2);
}

TEST(Basic, CLngRoundsHalvesToEven) {
    EXPECT_EQ(CLng(7.5), 8);
    EXPECT_EQ(CLng(6.5), 6);
    EXPECT_EQ(CLng(-2.5), -2);
    EXPECT_EQ(CLng(-3.5), -4);
    EXPECT_EQ(CLng(2.4999), 2);
    EXPECT_EQ(CLng(850.5), 850);
    EXPECT_EQ(CLng(1e20), 2147483647);
}

TEST(Basic, StrAndSubstrings) {
    EXPECT_EQ(Str(5), " 5");
    EXPECT_EQ(Str(0), " 0");
    EXPECT_EQ(Str(-5), "-5");
    EXPECT_EQ(Left("abc", 5), "abc");
    EXPECT_EQ(Left("abc", -1), "");
    EXPECT_EQ(Right("abc", 2), "bc");
    EXPECT_EQ(Mid("abcdef", 2, 3), "bcd");
    EXPECT_EQ(Mid("abc", 4), "");
    EXPECT_EQ(Mid("abc", 0, 2), "ab");
    EXPECT_EQ(InStr("abcabc", "c"), 3);
    EXPECT_EQ(InStr(4, "abcabc", "c"), 6);
    EXPECT_EQ(InStr(9, "abc", "a"), 0);
    EXPECT_EQ(InStr("abc", "x"), 0);
}

TEST(Cp1252, EveryByteSurvivesTheRoundTrip) {
    std::string all;
    for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
    bool ok = false;
    EXPECT_EQ(Cp1252::FromUtf8(Cp1252::ToUtf8(all), '?', &ok), all);
    EXPECT_TRUE(ok);
    EXPECT_EQ(Cp1252::ToUnicode(0x80), U'\u20AC');
    EXPECT_EQ(Cp1252::ToUnicode(0x9F), U'\u0178');
    EXPECT_EQ(Cp1252::ToUnicode(0xDF), U'\u00DF');
}

TEST(Cp1252, UnrepresentableCharactersAreReplacedAndReported) {
    bool ok = true;
    EXPECT_EQ(Cp1252::FromUtf8("a\xE2\x82\xACz\xE4\xB8\xAD", '?', &ok), "a\x80z?");
    EXPECT_FALSE(ok);
    EXPECT_EQ(Cp1252::FromUtf8("\xC3", '?', &ok), "?");  // cut short
    EXPECT_FALSE(ok);
}

TEST(Cp1252, GermanLiteralsReachTheCoreAsSingleBytes) {
    EXPECT_EQ("Wörter"_cp.size(), 6u);
    EXPECT_EQ("Wörter"_cp, std::string("W\xF6rter"));
    EXPECT_EQ("Strauß"_cp, std::string("Strau\xDF"));
}

TEST(Errors, PadToWidthAlwaysGivesTheWidth) {
    EXPECT_EQ(Errors::PadToWidth("WinMan", 12), "WinMan      ");
    EXPECT_EQ(Errors::PadToWidth("ABCDEFGHIJKL", 12), "ABCDEFGHIJK ");
    EXPECT_EQ(Errors::PadToWidth("ABCDEFGHIJKLMNOP", 12), "ABCDEFGHIJK ");
    EXPECT_EQ(Errors::PadToWidth("", 15), std::string(15, ' '));
}

TEST(Errors, EntryLayoutWithTheHundredthsOfTheTimer) {
    std::string mod = "WinMan      ", proc = "Main           ";
    EXPECT_EQ(Errors::FormatEntry(5, 3, 2026, 9, 7, 2, 32822.0, "WinMan", "Main", "Init"),
              "05.03.2026 09:07:02:  " + mod + proc + "Init");
    EXPECT_EQ(Errors::FormatEntry(5, 3, 2026, 9, 7, 2, 32822.5, "WinMan", "Main", "Init"),
              "05.03.2026 09:07:02:5  " + mod + proc + "Init");
    EXPECT_EQ(Errors::FormatEntry(5, 3, 2026, 9, 7, 2, 32822.37, "WinMan", "Main", ""),
              "05.03.2026 09:07:02:37  " + mod + proc);
}

class LogFileTest : public testing::Test {
protected:
    void SetUp() override {
        Errors::LogFile = testing::TempDir() + "errors_log_test.log";
        std::remove(Errors::LogFile.c_str());
        Errors::LogRunStart = true;
    }
    void TearDown() override {
        std::remove(Errors::LogFile.c_str());
        Errors::LogEnabled = false;
    }
    std::string Contents() {
        std::string s;
        if (std::FILE* f = std::fopen(Errors::LogFile.c_str(), "rb")) {
            char buf[4096];
            size_t n;
            while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) s.append(buf, n);
            std::fclose(f);
        }
        return s;
    }
};

TEST_F(LogFileTest, AssertWithLoggingOffShowsTheBoxAndWritesNothing) {
    Errors::LogEnabled = false;
    Errors::Assert(false, "LoadOnDemand open");
    Errors::Assert(true, "never");
    EXPECT_EQ(Fakes().TakeAsserts(), std::vector<std::string>{"*** Assert: *** LoadOnDemand open"});
    EXPECT_EQ(Contents(), "");
}

TEST_F(LogFileTest, EachRunWritesOneSeparatorBeforeItsFirstEntry) {
    Errors::LogEnabled = true;
    Fakes().clock.now = {2026, 12, 6, 17, 0, 1, 61201.0};
    Errors::Assert(false, "SortPop years");
    Errors::LogEntry("WinMan", "Main", "Init");
    Errors::LogRunStart = true;  // a second run appends to the same file
    Errors::LogEntry("WinMan", "Main", "Init");
    Fakes().TakeAsserts();
    std::string sep(54, '-');
    std::string e1 = "06.12.2026 17:00:01:  Errors      Assert         SortPop years";
    std::string e2 = "06.12.2026 17:00:01:  WinMan      Main           Init";
    EXPECT_EQ(Contents(), sep + "\r\n" + e1 + "\r\n" + e2 + "\r\n" + sep + "\r\n" + e2 + "\r\n");
}

TEST(Errors, DebugSwitchIsLookedForInTheArgumentsOnly) {
    EXPECT_TRUE(Errors::HasDebugSwitch({"/d"}));
    EXPECT_TRUE(Errors::HasDebugSwitch({"x", "/DEBUG"}));
    EXPECT_FALSE(Errors::HasDebugSwitch({}));
    EXPECT_FALSE(Errors::HasDebugSwitch({"-d", "D/"}));
}

TEST(TextConstants, PickersFollowTheirOwnFlag) {
    TextConstants::textLanguage = 1;
    TextConstants::edition = 0;
    EXPECT_EQ(TextConstants::LangText("Eigene Namen", "New Names"), "New Names");
    EXPECT_EQ(TextConstants::EditionText("Orsa1Dat.bin", "Talv1Dat.bin"), "Orsa1Dat.bin");
    TextConstants::textLanguage = 0;
    EXPECT_EQ(TextConstants::LangText("Eigene Namen", "New Names"), "Eigene Namen");
}
