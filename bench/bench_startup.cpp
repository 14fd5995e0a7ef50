// The program's start-up up to the frame with the database loaded
// (offscreen), in each edition: on the sample database and on a full-size
// generated one. Each iteration runs the whole start-up (modules, options,
// frame, welcome, database load, user-names merge, restored windows,
// getting-started window) and tears the program down again without saving.
// The load of each edition's full-size file on its own as well: the German
// file (derived with German texts) must load no slower than the English one.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>

#include "BinFile.h"
#include "DataBase.h"
#include "FullSizeDb.h"
#include "LowLevel.h"
#include "Services.h"
#include "SettingsStore.h"
#include "Startup.h"
#include "WindowRegistry.h"
#include "TextConstants.h"
#include "UserFile.h"

namespace {

QApplication& App() {
    static int argc = 1;
    static char name[] = "talvessin";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    return *app;
}

// Services that never show anything: messages go nowhere, settings live in memory.
struct QuietServices {
    MemorySettingsStore settings;
    QuietServices() {
        Services::Set set;
        set.settings = &settings;
        Services::Install(set);
        // No user-names file: the documents folder is an empty temporary one.
        static std::string folder = (std::filesystem::temp_directory_path() /
                                     ("bench_startup_docs_" + std::to_string(getpid()))).string();
        std::filesystem::create_directories(folder);
        LowLevel::DocumentsFolder = [](std::string& f) {
            f = folder;
            return true;
        };
    }
};

// Both editions' files of the full-size database, each derived in the text
// language of its edition, as makedb writes the sample's.
std::string FullSizeFolder() {
    static std::string folder = [] {
        std::filesystem::path dir =
            std::filesystem::temp_directory_path() / ("bench_startup_" + std::to_string(getpid()));
        std::filesystem::create_directories(dir);
        const int savedLanguage = TextConstants::textLanguage;
        for (auto [file, language] : {std::pair{"Talv1Dat.bin", 1}, std::pair{"Orsa1Dat.bin", 0}}) {
            TextConstants::textLanguage = language;
            gendb::BuildFullSizeDb();
            DataBase::DbStatus st = DataBase::WriteBinFile((dir / file).string());
            if (!st.ok) {
                std::fprintf(stderr, "write failed: %s\n", st.detail.c_str());
                std::abort();
            }
            std::fprintf(stderr, "full-size database %s: %lld bytes\n", file,
                         static_cast<long long>(std::filesystem::file_size(dir / file)));
        }
        TextConstants::textLanguage = savedLanguage;
        static struct Cleanup {
            std::filesystem::path dir;
            ~Cleanup() { std::filesystem::remove_all(dir); }
        } cleanup{dir};
        return dir.string();
    }();
    return folder;
}

const char* ProgramOf(const benchmark::State& state) { return state.range(0) == 0 ? "orsabrine" : "talvessin"; }

void RunStartup(benchmark::State& state, const std::string& folder) {
    App();
    QuietServices services;
    state.SetLabel(ProgramOf(state));
    for (auto _ : state) {
        Startup::ProgramSetup setup;
        setup.installServices = false;
        setup.registerWindows = &WindowRegistry::RegisterAll;
        setup.databaseFolder = folder;
        auto program = std::make_unique<Startup::Program>(setup);
        bool ok = program->Start(ProgramOf(state), {}) == Startup::StartResult::Running;
        // Tearing down is not start-up.
        state.PauseTiming();
        program.reset();
        state.ResumeTiming();
        if (!ok) {
            state.SkipWithError("start-up failed");
            break;
        }
    }
}

// Argument: 0 the German edition, 1 the English one.
void BM_StartupSample(benchmark::State& state) {
    RunStartup(state, std::string(BENCH_BINARY_DIR) + "/bin");
}
BENCHMARK(BM_StartupSample)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_StartupFullSize(benchmark::State& state) {
    RunStartup(state, FullSizeFolder());
}
BENCHMARK(BM_StartupFullSize)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The load of the edition's full-size file alone.
void BM_LoadFullSize(benchmark::State& state) {
    const std::string path = FullSizeFolder() + (state.range(0) == 0 ? "/Orsa1Dat.bin" : "/Talv1Dat.bin");
    QuietServices services;
    state.SetLabel(ProgramOf(state));
    const int savedLanguage = TextConstants::textLanguage;
    TextConstants::textLanguage = static_cast<int>(state.range(0));
    for (auto _ : state) {
        DataBase::DbStatus st = DataBase::ReadBinFile(path);
        if (!st.ok) {
            state.SkipWithError("load failed");
            break;
        }
    }
    TextConstants::textLanguage = savedLanguage;
}
BENCHMARK(BM_LoadFullSize)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Start-up reading its settings from a file, parsed afresh in each run: an
// empty store against one grown to 64,000 keys (one value each).
std::string SettingsFile(int keys) {
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("bench_startup_settings_" + std::to_string(getpid()) + "_" + std::to_string(keys)))
                                 .string();
    MemorySettingsStore store;
    for (int i = 0; i < keys; ++i) store.Write("Grown\\K" + std::to_string(i), "n", "v");
    std::FILE* f = std::fopen(path.c_str(), "wb");
    const std::string text = SerializeSettings(store);
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
    return path;
}

void BM_StartupSettingsFile(benchmark::State& state) {
    App();
    QuietServices services;
    const std::string path = SettingsFile(static_cast<int>(state.range(0)));
    state.counters["file_bytes"] = static_cast<double>(std::filesystem::file_size(path));
    for (auto _ : state) {
        FileSettingsStore store(path);
        Services::Set set = Services::Get();
        set.settings = &store;
        Services::Install(set);
        Startup::ProgramSetup setup;
        setup.installServices = false;
        setup.registerWindows = &WindowRegistry::RegisterAll;
        setup.databaseFolder = std::string(BENCH_BINARY_DIR) + "/bin";
        auto program = std::make_unique<Startup::Program>(setup);
        bool ok = program->Start("talvessin", {}) == Startup::StartResult::Running;
        state.PauseTiming();
        program.reset();
        set.settings = &services.settings;
        Services::Install(set);
        state.ResumeTiming();
        if (!ok) {
            state.SkipWithError("start-up failed");
            break;
        }
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_StartupSettingsFile)->Arg(0)->Arg(64000)->Unit(benchmark::kMillisecond);

}  // namespace
