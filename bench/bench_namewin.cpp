// The name window on a full-size generated database: a typed name looked up
// and its description shown in the pane (lookup, description, rich text,
// the pane's document), and a misspelt name that opens the choice among
// similar entries. Offscreen.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMdiArea>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "DataBase.h"
#include "Dates.h"
#include "FormControls.h"
#include "FullSizeDb.h"
#include "GenMsg.h"
#include "Options.h"
#include "Parser.h"
#include "Searches.h"
#include "TextConstants.h"
#include "WinMan.h"
#include "windows/info/NameWindows.h"
#include "windows/info/Similar.h"
#include "windows/info/SingleName.h"

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
    SingleName* window = nullptr;
    std::vector<std::string> uniqueNames;  // texts that name exactly one entry
};

Setup& TheSetup() {
    static Setup s = [] {
        Setup st;
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "bench_namewin";
        static char* argv[] = {name, nullptr};
        st.app = std::make_unique<QApplication>(argc, argv);
        GenMsg::InitMessages();
        Parser::InitParser();
        Options::InitColors();
        TextConstants::textLanguage = 1;
        TextConstants::LoadTexts();
        Dates::InitMonths();
        gendb::BuildFullSizeDb();
        Searches::InitSearches();
        st.area = new QMdiArea;
        st.area->resize(1200, 900);
        st.area->show();
        FormBase::SetMdiArea(st.area);
        WinMan::InitWinMan();
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
        WinMan::OpenForm(WindowNames::kSingleName);
        s.window = dynamic_cast<SingleName*>(Auto::GetForm(WindowNames::kSingleName));
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
