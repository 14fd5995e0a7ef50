// Sorting a list of 5,000, 20,000 and 80,000 lines in every order, on atoms
// of the full-size database: the sort's growth shows as the ratio of the
// 80,000-line to the 20,000-line time.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "DataBase.h"
#include "FullSizeDb.h"
#include "ResultSet.h"

namespace {

// The names and groups of the full-size database, repeated up to the given
// number of lines (repeats give equal keys), with a second column and a reason.
struct Source {
    ResultSet list;
    explicit Source(int lines) {
        static bool built = [] {
            gendb::BuildFullSizeDb();
            return true;
        }();
        (void)built;
        std::vector<atom*> atoms;
        for (int32_t id = 0; id < DataBase::numAtoms; ++id) {
            atom* a = DataBase::atomTab[static_cast<size_t>(id)];
            if (a != nullptr && a->kind() <= 3) atoms.push_back(a);
        }
        uint32_t seed = 7;
        for (int i = 0; i < lines && !atoms.empty(); ++i) {
            atom* a = atoms[static_cast<size_t>(i) % atoms.size()];
            seed = seed * 1103515245u + 12345u;
            const std::string reason = " " + std::to_string((seed >> 16) % 3) + " " + std::to_string((seed >> 8) % 3);
            list.AddResult(a->Text() + "\t" + a->Descr(), reason, a);
        }
    }
};

Source& TheSource(int lines = 20000) {
    static std::map<int, std::unique_ptr<Source>> sources;
    auto& s = sources[lines];
    if (!s) s = std::make_unique<Source>(lines);
    return *s;
}

void BM_SortOrder(benchmark::State& state) {
    const int order = static_cast<int>(state.range(0));
    const int lines = static_cast<int>(state.range(1));
    const ResultSet& source = TheSource(lines).list;
    for (auto _ : state) {
        state.PauseTiming();
        auto rs = std::make_unique<ResultSet>();
        rs->AddAllFrom(source);
        state.ResumeTiming();
        rs->Sort(order);
        benchmark::DoNotOptimize(rs->line(0));
        // Giving the list back is not the sort.
        state.PauseTiming();
        rs.reset();
        state.ResumeTiming();
    }
    state.SetLabel(std::to_string(lines) + " lines, order " + std::to_string(order));
}

// Filling a list of 20,000 lines, for comparison with the sorts.
void BM_AddAll(benchmark::State& state) {
    const ResultSet& source = TheSource().list;
    for (auto _ : state) {
        ResultSet rs;
        rs.AddAllFrom(source);
        benchmark::DoNotOptimize(rs.numLines());
    }
}

}  // namespace

BENCHMARK(BM_SortOrder)
    ->ArgsProduct({{1, 2, 3, 4, 5, 6, 99}, {5000, 20000, 80000}})
    ->ArgNames({"order", "lines"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AddAll)->Unit(benchmark::kMillisecond);
