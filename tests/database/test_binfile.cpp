// The database file: what the writer writes the reader gives back, the
// on-demand load of the hit-parade atoms, and the writer's refusals.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <tuple>

#include "DbTestUtil.h"
#include "Fakes.h"

using namespace dbtest;
using namespace DataBase;

namespace {

// Writes the small database and reads it back; gives the first hit parade's block position.
int32_t WrittenAndRead(const std::string& path) {
    BuildSmallDb();
    EXPECT_TRUE(WriteBinFile(path).ok);
    EXPECT_TRUE(ReadBinFile(path).ok);
    int32_t pos = 0;
    EXPECT_TRUE(GetAtom("poHitDe2020")->GetFilePos(pos));
    return pos;
}

}  // namespace

TEST(BinFile, WriteThenReadGivesBackEveryAtomAndDerivedField) {
    BuildSmallDb();
    std::string built = Dump(false);
    std::string path = TempFile("a");
    BinHeader header{"Orsabrine Datenbank", 1, 2, 300000, -5, "V1.3", "Quillmarsh"};
    ASSERT_TRUE(WriteBinFile(path, header).ok);

    InitDataBase();
    RecordingObserver obs;
    ASSERT_TRUE(ReadBinFile(path, &obs).ok);
    EXPECT_FALSE(loading);
    EXPECT_EQ(obs.max, static_cast<double>(ReadBytes(path).size() + 1));
    EXPECT_EQ(obs.progress.at(obs.progress.size() - 1), obs.max);
    EXPECT_TRUE(std::all_of(obs.loadingSeen.begin(), obs.loadingSeen.end(), [](bool b) { return b; }));
    EXPECT_EQ(fileHeader.text + fileHeader.text8 + std::to_string(fileHeader.field4), "Orsabrine DatenbankQuillmarsh2");
    EXPECT_EQ(fileHeader.field6, kSumMark);  // the writer's: its checksum is in field5
    // Before the on-demand load a hit parade holds three properties; its
    // description index lies beyond them for now and counts as none.
    atom* hit = GetAtom("poHitDe2020");
    EXPECT_EQ(hit->NumProp(), 3);
    EXPECT_EQ(hit->Text() + hit->Descr(), "Deutschland 2020(Deutschland 2020)");
    LoadAllOnDemand();
    EXPECT_EQ(hit->Descr(), "Die beliebtesten Namen");
    EXPECT_EQ(Dump(false), built);
    EXPECT_EQ(prText, GetAtom("prText"));  // the kind atoms come with the load
    std::remove(path.c_str());
}

TEST(BinFile, ASecondWriteOfWhatWasReadIsTheSameFile) {
    std::string first = TempFile("1"), second = TempFile("2");
    WrittenAndRead(first);
    std::string raw = Dump(true);
    // The writer loads the hit parades itself before it writes them.
    ASSERT_TRUE(WriteBinFile(second).ok);
    EXPECT_EQ(ReadBytes(first), ReadBytes(second));
    ASSERT_TRUE(ReadBinFile(second).ok);
    EXPECT_EQ(Dump(true), raw);
    std::remove(first.c_str());
    std::remove(second.c_str());
}

TEST(BinFile, OnDemandLoadReadsOnceAndOnlyWhole) {
    std::string path = TempFile("a");
    WrittenAndRead(path);
    FileErrors errors;
    atom* hit = GetAtom("poHitDe2020");
    ASSERT_EQ(hit->NumProp(), 3);
    EXPECT_TRUE(hit->LoadOnDemand());
    EXPECT_EQ(hit->NumProp(), 8);
    EXPECT_EQ(hit->props()[7]->atomVal(), GetAtom("naAnna"));
    EXPECT_EQ(hit->props()[7]->id(), -1);  // block properties stay out of the table
    std::vector<unsigned char> bytes = ReadBytes(path);
    WriteBytes(path, {});  // a second call does not even read the file
    EXPECT_TRUE(hit->LoadOnDemand());
    EXPECT_EQ(hit->NumProp(), 8);
    // An empty block keeps its three and is read again each time (here after
    // the file was emptied in place: from the copy of the loaded bytes where
    // the load held a lease, else refused with the file's message; no
    // assertion either way).
    const bool leased = LeasesHere();
    EXPECT_EQ(GetAtom("poHitEmpty")->LoadOnDemand(), leased);
    EXPECT_TRUE(Fakes().TakeAsserts().empty());
    EXPECT_EQ(GetAtom("poHitEmpty")->NumProp(), 3);
    ASSERT_EQ(errors.seen.size(), leased ? 0u : 1u);
    if (!leased) {
        EXPECT_EQ(std::tuple(errors.seen[0].Message(), errors.seen[0].path), std::tuple(kMsgStructError, path));
    }
    std::remove(path.c_str());
}

TEST(BinFile, AFailingBlockChangesNothing) {
    std::string path = TempFile("a");
    int32_t pos = WrittenAndRead(path);
    atom* hit = GetAtom("poHitDe2020");
    std::vector<unsigned char> good = ReadBytes(path);
    FileErrors errors;
    struct Case {
        const char* what;
        int offset;  // from the block's first byte
        int64_t value;
        int width;
    };
    const Case cases[] = {
        {"end before its records", 0, pos + 6, 4}, {"end past its records", 0, pos + 1000, 4},
        {"end before the block", 0, 0, 4},         {"negative count", 4, -1, 2},
        {"count beyond the records", 4, 7, 2},     {"kind atom beyond the table", 6, 99999, 4},
        {"negative kind atom", 6, -1, 4},          {"string length 1001", 12, 1001, 2},
    };
    for (const Case& c : cases) {
        std::vector<unsigned char> bad = good;
        size_t at = static_cast<size_t>(pos - 1 + c.offset);
        for (int i = 0; i < c.width; ++i) bad[at + static_cast<size_t>(i)] = static_cast<unsigned char>(c.value >> (8 * i));
        WriteBytes(path, bad);
        TakeFileAsLoaded();  // a change that the stamps could not tell
        errors.seen.clear();
        EXPECT_FALSE(hit->LoadOnDemand()) << c.what;
        EXPECT_EQ(hit->NumProp(), 3) << c.what;
        ASSERT_EQ(errors.seen.size(), 1u) << c.what;
        EXPECT_EQ(errors.seen[0].Message(), kMsgStructError) << c.what;
    }
    WriteBytes(path, std::vector<unsigned char>(good.begin(), good.begin() + pos + 8));  // cut short
    TakeFileAsLoaded();
    EXPECT_FALSE(hit->LoadOnDemand());
    WriteBytes(path, good);  // a position past the end
    TakeFileAsLoaded();
    hit->props()[2]->setStrVal("99999999");
    EXPECT_FALSE(hit->LoadOnDemand());
    EXPECT_EQ(hit->NumProp(), 3);
    hit->props()[2]->setStrVal(std::to_string(pos));
    EXPECT_TRUE(hit->LoadOnDemand());
    EXPECT_EQ(hit->NumProp(), 8);
    std::remove(path.c_str());
}

TEST(BinFile, AnAtomFromTheUserFileIsNeverLookedUpInTheFile) {
    BuildSmallDb();
    atom* hit = A("poUserHit");
    Str(hit, "prText", "Eigene");
    Rel(hit, "prMemberOf", sePopularities);
    hit->CreateFilePosProp();
    dbFileName = "/nonexistent/none.bin";
    EXPECT_TRUE(hit->LoadOnDemand());  // no open, so no assertion
    EXPECT_EQ(hit->NumProp(), 3);
    EXPECT_FALSE(A("poBare")->LoadOnDemand());
    EXPECT_EQ(Fakes().TakeAsserts(), std::vector<std::string>{"*** Assert: *** LoadOnDemand filePos"});
}

TEST(BinFile, DeletedAtomsAreLeftOutAndTheRestRenumbered) {
    BuildSmallDb();
    DeleteAtom(GetAtom("woGnade"));
    DeleteAtom(GetAtom("naAnnaOld"));
    std::string path = TempFile("a");
    ASSERT_TRUE(WriteBinFile(path).ok);
    auto listed = [](bool skipDeleted) {
        std::vector<std::string> out;
        for (atom* a : atomTab)
            if (!skipDeleted || a != nothingAtom) out.push_back(a->name() + "|" + a->Text() + "|" + std::to_string(a->kind()));
        return out;
    };
    std::vector<std::string> before = listed(true);
    ASSERT_TRUE(ReadBinFile(path).ok);
    LoadAllOnDemand();
    EXPECT_EQ(listed(false), before);
    EXPECT_EQ(numAtoms, numStrings);
    std::remove(path.c_str());
}

TEST(BinFile, TheWriterRefusesWhatTheReaderWouldRefuse) {
    std::string path = TempFile("a");
    WriteBytes(path, {1, 2, 3});
    struct Case {
        const char* what;
        void (*spoil)();
    };
    const Case cases[] = {
        {"text of 1001 characters", [] { Str(GetAtom("naAnna"), "prComment", std::string(1001, 'y')); }},
        {"name of 1001 characters", [] { A(std::string(1001, 'n')); }},
        {"property kind deleted", [] {
             Str(GetAtom("naAnna"), "prOdd", "v");
             DeleteAtom(GetAtom("prOdd"));
         }},
        {"atom value deleted in a property with both values", [] { DeleteAtom(GetAtom("gnAnna")); }},
        {"hit parades without prFilePos", [] { DeleteAtom(GetAtom("prFilePos")); }},
        {"more than 32767 properties", [] {
             atom* a = GetAtom("naPeter");
             for (int i = 0; i < 32768; ++i) a->AddProp(a->props()[0]);
         }},
    };
    for (const Case& c : cases) {
        BuildSmallDb();
        c.spoil();
        DbStatus st = WriteBinFile(path);
        EXPECT_FALSE(st.ok) << c.what;
        EXPECT_EQ(st.error, kStructError) << c.what;
        EXPECT_EQ(ReadBytes(path), (std::vector<unsigned char>{1, 2, 3})) << c.what;
    }
    std::remove(path.c_str());
}

TEST(BinFile, FailuresAreDiskErrorsOrMessage33) {
    RecordingObserver obs;
    DbStatus st = ReadBinFile("/nonexistent/Talv1Dat.bin", &obs);
    EXPECT_TRUE(st.openFailed);
    EXPECT_EQ(std::pair(st.error, st.Message()), std::pair(53, 0));
    EXPECT_EQ(obs.failures.size(), 1u);
    BuildSmallDb();
    EXPECT_LT(WriteBinFile("/nonexistent/folder/Talv1Dat.bin").error, kStructError);
    // Without a handler of its own a failing block shows message 33.
    std::string path = TempFile("a");
    int32_t pos = WrittenAndRead(path);
    std::vector<unsigned char> bad = ReadBytes(path);
    bad[static_cast<size_t>(pos - 1 + 4)] = 0x7F;  // a block count far beyond its records
    WriteBytes(path, bad);
    TakeFileAsLoaded();
    EXPECT_FALSE(GetAtom("poHitDe2020")->LoadOnDemand());
    std::vector<Services::Message> shown = Fakes().TakeMessages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(std::pair(shown[0].number, shown[0].arg), std::pair(kMsgStructError, path));
    std::remove(path.c_str());
}

// The database keeps copies of the file's texts: cut short in place by
// another program while the database lives, the file takes none with it.
TEST(BinFile, TextsStayWhenTheFileIsCutShortInPlace) {
    const std::string path = TempFile("a");
    WrittenAndRead(path);
    const std::string before = Dump(true);
    const pid_t pid = ::fork();
    if (pid == 0) std::_Exit(::truncate(path.c_str(), 0) == 0 ? 0 : 1);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(ReadBytes(path).size(), 0u);
    EXPECT_EQ(Dump(true), before);
    std::remove(path.c_str());
}

// A file open for writing elsewhere is read through a window instead of
// mapped: the database is the same either way.
TEST(BinFile, ReadThroughAWindowOrMappedGivesTheSameDatabase) {
    const std::string path = TempFile("a");
    WrittenAndRead(path);
    const std::string mapped = Dump(true);
    const int writer = ::open(path.c_str(), O_WRONLY);
    ASSERT_GE(writer, 0);
    InitDataBase();
    ASSERT_TRUE(ReadBinFile(path).ok);
    EXPECT_EQ(Dump(true), mapped);
    ::close(writer);
    std::remove(path.c_str());
}
