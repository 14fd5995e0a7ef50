// Building long rich-text documents: a description of a few thousand lines
// with headings and dot leaders, links and accented text, and the same
// through the inline tag language.
#include <benchmark/benchmark.h>

#include <string>

#include "TextDisplay.h"

namespace {

CharWidths Widths(int all) {
    CharWidths w;
    w.fill(all);
    w[' '] = 3;
    w['.'] = 3;
    return w;
}

void Setup() {
    static const CharWidths normal = Widths(7), bold = Widths(8);
    TextDisplay::Env().widthsNormal = &normal;
    TextDisplay::Env().widthsBold = &bold;
    TextDisplay::Env().findAtom = [](const std::string& name) {
        return LinkTarget{name.substr(2), static_cast<int32_t>(name.size()) * 97, 0x0000C0,
                          name[1] == 'g', name.size() > 4};
    };
}

const char* const kHeadings[] = {"Gender", "Origin", "Variants", "Short forms", "Saints", "Hit parades"};

void BuildDescription(TextDisplay& td, int lines) {
    td.BeginText();
    for (int i = 0; i < lines; ++i) {
        td.BeginPara();
        td.BeginBold();
        td.BeginExpand();
        td.AddStr(kHeadings[i % 6]);
        td.EndExpand();
        td.EndBold();
        td.AddTab();
        for (int k = 0; k < 4; ++k) {
            td.AddNumLink("Ren\xE9" "e Marie", 1000 + i * 4 + k, 0x0000C0 + 0x100 * (k % 3), kNoBackColour);
            td.AddStr(", ");
        }
        td.AddStr("from the Latin \"renatus\" {reborn} \\ with \xE4\xF6\xFC\xDF.");
        td.EndPara();
    }
    td.EndText();
}

void BM_LongDescription(benchmark::State& state) {
    Setup();
    TextDisplay td;
    td.Init("Bench", nullptr, nullptr);
    const int lines = static_cast<int>(state.range(0));
    std::size_t bytes = 0;
    for (auto _ : state) {
        BuildDescription(td, lines);
        bytes = td.GetStr().size();
        benchmark::DoNotOptimize(td.GetStr().data());
    }
    state.counters["rtf_bytes"] = static_cast<double>(bytes);
    state.SetItemsProcessed(state.iterations() * lines);
}
BENCHMARK(BM_LongDescription)->Arg(500)->Arg(3000)->Arg(20000)->Unit(benchmark::kMillisecond);

void BM_TaggedText(benchmark::State& state) {
    Setup();
    TextDisplay td;
    td.Init("Bench", nullptr, nullptr);
    const int lines = static_cast<int>(state.range(0));
    const std::string line =
        "The name <a>naRenee</a> is a <b>French</b> form of <a>gaRenatus/Renatus</a>; see also "
        "<a>naRene</a> and <a>xx</a>.<br>Second line with <small>spacer.";
    for (auto _ : state) {
        td.BeginText();
        for (int i = 0; i < lines; ++i) {
            td.BeginPara();
            td.AddStrWithMarks(line, true);
            td.EndPara();
        }
        td.EndText();
        benchmark::DoNotOptimize(td.GetStr().data());
    }
    state.SetItemsProcessed(state.iterations() * lines);
}
BENCHMARK(BM_TaggedText)->Arg(3000)->Unit(benchmark::kMillisecond);

}  // namespace
