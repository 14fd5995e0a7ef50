// A file mapped instead of read keeps its bytes whatever happens to the file
// afterwards, and is not mapped where that cannot be guarded.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <pthread.h>
#include <sched.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "FileOp.h"
#include "TempFolder.h"

using namespace FileOp;

namespace {

// Three pages and a bit, every byte telling its place.
std::string Pattern() {
    std::string s(3 * 4096 + 100, '\0');
    for (size_t i = 0; i < s.size(); ++i) s[i] = static_cast<char>('a' + (i * 7) % 26);
    return s;
}

// What is done to a mapped file, as another program would, from a child
// process (the lease holder must be asked while the writer waits).
void InChild(const std::function<void()>& what) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        what();
        std::_Exit(0);
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    ASSERT_TRUE(WIFEXITED(status));
}

}  // namespace

TEST(MappedFile, KeepsItsBytesWhateverHappensToTheFile) {
    TempFolder dir;
    const std::string path = dir / "db.bin", other = dir / "new.bin";
    const std::string bytes = Pattern();
    struct Case {
        const char* what;
        std::function<void()> change;
    };
    const Case cases[] = {
        {"cut to nothing in place", [&] { (void)::truncate(path.c_str(), 0); }},
        {"cut to half a page", [&] { (void)::truncate(path.c_str(), 2048); }},
        {"rewritten shorter in place", [&] { TempFolder::Put(path, "short"); }},
        {"rewritten longer in place", [&] { TempFolder::Put(path, std::string(20000, 'z')); }},
        {"replaced by a new file", [&] {
             TempFolder::Put(other, "new");
             std::filesystem::rename(other, path);
         }},
        {"removed", [&] { std::filesystem::remove(path); }},
    };
    for (const Case& c : cases) {
        TempFolder::Put(path, bytes);
        InputFile f;
        ASSERT_EQ(f.Open(path), 0);
        std::unique_ptr<MappedFile> m = MappedFile::Map(f);
        f.Close();
        if (!m) GTEST_SKIP() << "no read lease here: files are read, not mapped";
        ASSERT_EQ(m->size(), bytes.size());
        InChild(c.change);
        // Every page, with no SIGBUS, also once they were offered back:
        // after a break the copy is the only place of the bytes.
        m->Release(0, m->size());
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(m->data()), m->size()), bytes) << c.what;
        EXPECT_FALSE(m->Lost()) << c.what;
    }
}

TEST(MappedFile, NotMappedWhereItCannotBeGuarded) {
    TempFolder dir;
    const std::string path = dir / "db.bin";
    TempFolder::Put(path, Pattern());
    {
        // Open for writing elsewhere: no lease.
        FILE* w = std::fopen(path.c_str(), "r+b");
        ASSERT_NE(w, nullptr);
        InputFile f;
        ASSERT_EQ(f.Open(path), 0);
        EXPECT_EQ(MappedFile::Map(f), nullptr);
        std::fclose(w);
    }
    {
        // While a test makes reads fail, the file is read.
        InputFile f;
        ASSERT_EQ(f.Open(path), 0);
        TestFaults().readErrno = EIO;
        TestFaults().readTimes = 1;
        EXPECT_EQ(MappedFile::Map(f), nullptr);
        TestFaults() = Faults{};
    }
    {
        // Empty.
        TempFolder::Put(path, "");
        InputFile f;
        ASSERT_EQ(f.Open(path), 0);
        EXPECT_EQ(MappedFile::Map(f), nullptr);
    }
}

// A lease break that finds no memory for its copy puts zeros in the place of
// the bytes and says so: the writer may cut the file, and no read faults.
TEST(MappedFile, ACopyWithoutMemoryLeavesZerosAndNoFault) {
    TempFolder dir;
    const std::string path = dir / "db.bin";
    TempFolder::Put(path, Pattern());
    InputFile f;
    ASSERT_EQ(f.Open(path), 0);
    TestFaults().copyTimes = 1;
    std::unique_ptr<MappedFile> m = MappedFile::Map(f);
    TestFaults() = Faults{};
    if (!m) GTEST_SKIP() << "no read lease here: files are read, not mapped";
    EXPECT_FALSE(m->Lost());
    InChild([&] { (void)::truncate(path.c_str(), 0); });
    ASSERT_TRUE(m->Lost());
    // Every page, with no SIGBUS.
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(m->data()), m->size()), std::string(m->size(), '\0'));
}

// A map that goes while a lease break's handler runs on another thread waits
// for the handler to end: the handler copies the very pages the map would
// take away. The test holds the handler on a thread of its own (the only one
// that lets the signal in) until the map waits for it, or has gone without
// waiting: then the handler, let go, finds no map left to copy.
TEST(MappedFile, GoesOnlyOnceARunningBreakHasEnded) {
    TempFolder dir;
    const std::string path = dir / "db.bin";
    TempFolder::Put(path, Pattern());
    InputFile f;
    ASSERT_EQ(f.Open(path), 0);
    static std::atomic<int> stage{0};  // 1: the handler is held, 2: it may go on
    stage = 0;
    TestFaults().duringBreak = [] {
        stage = 1;
        while (stage.load() != 2) ::sched_yield();
    };
    std::unique_ptr<MappedFile> m = MappedFile::Map(f);
    TestFaults() = Faults{};
    if (!m) GTEST_SKIP() << "no read lease here: files are read, not mapped";
    sigset_t io, before;
    sigemptyset(&io);
    sigaddset(&io, SIGIO);
    ::pthread_sigmask(SIG_BLOCK, &io, &before);
    int quit[2];
    ASSERT_EQ(::pipe(quit), 0);
    std::thread handling([&] {
        ::pthread_sigmask(SIG_UNBLOCK, &io, nullptr);
        char c;
        EXPECT_EQ(::read(quit[0], &c, 1), 0);
    });
    const pid_t writer = ::fork();  // opens the file for writing: the break
    if (writer == 0) std::_Exit(::open(path.c_str(), O_WRONLY) >= 0 ? 0 : 1);
    while (stage.load() != 1) ::sched_yield();
    const int waited = MappedFile::WaitsForBreaks();
    std::atomic<bool> gone{false};
    std::thread unmapping([&] {
        m.reset();
        gone = true;
    });
    while (!gone && MappedFile::WaitsForBreaks() == waited) ::sched_yield();
    EXPECT_FALSE(gone);
    stage = 2;
    unmapping.join();
    int status = 0;
    ASSERT_EQ(::waitpid(writer, &status, 0), writer);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ::close(quit[1]);
    handling.join();
    ::close(quit[0]);
    ::pthread_sigmask(SIG_SETMASK, &before, nullptr);
}
