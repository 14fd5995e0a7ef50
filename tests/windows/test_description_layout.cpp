// The heading column of a description, measured in the font the panes use:
// every heading with its help mark in front stops short of the values, with
// room for leader dots, in both editions.
#include <gtest/gtest.h>

#include <QApplication>

#include "LowLevel.h"
#include "QtLowLevel.h"
#include "TextConstants.h"
#include "TextDisplay.h"

namespace {

class DescriptionLayoutTest : public testing::Test {
protected:
    void TearDown() override {
        TextConstants::textLanguage = saved_;
        TextConstants::LoadTexts();
    }
    int saved_ = TextConstants::textLanguage;
};

TEST_F(DescriptionLayoutTest, EveryHeadingWithItsHelpMarkLeavesRoomBeforeTheValues) {
    LowLevel::MeasureCharWidths(nullptr);
    const LowLevel::CharWidthTable& normal = LowLevel::charWidthArial;
    const LowLevel::CharWidthTable& bold = LowLevel::charWidthArialBold;
    ASSERT_GT(LowLevel::TextWidth(normal, "Name"), 0);
    const int mark = LowLevel::TextWidth(bold, "(?)");
    const int dot = normal[' '] + normal['.'];
    for (int language : {0, 1}) {
        TextConstants::textLanguage = language;
        TextConstants::LoadTexts();
        TextDisplay td;
        td.Init("Layout", nullptr, nullptr);
        const int column = static_cast<int>(td.tabPosTwips() / LowLevel::kTwipsPerPixel);
        // The headings of names, groups, origins and saints ("Words" to
        // "Corresponding name").
        for (int i = 0; i <= 29; ++i) {
            const std::string heading = TextConstants::Text(i);
            SCOPED_TRACE(heading);
            // Leader dots stop 4 pixels before the column; at least " . ."
            // must fit, or the heading runs up against its value.
            EXPECT_LE(mark + LowLevel::TextWidth(normal, heading) + 4 + 2 * dot, column);
        }
    }
}

}  // namespace
