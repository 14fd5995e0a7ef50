#include "OrigWord.h"

#include <QEvent>
#include <QGroupBox>
#include <QStatusBar>
#include <QStyle>

#include "Atom.h"
#include "CountText.h"
#include "DataBase.h"
#include "ExampleMode.h"
#include "GenDescr.h"
#include "InfoTables.h"
#include "Options.h"
#include "QtLowLevel.h"
#include "QtText.h"
#include "ResultSet.h"
#include "RichTextPane.h"
#include "Searches.h"
#include "ShellKit.h"
#include "TextConstants.h"
#include "TextDisplay.h"
#include "WinMan.h"

using TextConstants::LangText;

namespace {
constexpr int kWidth = 697, kHeight = 528, kStatusH = 20, kRowH = 24;
}

OrigWord::OrigWord() : ChildForm(WindowNames::kOrigWord) {}

OrigWord::~OrigWord() { Unbind(); }

void OrigWord::Unbind() {
    history_.Init();
    for (auto* rs : {names_.get(), relWords_.get(), historyList_.get()})
        if (rs) rs->Unbind();
}

void OrigWord::BuildControls() {
    SetClientSize(kWidth, kHeight);
    SetCaption("Wort");

    curWordBox_ = Add<TextBox>("CurWord");
    curWordBox_->setGeometry(8, 8, 200, kRowH);
    auto button = [this](const char* name, const char* caption, int x, int w) {
        auto* b = Add<CommandButton>(name);
        b->SetCaption(caption);
        b->setGeometry(x, 7, w, 26);
        return b;
    };
    showWord_ = button("ShowWord", "Anzeigen", 216, 80);
    showWord_->setDefault(true);
    allWords_ = button("AllWords", "Alle W\xf6rter", 300, 90);
    asList_ = button("AsList", "Als Liste", 394, 80);
    showEx_ = button("ShowEx", "Beispiel", 478, 80);
    showHelp_ = AddHelpButton();
    showHelp_->setGeometry(562, 7, 80, 26);

    transFrame_ = Add<QGroupBox>("TransFrame");
    transFrame_->setTitle(QStringLiteral("\u00dcbersetzung"));
    transFrame_->setGeometry(8, 38, 494, 72);
    trans_ = Add<RichTextPane>("Trans", -1, transFrame_);
    // Two lines high: a translation with topics and a comment often runs
    // past one line. The pane scrolls by wheel and keys, without a bar (the
    // paragraph's end would always show one).
    trans_->setGeometry(8, 20, 478, 46);
    trans_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    showNamesFrame_ = Add<QGroupBox>("ShowNamesFrame");
    showNamesFrame_->setGeometry(510, 38, 179, 72);
    showNames_ = Add<OptionButton>("ShowNames", -1, showNamesFrame_);
    showNames_->SetCaption("Namen");
    showNames_->setGeometry(10, 20, 78, 22);
    showGenNames_ = Add<OptionButton>("ShowGenNames", -1, showNamesFrame_);
    showGenNames_->SetCaption("Gruppen");
    showGenNames_->setGeometry(92, 20, 82, 22);

    historyFrame_ = AddFrame("HistoryFrame", "Verlauf", {8, 114, 681, 54});
    historyBox_ = Add<ComboBox>("History", -1, historyFrame_);
    historyBox_->setGeometry(8, 22, 597, kRowH);
    QStyle* style = historyFrame_->style();
    goBack_ = Add<CommandButton>("GoBack", -1, historyFrame_);
    goBack_->setIcon(style->standardIcon(QStyle::SP_ArrowBack));
    goBack_->setGeometry(611, 22, 30, kRowH);
    goForward_ = Add<CommandButton>("GoForward", -1, historyFrame_);
    goForward_->setIcon(style->standardIcon(QStyle::SP_ArrowForward));
    goForward_->setGeometry(645, 22, 30, kRowH);

    namesFrame_ = AddFrame("NamesFrame", "Namen zu Wort", {8, 172, 250, 332});
    namesView_ = Add<ListView>("Names");
    namesView_->setGeometry(16, 192, 234, 304);
    namesView_->raise();
    relWordsFrame_ = Add<QGroupBox>("RelWordsFrame");
    relWordsFrame_->setTitle(QStringLiteral("Verwandte W\u00f6rter"));
    relWordsFrame_->setGeometry(266, 172, 423, 332);
    relWordsPane_ = Add<RichTextPane>("RelWords");
    relWordsPane_->setGeometry(274, 192, 407, 304);
    relWordsPane_->raise();

    statusBar1_ = Add<QStatusBar>("StatusBar1");
    statusBar1_->setSizeGripEnabled(false);
    statusBar1_->setGeometry(0, kHeight - kStatusH, kWidth, kStatusH);
}

void OrigWord::Form_Load() {
    suppressEvents = false;
    curWord_ = anchor_ = nullptr;
    listTitle_.clear();
    restoring_ = allWordsMode_ = false;
    const double bottom = 3 * U() + kStatusH * 15;
    {
        Suppress quiet(*this);
        (Options::WordShowNames ? showNames_ : showGenNames_)->SetValue(true);
    }
    GuardOptions({showNames_, showGenNames_}, [this](int i) { ShowChoice_Click(i == 0); });

    Unbind();
    namesDisplay_ = std::make_unique<ListViewDisplay>(namesView_);
    names_ = std::make_shared<ResultSet>();
    names_->Init("", nullptr, "Alle Namen mit Bezug zum Wort", nullptr, namesDisplay_.get());
    names_->ShowColor();
    names_->ShowReason();
    names_->ShowUnique();
    names_->DefineTwoCol(LangText("Name/Gruppe", "Name/Group"), 3.0 / 5.0, LangText("zu Wort", "Word"), 2.0 / 5.0);
    namesDisplay_->InitSize(*names_, Client(), true, bottom, false, 0, namesFrame_);
    browseCopy.reset();
    browseCopyTitle.clear();

    relTd_ = std::make_unique<TextDisplay>();
    relTd_->Init("RelWords", relWordsPane_, this);
    relDisplay_ = std::make_unique<TextPaneDisplay>(relTd_.get(), relWordsPane_);
    relWords_ = std::make_shared<ResultSet>();
    relWords_->Init("", nullptr, "Alle W\xf6rter mit Bezug zum Wort", nullptr, relDisplay_.get());
    relWords_->showLinks();
    relWords_->ShowColor();
    relWords_->ShowUnique();
    relDisplay_->InitSize(*relWords_, Client(), true, bottom, true, 3 * U(), relWordsFrame_);

    historyDisplay_ = std::make_unique<ComboBoxDisplay>(historyBox_);
    historyList_ = std::make_shared<ResultSet>();
    historyList_->Init("", nullptr, "Verlauf der gew\xe4hlten W\xf6rter", nullptr, historyDisplay_.get());
    history_.Init();
    history_.SetListBox(historyList_);

    transTd_ = std::make_unique<TextDisplay>();
    transTd_->Init("Trans", trans_, this);
    // The line has no tab; a wrapped rest starts at the left edge, not under a tab stop.
    transTd_->SetTabPos(0);

    GuardBox(curWordBox_, {});  // typing looks nothing up
    curWordBox_->onEnter = [this] { showWord_->Press(); };
    showWord_->onClick = [this] { ShowWord_Click(); };
    allWords_->onClick = [this] { AllWords_Click(); };
    asList_->onClick = [this] { AsList_Click(); };
    showEx_->onClick = [this] {
        if (!WinMan::ActionBlocked()) Examples::ShowExample(Name());
    };
    historyBox_->onClick = [this] { History_Click(); };
    historyBox_->onDropDown = [this] { LowLevel::SetComboDropHeight(historyBox_); };
    goBack_->onClick = [this] { GoBack_Click(); };
    goForward_->onClick = [this] { GoForward_Click(); };
    namesView_->onClick = [this] { Names_ItemClick(); };
    WatchMouseUp(namesView_->viewport());

    Tip(curWordBox_, "Gew\xfcnschtes Wort eingeben/Anzeige des gew\xe4hlten Worts", "Choose a word/display of the current word");
    Tip(trans_, "\xdc" "bersetzung des aktuellen Worts", "Translation of the current word");
    Tip(showWord_, "Informationen zum eingegebenen Wort anzeigen", "Show information about the current word");
    Tip(allWords_, "Namen/Gruppen aller W\xf6rter, die mit dem aktuellen Wort verwandt sind, anzeigen",
        "Show all names and groups related to the current word");
    Tip(asList_, "Alle Namen/Gruppen mit Bezug zum Wort als Liste \xfc" "bergeben",
        "Turn all names and groups related to the current word into a list");
    Tip(goBack_, "Gehe zur\xfc" "ck zum vorhergehenden Wort gem\xe4ss Verlauf",
        "Go back to the previous word according to history");
    Tip(goForward_, "Gehe vorw\xe4rts zum n\xe4" "chsten Wort gem\xe4ss Verlauf",
        "Go forward to the next word according to history");
    Tip(showEx_, "Beispiele interessanter W\xf6rter anzeigen", "Show examples of interesting words");
    Tip(showHelp_, "Hilfe zum Fenster anzeigen", "Show help for this window");
    Tip(showGenNames_, "Gruppen statt Namen mit Bezug zum Wort anzeigen",
        "Show groups, not names, related to the current word");
    Tip(showNames_, "Namen statt Gruppen mit Bezug zum Wort anzeigen",
        "Show names, not groups, related to the current word");
    SetEnglishTexts();
    // Nothing is shown yet: nothing to widen or hand over.
    allWords_->setEnabled(false);
    asList_->setEnabled(false);
    showEx_->setEnabled(static_cast<bool>(Examples::showExample));
    FollowClientSize();
}

void OrigWord::SetEnglishTexts() {
    if (TextConstants::textLanguage != 1) return;
    SetCaption("Word");
    showWord_->SetCaption("Show");
    allWords_->SetCaption("All Words");
    asList_->SetCaption("As List");
    showEx_->SetCaption("Example");
    transFrame_->setTitle(QStringLiteral("Translation"));
    showNames_->SetCaption("Names");
    showGenNames_->SetCaption("Groups");
    historyFrame_->setTitle(QStringLiteral("History"));
    namesFrame_->setTitle(QStringLiteral("Names for word"));
    relWordsFrame_->setTitle(QStringLiteral("Related words"));
    names_->setToolTipText("All names related to the current word");
    relWords_->setToolTipText("All words related to the current word");
    historyList_->setToolTipText("History of the " + std::to_string(ResultHistory::kMaxSets) + " last words");
}

// --- showing a word ----------------------------------------------------------------------

void OrigWord::ShowAtom(atom* word) {
    if (!word || word == DataBase::nothingAtom || !names_) return;
    const bool own = word->isOptionsLang();
    curWord_ = anchor_ = word;
    SetTextQuietly(curWordBox_, word->Text());
    ShowTranslation(word, own);
    InfoTables::FillRelatedWords(word, *relWords_);
    InfoTables::FillWordNames(word, *relWords_, allWordsMode_, showNames_->Value(), *names_);
    ShowTitles(word);
    allWords_->setEnabled(!own);
}

void OrigWord::ShowTranslation(atom* word, bool own) {
    TextDisplay& td = *transTd_;
    td.BeginText();
    td.BeginPara();
    td.BeginColor(Options::OptColor[3]);
    td.AddStr(word->Text());
    td.EndColor();
    // A word without a language leaves that part out.
    if (atom* lang = InfoTables::FirstLang(word)) {
        td.AddStr("  ( ");
        td.AddLink(LinkTargetOf(lang));
        td.AddStr(")");
    }
    if (!own) {
        td.AddStr(" = ");
        atom* kind = GenDescr::PickTranslationProp(word, DataBase::prGerman, DataBase::prEnglish);
        bool first = true;
        for (Prop* p : word->props()) {
            if (!kind || p->proper() != kind) continue;
            if (!first) td.AddStr(", ");
            first = false;
            if (p->kind() == 1)
                td.AddStr(std::string(p->strVal()));
            else
                td.AddLink(LinkTargetOf(p->atomVal()));
        }
    }
    const std::vector<atom*> realms = GenDescr::GetRealms(word);
    if (!realms.empty()) {
        td.AddStr("  ( ");
        for (size_t i = 0; i < realms.size(); ++i) {
            if (i > 0) td.AddStr(", ");
            td.AddLink(LinkTargetOf(realms[i]));
        }
        td.AddStr(")");
    }
    // The comment of the text language, as the descriptions take it.
    Prop* comment = TextConstants::textLanguage == 1 ? word->FirstProp(DataBase::prCommentE) : nullptr;
    if (!comment) comment = word->FirstProp(DataBase::prComment);
    if (comment) td.AddStr("  (" + std::string(comment->strVal()) + ")");
    td.EndPara();
    td.EndText();
    td.DisplayText();
}

void OrigWord::ShowTitles(atom* word) {
    const std::string text = word->Text();
    relWordsFrame_->setTitle(QtText::ToQt(LangText("Mit '" + text + "' verwandte W\xf6rter", "Words related to '" + text + "'")));
    names_->Show();
    relWords_->Show();
    namesFrame_->setTitle(
        QtText::ToQt(CountText::ResultSizeText(*names_) + LangText(" zu '", " for '") + text + "'"));
    // The title always follows the word shown, also after a restore, so
    // that As List names the right word.
    listTitle_ = InfoTables::WordListTitle(word, allWordsMode_);
    names_->setPureTitle(listTitle_);
    asList_->setEnabled(names_->numLines() > 0 && Auto::IsAvailable(WindowNames::kNameLists));
    if (!restoring_) {
        auto entry = std::make_shared<ResultSet>();
        entry->Init(CountText::ResultSizeText(*names_) + listTitle_, nullptr, "", nullptr, nullptr);
        entry->setSelfAtom(word);
        entry->AddResult(text, "", word);
        Suppress quiet(*this);
        history_.Add(entry);
    }
    WinMan::FocusIfCurrent(*this, curWordBox_);
}

void OrigWord::RestoreFromHistory(const std::shared_ptr<ResultSet>& entry) {
    if (!entry || entry->numLines() == 0) return;
    Suppress quiet(*this);
    restoring_ = true;
    allWordsMode_ = InfoTables::IsAllWordsTitle(entry->fixedTitle());
    ShowAtom(entry->atom(0));
    allWordsMode_ = restoring_ = false;
}

// --- commands --------------------------------------------------------------------------------

void OrigWord::ShowWord_Click() {
    if (!IsLoaded() || WinMan::ActionBlocked()) return;
    std::string text = curWordBox_->Text();
    Searches::LocateName(text, 7, 9999, this);
}

void OrigWord::AllWords_Click() {
    if (!relWords_ || relWords_->numLines() == 0 || WinMan::ActionBlocked()) return;
    allWordsMode_ = true;
    ShowAtom(anchor_);
    allWordsMode_ = false;
}

void OrigWord::AsList_Click() {
    if (!names_ || names_->numLines() == 0 || WinMan::ActionBlocked()) return;
    Searches::NewRes(listTitle_, *names_, Searches::kAlone);
}

void OrigWord::ShowChoice_Click(bool names) {
    if (curWord_) ShowAtom(curWord_);
    Options::WordShowNames = names;
}

void OrigWord::History_Click() {
    if (suppressEvents || WinMan::ActionBlocked()) return;
    const int i = historyBox_->ListIndex();
    if (i < 0 || i >= history_.numSets()) return;
    {
        Suppress quiet(*this);
        history_.SetCurrent(i);
    }
    RestoreFromHistory(history_.current());
}

void OrigWord::StepHistory(bool forward) {
    if (WinMan::ActionBlocked()) return;
    // An open drop-down of the history box closes first.
    historyBox_->hidePopup();
    std::shared_ptr<ResultSet> entry;
    {
        Suppress quiet(*this);
        entry = forward ? history_.GoForward() : history_.GoBack();
    }
    if (entry) RestoreFromHistory(entry);
}

void OrigWord::GoBack_Click() { StepHistory(false); }
void OrigWord::GoForward_Click() { StepHistory(true); }

void OrigWord::Names_ItemClick() {
    if (suppressEvents || WinMan::ActionBlocked() || !names_) return;
    TableItemToNameWindow(*names_);
}

std::string OrigWord::TransRtf() const { return transTd_ ? transTd_->GetStr() : std::string(); }
std::string OrigWord::NamesCaption() const { return QtText::FromQt(namesFrame_->title()); }
std::string OrigWord::RelWordsCaption() const { return QtText::FromQt(relWordsFrame_->title()); }

// --- life cycle -----------------------------------------------------------------------------

void OrigWord::Form_Activate() { nameWindowPending = false; }

void OrigWord::Form_Resize() {
    if (IsLoading() || !names_ || !relWords_) return;
    statusBar1_->setGeometry(0, Client()->height() - kStatusH, Client()->width(), kStatusH);
    namesDisplay_->Resize(*names_);
    relDisplay_->Resize(*relWords_);
}

void OrigWord::Form_Unload(bool&) {
    Unbind();
    curWord_ = anchor_ = nullptr;
}

void OrigWord::OnNotify(int code, const std::string& text) {
    switch (code) {
    case 0: FollowDescriptionLink(text, nullptr); break;
    case 3: ShowWord_Click(); break;
    default: break;
    }
}
