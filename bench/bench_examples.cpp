// The examples of the English edition replayed on the full-size generated
// database: each example's input lines through the script engine, as its
// Example button plays them (the names of the sample database are absent
// there, so every lookup runs all its passes). One benchmark per example;
// the counter "per_line" is the mean time of one script line. Offscreen;
// messages are answered No without showing anything.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMdiArea>
#include <chrono>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "Auto.h"
#include "Cp1252.h"
#include "DataBase.h"
#include "Dates.h"
#include "Examples.h"
#include "FullSizeDb.h"
#include "GenMsg.h"
#include "Options.h"
#include "Parser.h"
#include "Searches.h"
#include "Services.h"
#include "TextConstants.h"
#include "WinMan.h"
#include "windows/info/NameWindows.h"
#include "windows/lists/NameLists.h"
#include "windows/search/SearchWindows.h"

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

class QuietMessages : public Services::MessageBoxes {
public:
    bool ShowMessage(const Services::Message&) override { return false; }
};

class QuietAsserts : public Services::AssertSink {
public:
    void ShowAssert(const std::string&) override { ++count; }
    int count = 0;
};

struct Example {
    std::string name;
    std::vector<std::string> lines;
};

struct Setup {
    std::unique_ptr<QApplication> app;
    QMdiArea* area = nullptr;
    Opener opener;
    QuietMessages messages;
    QuietAsserts asserts;
};

Setup& TheSetup() {
    static Setup s = [] {
        Setup st;
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "bench_examples";
        static char* argv[] = {name, nullptr};
        st.app = std::make_unique<QApplication>(argc, argv);
        GenMsg::InitMessages();
        Parser::InitParser();
        Options::InitColors();
        TextConstants::edition = 1;
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
        RegisterListWindows();
        SearchWindows::Register();
        return st;
    }();
    Services::Set set = Services::Get();
    set.messages = &s.messages;
    set.assertSink = &s.asserts;
    Services::Install(set);
    Searches::SetEnv(Searches::Env{&s.opener});
    return s;
}

// The examples of the source file (UTF-8 there, cp1252 in the program).
std::vector<Example> ReadExamples() {
    std::ifstream in(std::string(BENCH_SOURCE_DIR) + "/data/examples/Talv1Ex.txt");
    std::vector<Example> examples;
    bool inLines = false;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line[0] == '*') {
            examples.push_back(Example{line.substr(1), {}});
            inLines = true;
        } else if (line == ";") {
            inLines = false;
        } else if (inLines && !examples.empty()) {
            examples.back().lines.push_back(Cp1252::FromUtf8(line));
        }
    }
    return examples;
}

void BM_Example(benchmark::State& state, const Example& example) {
    Setup& s = TheSetup();
    // A line that fails counts as an assertion below.
    Examples::replayLine = [](const std::string& line) {
        Auto::ProcessLine(line);
        return std::string();
    };
    Examples::Example played;
    played.lines = example.lines;
    ScriptFile::BadLines bad;
    for (auto _ : state) {
        Examples::ReplayLines(played, bad);
        QCoreApplication::processEvents();
    }
    state.counters["lines"] = static_cast<double>(example.lines.size());
    state.counters["per_line"] = benchmark::Counter(static_cast<double>(example.lines.size()),
                                                    benchmark::Counter::kIsIterationInvariantRate |
                                                        benchmark::Counter::kInvert);
    state.counters["asserts"] = s.asserts.count;
}

const bool registered = [] {
    static const std::vector<Example> examples = ReadExamples();
    for (const Example& e : examples)
        benchmark::RegisterBenchmark(("BM_Example/" + e.name).c_str(), BM_Example, e)
            ->Unit(benchmark::kMillisecond);
    return true;
}();

}  // namespace
