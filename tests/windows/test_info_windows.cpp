// The information windows on the sample database, offscreen: names by
// alphabet, saints, topic, word and language, the links of a description
// into them, and what a blocked box or option button puts back.
#include <QApplication>
#include <QMdiSubWindow>
#include <QTest>
#include <QTextDocument>
#include <functional>

#include "Atom.h"
#include "Fakes.h"
#include "FormControls.h"
#include "GenMsg.h"
#include "QtText.h"
#include "ResultSet.h"
#include "ResultViews.h"
#include "RichTextPane.h"
#include "RtfReader.h"
#include "ShellKit.h"
#include "TextConstants.h"
#include "TextDisplay.h"
#include "DataBase.h"
#include "WindowsFixture.h"
#include "windows/info/Alpha.h"
#include "windows/info/NameDays.h"
#include "windows/info/OrigLang.h"
#include "windows/info/OrigWord.h"
#include "windows/info/Realm.h"
#include "windows/info/SingleName.h"

namespace {

class InfoWindowsTest : public WindowsTest {
protected:
    void SetUp() override {
        WindowsTest::SetUp();
        Auto::Register("NameLists", [] { return std::make_unique<FakeNameLists>(); });
    }
    FakeNameLists& Lists() { return *dynamic_cast<FakeNameLists*>(Auto::GetForm("NameLists")); }
    // The user does act while input is blocked as by a running tutorial, and
    // answers No to the one question that asks to end it.
    static void Blocked(const std::function<void()>& act) {
        WinMan::tutorialRunning = true;
        WinMan::scriptRunning = false;
        Fakes().messages.answers.clear();
        act();
        EXPECT_EQ(Fakes().TakeMessageNumbers(), (std::vector<int>{GenMsg::GMendTutor}));
        WinMan::tutorialRunning = false;
        Fakes().TakeMessages();
    }
};

TEST_F(InfoWindowsTest, AlphaFillsByLetterAndGenderAndHandsItsTableOver) {
    Options::AlphaGender = 2;
    auto* w = Open<Alpha>("Alpha");
    ASSERT_TRUE(w);
    EXPECT_EQ(w->letterIndex(), 0);
    EXPECT_EQ(w->curAtom(), w->names()->atom(0));  // the first name is described
    EXPECT_GT(w->description()->numLines(), 0);

    // What a letter and a gender hold is the table's (pinned with it); the
    // window keeps the choice and the letter across both.
    w->ControlAs<OptionButton>("Female")->click();
    w->ControlAs<CommandButton>("Letter", 12)->click();
    const int32_t female = w->names()->numLines();
    EXPECT_EQ(Options::AlphaGender, 1);
    w->ControlAs<OptionButton>("Both")->click();
    EXPECT_EQ(w->letterIndex(), 12);
    EXPECT_GT(w->names()->numLines(), female);
    EXPECT_EQ(w->NamesCaption().substr(w->NamesCaption().size() - 9), " with 'M'");

    // The tutorial's letter; a text that names no button does nothing.
    w->Notify(3, "K");
    EXPECT_EQ(w->letterIndex(), 10);
    for (const char* bad : {"", "1", "k"}) {
        w->Notify(3, bad);
        EXPECT_EQ(Fakes().TakeAsserts().size(), 1u) << bad;
        EXPECT_EQ(w->letterIndex(), 10);
    }
    w->ControlAs<CommandButton>("AsList")->click();
    ASSERT_EQ(Lists().lists.size(), 1u);
    EXPECT_EQ(Lists().lists.back()->pureTitle(), " starting with 'K'");
    EXPECT_EQ(Lists().lists.back()->numLines(), w->names()->numLines());

    // The choice survives closing and opening the window.
    w->ControlAs<OptionButton>("Male")->click();
    w->Unload();
    Settle();
    w = Open<Alpha>("Alpha");
    EXPECT_TRUE(w->ControlAs<OptionButton>("Male")->Value());
    EXPECT_EQ(w->names()->atom(0)->kind(), 0);
}

TEST_F(InfoWindowsTest, ABlockedOptionButtonPutsThePreviousChoiceBackAfterOneQuestion) {
    Options::AlphaGender = 2;
    auto* alpha = Open<Alpha>("Alpha");
    const int32_t all = alpha->names()->numLines();
    Blocked([&] { alpha->ControlAs<OptionButton>("Female")->click(); });
    EXPECT_TRUE(alpha->ControlAs<OptionButton>("Both")->Value());
    EXPECT_FALSE(alpha->ControlAs<OptionButton>("Female")->Value());
    EXPECT_EQ(alpha->names()->numLines(), all);
    EXPECT_EQ(Options::AlphaGender, 2);

    Options::DaysSortDate = true;
    auto* days = Open<NameDays>("NameDays");
    Blocked([&] { days->ControlAs<OptionButton>("SortName")->click(); });
    EXPECT_TRUE(days->ControlAs<OptionButton>("SortDate")->Value());
    EXPECT_TRUE(days->byDate());
    EXPECT_TRUE(Options::DaysSortDate);

    // A blocked topic box shows the topic shown again.
    auto* realm = Open<Realm>("Realm");
    auto* box = realm->ControlAs<ComboBox>("CurRealm");
    const int shown = box->ListIndex();
    Blocked([&] { box->SetListIndex(shown + 1); });
    EXPECT_EQ(box->ListIndex(), shown);
    EXPECT_EQ(realm->builds(), 1);

    // So does the language box, and the word box its text from before.
    auto* lang = Open<OrigLang>("OrigLang");
    auto* langBox = lang->ControlAs<ComboBox>("CurLang");
    atom* language = lang->curLang();
    const int langShown = langBox->ListIndex();
    Blocked([&] { langBox->SetListIndex(langShown + 1); });
    EXPECT_EQ(langBox->ListIndex(), langShown);
    EXPECT_EQ(lang->curLang(), language);
    auto* word = Open<OrigWord>("OrigWord");
    auto* wordBox = word->ControlAs<TextBox>("CurWord");
    wordBox->SetText("rosa");
    wordBox->onGotFocus();  // as the box gets the focus
    Blocked([&] { wordBox->SetText("rosax"); });
    EXPECT_EQ(wordBox->Text(), "rosa");
}

TEST_F(InfoWindowsTest, NameDaysSelectsItsSaintsAndKeepsTheSelectionForAStranger) {
    Options::DaysSortDate = true;
    auto* w = Open<NameDays>("NameDays");
    ASSERT_TRUE(w);
    const ResultSet& saints = *w->saints();
    EXPECT_EQ(w->NamesCaption(), std::to_string(saints.numLines()) + " saints");
    EXPECT_EQ(saints.SelIndex(), 0);  // selected at load, and described
    EXPECT_GT(w->description()->numLines(), 0);
    EXPECT_EQ(saints.atom(saints.numLines() - 1), A("saSylvester"));

    w->ShowAtom(A("saAgnes"));
    int32_t agnes = 0;
    ASSERT_TRUE(saints.GetAtomIndex(A("saAgnes"), agnes));
    EXPECT_EQ(saints.SelIndex(), agnes);
    w->ShowAtom(A("naAnna"));  // not a saint of the table
    EXPECT_EQ(Fakes().TakeAsserts().size(), 1u);
    EXPECT_EQ(saints.SelIndex(), agnes);

    // By name and back: the selection stays on the saint.
    w->ControlAs<OptionButton>("SortName")->click();
    EXPECT_FALSE(w->byDate());
    EXPECT_FALSE(Options::DaysSortDate);
    EXPECT_EQ(saints.atom(saints.SelIndex()), A("saAgnes"));
    w->ControlAs<OptionButton>("SortDate")->click();
    EXPECT_EQ(saints.atom(saints.numLines() - 1), A("saSylvester"));
    EXPECT_EQ(saints.atom(saints.SelIndex()), A("saAgnes"));
}

TEST_F(InfoWindowsTest, RealmShowsATopicOnceAndItsTutorialCommandRebuildsNothing) {
    auto* w = Open<Realm>("Realm");
    ASSERT_TRUE(w);
    EXPECT_EQ(w->curRealm(), w->topics().front());
    EXPECT_EQ(w->builds(), 1);
    atom* plants = A("toPlants");
    w->ShowAtom(plants);
    EXPECT_EQ(w->builds(), 2);
    w->ShowAtom(plants);
    w->Notify(3, "");
    EXPECT_EQ(w->builds(), 2);
    int32_t at = 0;
    for (const char* n : {"naRose", "naLily", "naDaisy", "gnSilvester"})
        EXPECT_TRUE(w->names()->GetAtomIndex(A(n), at)) << n;
    EXPECT_TRUE(w->words()->GetAtomIndex(A("woEnForest"), at));
    EXPECT_EQ(w->ControlAs<ComboBox>("CurRealm")->Text(), "Plants and flowers");
    w->AsList_Click();
    ASSERT_EQ(Lists().lists.size(), 1u);
    EXPECT_EQ(Lists().lists.back()->pureTitle(), " for topic Plants and flowers");
}

// A taller topic window gives the description a share of the height and
// moves the tables down; they still end above the status line.
TEST_F(InfoWindowsTest, RealmTablesEndInsideTheWindowWhenItGrowsAndShrinks) {
    auto* w = Open<Realm>("Realm");
    ASSERT_TRUE(w);
    w->ShowAtom(A("toPlants"));
    const QSize start = w->SubWindow()->size();
    for (const int extra : {400, 120, 0}) {
        SCOPED_TRACE(extra);
        w->SubWindow()->resize(start.width() + extra, start.height() + extra);
        Settle();
        for (const char* name : {"Names", "Words"}) {
            auto* v = w->ControlAs<ListView>(name);
            ASSERT_TRUE(v);
            EXPECT_LE(v->geometry().bottom(), v->parentWidget()->height() - 20) << name;
            EXPECT_GT(v->height(), 100) << name;
        }
    }
}

// A word clicked in a table goes to the word window, which comes forward
// (not while a tutorial runs); a name clicked after it goes to the name
// window, and the word window stays behind.
TEST_F(InfoWindowsTest, AWordClickedInATopicGoesToTheWordWindowAndANameToTheNameWindow) {
    for (const bool tutorial : {false, true}) {
        SCOPED_TRACE(tutorial ? "tutorial" : "no tutorial");
        auto* w = Open<Realm>("Realm");
        ASSERT_TRUE(w);
        w->ShowAtom(A("toPlants"));
        w->BringToFront();
        WinMan::Activate(*w);
        auto click = [w](const char* view, const ResultSet* table, atom* a) {
            auto* v = w->ControlAs<ListView>(view);
            int32_t row = -1;
            ASSERT_TRUE(table->GetAtomIndex(a, row));
            v->scrollTo(v->Model()->index(row, 0));
            ClickAt(v->viewport(), v->visualRect(v->Model()->index(row, 0)).center());
        };
        WinMan::tutorialRunning = tutorial;
        WinMan::scriptRunning = tutorial;  // the tutorial's own step: no question
        click("Words", w->words(), A("woEnForest"));
        WinMan::scriptRunning = false;
        auto* word = dynamic_cast<OrigWord*>(Auto::GetForm("OrigWord"));
        ASSERT_TRUE(word && word->IsLoaded());
        EXPECT_EQ(word->curWord(), A("woEnForest"));
        EXPECT_EQ(area->activeSubWindow(), tutorial ? w->SubWindow() : word->SubWindow());
        WinMan::tutorialRunning = false;
        if (!tutorial) {
            click("Names", w->names(), A("naRose"));
            auto* names = dynamic_cast<SingleName*>(Auto::GetForm(WindowNames::kSingleName));
            ASSERT_TRUE(names && names->IsLoaded());
            EXPECT_EQ(names->curAtom(), A("naRose"));
            EXPECT_EQ(area->activeSubWindow(), names->SubWindow());
        }
        // The next round starts with fresh windows.
        word->Unload();
        w->Unload();
        Settle();
    }
}

// Every information window's Help button speaks the text language and asks
// for the window's own page.
TEST_F(InfoWindowsTest, TheHelpButtonsAskForTheirWindowsPageInBothLanguages) {
    for (const int language : {0, 1}) {
        TextConstants::textLanguage = language;
        TextConstants::LoadTexts();
        for (const char* name : {"Alpha", "NameDays", "OrigLang", "OrigWord", "Pop", "Realm", "SingleName"}) {
            SCOPED_TRACE(std::string(name) + (language ? " English" : " German"));
            auto* w = Open<FormBase>(name);
            ASSERT_TRUE(w && w->IsLoaded());
            auto* help = w->ControlAs<CommandButton>("ShowHelp");
            ASSERT_TRUE(help);
            EXPECT_EQ(QtText::FromQt(help->text()), language ? "Help" : "Hilfe");
            Fakes().help.topics.clear();
            help->Press();
            EXPECT_EQ(Fakes().help.topics, std::vector<std::string>{name});
            w->Unload();
            Settle();
        }
    }
}

TEST_F(InfoWindowsTest, OrigWordShowsTranslationCommentAndRestoresFromItsHistory) {
    Options::WordShowNames = false;
    auto* w = Open<OrigWord>("OrigWord");
    ASSERT_TRUE(w);
    EXPECT_FALSE(w->ControlAs<CommandButton>("AllWords")->isEnabled());
    EXPECT_FALSE(w->ControlAs<CommandButton>("AsList")->isEnabled());

    w->ShowAtom(A("woGrHagnos"));
    EXPECT_NE(w->TransRtf().find(" = "), std::string::npos);
    EXPECT_NE(w->TransRtf().find("Related to hagios 'holy'"), std::string::npos);  // the English comment
    EXPECT_TRUE(w->ControlAs<CommandButton>("AllWords")->isEnabled());
    EXPECT_TRUE(w->ControlAs<CommandButton>("AsList")->isEnabled());
    EXPECT_EQ(w->RelWordsCaption(), "Words related to 'hagnos'");

    w->ShowAtom(A("woEnPure"));
    EXPECT_EQ(w->TransRtf().find(" = "), std::string::npos);
    EXPECT_FALSE(w->ControlAs<CommandButton>("AllWords")->isEnabled());
    EXPECT_EQ(w->history().numSets(), 2);

    // Back to hagnos: no new entry, and As List names hagnos again.
    w->GoBack_Click();
    EXPECT_EQ(w->curWord(), A("woGrHagnos"));
    EXPECT_EQ(w->history().numSets(), 2);
    w->AsList_Click();
    ASSERT_EQ(Lists().lists.size(), 1u);
    EXPECT_EQ(Lists().lists.back()->pureTitle(), " for word 'hagnos' (Ancient Greek) = pure");

    // All words, then back to that entry: all words again.
    w->AllWords_Click();
    const int32_t allWords = w->names()->numLines();
    EXPECT_GT(allWords, 1);
    w->GoBack_Click();
    w->GoForward_Click();
    EXPECT_EQ(w->names()->numLines(), allWords);

    // Names instead of groups: the current word again, and the option.
    w->ControlAs<OptionButton>("ShowNames")->click();
    EXPECT_TRUE(Options::WordShowNames);
    EXPECT_EQ(w->names()->atom(0)->kind() <= 1, true);

    // An unknown word.
    w->ControlAs<TextBox>("CurWord")->SetText("qqqqzz");
    w->ShowWord_Click();
    const std::vector<int> shown = Fakes().TakeMessageNumbers();
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.front(), GenMsg::GMnothingFound);
}

TEST_F(InfoWindowsTest, OrigLangShowsTheFamilyAndShowsItAnewForNewNames) {
    // The sub-language links find their atoms as at start-up.
    TextDisplay::Env().findAtom = [](const std::string& name) { return LinkTargetOf(DataBase::GetAtom(name)); };
    auto* w = Open<OrigLang>("OrigLang");
    ASSERT_TRUE(w);
    ASSERT_NE(w->curLang(), nullptr);
    EXPECT_EQ(w->Caption("OrigGroupsFrame").substr(w->Caption("OrigGroupsFrame").size() - 9), " (origin)");

    atom* greek = A("laAncientGreek");
    w->ShowAtom(A("laLatin"));
    w->ShowAtom(greek);
    EXPECT_NE(w->DescrRtf().find("Modern\\'A0Greek"), std::string::npos) << w->DescrRtf();  // a link, kept on one line
    // New user names: the language shown is built anew, and stays the one shown.
    const int builds = w->builds();
    w->Notify(4, "");
    EXPECT_EQ(w->curLang(), greek);
    EXPECT_EQ(w->builds(), builds + 1);
    EXPECT_NE(w->DescrRtf().find("Modern\\'A0Greek"), std::string::npos);
    int32_t at = 0;

    atom* hungarian = A("laHungarian");
    w->ShowAtom(hungarian);
    EXPECT_TRUE(w->use()->GetAtomIndex(A("naAgnesHu"), at));
    EXPECT_EQ(w->origin()->numLines(), 0);
    w->CurAsList_Click();
    w->OrigAsList_Click();
    ASSERT_EQ(Lists().lists.size(), 2u);
    EXPECT_EQ(Lists().lists[0]->pureTitle(), " with Hungarian as language of use");
    EXPECT_EQ(Lists().lists[1]->numLines(), 0);

    // The separator line stands for the first language of the list.
    auto* box = w->ControlAs<ComboBox>("CurLang");
    int separator = -1;
    for (int i = 0; i < box->ListCount(); ++i)
        if (box->List(i) == std::string(12, '_')) separator = i;
    ASSERT_GE(separator, 0);
    box->SetListIndex(separator);
    EXPECT_EQ(w->curLang(), DataBase::GetComboLang(0));
    TextDisplay::Env().findAtom = nullptr;
}

// The sub-languages in a language's description are coloured links that
// lead nowhere: a real click on one leaves the window as it is.
TEST_F(InfoWindowsTest, OrigLangSubLanguageLinksDoNothingWhenClicked) {
    TextDisplay::Env().findAtom = [](const std::string& name) { return LinkTargetOf(DataBase::GetAtom(name)); };
    auto* w = Open<OrigLang>("OrigLang");
    ASSERT_TRUE(w);
    atom* greek = A("laAncientGreek");
    w->ShowAtom(greek);
    auto* pane = w->ControlAs<RichTextPane>("CurLangDescr");
    pane->resize(600, 400);
    Settle();
    const QString modern = QString::number(A("laGreek")->id());
    int pos = 0;
    while (pos < pane->document()->characterCount() && RtfReader::LinkNumberAt(*pane->document(), pos) != modern)
        ++pos;
    ASSERT_LT(pos, pane->document()->characterCount()) << "no link to Modern Greek";
    const int builds = w->builds();
    QTest::mouseMove(pane->viewport(), pane->CharRect(pos).center());
    EXPECT_EQ(pane->viewport()->cursor().shape(), Qt::ArrowCursor);  // no hand over it
    QTest::mouseClick(pane->viewport(), Qt::LeftButton, {}, pane->CharRect(pos).center());
    Settle();
    EXPECT_EQ(w->curLang(), greek);
    EXPECT_EQ(w->builds(), builds);
    TextDisplay::Env().findAtom = nullptr;
}

// By keyboard alone: Tab goes on into the description and from link to
// link; Enter on a link opens the window of its atom as a click does.
TEST_F(InfoWindowsTest, TabToADescriptionsLinkAndEnterOpensItsWindow) {
    QApplication::setActiveWindow(area);
    SingleName* names = OpenNameWindow();
    Lookup(names, "Agnes", true);
    auto* pane = names->ControlAs<RichTextPane>("Text");
    names->ControlAs<TextBox>("CurName")->setFocus();
    const QString greek = QString::number(A("laAncientGreek")->id());
    for (int i = 0; i < 200 && pane->FocusedLink().number != greek; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), pane);
    ASSERT_EQ(pane->FocusedLink().number, greek);
    QTest::keyClick(pane, Qt::Key_Return);
    auto* lang = dynamic_cast<OrigLang*>(Auto::GetForm("OrigLang"));
    ASSERT_TRUE(lang && lang->IsLoaded());
    EXPECT_EQ(lang->curLang(), A("laAncientGreek"));
}

TEST_F(InfoWindowsTest, DescriptionLinksOpenTheWindowOfTheirAtom) {
    SingleName* names = OpenNameWindow();
    Lookup(names, "Agnes", true);
    auto* pane = names->ControlAs<RichTextPane>("Text");
    pane->resize(600, 3000);
    QApplication::processEvents();
    struct Case {
        const char* atomName;
        const char* window;
    };
    for (const Case& c : {Case{"laAncientGreek", "OrigLang"}, Case{"woGrHagnos", "OrigWord"},
                          Case{"toVirtues", "Realm"}, Case{"saAgnes", "NameDays"}}) {
        ASSERT_TRUE(ClickLink(pane, A(c.atomName)->id())) << c.atomName;
        FormBase* f = Auto::GetForm(c.window);
        ASSERT_TRUE(f && f->IsLoaded()) << c.window;
        atom* shown = nullptr;
        if (auto* l = dynamic_cast<OrigLang*>(f)) shown = l->curLang();
        if (auto* wd = dynamic_cast<OrigWord*>(f)) shown = wd->curWord();
        if (auto* r = dynamic_cast<Realm*>(f)) shown = r->curRealm();
        if (auto* d = dynamic_cast<NameDays*>(f)) shown = d->saints()->atom(d->saints()->SelIndex());
        EXPECT_EQ(shown, A(c.atomName)) << c.window;
    }
}

}  // namespace
