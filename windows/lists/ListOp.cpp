#include "ListOp.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>

#include "Cp1252.h"
#include "Errors.h"
#include "NameLists.h"
#include "QtLowLevel.h"
#include "ResultHistory.h"
#include "ResultSet.h"
#include "ResultViews.h"
#include "Searches.h"
#include "TextConstants.h"
#include "WinMan.h"

using TextConstants::LangText;

// No close guard: the window may be closed while input is blocked.
ListOp::ListOp() : ChildForm("ListOp", Kind::MdiChild, kPlaced | kInHistory | kStored) {}

ListOp::~ListOp() {
    if (list1Set) list1Set->Unbind();
    if (list2Set) list2Set->Unbind();
}

void ListOp::BuildControls() {
    constexpr int kWidth = 690, kHeight = 320;
    SetClientSize(kWidth, kHeight);
    SetCaption("Listen kombinieren");

    listsFrame_ = AddFrame("ListsFrame", "Zu kombinierende Listen", {8, 6, kWidth - 16, 130});
    picture1_ = Add<QWidget>("Picture1", -1, listsFrame_);
    picture1_->setGeometry(8, 20, kWidth - 32, 50);
    lastTwo_ = Add<OptionButton>("LastTwo", -1, picture1_);
    lastTwo_->SetCaption(Cp("die beiden letzten Listen (der Vorgänger der aktuellen Liste plus die aktuelle Liste)"));
    lastTwo_->setGeometry(0, 0, kWidth - 32, 22);
    anyTwo_ = Add<OptionButton>("AnyTwo", -1, picture1_);
    anyTwo_->SetCaption("folgende zwei Listen, in dieser Reihenfolge:");
    anyTwo_->setGeometry(0, 24, kWidth - 32, 22);
    listALabel_ = AddLabel("ListALabel", "Liste A:", {28, 72, 60, 22}, listsFrame_);
    list1_ = Add<ComboBox>("List1", -1, listsFrame_);
    list1_->setGeometry(90, 72, kWidth - 114, 22);
    listBLabel_ = AddLabel("ListBLabel", "Liste B:", {28, 98, 60, 22}, listsFrame_);
    list2_ = Add<ComboBox>("List2", -1, listsFrame_);
    list2_->setGeometry(90, 98, kWidth - 114, 22);

    opFrame_ = AddFrame("OpFrame", "Art des Kombinierens", {8, 142, kWidth - 16, 136});
    opLabel_ = AddLabel("OpLabel", "Die neue, kombinierte Liste soll enthalten:", {8, 20, kWidth - 32, 20}, opFrame_);
    picture2_ = Add<QWidget>("Picture2", -1, opFrame_);
    picture2_->setGeometry(8, 40, kWidth - 32, 92);
    opOr_ = Add<OptionButton>("OpOr", -1, picture2_);
    opOr_->SetCaption(Cp("alle Namen beider Listen (Listen A und B „addiert“)"));
    opOr_->setGeometry(0, 0, kWidth - 32, 22);
    opAnd_ = Add<OptionButton>("OpAnd", -1, picture2_);
    opAnd_->SetCaption("nur die beiden Listen gemeinsamen Namen");
    opAnd_->setGeometry(0, 22, kWidth - 32, 22);
    opSubList2_ = Add<OptionButton>("OpSubList2", -1, picture2_);
    opSubList2_->SetCaption(
        Cp("alles aus Liste A ausser den beiden Listen gemeinsamen Namen (Liste B von Liste A „subtrahiert“)"));
    opSubList2_->setGeometry(0, 44, kWidth - 32, 22);
    opSubList1_ = Add<OptionButton>("OpSubList1", -1, picture2_);
    opSubList1_->SetCaption("alles aus Liste B ausser den beiden Listen gemeinsamen Namen");
    opSubList1_->setGeometry(0, 66, kWidth - 32, 22);

    doOp_ = AddButton("DoOp", "Kombinieren", {8, 286, 110, 26});
    doOp_->setDefault(true);
    showHelp_ = AddHelpButton();
    showHelp_->setGeometry(kWidth - 88, 286, 80, 26);
    // The tutorial's marker: an empty frame it may place over a control.
    auto* mark = Add<QFrame>("MarkShape");
    mark->setFrameShape(QFrame::Box);
    mark->hide();
    markShape_ = mark;
    SetSizable(false);  // at its designed size
}

NameLists* ListOp::Manager() {
    auto* lists = dynamic_cast<NameLists*>(Auto::GetForm(WindowNames::kNameLists));
    return lists && lists->IsLoaded() ? lists : nullptr;
}

int ListOp::HistoryLines() {
    NameLists* lists = Manager();
    if (!lists || !lists->current() || !lists->historySet()) return 0;
    return lists->historySet()->numLines();
}

void ListOp::Form_Load() {
    suppressEvents = false;
    if (list1Set) list1Set->Unbind();
    if (list2Set) list2Set->Unbind();
    list1Display_ = std::make_unique<ComboBoxDisplay>(list1_);
    list2Display_ = std::make_unique<ComboBoxDisplay>(list2_);
    list1Set = std::make_shared<ResultSet>();
    list1Set->Init("", nullptr, Cp("Erste Liste für Kombination"), nullptr, list1Display_.get());
    list2Set = std::make_shared<ResultSet>();
    list2Set->Init("", nullptr, Cp("Zweite Liste für Kombination"), nullptr, list2Display_.get());

    lastTwo_->onClick = [this] { LastTwo_Click(); };
    anyTwo_->onClick = [this] { AnyTwo_Click(); };
    doOp_->onClick = [this] { DoOp_Click(); };
    list1_->onDropDown = [this] { LowLevel::SetComboDropHeight(list1_); };
    list2_->onDropDown = [this] { LowLevel::SetComboDropHeight(list2_); };

    if (NameLists* lists = Manager(); lists && lists->current()) OnNotify(2, "");
    lastTwo_->SetValue(true);
    LastTwo_Click();  // also when it was on already
    EnableByHistory();
    opOr_->SetValue(true);

    Tip(doOp_, "Kombinieren starten", "Start the combining");
    Tip(showHelp_, "Hilfe zum Fenster anzeigen", "Show help for this window");
    SetEnglishTexts();
}

void ListOp::SetEnglishTexts() {
    if (TextConstants::textLanguage != 1) return;
    SetCaption("Combine Lists");
    listsFrame_->setTitle("Lists to combine");
    lastTwo_->SetCaption("The last two lists (the predecessor of the current plus the current)");
    anyTwo_->SetCaption("The following two lists, in this order:");
    listALabel_->setText("List A:");
    listBLabel_->setText("List B:");
    opFrame_->setTitle("Mode");
    opLabel_->setText("The new, combined list shall contain:");
    opOr_->SetCaption("All names of both lists (list A and list B 'added')");
    opAnd_->SetCaption("Only the names common to both lists");
    opSubList2_->SetCaption("All from list A except common names (list B 'subtracted' from list A)");
    opSubList1_->SetCaption("All from list B except common names");
    doOp_->SetCaption("Combine");
    showHelp_->SetCaption("Help");
    list1Set->setToolTipText("First list to combine");
    list2Set->setToolTipText("Second list to combine");
}

void ListOp::SelectLastTwo() {
    const int n = list1Set ? list1Set->numLines() : 0;
    if (n < 2) return;
    list1_->SetListIndex(n - 2);
    list2_->SetListIndex(n - 1);
}

void ListOp::EnableByHistory() {
    const bool choice = HistoryLines() >= 2;
    lastTwo_->setEnabled(choice);
    anyTwo_->setEnabled(choice);
    // With fewer than two lists there is nothing to combine: a live button
    // that does nothing would leave the user guessing.
    doOp_->setEnabled(choice);
    if (!choice) {
        list1Set->Reset();
        list1Set->Show();
        list2Set->Reset();
        list2Set->Show();
    }
}

void ListOp::LastTwo_Click() {
    EnableByHistory();
    list1_->setEnabled(false);
    list2_->setEnabled(false);
    if (lastTwo_->Value() && HistoryLines() >= 2) SelectLastTwo();
}

void ListOp::AnyTwo_Click() {
    list1_->setEnabled(true);
    list2_->setEnabled(true);
}

void ListOp::FillFromHistory() {
    NameLists* lists = Manager();
    list1Set->Reset();
    list2Set->Reset();
    if (lists && lists->historySet()) {
        list1Set->AddAllFrom(*lists->historySet());
        list2Set->AddAllFrom(*lists->historySet());
    }
    list1Set->Show();
    list2Set->Show();
}

void ListOp::OnNotify(int code, const std::string& text) {
    if (!IsLoaded() || !list1Set) return;
    if (code == 2) {
        FillFromHistory();
        SelectLastTwo();
        EnableByHistory();
    } else if (code == 3) {
        DoOp_Click();
    }
}

void ListOp::DoOp_Click() {
    if (WinMan::ActionBlocked()) return;
    NameLists* lists = Manager();
    const int a = list1_->ListIndex(), b = list2_->ListIndex();
    if (!lists || a < 0 || b < 0) return;
    // A box may still show an entry the history no longer holds.
    ResultHistory& history = lists->listHistory();
    if (a >= history.numSets() || b >= history.numSets()) return;
    std::shared_ptr<ResultSet> A = history.resSet(a), B = history.resSet(b);
    if (!A || !B) return;

    std::shared_ptr<ResultSet> R = lists->CreateResultSet(LangText("Kombination", "Combination"));
    std::string title;
    if (opOr_->Value()) title = ListMaking::Combine(ListMaking::Op::Or, *A, *B, *R);
    else if (opAnd_->Value()) title = ListMaking::Combine(ListMaking::Op::And, *A, *B, *R);
    else if (opSubList2_->Value()) title = ListMaking::Combine(ListMaking::Op::AWithoutB, *A, *B, *R);
    else if (opSubList1_->Value()) title = ListMaking::Combine(ListMaking::Op::BWithoutA, *A, *B, *R);
    else {
        Errors::Assert(false, "DoCompOp op");
        title = LangText(" aus Kombination: ", " from combination: ");
    }
    Searches::NewRes(title, *R, Searches::kAlone);
}

void ListOp::Form_Unload(bool&) {
    if (list1Set) list1Set->Unbind();
    if (list2Set) list2Set->Unbind();
}
