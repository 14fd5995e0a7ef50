// The list windows on a full-size generated database, offscreen, each from
// its button to the list the list manager shows: "All names" of the
// predefined lists, the union, intersection and difference of two lists of
// all names, the letter combinations of a 99-character pool with and without
// reused letters, and a random pick of every name.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMdiArea>
#include <string>

#include "DataBase.h"
#include "FormControls.h"
#include "FullSizeDb.h"
#include "Options.h"
#include "ResultHistory.h"
#include "Searches.h"
#include "windows/info/NameWindows.h"
#include "windows/lists/ListOp.h"
#include "windows/lists/NameLists.h"
#include "windows/lists/StdLists.h"
#include "windows/search/LetterMix.h"
#include "windows/search/SearchWindows.h"
#include "windows/search/PickRandom.h"
#include "WindowBench.h"

namespace {

struct Setup {
    QApplication* app = nullptr;
    QMdiArea* area = nullptr;
    WindowBench::Opener opener;
};

Setup& TheSetup() {
    static Setup s = [] {
        Setup st;
        st.app = WindowBench::StartApp("bench_listwins");
        Options::ShowToolTips = false;
        Options::ListsNewSortOrder = 1;
        gendb::BuildFullSizeDb();
        Searches::InitSearches();
        st.area = WindowBench::StartWindows();
        NameWindows::Register();
        RegisterListWindows();
        SearchWindows::Register();
        Searches::SetEnv(Searches::Env{&st.opener});
        return st;
    }();
    return s;
}

template <class W>
W& Open(const char* name) {
    TheSetup();
    return *WindowBench::OpenWindow<W>(name);
}

NameLists& Lists() { return Open<NameLists>("NameLists"); }

void BM_AllNamesToTheShownList(benchmark::State& state) {
    StdLists& w = Open<StdLists>("StdLists");
    for (auto _ : state) {
        w.List_Click(StdLists::kAllNames);
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(Lists().current()->numLines());
    }
    state.SetLabel(std::to_string(Lists().current()->numLines()) + " names");
}
BENCHMARK(BM_AllNamesToTheShownList)->Unit(benchmark::kMillisecond);

// Lists A and B are two lists of all names (B sorted in descending order),
// so the union and intersection hold every name and the difference none.
void BM_CombineAllNames(benchmark::State& state) {
    static const char* const kModes[] = {"OpOr", "OpAnd", "OpSubList2"};
    const char* mode = kModes[state.range(0)];
    StdLists& std = Open<StdLists>("StdLists");
    ListOp& op = Open<ListOp>("ListOp");
    for (auto _ : state) {
        state.PauseTiming();
        std.List_Click(StdLists::kAllNames);
        std.List_Click(StdLists::kAllNames);
        op.ControlAs<OptionButton>("LastTwo")->SetValue(true);
        op.ControlAs<OptionButton>(mode)->SetValue(true);
        state.ResumeTiming();
        op.DoOp_Click();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(Lists().current()->numLines());
    }
    state.SetLabel(std::string(mode) + ", " + std::to_string(Lists().current()->numLines()) + " lines");
}
BENCHMARK(BM_CombineAllNames)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

void BM_LetterCombinations(benchmark::State& state) {
    LetterMix& w = Open<LetterMix>("LetterMix");
    const std::string text = "Annemarie Josephine Maximilian Ottokar";  // cut to 33 each
    w.ControlAs<TextBox>("Letters", 0)->SetText(text);
    w.ControlAs<TextBox>("Letters", 1)->SetText("Bartholomew Christopher Eleonore Ida");
    w.ControlAs<TextBox>("Letters", 2)->SetText("Friederike Konstantin Wilhelmina Jo");
    w.ControlAs<CheckBox>("UseMulti")->SetValue(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        w.Search_Click();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(w.names()->numLines());
    }
    int pool = 0;
    for (int i = 0; i < 3; ++i) pool += static_cast<int>(w.ControlAs<TextBox>("Letters", i)->Text().size());
    state.SetLabel(std::string(state.range(0) ? "reused letters" : "each letter once") + ", pool " +
                   std::to_string(pool) + ", " + std::to_string(w.names()->numLines()) + " hits");
}
BENCHMARK(BM_LetterCombinations)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);

void BM_PickEveryName(benchmark::State& state) {
    PickRandom& w = Open<PickRandom>("PickRandom");
    w.ControlAs<OptionButton>("All")->SetValue(true);
    w.ControlAs<TextBox>("PickNum")->SetText(std::to_string(DataBase::numAllNames));
    for (auto _ : state) {
        w.Pick_Click();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(Lists().current()->numLines());
    }
    state.SetLabel(std::to_string(DataBase::numAllNames) + " names");
}
BENCHMARK(BM_PickEveryName)->Unit(benchmark::kMillisecond);

}  // namespace
