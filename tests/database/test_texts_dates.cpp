#include <gtest/gtest.h>

#include "Cp1252.h"
#include "Dates.h"
#include "TextConstants.h"

using namespace TextConstants;

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
