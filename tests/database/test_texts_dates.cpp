#include <gtest/gtest.h>

#include "Cp1252.h"
#include "Dates.h"
#include "TextConstants.h"

using namespace TextConstants;

TEST(TextConstants, TextsFollowTheTextLanguage) {
    struct Case {
        int index;
        std::string german, english;
    };
    const Case cases[] = {
        {0, "Wörter"_cp, "Words"},
        {4, "Alte/ursprüngliche Formen"_cp, "Old/original forms"},
        {18, "Bedeutung/Übersetzung"_cp, "Meaning/translation"},
        {28, "Gedenktag", "Saint's day"},
        {39, "für"_cp, "for"},
        {45, "unbekannt", "unknown"},
    };
    textLanguage = 0;
    LoadTexts();
    ASSERT_EQ(Texts.size(), 46u);
    for (const auto& c : cases) EXPECT_EQ(Texts[c.index], c.german) << c.index;
    // cp1252 bytes, one a character.
    EXPECT_EQ(Texts[0].size(), 6u);
    EXPECT_EQ(Texts[0][1], '\xF6');

    textLanguage = 1;
    LoadTexts();
    ASSERT_EQ(Texts.size(), 46u);
    for (const auto& c : cases) EXPECT_EQ(Texts[c.index], c.english) << c.index;
    for (int i = 0; i < kTextCount; ++i) EXPECT_FALSE(Texts[i].empty()) << i;

    EXPECT_EQ(Text(45), "unknown");
    EXPECT_EQ(Text(46), "");
    EXPECT_EQ(Text(-1), "");
}

TEST(TextConstants, OrdinalSuffix) {
    const std::pair<int, const char*> cases[] = {
        {0, "th"},   {1, "st"},   {2, "nd"},   {3, "rd"},   {4, "th"},   {11, "th"},
        {12, "th"},  {13, "th"},  {21, "st"},  {22, "nd"},  {23, "rd"},  {101, "st"},
        {111, "th"}, {112, "th"}, {113, "th"}, {1000, "th"}, {-1, "st"},
    };
    for (const auto& [n, suffix] : cases) EXPECT_EQ(OrdinalSuffix(n), suffix) << n;
}

TEST(Dates, DayMonthTextInBothLanguages) {
    textLanguage = 1;
    Dates::InitMonths();
    EXPECT_EQ(Dates::DayMonthText(1, 1), "January 1");
    EXPECT_EQ(Dates::DayMonthText(19, 3), "March 19");
    EXPECT_EQ(Dates::DayMonthText(31, 5), "May 31");
    EXPECT_EQ(Dates::DayMonthText(25, 12), "December 25");

    textLanguage = 0;
    Dates::InitMonths();
    EXPECT_EQ(Dates::DayMonthText(1, 1), "1. Januar");
    EXPECT_EQ(Dates::DayMonthText(19, 3), "19. März"_cp);
    EXPECT_EQ(Dates::DayMonthText(1, 5), "1. Mai");
    EXPECT_EQ(Dates::MonthName[3].size(), 4u);
}

TEST(Dates, OutOfRangeGivesEmptyText) {
    textLanguage = 1;
    Dates::InitMonths();
    const std::pair<int, int> cases[] = {{0, 1}, {32, 1}, {-5, 3}, {1, 0}, {1, 13}, {1, -1}, {99, 99}};
    for (const auto& [day, month] : cases) EXPECT_EQ(Dates::DayMonthText(day, month), "") << day << "/" << month;
}
