#include "NameLists.h"

#include "Favorites.h"
#include "ListOp.h"
#include "StdLists.h"

#include <QApplication>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QStatusBar>
#include <QStyle>
#include <utility>
#include <vector>

#include "Cp1252.h"
#include "Errors.h"
#include "FormControls.h"
#include "Options.h"
#include "QtLowLevel.h"
#include "QtText.h"
#include "ResultHistory.h"
#include "ResultSet.h"
#include "Searches.h"
#include "Services.h"
#include "TextConstants.h"
#include "WinMan.h"

using ListManager::Step;
using TextConstants::LangText;

namespace {

constexpr int kStatusHeight = 20;  // pixels

// Bindings of an earlier load: lists made then may still point at them.
std::vector<std::unique_ptr<ListViewDisplay>>& RetiredDisplays() {
    static std::vector<std::unique_ptr<ListViewDisplay>> retired;
    return retired;
}

int Index(Step s) { return static_cast<int>(s); }

// The partner of an exclusive pair of automatic steps.
Step Partner(Step s) {
    switch (s) {
    case Step::FemaleOnly: return Step::MaleOnly;
    case Step::MaleOnly: return Step::FemaleOnly;
    case Step::ToNames: return Step::ToGroups;
    case Step::ToGroups: return Step::ToNames;
    case Step::NamesOnly: return Step::GroupsOnly;
    case Step::GroupsOnly: return Step::NamesOnly;
    }
    return s;
}

bool& AutoOption(Step s) {
    switch (s) {
    case Step::FemaleOnly: return Options::ListsAutoFemaleOnly;
    case Step::MaleOnly: return Options::ListsAutoMaleOnly;
    case Step::ToNames: return Options::ListsAutoToNames;
    case Step::ToGroups: return Options::ListsAutoToGenNames;
    case Step::NamesOnly: return Options::ListsAutoNamesOnly;
    case Step::GroupsOnly: return Options::ListsAutoGenNamesOnly;
    }
    return Options::ListsAutoToNames;
}

struct StepTexts {
    const char* button;
    const char* box;
    const char* germanCaption;
    const char* englishCaption;
    const char* germanTip;
    const char* englishTip;
    const char* germanAutoTip;
    const char* englishAutoTip;
};

// Indexed by Step. The German texts are UTF-8 here and become cp1252 through _cp.
constexpr StepTexts kStepTexts[ListManager::kNumSteps] = {
    {"GenderFemaleOnly", "AutoFemaleOnly", "Nur weibliche", "Only Female",
     "Lasse in der aktuellen Liste nur Weibliches stehen", "Leave only female names and groups in the current list",
     "Führe 'Nur weibliche' automatisch für jede neue Liste aus", "Execute 'Only Female' automatically for all new lists"},
    {"GenderMaleOnly", "AutoMaleOnly", "Nur männliche", "Only Male",
     "Lasse in der aktuellen Liste nur Männliches stehen", "Leave only male names and groups in the current list",
     "Führe 'Nur männliche' automatisch für jede neue Liste aus", "Execute 'Only Male' automatically for all new lists"},
    {"TranslateToNames", "AutoToNames", "Zu Namen", "To Names",
     "Übersetze alle Gruppen in der aktuellen Liste zu Namen", "Convert all groups in the current list to names",
     "Führe 'Zu Namen' automatisch für jede neue Liste aus", "Execute 'To Names' automatically for all new lists"},
    {"TranslateToGenNames", "AutoToGenNames", "Zu Gruppen", "To Groups",
     "Übersetze alle Namen in der aktuellen Liste zu Gruppen", "Convert all names in the current list to groups",
     "Führe 'Zu Gruppen' automatisch für jede neue Liste aus", "Execute 'To Groups' automatically for all new lists"},
    {"GenNamesOnly", "AutoNamesOnly", "Nur Namen", "Only Names",
     "Lasse in der aktuellen Liste nur Namen stehen", "Leave only names in the current list, i.e. remove all groups",
     "Führe 'Nur Namen' automatisch für jede neue Liste aus", "Execute 'Only Names' automatically for all new lists"},
    {"GenGenNamesOnly", "AutoGenNamesOnly", "Nur Gruppen", "Only Groups",
     "Lasse in der aktuellen Liste nur Gruppen stehen", "Leave only groups in the current list, i.e. remove all names",
     "Führe 'Nur Gruppen' automatisch für jede neue Liste aus", "Execute 'Only Groups' automatically for all new lists"},
};

// Where each step's button and check box sit (body pixels): the two
// conversions side by side, the four filters two by two.
struct Spot {
    int x, y;
};
constexpr Spot kStepSpots[ListManager::kNumSteps] = {
    {354, 256}, {526, 256}, {354, 186}, {526, 186}, {354, 306}, {526, 306},
};

}  // namespace

NameLists::NameLists() : ChildForm("NameLists", Kind::MdiChild, kPlaced | kInHistory | kStored) {}

NameLists::~NameLists() {
    // Lists made here may live on elsewhere (browse lists of the name
    // window) and keep pointing at the bindings: those stay for the run.
    if (namesDisplay_) RetiredDisplays().push_back(std::move(namesDisplay_));
    if (historyDisplay_) RetiredDisplays().push_back(std::move(historyDisplay_));
}

// --- building -----------------------------------------------------------------------

void NameLists::BuildControls() {
    Resize(7290, 10710);
    SetCaption("Listen verwalten");
    QWidget* client = Client();
    // The client's own resize places the body and fits the two lists; below
    // the designed layout (the sort frame's foot and the status bar) controls
    // would be cut off.
    FollowClientSize();
    SetMinClientSize(706, 434 + kStatusHeight);
    body_ = new QWidget(client);
    body_->setObjectName("Body");

    // Frames first: the controls drawn over them come later.
    currentListFrame_ = AddFrame("CurrentListFrame", "Aktuelle Liste", {6, 2, 694, 52}, body_);
    namesFrame_ = AddFrame("NamesFrame", "Namen der aktuellen Liste", {6, 58, 330, 370}, body_);
    historyFrame_ = AddFrame("HistoryFrame", "Verlauf", {344, 58, 356, 108}, body_);
    convertFrame_ = AddFrame("ConvertFrame", "Umwandeln", {344, 170, 356, 66}, body_);
    filterFrame_ = AddFrame("FilterFrame", "Filtern", {344, 240, 356, 116}, body_);
    sortFrame_ = AddFrame("SortFrame", "Sortieren", {344, 360, 356, 70}, body_);

    QStyle* style = QApplication::style();
    goBack_ = Add<CommandButton>("GoBack", -1, body_);
    goBack_->setIcon(style->standardIcon(QStyle::SP_ArrowBack));
    goBack_->setGeometry(14, 22, 28, 24);
    goForward_ = Add<CommandButton>("GoForward", -1, body_);
    goForward_->setIcon(style->standardIcon(QStyle::SP_ArrowForward));
    goForward_->setGeometry(44, 22, 28, 24);
    curListQuery_ = Add<TextBox>("CurListQuery", -1, body_);
    curListQuery_->setReadOnly(true);
    curListQuery_->setGeometry(78, 22, 614, 24);

    names_ = Add<ListView>("Names", -1, body_);
    names_->setGeometry(14, 76, 314, 340);
    history_ = Add<ListView>("History", -1, body_);
    history_->setGeometry(352, 76, 340, 82);
    history_->setHeaderHidden(false);

    for (Step s : ListManager::kStepOrder) {
        const StepTexts& t = kStepTexts[Index(s)];
        const Spot p = kStepSpots[Index(s)];
        auto* b = Add<CommandButton>(t.button, -1, body_);
        b->SetCaption(Cp(t.germanCaption));
        b->setGeometry(p.x, p.y, 160, 24);
        auto* c = Add<CheckBox>(t.box, -1, body_);
        c->SetCaption("automatisch");
        c->setGeometry(p.x + 4, p.y + 26, 156, 20);
        stepButtons_[static_cast<size_t>(Index(s))] = b;
        autoBoxes_[static_cast<size_t>(Index(s))] = c;
    }

    sortCurrentLabel_ = AddLabel("SortCurrentLabel", "aktuelle Liste:", {354, 378, 92, 22}, body_);
    actSortOrder_ = Add<ComboBox>("ActSortOrder", -1, body_);
    actSortOrder_->setGeometry(448, 378, 150, 22);
    sortNewLabel_ = AddLabel("SortNewLabel", "neue Listen:", {354, 404, 92, 22}, body_);
    newSortOrder_ = Add<ComboBox>("NewSortOrder", -1, body_);
    newSortOrder_->setGeometry(448, 404, 150, 22);
    showHelp_ = AddHelpButton();
    showHelp_->setParent(body_);
    showHelp_->setGeometry(610, 390, 80, 26);

    statusBar_ = Add<QStatusBar>("StatusBar1", -1, client);
    statusBar_->setSizeGripEnabled(false);
    LayOut();
}

void NameLists::LayOut() {
    QWidget* client = Client();
    if (!client || !body_ || !statusBar_) return;
    const QRect r = client->contentsRect();
    body_->setGeometry(r.x(), r.y(), r.width(), std::max(0, r.height() - kStatusHeight));
    statusBar_->setGeometry(r.x(), r.bottom() + 1 - kStatusHeight, r.width(), kStatusHeight);
    // The current list's title runs across the window, as the history does.
    if (currentListFrame_ && curListQuery_) {
        currentListFrame_->resize(std::max(694, r.width() - 12), currentListFrame_->height());
        curListQuery_->resize(currentListFrame_->width() - 80, curListQuery_->height());
    }
}

void NameLists::FillSortBox(ComboBox* box) {
    box->Clear();
    for (int code = 0; code < ListManager::kNumSortOrders; ++code) box->AddItem(ListManager::SortOrderText(code));
    box->SetListIndex(0);
}

void NameLists::Form_Load() {
    // Step 1 (placement) ran as the window was built.
    suppressEvents = false;
    nameWindowPending = false;
    const double margin = 4 * U();
    LayOut();

    // Lists of an earlier load keep their bindings alive (see RetiredDisplays).
    if (namesDisplay_) RetiredDisplays().push_back(std::move(namesDisplay_));
    if (historyDisplay_) RetiredDisplays().push_back(std::move(historyDisplay_));
    namesDisplay_ = std::make_unique<ListViewDisplay>(names_);
    historyDisplay_ = std::make_unique<ListViewDisplay>(history_);

    namesSet_ = std::make_shared<ResultSet>();
    namesSet_->Init("", nullptr, LangText("Namen der aktuellen Liste", "Names and groups of the current list"),
                    nullptr, namesDisplay_.get());
    namesSet_->ShowColor();
    namesSet_->DefineTwoCol("Name", 2.0 / 5.0, LangText("Grund", "Reason"), 3.0 / 5.0);
    namesDisplay_->InitSize(*namesSet_, body_, true, margin, false, 0, namesFrame_);

    const std::string historyTip = std::to_string(ResultHistory::kMaxSets);
    historySet_ = std::make_shared<ResultSet>();
    historySet_->Init("ListList", nullptr,
                      LangText("Verlauf der letzten " + historyTip + " Listen",
                               "History of the " + historyTip + " last lists"),
                      nullptr, historyDisplay_.get());
    historySet_->ShowColor();
    historySet_->DefineOneCol(LangText("Liste", "List"));
    historyDisplay_->InitSize(*historySet_, body_, false, 0, true, margin, historyFrame_);

    manager_.Init(this, historySet_);

    {
        Suppress s(*this);
        FillSortBox(actSortOrder_);
        FillSortBox(newSortOrder_);
    }
    int order = Options::ListsNewSortOrder;
    if (order < 0 || order >= ListManager::kNumSortOrders) order = 1;  // a damaged stored value
    {
        Suppress s(*this);
        newSortOrder_->SetListIndex(order);
    }

    // Handlers.
    connect(names_.data(), &QTreeView::clicked, this, [this] { Run([this] { Names_ItemClick(); }); });
    WatchMouseUp(names_->viewport());
    connect(history_.data(), &QTreeView::clicked, this, [this] { Run([this] { History_ItemClick(); }); });
    goBack_->onClick = [this] { GoBack_Click(); };
    goForward_->onClick = [this] { GoForward_Click(); };
    for (Step s : ListManager::kStepOrder) {
        StepButton(s)->onClick = [this, s] { StepButton_Click(s); };
        AutoBox(s)->onClick = [this, s] { AutoBox_Click(s); };
    }
    actSortOrder_->onClick = [this] { ActSortOrder_Click(); };
    newSortOrder_->onClick = [this] { NewSortOrder_Click(); };
    actSortOrder_->onDropDown = [this] { LowLevel::SetComboDropHeight(actSortOrder_); };
    newSortOrder_->onDropDown = [this] { LowLevel::SetComboDropHeight(newSortOrder_); };

    // The check boxes take their options; a pair stored both on keeps the
    // second. The boxes write their options as they change, so all six are
    // read first.
    constexpr Step kLoadOrder[] = {Step::ToNames,  Step::ToGroups,  Step::FemaleOnly,
                                   Step::MaleOnly, Step::NamesOnly, Step::GroupsOnly};
    bool stored[ListManager::kNumSteps];
    for (Step s : kLoadOrder) stored[Index(s)] = AutoOption(s);
    for (Step s : kLoadOrder) AutoBox(s)->SetValue(stored[Index(s)] ? 1 : 0);

    // Tooltips of the text language, then the English texts.
    Tip(curListQuery_, "Bezeichnung der aktuellen Liste", "Name of the current list");
    Tip(goBack_, Cp("Gehe zurück zur vorhergehenden Liste gemäss Verlauf"),
        "Go back to the previous list according to history");
    Tip(goForward_, Cp("Gehe vorwärts zur nächsten Liste gemäss Verlauf"),
        "Go forward to the next list according to history");
    for (Step s : ListManager::kStepOrder) {
        const StepTexts& t = kStepTexts[Index(s)];
        Tip(StepButton(s), Cp(t.germanTip), t.englishTip);
        Tip(AutoBox(s), Cp(t.germanAutoTip), t.englishAutoTip);
    }
    Tip(actSortOrder_, "Anzeige der Sortierung der aktuellen Liste", "Show the current sort order of the current list");
    Tip(newSortOrder_, Cp("Sortierung für neue Listen wählen"), "Choose the sort order to use for new lists");
    Tip(showHelp_, "Hilfe zum Fenster anzeigen", "Show help for this window");
    SetEnglishTexts();
    UpdateArrows();
}

void NameLists::SetEnglishTexts() {
    if (TextConstants::textLanguage != 1) return;
    SetCaption("Manage Lists");
    currentListFrame_->setTitle("Current list");
    namesFrame_->setTitle("Names in current list");
    historyFrame_->setTitle("History");
    convertFrame_->setTitle("Convert");
    filterFrame_->setTitle("Filter");
    sortFrame_->setTitle("Sort orders");
    for (Step s : ListManager::kStepOrder) {
        StepButton(s)->SetCaption(kStepTexts[Index(s)].englishCaption);
        AutoBox(s)->SetCaption("Automatically");
    }
    sortCurrentLabel_->setText("Current list:");
    sortNewLabel_->setText("New lists:");
    showHelp_->SetCaption("Help");
}

CheckBox* NameLists::AutoBox(Step step) const { return autoBoxes_[static_cast<size_t>(Index(step))]; }
CommandButton* NameLists::StepButton(Step step) const { return stepButtons_[static_cast<size_t>(Index(step))]; }

// --- the list manager's contract ----------------------------------------------------------

std::shared_ptr<ResultSet> NameLists::CreateResultSet(const std::string& title) {
    if (!IsLoaded()) Load();
    auto rs = std::make_shared<ResultSet>();
    rs->Init("", nullptr, "", nullptr, namesDisplay_.get());
    rs->setPureTitle(title);
    rs->ShowReason();
    rs->ShowColor();
    return rs;
}

void NameLists::NewRes(std::shared_ptr<ResultSet> rs) {
    if (!IsLoaded()) Load();
    Run([&] { manager_.NewRes(rs); });
}

bool NameLists::AutoStepChecked(Step step) const {
    CheckBox* box = AutoBox(step);
    return box && box->Value() == 1;
}

int NameLists::NewSortOrder() const { return newSortOrder_ ? newSortOrder_->ListIndex() : 0; }

void NameLists::ShowWindow() {
    Show();
    Services::Events().DoEvents();
}

void NameLists::ShowSortOrder(int code) {
    if (!actSortOrder_) return;
    Suppress s(*this);
    actSortOrder_->SetListIndex(code);
}

void NameLists::ShowCurrentTitle(const std::string& title) {
    if (!curListQuery_) return;
    curListQuery_->SetText(title);
    curListQuery_->setCursorPosition(0);  // a long title shows its beginning
}

void NameLists::ShowNamesCaption(const std::string& caption) {
    if (namesFrame_) namesFrame_->setTitle(QtText::ToQt(caption));
}

void NameLists::ListsChanged() {
    UpdateArrows();
    WinMan::NotifyAll(2, "");
}

void NameLists::UpdateArrows() {
    if (!goBack_ || !goForward_) return;
    const ResultHistory& h = manager_.history();
    const int at = h.curIndex();
    const bool held = at >= 0 && at < h.numSets();
    EnableTogether({{goBack_, held && at > 0}, {goForward_, held && at < h.numSets() - 1}});
}

// --- handlers ---------------------------------------------------------------------------------

void NameLists::Names_ItemClick() {
    if (!Idle() || WinMan::ActionBlocked()) return;
    std::shared_ptr<ResultSet> cur = current();
    if (!cur) return;
    cur->SyncMarked();
    const int32_t line = cur->SelIndex();
    if (line < 0 || line >= cur->numLines()) return;
    // The current list itself is the browse list, marked on the clicked line.
    ShowInNameWindow(cur->atom(line), cur);
}

void NameLists::History_ItemClick() {
    if (!Idle() || suppressEvents || WinMan::ActionBlocked()) return;
    const int32_t entry = historySet_ ? historySet_->SelIndex() : -1;
    if (entry < 0) return;
    Suppress s(*this);
    manager_.SetCurrent(entry);
}

void NameLists::GoBack_Click() {
    if (!Idle() || WinMan::ActionBlocked()) return;
    Suppress s(*this);
    manager_.GoBack();
}

void NameLists::GoForward_Click() {
    if (!Idle() || WinMan::ActionBlocked()) return;
    Suppress s(*this);
    manager_.GoForward();
}

void NameLists::StepButton_Click(Step step) {
    if (!Idle() || WinMan::ActionBlocked()) return;
    std::string suffix;
    std::shared_ptr<ResultSet> made = manager_.StepOnCurrent(step, suffix);
    if (!made) return;
    Searches::NewRes(suffix, *made, Searches::kAlone);
}

void NameLists::StoreAutoOption(Step step) {
    if (CheckBox* box = AutoBox(step)) AutoOption(step) = box->Value() > 0;
}

void NameLists::StoreAllAutoOptions() {
    for (Step s : ListManager::kStepOrder) StoreAutoOption(s);
}

void NameLists::AutoBox_Click(Step step) {
    CheckBox* box = AutoBox(step);
    if (!box) return;
    if (!suppressEvents && !IsLoading() && WinMan::ActionBlocked()) {
        // Refused: the box goes back to what it was.
        Suppress s(*this);
        box->SetValue(box->Value() ? 0 : 1);
        return;
    }
    if (box->Value() == 1 && !suppressEvents) {
        Suppress s(*this);
        AutoBox(Partner(step))->SetValue(0);
        StoreAutoOption(Partner(step));
    }
    // The options follow the boxes at once: the frame writes the options at
    // shutdown before the windows unload.
    StoreAutoOption(step);
}

void NameLists::ActSortOrder_Click() {
    if (suppressEvents || !Idle() || WinMan::ActionBlocked()) return;
    manager_.ResortCurrent(actSortOrder_->ListIndex());
}

void NameLists::NewSortOrder_Click() {
    if (suppressEvents || WinMan::ActionBlocked()) return;
    const int order = newSortOrder_->ListIndex();
    if (order >= 0) Options::ListsNewSortOrder = order;
}

void NameLists::OnNotify(int code, const std::string& text) {
    if (code != 3) return;
    if (text == "GenderFemaleOnly")
        StepButton_Click(Step::FemaleOnly);
    else if (text == "GenderMaleOnly")
        StepButton_Click(Step::MaleOnly);
    else
        Errors::Assert(false, "NameLists Exec " + text);
}

// --- life cycle -------------------------------------------------------------------------------

void NameLists::Form_Activate() { nameWindowPending = false; }

void NameLists::Form_Resize() {
    if (IsLoading() || !IsLoaded()) return;
    LayOut();
    if (namesDisplay_ && namesSet_) namesDisplay_->Resize(*namesSet_);
    if (historyDisplay_ && historySet_) historyDisplay_->Resize(*historySet_);
}

void NameLists::Form_Unload(bool& cancel) {
    StoreAllAutoOptions();
    if (!WinMan::appClosing) {
        // Closing only hides the window: the list manager lives for the run.
        if (Visible()) {
            WinMan::CloseWin(*this);
            WinMan::CloseForm(*this);
            Hide();
        }
        cancel = true;
        return;
    }
    // At shutdown it unloads; the window base reports to the window manager.
}

// --- registration -----------------------------------------------------------------------------

void RegisterListWindows() {
    Auto::Register("NameLists", [] { return std::make_unique<NameLists>(); });
    Auto::Register("StdLists", [] { return std::make_unique<StdLists>(); });
    Auto::Register("ListOp", [] { return std::make_unique<ListOp>(); });
    Auto::Register("Favorites", [] { return std::make_unique<Favorites>(); });
}
