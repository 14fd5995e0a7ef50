// Building the description of a group with many variants on a full-size
// generated database: the variant sort, the language and topic lists of every
// variant and the saints of every name.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "DataBase.h"
#include "Dates.h"
#include "FullSizeDb.h"
#include "GenDescr.h"
#include "Parser.h"
#include "ResultSet.h"
#include "Searches.h"
#include "TextConstants.h"

namespace {

std::vector<atom*> bigGroups;  // 100, 1000, 5000 variants
atom* largestGenerated = nullptr;

std::vector<atom*> AtomsOfKind(int kind) {
    std::vector<atom*> v;
    for (int32_t id = 0; id < DataBase::numAtoms; ++id) {
        atom* a = DataBase::atomTab[static_cast<size_t>(id)];
        if (a != nullptr && a->kind() == kind) v.push_back(a);
    }
    return v;
}

// A group with n names, each in two languages and one topic, every tenth
// with a saint, added to the generated database.
atom* AddBigGroup(int n, const std::vector<atom*>& langs, const std::vector<atom*>& topics,
                  const std::vector<atom*>& saints) {
    using DataBase::FindOrCreateProp;
    atom* prText = DataBase::GetAtom("prText");
    const int32_t start = DataBase::numAtoms;
    const std::string tag = "Big" + std::to_string(n);
    atom* g = DataBase::CreateAtom("gn" + tag);
    g->AddProp(FindOrCreateProp(prText, nullptr, tag, true));
    g->AddProp(FindOrCreateProp(DataBase::prSubsetOf, DataBase::seFemaleNames, "", true));
    uint32_t seed = 11u * static_cast<uint32_t>(n);
    auto next = [&seed](size_t m) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<size_t>((seed >> 16) % m);
    };
    for (int i = 0; i < n; ++i) {
        atom* a = DataBase::CreateAtom("na" + tag + "x" + std::to_string(i));
        const std::string text = i == 0 ? tag : tag + "a" + std::to_string(next(100000));
        a->AddProp(FindOrCreateProp(prText, nullptr, text, true));
        a->AddProp(FindOrCreateProp(DataBase::prGenName, g, "", true));
        for (int k = 0; k < 2 && !langs.empty(); ++k)
            a->AddProp(FindOrCreateProp(DataBase::prLang, langs[next(langs.size())], "", true));
        if (!topics.empty()) a->AddProp(FindOrCreateProp(DataBase::prMemberOf, topics[next(topics.size())], "", true));
        if (i % 10 == 0 && !saints.empty())
            a->AddProp(FindOrCreateProp(DataBase::prSaint, saints[next(saints.size())], "", true));
        g->AddProp(FindOrCreateProp(DataBase::prNameVariant, a, "", true));
    }
    DataBase::CompleteAtoms(start);
    DataBase::EvalKinds(start);
    DataBase::CountVariants(start);
    return g;
}

void EnsureDatabase() {
    static bool built = false;
    if (built) return;
    Parser::InitParser();
    TextConstants::textLanguage = 1;
    TextConstants::LoadTexts();
    Dates::InitMonths();
    gendb::BuildFullSizeDb();
    Searches::InitSearches();
    const auto langs = AtomsOfKind(8), topics = AtomsOfKind(6), saints = AtomsOfKind(9);
    for (atom* g : AtomsOfKind(2))
        if (largestGenerated == nullptr || g->numVariants > largestGenerated->numVariants) largestGenerated = g;
    for (int n : {100, 1000, 5000}) bigGroups.push_back(AddBigGroup(n, langs, topics, saints));
    built = true;
}

GenDescr::DescrFlags WindowFlags() {
    GenDescr::DescrFlags f;
    f.withAtomLinks = f.withHelpLinks = f.richText = true;
    return f;
}

void BM_DescribeBigGroup(benchmark::State& state) {
    EnsureDatabase();
    atom* g = bigGroups[static_cast<size_t>(state.range(0))];
    const GenDescr::DescrFlags f = WindowFlags();
    int32_t lines = 0;
    for (auto _ : state) {
        ResultSet rs;
        rs.InitInt();
        GenDescr::DescribeGroup(g, rs, f);
        lines = rs.numLines();
        benchmark::DoNotOptimize(lines);
    }
    state.counters["variants"] = g->numVariants;
    state.counters["lines"] = lines;
}
BENCHMARK(BM_DescribeBigGroup)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

// The generated group with the most variants, as a name window shows it.
void BM_DescribeLargestGeneratedGroup(benchmark::State& state) {
    EnsureDatabase();
    const GenDescr::DescrFlags f = WindowFlags();
    for (auto _ : state) {
        ResultSet rs;
        rs.InitInt();
        GenDescr::DescribeGroup(largestGenerated, rs, f);
        benchmark::DoNotOptimize(rs.numLines());
    }
    state.counters["variants"] = largestGenerated->numVariants;
}
BENCHMARK(BM_DescribeLargestGeneratedGroup)->Unit(benchmark::kMicrosecond);

}  // namespace
