// The layout of the hit-parade charts: rows, labels, bars and their shades.
#include <gtest/gtest.h>

#include "PopChart.h"
#include "TextConstants.h"

namespace {

using Searches::PopEntry;
using Searches::PopSeriesInfo;

constexpr double kU = 57;

// Every character is 100 twips wide, whatever the height.
double Measure(const std::string& text, double) { return 100.0 * static_cast<double>(text.size()); }

PopEntry Yearly(int year, int rank, int years = 1) {
    PopEntry e;
    e.rank = rank;
    e.fromYear = year;
    e.years = years;
    e.seriesIndex = 0;
    return e;
}

// One series holding the given entries.
struct Index {
    std::vector<PopEntry> entries;
    std::vector<PopSeriesInfo> series;
    explicit Index(std::vector<PopEntry> e) : entries(std::move(e)) {
        PopSeriesInfo s;
        s.first = 0;
        s.count = static_cast<int>(entries.size());
        for (const PopEntry& x : entries) s.worstRank = std::max(s.worstRank, x.rank);
        series.push_back(s);
    }
    PopChart::Layout Series(const PopChart::Area& area) const {
        return PopChart::SeriesChart(0, entries, static_cast<int>(entries.size()), series, 1, "Emma", area, Measure);
    }
    PopChart::Layout Year(int year, const PopChart::Area& area) const {
        return PopChart::YearChart(year, entries, static_cast<int>(entries.size()), area, Measure);
    }
};

TEST(PopChart, BarShadesGrowDarkerWithTheRank) {
    struct Case {
        int worst, rank, v;
    };
    for (const Case& c : {Case{4, 2, 64}, Case{4, 4, 191}, Case{10, 10, 229}, Case{1, 1, 0}, Case{100, 1, 0},
                          Case{37, 1, 0}}) {
        EXPECT_EQ(PopChart::BarColor(c.worst, c.rank), c.v | (c.v << 8) | (255 << 16)) << c.worst << " " << c.rank;
    }
}

TEST(PopChart, OneEntryFillsOneRowUpToTheMaximumHeight) {
    const PopChart::Area tall{6000, 4000, kU}, flat{6000, 100, kU};
    for (int rank : {1, 5}) {
        Index one({Yearly(2020, rank)});
        for (const auto& area : {tall, flat}) {
            const auto l = one.Series(area);
            ASSERT_EQ(l.rows, 1);
            EXPECT_DOUBLE_EQ(l.rowHeight, std::min(area.height, 3.7 * kU));
            ASSERT_EQ(l.bars.size(), 1u);
            // The rank is also the worst rank, so the bar is one step of
            // the scale: a rank 1 fills the width, a rank 5 one fifth of it.
            const double full = area.width - l.bars[0].left;
            EXPECT_DOUBLE_EQ(l.bars[0].width, full / rank);
            EXPECT_EQ(l.bars[0].fill, PopChart::BarColor(rank, rank));
        }
    }
    // With a better rank beside it, rank 5 of 5 is one fifth of rank 1's bar.
    Index two({Yearly(2019, 1), Yearly(2020, 5)});
    const auto l = two.Series(tall);
    ASSERT_EQ(l.bars.size(), 2u);
    EXPECT_DOUBLE_EQ(l.bars[1].width * 5, l.bars[0].width);
    EXPECT_DOUBLE_EQ(l.bars[0].left + l.bars[0].width, tall.width);
}

TEST(PopChart, SeriesChartDrawsEveryYearAndSizesItsRowsForThem) {
    TextConstants::textLanguage = 1;
    // 2002, a gap of two years, 2005 to 2007.
    Index gaps({Yearly(2002, 3), Yearly(2005, 2), Yearly(2006, 1), Yearly(2007, 10)});
    const PopChart::Area area{9000, 1500, kU};
    const auto l = gaps.Series(area);
    EXPECT_EQ(l.caption, "Graph for series /Emma");
    ASSERT_EQ(l.rows, 6);
    ASSERT_EQ(l.labels.size(), 12u);
    EXPECT_EQ(l.labels[2].text, "2003");
    EXPECT_EQ(l.labels[3].text, "-");
    EXPECT_EQ(l.labels[3].alignment, 1);
    EXPECT_EQ(l.bars.size(), 4u);  // none for the gap years
    for (const auto& label : l.labels) EXPECT_LE(label.top + label.height, area.height + kU / 2 + 1e-6);
    // Rank labels follow their year's text; all bars share the first bar's left.
    EXPECT_DOUBLE_EQ(l.labels[1].left, kU / 2 + 400 + kU);
    const double x0 = l.labels[1].left + 7 * kU + 2 * kU;
    for (const auto& b : l.bars) EXPECT_DOUBLE_EQ(b.left, x0);
    EXPECT_DOUBLE_EQ(l.bars[0].lineWidth, kU / 10);
    EXPECT_EQ(l.bars[2].fill, 0xFF0000);  // rank 1 of 10

    // A series whose first hit parade spans several years gives no chart.
    Index span({Yearly(1990, 3, 10), Yearly(2001, 2)});
    const auto cleared = span.Series(area);
    EXPECT_TRUE(cleared.clearGraph);
    EXPECT_TRUE(cleared.labels.empty());
}

TEST(PopChart, YearChartListsTheYearsHitParadesWithSharedRankColumn) {
    TextConstants::textLanguage = 0;
    Index year({Yearly(2020, 3), Yearly(2020, 1), Yearly(2020, 2, 10), Yearly(2019, 4)});
    const PopChart::Area area{9000, 3000, kU};
    const auto l = year.Year(2020, area);
    EXPECT_EQ(l.caption, "Grafik f\xfcr das Jahr 2020");
    ASSERT_EQ(l.rows, 2);
    ASSERT_EQ(l.labels.size(), 4u);
    EXPECT_EQ(l.labels[2].text, "3");
    EXPECT_EQ(l.labels[3].text, "1");
    ASSERT_EQ(l.bars.size(), 2u);
    EXPECT_EQ(l.bars[0].fill, PopChart::BarColor(3, 3));
    EXPECT_DOUBLE_EQ(l.bars[1].left + l.bars[1].width, area.width);

    // A year without entries: the caption only.
    const auto none = year.Year(1999, area);
    EXPECT_EQ(none.rows, 0);
    EXPECT_TRUE(none.labels.empty() && none.bars.empty());
    EXPECT_EQ(none.caption, "Grafik f\xfcr das Jahr 1999");
}

// Rows fill the height up to 3.7 mm, but never shrink below the legible
// minimum: then they need more than the canvas shows, and the layout's
// height, which the canvas takes, still covers every row.
TEST(PopChart, RowsKeepTheirMinimumAndTheLayoutHeightCoversThemAll) {
    EXPECT_DOUBLE_EQ(PopChart::MinRowHeight(9), 225);  // a 9-point label fills 4/5 of 225 twips
    EXPECT_DOUBLE_EQ(PopChart::MinRowHeight(0), 0);
    std::vector<PopEntry> century;
    for (int y = 1900; y <= 2020; ++y) century.push_back(Yearly(y, 1 + (y * 7) % 100));
    Index anna(century);
    struct Case {
        double height, minimum;
        int years;    // of the series, from 1900
        double rowH;  // expected
    };
    const Case cases[] = {
        {1740, 0, 121, 1740 / (121 + 0.2 * 120)},  // no minimum: microscopic, as before
        {1740, 180, 121, 180},                     // the minimum holds
        {30000, 180, 121, 30000 / (121 + 0.2 * 120)},  // room enough: the rows fill the height
        {60000, 180, 121, 3.7 * kU},               // and stop at 3.7 mm
        {60000, 250, 121, 250},                    // a minimum above 3.7 mm wins
        {400, 180, 2, 400 / 2.2},
        {100, 180, 1, 180},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.height << " " << c.minimum << " " << c.years);
        const PopChart::Area area{6000, c.height, kU, c.minimum};
        Index series(std::vector<PopEntry>(century.begin(), century.begin() + c.years));
        const auto l = series.Series(area);
        ASSERT_EQ(l.rows, c.years);
        EXPECT_NEAR(l.rowHeight, c.rowH, 1e-9);
        EXPECT_GE(l.rowHeight, c.minimum);
        double bottom = 0;
        for (const auto& label : l.labels) {
            EXPECT_DOUBLE_EQ(label.height, l.rowHeight);
            bottom = std::max(bottom, label.top + label.height);
        }
        for (const auto& bar : l.bars) {
            bottom = std::max(bottom, bar.top + bar.height);
            EXPECT_LE(bar.left + bar.width, area.width + 1e-9);  // the bars keep their scale
        }
        EXPECT_DOUBLE_EQ(l.height, bottom);
        // Rows that fit stay within the canvas (its drawable height and the
        // half millimetre above the first row).
        if (c.rowH < c.minimum + 1e-9 && c.minimum > 0) continue;
        EXPECT_LE(l.height, c.height + kU / 2 + 1e-6);
    }
    // The year chart keeps the same rule.
    const auto y = anna.Year(1950, PopChart::Area{6000, 100, kU, 225});
    EXPECT_EQ(y.rows, 1);
    EXPECT_DOUBLE_EQ(y.rowHeight, 225);
    EXPECT_DOUBLE_EQ(y.height, kU / 2 + 225);
}

TEST(PopChart, ChartWithoutPositiveRanksHasLabelsButNoBars) {
    Index zero({Yearly(2020, 0), Yearly(2021, 0)});
    const PopChart::Area area{9000, 3000, kU};
    const auto s = zero.Series(area);
    EXPECT_EQ(s.labels.size(), 4u);
    EXPECT_TRUE(s.bars.empty());
    const auto y = zero.Year(2020, area);
    EXPECT_EQ(y.labels.size(), 2u);
    EXPECT_TRUE(y.bars.empty());
    // No series at that index, or an empty one: nothing.
    EXPECT_TRUE(PopChart::SeriesChart(3, zero.entries, 2, zero.series, 1, "", area, Measure).labels.empty());
    Index empty({});
    EXPECT_TRUE(empty.Series(area).labels.empty());
    EXPECT_FALSE(empty.Series(area).clearGraph);
}

}  // namespace
