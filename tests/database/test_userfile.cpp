#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include "DbTestUtil.h"
#include "Fakes.h"
#include "FileOp.h"
#include "GenMsg.h"
#include "LowLevel.h"
#include "NewNames.h"
#include "TempFolder.h"
#include "TextConstants.h"
#include "UserFile.h"

using namespace DataBase;

namespace {

// The vocabulary the user's names need, as the binary database brings it.
void MakeVocabulary() {
    InitDataBase();
    for (const char* n : {"prText", "prTextE", "prGenName", "prNameVariant", "prMember", "prMemberOf",
                          "prSubsetOf", "prOrigin", "prLang", "prLangOf", "seMaleNames", "seFemaleNames",
                          "seUserNames", "laGerman", "prFilePos", "prGerman", "prOrigInfo", "prRelatedTo",
                          "prWriteVarOf", "seLinks"})
        CreateAtom(n);
    InitPropKinds();
}

// Three names of the user: one in a new group with an origin, one with an
// apostrophe in that group, one with accents and a sharp s.
void MakeUserNames() {
    using dbtest::Add;
    Add("gnAnnaUser", {{"prText", "Anna"}, {"prSubsetOf", "@seFemaleNames"}, {"prOrigin", "@orAnnaUser"}});
    Add("orAnnaUser", {{"prText", "Hebräisch"_cp}, {"prLang", "@laGerman"}});
    Add("naAnnikaUser", {{"prText", "Annika"}, {"prGenName", "@gnAnnaUser"}, {"prMemberOf", "@seUserNames"}});
    Add("naDArcyUser", {{"prText", "D'Arcy"}, {"prGenName", "@gnAnnaUser"}});
    Add("naZoeUser", {{"prText", "Zoë Weiß"_cp}});
    Add("seUserNames", {{"prMember", "@naAnnikaUser"}, {"prMember", "@naDArcyUser"}, {"prMember", "@naZoeUser"}});
}

class UserFileTest : public testing::Test {
protected:
    void SetUp() override {
        TextConstants::textLanguage = 1;
        savedFolder_ = LowLevel::DocumentsFolder;
        LowLevel::DocumentsFolder = [this](std::string& f) { return f = dir_.Path(), true; };
        pendingUserBackup.clear(), lastUserBackup.clear();
        userNamesChanged = false;
        MakeVocabulary();
    }
    void TearDown() override {
        LowLevel::DocumentsFolder = savedFolder_;
        pendingUserBackup.clear();
    }
    std::string FilePath() const { return dir_ / "Talv1User.txt"; }
    // Reads the file into a fresh database with the vocabulary only.
    void ReadFresh() {
        MakeVocabulary();
        ReadUserFile();
    }

    TempFolder dir_;
    std::function<bool(std::string&)> savedFolder_;
};

}  // namespace

TEST_F(UserFileTest, WriteReadWriteGivesTheSameBytesButTheTime) {
    MakeUserNames();
    ASSERT_TRUE(SaveUserNames());
    // The set, then each member after its group and the group's origin.
    std::string expected =
        "/* Talvessin V1.3, UserNames G0  19.03.2026 10:30:05\r\n"
        "   New names, entered by the user in the window 'New Names'\r\n"
        "   *** Generated file - do not edit manually! ***  */\r\n\r\n"
        "/* -- seUserNames -- */\r\nprop(prMember,seUserNames,naAnnikaUser).\r\n"
        "prop(prMember,seUserNames,naDArcyUser).\r\nprop(prMember,seUserNames,naZoeUser).\r\n\r\n"
        "/* -- gnAnnaUser -- */\r\nprop(prText,gnAnnaUser,\"Anna\").\r\n"
        "prop(prSubsetOf,gnAnnaUser,seFemaleNames).\r\nprop(prOrigin,gnAnnaUser,orAnnaUser).\r\n\r\n"
        "/* -- orAnnaUser -- */\r\nprop(prText,orAnnaUser,\"Hebr\xE4isch\").\r\nprop(prLang,orAnnaUser,laGerman).\r\n\r\n"
        "/* -- naAnnikaUser -- */\r\nprop(prText,naAnnikaUser,\"Annika\").\r\n"
        "prop(prGenName,naAnnikaUser,gnAnnaUser).\r\nprop(prMemberOf,naAnnikaUser,seUserNames).\r\n\r\n";
    std::string bytes = TempFolder::Get(FilePath());
    EXPECT_EQ(bytes.substr(0, expected.size()), expected);
    EXPECT_NE(bytes.find("/* -- naZoeUser -- */\r\nprop(prText,naZoeUser,\"Zo\xEB Wei\xDF\").\r\n\r\n"),
              std::string::npos);
    EXPECT_EQ(dir_.Count(), 1);  // no temporary file left
    // Read back, then written again: the same bytes but the time.
    ReadFresh();
    EXPECT_TRUE(Fakes().TakeMessageNumbers().empty());
    EXPECT_EQ(GetAtom("naZoeUser")->Text(), "Zoë Weiß"_cp);
    EXPECT_EQ(GetAtom("naDArcyUser")->Text(), "D'Arcy");
    EXPECT_EQ(GetAtom("naAnnikaUser")->kind(), 1);  // completed: its group is female
    EXPECT_EQ(numAllFemale, 2);                     // recounted (Zoë has no group)
    // The origin's language got its mirror.
    EXPECT_TRUE(GetAtom("laGerman")->HasProp(prLangOf, GetAtom("orAnnaUser")));

    Fakes().clock.now.second = 59;
    ASSERT_TRUE(SaveUserNames());
    std::string again = TempFolder::Get(FilePath());
    EXPECT_EQ(again.substr(0, 54), "/* Talvessin V1.3, UserNames G0  19.03.2026 10:30:59\r\n");
    EXPECT_EQ(again.substr(54), bytes.substr(54));

    TextConstants::textLanguage = 0;
    std::string german;
    WriteUserHeader(german);
    EXPECT_EQ(german.substr(0, 34), "/* Orsabrine V1.3, UserNames G0  1");
}

TEST_F(UserFileTest, AnotherRecordOfTheSameAtomReplacesItsProperties) {
    TempFolder::Put(FilePath(),
                    "/* -- gnX -- */\r\nprop(prText,gnX,\"One\").\r\nprop(prSubsetOf,gnX,seMaleNames).\r\n\r\n"
                    "/* -- gnX -- */\r\nprop(prText,gnX,\"Two\").\r\n");  // no empty line at the end
    ReadFresh();
    atom* x = GetAtom("gnX");
    ASSERT_EQ(x->NumProp(), 1);
    EXPECT_EQ(x->Text(), "Two");
    EXPECT_EQ(x->kind(), 99);
}

TEST_F(UserFileTest, LineEndsCrLfLfAndCrReadAlike) {
    std::string crlf =
        "/* header */\r\n\r\n/* -- naA -- */\r\nprop(prText,naA,\"A\").\r\n   \r\n/* a note */\r\n"
        "prop(prMemberOf,naA,seUserNames).\r\n\r\n/* -- naB -- */\r\n\r\nprop(prText,naB,\"B\").\r\n";
    for (const std::string end : {"\r\n", "\n", "\r"}) {
        SCOPED_TRACE(end == "\r" ? "CR" : end == "\n" ? "LF" : "CR LF");
        std::string bytes = crlf;
        for (size_t at = 0; (at = bytes.find("\r\n", at)) != std::string::npos; at += end.size())
            bytes.replace(at, 2, end);
        TempFolder::Put(FilePath(), bytes);
        ReadFresh();
        EXPECT_TRUE(Fakes().TakeMessageNumbers().empty());
        atom* a = GetAtom("naA");
        // A blank-only line and a comment inside the record are skipped.
        ASSERT_EQ(a->NumProp(), 2);
        EXPECT_EQ(a->Text(), "A");
        EXPECT_TRUE(a->HasProp(prMemberOf, seUserNames));
        // An empty line right after a marker ends the record: naB has nothing,
        // and its property line after that is outside every record.
        EXPECT_EQ(GetAtom("naB")->NumProp(), 0);
    }
}

TEST_F(UserFileTest, MalformedFilesFailWithMessage33AndAreKeptAside) {
    // Another atom's property, a missing comma or parenthesis, a number, no
    // value, a kind as a string, "nothing" as a value; bad markers.
    const char* records[] = {
        "/* -- naA -- */\r\nprop(prGenName,naOther,gnA).", "/* -- naA -- */\r\nprop(prGenName naA,gnA).",
        "/* -- naA -- */\r\nprop prGenName,naA,gnA).",     "/* -- naA -- */\r\nprop(prLevel,naA,-3).",
        "/* -- naA -- */\r\nprop(prText,naA,).",           "/* -- naA -- */\r\nprop(\"prText\",naA,\"A\").",
        "/* -- naA -- */\r\nprop(prGenName,naA,nothing).", "/* -- -- */\r\nprop(prText,naA,\"A\").",
        "/* -- naA */\r\nprop(prText,naA,\"A\").",        "/* -- Nothing -- */",  "/* -- na-A -- */",
    };
    for (const char* record : records) {
        SCOPED_TRACE(record);
        std::string bytes = std::string("/* -- naFirst -- */\r\nprop(prText,naFirst,\"First\").\r\n\r\n") + record + "\r\n";
        TempFolder::Put(FilePath(), bytes);
        std::filesystem::remove(FilePath() + ".bak");
        ReadFresh();
        EXPECT_EQ(Fakes().TakeMessageNumbers(), (std::vector<int>{33, kMsgUserFileBackup}));
        EXPECT_FALSE(createOnLookup);
        EXPECT_EQ(TempFolder::Get(FilePath() + ".bak"), bytes);
        // What was read before the fault stays, without its completion.
        EXPECT_EQ(GetAtom("naFirst")->NumProp(), 1);
        EXPECT_EQ(GetAtom("naFirst")->kind(), Basic::kNone);
    }
}

TEST_F(UserFileTest, SaveAfterAFailedReadKeepsTheUnreadRecordsInTheBackup) {
    std::string bytes = "/* -- naA -- */\r\nprop(prText,naA,\"A\").\r\n\r\n/* -- naB -- */\r\nbroken(\r\nprop(x\r\n";
    TempFolder::Put(FilePath(), bytes);
    // An older backup with other bytes is never overwritten: the copy gets
    // the time in its name.
    TempFolder::Put(FilePath() + ".bak", "older");
    ReadFresh();
    std::string copy = FilePath() + ".20260319-103005.bak";
    EXPECT_EQ(Fakes().TakeMessageNumbers(), (std::vector<int>{33, kMsgUserFileBackup}));
    EXPECT_EQ(lastUserBackup, copy);
    EXPECT_EQ(TempFolder::Get(copy), bytes);
    EXPECT_EQ(TempFolder::Get(FilePath() + ".bak"), "older");

    ASSERT_TRUE(SaveUserNames());
    EXPECT_EQ(TempFolder::Get(copy), bytes);
    // The same unreadable bytes in a later run find their copy and make no
    // second one.
    TempFolder::Put(FilePath(), bytes);
    ReadFresh();
    EXPECT_EQ(Fakes().TakeMessageNumbers(), (std::vector<int>{33, kMsgUserFileBackup}));
    EXPECT_EQ(lastUserBackup, copy);
    EXPECT_EQ(dir_.Count(), 3);
}

TEST_F(UserFileTest, WithoutItsBackupAnUnreadFileIsNeverReplaced) {
    std::string bytes = "/* -- naA -- */\r\nprop(prText,naB,\"A\").\r\n";
    TempFolder::Put(FilePath(), bytes);
    FileOp::TestFaults().commitErrno = ENOSPC, FileOp::TestFaults().commitTimes = 1;
    ReadFresh();
    // The copy failed: the disk error, and the backup stays pending.
    EXPECT_EQ(Fakes().TakeMessageNumbers(), (std::vector<int>{33, GenMsg::GMdiskFull}));
    EXPECT_EQ(pendingUserBackup, FilePath());
    // The save tries the copy again; the disk is still full, the user gives up.
    FileOp::TestFaults().commitTimes = 1;
    userNamesChanged = true;
    EXPECT_FALSE(SaveUserNames());
    EXPECT_EQ(Fakes().TakeMessageNumbers(), (std::vector<int>{GenMsg::GMdiskFull, GenMsg::GMretryUserSave}));
    EXPECT_TRUE(userNamesChanged);
    EXPECT_EQ(TempFolder::Get(FilePath()), bytes);
    EXPECT_EQ(dir_.Count(), 1);
    // Once the copy can be made, the save goes through.
    ASSERT_TRUE(SaveUserNames());
    EXPECT_EQ(Fakes().TakeMessageNumbers(), (std::vector<int>{kMsgUserFileBackup}));
    EXPECT_EQ(TempFolder::Get(FilePath() + ".bak"), bytes);
    EXPECT_FALSE(userNamesChanged);
}

TEST_F(UserFileTest, AFailedWriteLeavesTheOldFileAndAsksToRetry) {
    TempFolder::Put(FilePath(), "old names\r\n");
    MakeUserNames();
    userNamesChanged = true;
    FileOp::TestFaults().commitErrno = ENOSPC, FileOp::TestFaults().commitTimes = 2;
    // The file helper asks about the full disk (No), then the save asks
    // whether to try again (Yes); the second round fails likewise, and the
    // answers No, No end it.
    Fakes().messages.answers = {false, true, false, false};
    EXPECT_FALSE(SaveUserNames());
    EXPECT_EQ(Fakes().TakeMessageNumbers(), (std::vector<int>{GenMsg::GMdiskFull, GenMsg::GMretryUserSave,
                                                  GenMsg::GMdiskFull, GenMsg::GMretryUserSave}));
    EXPECT_EQ(TempFolder::Get(FilePath()), "old names\r\n");
    EXPECT_EQ(dir_.Count(), 1);
    EXPECT_TRUE(userNamesChanged);
}

TEST_F(UserFileTest, StringsThatCouldNotBeReadBackAreWrittenSafely) {
    dbtest::Add("naQ", {{"prText", "say \"hi\"\nnow"}});
    GetAtom("naQ")->AddProp(FindOrCreateProp(prGenName, nothingAtom, "", true));  // no line: its value is no atom
    dbtest::Add("seUserNames", {{"prMember", "stray"}, {"prMember", "@naQ"}});          // no line: a string member
    std::string out;
    WriteAtomRecord(out, GetAtom("naQ"));
    WriteAtomRecord(out, seUserNames);
    // Both values: an assertion, then the string.
    WriteUserProp(out, GetAtom("naQ"), FindOrCreateProp(prText, GetAtom("naQ"), "x", false));
    EXPECT_EQ(out, "/* -- naQ -- */\r\nprop(prText,naQ,\"say 'hi' now\").\r\n\r\n"
                   "/* -- seUserNames -- */\r\nprop(prMember,seUserNames,naQ).\r\n\r\nprop(prText,naQ,\"x\").\r\n");
    EXPECT_EQ(Fakes().TakeAsserts().size(), 1u);
}

TEST_F(UserFileTest, ANameWhoseGroupIsNoGroupIsLeftOutAndTheRestLoads) {
    // A hand-edited file: naBad's group is a language, naWorse's group is
    // unknown, naOld (a name the database had) is given a bad group too.
    dbtest::Add("naOld", {{"prText", "Old"}});
    const std::string bytes =
        "/* -- gnAnnaUser -- */\r\nprop(prText,gnAnnaUser,\"Anna\").\r\n"
        "prop(prSubsetOf,gnAnnaUser,seFemaleNames).\r\n\r\n"                                   // lines 1-4
        "/* -- naGood -- */\r\nprop(prText,naGood,\"Good\").\r\nprop(prGenName,naGood,gnAnnaUser).\r\n\r\n"  // 5-8
        "/* -- naBad -- */\r\nprop(prText,naBad,\"Bad\").\r\nprop(prGenName,naBad,laGerman).\r\n\r\n"        // 9-12
        "/* -- naWorse -- */\r\nprop(prGenName,naWorse,gnNowhere).\r\n\r\n"                                  // 13-15
        "/* -- naOld -- */\r\nprop(prGenName,naOld,laGerman).\r\n\r\n"                                      // 16-18
        "/* -- naAfter -- */\r\nprop(prText,naAfter,\"After\").\r\nprop(prGenName,naAfter,gnAnnaUser).\r\n";
    TempFolder::Put(FilePath(), bytes);
    ReadUserFile();  // into the vocabulary with naOld

    // One message naming the file and the lines, then the note of the copy;
    // no assertion box.
    auto shown = Fakes().TakeMessages();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].number, kMsgUserRecordDamaged);
    EXPECT_EQ(shown[0].arg, FilePath() + ", lines 11, 14, 17");
    EXPECT_EQ(shown[1].number, kMsgUserFileBackup);
    EXPECT_EQ(TempFolder::Get(FilePath() + ".bak"), bytes);
    EXPECT_TRUE(pendingUserBackup.empty());

    EXPECT_EQ(GetAtom("naGood")->kind(), 1);
    EXPECT_EQ(GetAtom("naAfter")->kind(), 1);
    EXPECT_EQ(GetAtom("naBad")->NumProp(), 0);
    EXPECT_EQ(GetAtom("naWorse")->NumProp(), 0);
    ASSERT_EQ(GetAtom("naOld")->NumProp(), 1);  // as the database had it
    EXPECT_EQ(GetAtom("naOld")->FirstProp(prText)->strVal(), "Old");
    EXPECT_EQ(numAllFemale, 2);
    EXPECT_EQ(TempFolder::Get(FilePath()), bytes);  // nothing written
}

TEST_F(UserFileTest, OnlyTheLastRecordOfANameDecidesAndABadOneRestoresTheStateBeforeTheFirst) {
    // naTwice: a good record, then a bad one: it keeps what the database had.
    // naMended: a bad record, then a good one: the good one counts.
    dbtest::Add("naTwice", {{"prText", "Before"}});
    const std::string bytes =
        "/* -- gnAnnaUser -- */\r\nprop(prText,gnAnnaUser,\"Anna\").\r\n"
        "prop(prSubsetOf,gnAnnaUser,seFemaleNames).\r\n\r\n"                                     // lines 1-4
        "/* -- naTwice -- */\r\nprop(prText,naTwice,\"One\").\r\nprop(prGenName,naTwice,gnAnnaUser).\r\n\r\n"  // 5-8
        "/* -- naMended -- */\r\nprop(prGenName,naMended,laGerman).\r\n\r\n"                                 // 9-11
        "/* -- naTwice -- */\r\nprop(prText,naTwice,\"Two\").\r\nprop(prGenName,naTwice,laGerman).\r\n\r\n"    // 12-15
        "/* -- naMended -- */\r\nprop(prText,naMended,\"Mended\").\r\nprop(prGenName,naMended,gnAnnaUser).\r\n";
    TempFolder::Put(FilePath(), bytes);
    ReadUserFile();

    auto shown = Fakes().TakeMessages();
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown[0].number, kMsgUserRecordDamaged);
    EXPECT_EQ(shown[0].arg, FilePath() + ", line 14");
    ASSERT_EQ(GetAtom("naTwice")->NumProp(), 1);
    EXPECT_EQ(GetAtom("naTwice")->FirstProp(prText)->strVal(), "Before");
    EXPECT_EQ(GetAtom("naMended")->kind(), 1);
    EXPECT_EQ(GetAtom("naMended")->FirstProp(prText)->strVal(), "Mended");
}

TEST_F(UserFileTest, AFileThatFailsToReadMidwayAddsNothingAndIsNotWritten) {
    const std::string bytes =
        "/* -- naFirst -- */\r\nprop(prText,naFirst,\"First\").\r\n\r\n"
        "/* -- naSecond -- */\r\nprop(prText,naSecond,\"Second\").\r\n\r\n";
    struct Case {
        const char* what;
        int openErrno, readErrno;
        long long readAfter;
        int message;
    } cases[] = {
        {"open refused", EACCES, 0, 0, GenMsg::GMpermissionDenied},
        {"read fails in the first record", 0, EIO, 30, GenMsg::GMinternalDiskError},
        {"read fails in the last line", 0, EIO, static_cast<long long>(bytes.size()) - 3, GenMsg::GMinternalDiskError},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder::Put(FilePath(), bytes);
        std::filesystem::remove(FilePath() + ".bak");
        pendingUserBackup.clear();
        MakeVocabulary();
        const int32_t atomsBefore = numAtoms;
        FileOp::TestFaults() = FileOp::Faults{};
        FileOp::TestFaults().openErrno = c.openErrno, FileOp::TestFaults().openTimes = c.openErrno ? 1 : 0;
        FileOp::TestFaults().readErrno = c.readErrno, FileOp::TestFaults().readTimes = c.readErrno ? 1 : 0;
        FileOp::TestFaults().readAfter = c.readAfter;
        ReadUserFile();
        // The failure's message (a refused open asks to retry: No), then
        // the note of the copy kept aside.
        auto numbers = Fakes().TakeMessageNumbers();
        ASSERT_EQ(numbers.size(), 2u);
        EXPECT_EQ(numbers[0], c.message);
        EXPECT_EQ(numbers[1], kMsgUserFileBackup);
        EXPECT_EQ(numAtoms, atomsBefore);  // nothing half-loaded
        EXPECT_FALSE(createOnLookup);
        EXPECT_EQ(TempFolder::Get(FilePath()), bytes);  // nothing written
        EXPECT_EQ(TempFolder::Get(FilePath() + ".bak"), bytes);
    }
}

TEST_F(UserFileTest, ALineCutOffIsADamagedFile) {
    // A file cut off in the middle of a line: the cut line is never taken as
    // whole (an unclosed string, half a name, a line without its ").").
    const std::string before = "/* -- naFirst -- */\r\nprop(prText,naFirst,\"First\").\r\n\r\n/* -- naA -- */\r\n";
    for (const char* cut : {"prop(prText,naA,\"Ann", "prop(prGenName,naA,gnAn", "prop(prText,naA,\"Anna\"",
                            "prop(prText,naA,\"Anna\")"}) {
        SCOPED_TRACE(cut);
        TempFolder::Put(FilePath(), before + cut);
        std::filesystem::remove(FilePath() + ".bak");
        ReadFresh();
        EXPECT_EQ(Fakes().TakeMessageNumbers(), (std::vector<int>{33, kMsgUserFileBackup}));
        EXPECT_EQ(TempFolder::Get(FilePath() + ".bak"), before + cut);
        EXPECT_EQ(GetAtom("naA")->NumProp(), 0);
        EXPECT_EQ(GetAtom("naFirst")->NumProp(), 1);
    }
    // Whole up to its ")." the last line reads without a line end after it.
    TempFolder::Put(FilePath(), before + "prop(prText,naA,\"Anna\").");
    ReadFresh();
    EXPECT_TRUE(Fakes().TakeMessageNumbers().empty());
    EXPECT_EQ(GetAtom("naA")->Text(), "Anna");
}

TEST_F(UserFileTest, TextsLongerThanTheWindowAllowsAreCutWithOneMessage) {
    // A name of 100,000 letters here (bench_database reads one of 10 MB): a
    // name text is taken up to 35 characters, any other up to 1000.
    const std::string bytes =
        "/* -- orLongUser -- */\r\nprop(prText,orLongUser,\"" + std::string(100000, 'N') + "\").\r\n"
        "prop(prGerman,orLongUser,\"" + std::string(1001, 'g') + "\").\r\n"
        "prop(prOrigInfo,orLongUser,\"" + std::string(1000, 'i') + "\").\r\n\r\n"
        "/* -- naLongUser -- */\r\nprop(prText,naLongUser,\"" + std::string(35, 'a') + "\").\r\n"
        "prop(prTextE,naLongUser,\"" + std::string(36, 'e') + "\").\r\n";
    TempFolder::Put(FilePath(), bytes);
    ReadUserFile();
    // Every name was read: the one message, and no copy kept aside.
    const auto shown = Fakes().TakeMessages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].number, kMsgUserTextCut);
    EXPECT_EQ(shown[0].arg, "3 texts");
    EXPECT_EQ(dir_.Count(), 1);
    EXPECT_TRUE(pendingUserBackup.empty());
    atom* origin = GetAtom("orLongUser");
    EXPECT_EQ(origin->Text(), std::string(NewNames::kMaxName, 'N'));
    EXPECT_EQ(origin->FirstProp(prGerman)->strVal().size(), NewNames::kMaxInfo);
    EXPECT_EQ(origin->FirstProp(prOrigInfo)->strVal().size(), NewNames::kMaxInfo);
    EXPECT_EQ(GetAtom("naLongUser")->FirstProp(prText)->strVal(), std::string(35, 'a'));
    EXPECT_EQ(GetAtom("naLongUser")->FirstProp(prTextE)->strVal(), std::string(35, 'e'));

    TempFolder::Put(FilePath(), "/* -- naX -- */\r\nprop(prText,naX,\"" + std::string(36, 'x') + "\").\r\n");
    ReadFresh();
    EXPECT_EQ(Fakes().TakeMessages().at(0).arg, "1 text");

    // A character is a byte of code page 1252, also where two or three of
    // them would make one character in UTF-8: "\xC4\x9A" is "\xC4" and "\x9A".
    TempFolder::Put(FilePath(), "/* -- naE -- */\r\nprop(prText,naE,\"" + std::string(34, 'a') + "\xC4\x9A" "bc\").\r\n"
                                "prop(prTextE,naE,\"" + std::string(33, 'e') + "\xE2\x82\xAC\").\r\n");
    ReadFresh();
    EXPECT_EQ(Fakes().TakeMessages().at(0).arg, "2 texts");
    EXPECT_EQ(GetAtom("naE")->FirstProp(prText)->strVal(), std::string(34, 'a') + "\xC4");
    EXPECT_EQ(GetAtom("naE")->FirstProp(prTextE)->strVal(), std::string(33, 'e') + "\xE2\x82");
}

TEST_F(UserFileTest, AFullNameTableStopsTheReadWithOneMessageAndKeepsWhatWasRead) {
    // Room for ten names: the set takes six, the groups of the first four
    // the other four (a file of 20,000 names meets this on a small database).
    {
        NameBatch batch;
        for (int i = 0; nextId < kAtomIdLimit - 10; ++i) CreateAtom("xxFill" + std::to_string(i));
    }
    std::string bytes = "/* -- seUserNames -- */\r\n";
    for (int i = 1; i <= 6; ++i) bytes += "prop(prMember,seUserNames,naU" + std::to_string(i) + "User).\r\n";
    bytes += "\r\n";
    for (int i = 1; i <= 6; ++i) {
        const std::string n = std::to_string(i);
        bytes += "/* -- gnU" + n + "User -- */\r\nprop(prSubsetOf,gnU" + n + "User,seFemaleNames).\r\n\r\n";
        bytes += "/* -- naU" + n + "User -- */\r\nprop(prText,naU" + n + "User,\"U" + n + "\").\r\n" +
                 "prop(prGenName,naU" + n + "User,gnU" + n + "User).\r\n\r\n";
    }
    TempFolder::Put(FilePath(), bytes);
    ReadUserFile();
    EXPECT_EQ(Fakes().TakeMessageNumbers(), (std::vector<int>{GenMsg::GMuserNoRoom, kMsgUserFileBackup}));
    EXPECT_TRUE(Fakes().TakeAsserts().empty());
    EXPECT_EQ(TempFolder::Get(FilePath() + ".bak"), bytes);
    const std::vector<atom*> kept = NewNames::All();
    ASSERT_EQ(kept.size(), 4u);
    EXPECT_EQ(kept[3]->Text(), "U4");
    EXPECT_EQ(kept[3]->kind(), 1);
    EXPECT_EQ(numAllFemale, 4);
    // The names not reached leave the set: a save writes what was read.
    ASSERT_TRUE(SaveUserNames());
    const std::string saved = TempFolder::Get(FilePath());
    EXPECT_NE(saved.find("/* -- naU4User -- */"), std::string::npos);
    EXPECT_EQ(saved.find("naU5User"), std::string::npos);
}

TEST_F(UserFileTest, ARecordThatMakesOrChangesALinkIsLeftOut) {
    dbtest::Add("liMaker", {{"prText", "Maker"}, {"prMemberOf", "@seLinks"}, {"prRelatedTo", "https://example.org/"}});
    EvalKinds(0);
    const std::string bytes =
        "/* -- liMaker -- */\r\nprop(prRelatedTo,liMaker,\"file:///etc/passwd\").\r\n"
        "prop(prMemberOf,liMaker,seLinks).\r\n\r\n"                                                         // 1-4
        "/* -- liPlanted -- */\r\nprop(prRelatedTo,liPlanted,\"mailto:a@b.org?attach=/etc/passwd\").\r\n"
        "prop(prMemberOf,liPlanted,seLinks).\r\n\r\n"                                                       // 5-8
        "/* -- naSneaky -- */\r\nprop(prRelatedTo,naSneaky,\"../../etc/passwd\").\r\n"
        "prop(prWriteVarOf,naSneaky,liMaker).\r\n\r\n"                                                      // 9-12
        "/* -- naGood -- */\r\nprop(prText,naGood,\"Good\").\r\nprop(prRelatedTo,naGood,liMaker).\r\n";  // 13-15
    TempFolder::Put(FilePath(), bytes);
    ReadUserFile();
    const auto shown = Fakes().TakeMessages();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].number, kMsgUserRecordDamaged);
    EXPECT_EQ(shown[0].arg, FilePath() + ", lines 1, 7, 11");
    EXPECT_EQ(shown[1].number, kMsgUserFileBackup);
    EXPECT_EQ(TempFolder::Get(FilePath() + ".bak"), bytes);
    // The maker's link as the database has it; no other link.
    atom* maker = GetAtom("liMaker");
    EXPECT_EQ(maker->kind(), 12);
    EXPECT_EQ(maker->FirstProp(prRelatedTo)->strVal(), "https://example.org/");
    for (const char* n : {"liPlanted", "naSneaky"}) {
        EXPECT_EQ(GetAtom(n)->NumProp(), 0) << n;
        EXPECT_NE(GetAtom(n)->kind(), 12) << n;
    }
    EXPECT_EQ(GetAtom("naGood")->Text(), "Good");  // a name may point at the maker's link
}
