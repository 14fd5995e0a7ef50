// The two bar charts of a name's hit-parade ranks, laid out in twips without
// drawing anything: the series chart (one row per year of one series) and
// the year chart (one row per yearly hit parade of one year). Each row has a
// left label, a right-aligned rank label and, for a known rank, a bar whose
// length and shade of blue grow with the quality of the rank. The hit-parade
// window paints the layout with the drawing kit.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "PopIndex.h"

namespace PopChart {

struct Label {
    std::string text;
    int alignment = 0;  // 0 left, 1 right
    double left = 0, top = 0, width = 0, height = 0;
};

struct Bar {
    double left = 0, top = 0, width = 0, height = 0;
    double lineWidth = 0;
    int32_t fill = 0;  // red in the low byte; the outline is black
};

struct Layout {
    // The series' first hit parade spans several years: no chart, and the
    // window clears its whole graph part instead.
    bool clearGraph = false;
    std::string caption;  // of the frame around the canvas
    int rows = 0;
    double rowHeight = 0;
    // The height the rows take from the canvas's top: the bottom of the
    // last row. Beyond the canvas's visible height, the canvas scrolls.
    double height = 0;
    std::vector<Label> labels;  // in drawing order
    std::vector<Bar> bars;
};

// The width in twips of a label's text in the chart font sized for a label
// of the given height.
using Measure = std::function<double(const std::string& text, double height)>;

// The canvas: its drawable width and height, the window's millimetre (u)
// and the smallest row height that keeps the labels legible.
struct Area {
    double width = 0, height = 0, u = 57;
    double minRowHeight = 0;
};

// The fill of a bar for rank r when the worst rank is W: RGB(v, v, 255) with
// f = (W - r + 1) / W and v = (1 - f) x 255, halves to even; rank 1 is pure blue.
int32_t BarColor(int worst, int rank);
// The height of each of n rows with gaps of a fifth of a row that fill the
// height, at most 3.7u and never below the area's minimum (the rows then
// need more than the height: the canvas scrolls); 0 for no rows.
double RowHeight(const Area& area, int n);
// The smallest row whose label is as large as text of that point size: a
// label's font fills four fifths of its row (20 twips a point), so 9 points
// give 225 twips.
double MinRowHeight(double points);

// The series chart of series `seriesIndex` of the index, for the name `name`
// (its text goes into the caption).
Layout SeriesChart(int seriesIndex, const std::vector<Searches::PopEntry>& entries, int numEntries,
                   const std::vector<Searches::PopSeriesInfo>& series, int numSeries, const std::string& name,
                   const Area& area, const Measure& measure);
// The year chart of `year`: the name's yearly entries of that year in table order.
Layout YearChart(int year, const std::vector<Searches::PopEntry>& entries, int numEntries, const Area& area,
                 const Measure& measure);

}  // namespace PopChart
