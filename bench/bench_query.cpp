// The three searches on a full-size generated database: the full-text search
// against grep -F -i over the same texts written to a file in the same run,
// one search per family of name conditions, and the language search for the
// language with most names.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "Atom.h"
#include "DataBase.h"
#include "FullSizeDb.h"
#include "FullTextSearch.h"
#include "LangSearch.h"
#include "NameConditions.h"
#include "Parser.h"
#include "ResultSet.h"
#include "Searches.h"

namespace {

std::string textFile;   // every origin entry's texts, one line each
std::string rareTerm;   // found in about 1% of the origin entries
std::string rareWord;   // the same, as a whole word
atom* topLang = nullptr;

int CountEntries(const std::string& term, int mode) {
    Query::FullTextSearch ft;
    ResultSet rs;
    ft.SetRows({{{mode + 1, term}}}, true);
    int hits = 0, entries = 0;
    for (int32_t i = 0; i < DataBase::numAtoms; ++i) {
        const atom* a = DataBase::atomTab[static_cast<std::size_t>(i)];
        if (a->kind() != 5) continue;
        ++entries;
        if (ft.TakeA(a)) ++hits;
    }
    return hits * 1000 / std::max(1, entries);  // per mille
}

void EnsureDatabase() {
    static bool built = false;
    if (built) return;
    built = true;
    Parser::InitParser();
    gendb::BuildFullSizeDb();
    Searches::InitSearches();

    // The texts grep reads: each entry's string properties and its extra text.
    textFile = "/tmp/bench_query_texts.txt";
    std::ofstream out(textFile, std::ios::binary);
    std::string extra;
    std::vector<std::string> words;
    for (int32_t i = 0; i < DataBase::numAtoms; ++i) {
        const atom* a = DataBase::atomTab[static_cast<std::size_t>(i)];
        if (a->kind() != 5) continue;
        for (const Prop* p : a->props())
            if (p->kind() == 1) out << p->strVal() << ' ';
        Query::FullTextSearch::ExtraText(a, extra);
        out << extra << '\n';
        // Candidate terms: the rare last word of the English meaning.
        if (const Prop* m = a->FirstProp(DataBase::prEnglish)) {
            const std::string s(m->strVal());
            words.push_back(s.substr(s.rfind(' ') + 1));
        }
    }
    // The candidate whose three first letters come nearest to 1% as a
    // sequence, and the nearest to 1% as a word.
    int bestSeq = 1 << 30, bestWord = 1 << 30;
    for (std::size_t k = 0; k < words.size() && k < 400; k += 7) {
        const std::string seq = words[k].substr(0, 4);
        const int s = std::abs(CountEntries(seq, 0) - 10);
        if (s < bestSeq) { bestSeq = s; rareTerm = seq; }
        const int w = std::abs(CountEntries(words[k], 1) - 10);
        if (w < bestWord) { bestWord = w; rareWord = words[k]; }
    }
    // The language with most names of use.
    int most = -1;
    DataBase::FillLangCombo(true, true);
    for (atom* l : DataBase::langTab) {
        const int n = l->CountProps(DataBase::prLangOf);
        if (n > most) { most = n; topLang = l; }
    }
}

// One search of the engine (the full text or the name conditions) per turn.
template <class Engine>
void Search(benchmark::State& state, const Query::Rows& rows) {
    EnsureDatabase();
    Engine engine;
    int64_t lines = 0;
    for (auto _ : state) {
        ResultSet rs;
        engine.Search(rows, true, rs);
        lines = rs.numLines();
        benchmark::DoNotOptimize(lines);
    }
    state.counters["lines"] = static_cast<double>(lines);
}

void FullText(benchmark::State& state, const Query::Rows& rows) { Search<Query::FullTextSearch>(state, rows); }

void BM_FullTextSequence(benchmark::State& state) {
    EnsureDatabase();
    FullText(state, {{{1, rareTerm}}});
    state.SetLabel(rareTerm);
}
BENCHMARK(BM_FullTextSequence)->Unit(benchmark::kMillisecond)->Repetitions(20)->ReportAggregatesOnly(true);

void BM_FullTextWord(benchmark::State& state) {
    EnsureDatabase();
    FullText(state, {{{2, rareWord}}});
    state.SetLabel(rareWord);
}
BENCHMARK(BM_FullTextWord)->Unit(benchmark::kMillisecond)->Repetitions(20)->ReportAggregatesOnly(true);

void BM_FullTextThreeRows(benchmark::State& state) {
    EnsureDatabase();
    FullText(state, {{{1, rareTerm}, {2, rareWord}, {3, "God"}}});
}
BENCHMARK(BM_FullTextThreeRows)->Unit(benchmark::kMillisecond)->Repetitions(20)->ReportAggregatesOnly(true);

// grep over the same texts, its start included.
void BM_GrepSequence(benchmark::State& state) {
    EnsureDatabase();
    const std::string cmd = "LC_ALL=C grep -F -i -c -- '" + rareTerm + "' " + textFile + " > /dev/null";
    for (auto _ : state) {
        const int rc = std::system(cmd.c_str());
        benchmark::DoNotOptimize(rc);
    }
}
BENCHMARK(BM_GrepSequence)->Unit(benchmark::kMillisecond)->Repetitions(20)->ReportAggregatesOnly(true)
    ->UseRealTime();

void Lexi(benchmark::State& state, const Query::Rows& rows) { Search<Query::NameConditions>(state, rows); }

void BM_LexiLetters(benchmark::State& state) { Lexi(state, {{{static_cast<int>(state.range(0)), "an"}}}); }
BENCHMARK(BM_LexiLetters)->DenseRange(1, 5)->Unit(benchmark::kMillisecond);
void BM_LexiSound(benchmark::State& state) { Lexi(state, {{{6, "Maria"}}}); }
BENCHMARK(BM_LexiSound)->Unit(benchmark::kMillisecond);
void BM_LexiSpelling(benchmark::State& state) { Lexi(state, {{{7, "Marianne"}}}); }
BENCHMARK(BM_LexiSpelling)->Unit(benchmark::kMillisecond);
void BM_LexiPattern(benchmark::State& state) { Lexi(state, {{{8, "*a*e*i*"}}}); }
BENCHMARK(BM_LexiPattern)->Unit(benchmark::kMillisecond);
void BM_LexiCounts(benchmark::State& state) { Lexi(state, {{{static_cast<int>(state.range(0)), "4"}}}); }
BENCHMARK(BM_LexiCounts)->DenseRange(9, 14)->Unit(benchmark::kMillisecond);
void BM_LexiNoArgument(benchmark::State& state) { Lexi(state, {{{static_cast<int>(state.range(0)), ""}}}); }
BENCHMARK(BM_LexiNoArgument)->DenseRange(15, 17)->Unit(benchmark::kMillisecond);
void BM_LexiThreeRows(benchmark::State& state) { Lexi(state, {{{1, "a"}, {8, "*a*e*"}, {13, "3"}}}); }
BENCHMARK(BM_LexiThreeRows)->Unit(benchmark::kMillisecond);

void BM_Lang(benchmark::State& state) {
    EnsureDatabase();
    int64_t lines = 0;
    const Query::LangRows rows{{{static_cast<int>(state.range(0)), topLang}}};
    for (auto _ : state) {
        ResultSet rs;
        Query::LangSearch::Search(rows, true, rs);
        lines = rs.numLines();
        benchmark::DoNotOptimize(lines);
    }
    state.counters["lines"] = static_cast<double>(lines);
}
BENCHMARK(BM_Lang)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace

