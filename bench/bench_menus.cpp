// The drawing kit and the frame's menus, offscreen: the 1,000 longest names of
// a full-size generated database as rows of lettered squares with a line to
// the previous row, on a 1000 x 700 canvas; and each of the frame's six
// drop-down menus opened, painted and closed (converted, measured, drawn and
// converted back).
#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "Canvas.h"
#include "FullSizeDb.h"
#include "Graph.h"
#include "KFrame.h"
#include "MenuCode.h"
#include "Options.h"
#include "WinMan.h"

namespace {

QApplication& App() {
    static int argc = 1;
    static char name[] = "bench_menus";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    return app;
}

const std::vector<std::string>& LongestNames() {
    static const std::vector<std::string> names = [] {
        gendb::BuildFullSizeDb();
        std::vector<std::string> all = gendb::GeneratedNameTexts();
        std::stable_sort(all.begin(), all.end(), [](const std::string& a, const std::string& b) {
            return a.size() > b.size();
        });
        all.resize(std::min<size_t>(all.size(), 1000));
        return all;
    }();
    return names;
}

// Per name: clear, its row of squares drawn, and a line from each square of
// the row before to the one below it.
void BM_WordBoxesOfTheLongestNames(benchmark::State& state) {
    App();
    const auto& names = LongestNames();
    QWidget window;
    window.resize(1000, 700);
    auto* canvas = new Canvas(&window);
    canvas->setGeometry(0, 0, 1000, 700);
    Graph graph;
    graph.Init(canvas);
    std::vector<GraphObj> upper, lower;
    const double size = 300;
    for (auto _ : state) {
        for (const std::string& name : names) {
            graph.Clear();
            const int above = GraphBase::DrawWordBoxes(graph, name, 150, 600, size, 0, 0xFFFFFF, upper, true);
            const int below = GraphBase::DrawWordBoxes(graph, name, 150, 1500, size, 0, 0xFFFFFF, lower, true);
            for (int i = 0; i < std::min(above, below); ++i) GraphBase::ConnectBoxes(graph, upper[i], lower[i]).draw();
        }
    }
    state.counters["us_per_name"] = benchmark::Counter(
        static_cast<double>(names.size()) * state.iterations(),
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert, benchmark::Counter::kIs1000);
    state.counters["longest"] = static_cast<double>(names.front().size());
}
BENCHMARK(BM_WordBoxesOfTheLongestNames)->Unit(benchmark::kMillisecond);

// One drop-down of the frame: opened, painted, closed.
void BM_OpenPaintCloseDropDown(benchmark::State& state) {
    App();
    static std::unique_ptr<KFrame> frame = [] {
        Options::SetDefaults();
        WinMan::InitWinMan();
        auto f = std::make_unique<KFrame>();
        f->Show();
        return f;
    }();
    QMenuBar* bar = frame->MainWindow()->menuBar();
    QMenu* menu = bar->actions().at(static_cast<int>(state.range(0)))->menu();
    for (auto _ : state) {
        menu->popup(QPoint(0, 0));
        benchmark::DoNotOptimize(menu->grab());
        menu->hide();
    }
    state.SetLabel(menu->title().toStdString());
}
BENCHMARK(BM_OpenPaintCloseDropDown)->DenseRange(0, 5)->Unit(benchmark::kMicrosecond);

}  // namespace
