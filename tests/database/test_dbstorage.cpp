// Where the loaded database lives: atoms, properties and their texts keep
// their addresses for the whole run (lists and windows hold plain pointers),
// and a file that fails to open, seek or read part-way loads nothing and
// writes nothing.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <thread>

#include "DbTestUtil.h"
#include "Fakes.h"
#include "FileOp.h"
#include "LowLevel.h"
#include "TempFolder.h"
#include "TextConstants.h"
#include "UserFile.h"

using namespace dbtest;
using namespace DataBase;

namespace {

struct NoFaults {
    ~NoFaults() { FileOp::TestFaults() = {}; }
};

// A file operation made to fail, and the error it must give.
struct FaultCase {
    const char* what;
    FileOp::Faults faults;
    int error;
};

// Every atom and property of the database with the bytes of its texts.
struct Where {
    std::vector<const atom*> atoms;
    std::vector<const char*> names;
    std::vector<const Prop*> props;
    std::vector<const char*> strings;
    std::vector<std::vector<Prop*>> lists;
    static Where Now() {
        Where w;
        for (const atom* a : atomTab) {
            w.atoms.push_back(a);
            w.names.push_back(a->name().data());
            w.lists.emplace_back(a->props().begin(), a->props().end());
        }
        for (const Prop* p : propTab) {
            w.props.push_back(p);
            w.strings.push_back(p->strVal().data());
        }
        return w;
    }
};

}  // namespace

TEST(DbStorage, AddressesStayAcrossOnDemandLoadsAndAUserNamesMerge) {
    TextConstants::textLanguage = 1;
    TempFolder dir;
    const std::string path = dir / "Talv1Dat.bin";
    BuildSmallDb();
    ASSERT_TRUE(WriteBinFile(path).ok);
    ASSERT_TRUE(ReadBinFile(path).ok);
    const Where before = Where::Now();
    const std::string annaName(GetAtom("naAnna")->name());

    LoadAllOnDemand();
    // A user's name in a group of the database, merged into the loaded tables.
    auto saved = LowLevel::DocumentsFolder;
    LowLevel::DocumentsFolder = [&](std::string& f) { return f = dir.Path(), true; };
    TempFolder::Put(dir / "Talv1User.txt",
                    "/* -- naAnnikaUser -- */\r\nprop(prText,naAnnikaUser,\"Annika\").\r\n"
                    "prop(prGenName,naAnnikaUser,gnAnna).\r\nprop(prLang,naAnnikaUser,laGerman).\r\n\r\n");
    ReadUserFile();
    LowLevel::DocumentsFolder = saved;
    EXPECT_TRUE(Fakes().TakeMessageNumbers().empty());
    ASSERT_NE(GetAtom("naAnnikaUser"), nothingAtom);

    const Where after = Where::Now();
    ASSERT_GE(after.atoms.size(), before.atoms.size());
    ASSERT_GE(after.props.size(), before.props.size());
    for (size_t i = 0; i < before.atoms.size(); ++i) {
        EXPECT_EQ(after.atoms[i], before.atoms[i]) << i;
        EXPECT_EQ(after.names[i], before.names[i]) << i;
        // What an atom listed stays listed, in front of what was added.
        ASSERT_GE(after.lists[i].size(), before.lists[i].size()) << i;
        EXPECT_TRUE(std::equal(before.lists[i].begin(), before.lists[i].end(), after.lists[i].begin())) << i;
    }
    for (size_t i = 0; i < before.props.size(); ++i) {
        EXPECT_EQ(after.props[i], before.props[i]) << i;
        EXPECT_EQ(after.strings[i], before.strings[i]) << i;
    }
    EXPECT_EQ(GetAtom("naAnna")->name(), annaName);
    EXPECT_EQ(GetAtom("naAnnikaUser")->Text(), "Annika");
}

// The database file failing part-way: the disk error of the failure, once,
// through the observer; an empty database, as after a malformed file; the
// file as it was and nothing else in its folder.
TEST(DbStorage, AFileThatFailsPartWayLoadsNothingAndWritesNothing) {
    TempFolder dir;
    const std::string path = dir / "Talv1Dat.bin";
    BuildSmallDb();
    ASSERT_TRUE(WriteBinFile(path).ok);
    const std::string bytes = TempFolder::Get(path);
    const FaultCase cases[] = {
        {"open refused", {.openErrno = EACCES, .openTimes = 1}, FileOp::kErrPermissionDenied},
        {"first read fails", {.readErrno = EIO, .readTimes = 1, .readAfter = 0}, FileOp::kErrDeviceIO},
        {"read fails half-way", {.readErrno = EIO, .readTimes = 1, .readAfter = static_cast<long long>(bytes.size() / 2)},
         FileOp::kErrDeviceIO},
        {"read fails at the last byte",
         {.readErrno = EIO, .readTimes = 1, .readAfter = static_cast<long long>(bytes.size() - 1)}, FileOp::kErrDeviceIO},
    };
    for (const FaultCase& c : cases) {
        NoFaults reset;
        ASSERT_TRUE(ReadBinFile(path).ok);  // a database in memory before
        FileOp::TestFaults() = c.faults;
        RecordingObserver obs;
        DbStatus st = ReadBinFile(path, &obs);
        FileOp::TestFaults() = {};
        EXPECT_FALSE(st.ok) << c.what;
        EXPECT_EQ(std::pair(st.error, st.Message()), std::pair(c.error, 0)) << c.what;
        EXPECT_EQ(st.path, path) << c.what;
        EXPECT_EQ(obs.failures.size(), 1u) << c.what;
        EXPECT_EQ(numAtoms + numStrings + numProps, 0) << c.what;
        EXPECT_FALSE(loading) << c.what;
        EXPECT_EQ(TempFolder::Get(path), bytes) << c.what;
        EXPECT_EQ(dir.Count(), 1) << c.what;
    }
    EXPECT_TRUE(ReadBinFile(path).ok);  // and the next attempt reads it whole
    EXPECT_TRUE(Fakes().TakeAsserts().empty());
}

// An on-demand block failing part-way: the file's message with its path,
// the atom as it was (its three properties), and a later load that works.
// (The file is not opened again: it stays open from the load.)
TEST(DbStorage, ABlockThatFailsPartWayAddsNothing) {
    TempFolder dir;
    const std::string path = dir / "Talv1Dat.bin";
    BuildSmallDb();
    ASSERT_TRUE(WriteBinFile(path).ok);
    ASSERT_TRUE(ReadBinFile(path).ok);
    atom* hit = GetAtom("poHitDe2020");
    int32_t pos = 0;
    ASSERT_TRUE(hit->GetFilePos(pos));
    const std::string bytes = TempFolder::Get(path);
    const FaultCase cases[] = {
        {"seek to the head fails", {.seekErrno = EIO, .seekTimes = 1}, FileOp::kErrDeviceIO},
        {"seek to the block fails", {.seekErrno = EIO, .seekTimes = 2}, FileOp::kErrDeviceIO},
        {"read of the head fails", {.readErrno = EIO, .readTimes = 1, .readAfter = pos - 1}, FileOp::kErrDeviceIO},
        {"read fails inside the block", {.readErrno = EIO, .readTimes = 1, .readAfter = pos + 8}, FileOp::kErrDeviceIO},
    };
    FileErrors errors;
    for (const FaultCase& c : cases) {
        NoFaults reset;
        errors.seen.clear();
        FileOp::TestFaults() = c.faults;
        EXPECT_FALSE(hit->LoadOnDemand()) << c.what;
        FileOp::TestFaults() = {};
        EXPECT_EQ(hit->NumProp(), 3) << c.what;
        ASSERT_EQ(errors.seen.size(), 1u) << c.what;
        EXPECT_EQ(std::pair(errors.seen[0].error, errors.seen[0].Message()), std::pair(c.error, 0)) << c.what;
        EXPECT_EQ(errors.seen[0].path, path) << c.what;
        EXPECT_EQ(TempFolder::Get(path), bytes) << c.what;
        EXPECT_EQ(dir.Count(), 1) << c.what;
    }
    EXPECT_TRUE(Fakes().TakeAsserts().empty());
    EXPECT_TRUE(hit->LoadOnDemand());
    EXPECT_EQ(hit->NumProp(), 8);
}

// A set gaining members one by one: its list moves as it grows, every
// member stays in its place, and the allocation it reports grows by seven.
TEST(DbStorage, AGrowingListKeepsEveryPropertyInOrder) {
    InitDataBase();
    atom* set = CreateAtom("seMany");
    atom* kind = CreateAtom("prMember");
    std::vector<Prop*> added;
    for (int i = 0; i < 1000; ++i) {
        Prop* p = NewProp();
        p->InitStr(kind, std::to_string(i), false);
        set->AddProp(p);
        added.push_back(p);
    }
    EXPECT_EQ(std::vector<Prop*>(set->props()), added);
    EXPECT_EQ(set->propAlloc(), 1001);  // 143 steps of seven
    EXPECT_EQ(set->props().back()->strVal(), "999");
    set->DelAllProp();
    EXPECT_EQ(set->NumProp(), 0);
    set->AddProp(added[5]);
    EXPECT_EQ(set->GetProp(0), added[5]);
}

// The file read on a thread of its own: the same database as a read on the
// caller's thread, and the observer told on the caller's thread what it
// would have been told (Start with the file's length, the last position,
// Failed once for a file that cannot be read).
// A thread that waits for a read makes the memory the read is about to
// write (FaultAhead): the read gives the same database, and once it has
// ended there is nothing more to make.
TEST(DbStorage, AReadHelpedAheadGivesWhatAReadGives) {
    TempFolder dir;
    const std::string path = dir / "Talv1Dat.bin";
    // Several pieces of texts and records: texts of about 5 MB.
    BuildSmallDb();
    for (int i = 0; i < 5000; ++i) Str(GetAtom("naAnna"), "prComment", std::to_string(i) + std::string(990, 'x'));
    ASSERT_TRUE(WriteBinFile(path).ok);
    ASSERT_TRUE(ReadBinFile(path).ok);
    const std::string read = Dump(true);
    EXPECT_FALSE(FaultAhead());  // what a read that has ended handed out is no longer made
    InitDataBase();
    EarlyRead early(path);
    while (!early.Loaded()) FaultAhead();
    ASSERT_TRUE(early.Finish(nullptr).ok);
    EXPECT_EQ(Dump(true), read);
    EXPECT_FALSE(FaultAhead());
}

TEST(DbStorage, AnEarlyReadGivesWhatAReadGives) {
    struct Seen : LoadObserver {
        double max = -1;
        std::vector<double> progress;
        std::vector<DbStatus> failures;
        std::thread::id thread;
        bool otherThread = false;
        void Start(double m) override { max = m, Note(); }
        void Progress(double v) override { progress.push_back(v), Note(); }
        void Failed(const DbStatus& s) override { failures.push_back(s), Note(); }
        void Note() { otherThread |= std::this_thread::get_id() != thread; }
    };
    TempFolder dir;
    const std::string path = dir / "Talv1Dat.bin";
    BuildSmallDb();
    ASSERT_TRUE(WriteBinFile(path).ok);
    ASSERT_TRUE(ReadBinFile(path).ok);
    const int32_t atoms = numAtoms, props = numProps;
    const double length = static_cast<double>(TempFolder::Get(path).size()) + 1;

    InitDataBase();
    Seen seen;
    seen.thread = std::this_thread::get_id();
    DbStatus st = EarlyRead(path).Finish(&seen);
    EXPECT_TRUE(st.ok);
    EXPECT_EQ(std::pair(numAtoms, numProps), std::pair(atoms, props));
    EXPECT_EQ(GetAtom(std::string(stringTab.front()))->id(), idTab.front());
    EXPECT_EQ(seen.max, length);
    ASSERT_FALSE(seen.progress.empty());
    EXPECT_EQ(seen.progress.back(), length);
    EXPECT_TRUE(seen.failures.empty());
    EXPECT_FALSE(seen.otherThread);
    EXPECT_FALSE(loading);

    Seen missing;
    missing.thread = std::this_thread::get_id();
    st = EarlyRead(dir / "none.bin").Finish(&missing);
    EXPECT_FALSE(st.ok);
    EXPECT_TRUE(st.openFailed);
    EXPECT_EQ(missing.failures.size(), 1u);
    EXPECT_EQ(numAtoms + numProps + numStrings, 0);
    EXPECT_FALSE(missing.otherThread);

    {
        EarlyRead unfinished(path);  // a start-up that ends before the load waits for the read
    }
    EXPECT_EQ(numAtoms, atoms);
    EXPECT_TRUE(Fakes().TakeAsserts().empty());
}
