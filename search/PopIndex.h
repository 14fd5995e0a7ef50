// The hit-parade index of one name: one entry per hit parade in which the
// name is ranked, grouped by series in the order the series first occur in
// the name's list, sorted by the hit parade's text within a series, with the
// best and worst rank of every series. Rebuilt each time a name is shown.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class atom;

namespace Searches {

struct PopEntry {
    atom* pop = nullptr;      // the hit parade
    atom* series = nullptr;   // its series (its first prSubsetOf)
    int rank = 0;             // the name's rank in it
    int total = 0;            // the largest rank of the hit parade
    int fromYear = 0;         // prFromYear
    int years = 0;            // prYears
    int seriesIndex = 31999;  // index of its series in the series table
};

struct PopSeriesInfo {
    atom* series = nullptr;
    int first = 31999;      // index of the series' first entry
    int count = 0;          // number of its entries
    int bestRank = 10000;   // smallest rank (10000 when none is below)
    int bestEntry = 31999;  // first entry with bestRank
    int worstRank = 0;      // largest rank (0 when none is above)
};

// Builds the index from popText, the string value of the name's first prPop
// property: items separated by ",", each "atom id/rank". Each hit parade is
// loaded on demand. The tables are refilled from index 0 and sized to their
// counts. An item whose id is no hit parade with a series, first year and
// number of years is reported ("SortPop series found", "SortPop fromYear",
// "SortPop years", "SortPop index") and left out.
void SortPop(atom* name, const std::string& popText, std::vector<PopEntry>& entries,
             int& numEntries, std::vector<PopSeriesInfo>& series, int& numSeries);

// The index of a series in the series table and its best-ranked entry
// (31999 each when absent; asserts "LocateSeries ps" / "LocateSeries po").
void LocateSeries(const atom* seriesAtom, const std::vector<PopEntry>& entries, int numEntries,
                  const std::vector<PopSeriesInfo>& series, int numSeries, int& seriesIndex,
                  int& entryIndex);
// The index of a series and of its last entry (31999 each when absent or empty).
void FindSeries(const atom* seriesAtom, const std::vector<PopSeriesInfo>& series, int numSeries,
                int& seriesIndex, int& lastEntry);
// The yearly entries of one year, in table order.
int SelectYearEntries(const std::vector<PopEntry>& entries, int numEntries, int year,
                      std::vector<PopEntry>& target);
// The first yearly entry of a series for a year; 31999 when there is none.
int FindYearEntry(const PopSeriesInfo& info, const std::vector<PopEntry>& entries,
                  int numEntries, int year);

}  // namespace Searches
