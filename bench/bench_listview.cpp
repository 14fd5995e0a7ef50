// Showing a 20,000-line list of a full-size generated database in the list
// view (rows built, model reset, first paint) and in a list box, offscreen.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QWidget>
#include <memory>
#include <string>

#include "DataBase.h"
#include "FullSizeDb.h"
#include "Options.h"
#include "ResultSet.h"
#include "ResultViews.h"

namespace {

constexpr int kLines = 20000;

QApplication& App() {
    static int argc = 1;
    static char name[] = "bench_listview";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // Never destroyed: at exit the widgets of the static lists' bindings
    // may still refer to it.
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

// The names and groups of the database, repeated up to 20,000 lines, with
// a second column and some reasons.
struct Source {
    std::vector<atom*> atoms;
    Source() {
        gendb::BuildFullSizeDb();
        Options::InitColors();
        for (int32_t id = 1; id < DataBase::numAtoms; ++id) {
            atom* a = DataBase::atomTab[static_cast<std::size_t>(id)];
            if (a && a->kind() <= 3) atoms.push_back(a);
        }
    }
    void Fill(ResultSet& rs) const {
        for (int i = 0; i < kLines; ++i) {
            atom* a = atoms[static_cast<std::size_t>(i) % atoms.size()];
            rs.AddResult(a->Text() + "\t" + std::to_string(i), i % 7 ? "" : "sound", a);
        }
    }
};

const Source& TheSource() {
    static Source s;
    return s;
}

void BM_ListViewShow20000(benchmark::State& state) {
    App();
    const Source& src = TheSource();
    QWidget window;
    window.resize(600, 400);
    auto* view = new ListView(&window);
    view->setGeometry(0, 0, 580, 380);
    ListViewDisplay display(view);
    ResultSet rs;
    rs.Init("", nullptr, "", nullptr, &display);
    rs.DefineTwoCol("Name", 0.5, "Number", 0.45);
    rs.ShowColor();
    rs.ShowRank();
    rs.ShowReason();
    src.Fill(rs);
    window.show();
    for (auto _ : state) {
        rs.Show();
        rs.markLine(kLines / 2);
        // The rows on screen laid out and painted (the view lays out when
        // events run; its rows are painted in its viewport).
        QCoreApplication::processEvents();
        view->viewport()->repaint();
    }
    state.SetItemsProcessed(state.iterations() * kLines);
}
BENCHMARK(BM_ListViewShow20000)->Unit(benchmark::kMillisecond);

void BM_ListViewRowsOnly20000(benchmark::State& state) {
    const Source& src = TheSource();
    ResultSet rs;
    rs.InitInt();
    rs.setNumCol(2);
    rs.ShowColor();
    src.Fill(rs);
    for (auto _ : state) benchmark::DoNotOptimize(ListViewDisplay::BuildRows(rs));
}
BENCHMARK(BM_ListViewRowsOnly20000)->Unit(benchmark::kMillisecond);

void BM_ListBoxShow20000(benchmark::State& state) {
    App();
    const Source& src = TheSource();
    QWidget window;
    auto* box = new ListBox(&window);
    ListBoxDisplay display(box);
    ResultSet rs;
    rs.Init("", nullptr, "", nullptr, &display);
    src.Fill(rs);
    for (auto _ : state) rs.Show();
}
BENCHMARK(BM_ListBoxShow20000)->Unit(benchmark::kMillisecond);

}  // namespace
