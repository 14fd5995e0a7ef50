#include "PopChart.h"

#include <algorithm>
#include <cmath>

#include "Atom.h"
#include "Basic.h"
#include "TextConstants.h"

using TextConstants::LangText;

namespace PopChart {

namespace {

constexpr double kGap = 0.2;

double RowTop(const Area& area, int i, double h) { return area.u / 2 + i * (1 + kGap) * h; }

// Bars share their left edge and scale, fixed by the first bar drawn.
struct Bars {
    const Area& area;
    int worst;
    bool started = false;
    double x0 = 0, scale = 0;

    void Add(Layout& out, const Label& rankLabel, int rank) {
        if (worst <= 0) return;  // no positive rank to scale by: labels only
        if (!started) {
            started = true;
            x0 = rankLabel.left + rankLabel.width + 2 * area.u;
            scale = (area.width - x0) / worst;
        }
        const int r = std::clamp(rank, 1, worst);
        Bar b;
        b.left = x0;
        b.top = rankLabel.top;
        b.height = rankLabel.height;
        b.width = (worst - r + 1) * scale;
        b.lineWidth = area.u / 10;
        b.fill = BarColor(worst, r);
        out.bars.push_back(b);
    }
};

}  // namespace

int32_t BarColor(int worst, int rank) {
    if (worst <= 0) return 0xFF0000;
    const float f = std::clamp(static_cast<float>(worst - rank + 1) / static_cast<float>(worst), 0.0f, 1.0f);
    const int v = static_cast<int>(std::nearbyint((1 - f) * 255.0));
    return v | (v << 8) | (255 << 16);
}

double RowHeight(const Area& area, int n) {
    if (n <= 0) return 0;
    const double h = area.height / (n + kGap * (n - 1));
    // Legible first: a minimum above the largest row wins.
    return std::max(std::min(h, 3.7 * area.u), area.minRowHeight);
}

double MinRowHeight(double points) { return std::isfinite(points) && points > 0 ? points * 20 * 5 / 4 : 0; }

Layout SeriesChart(int seriesIndex, const std::vector<Searches::PopEntry>& entries, int numEntries,
                   const std::vector<Searches::PopSeriesInfo>& series, int numSeries, const std::string& name,
                   const Area& area, const Measure& measure) {
    Layout out;
    const int ns = std::min<int>(numSeries, static_cast<int>(series.size()));
    const int ne = std::min<int>(numEntries, static_cast<int>(entries.size()));
    if (seriesIndex < 0 || seriesIndex >= ns) return out;
    const Searches::PopSeriesInfo& s = series[static_cast<size_t>(seriesIndex)];
    const int first = s.first, last = s.first + s.count - 1;
    if (s.count < 1 || first < 0 || last >= ne) return out;
    if (entries[static_cast<size_t>(first)].years > 1) {
        out.clearGraph = true;
        return out;
    }
    out.caption = LangText("Grafik f\xfcr Serie ", "Graph for series ") +
                  (s.series != nullptr ? s.series->Text() : std::string()) + "/" + name;
    // The years from the earliest to the latest yearly entry; the rows are
    // sized for every year drawn, gaps included, so that all fit.
    int from = 0, to = -1;
    for (int j = first; j <= last; ++j) {
        const Searches::PopEntry& e = entries[static_cast<size_t>(j)];
        if (e.years != 1) continue;
        if (to < from) from = to = e.fromYear;
        from = std::min(from, e.fromYear);
        to = std::max(to, e.fromYear);
    }
    if (to < from) return out;
    out.rows = to - from + 1;
    out.rowHeight = RowHeight(area, out.rows);
    out.height = RowTop(area, out.rows - 1, out.rowHeight) + out.rowHeight;
    const double h = out.rowHeight, u = area.u;
    Bars bars{area, s.worstRank};
    for (int i = 0; i < out.rows; ++i) {
        const int year = from + i;
        const double top = RowTop(area, i, h);
        const int j = Searches::FindYearEntry(s, entries, numEntries, year);
        const bool has = j != Basic::kNone;
        Label yearLabel{std::to_string(year), 0, u / 2, top, 10 * u, h};
        const double textWidth = measure ? measure(yearLabel.text, h) : 0;
        Label rankLabel{has ? std::to_string(entries[static_cast<size_t>(j)].rank) : "-", 1,
                        yearLabel.left + textWidth + u, top, 7 * u, h};
        out.labels.push_back(yearLabel);
        out.labels.push_back(rankLabel);
        if (has) bars.Add(out, rankLabel, entries[static_cast<size_t>(j)].rank);
    }
    return out;
}

Layout YearChart(int year, const std::vector<Searches::PopEntry>& entries, int numEntries, const Area& area,
                 const Measure& measure) {
    Layout out;
    out.caption = LangText("Grafik f\xfcr das Jahr ", "Graph for the year ") + std::to_string(year);
    std::vector<Searches::PopEntry> ofYear;
    const int n = Searches::SelectYearEntries(entries, numEntries, year, ofYear);
    if (n == 0) return out;
    int worst = 0;
    for (const Searches::PopEntry& e : ofYear) worst = std::max(worst, e.rank);
    out.rows = n;
    out.rowHeight = RowHeight(area, n);
    out.height = RowTop(area, n - 1, out.rowHeight) + out.rowHeight;
    const double h = out.rowHeight, u = area.u;
    double widest = 0;
    for (int i = 0; i < n; ++i) {
        const Searches::PopEntry& e = ofYear[static_cast<size_t>(i)];
        Label l{e.pop != nullptr ? e.pop->Text() : std::string(), 0, u / 2, RowTop(area, i, h), 30 * u, h};
        if (measure) widest = std::max(widest, measure(l.text, h));
        out.labels.push_back(l);
    }
    Bars bars{area, worst};
    for (int i = 0; i < n; ++i) {
        const Searches::PopEntry& e = ofYear[static_cast<size_t>(i)];
        Label rankLabel{std::to_string(e.rank), 1, u + widest, RowTop(area, i, h), 7 * u, h};
        out.labels.push_back(rankLabel);
        bars.Add(out, rankLabel, e.rank);
    }
    return out;
}

}  // namespace PopChart
