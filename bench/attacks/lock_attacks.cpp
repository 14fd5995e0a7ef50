// The locks two runs of the program take on the files they share, attacked in
// loops: lock_attacks MODE RUNS [FOLDER]. The end prints the count of every
// outcome; counts in capitals must be 0.
//   quit      the program on the database files in FOLDER, started with six
//             windows open, is closed while another run holds the settings
//             file's lock (as a run that hangs with it): the waits of the
//             close (from the log: each wait that ran out writes one line),
//             the time the close took, and whether the open windows and their
//             places were stored.
//   question  a run's save of the user-names file fails and asks whether to
//             try again; while the question is up another run saves a name
//             of its own, then the first run's Yes saves again: whether both
//             names are in the file, and how long the other run's save took.
//   symlink   the settings file's lock file is a symbolic link to a missing
//             file, and a value is written: whether the link's target was
//             made, and whether the value was written.
//   deleted   three runs take the lock of a settings file that does not
//             exist (as first runs that have written nothing yet), 40 times
//             each an attack, each holding it a moment, while the lock file
//             is deleted from outside now and then: the takes while another
//             run held the lock on a file that no outside deletion removed
//             (two holders at once: a run's release removed another run's
//             lock file), and those that the deletions explain.
//   large     three runs save 100 values of 20 KB each into one settings
//             file at the same time, one value a write (the store grows to
//             6 MB, so each holds the lock for a while and the others queue
//             for it): the values lost, and the log's lines of a lock not
//             had and of a value written without it. BUSY (0 by default)
//             processes that only spin run beside them, as on a machine
//             busy with other work, where a waiter is woken late.
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <new>
#include <string>
#include <vector>

#include "DataBase.h"
#include "Errors.h"
#include "FileLock.h"
#include "FileOp.h"
#include "FormBase.h"
#include "KFrame.h"
#include "LowLevel.h"
#include "NewNames.h"
#include "PlainWindows.h"
#include "Services.h"
#include "SettingsStore.h"
#include "Startup.h"
#include "TextConstants.h"
#include "ToolArgs.h"
#include "UserFile.h"
#include "WindowRegistry.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from) { return std::chrono::duration<double>(Clock::now() - from).count(); }

std::string Fresh(const std::string& what, int run) {
    static const auto temp = std::filesystem::temp_directory_path();  // before a run sets TMPDIR
    const auto folder = temp /
                        ("lock_attacks_" + what + "_" + std::to_string(::getpid()) + "_" + std::to_string(run));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder.string();
}

std::string ReadAll(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), {}};
}

void Print(const std::map<std::string, int>& counts) {
    for (const auto& [what, n] : counts) std::printf("%-40s %d\n", what.c_str(), n);
}

void PrintTimes(const char* what, std::vector<double> seconds) {
    if (seconds.empty()) return;
    std::sort(seconds.begin(), seconds.end());
    std::printf("%-40s median %.2f s, max %.2f s\n", what, seconds[seconds.size() / 2], seconds.back());
}

// Another run holding the lock file at path (a plain advisory lock, as every
// build of the program takes it) until Release.
class Holder {
public:
    explicit Holder(const std::string& lockPath) {
        int ready[2];
        if (::pipe(ready) != 0 || ::pipe(done_) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(ready[0]);
            ::close(done_[1]);
            const int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
            char c = fd >= 0 && ::flock(fd, LOCK_EX) == 0 ? 'y' : 'n';
            if (::write(ready[1], &c, 1) == 1 && ::read(done_[0], &c, 1) < 0) c = 0;
            ::_exit(0);
        }
        ::close(ready[1]);
        ::close(done_[0]);
        char c = 0;
        held_ = ::read(ready[0], &c, 1) == 1 && c == 'y';
        ::close(ready[0]);
    }
    void Release() {
        if (done_[1] >= 0) ::close(done_[1]);
        done_[1] = -1;
        if (pid_ > 0) ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }
    ~Holder() { Release(); }
    bool Held() const { return held_; }

private:
    pid_t pid_ = -1;
    int done_[2] = {-1, -1};
    bool held_ = false;
};

// Messages: every question is answered Yes, after `meanwhile` has run.
struct Answers : Services::MessageBoxes {
    bool ShowMessage(const Services::Message& m) override {
        ++shown;
        if (m.question && meanwhile) meanwhile();
        return m.question;
    }
    std::function<void()> meanwhile;
    int shown = 0;
};

int Quit(int runs, const std::string& dbFolder) {
    static int argc = 1;
    static char name[] = "talvessin";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Answers messages;
    const std::string key = "Software\\Quillmarsh\\Talvessin\\1.x\\";
    std::string open;
    for (int i = 0; i < 6; ++i) open += (i ? "," : "") + std::string(PlainWindows::kNames[i]);
    std::map<std::string, int> counts;
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        const std::string folder = Fresh("quit", run);
        ::setenv("TMPDIR", folder.c_str(), 1);  // the log of the run
        FileSettingsStore store(folder + "/settings");
        store.Write(key + "Options", "ShowShortHelp", "False");
        store.Write(key + "Windows", "Open", open);
        Services::Set set;
        set.messages = &messages;
        set.settings = &store;
        Services::Install(set);
        LowLevel::DocumentsFolder = [folder](std::string& f) { return f = folder, true; };
        Startup::ProgramSetup setup;
        setup.installServices = false;
        setup.databaseFolder = dbFolder;
        setup.registerWindows = &WindowRegistry::RegisterAll;
        auto program = std::make_unique<Startup::Program>(setup);
        if (program->Start("talvessin", {"/D"}) != Startup::StartResult::Running) return 1;
        QCoreApplication::processEvents();
        int shown = 0;
        for (QMdiSubWindow* sub : program->Frame()->Area()->subWindowList()) shown += sub->isVisible() ? 1 : 0;
        const std::size_t logFrom = ReadAll(Errors::LogFile).size();
        Holder holder(folder + "/.settings.lock");
        if (!holder.Held()) return 1;
        const auto t0 = Clock::now();
        program->Frame()->Unload(UnloadMode::User);
        times.push_back(Seconds(t0));
        holder.Release();
        const std::string log = ReadAll(Errors::LogFile).substr(logFrom);
        int waits = 0;
        for (std::size_t at = 0; (at = log.find("not locked, errno", at)) != std::string::npos; ++at) ++waits;
        counts["waits " + std::to_string(waits) + " (windows open " + std::to_string(shown) + ")"]++;
        FileSettingsStore after(folder + "/settings");
        bool stored = after.Read(key + "Windows", "Open") == open;
        for (int i = 0; i < 6; ++i) stored = stored && after.Read(key + "Windows", PlainWindows::kNames[i]);
        counts[stored ? "open windows and places stored" : "NOT STORED"]++;
        program.reset();
        std::filesystem::remove_all(folder);
    }
    Print(counts);
    PrintTimes("the close took", times);
    return 0;
}

// The vocabulary a user's name needs, as the database file brings it.
void MakeVocabulary() {
    DataBase::InitDataBase();
    for (const std::string& n : DataBase::KindAtomNames()) DataBase::CreateAtom(n);
    DataBase::InitPropKinds();
}

void CreateName(const std::string& text) {
    NewNames::Entry e;
    e.text = text;
    NewNames::Create(e);
}

int Question(int runs) {
    TextConstants::textLanguage = 1;
    Answers messages;
    Services::Set set;
    set.messages = &messages;
    Services::Install(set);
    std::map<std::string, int> counts;
    std::vector<double> otherSave;
    for (int run = 0; run < runs; ++run) {
        const std::string folder = Fresh("question", run);
        LowLevel::DocumentsFolder = [folder](std::string& f) { return f = folder, true; };
        MakeVocabulary();
        DataBase::ReadUserFile();
        // The other run: a copy of this one, that saves a name of its own
        // when told and reports how long its save took.
        int gate[2], result[2];
        if (::pipe(gate) != 0 || ::pipe(result) != 0) return 1;
        const pid_t other = ::fork();
        if (other == 0) {
            ::close(gate[1]);
            ::close(result[0]);
            char c = 0;
            if (::read(gate[0], &c, 1) != 1) ::_exit(1);
            CreateName("Otto");
            const auto t0 = Clock::now();
            DataBase::SaveUserNames();
            const double s = Seconds(t0);
            ::_exit(::write(result[1], &s, sizeof s) == sizeof s ? 0 : 1);
        }
        ::close(gate[0]);
        ::close(result[1]);
        CreateName("Hanna");
        messages.meanwhile = [&] {
            if (gate[1] < 0) return;
            if (::write(gate[1], "x", 1) != 1) return;
            ::close(gate[1]);
            gate[1] = -1;
            double s = 0;
            if (::read(result[0], &s, sizeof s) == sizeof s) otherSave.push_back(s);
            ::waitpid(other, nullptr, 0);
        };
        FileOp::TestFaults().commitErrno = ENOSPC;
        FileOp::TestFaults().commitTimes = 1;
        const bool saved = DataBase::SaveUserNames();
        FileOp::TestFaults() = {};
        if (gate[1] >= 0) ::close(gate[1]);
        ::close(result[0]);
        ::waitpid(other, nullptr, 0);
        MakeVocabulary();
        DataBase::ReadUserFile();
        const bool hanna = NewNames::Find("Hanna") != nullptr, otto = NewNames::Find("Otto") != nullptr;
        counts[!saved                ? "NOT SAVED"
               : hanna && otto       ? "both runs' names in the file"
               : hanna               ? "LOST the other run's name"
                                     : "LOST this run's name"]++;
        std::filesystem::remove_all(folder);
    }
    Print(counts);
    PrintTimes("the other run's save took", otherSave);
    return 0;
}

int Symlink(int runs) {
    std::map<std::string, int> counts;
    for (int run = 0; run < runs; ++run) {
        const std::string folder = Fresh("symlink", run);
        std::filesystem::create_symlink(folder + "/made", folder + "/.settings.lock");
        FileSettingsStore store(folder + "/settings");
        const bool written = store.Write("K", "v", "1") && FileSettingsStore(folder + "/settings").Read("K", "v");
        counts[std::filesystem::exists(folder + "/made") ? "LINK FOLLOWED: its target made" : "link not followed"]++;
        counts[written ? "value written" : "VALUE NOT WRITTEN"]++;
        std::filesystem::remove_all(folder);
    }
    Print(counts);
    return 0;
}

// A file told by its inode and the time it was made (a number freed by a
// removed file may be given to the next).
struct FileId {
    unsigned long long ino = 0, born = 0;
    bool operator==(const FileId&) const = default;
};

FileId IdOf(const std::string& path) {
    struct statx st{};
    if (::statx(AT_FDCWD, path.c_str(), 0, STATX_INO | STATX_BTIME, &st) != 0) return {};
    return {st.stx_ino, static_cast<unsigned long long>(st.stx_btime.tv_sec) * 1000000000ULL + st.stx_btime.tv_nsec};
}

// The file this process has open in folder (the lock's descriptor, under
// whatever name the file has by now).
FileId HeldFile(const std::string& folder) {
    for (const auto& e : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code ec;
        if (std::filesystem::read_symlink(e.path(), ec).string().rfind(folder + "/", 0) == 0 && !ec)
            return IdOf(e.path().string());
    }
    return {};
}

int Deleted(int runs) {
    constexpr int kRuns = 3, kTakes = 40, kMaxDeletions = 4096;
    struct Take {
        std::atomic<unsigned long long> ino{0}, born{0}, from{0}, to{0};  // to 0: not had
    };
    struct Shared {
        std::atomic<unsigned long long> clock{0};
        std::atomic<bool> stop{false};
        std::atomic<int> deletions{0};
        std::atomic<unsigned long long> deletedIno[kMaxDeletions], deletedBorn[kMaxDeletions];
        Take takes[kRuns][kTakes];
    };
    void* memory = ::mmap(nullptr, sizeof(Shared), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED) return 1;
    std::map<std::string, int> counts;
    for (int attack = 0; attack < runs; ++attack) {
        Shared* shared = new (memory) Shared;
        const std::string folder = Fresh("deleted", attack);
        const std::string target = folder + "/settings", lockPath = folder + "/.settings.lock";
        // From outside, now and then: moved away first, to be told by the
        // file it was, then removed.
        const pid_t deleter = ::fork();
        if (deleter == 0) {
            const std::string gone = folder + "/gone";
            for (unsigned n = 1; !shared->stop.load(); ++n) {
                ::usleep(200 + (n * 7919) % 800);
                if (::rename(lockPath.c_str(), gone.c_str()) != 0) continue;
                const FileId id = IdOf(gone);
                const int at = shared->deletions.fetch_add(1);
                if (at < kMaxDeletions) {
                    shared->deletedIno[at] = id.ino;
                    shared->deletedBorn[at] = id.born;
                }
                ::unlink(gone.c_str());
            }
            ::_exit(0);
        }
        std::vector<pid_t> children;
        for (int run = 0; run < kRuns; ++run) {
            const pid_t pid = ::fork();
            if (pid == 0) {
                for (int i = 0; i < kTakes; ++i) {
                    FileOp::FileLock lock(target);
                    if (!lock.Held()) continue;
                    Take& t = shared->takes[run][i];
                    const FileId id = HeldFile(folder);
                    t.ino = id.ino;
                    t.born = id.born;
                    t.from = ++shared->clock;
                    ::usleep(100 + (run * 31 + i * 17) % 200);
                    t.to = ++shared->clock;
                }
                ::_exit(0);
            }
            children.push_back(pid);
        }
        for (pid_t pid : children) ::waitpid(pid, nullptr, 0);
        shared->stop = true;
        ::waitpid(deleter, nullptr, 0);
        const int deletions = std::min(shared->deletions.load(), kMaxDeletions);
        auto deletedFromOutside = [&](const Take& t) {
            for (int d = 0; d < deletions; ++d)
                if (shared->deletedIno[d] == t.ino && shared->deletedBorn[d] == t.born) return true;
            return false;
        };
        for (int run = 0; run < kRuns; ++run)
            for (const Take& t : shared->takes[run]) {
                if (t.to == 0) {
                    counts["NOT HAD"]++;
                    continue;
                }
                // Had while another run held it: two holders at once.
                const char* overlap = nullptr;
                for (int other = 0; other < kRuns && !overlap; ++other)
                    for (const Take& o : shared->takes[other])
                        if (other != run && o.to != 0 && o.from < t.from && t.from < o.to) {
                            overlap = deletedFromOutside(t) || deletedFromOutside(o)
                                          ? "taken while another held a file deleted from outside"
                                          : "TWO HOLDERS, no outside deletion between them";
                            break;
                        }
                counts[overlap ? overlap : "taken alone"]++;
            }
        counts["outside deletions"] += deletions;
        shared->~Shared();
        std::filesystem::remove_all(folder);
    }
    ::munmap(memory, sizeof(Shared));
    Print(counts);
    return 0;
}

int Large(int runs, int busy) {
    constexpr int kRuns = 3, kValues = 100;
    constexpr std::size_t kSize = 20 * 1024;
    const std::string key = "Software\\Quillmarsh\\Talvessin\\1.x\\Sets";
    auto valueOf = [](int run, int i) {
        std::string v = std::to_string(run) + "/" + std::to_string(i) + " ";
        v.resize(kSize, static_cast<char>('a' + (run * kValues + i) % 26));
        return v;
    };
    std::map<std::string, int> counts;
    std::vector<double> times, longestSave;
    for (int attack = 0; attack < runs; ++attack) {
        const std::string folder = Fresh("large", attack);
        const std::string path = folder + "/settings";
        Errors::LogFile = folder + "/log";
        Errors::LogEnabled = true;
        std::vector<pid_t> spinners;
        for (int i = 0; i < busy; ++i) {
            const pid_t pid = ::fork();
            if (pid == 0) {
                std::atomic<unsigned> n{0};
                for (;;) n.fetch_add(1, std::memory_order_relaxed);
            }
            spinners.push_back(pid);
        }
        int report[2];
        if (::pipe(report) != 0) return 1;
        const auto t0 = Clock::now();
        std::vector<pid_t> children;
        for (int run = 0; run < kRuns; ++run) {
            const pid_t pid = ::fork();
            if (pid == 0) {
                FileSettingsStore store(path);
                bool ok = true;
                double longest = 0;
                for (int i = 0; i < kValues; ++i) {
                    const auto w0 = Clock::now();
                    ok = store.Write(key, "R" + std::to_string(run) + "V" + std::to_string(i), valueOf(run, i)) && ok;
                    longest = std::max(longest, Seconds(w0));
                }
                ok = ::write(report[1], &longest, sizeof longest) == sizeof longest && ok;
                ::_exit(ok ? 0 : 1);
            }
            children.push_back(pid);
        }
        for (pid_t pid : children) {
            int status = 0;
            ::waitpid(pid, &status, 0);
            if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) counts["A WRITE FAILED"]++;
        }
        times.push_back(Seconds(t0));
        ::close(report[1]);
        for (double s = 0; ::read(report[0], &s, sizeof s) == sizeof s;) longestSave.push_back(s);
        ::close(report[0]);
        for (pid_t pid : spinners) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
        FileSettingsStore after(path);
        int lost = 0;
        for (int run = 0; run < kRuns; ++run)
            for (int i = 0; i < kValues; ++i)
                if (after.Read(key, "R" + std::to_string(run) + "V" + std::to_string(i)) != valueOf(run, i)) ++lost;
        counts["VALUES LOST (" + std::to_string(kRuns * kValues) + " saved a run)"] += lost;
        const std::string log = ReadAll(Errors::LogFile);
        for (const char* line : {"not locked", "written without it"}) {
            int n = 0;
            for (std::size_t at = 0; (at = log.find(line, at)) != std::string::npos; ++at) ++n;
            counts[std::string("log lines '") + line + "'"] += n;
        }
        std::filesystem::remove_all(folder);
    }
    Print(counts);
    PrintTimes("the three runs took", times);
    PrintTimes("a run's longest save took", longestSave);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const char* usage = "usage: lock_attacks quit|question|symlink|deleted RUNS [FOLDER], large RUNS [BUSY]\n";
    if (auto end = ToolArgs::EndEarly(ToolArgs::Args(argc, argv), usage)) return *end;
    const std::string mode = argc > 1 ? argv[1] : "";
    const int runs = argc > 2 ? std::atoi(argv[2]) : 10;
    if (mode == "quit" && argc > 3) return Quit(runs, argv[3]);
    if (mode == "question") return Question(runs);
    if (mode == "symlink") return Symlink(runs);
    if (mode == "deleted") return Deleted(runs);
    if (mode == "large") return Large(runs, argc > 3 ? std::atoi(argv[3]) : 0);
    std::fputs(usage, stderr);
    return 2;
}
