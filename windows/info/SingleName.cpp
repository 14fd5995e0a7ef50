#include "SingleName.h"

#include <QApplication>
#include <QEvent>
#include <QGroupBox>
#include <QStatusBar>
#include <QStyle>

#include "Atom.h"
#include "AtomAccess.h"
#include "Basic.h"
#include "DataBase.h"
#include "ExampleMode.h"
#include "GenDescr.h"
#include "GenMsg.h"
#include "Options.h"
#include "QtLowLevel.h"
#include "QtText.h"
#include "ResultSet.h"
#include "ToolTip.h"
#include "ResultViews.h"
#include "RichTextPane.h"
#include "Searches.h"
#include "TextConstants.h"
#include "TextDisplay.h"
#include "WinMan.h"
#include "DescriptionPane.h"

using TextConstants::LangText;

namespace {

// Layout in pixels (15 twips each).
constexpr int kWidth = 650, kHeight = 442;
constexpr int kRowH = 24;

}  // namespace

SingleName::SingleName() : ChildForm(WindowNames::kSingleName) {}

bool SingleName::English() { return TextConstants::textLanguage == 1; }

SingleName::~SingleName() {
    // The lists may outlive nothing of the window: unbind before the
    // bindings go.
    nameHistory_.Init();
    browseLists_.Init();
    if (historyList_) historyList_->Unbind();
    if (curListList_) curListList_->Unbind();
    if (placeholder_) placeholder_->Unbind();
}

// --- Layout --------------------------------------------------------------------------

void SingleName::BuildControls() {
    SetClientSize(kWidth, kHeight);
    SetCaption("Name/Gruppe");
    QStyle* style = QApplication::style();
    auto iconButton = [&](const std::string& name, QStyle::StandardPixmap pix, const char* fallback,
                          QWidget* parent, int x, int y) {
        auto* b = Add<CommandButton>(name, -1, parent);
        QIcon icon = style->standardIcon(pix);
        if (icon.isNull())
            b->setText(QString::fromLatin1(fallback));
        else
            b->setIcon(icon);
        b->setGeometry(x, y, 28, kRowH);
        b->setFocusPolicy(Qt::TabFocus);
        return b;
    };

    int y = 8;
    curName_ = Add<TextBox>("CurName");
    curName_->setGeometry(8, y, 190, kRowH);
    groups_ = Add<CheckBox>("Groups");
    groups_->SetCaption("Gruppen?");
    groups_->setGeometry(206, y, 84, kRowH);
    showName_ = AddButton("ShowName", "Anzeigen", {292, y, 76, kRowH});
    showName_->setDefault(true);
    asList_ = AddButton("AsList", "Als Liste", {382, y, 66, kRowH});
    asFavorite_ = AddButton("AsFavorite", "Als Favorit", {450, y, 76, kRowH});
    showEx_ = AddButton("ShowEx", "Beispiel", {528, y, 58, kRowH});
    showHelp_ = AddHelpButton();
    showHelp_->setGeometry(588, y, 54, kRowH);

    y = 38;
    historyFrame_ = AddFrame("HistoryFrame", "Verlauf", {8, y, 300, 56});
    history_ = Add<ComboBox>("History", -1, historyFrame_);
    history_->setGeometry(8, 22, 216, kRowH);
    goBack_ = iconButton("GoBack", QStyle::SP_ArrowBack, "<", historyFrame_, 230, 22);
    goForward_ = iconButton("GoForward", QStyle::SP_ArrowForward, ">", historyFrame_, 262, 22);

    curListFrame_ = Add<QGroupBox>("CurListFrame");
    curListFrame_->setTitle(QStringLiteral("Bl\u00e4ttern in Liste"));
    curListFrame_->setGeometry(316, y, 326, 56);
    curList_ = Add<ComboBox>("CurList", -1, curListFrame_);
    curList_->setGeometry(8, 22, 182, kRowH);
    goNameBegin_ = iconButton("GoNameBegin", QStyle::SP_MediaSkipBackward, "|<", curListFrame_, 194, 22);
    goNameBack_ = iconButton("GoNameBack", QStyle::SP_MediaSeekBackward, "<", curListFrame_, 226, 22);
    goNameForward_ = iconButton("GoNameForward", QStyle::SP_MediaSeekForward, ">", curListFrame_, 258, 22);
    goNameEnd_ = iconButton("GoNameEnd", QStyle::SP_MediaSkipForward, ">|", curListFrame_, 290, 22);

    // The frame stands behind the pane; both are children of the window, so
    // that the pane's position is the window's and the frame follows it.
    y = 100;
    textFrame_ = AddFrame("TextFrame", "Informationen", {8, y, 634, 312});
    text_ = Add<RichTextPane>("Text");
    text_->setGeometry(16, y + 20, 618, 284);
    text_->raise();

    statusBar1_ = Add<QStatusBar>("StatusBar1");
    statusBar1_->setSizeGripEnabled(false);
    statusBar1_->setGeometry(0, kHeight - 20, kWidth, 20);
}

// --- Load ------------------------------------------------------------------------------

void SingleName::Form_Load() {
    savedCurName_.clear();
    suppressEvents = false;

    // The history of shown entries and its box.
    historyDisplay_ = std::make_unique<ComboBoxDisplay>(history_);
    historyList_ = std::make_shared<ResultSet>();
    historyList_->Init("", nullptr, "Verlauf der angezeigten Namen bzw. Gruppen", nullptr,
                       historyDisplay_.get());
    historyList_->ShowColor();
    nameHistory_.Init();
    nameHistory_.SetListBox(historyList_);

    // The browse lists and their box; choosing one never shows it.
    curListDisplay_ = std::make_unique<ComboBoxDisplay>(curList_);
    curListList_ = std::make_shared<ResultSet>();
    curListList_->Init("", nullptr, "Laufende Liste f\xfcr Bl\xe4ttern", nullptr, curListDisplay_.get());
    browseLists_.Init();
    browseLists_.showSets(false);
    browseLists_.SetListBox(curListList_);

    // The placeholder: anchors the pane and its frame, and clears the pane
    // when it is shown.
    curNameCaption_ = std::make_unique<TextBoxCaption>(*this, curName_);
    dummyTd_ = std::make_unique<TextDisplay>();
    dummyTd_->Init("DummyTd", text_, this);
    dummyTd_->setWithLinks(false);
    dummyPane_ = std::make_unique<DescriptionPane>(dummyTd_.get(), text_, "DummyTd", this, false);
    placeholder_ = std::make_shared<ResultSet>();
    placeholder_->Init("", nullptr, "Informationen zum gew\xe4hlten Namen bzw. zur Gruppe", nullptr,
                       dummyPane_.get());
    dummyPane_->InitSize(*placeholder_, Client(), true, 3 * U() + 300, true, 3 * U(), textFrame_);

    Tip(curName_, "Wahl des Namens bzw. der Gruppe/Anzeige des gew\xe4hlten Namens",
        "Enter the wanted name or group/display of the current name or group");
    Tip(showName_, "Informationen zum gew\xe4hlten Namen bzw. zur Gruppe anzeigen",
        "Show the information of the name or group");
    Tip(asFavorite_, "Gew\xe4hlten Namen als Favorit vermerken",
        "Note the current name or group as a favorite");
    Tip(goBack_, "Zum vorhergehenden Namen gem\xe4ss Verlauf zur\xfc" "ckgehen",
        "Go back one name or group in the history");
    Tip(goForward_, "Zum n\xe4" "chsten Namen gem\xe4ss Verlauf vorw\xe4rtsgehen",
        "Go forward one name or group in the history");
    Tip(asList_, "Alle Namen bzw. Namens-Varianten der angezeigten Gruppe als Liste \xfc" "bergeben",
        "Turn all variants of the current group into a list");
    Tip(showEx_, "Beispiele f\xfcr interessante Namen anzeigen",
        "Show examples of interesting names");
    Tip(showHelp_, "Hilfe zum Fenster anzeigen",
        "Show help for this window");
    Tip(goNameBack_, "In der laufenden Liste f\xfcr Bl\xe4ttern 1 Namen zur\xfc" "ckgehen",
        "Go back one name in the currently set browsing list");
    Tip(goNameForward_, "In der laufenden Liste f\xfcr Bl\xe4ttern 1 Namen vorw\xe4rtsgehen",
        "Go forward one name in the currently set browsing list");
    Tip(goNameBegin_, "In der laufenden Liste f\xfcr Bl\xe4ttern zum ersten Namen gehen",
        "Go to the first name of the currently set browsing list");
    Tip(goNameEnd_, "In der laufenden Liste f\xfcr Bl\xe4ttern zum letzten Namen gehen",
        "Go to the last name of the currently set browsing list");
    curAtom_ = nullptr;
    curBrowseSet_.reset();

    // Handlers.
    GuardBox(curName_, {});  // typing looks nothing up
    // Back in the name box (from another window, a message, the keyboard)
    // its text is selected, so that a name typed next replaces it.
    curName_->onGotFocus = [this, guard = curName_->onGotFocus] {
        if (guard) guard();
        curName_->selectAll();
    };
    showName_->onClick = [this] { ShowName_Click(); };
    goNameBegin_->onClick = [this] { Browse(&ResultSet::GoBegin); };
    goNameBack_->onClick = [this] { Browse(&ResultSet::GoBack); };
    goNameForward_->onClick = [this] { Browse(&ResultSet::GoForward); };
    goNameEnd_->onClick = [this] { Browse(&ResultSet::GoEnd); };
    curList_->onClick = [this] { CurList_Click(); };
    history_->onClick = [this] { History_Click(); };
    curList_->onDropDown = [this] { LowLevel::SetComboDropHeight(curList_); };
    history_->onDropDown = [this] { LowLevel::SetComboDropHeight(history_); };
    goBack_->onClick = [this] { StepHistory(false); };
    goForward_->onClick = [this] { StepHistory(true); };
    asList_->onClick = [this] { AsList_Click(); };
    asFavorite_->onClick = [this] { AsFavorite_Click(); };
    showEx_->onClick = [this] { ShowEx_Click(); };
    // Enter in the name box looks the name up.
    curName_->onEnter = [this] { showName_->Press(); };

    FollowClientSize();
    FillBrowseListsFromManager();
    SetBrowseCaption(Basic::kNone, Basic::kNone);
    SetEnglishTexts();
    UpdateCommandStates();
}

void SingleName::SetEnglishTexts() {
    if (!English()) return;
    SetCaption("Name/Group");
    showName_->SetCaption("Show");
    textFrame_->setTitle(QStringLiteral("Information"));
    historyFrame_->setTitle(QStringLiteral("History"));
    asList_->SetCaption("As List");
    asFavorite_->SetCaption("As Favorite");
    showEx_->SetCaption("Example");
    groups_->SetCaption("Groups?");
    SetBrowseCaption(browsePos_, browseCount_);

    historyList_->setToolTipText("History of the last shown names/groups");
    curListList_->setToolTipText("Current list for browsing");
    placeholder_->setToolTipText("Information for the currently selected name/group");
}

// Commands whose target window is not part of this build stay disabled.
void SingleName::UpdateCommandStates() {
    if (!IsLoaded()) return;
    asList_->setEnabled(Auto::IsAvailable(WindowNames::kNameLists));
    asFavorite_->setEnabled(Auto::IsAvailable(WindowNames::kFavorites));
    showEx_->setEnabled(static_cast<bool>(Examples::showExample));
}

void SingleName::Form_Resize() {
    if (IsLoading() || !placeholder_ || !dummyPane_) return;
    if (statusBar1_) statusBar1_->setGeometry(0, Client()->height() - 20, Client()->width(), 20);
    dummyPane_->Resize(*placeholder_);
}

void SingleName::Form_Unload(bool&) {
    nameHistory_.Init();
    browseLists_.Init();
    curBrowseSet_.reset();
    curAtom_ = nullptr;
    if (historyList_) historyList_->Unbind();
    if (curListList_) curListList_->Unbind();
    if (placeholder_) placeholder_->Unbind();
    historyList_.reset();
    curListList_.reset();
    placeholder_.reset();
    dummyPane_.reset();
    dummyTd_.reset();
    historyDisplay_.reset();
    curListDisplay_.reset();
    curNameCaption_.reset();
}

// --- Browse caption ------------------------------------------------------------------------

void SingleName::SetBrowseCaption(int p, int n) {
    browsePos_ = p;
    browseCount_ = n;
    if (!curListFrame_) return;
    std::string caption;
    if (p == Basic::kNone && n == Basic::kNone) {
        caption = LangText("Bl\xe4ttern in Liste", "Browse in list");
    } else {
        const std::string pos = std::to_string(p + 1), count = std::to_string(n);
        caption = LangText("Bl\xe4ttern in Liste (Position " + pos + " von " + count + ")",
                           "Browse in list (position " + pos + " of " + count + ")");
    }
    curListFrame_->setTitle(QtText::ToQt(caption));
}

std::string SingleName::BrowseCaption() const {
    return curListFrame_ ? QtText::FromQt(curListFrame_->title()) : std::string();
}

// --- Browse lists ------------------------------------------------------------------------------

void SingleName::FillBrowseListsFromManager() {
    Suppress quiet(*this);
    curListList_->Reset();
    if (!Searches::GetListsCurrent()) return;
    const Searches::Env& env = Searches::GetEnv();
    auto* manager = env.windows ? dynamic_cast<NameListsWindow*>(env.windows->FormByName(WindowNames::kNameLists))
                                : nullptr;
    if (!manager) return;
    for (const auto& list : manager->HistoryLists())
        if (list) browseLists_.Add(list);
}

void SingleName::SelectBrowseList(const std::shared_ptr<ResultSet>& set) {
    Suppress quiet(*this);
    for (int i = 0; i < browseLists_.numSets(); ++i) {
        if (browseLists_.resSet(i) == set) {
            browseLists_.SetCurrent(i);
            return;
        }
    }
    browseLists_.Add(set);
}

// --- Showing an entry -------------------------------------------------------------------------

void SingleName::ShowAtomInSet(atom* a, std::shared_ptr<ResultSet> set, bool markCurrent) {
    if (!a) return;
    // Lists, browse lists and favorites keep the entries they were made with.
    // One deleted since (in New Names) is no longer in the database, though
    // its object lives on: it is not found, as when its text is typed. A name
    // changed since is shown as it is now.
    atom* now = DataBase::LiveAtom(a);
    if (now == DataBase::nothingAtom) {
        const std::string text = VanishedText(a, set.get(), markCurrent);
        if (!text.empty()) GenMsg::ShowMsg(GenMsg::GMnothingFound, 1, text);
        return;
    }
    a = now;
    // The window may have been closed while another window still held it
    // (a pending choice among similar entries): open it again first.
    if (!IsLoaded()) {
        WinMan::OpenForm(Name());
        if (!IsLoaded()) return;
    }
    if (a->kind() == 4) {
        Prop* p = a->FirstProp(DataBase::prGenName);
        a = p ? p->atomVal() : nullptr;
        if (!a) return;
    }
    const bool isGroup = a->kind() == 2 || a->kind() == 3;
    const bool isName = a->kind() == 0 || a->kind() == 1;
    if (!isGroup && !isName) return;

    curAtom_ = a;
    SetBrowseCaption(Basic::kNone, Basic::kNone);
    const searchInfo* markInfo = nullptr;
    if (set) {
        SelectBrowseList(set);
        curBrowseSet_ = set;
        if (markCurrent) set->CurPosToMarked();
        markInfo = set->searchInfo().get();
        SetBrowseCaption(set->curPos(), set->numLines());
    }
    SetTextQuietly(curName_, a->Text());
    const std::shared_ptr<ResultSet> list = Describe(a, markInfo);
    // The terms of the search belong to this description only.
    list->Show();
    // The focus stays in the name box with its text selected, so that the
    // next name typed replaces it (in the history box typing would pick
    // history entries instead).
    curName_->selectAll();
    WinMan::FocusIfCurrent(*this, curName_);

    Suppress quiet(*this);
    nameHistory_.Add(list);
}

std::shared_ptr<ResultSet> SingleName::Describe(atom* a, const searchInfo* markInfo) {
    auto list = std::make_shared<DescriptionList>(*this, text_, a->name());
    list->Init(a->Text(), curNameCaption_.get(), "", nullptr, list->pane.get());
    list->setSelfAtom(a);
    list->showLinks();
    list->ShowColor();
    GenDescr::DescrFlags flags;
    flags.markInfo = markInfo;
    flags.withAtomLinks = true;
    flags.richText = true;
    flags.withHelpLinks = Options::ShowSingleInfoLinks;
    if (a->kind() == 2 || a->kind() == 3)
        GenDescr::DescribeGroup(a, *list, flags);
    else
        GenDescr::DescribeName(a, *list, flags);
    return list;
}

std::string SingleName::VanishedText(atom* a, const ResultSet* set, bool markCurrent) {
    if (a != DataBase::nothingAtom) return a->Text();
    // A name a list file or a favorite names, but the database no longer
    // has, is known only by its line.
    if (!set) return {};
    const int32_t line = markCurrent ? set->marked() : set->curPos();
    if (line < 0 || line >= set->numLines() || set->atom(line) != a) return {};
    const std::string text = set->line(line);
    return text.substr(0, text.find('\t'));
}

// The user's names changed: the entries of names deleted since leave the
// history, and those of names changed since (a delete and a create under the
// same internal name) are described anew in their places. The one on display,
// when it went, makes way for the entry before it, or for an empty pane.
void SingleName::DropVanishedEntries() {
    if (!IsLoaded()) return;
    auto deleted = [](const ResultSet& rs) {
        atom* a = rs.selfAtom();
        return a && a != DataBase::nothingAtom && DataBase::LiveAtom(a) == DataBase::nothingAtom;
    };
    const std::shared_ptr<ResultSet> shown = nameHistory_.current();
    const bool shownDeleted = shown && deleted(*shown);
    int dropped = 0, renewed = 0;
    {
        Suppress quiet(*this);
        dropped = nameHistory_.RemoveIf(deleted);
        renewed = nameHistory_.Renew([this](const ResultSet& rs) -> std::shared_ptr<ResultSet> {
            atom* a = rs.selfAtom();
            atom* now = a ? DataBase::LiveAtom(a) : nullptr;
            return now && now != a && now != DataBase::nothingAtom ? Describe(now, nullptr) : nullptr;
        });
    }
    if (dropped == 0 && renewed == 0) return;
    const std::shared_ptr<ResultSet> current = nameHistory_.current();
    if (current == shown) return;  // the one on display stays as it is
    SetBrowseCaption(Basic::kNone, Basic::kNone);
    if (current) {
        Suppress quiet(*this);
        nameHistory_.SetCurrent(nameHistory_.curIndex());
        curAtom_ = current->selfAtom();
    } else if (shownDeleted) {
        curAtom_ = nullptr;
        placeholder_->Show();
        SetTextQuietly(curName_, "");
    }
}

// --- Commands -------------------------------------------------------------------------------

void SingleName::ShowName_Click() {
    if (!IsLoaded() || WinMan::ActionBlocked()) return;
    std::string text = curName_->Text();
    if (groups_->Value() == 1)
        Searches::LocateName(text, 2, 3, this);
    else
        Searches::LocateName(text, 0, 1, this);
}

void SingleName::Browse(atom* (ResultSet::*step)()) {
    if (WinMan::ActionBlocked() || !curBrowseSet_) return;
    std::shared_ptr<ResultSet> set = curBrowseSet_;  // the call below may replace it
    if (atom* a = ((*set).*step)()) ShowAtomInSet(a, set, false);
}

void SingleName::CurList_Click() {
    if (suppressEvents || WinMan::ActionBlocked()) return;
    const int i = curList_->ListIndex();
    if (i < 0 || i >= browseLists_.numSets()) return;
    curBrowseSet_ = browseLists_.resSet(i);
    if (!curBrowseSet_) return;
    if (curBrowseSet_->numLines() == 0) {
        SetBrowseCaption(Basic::kNone, Basic::kNone);
        placeholder_->Show();
        return;
    }
    int32_t pos = curBrowseSet_->curPos();
    if (pos < 0 || pos >= curBrowseSet_->numLines()) pos = 0;
    ShowAtomInSet(curBrowseSet_->atom(pos), curBrowseSet_, false);
}

void SingleName::History_Click() {
    if (suppressEvents || WinMan::ActionBlocked()) return;
    const int i = history_->ListIndex();
    if (i < 0 || i >= nameHistory_.numSets()) return;
    SetBrowseCaption(Basic::kNone, Basic::kNone);
    Suppress quiet(*this);
    nameHistory_.SetCurrent(i);
    if (auto cur = nameHistory_.current()) curAtom_ = cur->selfAtom();
}

void SingleName::StepHistory(bool forward) {
    if (WinMan::ActionBlocked()) return;
    std::shared_ptr<ResultSet> list;
    {
        Suppress quiet(*this);
        list = forward ? nameHistory_.GoForward() : nameHistory_.GoBack();
    }
    if (!list) return;
    curAtom_ = list->selfAtom();
    SetBrowseCaption(Basic::kNone, Basic::kNone);
}

void SingleName::AsList_Click() {
    if (WinMan::ActionBlocked() || !curAtom_) return;
    atom* g = curAtom_;
    if (!(g->kind() == 2 || g->kind() == 3)) {
        Prop* p = g->FirstProp(DataBase::prGenName);
        g = p ? p->atomVal() : nullptr;
    }
    if (!g || g == DataBase::nothingAtom) return;
    ResultSet rs;
    rs.InitInt();
    for (atom* name : ListAtoms::PropTargets({g}, DataBase::prNameVariant, 1, 0)) rs.AddResult(name->Text(), g->Text(), name);
    Searches::NewRes(LangText(" aus Gruppe '" + g->Text() + "'", " from group '" + g->Text() + "'"), rs, 0);
}

void SingleName::AsFavorite_Click() {
    if (WinMan::ActionBlocked() || !curAtom_) return;
    WinMan::OpenForm(WindowNames::kFavorites);
    if (auto* favorites = dynamic_cast<AtomShower*>(Auto::GetForm(WindowNames::kFavorites)))
        favorites->ShowAtom(curAtom_);
}

void SingleName::ShowEx_Click() {
    if (WinMan::ActionBlocked()) return;
    Examples::ShowExample(Name());
}

// --- Notifications ------------------------------------------------------------------------

void SingleName::OnNotify(int code, const std::string& text) {
    switch (code) {
    case 0: {
        // Links to windows this build does not have yet stay dead.
        const double id = Basic::Val(text);
        if (id < 40000) {
            atom* a = DataBase::AtomById(Basic::CLng(id));
            if (!a || !LinkWindowAvailable(a->kind())) return;
        }
        Searches::FollowLink(text, nullptr, curAtom_);
        break;
    }
    case 2: {
        if (!IsLoaded()) return;
        if (auto current = Searches::GetListsCurrent()) {
            Suppress quiet(*this);
            browseLists_.Add(current);
        }
        if (curBrowseSet_) SelectBrowseList(curBrowseSet_);
        break;
    }
    case 3: ShowName_Click(); break;
    case 4: DropVanishedEntries(); break;
    default: break;
    }
}
