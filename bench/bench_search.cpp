// The typed-name lookup through all three passes and the combination of two
// long lists, on a full-size generated database.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "DataBase.h"
#include "FlexString.h"
#include "Parser.h"
#include "ResultSet.h"
#include "Searches.h"

namespace {

// A full-size database of names made of syllables: about 8,000 groups and
// 16,000 names (two per group), the rest languages and topics, 25,001 atoms.
// Deterministic, so the figures compare between runs.
std::string someName;

std::string MakeText(uint32_t& seed) {
    static const char* const syll[] = {"an", "be", "ca", "do", "el", "fi", "ga", "ha", "ir", "jo",
                                       "ka", "li", "ma", "ne", "ol", "pe", "ra", "si", "ta", "ul",
                                       "vi", "wa", "xe", "ya", "ze", "lou", "mar", "ric", "sten", "tho"};
    std::string t;
    seed = seed * 1103515245u + 12345u;
    const int n = 2 + static_cast<int>((seed >> 16) % 3);
    for (int i = 0; i < n; ++i) {
        seed = seed * 1103515245u + 12345u;
        t += syll[(seed >> 16) % 30];
    }
    t[0] = static_cast<char>(t[0] - 'a' + 'A');
    return t;
}

void BuildFullSize() {
    DataBase::InitDataBase();
    auto kind = [](const char* n) { return DataBase::CreateAtom(n); };
    atom* prText = kind("prText");
    atom* prGenName = kind("prGenName");
    atom* prSubsetOf = kind("prSubsetOf");
    atom* prMemberOf = kind("prMemberOf");
    atom* male = kind("seMaleNames");
    atom* female = kind("seFemaleNames");
    atom* realms = kind("seRealms");
    uint32_t seed = 7;
    int serial = 0;
    auto add = [&](const std::string& prefix, const std::string& text) {
        atom* a = DataBase::CreateAtom(prefix + std::to_string(serial++));
        a->AddProp(DataBase::FindOrCreateProp(prText, nullptr, text, true));
        return a;
    };
    while (DataBase::numAtoms < 24000) {
        const bool isMale = (serial & 1) != 0;
        atom* g = add("gn", MakeText(seed));
        g->AddProp(DataBase::FindOrCreateProp(prSubsetOf, isMale ? male : female, "", true));
        for (int k = 0; k < 2; ++k) {
            atom* n = add("na", k == 0 ? g->props()[0]->strVal() : MakeText(seed));
            n->AddProp(DataBase::FindOrCreateProp(prGenName, g, "", true));
        }
    }
    while (DataBase::numAtoms < 25001) {
        atom* t = add("re", MakeText(seed));
        t->AddProp(DataBase::FindOrCreateProp(prMemberOf, realms, "", true));
    }
    DataBase::DeriveAll();
    someName = DataBase::atomTab[static_cast<size_t>(DataBase::numAtoms / 2)]->Text();
}

void EnsureDatabase() {
    static bool built = false;
    if (built) return;
    Parser::InitParser();
    BuildFullSize();
    Searches::InitSearches();
    built = true;
}

// A text that no atom has but that is close to many: pass 1 finds nothing
// and pass 2 compares every name and old form by sound key and edit distance.
void BM_SearchNameAllPasses(benchmark::State& state) {
    EnsureDatabase();
    int64_t hits = 0;
    for (auto _ : state) {
        ResultSet rs;
        rs.InitInt();
        bool single = false, several = false;
        Searches::SearchName("Marlouthq", 0, 1, 4, rs, single, several);
        hits += rs.numLines();
        benchmark::DoNotOptimize(rs.numLines());
    }
    state.counters["hits"] = static_cast<double>(hits) / static_cast<double>(state.iterations());
    state.counters["atoms"] = DataBase::numAtoms;
}
BENCHMARK(BM_SearchNameAllPasses)->Unit(benchmark::kMillisecond);

// An exact hit: pass 1 only.
void BM_SearchNameExact(benchmark::State& state) {
    EnsureDatabase();
    const std::string text = someName;
    for (auto _ : state) {
        ResultSet rs;
        rs.InitInt();
        bool single = false, several = false;
        Searches::SearchName(text, 0, 1, 4, rs, single, several);
        benchmark::DoNotOptimize(rs.numLines());
    }
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
