#include "PopIndex.h"

#include <algorithm>
#include <unordered_map>
#include <utility>

#include "Atom.h"
#include "Basic.h"
#include "DataBase.h"
#include "Errors.h"

namespace Searches {

namespace {

constexpr int kNone = Basic::kNone;

// A number of the hit-parade texts: the leading number (a trailing "a" or "b"
// of a shared rank is ignored), rounded, kept within 16 bits.
int ReadNumber(const std::string& s) {
    int32_t v = Basic::CLng(Basic::Val(s));
    if (v > 32767) v = 32767;
    if (v < -32768) v = -32768;
    return v;
}

Prop* FirstProp(atom* a, atom* propKind) {
    if (a == nullptr || propKind == nullptr) return nullptr;
    return a->FirstProp(propKind);
}

bool HasAtomValue(const Prop* p) { return p != nullptr && (p->kind() == 0 || p->kind() == 2); }
bool HasString(const Prop* p) { return p != nullptr && (p->kind() == 1 || p->kind() == 2); }

// The largest rank of a hit parade over all its prPop properties.
int TotalOf(atom* pop) {
    int total = 0;
    Prop* p = nullptr;
    for (bool found = pop->GetFirstProp(DataBase::prPop, p); found;
         found = pop->GetNextProp(DataBase::prPop, p)) {
        if (!HasString(p)) continue;
        const int v = ReadNumber(p->strVal());
        if (v > total) total = v;
    }
    return total;
}

// Shell sort of one series' entries by the hit parade's text, by character
// code; the gaps run 1, 4, 13, ... downwards, each h / 3 rounded halves-to-even.
void ShellSortByText(std::vector<PopEntry>& v) {
    const int n = static_cast<int>(v.size());
    int h = 0;
    do { h = 3 * h + 1; } while (h <= n - 1);
    for (;;) {
        h = Basic::CLng(h / 3.0);
        if (h == 0) break;
        for (int i = h; i < n; ++i) {
            PopEntry t = v[static_cast<size_t>(i)];
            const std::string key = t.pop->Text();
            int j = i;
            while (j >= h && v[static_cast<size_t>(j - h)].pop->Text() > key) {
                v[static_cast<size_t>(j)] = v[static_cast<size_t>(j - h)];
                j -= h;
            }
            v[static_cast<size_t>(j)] = t;
        }
    }
}

// The entries by text as the Shell sort orders them. When no two texts are
// equal there is only one such order, and a sort of the texts in n log n
// finds it; equal texts keep the Shell sort's own order of them.
void SortByText(std::vector<PopEntry>& v) {
    std::vector<std::pair<std::string, size_t>> keys;
    keys.reserve(v.size());
    for (size_t i = 0; i < v.size(); ++i) keys.emplace_back(v[i].pop->Text(), i);
    std::sort(keys.begin(), keys.end());
    for (size_t i = 1; i < keys.size(); ++i)
        if (keys[i - 1].first == keys[i].first) return ShellSortByText(v);
    std::vector<PopEntry> sorted;
    sorted.reserve(v.size());
    for (const auto& k : keys) sorted.push_back(v[k.second]);
    v = std::move(sorted);
}

}  // namespace

void SortPop(atom* name, const std::string& popText, std::vector<PopEntry>& entries,
             int& numEntries, std::vector<PopSeriesInfo>& series, int& numSeries) {
    (void)name;  // the index is built from the text alone
    entries.clear();
    series.clear();
    numEntries = 0;
    numSeries = 0;

    // 1-2. The working entries, in item order.
    std::vector<PopEntry> work;
    for (size_t start = 0; start < popText.size();) {
        size_t comma = popText.find(',', start);
        if (comma == std::string::npos) comma = popText.size();
        const std::string item = popText.substr(start, comma - start);
        start = comma + 1;
        if (item.empty()) continue;  // ",," holds no hit parade
        const size_t slash = item.find('/');
        const int32_t index = Basic::CLng(Basic::Val(item.substr(0, slash)));
        const int rank = slash == std::string::npos ? 0 : ReadNumber(item.substr(slash + 1));

        atom* pop = nullptr;
        if (index >= 0 && index < DataBase::numAtoms && static_cast<size_t>(index) < DataBase::atomTab.size()) pop = DataBase::atomTab[static_cast<size_t>(index)];
        if (pop == nullptr || pop == DataBase::nothingAtom) {
            Errors::Assert(false, "SortPop index");
            continue;
        }
        // A block that could not be read has been told of: the entry is left
        // out, as one without its series would be.
        if (!pop->LoadOnDemand()) continue;
        PopEntry e;
        e.pop = pop;
        e.rank = rank;
        Prop* sub = FirstProp(pop, DataBase::prSubsetOf);
        const bool hasSeries = HasAtomValue(sub) && sub->atomVal() != nullptr &&
                               sub->atomVal() != DataBase::nothingAtom;
        Errors::Assert(hasSeries, "SortPop series found");
        Prop* from = FirstProp(pop, DataBase::prFromYear);
        Errors::Assert(HasString(from), "SortPop fromYear");
        Prop* years = FirstProp(pop, DataBase::prYears);
        Errors::Assert(HasString(years), "SortPop years");
        // Without its series, first year or span an entry cannot be placed
        // or drawn; it is left out rather than shown with made-up values.
        if (!hasSeries || !HasString(from) || !HasString(years)) continue;
        e.series = sub->atomVal();
        e.fromYear = ReadNumber(from->strVal());
        e.years = ReadNumber(years->strVal());
        work.push_back(e);
    }

    // 3. Series in the order of their first entry (identity of the atoms);
    // each entry's place in the series table is kept for the grouping.
    std::unordered_map<const atom*, size_t> seriesAt;
    std::vector<size_t> entrySeries;
    entrySeries.reserve(work.size());
    for (const PopEntry& e : work) {
        const auto [it, isNew] = seriesAt.try_emplace(e.series, series.size());
        entrySeries.push_back(it->second);
        if (isNew) {
            PopSeriesInfo s;
            s.series = e.series;
            s.first = kNone;
            s.count = kNone;
            s.bestRank = kNone;
            s.bestEntry = kNone;
            series.push_back(s);
        }
    }

    // 4-5. Entries grouped by series, sorted by text; best and worst rank.
    std::vector<std::vector<PopEntry>> groups(series.size());
    for (size_t i = 0; i < work.size(); ++i) groups[entrySeries[i]].push_back(work[i]);
    entries.reserve(work.size());
    for (size_t si = 0; si < series.size(); ++si) {
        PopSeriesInfo& s = series[si];
        std::vector<PopEntry>& group = groups[si];
        SortByText(group);
        s.first = static_cast<int>(entries.size());
        s.count = static_cast<int>(group.size());
        int best = 10000, bestEntry = kNone, worst = 0;
        for (PopEntry& e : group) {
            const int index = static_cast<int>(entries.size());
            if (e.rank < best) {
                best = e.rank;
                bestEntry = index;
            }
            if (e.rank > worst) worst = e.rank;
            e.seriesIndex = static_cast<int>(si);
            entries.push_back(e);
        }
        s.bestRank = best;
        s.bestEntry = bestEntry;
        s.worstRank = worst;
    }

    // 6. Totals.
    for (PopEntry& e : entries) e.total = TotalOf(e.pop);

    numEntries = static_cast<int>(entries.size());
    numSeries = static_cast<int>(series.size());
}

void LocateSeries(const atom* seriesAtom, const std::vector<PopEntry>& entries, int numEntries,
                  const std::vector<PopSeriesInfo>& series, int numSeries, int& seriesIndex,
                  int& entryIndex) {
    seriesIndex = kNone;
    entryIndex = kNone;
    const int ns = std::min<int>(numSeries, static_cast<int>(series.size()));
    for (int i = 0; i < ns; ++i) {
        if (series[static_cast<size_t>(i)].series == seriesAtom) {
            seriesIndex = i;
            break;
        }
    }
    Errors::Assert(seriesIndex != kNone, "LocateSeries ps");
    if (seriesIndex == kNone) return;
    const PopSeriesInfo& s = series[static_cast<size_t>(seriesIndex)];
    const int ne = std::min<int>(numEntries, static_cast<int>(entries.size()));
    for (int j = s.first; j >= 0 && j < ne && j < s.first + s.count; ++j) {
        if (entries[static_cast<size_t>(j)].rank == s.bestRank) {
            entryIndex = j;
            break;
        }
    }
    Errors::Assert(entryIndex != kNone, "LocateSeries po");
}

void FindSeries(const atom* seriesAtom, const std::vector<PopSeriesInfo>& series, int numSeries,
                int& seriesIndex, int& lastEntry) {
    seriesIndex = kNone;
    lastEntry = kNone;
    const int ns = std::min<int>(numSeries, static_cast<int>(series.size()));
    for (int i = 0; i < ns; ++i) {
        const PopSeriesInfo& s = series[static_cast<size_t>(i)];
        if (s.series != seriesAtom) continue;
        seriesIndex = i;
        if (s.count >= 1 && s.count != kNone) lastEntry = s.first + s.count - 1;
        return;
    }
}

int SelectYearEntries(const std::vector<PopEntry>& entries, int numEntries, int year,
                      std::vector<PopEntry>& target) {
    target.clear();
    const int ne = std::min<int>(numEntries, static_cast<int>(entries.size()));
    for (int i = 0; i < ne; ++i) {
        const PopEntry& e = entries[static_cast<size_t>(i)];
        if (e.fromYear == year && e.years == 1) target.push_back(e);
    }
    return static_cast<int>(target.size());
}

int FindYearEntry(const PopSeriesInfo& info, const std::vector<PopEntry>& entries,
                  int numEntries, int year) {
    if (info.count < 1 || info.count == kNone || info.first < 0) return kNone;
    const int ne = std::min<int>(numEntries, static_cast<int>(entries.size()));
    for (int j = info.first; j < info.first + info.count && j < ne; ++j) {
        const PopEntry& e = entries[static_cast<size_t>(j)];
        if (e.fromYear == year && e.years == 1) return j;
    }
    return kNone;
}

}  // namespace Searches
