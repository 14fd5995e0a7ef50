// Two runs of the program writing one file at the same time, each in a
// process of its own: the settings store (each run writes values of its own,
// one write each, as the program writes window places and options) and the
// user-names file (each run enters names and saves after each one). The
// figure that counts is not the time but "lost": how many values or names of
// the two runs the file no longer holds once both have ended (0 is right).
//
// Args: values (or names) per run, pause between two writes in microseconds.
#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "DataBase.h"
#include "LowLevel.h"
#include "NewNames.h"
#include "Services.h"
#include "SettingsStore.h"
#include "TextConstants.h"
#include "UserFile.h"

namespace {

const std::string kKey = "Software\\Quillmarsh\\Talvessin\\1.x\\Windows";

std::string FreshFolder(const char* what) {
    const auto folder = std::filesystem::temp_directory_path() / (std::string(what) + std::to_string(::getpid()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder.string();
}

// Runs work(0) and work(1) in two child processes released together; waits
// for both.
template <typename Work>
void TwoRuns(Work work) {
    int gate[2];
    if (::pipe(gate) != 0) return;
    pid_t pids[2];
    for (int run = 0; run < 2; ++run) {
        pids[run] = ::fork();
        if (pids[run] == 0) {
            ::close(gate[1]);
            char c;
            if (::read(gate[0], &c, 1) != 1) ::_exit(1);
            work(run);
            ::_exit(0);
        }
    }
    ::close(gate[0]);
    const char go[2] = {'x', 'x'};
    if (::write(gate[1], go, 2) != 2) {}
    ::close(gate[1]);
    for (pid_t pid : pids) ::waitpid(pid, nullptr, 0);
}

void Pause(int micros) {
    if (micros > 0) ::usleep(static_cast<useconds_t>(micros));
}

void BM_TwoRunsWriteSettings(benchmark::State& state) {
    const int perRun = static_cast<int>(state.range(0));
    const int pause = static_cast<int>(state.range(1));
    const std::string folder = FreshFolder("bench_concurrent_settings");
    const std::string path = folder + "/settings";
    double lost = 0, worst = 0;
    for (auto _ : state) {
        std::filesystem::remove(path);
        TwoRuns([&](int run) {
            FileSettingsStore store(path);
            store.Read(kKey, "Open");  // the start of a run reads the store
            for (int i = 0; i < perRun; ++i) {
                store.Write(kKey, "Run" + std::to_string(run) + "Window" + std::to_string(i), std::to_string(i));
                Pause(pause);
            }
        });
        FileSettingsStore after(path);
        int missing = 0;
        for (int run = 0; run < 2; ++run)
            for (int i = 0; i < perRun; ++i)
                if (!after.Read(kKey, "Run" + std::to_string(run) + "Window" + std::to_string(i))) ++missing;
        lost += missing;
        worst = std::max<double>(worst, missing);
    }
    state.counters["lost"] = benchmark::Counter(lost, benchmark::Counter::kAvgIterations);
    state.counters["lost_max"] = worst;
    state.counters["of"] = 2 * perRun;
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_TwoRunsWriteSettings)->Args({100, 200})->Args({300, 0})->Iterations(10)->Unit(benchmark::kMillisecond);

// The vocabulary a user's name needs, as the database file brings it.
void MakeVocabulary() {
    DataBase::InitDataBase();
    for (const std::string& n : DataBase::KindAtomNames()) DataBase::CreateAtom(n);
    DataBase::InitPropKinds();
}

void BM_TwoRunsSaveUserNames(benchmark::State& state) {
    const int perRun = static_cast<int>(state.range(0));
    const int pause = static_cast<int>(state.range(1));
    static std::string folder;
    folder = FreshFolder("bench_concurrent_docs");
    LowLevel::DocumentsFolder = [](std::string& f) { return f = folder, true; };
    TextConstants::textLanguage = 1;
    double lost = 0, worst = 0;
    for (auto _ : state) {
        std::filesystem::remove(folder + "/" + DataBase::UserFileName());
        TwoRuns([&](int run) {
            MakeVocabulary();
            DataBase::ReadUserFile();
            for (int i = 0; i < perRun; ++i) {
                NewNames::Entry e;
                e.text = std::string(run ? "Bea" : "Ada") + std::string(1, static_cast<char>('a' + i / 26)) +
                         std::string(1, static_cast<char>('a' + i % 26));
                e.gender = NewNames::Entry::Gender::Female;
                NewNames::Create(e);
                DataBase::SaveUserNames();
                Pause(pause);
            }
        });
        MakeVocabulary();
        DataBase::ReadUserFile();
        const double missing = 2.0 * perRun - static_cast<double>(NewNames::All().size());
        lost += missing;
        worst = std::max(worst, missing);
    }
    state.counters["lost"] = benchmark::Counter(lost, benchmark::Counter::kAvgIterations);
    state.counters["lost_max"] = worst;
    state.counters["of"] = 2 * perRun;
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_TwoRunsSaveUserNames)->Args({30, 0})->Args({30, 2000})->Iterations(10)->Unit(benchmark::kMillisecond);

}  // namespace
