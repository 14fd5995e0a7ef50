// Sorting a 20,000-line list in every order, on atoms of a generated database.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "DataBase.h"
#include "ResultSet.h"

namespace {

constexpr int kLines = 20000;

// Name-like texts from a fixed generator: syllables, some accents, repeated
// texts (equal keys) and varying lengths.
std::string MakeText(uint32_t& seed) {
    static const char* const syllables[] = {"an", "na", "jo", "han", "nes", "el", "li", "sa", "be", "th",
                                            "ma", "ri", "e", "va", "\xE9l", "\xF6r", "ka", "ta", "ri", "na"};
    std::string s;
    seed = seed * 1103515245u + 12345u;
    const int parts = 1 + static_cast<int>((seed >> 16) % 4);
    for (int k = 0; k < parts; ++k) {
        seed = seed * 1103515245u + 12345u;
        s += syllables[(seed >> 16) % 20];
    }
    s[0] = static_cast<char>(s[0] >= 'a' && s[0] <= 'z' ? s[0] - 32 : s[0]);
    return s;
}

struct Source {
    ResultSet list;
    Source() {
        DataBase::InitDataBase();
        atom* prText = DataBase::CreateAtom("prText");
        atom* prSubsetOf = DataBase::CreateAtom("prSubsetOf");
        atom* prGenName = DataBase::CreateAtom("prGenName");
        atom* male = DataBase::CreateAtom("seMaleNames");
        atom* female = DataBase::CreateAtom("seFemaleNames");
        atom* groups[2] = {DataBase::CreateAtom("gnM"), DataBase::CreateAtom("gnF")};
        groups[0]->AddProp(DataBase::FindOrCreateProp(prSubsetOf, male, "", true));
        groups[1]->AddProp(DataBase::FindOrCreateProp(prSubsetOf, female, "", true));
        uint32_t seed = 7;
        std::vector<atom*> atoms;
        for (int i = 0; i < kLines; ++i) {
            atom* a = DataBase::CreateAtom("na" + std::to_string(i));
            a->AddProp(DataBase::FindOrCreateProp(prText, nullptr, MakeText(seed), false));
            if (i % 10 != 0) a->AddProp(DataBase::FindOrCreateProp(prGenName, groups[i % 2], "", true));
            else a->AddProp(DataBase::FindOrCreateProp(prSubsetOf, i % 20 ? male : female, "", true));
            atoms.push_back(a);
        }
        DataBase::DeriveAll();
        for (int i = 0; i < kLines; ++i) {
            seed = seed * 1103515245u + 12345u;
            const std::string reason = " " + std::to_string((seed >> 16) % 3) + " " + std::to_string((seed >> 8) % 3);
            list.AddResult(atoms[i]->Text() + "\t" + MakeText(seed), reason, atoms[i]);
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
