// The name window on a full-size generated database: a typed name looked up
// and its description shown in the pane (lookup, description, rich text,
// the pane's document), and a misspelt name that opens the choice among
// similar entries. Offscreen.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMdiArea>
#include <map>
#include <string>
#include <vector>

#include "DataBase.h"
#include "FormControls.h"
#include "FullSizeDb.h"
#include "Options.h"
#include "Searches.h"
#include "windows/info/NameWindows.h"
#include "windows/info/Similar.h"
#include "windows/info/SingleName.h"
#include "WindowBench.h"

namespace {

struct Setup {
    QApplication* app = nullptr;
    QMdiArea* area = nullptr;
    WindowBench::Opener opener;
    SingleName* window = nullptr;
    std::vector<std::string> uniqueNames;  // texts that name exactly one entry
};

Setup& TheSetup() {
    static Setup s = [] {
        Setup st;
        st.app = WindowBench::StartApp("bench_namewin");
        gendb::BuildFullSizeDb();
        Searches::InitSearches();
        st.area = WindowBench::StartWindows();
        NameWindows::Register();
        std::map<std::string, int> count;
        std::map<std::string, std::string> text;
        for (int32_t id = 0; id < DataBase::numAtoms; ++id) {
            atom* a = DataBase::atomTab[static_cast<size_t>(id)];
            if (!a || a->kind() > 1) continue;
            ++count[a->Uppercase()];
            text[a->Uppercase()] = a->Text();
        }
        for (const auto& [key, n] : count)
            if (n == 1 && key.size() >= 5 && key.size() <= 12 && st.uniqueNames.size() < 500)
                st.uniqueNames.push_back(text[key]);
        return st;
    }();
    Searches::SetEnv(Searches::Env{&s.opener});
    if (!s.window) {
        s.window = WindowBench::OpenWindow<SingleName>(WindowNames::kSingleName);
    }
    return s;
}

void BM_TypedNameToDescription(benchmark::State& state) {
    Setup& s = TheSetup();
    auto* box = s.window->ControlAs<TextBox>("CurName");
    size_t i = 0;
    for (auto _ : state) {
        box->SetText(s.uniqueNames[i++ % s.uniqueNames.size()]);
        s.window->ShowName_Click();
        QCoreApplication::processEvents();
    }
    state.counters["lines"] = s.window->CurrentDescription() ? s.window->CurrentDescription()->numLines() : 0;
}
BENCHMARK(BM_TypedNameToDescription)->Unit(benchmark::kMillisecond);

void BM_MisspeltNameToChoice(benchmark::State& state) {
    Setup& s = TheSetup();
    auto* box = s.window->ControlAs<TextBox>("CurName");
    size_t i = 0;
    for (auto _ : state) {
        std::string t = s.uniqueNames[i++ % s.uniqueNames.size()];
        t.insert(t.size() / 2, "x");
        box->SetText(t);
        s.window->ShowName_Click();
        QCoreApplication::processEvents();
        state.PauseTiming();
        if (auto* sim = dynamic_cast<Similar*>(Auto::GetForm(WindowNames::kSimilar)); sim && sim->IsLoaded())
            sim->Unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_MisspeltNameToChoice)->Unit(benchmark::kMillisecond);

}  // namespace
