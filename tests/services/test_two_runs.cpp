// Two runs of the program sharing the settings file, each in a process of
// its own: neither loses what the other wrote, a value is the other run's
// when only the other run changed it, and what one run deleted stays
// deleted. The lock they take for it never makes a run wait without end.
#include <gtest/gtest.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/syscall.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <thread>
#include <utility>

#include "Errors.h"
#include "Fakes.h"
#include "FileLock.h"
#include "GenMsg.h"
#include "Options.h"
#include "OtherRun.h"
#include "SettingsStore.h"
#include "TempFolder.h"
#include "TextConstants.h"

using namespace Options;

namespace {

const std::string kKey = "Software\\Quillmarsh\\Talvessin\\1.x\\Sets";
const std::string kSub = kKey + "\\Deeper";

// Whether a read that another thread is blocked in comes back whole when a
// SIGURG reaches that thread (the only one that lets it in): the signal is
// sent once the thread waits in the read, the byte it waits for once the
// thread has taken the signal.
bool ReadStaysWhole() {
    sigset_t urgent;
    sigemptyset(&urgent);
    sigaddset(&urgent, SIGURG);
    ::pthread_sigmask(SIG_BLOCK, &urgent, nullptr);
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) return false;
    std::atomic<pid_t> tid{0};
    ssize_t got = 0;
    std::thread reader([&] {
        ::pthread_sigmask(SIG_UNBLOCK, &urgent, nullptr);
        tid = ::gettid();
        char c = 0;
        got = ::read(pipeFds[0], &c, 1);
    });
    while (tid == 0) std::this_thread::yield();
    const std::string task = "/proc/self/task/" + std::to_string(tid.load());
    while (TempFolder::Get(task + "/syscall").rfind(std::to_string(SYS_read) + " ", 0) != 0)
        std::this_thread::yield();
    ::pthread_kill(reader.native_handle(), SIGURG);
    auto pending = [&] {
        const std::string status = TempFolder::Get(task + "/status");
        const auto at = status.find("SigPnd:");
        return at != std::string::npos && (std::strtoull(status.c_str() + at + 7, nullptr, 16) >> (SIGURG - 1)) & 1;
    };
    while (pending()) std::this_thread::yield();
    const bool written = ::write(pipeFds[1], "x", 1) == 1;
    reader.join();
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
    return written && got == 1;
}

// The store of a run that has read these values at its start.
void Start(FileSettingsStore& store) {
    for (const char* name : {"A", "B"}) store.Read(kKey, name);
    store.Read(kSub, "C");
}

// Makes the test's store the program's, and takes it back at the end.
struct ProgramStore {
    explicit ProgramStore(FileSettingsStore& store) : saved(Services::Get()) {
        Services::Set set = saved;
        set.settings = &store;
        Services::Install(set);
    }
    ~ProgramStore() { Services::Install(saved); }
    Services::Set saved;
};

}  // namespace

// Three runs saving at the same time, each save a while under the lock
// (values of 20 KB, a store of more than a megabyte): they take the lock in
// turn, and none goes on without it.
TEST(TwoRuns, WritingAtTheSameTimeLosesNoValue) {
    TempFolder dir;
    const std::string path = dir / "cfg/Quillmarsh/settings";
    constexpr int kPerRun = 20;
    auto value = [](const std::string& name) { return name + std::string(20 * 1024, '.'); };
    auto writer = [&](const char* run) {
        return [&, run] {
            FileSettingsStore store(path);
            store.Read(kKey, "Open");
            for (int i = 0; i < kPerRun; ++i) {
                const std::string name = run + std::to_string(i);
                if (!store.Write(kKey, name, value(name))) return false;
            }
            return true;
        };
    };
    OtherRun runs[] = {OtherRun(writer("One")), OtherRun(writer("Two")), OtherRun(writer("Three"))};
    for (OtherRun& run : runs) run.Start();
    for (OtherRun& run : runs) ASSERT_TRUE(run.Wait());
    FileSettingsStore after(path);
    EXPECT_EQ(after.ValueNames(kKey).size(), 3u * kPerRun);
    for (const char* run : {"One", "Two", "Three"})
        for (int i = 0; i < kPerRun; ++i) {
            const std::string name = run + std::to_string(i);
            EXPECT_EQ(after.Read(kKey, name), value(name)) << name;
        }
    EXPECT_EQ(dir.Count(), 1);  // no temporary file left beside the store
}

// Both runs start on A=1, B=1 and Deeper\C=1. One does its change, then the
// other (here: the test's run, there: the other run).
TEST(TwoRuns, AValueIsTheOtherRunsWhereOnlyThatRunChangedIt) {
    using Act = std::function<void(FileSettingsStore&)>;
    using Value = std::optional<std::string>;
    struct Case {
        const char* what;
        bool hereFirst;
        Act here, there;
        Value a, b, c;
    } cases[] = {
        {"written as read: the other run's change stays", false,
         [](auto& s) { s.WriteValues(kKey, {{"A", "1"}, {"B", "1"}}); }, [](auto& s) { s.Write(kKey, "A", "2"); },
         "2", "1", "1"},
        {"changed in both: the last change wins", false, [](auto& s) { s.Write(kKey, "A", "3"); },
         [](auto& s) { s.Write(kKey, "A", "2"); }, "3", "1", "1"},
        {"different values: both kept", false, [](auto& s) { s.Write(kKey, "B", "here"); },
         [](auto& s) { s.Write(kKey, "A", "there"); }, "there", "here", "1"},
        {"deleted there, written as read here", false, [](auto& s) { s.WriteValues(kKey, {{"A", "1"}, {"B", "4"}}); },
         [](auto& s) { s.Delete(kKey, "A"); }, std::nullopt, "4", "1"},
        {"key deleted there, written as read here", false, [](auto& s) { s.Write(kSub, "C", "1"); },
         [](auto& s) { s.DeleteKey(kSub); }, "1", "1", std::nullopt},
        {"deleted here, written as read there", true, [](auto& s) { s.Delete(kKey, "A"); },
         [](auto& s) { s.WriteValues(kKey, {{"A", "1"}, {"B", "5"}}); }, std::nullopt, "5", "1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder dir;
        const std::string path = dir / "settings";
        TempFolder::Put(path, "[" + kKey + "]\nA=1\nB=1\n[" + kSub + "]\nC=1\n");
        FileSettingsStore here(path);
        Start(here);
        OtherRun there([&] {
            c.there(here);  // the other run's copy of the store, as it read it
            return true;
        });
        if (c.hereFirst) c.here(here);
        ASSERT_TRUE(there.Run());
        if (!c.hereFirst) c.here(here);
        FileSettingsStore after(path);
        EXPECT_EQ(after.Read(kKey, "A"), c.a);
        EXPECT_EQ(after.Read(kKey, "B"), c.b);
        EXPECT_EQ(after.Read(kSub, "C"), c.c);
    }
}

// Two first runs on no settings file: the one that closes last writes its
// defaults, but an option the other run's user set stays set.
TEST(TwoRuns, ADefaultThisRunNeverChangedLeavesTheOtherRunsOption) {
    TempFolder dir;
    FileSettingsStore store(dir / "settings");
    ProgramStore program(store);
    TextConstants::edition = 1;
    LoadOptions();
    OtherRun there([] {
        QuizNumQ = 20;
        SaveOptions();
        return true;
    });
    ASSERT_TRUE(there.Run());
    ShowToolTips = false;
    SaveOptions();
    FileSettingsStore after(dir / "settings");
    const std::string key = RegBaseKey + "Options";
    EXPECT_EQ(after.Read(key, "QuizNumQ"), "20");
    EXPECT_EQ(after.Read(key, "ShowToolTips"), "False");
    EXPECT_EQ(after.ValueNames(key).size(), 25u);
}

// A folder where the settings file belongs, from the start of a run: the
// first write of the run (the place of a window) asks once, the rest of the
// run is only logged; the next run asks again.
TEST(TwoRuns, AStoreThatIsAFolderIsToldOncePerRun) {
    TempFolder dir;
    const std::string path = dir / "settings";
    std::filesystem::create_directory(path);
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        FileSettingsStore store(path);
        ProgramStore program(store);
        LoadOptions();
        Fakes().Answer({false});
        EXPECT_FALSE(PutVal("Windows", "Alpha", "10 20 300 400 0"));
        EXPECT_FALSE(PutVal("Windows", "Open", "Alpha"));
        QuizNumQ = 33;
        SaveOptions();
        EXPECT_EQ(Fakes().TakeMessageNumbers(), std::vector<int>{GenMsg::GMpermissionDenied});
    }
    EXPECT_TRUE(std::filesystem::is_directory(path));
    EXPECT_EQ(dir.Count(), 1);
}

// Values written as this run last read them change nothing: the write
// neither waits for the lock that another run keeps (the places of the
// windows, written again as they unload at the close) nor reads the file.
TEST(TwoRuns, AWriteThatChangesNothingNeedsNeitherTheLockNorTheFile) {
    TempFolder dir;
    const std::string path = dir / "settings";
    TempFolder::Put(path, "[" + kKey + "]\nA=1\n");
    FileSettingsStore store(path);
    ASSERT_EQ(store.Read(kKey, "A"), "1");
    LockHeldElsewhere held(path);
    ASSERT_TRUE(held.Held());
    const int before = FileOp::FileLock::Waits();
    EXPECT_TRUE(store.Write(kKey, "A", "1"));
    EXPECT_TRUE(store.LastWriteUnchanged());
    EXPECT_EQ(FileOp::FileLock::Waits(), before);
}

// An update reads and writes as one step: it is given what another run
// wrote since this run read the value, and while it makes the new value no
// other run can take the lock.
TEST(TwoRuns, AnUpdateReadsAndWritesUnderTheLock) {
    TempFolder dir;
    const std::string path = dir / "settings";
    TempFolder::Put(path, "[" + kKey + "]\nA=1\n");
    FileSettingsStore store(path);
    ASSERT_EQ(store.Read(kKey, "A"), "1");
    ASSERT_TRUE(OtherRun([&] { return store.Write(kKey, "A", "2"); }).Run());
    bool othersWait = false;
    EXPECT_TRUE(store.Update(kKey, "A", [&](const std::optional<std::string>& now) {
        othersWait = OtherRun([&] { return !FileOp::FileLock(path, 0).Held(); }).Run();
        return now.value_or("none") + "+3";
    }));
    EXPECT_TRUE(othersWait);
    EXPECT_EQ(FileSettingsStore(path).Read(kKey, "A"), "2+3");
}

TEST(FileLock, IsHeldByOneRunAtATimeAndNeverWaitsWithoutEnd) {
    TempFolder dir;
    const std::string target = dir / "settings", lockFile = dir / ".settings.lock";
    {
        FileOp::FileLock first(target);
        ASSERT_TRUE(first.Held());
        // Another run (another open of the lock file) does not get it, and
        // asked not to wait, goes on at once.
        OtherRun other([&] { return !FileOp::FileLock(target, 0).Held(); });
        EXPECT_TRUE(other.Run());
    }
    EXPECT_FALSE(std::filesystem::exists(lockFile));  // none is left beside no file
    TempFolder::Put(target, "");
    EXPECT_TRUE(FileOp::FileLock(target, 0).Held());
    struct stat st{};
    ASSERT_EQ(::lstat(lockFile.c_str(), &st), 0);  // kept: the next runs wait on the same file
    EXPECT_EQ(st.st_mode & 0777, 0600u);           // the user's own
    // A folder that cannot be written has no lock: the caller goes on.
    EXPECT_FALSE(FileOp::FileLock(dir / "missing/settings", 0).Held());
    // Nor has a lock file that is no plain file: a symbolic link is not
    // followed (a dangling one would make its target). Each says so in one
    // line of the log, and the settings are written.
    const std::string savedLog = std::exchange(Errors::LogFile, dir / "log");
    Errors::LogEnabled = true;
    Errors::LogRunStart = false;
    const std::function<void()> refused[] = {
        [&] { std::filesystem::create_symlink(dir / "made", lockFile); },
        [&] { std::filesystem::create_directory(lockFile); },
    };
    for (const auto& make : refused) {
        std::filesystem::remove(lockFile);
        std::filesystem::remove(dir / "log");
        make();
        EXPECT_FALSE(FileOp::FileLock(target, 0).Held());
        const std::string log = TempFolder::Get(dir / "log");
        EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;
        EXPECT_NE(log.find("not locked"), std::string::npos) << log;
        EXPECT_TRUE(FileSettingsStore(target).Write(kKey, "A", "1"));
    }
    Errors::LogEnabled = false;
    Errors::LogFile = savedLog;
    EXPECT_FALSE(std::filesystem::exists(dir / "made"));
}

// A run hanging with the lock: the first take waits the whole time and goes
// on without it, the takes after it wait no more (a close with many windows
// waits once) until another run has taken the lock, and once the lock is
// free it is had again.
TEST(FileLock, AfterOneWaitRanOutTheRunWaitsNoMore) {
    TempFolder dir;
    const std::string target = dir / "settings";
    const int before = FileOp::FileLock::Waits();
    {
        LockHeldElsewhere held(target);
        ASSERT_TRUE(held.Held());
        EXPECT_FALSE(FileOp::FileLock(target).Held());
        EXPECT_FALSE(FileOp::FileLock(target).Held());
        EXPECT_EQ(FileOp::FileLock::Waits(), before + 1);
    }
    {
        // Another run has taken the lock since, and hangs with it in turn:
        // that one is waited for again.
        LockHeldElsewhere held(target);
        ASSERT_TRUE(held.Held());
        EXPECT_FALSE(FileOp::FileLock(target, 100).Held());
        EXPECT_EQ(FileOp::FileLock::Waits(), before + 2);
    }
    EXPECT_TRUE(FileOp::FileLock(target).Held());
    EXPECT_EQ(FileOp::FileLock::Waits(), before + 2);
}

// A lock that passes from run to run is busy, not kept: the wait goes on for
// as long as the count of takes in the lock file changes while it lasts.
// Here one run keeps the lock, and the test changes the count as soon as the
// waiter has read it (the system tells of each read), as another run's take
// would; the lock is given back only once the waiter's first time has run out.
TEST(FileLock, AWaiterWaitsOnWhileTheLockChangesHands) {
    TempFolder dir;
    const std::string target = dir / "settings", lockFile = dir / ".settings.lock";
    auto held = std::make_unique<LockHeldElsewhere>(target);
    ASSERT_TRUE(held->Held());
    const int reads = ::inotify_init1(IN_CLOEXEC);
    ASSERT_GE(::inotify_add_watch(reads, lockFile.c_str(), IN_ACCESS), 0);
    int ended[2];
    ASSERT_EQ(::pipe(ended), 0);
    bool got = false;
    std::thread waiter([&] {
        got = FileOp::FileLock(target, 500).Held();
        EXPECT_EQ(::write(ended[1], "x", 1), 1);
    });
    // The waiter reads the count as it begins to wait, and again when its
    // time has run out.
    for (int seen = 0; seen < 2;) {
        pollfd ready[] = {{reads, POLLIN, 0}, {ended[0], POLLIN, 0}};
        ASSERT_GT(::poll(ready, 2, -1), 0);
        if (ready[1].revents) break;  // it went on without waiting any longer
        alignas(inotify_event) char events[4096];
        const ssize_t n = ::read(reads, events, sizeof events);
        for (ssize_t at = 0; at < n; at += static_cast<ssize_t>(sizeof(inotify_event)) +
                                          reinterpret_cast<const inotify_event*>(events + at)->len)
            ++seen;
        if (seen == 1) TempFolder::Put(lockFile, "00000000000000000099\n");
    }
    held.reset();
    waiter.join();
    EXPECT_TRUE(got);
    ::close(reads);
    ::close(ended[0]);
    ::close(ended[1]);
}

// A wait ends in its time whatever the signals of the thread: one that keeps
// the timer's signal out, or a handler of it that other code installed over
// the lock's own and that would restart the lock call.
TEST(FileLock, AWaitEndsInItsTimeWhateverTheThreadsSignals) {
    TempFolder dir;
    const std::string target = dir / "settings", other = dir / "other";
    LockHeldElsewhere held(target), heldToo(other);
    ASSERT_TRUE(held.Held() && heldToo.Held());
    const std::function<void()> cases[] = {
        [] {
            sigset_t urgent;
            sigemptyset(&urgent);
            sigaddset(&urgent, SIGURG);
            ::pthread_sigmask(SIG_BLOCK, &urgent, nullptr);
        },
        [] {
            struct sigaction restarting{};
            restarting.sa_handler = [](int) {};
            restarting.sa_flags = SA_RESTART;
            ::sigaction(SIGURG, &restarting, nullptr);
        },
    };
    for (const auto& meddle : cases) {
        OtherRun run([&] {
            ::alarm(10);  // an endless wait ends the run: the test fails
            (void)FileOp::FileLock(other, 1);  // the lock's handler installed
            meddle();
            return !FileOp::FileLock(target, 50).Held();
        });
        EXPECT_TRUE(run.Run());
    }
}

// The lock's signal stays the lock's: after its waits, a SIGURG from
// elsewhere leaves another thread's blocking call whole, as it did before,
// whether the run had no handler of it, one of its own from before the
// waits, or one it installed between two waits.
TEST(FileLock, ItsSignalLeavesOtherThreadsCallsWhole) {
    TempFolder dir;
    const std::string target = dir / "settings", other = dir / "other";
    LockHeldElsewhere held(target), heldToo(other);
    ASSERT_TRUE(held.Held() && heldToo.Held());
    const std::function<void()> none = [] {}, own = [] {
        struct sigaction restarting{};
        restarting.sa_handler = [](int) {};
        restarting.sa_flags = SA_RESTART;
        ::sigaction(SIGURG, &restarting, nullptr);
    };
    const std::pair<std::function<void()>, std::function<void()>> cases[] = {{none, none}, {own, none}, {none, own}};
    for (const auto& [before, between] : cases) {
        OtherRun run([&] {
            ::alarm(10);  // a wait the timer cannot end ends the run: the test fails
            ::signal(SIGURG, SIG_DFL);
            before();
            const bool first = FileOp::FileLock(other, 1).Held();
            between();
            return !first && !FileOp::FileLock(target, 1).Held() && ReadStaysWhole();
        });
        EXPECT_TRUE(run.Run());
    }
}

// Beside no target, a run's release removes the lock file only where it is
// the one it locked: after an outside deletion another run took the lock on
// a new file, which stays, and a third run does not have the lock meanwhile.
TEST(FileLock, ARunRemovesOnlyTheLockFileItLocked) {
    TempFolder dir;
    const std::string target = dir / "settings", lockFile = dir / ".settings.lock";
    auto mine = std::make_unique<FileOp::FileLock>(target, 0);
    ASSERT_TRUE(mine->Held());
    std::filesystem::remove(lockFile);
    LockHeldElsewhere other(target);
    ASSERT_TRUE(other.Held());
    mine.reset();
    EXPECT_TRUE(std::filesystem::exists(lockFile));
    EXPECT_FALSE(FileOp::FileLock(target, 0).Held());
}
