// The typed-name lookup through all three passes and the combination of two
// long lists, on a full-size generated database.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "DataBase.h"
#include "FlexString.h"
#include "FullSizeDb.h"
#include "Parser.h"
#include "ResultSet.h"
#include "Searches.h"

namespace {

// A text of one generated name, for the exact lookup.
std::string someName;

void EnsureDatabase() {
    static bool built = false;
    if (built) return;
    Parser::InitParser();
    gendb::BuildFullSizeDb();
    const auto& texts = gendb::GeneratedNameTexts();
    someName = texts[texts.size() / 2];
    Searches::InitSearches();
    built = true;
}

// A text that no atom has but that is close to many: pass 1 finds nothing
// and pass 2 compares every name and old form by sound key and edit distance.
void BM_SearchNameAllPasses(benchmark::State& state) {
    EnsureDatabase();
    // One letter of a generated name changed.
    std::string typo = someName;
    typo[typo.size() / 2] = typo[typo.size() / 2] == 'q' ? 'x' : 'q';
    int64_t hits = 0;
    for (auto _ : state) {
        ResultSet rs;
        rs.InitInt();
        bool single = false, several = false;
        Searches::SearchName(typo, 0, 1, 4, rs, single, several);
        hits += rs.numLines();
        benchmark::DoNotOptimize(rs.numLines());
    }
    state.counters["hits"] = static_cast<double>(hits) / static_cast<double>(state.iterations());
    state.counters["atoms"] = DataBase::numAtoms;
}
BENCHMARK(BM_SearchNameAllPasses)->Unit(benchmark::kMillisecond);

// The lookup of one typed text, as the name window runs it.
void LookUp(benchmark::State& state, const std::string& text) {
    EnsureDatabase();
    for (auto _ : state) {
        ResultSet rs;
        rs.InitInt();
        bool single = false, several = false;
        Searches::SearchName(text, 0, 1, 4, rs, single, several);
        benchmark::DoNotOptimize(rs.numLines());
    }
}

// The longest text the name box takes (35 letters) that names nothing: every
// name and old form is compared by sound and by spelling; before the
// spelling compare kept to the band within its limit, this was the slowest
// lookup there is.
void BM_SearchNameLongMiss(benchmark::State& state) { LookUp(state, "Marianne-Elisabeth Quendolyn Thorvx"); }
BENCHMARK(BM_SearchNameLongMiss)->Unit(benchmark::kMillisecond);

// An exact hit: pass 1 only.
void BM_SearchNameExact(benchmark::State& state) {
    EnsureDatabase();
    LookUp(state, someName);
}
BENCHMARK(BM_SearchNameExact)->Unit(benchmark::kMillisecond);

// Two lists of 20,000 lines that overlap by half.
void MakeLists(ResultSet& a, ResultSet& b) {
    a.InitInt();
    b.InitInt();
    int32_t added = 0;
    for (int32_t id = 0; id < DataBase::numAtoms && added < 30000; ++id) {
        atom* x = DataBase::atomTab[static_cast<size_t>(id)];
        if (x == nullptr || x->kind() > 3) continue;
        if (added < 20000) a.AddResult(x->Text(), "a", x);
        if (added >= 10000) b.AddResult(x->Text(), "b", x);
        ++added;
    }
    // Fill up with repeats when the database holds fewer names and groups.
    for (int32_t i = 0; a.numLines() < 20000 && a.numLines() > 0; ++i) a.AddFrom(a, i);
    for (int32_t i = 0; b.numLines() < 20000 && b.numLines() > 0; ++i) b.AddFrom(b, i);
}

void BM_Combine(benchmark::State& state) {
    EnsureDatabase();
    ResultSet a, b;
    MakeLists(a, b);
    const int type = static_cast<int>(state.range(0));
    for (auto _ : state) {
        ResultSet r;
        r.InitInt();
        Searches::CombineLists(a, b, r, type);
        benchmark::DoNotOptimize(r.numLines());
    }
    state.counters["linesA"] = a.numLines();
    state.counters["linesB"] = b.numLines();
}
BENCHMARK(BM_Combine)->Arg(Searches::kOr)->Arg(Searches::kAnd)->Arg(Searches::kWithout)
    ->Unit(benchmark::kMillisecond);

}  // namespace
