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
    atom* centuryName = nullptr;
    int largestSeries = -1;
};

// A series of one hit parade a year from 1900 to 2020, the span of Anna's
// series in the sample database, with a name ranked in every year: the
// largest series chart a name gets (121 rows, each with a bar). The
// generated hit parades span 25 years only; these join the loaded database
// in memory, past the file's atoms, as the user's own names do.
atom* AddCenturySeries() {
    using namespace DataBase;
    auto add = [](atom* a, atom* kind, atom* value, const std::string& text) {
        Prop* p = NewProp();
        if (value != nullptr)
            p->InitAtom(kind, value, true);
        else
            p->InitStr(kind, text, true);
        a->AddProp(p);
    };
    // A name without hit parades of its own.
    atom* name = nullptr;
    for (int32_t id = 0; id < numAtoms && name == nullptr; ++id) {
        atom* a = atomTab[static_cast<size_t>(id)];
        if ((a->kind() == 0 || a->kind() == 1) && a->FirstProp(prPop) == nullptr) name = a;
    }
    if (name == nullptr) std::abort();
    atom* series = CreateAtom("bcCentury");
    add(series, prText, nullptr, "Century");
    add(series, prMemberOf, sePopSeries, "");
    std::string ranks;
    for (int year = 1900; year <= 2020; ++year) {
        atom* pop = CreateAtom("bcCentury" + std::to_string(year));
        add(pop, prText, nullptr, "Century " + std::to_string(year));
        add(pop, prMemberOf, sePopularities, "");
        add(pop, prSubsetOf, series, "");
        add(pop, prFromYear, nullptr, std::to_string(year));
        add(pop, prYears, nullptr, "1");
        add(pop, prPop, name, std::to_string(1 + (year * 37) % 1000));
        add(series, prSubset, pop, "");
        ranks += (ranks.empty() ? "" : ",") + std::to_string(pop->id()) + "/" + std::to_string(1 + (year * 37) % 1000);
    }
    add(name, prPop, nullptr, ranks);
    CompleteAtoms(series->id());
    EvalKinds(series->id());
    return name;
}

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
        st.centuryName = AddCenturySeries();
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

// The name of the century series shown, its chart of 121 rows drawn and
// painted, at the window's designed size (0) and maximised (1). The rows
// keep their legible height; the canvas scrolls.
void BM_CenturySeriesChart(benchmark::State& state) {
    Setup& s = TheSetup();
    QWidget* host = s.window->Host();
    if (state.range(0) == 1) {
        host->showMaximized();
    } else {
        host->showNormal();
        host->resize(QSize(700, 418) + (host->size() - s.window->Client()->size()));
    }
    QCoreApplication::processEvents();
    for (auto _ : state) {
        s.window->ShowAtom(s.centuryName, nullptr);
        QCoreApplication::processEvents();
    }
    state.counters["rows"] = s.window->lastChart().rows;
    state.counters["canvas_px"] = s.window->canvas()->height();
    state.counters["width_px"] = s.window->canvas()->width();
    host->showNormal();
    host->resize(1000, 700);
}
BENCHMARK(BM_CenturySeriesChart)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
