// The hit-parade window on a full-size generated database, written to a file
// and read back so that hit parades load on demand, offscreen: the choice of
// hit parades of the largest series filled the first time (every hit parade
// loaded from the file and given its sex) and again; a name ranked in 101
// hit parades shown with its hit parades, the first of them and the series
// chart drawn.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMdiArea>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "Atom.h"
#include "BinFile.h"
#include "DataBase.h"
#include "FormControls.h"
#include "FullSizeDb.h"
#include "FullSizePop.h"
#include "Options.h"
#include "ResultSet.h"
#include "Searches.h"
#include "windows/info/NameWindows.h"
#include "windows/info/Pop.h"
#include "WindowBench.h"

namespace {

struct Setup {
    QApplication* app = nullptr;
    QMdiArea* area = nullptr;
    WindowBench::Opener opener;
    Pop* window = nullptr;
    atom* name = nullptr;
    int largestSeries = -1;
};

const std::string& TempPath() {
    static const std::string path = "/tmp/bench_pop_" + std::to_string(getpid()) + ".bin";
    return path;
}

Setup& TheSetup() {
    static Setup s = [] {
        Setup st;
        st.app = WindowBench::StartApp("bench_pop");
        gendb::BuildFullSizeDb();
        const std::string benchName(gendb::PopBenchName()->name());
        // The file stays until the end: hit parades are read from it on demand.
        const std::string& path = TempPath();
        if (!DataBase::WriteBinFile(path).ok || !DataBase::ReadBinFile(path).ok) std::abort();
        Searches::InitSearches();
        st.area = WindowBench::StartWindows();
        NameWindows::Register();
        st.name = DataBase::GetAtom(benchName);
        return st;
    }();
    Searches::SetEnv(Searches::Env{&s.opener});
    if (!s.window) {
        s.window = WindowBench::OpenWindow<Pop>(WindowNames::kPop);
        s.window->Host()->resize(1000, 700);
        // The file goes at exit, before the process ends (WindowBench::StartWindows).
        std::atexit([] { std::remove(TempPath().c_str()); });
        QCoreApplication::processEvents();
        // The series with the most hit parades.
        size_t most = 0;
        for (size_t i = 0; i < s.window->seriesChoice().size(); ++i) {
            size_t n = 0;
            for (Prop* p : s.window->seriesChoice()[i]->props())
                if (p && p->proper() == DataBase::prSubset) ++n;
            if (n > most) {
                most = n;
                s.largestSeries = static_cast<int>(i);
            }
        }
    }
    return s;
}

void FillLargestSeries(benchmark::State& state) {
    Setup& s = TheSetup();
    auto* box = s.window->ControlAs<ComboBox>("CurPopSeries");
    for (auto _ : state) {
        box->SetListIndex(s.largestSeries);
        QCoreApplication::processEvents();
    }
    state.counters["hitparades"] = static_cast<double>(s.window->popChoice().size());
}

// Runs first: the hit parades are still on disk.
void BM_FillHitParadesOfLargestSeriesFromFile(benchmark::State& state) { FillLargestSeries(state); }
BENCHMARK(BM_FillHitParadesOfLargestSeriesFromFile)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_FillHitParadesOfLargestSeries(benchmark::State& state) { FillLargestSeries(state); }
BENCHMARK(BM_FillHitParadesOfLargestSeries)->Unit(benchmark::kMillisecond);

void BM_NameWith101HitParadesToSeriesChart(benchmark::State& state) {
    Setup& s = TheSetup();
    for (auto _ : state) {
        s.window->ShowAtom(s.name, nullptr);
        QCoreApplication::processEvents();
    }
    state.counters["entries"] = s.window->numEntries();
    state.counters["rows"] = s.window->lastChart().rows;
}
BENCHMARK(BM_NameWith101HitParadesToSeriesChart)->Unit(benchmark::kMillisecond);

}  // namespace
