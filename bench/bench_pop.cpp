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
#include <iostream>
#include <memory>
#include <string>

#include "Atom.h"
#include "BinFile.h"
#include "DataBase.h"
#include "Dates.h"
#include "FormControls.h"
#include "FullSizeDb.h"
#include "FullSizePop.h"
#include "GenMsg.h"
#include "Options.h"
#include "Parser.h"
#include "ResultSet.h"
#include "Searches.h"
#include "TextConstants.h"
#include "WinMan.h"
#include "windows/info/NameWindows.h"
#include "windows/info/Pop.h"

namespace {

class Opener : public WindowOpener {
public:
    ChildWindow* OpenForm(const std::string& name) override {
        WinMan::OpenForm(name);
        return dynamic_cast<ChildWindow*>(Auto::GetForm(name));
    }
    ChildWindow* FormByName(const std::string& name) override {
        FormBase* f = Auto::GetForm(name);
        if (f) f->Load();
        return dynamic_cast<ChildWindow*>(f);
    }
};

struct Setup {
    std::unique_ptr<QApplication> app;
    QMdiArea* area = nullptr;
    Opener opener;
    Pop* window = nullptr;
    atom* name = nullptr;
    int largestSeries = -1;
};

const std::string& TempPath() {
    static const std::string path = "/tmp/bench_pop_" + std::to_string(getpid()) + ".bin";
    return path;
}

// Kept to the end of the process (Qt's application is never destroyed).
Setup& TheSetup() {
    static Setup& s = *[] {
        auto* setup = new Setup;
        Setup& st = *setup;
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "bench_pop";
        static char* argv[] = {name, nullptr};
        st.app = std::make_unique<QApplication>(argc, argv);
        GenMsg::InitMessages();
        Parser::InitParser();
        Options::InitColors();
        TextConstants::textLanguage = 1;
        TextConstants::LoadTexts();
        Dates::InitMonths();
        gendb::BuildFullSizeDb();
        const std::string benchName(gendb::PopBenchName()->name());
        // The file stays until the end: hit parades are read from it on demand.
        const std::string& path = TempPath();
        if (!DataBase::WriteBinFile(path).ok || !DataBase::ReadBinFile(path).ok) std::abort();
        Searches::InitSearches();
        st.area = new QMdiArea;
        st.area->resize(1200, 900);
        st.area->show();
        FormBase::SetMdiArea(st.area);
        WinMan::InitWinMan();
        NameWindows::Register();
        st.name = DataBase::GetAtom(benchName);
        return setup;
    }();
    Searches::SetEnv(Searches::Env{&s.opener});
    if (!s.window) {
        WinMan::OpenForm(WindowNames::kPop);
        s.window = dynamic_cast<Pop*>(Auto::GetForm(WindowNames::kPop));
        s.window->Host()->resize(1000, 700);
        // At exit (registered after the window table holds the window, so
        // run before it is destroyed) the file goes, and the process ends
        // there: the windows cannot be destroyed once Qt's per-thread font
        // cache is gone, so they are left to the system.
        std::atexit([] {
            std::remove(TempPath().c_str());
            std::cout.flush();
            std::fflush(nullptr);
            std::_Exit(0);
        });
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
