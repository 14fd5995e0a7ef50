// Sorting a 20,000-line list in every order, on atoms of the full-size database.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "DataBase.h"
#include "FullSizeDb.h"
#include "ResultSet.h"

namespace {

constexpr int kLines = 20000;

// The names and groups of the full-size database, repeated up to 20,000
// lines (repeats give equal keys), with a second column and a reason.
struct Source {
    ResultSet list;
    Source() {
        gendb::BuildFullSizeDb();
        std::vector<atom*> atoms;
        for (int32_t id = 0; id < DataBase::numAtoms; ++id) {
            atom* a = DataBase::atomTab[static_cast<size_t>(id)];
            if (a != nullptr && a->kind() <= 3) atoms.push_back(a);
        }
        uint32_t seed = 7;
        for (int i = 0; i < kLines && !atoms.empty(); ++i) {
            atom* a = atoms[static_cast<size_t>(i) % atoms.size()];
            seed = seed * 1103515245u + 12345u;
            const std::string reason = " " + std::to_string((seed >> 16) % 3) + " " + std::to_string((seed >> 8) % 3);
            list.AddResult(a->Text() + "\t" + a->Descr(), reason, a);
        }
    }
};

Source& TheSource() {
    static Source source;
    return source;
}

void BM_SortOrder(benchmark::State& state) {
    const int order = static_cast<int>(state.range(0));
    const ResultSet& source = TheSource().list;
    for (auto _ : state) {
        state.PauseTiming();
        ResultSet rs;
        rs.AddAllFrom(source);
        state.ResumeTiming();
        rs.Sort(order);
        benchmark::DoNotOptimize(rs.line(0));
    }
    state.SetLabel("20,000 lines, order " + std::to_string(order));
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

BENCHMARK(BM_SortOrder)->Arg(1)->Arg(2)->Arg(3)->Arg(4)->Arg(5)->Arg(6)->Arg(99)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AddAll)->Unit(benchmark::kMillisecond);
