// Two runs of one edition saving the user-names file, the other run a
// process of its own: a save keeps the names the other run added, follows
// what only the other run changed, keeps what this run deleted deleted, and
// where both changed one name differently keeps the other run's file aside
// and says so.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <optional>

#include "DataBase.h"
#include "Fakes.h"
#include "FileLock.h"
#include "FileOp.h"
#include "GenMsg.h"
#include "LowLevel.h"
#include "NewNames.h"
#include "OtherRun.h"
#include "TempFolder.h"
#include "TextConstants.h"
#include "UserFile.h"

using namespace DataBase;

namespace {

using Meaning = std::optional<std::string>;

// The documents folder of the test's runs: a fresh folder of its own.
struct Documents {
    TempFolder dir;
    std::function<bool(std::string&)> saved = LowLevel::DocumentsFolder;
    Documents() {
        LowLevel::DocumentsFolder = [this](std::string& f) { return f = dir.Path(), true; };
        TextConstants::textLanguage = 1;
        pendingUserBackup.clear(), lastUserBackup.clear();
    }
    ~Documents() {
        LowLevel::DocumentsFolder = saved;
        userNamesChanged = false;
    }
};

class UserFileMergeTest : public testing::Test {
protected:
    // A new run: the database's vocabulary, then the user-names file.
    static void StartRun() {
        InitDataBase();
        for (const std::string& n : KindAtomNames()) CreateAtom(n);
        InitPropKinds();
        ReadUserFile();
    }
    static void Create(const std::string& text, const std::string& meaning) {
        NewNames::Entry e;
        e.text = text;
        e.german = meaning;
        ASSERT_EQ(NewNames::Create(e), NewNames::Result::Done) << text;
    }
    static void Modify(const std::string& text, const std::string& meaning) {
        NewNames::Entry e = NewNames::Read(NewNames::Find(text));
        e.german = meaning;
        ASSERT_EQ(NewNames::Modify(e), NewNames::Result::Done) << text;
    }
    static void Delete(const std::string& text) { ASSERT_EQ(NewNames::Delete(text), NewNames::Result::Done) << text; }
    // The meaning of a user's name, nothing when there is no such name.
    static Meaning Of(const std::string& text) {
        atom* a = NewNames::Find(text);
        return a ? Meaning(NewNames::Read(a).german) : std::nullopt;
    }
    std::string FilePath() const { return docs_.dir / "Talv1User.txt"; }

    Documents docs_;
    TempFolder& dir_ = docs_.dir;
};

// Messages that run `meanwhile` while each is up (meanwhileOk: it always
// returned true), every question answered Yes; the test's own until it ends.
struct WhileShown : Services::MessageBoxes {
    explicit WhileShown(std::function<bool()> meanwhile) : meanwhile_(std::move(meanwhile)) {
        Services::Set set = saved_;
        set.messages = this;
        Services::Install(set);
    }
    ~WhileShown() override { Services::Install(saved_); }
    bool ShowMessage(const Services::Message& m) override {
        shown.push_back(m.number);
        meanwhileOk = meanwhile_() && meanwhileOk;
        return true;
    }
    std::vector<int> shown;
    bool meanwhileOk = true;

private:
    std::function<bool()> meanwhile_;
    const Services::Set saved_ = Services::Get();
};

}  // namespace

TEST_F(UserFileMergeTest, TwoRunsSavingAtTheSameTimeLoseNoName) {
    StartRun();
    constexpr int kPerRun = 8;
    auto enter = [](const char* run) {
        return [run] {
            for (int i = 0; i < kPerRun; ++i) {
                Create(std::string(run) + static_cast<char>('a' + i), "");
                if (!SaveUserNames()) return false;
            }
            return true;
        };
    };
    OtherRun one(enter("Ada")), two(enter("Bea"));
    one.Start();
    two.Start();
    ASSERT_TRUE(one.Wait());
    ASSERT_TRUE(two.Wait());
    StartRun();
    EXPECT_EQ(NewNames::All().size(), 2u * kPerRun);
    EXPECT_TRUE(Of("Adah") && Of("Beah"));
    EXPECT_EQ(dir_.Count(), 1);  // no lock file and no copy left beside it
}

// Both runs start on the file with Paula ("old") and Quentin ("old"). The
// other run (there) saves its change first, then this run (here) saves.
TEST_F(UserFileMergeTest, EachNameIsTheVersionOfTheRunThatChangedIt) {
    using Act = std::function<void()>;
    struct Case {
        const char* what;
        Act here, there;
        Meaning paula, quentin, xena, yara;
        bool toldAndKept;
    } cases[] = {
        {"added in both: all kept", [] { Create("Yara", "y"); }, [] { Create("Xena", "x"); }, "old", "old", "x", "y",
         false},
        {"deleted there: stays deleted, also after a second save here",
         [] {
             Create("Yara", "y");
             SaveUserNames();
             Modify("Quentin", "here");
         },
         [] { Delete("Paula"); }, std::nullopt, "here", std::nullopt, "y", false},
        {"deleted here: stays deleted", [] { Delete("Paula"); }, [] { Create("Xena", "x"); }, std::nullopt, "old", "x",
         std::nullopt, false},
        {"deleted here, changed there since: the other run's version stays", [] { Delete("Paula"); },
         [] { Modify("Paula", "there"); }, "there", "old", std::nullopt, std::nullopt, false},
        {"changed there only: the other run's version", [] { Modify("Quentin", "here"); },
         [] { Modify("Paula", "there"); }, "there", "here", std::nullopt, std::nullopt, false},
        {"changed in both: this run's version, the other's file kept aside", [] { Modify("Paula", "here"); },
         [] { Modify("Paula", "there"); }, "here", "old", std::nullopt, std::nullopt, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(dir_.Path());
        std::filesystem::create_directories(dir_.Path());
        StartRun();
        Create("Paula", "old");
        Create("Quentin", "old");
        ASSERT_TRUE(SaveUserNames());
        StartRun();
        OtherRun there([&] {
            c.there();
            return SaveUserNames();
        });
        ASSERT_TRUE(there.Run());
        c.here();
        ASSERT_TRUE(SaveUserNames());
        EXPECT_EQ(Fakes().TakeMessageNumbers(), c.toldAndKept ? std::vector<int>{kMsgUserFileMerged} : std::vector<int>{});
        if (c.toldAndKept) {
            EXPECT_NE(TempFolder::Get(FilePath() + ".bak").find("\"there\""), std::string::npos);
        }

        StartRun();
        EXPECT_EQ(Of("Paula"), c.paula);
        EXPECT_EQ(Of("Quentin"), c.quentin);
        EXPECT_EQ(Of("Xena"), c.xena);
        EXPECT_EQ(Of("Yara"), c.yara);
        EXPECT_EQ(dir_.Count(), c.toldAndKept ? 2 : 1);
    }
}

// A file the other run left that cannot be taken apart is kept aside, and
// this run's names are saved; a damaged file this run has read as it is
// needs no second copy and no word.
TEST_F(UserFileMergeTest, AFileThatCannotBeMergedIsKeptAside) {
    StartRun();
    Create("Paula", "old");
    ASSERT_TRUE(SaveUserNames());
    StartRun();
    const std::string damaged = "/* -- naPaulaUser -- */\r\nprop(prText,naPaulaUser,\"Paula\").\r\n\r\n/* -- x */\r\n";
    TempFolder::Put(FilePath(), damaged);
    Create("Yara", "y");
    ASSERT_TRUE(SaveUserNames());
    EXPECT_EQ(Fakes().TakeMessageNumbers(), std::vector<int>{kMsgUserFileMerged});
    EXPECT_EQ(TempFolder::Get(FilePath() + ".bak"), damaged);
    StartRun();
    EXPECT_TRUE(Of("Paula") && Of("Yara"));

    TempFolder::Put(FilePath(), damaged);
    StartRun();
    EXPECT_EQ(Fakes().TakeMessageNumbers(), (std::vector<int>{33, kMsgUserFileBackup}));
    ASSERT_TRUE(SaveUserNames());
    EXPECT_TRUE(Fakes().TakeMessageNumbers().empty());
    EXPECT_EQ(dir_.Count(), 2);
}

// This run's save fails and asks whether to try again; meanwhile the other
// run saves, at once (nothing of this run holds the lock while it asks), and
// the Yes merges anew: both runs' names are in the file.
TEST_F(UserFileMergeTest, AnotherRunSavesWhileThisRunAsksAboutItsFailedSave) {
    StartRun();
    OtherRun there([] {
        Create("Otto", "");
        return SaveUserNames() && FileOp::FileLock::Waits() == 0;
    });
    Create("Hanna", "");
    WhileShown messages([&] { return there.Run(); });
    FileOp::TestFaults().commitErrno = ENOSPC, FileOp::TestFaults().commitTimes = 1;
    EXPECT_TRUE(SaveUserNames());
    EXPECT_EQ(messages.shown, std::vector<int>{GenMsg::GMdiskFull});
    EXPECT_TRUE(messages.meanwhileOk);
    StartRun();
    EXPECT_TRUE(Of("Otto") && Of("Hanna"));
}

// What the start-up read found (a record left out, a text cut, the copy kept
// aside) is told with the file's lock given back: another run has it meanwhile.
TEST_F(UserFileMergeTest, TheStartUpMessagesComeWithTheLockGivenBack) {
    TempFolder::Put(FilePath(), "/* -- naLinked -- */\r\nprop(prMemberOf,naLinked,seLinks).\r\n\r\n"
                                "/* -- naLong -- */\r\nprop(prText,naLong,\"" + std::string(40, 'L') + "\").\r\n");
    WhileShown messages([&] { return OtherRun([&] { return FileOp::FileLock(FilePath(), 0).Held(); }).Run(); });
    StartRun();
    EXPECT_EQ(messages.shown, (std::vector<int>{kMsgUserRecordDamaged, kMsgUserTextCut, kMsgUserFileBackup}));
    EXPECT_TRUE(messages.meanwhileOk);
}
