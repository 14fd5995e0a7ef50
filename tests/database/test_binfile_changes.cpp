// A database file that is not what it seems: no ordinary file, changed while
// it loads, replaced or changed while the program runs. The database is one
// version of the file or none, and its blocks come from that version only.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
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

int InChild(const std::function<int()>& what, unsigned seconds = 5) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::alarm(seconds);  // a wait for ever ends the child, not the test
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
// over it or its name removed change nothing. After a change in place, even
// to the same bytes, they come from the copy of the loaded bytes where the
// load held a lease; where it could not (the file open for writing
// elsewhere), they are refused with the file's message, told once.
TEST(BinFileChanges, BlocksComeFromTheLoadedFileOrNotAtAll) {
    const std::string path = TempFile("db"), other = TempFile("other");
    const std::vector<unsigned char> v2 = WriteVersion(other, "second");
    const std::vector<unsigned char> v1 = WriteVersion(path, "first");
    const std::string first = Loaded(path);
    const struct Case {
        const char* what;
        std::function<void()> change;
        bool inPlace;
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
    const bool leased = LeasesHere();
    for (const Case& c : cases) {
        for (const bool held : {false, true}) {
            WriteBytes(path, v1);
            InitDataBase();
            const int writer = held ? ::open(path.c_str(), O_WRONLY) : -1;
            ASSERT_TRUE(ReadBinFile(path).ok) << c.what;
            if (held) ::close(writer);
            c.change();
            errors.seen.clear();
            atom* hit = GetAtom("poHitDe2020");
            const bool refused = c.inPlace && (held || !leased);
            EXPECT_EQ(hit->LoadOnDemand(), !refused) << c.what << held;
            if (refused) {
                EXPECT_EQ(hit->NumProp(), 3) << c.what;
                EXPECT_FALSE(GetAtom("poHitEmpty")->LoadOnDemand()) << c.what;  // told once for all
                ASSERT_EQ(errors.seen.size(), 1u) << c.what;
                EXPECT_EQ(std::pair(errors.seen[0].Message(), errors.seen[0].path), std::pair(kMsgStructError, path));
            } else {
                LoadAllOnDemand();
                EXPECT_EQ(Dump(true), first) << c.what;
            }
        }
    }
    std::remove(path.c_str());
}

// Start-up reads the file on a thread of its own, which has ended when
// another program writes the file: the writer goes on at once (the system
// would hold it for its lease-break time, 45 s, if the break reached no
// one), and the program keeps the database it loaded, the blocks included.
TEST(BinFileChanges, AWriterAfterTheStartUpsReadIsNotKeptWaiting) {
    if (!LeasesHere()) GTEST_SKIP() << "no read lease here: the file is read, not mapped";
    const std::string path = TempFile("db"), other = TempFile("other");
    const std::vector<unsigned char> v2 = WriteVersion(other, "second");
    WriteVersion(path, "first");
    const std::string first = Loaded(path);
    InitDataBase();
    ASSERT_TRUE(EarlyRead(path).Finish(nullptr).ok);
    const int wrote = InChild([&] {
        const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC);
        return ::write(fd, v2.data(), v2.size()) == static_cast<ssize_t>(v2.size()) ? 0 : 1;
    }, 20);
    EXPECT_EQ(wrote, 0);  // not ended by its alarm
    EXPECT_EQ(ReadBytes(path), v2);
    LoadAllOnDemand();
    EXPECT_EQ(Dump(true), first);
    std::remove(path.c_str());
    std::remove(other.c_str());
}

// The files the program writes carry the checksum of their body: bytes that
// do not give it are a damaged file, refused whether the file is mapped
// under a lease (at once: nothing changed it meanwhile) or read without one
// (here open for writing elsewhere: read again, twice, and then refused). A
// file without the checksum's mark is read as the format describes it.
TEST(BinFileChanges, ABodyThatDoesNotGiveItsChecksumIsRefused) {
    const std::string path = TempFile("db");
    const std::vector<unsigned char> small = WriteVersion(path, "first");
    // A body of more than a megabyte, its tag near the end: summed beside
    // the mapped load rather than after it.
    BuildSmallDb();
    for (int i = 0; i < 1200; ++i) Str(GetAtom("naAnna"), "prComment", std::to_string(i) + std::string(990, 'x'));
    Str(GetAtom("gnPeter"), "prComment", "first");
    ASSERT_TRUE(WriteBinFile(path).ok);
    const std::vector<unsigned char> large = ReadBytes(path);
    enum Change { None, Text, TextNoMark, Appended, ZeroSum };
    const struct Case {
        const char* what;
        const std::vector<unsigned char>& bytes;
        Change change;
        bool ok;
    } cases[] = {
        {"as written", small, None, true},
        {"a letter of a text changed", small, Text, false},
        {"four bytes appended", small, Appended, false},
        {"the checksum zero", small, ZeroSum, false},
        {"a letter changed without the mark", small, TextNoMark, true},
        {"a letter of a long file changed", large, Text, false},
    };
    struct Counting : RecordingObserver {
        int reads = 0;
        void Start(double m) override { ++reads, RecordingObserver::Start(m); }
    };
    const bool leases = LeasesHere();
    for (const Case& c : cases) {
        std::vector<unsigned char> bytes = c.bytes;
        const char tag[] = "first";
        const auto text = std::search(bytes.begin(), bytes.end(), tag, tag + 5);
        const long sum = 2 + (bytes[0] | bytes[1] << 8) + 2 * 3;  // after the text and the int16s
        if (c.change == Text || c.change == TextNoMark) *text = 'g';
        if (c.change == TextNoMark) std::fill_n(bytes.begin() + sum + 4, 4, 0);
        if (c.change == ZeroSum) std::fill_n(bytes.begin() + sum, 4, 0);
        if (c.change == Appended) bytes.insert(bytes.end(), {'a', 'b', 'c', 'd'});
        for (const bool held : {false, true}) {
            WriteBytes(path, bytes);
            InitDataBase();
            Counting obs;
            const int writer = held ? ::open(path.c_str(), O_WRONLY) : -1;
            const DbStatus st = ReadBinFile(path, &obs);
            if (held) ::close(writer);
            EXPECT_EQ(st.ok, c.ok) << c.what << held;
            EXPECT_EQ(obs.reads, c.ok || (leases && !held) ? 1 : 3) << c.what << held;
            if (!c.ok) {
                EXPECT_EQ(std::pair(st.Message(), obs.failures.size()), std::pair(kMsgStructError, size_t{1}))
                    << c.what << held;
                continue;
            }
            LoadAllOnDemand();
            EXPECT_EQ(Dump(true).find("girst") != std::string::npos, c.change == TextNoMark) << c.what << held;
        }
    }
    std::remove(path.c_str());
}

// Read without a lease, a file rewritten in place whose stamp then tells
// nothing (its time set back, a link added so that its change time counts
// for nothing): the checksum tells, and the file is read again, whole.
TEST(BinFileChanges, AChangeTheStampMissesIsCaughtByTheChecksum) {
    NoFaults reset;
    const std::string path = TempFile("db"), other = TempFile("other"), link = TempFile("link");
    // Two versions that differ in two property texts, read with the load.
    auto version = [](const std::string& at, const std::string& tag) {
        BuildSmallDb();
        Str(GetAtom("naAnna"), "prComment", tag + "a");
        Str(GetAtom("gnPeter"), "prComment", tag + "b");
        EXPECT_TRUE(WriteBinFile(at).ok);
        return ReadBytes(at);
    };
    const std::vector<unsigned char> v2 = version(other, "second");
    const std::string second = Loaded(other);
    const std::vector<unsigned char> v1 = version(path, "first!");
    // Between the two texts: the first from the first file, the second from
    // the second file.
    const char tag[] = "first!";
    const auto first = std::search(v1.begin(), v1.end(), tag, tag + 6);
    const auto last = std::find_end(v1.begin(), v1.end(), tag, tag + 6);
    ASSERT_LT(first, last);
    struct stat before{};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);
    FileOp::TestFaults().meanwhile = [&] {
        WriteBytes(path, v2);
        const timespec times[2] = {before.st_atim, before.st_mtim};
        ::utimensat(AT_FDCWD, path.c_str(), times, 0);
        ::link(path.c_str(), link.c_str());
    };
    FileOp::TestFaults().meanwhileAt = (first - v1.begin() + last - v1.begin()) / 2;
    InitDataBase();
    ASSERT_TRUE(ReadBinFile(path).ok);
    EXPECT_FALSE(FileOp::TestFaults().meanwhile);  // it did happen
    LoadAllOnDemand();
    EXPECT_EQ(Dump(true), second);
    for (const std::string& p : {path, other, link}) std::remove(p.c_str());
}

// Start-up leaves the checksum of a mapped file's body until its frame has
// been painted: the read gives the records, and the check the same verdict
// a read that sums the body gives, a damaged file refused with the same
// message and the database emptied. A file read through a window is summed
// as it passes, whatever the read was asked.
TEST(BinFileChanges, AChecksumLeftForLaterGivesTheSameVerdict) {
    const std::string path = TempFile("db");
    const std::vector<unsigned char> written = WriteVersion(path, "first");
    const long sum = 2 + (written[0] | written[1] << 8) + 2 * 3;  // after the text and the int16s
    const char tag[] = "first";
    const long letter = std::search(written.begin(), written.end(), tag, tag + 5) - written.begin();
    const struct Case {
        const char* what;
        std::function<void(std::vector<unsigned char>&)> change;
        bool marked;
        bool ok;
    } cases[] = {
        {"as written", [](auto&) {}, true, true},
        {"a letter of a text changed", [&](auto& b) { b[letter] = 'g'; }, true, false},
        {"the checksum zero", [&](auto& b) { std::fill_n(b.begin() + sum, 4, 0); }, true, false},
        {"a letter changed without the mark",
         [&](auto& b) { b[letter] = 'g', std::fill_n(b.begin() + sum + 4, 4, 0); }, false, true},
    };
    const bool leases = LeasesHere();
    for (const Case& c : cases) {
        std::vector<unsigned char> bytes = written;
        c.change(bytes);
        for (const bool held : {false, true}) {
            WriteBytes(path, bytes);
            InitDataBase();
            const int writer = held ? ::open(path.c_str(), O_WRONLY) : -1;
            const DbStatus st = ReadBinFile(path, nullptr, BodyCheck::Later);
            if (held) ::close(writer);
            const bool left = leases && !held && c.marked;
            EXPECT_EQ(std::pair(st.ok || !left, BodyCheckPending()), std::pair(true, left)) << c.what << held;
            const DbStatus verdict = left ? CheckBody() : st;
            EXPECT_EQ(std::pair(verdict.ok, BodyCheckPending()), std::pair(c.ok, false)) << c.what << held;
            if (!c.ok) {
                EXPECT_EQ(std::pair(verdict.Message(), numAtoms), std::pair(kMsgStructError, 0)) << c.what << held;
            }
        }
    }
    std::remove(path.c_str());
}

// A lease break that finds no memory for its copy between the load and the
// check of its body: the zeros tell nothing, and the file is read again as
// it now is.
TEST(BinFileChanges, AChecksumLeftForLaterAfterALostCopyReadsTheFileAgain) {
    if (!LeasesHere()) GTEST_SKIP() << "no read lease here: the file is read, not mapped";
    NoFaults reset;
    const std::string path = TempFile("db"), other = TempFile("other");
    const std::vector<unsigned char> v2 = WriteVersion(other, "second");
    const std::string second = Loaded(other);
    WriteVersion(path, "first");
    FileOp::TestFaults().copyTimes = 1;
    InitDataBase();
    ASSERT_TRUE(ReadBinFile(path, nullptr, BodyCheck::Later).ok);
    ASSERT_TRUE(BodyCheckPending());
    InChild([&] {
        const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC);
        return ::write(fd, v2.data(), v2.size()) == static_cast<ssize_t>(v2.size()) ? 0 : 1;
    });
    ASSERT_TRUE(CheckBody().ok);
    LoadAllOnDemand();
    EXPECT_EQ(Dump(true), second);
    std::remove(path.c_str());
    std::remove(other.c_str());
}
