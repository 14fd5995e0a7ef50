// Work that must grow no faster than n log n, each timed at three sizes n,
// 4n and 16n: the time should grow about 4 times per step. Each is small in
// the shipped data, but one unusual file or long text away from a stall:
// a whole-word search for one letter in a long text of that letter, the
// hit-parade index of a name with very many hit parades, a long description
// line made plain for export, the user-names file with many names in one
// language, and the database compiler on a source with many names of one
// group and language.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "Atom.h"
#include "BinFile.h"
#include "DataBase.h"
#include "ExportText.h"
#include "FullSizeDb.h"
#include "MakeDb.h"
#include "Parser.h"
#include "PopIndex.h"
#include "TextConstants.h"
#include "UserFile.h"

namespace {

void Sizes(benchmark::internal::Benchmark* b, int n) { b->Arg(n)->Arg(4 * n)->Arg(16 * n); }

// "a" as a whole word in a text made only of "a": every place is an
// occurrence that a letter touches, so every one is tried and refused.
void BM_WholeWordOneLetter(benchmark::State& state) {
    Parser::InitParser();
    const std::string text(static_cast<size_t>(state.range(0)), 'a');
    for (auto _ : state) {
        bool found = true;
        int pos = -1;
        Parser::Match(text, "a", Parser::kMatchWord, found, pos);
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_WholeWordOneLetter)->Apply([](auto* b) { Sizes(b, 25000); })->Unit(benchmark::kMillisecond);

// A name in state.range(0) hit parades (those of the full-size database,
// repeated): the text of its prPop property through SortPop.
void BM_SortPop(benchmark::State& state) {
    static std::vector<atom*> pops = [] {
        gendb::BuildFullSizeDb();
        std::vector<atom*> v;
        for (atom* a : DataBase::atomTab) {
            if (a == nullptr || a == DataBase::nothingAtom) continue;
            a->LoadOnDemand();
            if (a->FirstProp(DataBase::prFromYear) && a->FirstProp(DataBase::prYears)) v.push_back(a);
        }
        return v;
    }();
    std::string text;
    for (int i = 0; i < state.range(0); ++i) {
        if (i > 0) text += ',';
        text += std::to_string(pops[static_cast<size_t>(i) % pops.size()]->id()) + "/" + std::to_string(1 + i % 500);
    }
    std::vector<Searches::PopEntry> entries;
    std::vector<Searches::PopSeriesInfo> series;
    int numEntries = 0, numSeries = 0;
    for (auto _ : state) {
        Searches::SortPop(nullptr, text, entries, numEntries, series, numSeries);
        benchmark::DoNotOptimize(numEntries);
    }
    state.counters["hitParades"] = static_cast<double>(pops.size());
}
BENCHMARK(BM_SortPop)->Apply([](auto* b) { Sizes(b, 2000); })->Unit(benchmark::kMillisecond);

// A description line of state.range(0) characters, full of "(" and "="
// followed by blanks, made plain for a text export.
void BM_PlainDescrLine(benchmark::State& state) {
    std::string line;
    while (line.size() < static_cast<size_t>(state.range(0))) line += "(  Anna = Hanna, ( see =  Ann) ";
    for (auto _ : state) benchmark::DoNotOptimize(ExportText::PlainDescrLine(line));
}
BENCHMARK(BM_PlainDescrLine)->Apply([](auto* b) { Sizes(b, 16000); })->Unit(benchmark::kMillisecond);

// Letters only, as internal names are: 0 -> "Aaaa", 1 -> "Aaab", ...
std::string LetterName(int i) {
    std::string s = "Aaaa";
    for (int k = 3; k > 0 && i > 0; --k, i /= 26) s[static_cast<size_t>(k)] = static_cast<char>('a' + i % 26);
    return s;
}

// The user-names file with state.range(0) names of one new group and one
// language, read into the full-size database loaded from its file. The
// largest size stays below the atom limit with the full-size database's
// 25,000 atoms: a file past it is refused early and would time nothing.
void BM_ReadUserNames(benchmark::State& state) {
    static const std::string db = [] {
        gendb::BuildFullSizeDb();
        const std::string path = "/tmp/bench_growth_" + std::to_string(getpid()) + ".bin";
        DataBase::WriteBinFile(path);
        return path;
    }();
    TextConstants::textLanguage = 1;
    DataBase::InitDataBase();
    DataBase::ReadBinFile(db);
    std::string lang;
    for (atom* a : DataBase::atomTab)
        if (a != nullptr && std::string(a->name()).substr(0, 2) == "la") { lang = std::string(a->name()); break; }
    std::string text = "/* -- gnBenchUser -- */\r\nprop(prText,gnBenchUser,\"Bench\").\r\n"
                       "prop(prSubsetOf,gnBenchUser,seFemaleNames).\r\n\r\n";
    for (int i = 0; i < state.range(0); ++i) {
        const std::string name = "naBench" + LetterName(i) + "User";
        text += "/* -- " + name + " -- */\r\nprop(prText," + name + ",\"Bench" + LetterName(i) + "\").\r\n";
        text += "prop(prGenName," + name + ",gnBenchUser).\r\nprop(prLang," + name + "," + lang + ").\r\n\r\n";
    }
    const std::string path = "/tmp/bench_growth_" + std::to_string(getpid()) + ".txt";
    std::ofstream(path, std::ios::binary) << text;
    int32_t atoms = 0;
    for (auto _ : state) {
        state.PauseTiming();
        DataBase::InitDataBase();
        DataBase::ReadBinFile(db);
        state.ResumeTiming();
        benchmark::DoNotOptimize(DataBase::ReadTextFile(path, "bench"));
        atoms = DataBase::numAtoms;
    }
    std::remove(path.c_str());
    state.counters["atoms"] = atoms;
}
BENCHMARK(BM_ReadUserNames)->Apply([](auto* b) { Sizes(b, 900); })->Unit(benchmark::kMillisecond)->Iterations(3);

// The database compiler on the vocabulary and state.range(0) names of one
// group and one language: each name's mirror goes to the same two atoms.
void BM_MakeDb(benchmark::State& state) {
    std::string vocabulary;
    for (const std::string& n : DataBase::KindAtomNames()) {
        const std::string p = n.substr(0, 2) == "la"   ? "prop(prMemberOf," + n + ",seLanguages)."
                              : n.substr(0, 2) == "ps" ? "prop(prMemberOf," + n + ",sePopSeries)."
                                                       : "prop(prText," + n + ",\"" + n + "\").";
        vocabulary += "/* -- " + n + " -- */\n" + p + "\n\n";
    }
    std::string names =
        "/* -- laBench -- */\nprop(prText,laBench,\"Bench\").\nprop(prMemberOf,laBench,seLanguages).\n\n"
        "/* -- gnBench -- */\nprop(prText,gnBench,\"Bench\").\nprop(prSubsetOf,gnBench,seFemaleNames).\n\n";
    for (int i = 0; i < state.range(0); ++i) {
        const std::string name = "naBench" + LetterName(i);
        names += "/* -- " + name + " -- */\nprop(prText," + name + ",\"Bench" + LetterName(i) + "\").\n";
        names += "prop(prGenName," + name + ",gnBench).\nprop(prLang," + name + ",laBench).\n\n";
    }
    for (auto _ : state) {
        MakeDb::Compiler c;
        const bool ok = c.AddText("vocabulary.txt", vocabulary) && c.AddText("names.txt", names) && c.Build();
        if (!ok) state.SkipWithError(c.failure().Text().c_str());
    }
    state.counters["atoms"] = DataBase::numAtoms;
}
BENCHMARK(BM_MakeDb)->Apply([](auto* b) { Sizes(b, 1000); })->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
