// Reading what grows with the user: a settings store of many keys (and one
// key of many values), and one very long line of list mark-up. Both read in
// time proportional to their size: the larger of each pair should take about
// four times the smaller.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "LineMarkup.h"
#include "SettingsStore.h"

namespace {

std::string StoreText(int keys, int valuesPerKey) {
    MemorySettingsStore store;
    for (int k = 0; k < keys; ++k)
        for (int v = 0; v < valuesPerKey; ++v)
            store.Write("Software\\Quillmarsh\\Talvessin\\1.x\\Sets\\K" + std::to_string(k), "List" + std::to_string(v),
                        "0,1,Anna,,naAnna,//");
    return SerializeSettings(store);
}

// The parse alone: the store read is freed outside the timing.
void Parse(benchmark::State& state, const std::string& text) {
    for (auto _ : state) {
        auto store = std::make_unique<MemorySettingsStore>(ParseSettings(text));
        state.PauseTiming();
        store.reset();
        state.ResumeTiming();
    }
}

void BM_ParseSettingsKeys(benchmark::State& state) {
    const std::string text = StoreText(static_cast<int>(state.range(0)), 1);
    Parse(state, text);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_ParseSettingsKeys)->Arg(4000)->Arg(16000)->Arg(64000)->Unit(benchmark::kMillisecond);

void BM_ParseSettingsValuesOfOneKey(benchmark::State& state) {
    const std::string text = StoreText(1, static_cast<int>(state.range(0)));
    Parse(state, text);
}
BENCHMARK(BM_ParseSettingsValuesOfOneKey)->Arg(16000)->Arg(64000)->Unit(benchmark::kMillisecond);

// A line of links and no bold (no atoms loaded: every link stays text), and
// one of bold and no links.
void BM_MarkupLongLine(benchmark::State& state) {
    const bool bold = state.range(1) != 0;
    std::string line;
    while (line.size() < static_cast<std::size_t>(state.range(0)))
        line += bold ? "<b>Anna</b> und " : "<a>12</a>, Anna ";
    Markup::InlineOptions o;
    o.showLinks = o.showColor = true;
    for (auto _ : state) benchmark::DoNotOptimize(Markup::ParseInline(line, o));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(line.size()));
}
BENCHMARK(BM_MarkupLongLine)->Args({32 * 1024, 0})->Args({128 * 1024, 0})->Args({128 * 1024, 1})->Unit(benchmark::kMillisecond);

}  // namespace
