// The user's new names on the sample database: the three atoms and their
// properties, modify and delete, the user-names file, and the window's
// buttons, question, table and saves.
#include <QApplication>
#include <QFocusEvent>
#include <QGroupBox>
#include <QTest>

#include "Atom.h"
#include "BinFile.h"
#include "CountText.h"
#include "DataBase.h"
#include "Dates.h"
#include "Fakes.h"
#include "FormControls.h"
#include "GenMsg.h"
#include "LangCombo.h"
#include "ListDescriptions.h"
#include "ListFile.h"
#include "LowLevel.h"
#include "NewNames.h"
#include "QtText.h"
#include "ResultSet.h"
#include "ResultViews.h"
#include "RichTextPane.h"
#include "Searches.h"
#include "TempFolder.h"
#include "UserFile.h"
#include "WindowsFixture.h"
#include "windows/info/NameWindows.h"
#include "windows/info/SingleName.h"
#include "windows/lists/OutputWindows.h"
#include "windows/lists/UserNames.h"

namespace {

using NewNames::Entry;
using Gender = NewNames::Entry::Gender;

void LoadSample() {
    DataBase::InitDataBase();
    ASSERT_TRUE(DataBase::ReadBinFile(BinaryPath("bin/Talv1Dat.bin")).ok);
}

// Each test works on a fresh sample database and leaves a fresh one behind
// for the tests of other windows.
class NewNamesTest : public WindowsTest {
protected:
    void SetUp() override {
        WindowsTest::SetUp();
        LoadSample();
        Options::ShowToolTips = false;
        savedFolder_ = LowLevel::DocumentsFolder;
        LowLevel::DocumentsFolder = [this](std::string& f) { return f = dir.Path(), true; };
        DataBase::userNamesChanged = false;
        Auto::Register("SingleName", [] { return std::make_unique<FakeSingleName>(); });
        OutputWindows::Register();
    }
    void TearDown() override {
        WindowsTest::TearDown();
        LowLevel::DocumentsFolder = savedFolder_;
        DataBase::userNamesChanged = false;
        LoadSample();
    }
    // The property kinds and values of an atom, as "prText=Anna" or "prLang>laLatin".
    static std::vector<std::string> Props(const atom* a) {
        std::vector<std::string> out;
        for (Prop* p : a->props())
            out.push_back(std::string(p->proper()->name()) +
                          (p->kind() == 1 ? "=" + std::string(p->strVal()) : ">" + std::string(p->atomVal()->name())));
        return out;
    }
    static int Count(const atom* a, const std::string& prop) {
        const auto v = Props(a);
        return static_cast<int>(std::count(v.begin(), v.end(), prop));
    }
    TempFolder dir;
    std::function<bool(std::string&)> savedFolder_;
};

TEST_F(NewNamesTest, CreateMakesThreeAtomsWithTheirPropertiesInOrder) {
    Entry e;
    e.text = " Anna \"Maria\"";
    e.gender = Gender::Female;
    e.origLang = A("laLatin");
    e.german = "Grace\tand\r\nfavour";
    e.origInfo = {"From the Bible", ""};
    e.useLangs = {A("laEnglish"), A("laGerman"), A("laEnglish")};  // English twice
    atom* name = nullptr;
    ASSERT_EQ(NewNames::Create(e, &name), NewNames::Result::Done);
    EXPECT_TRUE(DataBase::userNamesChanged);
    ASSERT_EQ(name, A("naAnnaMariaUser"));
    atom* group = A("gnAnnaMariaUser");
    atom* origin = A("orAnnaMariaUser");
    EXPECT_EQ(name->kind(), 1);
    EXPECT_EQ(group->kind(), 3);
    EXPECT_EQ(origin->kind(), 5);
    // Trimmed, quotes as apostrophes, line ends and tabs as blanks.
    EXPECT_EQ(name->Text(), "Anna 'Maria'");
    EXPECT_EQ(Props(group), (std::vector<std::string>{"prText=Anna 'Maria'", "prMemberOf>seGenNames",
                                                      "prSubsetOf>seFemaleNames", "prOrigin>orAnnaMariaUser",
                                                      "prNameVariant>naAnnaMariaUser"}));
    const auto originProps = Props(origin);
    ASSERT_GE(originProps.size(), 6u);
    EXPECT_EQ(std::vector<std::string>(originProps.begin(), originProps.begin() + 6),
              (std::vector<std::string>{"prText=Anna 'Maria'", "prMemberOf>seOrigins", "prLang>laLatin",
                                        "prGerman=Grace and  favour", "prOrigInfo=From the Bible",
                                        "prOriginOf>gnAnnaMariaUser"}));
    const auto nameProps = Props(name);
    EXPECT_EQ(std::vector<std::string>(nameProps.begin(), nameProps.begin() + 4),
              (std::vector<std::string>{"prText=Anna 'Maria'", "prGenName>gnAnnaMariaUser", "prLang>laEnglish",
                                        "prLang>laGerman"}));
    EXPECT_EQ(Count(name, "prLang>laEnglish"), 1) << "a language chosen twice is stored once";
    EXPECT_EQ(Count(A("laEnglish"), "prLangOf>naAnnaMariaUser"), 1);
    EXPECT_EQ(Count(A("laLatin"), "prLangOf>orAnnaMariaUser"), 1);
    EXPECT_EQ(Count(DataBase::seUserNames, "prMember>naAnnaMariaUser"), 1);
    EXPECT_EQ(NewNames::All(), std::vector<atom*>{name});

    // Without gender, languages, meaning or information: a female name whose
    // origin entry has only its three properties.
    e = Entry{};
    e.text = "Zoltar";
    ASSERT_EQ(NewNames::Create(e, &name), NewNames::Result::Done);
    EXPECT_EQ(name->kind(), 1);
    EXPECT_EQ(A("gnZoltarUser")->kind(), 3);
    auto plain = Props(A("orZoltarUser"));
    EXPECT_EQ(std::vector<std::string>(plain.begin(), plain.begin() + 3),
              (std::vector<std::string>{"prText=Zoltar", "prMemberOf>seOrigins", "prOriginOf>gnZoltarUser"}));
    e.text = "Bram";
    e.gender = Gender::Male;
    ASSERT_EQ(NewNames::Create(e, &name), NewNames::Result::Done);
    EXPECT_EQ(name->kind(), 0);
    EXPECT_EQ(A("gnBramUser")->kind(), 2);
}

TEST_F(NewNamesTest, TextsThatCanAndCannotBecomeNames) {
    struct Case {
        std::string text, key;
        bool creatable;
    };
    const std::vector<Case> cases = {
        {" Anna", "Anna", true},           {"Wei\xdf", "Weiss", true},  {"Ren\xe9", "Rene", true},
        {"O\"Neil", "ONeil", true},        {"...!?", "", false},        {"   ", "", false},
        {"", "", false},                   {"12", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(NewNames::CanCreate(c.text), c.creatable);
        if (c.creatable) { EXPECT_EQ(NewNames::Key(c.text), c.key); }
        Entry e;
        e.text = c.text;
        EXPECT_EQ(NewNames::Create(e) == NewNames::Result::Done, c.creatable);
    }
    EXPECT_EQ(A("naAnnaUser")->Text(), "Anna");
    EXPECT_EQ(A("naONeilUser")->Text(), "O'Neil");
    // The same key again cannot be created; 35 characters at most.
    Entry again;
    again.text = "ANNA";
    EXPECT_EQ(NewNames::Create(again), NewNames::Result::NotCreatable);
    again.text = std::string(40, 'x');
    ASSERT_EQ(NewNames::Create(again), NewNames::Result::Done);
    EXPECT_EQ(NewNames::Find(std::string(40, 'x'))->Text(), std::string(35, 'x'));
}

TEST_F(NewNamesTest, ModifyAndDeleteAndWhatStaysBehind) {
    Entry e;
    e.text = "Maribel";
    e.useLangs = {A("laSpanish"), nullptr, nullptr};
    atom* first = nullptr;
    ASSERT_EQ(NewNames::Create(e, &first), NewNames::Result::Done);
    // A list that holds the name before it changes.
    ResultSet list;
    list.AddResult("Maribel", "", first);

    e.text = "MARIBEL";
    e.gender = Gender::Male;
    e.useLangs = {A("laFrench"), nullptr, nullptr};
    ASSERT_EQ(NewNames::Modify(e), NewNames::Result::Done);
    atom* now = A("naMaribelUser");
    EXPECT_NE(now, first);
    EXPECT_EQ(now->Text(), "MARIBEL");
    EXPECT_EQ(now->kind(), 0);
    EXPECT_EQ(Count(A("laSpanish"), "prLangOf>naMaribelUser"), 0) << "the old language lost its target";
    EXPECT_EQ(Count(A("laFrench"), "prLangOf>naMaribelUser"), 1);
    EXPECT_EQ(NewNames::All(), std::vector<atom*>{now});
    EXPECT_EQ(NewNames::Read(now).gender, Gender::Male);
    EXPECT_EQ(NewNames::Read(now).useLangs[0], A("laFrench"));

    ASSERT_EQ(NewNames::Delete("maribel"), NewNames::Result::Done);
    EXPECT_EQ(NewNames::Find("Maribel"), nullptr);
    EXPECT_TRUE(NewNames::All().empty());
    EXPECT_EQ(NewNames::Delete("Maribel"), NewNames::Result::NotFound);
    // The old atoms live on for the lists that hold them: their lines stay,
    // their descriptions, no longer in the database, are left out.
    list.AddResult("Maribel", "", now);
    EXPECT_EQ(first->Text(), "Maribel");
    EXPECT_EQ(ListDescriptions::ExportContents(list, 0, 0, nullptr), "Maribel\nMaribel\n");
    EXPECT_EQ(ListDescriptions::ExportContents(list, 0, 2, nullptr), "");
}

TEST_F(NewNamesTest, WithoutRoomForThreeAtomsNothingChanges) {
    Entry e;
    e.text = "Maribel";
    ASSERT_EQ(NewNames::Create(e), NewNames::Result::Done);
    const int32_t saved = DataBase::nextId;
    DataBase::nextId = DataBase::kAtomIdLimit - 2;
    e.text = "Zoltar";
    EXPECT_EQ(NewNames::Create(e), NewNames::Result::NoRoom);
    EXPECT_EQ(NewNames::Find("Zoltar"), nullptr);
    e.text = "Maribel";
    e.german = "changed";
    EXPECT_EQ(NewNames::Modify(e), NewNames::Result::NoRoom);
    ASSERT_NE(NewNames::Find("Maribel"), nullptr) << "a refused modify keeps the name";
    EXPECT_EQ(NewNames::Read(NewNames::Find("Maribel")).german, "");
    DataBase::nextId = saved;
    EXPECT_TRUE(Fakes().TakeAsserts().empty());
}

TEST_F(NewNamesTest, TheFileBringsTheNamesBackInAFreshDatabase) {
    Entry e;
    e.text = "Zo\xeb";
    e.gender = Gender::Male;
    e.origLang = A("laGreek");
    e.german = "Life";
    e.origInfo = {"One", "Two"};
    e.useLangs = {A("laEnglish"), A("laFrench"), nullptr};
    ASSERT_EQ(NewNames::Create(e), NewNames::Result::Done);
    ASSERT_TRUE(DataBase::SaveUserNames());
    EXPECT_FALSE(DataBase::userNamesChanged);
    const auto before = Props(A("naZoeUser"));

    LoadSample();
    DataBase::ReadUserFile();
    atom* back = NewNames::Find("Zo\xeb");
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(Props(back), before);
    EXPECT_EQ(back->kind(), 0);
    const Entry read = NewNames::Read(back);
    EXPECT_EQ(read.origLang, A("laGreek"));
    EXPECT_EQ(read.origInfo, (std::array<std::string, 2>{"One", "Two"}));
    EXPECT_EQ(read.useLangs, (std::array<atom*, 3>{A("laEnglish"), A("laFrench"), nullptr}));
    EXPECT_EQ(Count(A("laFrench"), "prLangOf>naZoeUser"), 1);
}

// --- the window ------------------------------------------------------------------

class UserNamesWindowTest : public NewNamesTest {
protected:
    ::UserNames& Open() { return Form<::UserNames>("UserNames"); }
    static std::vector<bool> Buttons(::UserNames& w) {
        return {w.ControlAs<CommandButton>("DoCreate")->isEnabled(), w.ControlAs<CommandButton>("DoModify")->isEnabled(),
                w.ControlAs<CommandButton>("DoDelete")->isEnabled()};
    }
};

TEST_F(UserNamesWindowTest, ButtonsFollowEveryKeystroke) {
    ::UserNames& w = Open();
    auto* name = w.ControlAs<TextBox>("CurName");
    EXPECT_FALSE(w.ControlAs<OptionButton>("Male")->Value() || w.ControlAs<OptionButton>("Female")->Value());
    EXPECT_EQ(Buttons(w), (std::vector<bool>{false, false, false}));
    name->SetText("Mari");
    EXPECT_EQ(Buttons(w), (std::vector<bool>{true, false, false}));
    w.ControlAs<CommandButton>("DoCreate")->Press();
    EXPECT_EQ(name->Text(), "");
    EXPECT_EQ(Buttons(w), (std::vector<bool>{false, false, false}));
    struct Step {
        std::string text;
        std::vector<bool> buttons;
    };
    for (const Step& s : std::vector<Step>{{"M", {true, false, false}},
                                          {"Mar", {true, false, false}},
                                          {"Mari", {false, true, true}},
                                          {"mari ", {false, true, true}},
                                          {"Marie", {true, false, false}},
                                          {"", {false, false, false}},
                                          {"?!", {false, false, false}}}) {
        name->SetText(s.text);
        EXPECT_EQ(Buttons(w), s.buttons) << s.text;
    }
    // A handler checks again: Delete on a text without a user name does nothing.
    name->SetText("Marie");
    w.DoDelete_Click();
    w.DoModify_Click();
    EXPECT_NE(NewNames::Find("Mari"), nullptr);
}

// The window opens ready for a name; Enter creates it while Create can,
// after the check that leaving the box makes: a No to a name the database
// has already creates nothing, and Enter on a user name changes nothing.
TEST_F(UserNamesWindowTest, EnterInTheNameBoxCreatesTheNameTyped) {
    ::UserNames& w = Open();
    Settle();
    w.FocusFirstInput();
    auto* name = w.ControlAs<TextBox>("CurName");
    ASSERT_EQ(QApplication::focusWidget(), name);
    struct Case {
        const char* typed;
        bool asked;  // whether to make a name the database has: No
        int lines;   // in the table afterwards
    } cases[] = {{"Zorbalind", false, 1}, {"Zorbalind", false, 1}, {"anna", true, 1}, {"Quelmira", false, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        name->clear();
        TypeKeys(name, c.typed);
        if (c.asked) Fakes().Answer({false});
        QTest::keyClick(name, Qt::Key_Return);
        EXPECT_EQ(w.Table().numLines(), c.lines);
        EXPECT_EQ(Fakes().TakeMessageNumbers(), c.asked ? std::vector<int>{GenMsg::GMuserAlready} : std::vector<int>{});
        EXPECT_EQ(QApplication::focusWidget(), name);
    }
    EXPECT_NE(NewNames::Find("Quelmira"), nullptr);
    EXPECT_EQ(NewNames::Find("anna"), nullptr);
}

TEST_F(UserNamesWindowTest, CreateListsSortsTellsEveryWindowAndSavesOnClose) {
    WinMan::OpenForm("SingleName");
    auto* names = dynamic_cast<FakeSingleName*>(Auto::GetForm("SingleName"));
    ASSERT_NE(names, nullptr);
    ::UserNames& w = Open();
    for (const char* text : {"Zoltar", "Maribel"}) {
        w.ControlAs<TextBox>("CurName")->SetText(text);
        w.ControlAs<OptionButton>("Male")->SetValue(true);
        ComboBox* lang = w.ControlAs<ComboBox>("UseLang", 1);
        lang->SetListIndex(2);
        w.ControlAs<CommandButton>("DoCreate")->Press();
        // Ready for the next name: the fields empty, the gender kept for a
        // run of names of one gender.
        EXPECT_EQ(w.ControlAs<TextBox>("CurName")->Text(), "");
        EXPECT_EQ(lang->ListIndex(), 0);
        EXPECT_TRUE(w.ControlAs<OptionButton>("Male")->Value());
    }
    EXPECT_EQ(std::count(names->notes.begin(), names->notes.end(), 4), 2);
    const ResultSet& table = w.Table();
    ASSERT_EQ(table.numLines(), 2);
    EXPECT_EQ(table.line(0), "Maribel");
    EXPECT_EQ(table.reason(1), "New name");
    EXPECT_EQ(QtText::FromQt(w.ControlAs<QGroupBox>("NamesFrame")->title()), "2 names");

    // A click on a line shows it in the fields.
    w.ShowUserName(table.atom(1));
    EXPECT_EQ(w.ControlAs<TextBox>("CurName")->Text(), "Zoltar");
    EXPECT_TRUE(w.ControlAs<OptionButton>("Male")->Value());
    EXPECT_EQ(w.ControlAs<ComboBox>("UseLang", 0)->ListIndex(), 2) << "the first language fills the first box";
    EXPECT_EQ(Buttons(w), (std::vector<bool>{false, true, true}));

    EXPECT_TRUE(DataBase::userNamesChanged);
    w.Unload();
    Settle();
    EXPECT_FALSE(DataBase::userNamesChanged);
    EXPECT_NE(TempFolder::Get(dir / "Talv1User.txt").find("naZoltarUser"), std::string::npos);
}

// The window opens with the names in the order they were made, without a
// reason and under the frame's own caption; a change sorts and counts them.
TEST_F(UserNamesWindowTest, TheFirstTableKeepsTheOrderTheNamesWereMadeIn) {
    for (const char* text : {"Zoltar", "Maribel", "Aurelio"}) {
        Entry e;
        e.text = text;
        ASSERT_EQ(NewNames::Create(e, nullptr), NewNames::Result::Done);
    }
    ::UserNames& w = Open();
    const ResultSet& table = w.Table();
    ASSERT_EQ(table.numLines(), 3);
    const std::vector<std::string> lines{table.line(0), table.line(1), table.line(2)};
    EXPECT_EQ(lines, (std::vector<std::string>{"Zoltar", "Maribel", "Aurelio"}));
    for (int i = 0; i < 3; ++i) EXPECT_EQ(table.reason(i), "");
    EXPECT_EQ(table.atom(0), NewNames::Find("Zoltar"));
    EXPECT_EQ(QtText::FromQt(w.ControlAs<QGroupBox>("NamesFrame")->title()), "Names");

    w.ControlAs<TextBox>("CurName")->SetText("Bea");
    w.ControlAs<CommandButton>("DoCreate")->Press();
    EXPECT_EQ(table.line(0), "Aurelio");
    EXPECT_EQ(table.reason(0), "New name");
    EXPECT_EQ(QtText::FromQt(w.ControlAs<QGroupBox>("NamesFrame")->title()), "4 names");
}

// A name of 40 letters in a file written elsewhere: read cut to 35, it is
// still the name of its record, to change and to delete.
TEST_F(UserNamesWindowTest, ANameCutWhenReadCanBeModifiedAndDeleted) {
    const std::string cut = "B" + std::string(34, 'b'), whole = "B" + std::string(39, 'b');
    Entry e;
    e.text = cut;
    ASSERT_EQ(NewNames::Create(e), NewNames::Result::Done);
    ASSERT_TRUE(DataBase::SaveUserNames());
    std::string file = TempFolder::Get(dir / "Talv1User.txt");
    for (std::size_t at = 0; (at = file.find(cut, at)) != std::string::npos; at += whole.size())
        file.replace(at, cut.size(), whole);
    TempFolder::Put(dir / "Talv1User.txt", file);
    LoadSample();
    DataBase::ReadUserFile();
    EXPECT_EQ(Fakes().TakeMessageNumbers(), std::vector<int>{GenMsg::GMuserTextCut});

    ::UserNames& w = Open();
    w.ShowUserName(w.Table().atom(0));
    EXPECT_EQ(w.ControlAs<TextBox>("CurName")->Text(), cut);
    EXPECT_EQ(Buttons(w), (std::vector<bool>{false, true, true}));
    w.ControlAs<OptionButton>("Male")->SetValue(true);
    w.ControlAs<CommandButton>("DoModify")->Press();
    atom* modified = NewNames::Find(cut);
    ASSERT_NE(modified, nullptr);
    EXPECT_EQ(std::string(modified->name()), "na" + whole + "User");  // its internal names kept
    EXPECT_EQ(modified->kind(), 0);
    w.ControlAs<TextBox>("CurName")->SetText(cut);
    w.ControlAs<CommandButton>("DoDelete")->Press();
    EXPECT_TRUE(NewNames::All().empty());
}

TEST_F(UserNamesWindowTest, TheSameSpellingIsAskedOncePerKey) {
    ::UserNames& w = Open();
    auto* name = w.ControlAs<TextBox>("CurName");
    name->SetText("anna");
    Fakes().Answer({true});
    w.CurName_LostFocus();
    auto shown = Fakes().TakeMessages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].number, GenMsg::GMuserAlready);
    EXPECT_EQ(shown[0].arg, "anna");
    w.CurName_LostFocus();  // the same key: no second question
    name->SetText("ANNA");
    w.CurName_LostFocus();
    EXPECT_TRUE(Fakes().TakeMessages().empty());
    name->SetText("Maria");
    Fakes().Answer({false});
    w.CurName_LostFocus();
    EXPECT_EQ(Fakes().TakeMessageNumbers(), std::vector<int>{GenMsg::GMuserAlready});
    name->SetText("Qwertz");
    w.CurName_LostFocus();
    EXPECT_TRUE(Fakes().TakeMessages().empty());
    // Quotes become apostrophes when the focus leaves.
    name->SetText("Jo\"Ann");
    w.CurName_LostFocus();
    EXPECT_EQ(name->Text(), "Jo'Ann");
}

TEST_F(UserNamesWindowTest, TheTimerSavesTwoMinutesAfterTheLastChange) {
    Fakes().clock.now.hour = 10;
    Fakes().clock.now.minute = 58;
    ::UserNames& w = Open();
    w.ControlAs<TextBox>("CurName")->SetText("Zoltar");
    w.ControlAs<CommandButton>("DoCreate")->Press();
    // The minute rule has its own table; here only that the window keeps the
    // change's minute and saves on the tick the rule allows.
    Fakes().clock.now.minute = 59;
    w.SaveTimer_Timer();
    EXPECT_TRUE(DataBase::userNamesChanged);
    Fakes().clock.now.hour = 11;
    Fakes().clock.now.minute = 0;
    w.SaveTimer_Timer();
    EXPECT_FALSE(DataBase::userNamesChanged);
    EXPECT_NE(TempFolder::Get(dir / "Talv1User.txt").find("naZoltarUser"), std::string::npos);
}

TEST_F(UserNamesWindowTest, TheSeparatorCannotBeChosen) {
    ::UserNames& w = Open();
    ComboBox* box = w.ControlAs<ComboBox>("OrigLang");
    int separator = -1;
    for (int i = 1; i < box->ListCount(); ++i)
        if (LangCombo::ItemData(box, i) < 0) separator = i;
    ASSERT_GT(separator, 0);
    box->SetListIndex(separator);
    EXPECT_EQ(LangCombo::SelectedLang(box), nullptr);
    w.ControlAs<TextBox>("CurName")->SetText("Zoltar");
    w.ControlAs<CommandButton>("DoCreate")->Press();
    EXPECT_EQ(A("orZoltarUser")->FirstProp(DataBase::prLang), nullptr);
}

// --- a changed or deleted name where it still stands ---------------------------------------

// Zorbalina made, shown in the name window and held by a list (also saved as
// a list file), then changed, then deleted.
TEST_F(UserNamesWindowTest, AChangedNameIsShownAsItIsNowADeletedOneIsNotFound) {
    NameWindows::Register();
    RegisterListWindows();
    auto press = [this](const char* button, const char* text) {
        Open().ControlAs<TextBox>("CurName")->SetText(text);
        Open().ControlAs<CommandButton>(button)->Press();
    };
    press("DoCreate", "Zorbalina");
    atom* first = A("naZorbalinaUser");
    SingleName* names = OpenNameWindow();
    Lookup(names, "Janet");
    Lookup(names, "Zorbalina");
    ResultSet hits;
    hits.InitInt();
    hits.AddResult("Zorbalina", "", first);
    Searches::NewRes(": held", hits, Searches::kAlone);
    ASSERT_TRUE(Searches::GetListsCurrent()->Save(dir / "held.onl"));

    // Changed: described anew in place of its old entry; the list's atom
    // shows the name as it is now.
    press("DoModify", "ZORBALINA");
    EXPECT_EQ(names->curAtom(), A("naZorbalinaUser"));
    EXPECT_EQ(names->nameHistory().numSets(), 2);
    Lookup(names, "Janet");
    // Changed again while another entry is shown: its entry stays in its
    // place, described as it is now.
    press("DoModify", "Zorbalina");
    EXPECT_EQ(names->nameHistory().numSets(), 3);
    EXPECT_EQ(names->nameHistory().resSet(1)->selfAtom(), A("naZorbalinaUser"));
    EXPECT_EQ(names->curAtom(), A("naJanet"));
    names->ShowAtom(first);
    EXPECT_EQ(names->curAtom(), A("naZorbalinaUser"));

    // Deleted: it leaves the history, the entry before it is shown again, and
    // shown from a favorite, from its line in Manage Lists or from its line
    // in the list file loaded now, it is not found.
    press("DoDelete", "Zorbalina");
    EXPECT_EQ(names->nameHistory().numSets(), 2);
    EXPECT_EQ(names->curAtom(), A("naJanet"));
    names->ShowAtom(first);
    auto* view = Auto::GetForm("NameLists")->ControlAs<ListView>("Names");
    view->SelectTag(0);
    emit view->clicked(view->Model()->index(0, 0));
    const std::shared_ptr<ResultSet> loaded = ListFile::TheFormat().Load(dir / "held.onl");
    EXPECT_EQ(CountText::ResultSizeText(*loaded), CountText::ResultSizeText(hits));  // the line is counted
    loaded->markLine(0);
    names->ShowAtomInSet(loaded->atom(0), loaded, true);
    const auto messages = Fakes().TakeMessages();
    ASSERT_EQ(messages.size(), 3u);
    for (const auto& m : messages) {
        EXPECT_EQ(m.number, GenMsg::GMnothingFound);
        EXPECT_EQ(m.arg, "Zorbalina");
    }
    EXPECT_EQ(names->curAtom(), A("naJanet"));
    EXPECT_EQ(QtText::FromQt(names->ControlAs<RichTextPane>("Text")->toPlainText()).find("<a>"), std::string::npos);
}

}  // namespace
