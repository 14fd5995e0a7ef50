// The letter logic on a full-size set of names: the sound key of every name,
// the edit distance of every name to a typed one (the similar-spelling pass of
// a name lookup) and a wildcard pattern over every name (the pattern search).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "Cp1252.h"
#include "FlexString.h"
#include "Parser.h"

namespace {

constexpr int kNames = 25000;

// 25,000 names of 3 to 40 characters from syllables, some with accents,
// blanks or hyphens; the same on every run.
const std::vector<std::string>& Names() {
    static const std::vector<std::string> names = [] {
        const std::vector<std::string> syllables = {
            "an", "na", "ma", "ri", "el", "li", "sa", "beth", "jo", "han", "nes", "chris", "toph",
            "ei", "au", "ü"_cp, "ö"_cp, "ä"_cp, "é"_cp, "sch", "th", "ph", "ck", "tz", "gr", "ey",
            "ie", "er", "de", "pf", "z", "y", "o", "u", "ka", "tha", "ri", "na", "mar", "lo"};
        std::vector<std::string> out;
        out.reserve(kNames);
        uint32_t state = 12345;
        auto next = [&state](uint32_t n) {
            state = state * 1664525u + 1013904223u;
            return (state >> 8) % n;
        };
        while (static_cast<int>(out.size()) < kNames) {
            std::size_t target = 3 + next(38);   // 3..40
            std::string name;
            while (name.size() < target) {
                if (!name.empty() && next(12) == 0) name += next(2) ? ' ' : '-';
                name += syllables[next(static_cast<uint32_t>(syllables.size()))];
            }
            name.resize(target);
            name[0] = static_cast<char>(Parser::ToUpper(static_cast<unsigned char>(name[0])));
            out.push_back(name);
        }
        return out;
    }();
    return names;
}

void BM_MakeSoundKey(benchmark::State& state) {
    const auto& names = Names();
    for (auto _ : state)
        for (const auto& name : names) benchmark::DoNotOptimize(Parser::MakeSoundKey(name));
    state.SetItemsProcessed(state.iterations() * kNames);
}
BENCHMARK(BM_MakeSoundKey)->Unit(benchmark::kMillisecond);

void BM_Distance(benchmark::State& state) {
    const auto& names = Names();
    FlexString search("Marianne-Elisabeth");
    FlexString candidate;   // one shared string for every candidate, as the lookup does
    for (auto _ : state)
        for (const auto& name : names) {
            candidate.Init(name);
            benchmark::DoNotOptimize(search.Distance(candidate));
        }
    state.SetItemsProcessed(state.iterations() * kNames);
}
BENCHMARK(BM_Distance)->Unit(benchmark::kMillisecond);

void BM_WildMatch(benchmark::State& state) {
    std::vector<FlexString> upper;
    for (const auto& name : Names()) {
        upper.emplace_back(name);
        upper.back().Uppercase();
    }
    const FlexString pattern("*AN?A*E*");
    bool found = false;
    std::string shown;
    for (auto _ : state)
        for (const auto& name : upper) {
            name.WildMatch(pattern, found, shown);
            benchmark::DoNotOptimize(found);
        }
    state.SetItemsProcessed(state.iterations() * kNames);
}
BENCHMARK(BM_WildMatch)->Unit(benchmark::kMillisecond);

}  // namespace
