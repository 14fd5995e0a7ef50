// The database file on a full-size generated database: ReadBinFile of the
// whole file against reading its raw bytes, the writer, the lookup of every
// name by its internal name, and user-names files larger than the program
// ever writes.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "BinFile.h"
#include "DataBase.h"
#include "FullSizeDb.h"
#include "UserFile.h"

namespace {

struct Fixture {
    std::string path;
    gendb::FullSizeStats stats;
    long long bytes = 0;
    std::vector<std::string> names;
    Fixture() {
        stats = gendb::BuildFullSizeDb();
        path = "/tmp/bench_database_" + std::to_string(getpid()) + ".bin";
        DataBase::DbStatus st = DataBase::WriteBinFile(path);
        if (!st.ok) {
            std::fprintf(stderr, "write failed: %s\n", st.detail.c_str());
            std::abort();
        }
        names.assign(DataBase::stringTab.begin(), DataBase::stringTab.end());
        std::FILE* f = std::fopen(path.c_str(), "rb");
        std::fseek(f, 0, SEEK_END);
        bytes = std::ftell(f);
        std::fclose(f);
        std::fprintf(stderr, "full-size database: %d atoms, %d names, %d groups, %d hit parades, "
                     "%d properties in the file (+%d in blocks), %lld bytes\n",
                     stats.atoms, stats.names, stats.groups, stats.hitParades, stats.fileProps,
                     stats.blockProps, bytes);
    }
    ~Fixture() { std::remove(path.c_str()); }
};

Fixture& F() {
    static Fixture f;
    return f;
}

void BM_ReadBinFile(benchmark::State& state) {
    Fixture& f = F();
    for (auto _ : state) {
        DataBase::DbStatus st = DataBase::ReadBinFile(f.path);
        if (!st.ok) state.SkipWithError(st.detail.c_str());
        benchmark::DoNotOptimize(DataBase::numAtoms);
    }
    state.SetBytesProcessed(state.iterations() * f.bytes);
    state.counters["atoms"] = DataBase::numAtoms;
    state.counters["props"] = DataBase::numProps;
}
BENCHMARK(BM_ReadBinFile)->Unit(benchmark::kMillisecond);

// The floor: the same file's bytes read into memory, nothing parsed.
void BM_ReadRawBytes(benchmark::State& state) {
    Fixture& f = F();
    std::vector<unsigned char> buf(static_cast<size_t>(f.bytes));
    for (auto _ : state) {
        std::FILE* file = std::fopen(f.path.c_str(), "rb");
        size_t n = std::fread(buf.data(), 1, buf.size(), file);
        std::fclose(file);
        benchmark::DoNotOptimize(n);
    }
    state.SetBytesProcessed(state.iterations() * f.bytes);
}
BENCHMARK(BM_ReadRawBytes)->Unit(benchmark::kMillisecond);

void BM_LoadAllOnDemand(benchmark::State& state) {
    Fixture& f = F();
    for (auto _ : state) {
        state.PauseTiming();
        DataBase::ReadBinFile(f.path);
        state.ResumeTiming();
        for (atom* a : DataBase::atomTab)
            if (a->LoadedOnDemand()) a->LoadOnDemand();
    }
    state.counters["hitParades"] = F().stats.hitParades;
}
BENCHMARK(BM_LoadAllOnDemand)->Unit(benchmark::kMillisecond);

void BM_WriteBinFile(benchmark::State& state) {
    Fixture& f = F();
    DataBase::ReadBinFile(f.path);
    std::string out = f.path + ".out";
    for (auto _ : state) {
        DataBase::DbStatus st = DataBase::WriteBinFile(out);
        if (!st.ok) state.SkipWithError(st.detail.c_str());
    }
    std::remove(out.c_str());
    state.SetBytesProcessed(state.iterations() * f.bytes);
}
BENCHMARK(BM_WriteBinFile)->Unit(benchmark::kMillisecond);

// Every internal name looked up in other case (binary search without case).
void BM_GetAtomEveryName(benchmark::State& state) {
    Fixture& f = F();
    DataBase::ReadBinFile(f.path);
    std::vector<std::string> upper;
    for (const auto& n : f.names) upper.push_back(Basic::UpperAscii(n));
    for (auto _ : state)
        for (const auto& n : upper) benchmark::DoNotOptimize(DataBase::GetAtom(n));
    state.SetItemsProcessed(state.iterations() * static_cast<long long>(upper.size()));
}
BENCHMARK(BM_GetAtomEveryName)->Unit(benchmark::kMillisecond);

// Hand-made user-names files on the full-size database: (0) one name text of
// 10 MB, cut to the 35 characters of the new-names window; (1) 20,000 names
// of one group, read until the name table is full, then one message. Each
// read takes a fraction of a second and leaves nothing a window would take
// long to lay out.
void BM_ReadOversizedUserFile(benchmark::State& state) {
    Fixture& f = F();
    std::string text = "/* -- gnBigUser -- */\r\nprop(prText,gnBigUser,\"Big\").\r\n"
                       "prop(prSubsetOf,gnBigUser,seFemaleNames).\r\n\r\n";
    if (state.range(0) == 0) {
        text += "/* -- naLongUser -- */\r\nprop(prText,naLongUser,\"" + std::string(10 << 20, 'A') +
                "\").\r\nprop(prGenName,naLongUser,gnBigUser).\r\n";
    } else {
        for (int i = 0; i < 20000; ++i) {
            const std::string name = "naBig" + std::to_string(i) + "User";
            text += "/* -- " + name + " -- */\r\nprop(prText," + name + ",\"Big" + std::to_string(i) +
                    "\").\r\nprop(prGenName," + name + ",gnBigUser).\r\n\r\n";
        }
    }
    const std::string path = f.path + ".user.txt";
    std::ofstream(path, std::ios::binary) << text;
    for (auto _ : state) {
        state.PauseTiming();
        DataBase::ReadBinFile(f.path);
        state.ResumeTiming();
        benchmark::DoNotOptimize(DataBase::ReadTextFile(path, "bench"));
    }
    std::remove(path.c_str());
    DataBase::CountKinds();
    state.counters["names"] = DataBase::numAllNames - F().stats.names;
    state.SetBytesProcessed(state.iterations() * static_cast<long long>(text.size()));
}
BENCHMARK(BM_ReadOversizedUserFile)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
