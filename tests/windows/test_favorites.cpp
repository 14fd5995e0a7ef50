// The favorites window: its table, comments, files, the saving by itself, and
// favorites that follow the user's own names.
#include "Atom.h"
#include "BinFile.h"
#include "DataBase.h"
#include "Fakes.h"
#include "FavoriteRules.h"
#include "FileOp.h"
#include "FormControls.h"
#include "GenMsg.h"
#include "ListFile.h"
#include "LowLevel.h"
#include "NewNames.h"
#include "Options.h"
#include "ResultViews.h"
#include "Services.h"
#include "TempFolder.h"
#include "UserFile.h"
#include "WindowsFixture.h"
#include "windows/lists/Favorites.h"
#include "windows/lists/OutputWindows.h"
#include "windows/lists/UserNames.h"
#include "windows/info/SingleName.h"

namespace {

// A store that refuses every write while `refuse` is set.
class RefusingStore : public MemorySettingsStore {
public:
    bool Write(const std::string& key, const std::string& name, const std::string& value) override {
        return !refuse && MemorySettingsStore::Write(key, name, value);
    }
    bool refuse = false;
};

class FavoritesTest : public ListMgrTest {
protected:
    void SetUp() override {
        ListMgrTest::SetUp();
        saved_ = Services::Get();
        Services::Set s = saved_;
        s.settings = &store;
        Services::Install(s);
        FileOp::SetListFileFormat(&ListFile::TheFormat());
        Options::FavAutoSaveInfo = false;
        At(10, 30);
    }
    void TearDown() override {
        ListMgrTest::TearDown();
        Services::Install(saved_);
    }
    Favorites& Fav() { return Form<Favorites>("Favorites"); }
    static void At(int hour, int minute) {
        Fakes().clock.now.hour = hour;
        Fakes().clock.now.minute = minute;
    }
    std::vector<std::string> Lines() {
        std::vector<std::string> out;
        const ResultSet& t = *Fav().table();
        for (int32_t i = 0; i < t.numLines(); ++i) out.push_back(t.line(i));
        return out;
    }
    std::optional<std::string> Stored() { return store.Read(Options::RegBaseKey + "Sets", "Favorites"); }
    void Comment(int32_t line, const std::string& text) {
        Fav().table()->markLine(line);
        Fav().ControlAs<TextBox>("Comment")->SetText(text);
        Fav().ControlAs<CommandButton>("DoModify")->Press();
    }
    // A list file of n favorites (the first n names of the table).
    std::string ListFileOf(int n) {
        ResultSet rs;
        rs.InitInt();
        for (int32_t i = 0; i < DataBase::numAtoms && rs.numLines() < n; ++i)
            if (atom* a = DataBase::atomTab[static_cast<size_t>(i)]; a && a->isName()) rs.AddResult(a->Text(), "", a);
        const std::string path = folder / ("fav" + std::to_string(n) + ".onl");
        EXPECT_TRUE(rs.Save(path));
        return path;
    }

    RefusingStore store;
    TempFolder folder;

private:
    Services::Set saved_;
};

TEST_F(FavoritesTest, AddedAndTypedNamesAGroupAsItsOwnNameAndAFullTable) {
    Favorites& w = Fav();
    EXPECT_FALSE(w.isModified);
    w.Add(A("naJohannes"));
    w.Add(A("gnMaria"));  // the group's name of the same text ("Mary" in English)
    const std::string group = A("gnMaria")->Text();
    EXPECT_EQ(Lines(), (std::vector<std::string>{"Johannes", group}));
    EXPECT_TRUE(w.table()->atom(1)->isName());
    EXPECT_EQ(w.ControlAs<TextBox>("CurName")->Text(), group);
    EXPECT_TRUE(w.isModified);

    w.isModified = false;
    w.ShowAtom(A("naJohannes"));  // there already: marked, nothing changes
    EXPECT_EQ(w.table()->marked(), 0);
    EXPECT_FALSE(w.isModified);
    w.Add(A("gnMaria"));
    EXPECT_EQ(w.table()->marked(), 1);
    EXPECT_EQ(w.table()->numLines(), 2);
    EXPECT_TRUE(Fakes().TakeAsserts().empty());

    // A typed name is looked up; blanks look nothing up.
    w.ControlAs<TextBox>("CurName")->SetText("Marie");
    w.EnterFav_Click();
    EXPECT_EQ(Lines(), (std::vector<std::string>{"Johannes", group, "Marie"}));
    w.ControlAs<TextBox>("CurName")->SetText("   ");
    w.EnterFav_Click();
    EXPECT_EQ(w.table()->numLines(), 3);

    for (int32_t i = 0; i < DataBase::numAtoms && w.table()->numLines() < FavoriteRules::kMaxFavorites; ++i)
        if (atom* a = DataBase::atomTab[static_cast<size_t>(i)]; a && a->isName()) w.Add(a);
    ASSERT_EQ(w.table()->numLines(), 100);
    w.Add(A("naClara"));
    EXPECT_EQ(Fakes().TakeMessageNumbers(), std::vector<int>{GenMsg::GMfavFull});
    EXPECT_EQ(w.table()->numLines(), 100);
}

TEST_F(FavoritesTest, CommentsKeepQuotesCommasAndPercentsThroughStoreAndFile) {
    Favorites& w = Fav();
    w.Add(A("naMaria"));
    w.Add(A("naJohannes"));
    w.Add(A("naMarie"));
    Comment(0, "a \"quoted\" name, 100% nice");
    Comment(1, "");
    const std::vector<std::string> want = {"Maria\ta 'quoted' name, 100% nice", "Johannes\t", "Marie"};
    EXPECT_EQ(Lines(), want);
    w.table()->markLine(1);
    w.List_ItemClick();
    EXPECT_EQ(w.ControlAs<TextBox>("Comment")->Text(), "");

    // The window's close writes the table; it comes back on the next load.
    EXPECT_FALSE(Stored());
    w.Unload(UnloadMode::User);
    EXPECT_TRUE(Stored());
    EXPECT_EQ(Lines(), want);

    // A list file and back, with the one-time note at the first file save.
    const std::string path = folder / "fav.onl";
    Fakes().dialogs.saveAnswers.push_back(path);
    Fav().SaveFav_Click();
    EXPECT_EQ(Fakes().TakeMessageNumbers(), std::vector<int>{GenMsg::GMfavAutoSave});
    EXPECT_TRUE(Options::FavAutoSaveInfo);
    Fav().Add(A("naJohannes"));
    Fav().DoDelete_Click();
    Fakes().Answer({true});
    Fakes().dialogs.openAnswers.push_back(path);
    Fav().LoadFav_Click();
    EXPECT_EQ(Fakes().TakeMessageNumbers(), std::vector<int>{GenMsg::GMoverwriteFav});
    EXPECT_EQ(Lines(), want);
    EXPECT_EQ(Fav().table()->marked(), 0);
    EXPECT_TRUE(Fav().isModified);
}

TEST_F(FavoritesTest, AListFileReplacesTheTableOnlyWithAHundredNamesAtMost) {
    Favorites& w = Fav();
    w.Add(A("naMaria"));
    const std::string hundred = ListFileOf(100), tooMany = ListFileOf(101);

    Fakes().Answer({false});  // not overwritten
    w.LoadFav_Click();
    Fakes().Answer({true});  // dialog cancelled
    w.LoadFav_Click();
    EXPECT_EQ(Fakes().TakeMessageNumbers(), (std::vector<int>{GenMsg::GMoverwriteFav, GenMsg::GMoverwriteFav}));
    Fakes().Answer({true});
    Fakes().dialogs.openAnswers.push_back(tooMany);
    w.LoadFav_Click();
    EXPECT_EQ(Fakes().TakeMessageNumbers(), (std::vector<int>{GenMsg::GMoverwriteFav, GenMsg::GMtooManyFav}));
    EXPECT_EQ(Lines(), std::vector<std::string>{"Maria"});

    Fakes().Answer({true});
    Fakes().dialogs.openAnswers.push_back(hundred);
    w.LoadFav_Click();
    Fakes().TakeMessageNumbers();
    EXPECT_EQ(w.table()->numLines(), 100);
    // Saved to a file, such a table loads back.
    w.Unload();
    EXPECT_EQ(Fav().table()->numLines(), 100);
}

// Where the marked line goes at each edge is the table's
// (ResultSetTest.DeletesAndMovesAtTheEdges); the window shows it, fills its
// boxes from it and counts every press as a change.
TEST_F(FavoritesTest, MovingAndDeletingShowTheMarkedLineAndCountAsChanges) {
    Favorites& w = Fav();
    for (const char* n : {"naMaria", "naJohannes", "naMarie"}) w.Add(A(n));
    w.isModified = false;
    w.table()->markLine(0);
    w.MoveUp_Click();  // at the top: nothing moves, yet it counts as a change
    EXPECT_TRUE(w.isModified);
    w.MoveDown_Click();
    EXPECT_EQ(Lines(), (std::vector<std::string>{"Johannes", "Maria", "Marie"}));
    EXPECT_EQ(w.table()->marked(), 1);
    w.DoDelete_Click();
    EXPECT_EQ(Lines(), (std::vector<std::string>{"Johannes", "Marie"}));
    EXPECT_EQ(w.ControlAs<TextBox>("CurName")->Text(), "Marie");
    w.DoDelete_Click();
    w.DoDelete_Click();
    w.DoDelete_Click();  // nothing left, nothing marked
    EXPECT_TRUE(Lines().empty());
    EXPECT_EQ(w.ControlAs<TextBox>("CurName")->Text(), "");
    EXPECT_TRUE(Fakes().TakeAsserts().empty());
}

// The minute rule itself is pinned apart from the window; here the timer
// follows it, and a refused write waits for the next tick.
TEST_F(FavoritesTest, TheTimerSavesTwoMinutesAfterTheLastChangeAndRetriesARefusedWrite) {
    Favorites& w = Fav();
    At(11, 59);
    w.Add(A("naMarie"));
    At(12, 0);
    w.SaveTimer_Timer();
    EXPECT_TRUE(w.isModified);
    EXPECT_FALSE(Stored());
    store.refuse = true;
    At(12, 1);
    w.SaveTimer_Timer();
    EXPECT_TRUE(w.isModified);  // still to be written
    store.refuse = false;
    At(12, 2);
    w.SaveTimer_Timer();
    EXPECT_FALSE(w.isModified);
    EXPECT_NE(Stored()->find("naMarie"), std::string::npos);
    EXPECT_TRUE(Fakes().TakeAsserts().empty());
}

// A name this run does not know (deleted before it started, or made by
// another run since) keeps its line, its comment and its internal name; Show
// looks its text up as if typed.
TEST_F(FavoritesTest, AFavoriteWhoseNameIsUnknownKeepsItsLineAndComment) {
    ASSERT_TRUE(store.Write(Options::RegBaseKey + "Sets", "Favorites",
                            "0,2,Maria%09first,,naMaria,Zyxa%09my%20own%20name,,naZyxaUser,//"));
    Favorites& w = Fav();
    EXPECT_EQ(Lines(), (std::vector<std::string>{"Maria\tfirst", "Zyxa\tmy own name"}));
    w.table()->markLine(1);
    w.List_ItemClick();
    EXPECT_EQ(w.ControlAs<TextBox>("CurName")->Text(), "Zyxa");
    EXPECT_EQ(w.ControlAs<TextBox>("Comment")->Text(), "my own name");
    Options::UserNamesInfo = true;
    w.ShowInfo_Click();
    EXPECT_EQ(Fakes().TakeMessageNumbers(), std::vector<int>{GenMsg::GMnothingFound});
    EXPECT_EQ(Names().shows, 0);
    w.table()->markLine(0);
    w.List_ItemClick();
    w.ShowInfo_Click();
    EXPECT_EQ(Names().shownAtom, A("naMaria"));
    w.MoveDown_Click();
    w.Unload();
    EXPECT_EQ(Stored(), "0,2,Zyxa%09my%20own%20name,,naZyxaUser,Maria%09first,,naMaria,//");
}

// A change in New Names is a delete and a create under the same internal
// name: the favorite takes the name made anew. A name deleted leaves its
// favorite as a name the run does not know, with its comment, whether the
// window was open at the delete or not.
class FavoritesAndNewNamesTest : public FavoritesTest {
protected:
    void SetUp() override {
        FavoritesTest::SetUp();
        savedFolder_ = LowLevel::DocumentsFolder;
        LowLevel::DocumentsFolder = [this](std::string& f) { return f = folder.Path(), true; };
        OutputWindows::Register();
    }
    // A fresh sample database for the tests after, once the windows are gone.
    void TearDown() override {
        FavoritesTest::TearDown();
        LowLevel::DocumentsFolder = savedFolder_;
        DataBase::userNamesChanged = false;
        DataBase::InitDataBase();
        ASSERT_TRUE(DataBase::ReadBinFile(BinaryPath("bin/Talv1Dat.bin")).ok);
    }
    void Press(const char* text, const char* button) {
        auto& names = Form<UserNames>("UserNames");
        names.ShowUserName(NewNames::Find(text));
        names.ControlAs<TextBox>("CurName")->SetText(text);
        if (std::string(button) == "DoModify") names.ControlAs<OptionButton>("Male")->SetValue(true);
        names.ControlAs<CommandButton>(button)->Press();
    }
    std::function<bool(std::string&)> savedFolder_;
};

TEST_F(FavoritesAndNewNamesTest, AFavoriteFollowsItsNameChangedAndKeepsItDeletedOnEveryPath) {
    Options::UserNamesInfo = true;
    for (const bool open : {true, false}) {
        SCOPED_TRACE(open ? "window open" : "window closed");
        for (const char* text : {"Zorbalina", "Quelmira"}) {
            Form<UserNames>("UserNames").ControlAs<TextBox>("CurName")->SetText(text);
            Form<UserNames>("UserNames").ControlAs<CommandButton>("DoCreate")->Press();
            Fav().Add(NewNames::Find(text));
        }
        Comment(0, "mine");
        if (!open) Fav().Unload();
        atom* before = NewNames::Find("Zorbalina");
        Press("Zorbalina", "DoModify");
        ASSERT_NE(NewNames::Find("Zorbalina"), before);
        Favorites& w = Fav();
        EXPECT_EQ(w.table()->atom(0), NewNames::Find("Zorbalina"));
        w.table()->markLine(0);
        w.ShowInfo_Click();
        EXPECT_EQ(Names().shownAtom, NewNames::Find("Zorbalina"));
        if (!open) w.Unload();

        Press("Zorbalina", "DoDelete");
        EXPECT_EQ(Lines(), (std::vector<std::string>{"Zorbalina\tmine", "Quelmira"}));
        EXPECT_EQ(w.table()->atom(0), DataBase::nothingAtom);
        w.table()->markLine(0);
        w.ShowInfo_Click();
        EXPECT_EQ(Fakes().TakeMessageNumbers(), std::vector<int>{GenMsg::GMnothingFound});
        w.Unload();
        EXPECT_EQ(Stored(), "0,2,Zorbalina%09mine,,naZorbalinaUser,Quelmira,,naQuelmiraUser,//");
        Press("Quelmira", "DoDelete");
        ASSERT_TRUE(store.Write(Options::RegBaseKey + "Sets", "Favorites", ""));
    }
}

// "As Favorite" of the name window opens the favorites, which load their
// table first, and adds the name shown.
TEST_F(FavoritesTest, AsFavoriteOfTheNameWindowAddsTheNameShown) {
    ResultSet stored;
    stored.InitInt();
    stored.AddResult("Johannes", "", A("naJohannes"));
    ASSERT_TRUE(store.Write(Options::RegBaseKey + "Sets", "Favorites", stored.RegistryText()));
    Auto::Register("SingleName", [] { return std::make_unique<SingleName>(); });
    SingleName* names = OpenNameWindow();
    ASSERT_TRUE(names->ControlAs<CommandButton>("AsFavorite")->isEnabled());
    Lookup(names, "Clara");
    names->ControlAs<CommandButton>("AsFavorite")->Press();
    EXPECT_EQ(Lines(), (std::vector<std::string>{"Johannes", "Clara"}));
    EXPECT_TRUE(Fav().isModified);
}

}  // namespace
