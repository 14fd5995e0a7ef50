// The database file: what the writer writes the reader gives back, the
// on-demand load of the hit-parade atoms, and the writer's refusals.
#include <algorithm>
#include <cstdio>

#include "DbTestUtil.h"
#include "Fakes.h"

using namespace dbtest;
using namespace DataBase;

namespace {

struct FileErrors {
    std::vector<DbStatus> seen;
    FileErrors() {
        SetFileErrorHandler([this](const DbStatus& s) { seen.push_back(s); });
    }
    ~FileErrors() { SetFileErrorHandler(nullptr); }
};

}  // namespace

TEST(BinFile, WriteThenReadGivesBackEveryAtomAndDerivedField) {
    BuildSmallDb();
    std::string built = Dump(false);
    int32_t atomsBuilt = numAtoms;
    std::string path = TempFile("a");
    BinHeader header{"Orsabrine Datenbank", 1, 2, 300000, -5, "V1.3", "Quillmarsh"};
    DbStatus w = WriteBinFile(path, header);
    ASSERT_TRUE(w.ok) << w.detail;

    InitDataBase();
    RecordingObserver obs;
    DbStatus r = ReadBinFile(path, &obs);
    ASSERT_TRUE(r.ok) << r.detail;
    EXPECT_TRUE(obs.failures.empty());
    EXPECT_FALSE(loading);
    EXPECT_EQ(obs.max, static_cast<double>(ReadBytes(path).size() + 1));
    ASSERT_FALSE(obs.progress.empty());
    EXPECT_EQ(obs.progress.back(), obs.max);
    EXPECT_EQ(fileHeader.text, header.text);
    EXPECT_EQ(fileHeader.field5, 300000);
    EXPECT_EQ(fileHeader.field6, -5);
    EXPECT_EQ(fileHeader.text8, "Quillmarsh");
    EXPECT_EQ(numAtoms, atomsBuilt);
    EXPECT_EQ(nextId, atomsBuilt);

    // Before the on-demand load a hit parade holds three properties; its text
    // index lies beyond them for now and counts as none.
    atom* hit = GetAtom("poHitDe2020");
    EXPECT_EQ(hit->NumProp(), 3);
    EXPECT_EQ(hit->props()[2]->proper(), prFilePos);
    EXPECT_EQ(hit->Text(), "Deutschland 2020");  // index 0 stays among the three
    EXPECT_EQ(hit->Descr(), "(Deutschland 2020)");
    LoadAllOnDemand();
    EXPECT_EQ(hit->Descr(), "Die beliebtesten Namen");
    EXPECT_EQ(Dump(false), built);

    // The kind atoms and the counters come with the load.
    EXPECT_EQ(prText, GetAtom("prText"));
    EXPECT_EQ(seLanguages->name(), "seLanguages");
    EXPECT_EQ(prDedicDay, nothingAtom);
    EXPECT_EQ(numAllFemale, 3);
    EXPECT_EQ(numAllMale, 1);
    EXPECT_EQ(numAllGenNames, 2);
}

TEST(BinFile, ASecondWriteOfWhatWasReadIsTheSameFile) {
    BuildSmallDb();
    std::string first = TempFile("1"), second = TempFile("2");
    BinHeader header;
    header.text = "x";
    ASSERT_TRUE(WriteBinFile(first, header).ok);
    ASSERT_TRUE(ReadBinFile(first).ok);
    std::string raw = Dump(true);
    // The writer loads the hit parades itself before it writes them.
    ASSERT_TRUE(WriteBinFile(second, header).ok);
    EXPECT_EQ(ReadBytes(first), ReadBytes(second));
    ASSERT_TRUE(ReadBinFile(second).ok);
    EXPECT_EQ(Dump(true), raw);
    std::remove(first.c_str());
    std::remove(second.c_str());
}

TEST(BinFile, OnDemandLoadReadsOnceAndOnlyWhole) {
    BuildSmallDb();
    std::string path = TempFile("a");
    ASSERT_TRUE(WriteBinFile(path).ok);
    ASSERT_TRUE(ReadBinFile(path).ok);
    FileErrors errors;

    atom* hit = GetAtom("poHitDe2020");
    ASSERT_EQ(hit->NumProp(), 3);
    int32_t pos = 0;
    ASSERT_TRUE(hit->GetFilePos(pos));
    EXPECT_TRUE(hit->LoadOnDemand());
    EXPECT_EQ(hit->NumProp(), 8);
    EXPECT_EQ(hit->props()[7]->atomVal(), GetAtom("naAnna"));
    EXPECT_EQ(hit->props()[7]->id(), -1);  // block properties stay out of the table
    // Loaded once: a second call does not even open the file.
    std::remove(path.c_str());
    EXPECT_TRUE(hit->LoadOnDemand());
    EXPECT_EQ(hit->NumProp(), 8);

    // An empty block leaves the atom with its three and reads again each time.
    atom* empty = GetAtom("poHitEmpty");
    EXPECT_EQ(empty->NumProp(), 3);
    Fakes().TakeAsserts();
    EXPECT_FALSE(empty->LoadOnDemand());
    EXPECT_EQ(Fakes().TakeAsserts(), std::vector<std::string>{"*** Assert: *** LoadOnDemand open"});
    EXPECT_EQ(empty->NumProp(), 3);
    EXPECT_TRUE(errors.seen.empty());
}

TEST(BinFile, AFailingBlockChangesNothing) {
    BuildSmallDb();
    std::string path = TempFile("a");
    ASSERT_TRUE(WriteBinFile(path).ok);
    ASSERT_TRUE(ReadBinFile(path).ok);
    atom* hit = GetAtom("poHitDe2020");
    int32_t pos = 0;
    ASSERT_TRUE(hit->GetFilePos(pos));
    std::vector<unsigned char> good = ReadBytes(path);
    FileErrors errors;

    struct Case {
        const char* what;
        int offset;  // from the block's first byte
        int64_t value;
        int width;
    };
    const Case cases[] = {
        {"end before its records", 0, pos + 6, 4},
        {"end past its records", 0, pos + 1000, 4},
        {"end before the block", 0, 0, 4},
        {"negative count", 4, -1, 2},
        {"count beyond the records", 4, 7, 2},
        {"kind atom beyond the table", 6, 99999, 4},
        {"negative kind atom", 6, -1, 4},
        {"string length 1001", 12, 1001, 2},
    };
    for (const Case& c : cases) {
        std::vector<unsigned char> bad = good;
        size_t at = static_cast<size_t>(pos - 1 + c.offset);
        for (int i = 0; i < c.width; ++i) bad[at + static_cast<size_t>(i)] = static_cast<unsigned char>(c.value >> (8 * i));
        WriteBytes(path, bad);
        errors.seen.clear();
        EXPECT_FALSE(hit->LoadOnDemand()) << c.what;
        EXPECT_EQ(hit->NumProp(), 3) << c.what;
        ASSERT_EQ(errors.seen.size(), 1u) << c.what;
        EXPECT_EQ(errors.seen[0].error, kStructError) << c.what;
        EXPECT_EQ(errors.seen[0].Message(), kMsgStructError) << c.what;
    }
    // A truncated file, and a position past the end.
    WriteBytes(path, std::vector<unsigned char>(good.begin(), good.begin() + pos + 8));
    EXPECT_FALSE(hit->LoadOnDemand());
    EXPECT_EQ(hit->NumProp(), 3);
    WriteBytes(path, good);
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

    atom* bare = A("poBare");
    Str(bare, "prText", "Ohne Position");
    EXPECT_FALSE(bare->LoadOnDemand());
    EXPECT_EQ(Fakes().TakeAsserts(), std::vector<std::string>{"*** Assert: *** LoadOnDemand filePos"});
    EXPECT_EQ(bare->NumProp(), 1);
}

TEST(BinFile, DeletedAtomsAreLeftOutAndTheRestRenumbered) {
    BuildSmallDb();
    atom* gone = GetAtom("naAnnaOld");
    int32_t goneId = gone->id();
    DeleteAtom(GetAtom("woGnade"));
    DeleteAtom(gone);
    std::string path = TempFile("a");
    ASSERT_TRUE(WriteBinFile(path).ok);
    std::vector<std::string> before;
    for (atom* a : atomTab)
        if (a != nothingAtom) before.push_back(a->name() + "|" + a->Text() + "|" + std::to_string(a->kind()));
    ASSERT_TRUE(ReadBinFile(path).ok);
    LoadAllOnDemand();
    std::vector<std::string> after;
    for (atom* a : atomTab) after.push_back(a->name() + "|" + a->Text() + "|" + std::to_string(a->kind()));
    EXPECT_EQ(after, before);
    EXPECT_EQ(numAtoms, numStrings);
    EXPECT_EQ(GetAtom("naAnnaOld"), nothingAtom);
    EXPECT_NE(AtomById(goneId), nothingAtom);  // the id now belongs to the next atom
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
             atom* k = A("prOdd");
             Str(GetAtom("naAnna"), "prOdd", "v");
             DeleteAtom(k);
         }},
        {"atom value deleted in a property with both values", [] { DeleteAtom(GetAtom("gnAnna")); }},
        {"hit parades without prFilePos", [] { DeleteAtom(GetAtom("prFilePos")); }},
        {"more than 32767 properties", [] {
             atom* a = GetAtom("naPeter");
             Prop* p = a->props()[0];
             for (int i = 0; i < 32768; ++i) a->AddProp(p);
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

TEST(BinFile, AMissingFileIsADiskErrorNotAStructureError) {
    RecordingObserver obs;
    DbStatus st = ReadBinFile("/nonexistent/Talv1Dat.bin", &obs);
    EXPECT_FALSE(st.ok);
    EXPECT_TRUE(st.openFailed);
    EXPECT_EQ(st.error, 53);
    EXPECT_EQ(st.Message(), 0);
    ASSERT_EQ(obs.failures.size(), 1u);
    EXPECT_EQ(obs.failures[0].path, "/nonexistent/Talv1Dat.bin");

    BuildSmallDb();
    DbStatus w = WriteBinFile("/nonexistent/folder/Talv1Dat.bin");
    EXPECT_FALSE(w.ok);
    EXPECT_GT(w.error, 0);
    EXPECT_LT(w.error, kStructError);
}

TEST(BinFile, ProgressEvery501StepsWhileLoading) {
    InitDataBase();
    char name[16];
    for (int i = 0; i < 1200; ++i) {
        std::snprintf(name, sizeof name, "na%04d", i);
        Str(A(name), "prText", name);
    }
    DeriveAll();
    std::string path = TempFile("a");
    ASSERT_TRUE(WriteBinFile(path).ok);
    struct Obs : RecordingObserver {
        std::vector<bool> loadingSeen;
        void Progress(double v) override {
            RecordingObserver::Progress(v);
            loadingSeen.push_back(loading);
        }
    } obs;
    ASSERT_TRUE(ReadBinFile(path, &obs).ok);
    // 3 header strings, 6 section names, 1201 names, ids, atom names and
    // property lists, 1200 property records: 6013 steps make 12 updates (one
    // each 501 steps), then the end.
    ASSERT_EQ(obs.progress.size(), 13u);
    EXPECT_TRUE(std::is_sorted(obs.progress.begin(), obs.progress.end()));
    EXPECT_LT(obs.progress[11], obs.max);
    EXPECT_EQ(obs.progress.back(), obs.max);
    EXPECT_EQ(std::count(obs.loadingSeen.begin(), obs.loadingSeen.end(), true), 13);
    EXPECT_FALSE(loading);
    std::remove(path.c_str());
}

TEST(BinFile, FailuresAreShownAsMessage33OrTheDiskError) {
    BuildSmallDb();
    std::string path = TempFile("a");
    ASSERT_TRUE(WriteBinFile(path).ok);
    ASSERT_TRUE(ReadBinFile(path).ok);
    atom* hit = GetAtom("poHitDe2020");
    int32_t pos = 0;
    ASSERT_TRUE(hit->GetFilePos(pos));
    std::vector<unsigned char> bad = ReadBytes(path);
    bad[static_cast<size_t>(pos - 1 + 4)] = 0x7F;  // a block count far beyond its records
    WriteBytes(path, bad);
    SetFileErrorHandler(nullptr);  // the program's own way: the message window
    EXPECT_FALSE(hit->LoadOnDemand());
    EXPECT_EQ(hit->NumProp(), 3);
    std::vector<Services::Message> shown = Fakes().TakeMessages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].number, kMsgStructError);
    EXPECT_EQ(shown[0].arg, path);

    DbStatus disk;
    disk.ok = false;
    disk.error = 61;
    disk.path = path;
    ShowFileError(disk);
    shown = Fakes().TakeMessages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].errNum, 61);
    EXPECT_FALSE(shown[0].question);
    std::remove(path.c_str());
}
