// A database file that is not what it seems: no ordinary file, changed while
// it loads, replaced or changed while the program runs. The database is one
// version of the file or none, and its blocks come from that version only.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <utility>

#include "DbTestUtil.h"
#include "Fakes.h"
#include "FileOp.h"

using namespace dbtest;
using namespace DataBase;

namespace {

// The small database with a tag in a property text and in a hit parade's
// block, written to path; gives its bytes.
std::vector<unsigned char> WriteVersion(const std::string& path, const std::string& tag) {
    BuildSmallDb();
    Str(GetAtom("naAnna"), "prComment", tag);
    Str(GetAtom("poHitDe2020"), "prComment", tag);
    EXPECT_TRUE(WriteBinFile(path).ok);
    return ReadBytes(path);
}

// Everything the file holds, the blocks included, as read from path.
std::string Loaded(const std::string& path) {
    InitDataBase();
    EXPECT_TRUE(ReadBinFile(path).ok);
    LoadAllOnDemand();
    return Dump(true);
}

int InChild(const std::function<int()>& what) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::alarm(5);  // a wait for ever ends the child, not the test
        std::_Exit(what());
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

struct NoFaults {
    ~NoFaults() { FileOp::TestFaults() = {}; }
};

}  // namespace

// A pipe, a folder, a loop of links where the database file should be: the
// load ends at once with the message that fits, not found or malformed.
TEST(BinFileChanges, WhatIsNoOrdinaryFileIsNoDatabase) {
    const std::string dir = TempFile("dir");
    std::filesystem::create_directories(dir + "/folder");
    ASSERT_EQ(::mkfifo((dir + "/pipe").c_str(), 0600), 0);
    std::filesystem::create_symlink(dir + "/loop", dir + "/loop");
    const struct Case {
        const char* name;
        int message;  // 0: the not-found message
    } cases[] = {{"pipe", kMsgStructError}, {"folder", kMsgStructError}, {"loop", 0}, {"missing", 0}};
    for (const Case& c : cases) {
        const std::string path = dir + "/" + c.name;
        const int got = InChild([&] {
            const DbStatus st = ReadBinFile(path);
            return st.ok ? 99 : st.openFailed && st.error == FileOp::kErrFileNotFound ? 0 : st.Message();
        });
        EXPECT_EQ(got, c.message) << c.name;
    }
    std::filesystem::remove_all(dir);
}

// Read without a lease (open for writing elsewhere), a file rewritten in
// place half-way through the load is read again, whole; one that keeps
// changing is refused after three reads as malformed.
TEST(BinFileChanges, AFileRewrittenDuringTheLoadIsReadAgainOrRefused) {
    NoFaults reset;
    const std::string path = TempFile("db"), other = TempFile("other");
    const std::vector<unsigned char> v2 = WriteVersion(other, "second");
    const std::string second = Loaded(other);
    const std::vector<unsigned char> v1 = WriteVersion(path, "first!");
    const int writer = ::open(path.c_str(), O_WRONLY);
    const long long half = static_cast<long long>(v1.size() / 2);

    FileOp::TestFaults().meanwhile = [&] { WriteBytes(path, v2); };
    FileOp::TestFaults().meanwhileAt = half;
    RecordingObserver obs;
    InitDataBase();
    ASSERT_TRUE(ReadBinFile(path, &obs).ok);
    EXPECT_FALSE(FileOp::TestFaults().meanwhile);  // it did happen
    LoadAllOnDemand();
    EXPECT_EQ(Dump(true), second);

    bool flip = false;
    std::function<void()> keepChanging = [&] {
        WriteBytes(path, (flip = !flip) ? v1 : v2);
        FileOp::TestFaults().meanwhile = keepChanging;
    };
    FileOp::TestFaults().meanwhile = keepChanging;
    DbStatus st = ReadBinFile(path, &obs);
    FileOp::TestFaults() = {};
    EXPECT_FALSE(st.ok);
    EXPECT_EQ(std::pair(st.Message(), st.openFailed), std::pair(kMsgStructError, false));
    EXPECT_EQ(obs.failures.size(), 1u);
    EXPECT_EQ(numAtoms + numStrings + numProps, 0);
    ::close(writer);
    std::remove(path.c_str());
    std::remove(other.c_str());
}

// A lease break during the mapped load that finds no memory for its copy:
// no fault, and the file is read again as it now is.
TEST(BinFileChanges, ALeaseBreakWithoutMemoryReadsTheFileAgain) {
    NoFaults reset;
    const std::string path = TempFile("db"), other = TempFile("other");
    const std::vector<unsigned char> v2 = WriteVersion(other, "second");
    const std::string second = Loaded(other);
    WriteVersion(path, "first");
    // The countdown starts once the file is mapped: then another program
    // rewrites it (its open waits for the lease to be given up).
    struct Rewriting : RecordingObserver {
        std::function<void()> once;
        void Start(double m) override {
            RecordingObserver::Start(m);
            if (once) std::exchange(once, nullptr)();
        }
    } obs;
    obs.once = [&] {
        InChild([&] {
            const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC);
            return ::write(fd, v2.data(), v2.size()) == static_cast<ssize_t>(v2.size()) ? 0 : 1;
        });
    };
    FileOp::TestFaults().copyTimes = 1;
    InitDataBase();
    ASSERT_TRUE(ReadBinFile(path, &obs).ok);
    LoadAllOnDemand();
    EXPECT_EQ(Dump(true), second);
    std::remove(path.c_str());
    std::remove(other.c_str());
}

// The blocks come from the file the database was read from: a file renamed
// over it or its name removed change nothing; a change in place, even to
// the same bytes, refuses them with the file's message, told once.
TEST(BinFileChanges, BlocksComeFromTheLoadedFileOrNotAtAll) {
    const std::string path = TempFile("db"), other = TempFile("other");
    const std::vector<unsigned char> v2 = WriteVersion(other, "second");
    const std::vector<unsigned char> v1 = WriteVersion(path, "first");
    const std::string first = Loaded(path);
    const struct Case {
        const char* what;
        std::function<void()> change;
        bool refused;
    } cases[] = {
        {"replaced by another file", [&] {
             WriteBytes(other, v2);
             std::filesystem::rename(other, path);
         }, false},
        {"removed", [&] { std::filesystem::remove(path); }, false},
        {"rewritten in place, the same bytes", [&] { WriteBytes(path, v1); }, true},
        {"cut short in place", [&] { std::filesystem::resize_file(path, v1.size() / 2); }, true},
    };
    FileErrors errors;
    for (const Case& c : cases) {
        WriteBytes(path, v1);
        InitDataBase();
        ASSERT_TRUE(ReadBinFile(path).ok) << c.what;
        c.change();
        errors.seen.clear();
        atom* hit = GetAtom("poHitDe2020");
        EXPECT_EQ(hit->LoadOnDemand(), !c.refused) << c.what;
        if (c.refused) {
            EXPECT_EQ(hit->NumProp(), 3) << c.what;
            EXPECT_FALSE(GetAtom("poHitEmpty")->LoadOnDemand()) << c.what;  // told once for all
            ASSERT_EQ(errors.seen.size(), 1u) << c.what;
            EXPECT_EQ(std::pair(errors.seen[0].Message(), errors.seen[0].path), std::pair(kMsgStructError, path));
        } else {
            LoadAllOnDemand();
            EXPECT_EQ(Dump(true), first) << c.what;
        }
    }
    std::remove(path.c_str());
}
