#include "ChildForm.h"

#include <QEvent>
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>

#include "LowLevel.h"
#include "QtLowLevel.h"
#include "ResultSet.h"
#include "TextConstants.h"
#include "WinMan.h"
#include "WindowContracts.h"

// --- ChildForm --------------------------------------------------------------------------

ChildForm::ChildForm(std::string name, unsigned roles) : FormBase(std::move(name), Kind::MdiChild, roles) {}

double ChildForm::U() { return LowLevel::MmToTwips(1); }

bool ChildForm::Blocked() { return WinMan::ActionBlocked(); }

bool ChildForm::English() { return TextConstants::textLanguage == 1; }

void ChildForm::AddGermanTip(QWidget* control, const std::string& text) {
    if (!English()) WinMan::AddToolTip(*this, control, text);
}

void ChildForm::AddEnglishTip(QWidget* control, const std::string& text) {
    if (English()) WinMan::AddToolTip(*this, control, text);
}

void ChildForm::ShowFormHelp() { LowLevel::ShowFormHelp(Client(), nullptr); }

void ChildForm::GuardTextBox(TextBox* box, std::string& savedText, std::function<void()> onAccepted) {
    if (!box) return;
    QPointer<TextBox> guarded(box);
    box->onGotFocus = [guarded, &savedText] {
        if (guarded) savedText = guarded->Text();
    };
    box->onChange = [this, guarded, &savedText, onAccepted = std::move(onAccepted)] {
        if (suppressEvents || !guarded) return;
        if (Blocked()) {
            SetTextQuietly(guarded, savedText);
            return;
        }
        if (onAccepted) onAccepted();
    };
}

void ChildForm::SetTextQuietly(TextBox* box, const std::string& text) {
    if (!box) return;
    Quiet quiet(*this);
    box->SetText(text);
}

bool LinkWindowAvailable(int kind) {
    switch (kind) {
    case 6: return Auto::IsAvailable(WindowNames::kRealm);
    case 7: return Auto::IsAvailable(WindowNames::kOrigWord);
    case 8: return Auto::IsAvailable(WindowNames::kOrigLang);
    case 9: return Auto::IsAvailable(WindowNames::kNameDays);
    case 10:
    case 11: return Auto::IsAvailable(WindowNames::kPop);
    case 12: return true;
    default: return Auto::IsAvailable(WindowNames::kSingleName);
    }
}

// --- Opening a window during a tutorial --------------------------------------------------------

FormBase* OpenFormQuietlyDuringTutorial(const std::string& name) {
    if (!WinMan::tutorialRunning) {
        WinMan::OpenForm(name);
        FormBase* form = Auto::GetForm(name);
        return form && form->IsLoaded() ? form : nullptr;
    }
    FormBase* form = Auto::GetForm(name);
    if (!form) return nullptr;
    // The tutorial talks to the user through the window that has the focus;
    // the window is shown behind it.
    QMdiArea* area = FormBase::MdiArea();
    QMdiSubWindow* active = area ? area->activeSubWindow() : nullptr;
    QWidget* focus = QApplication::focusWidget();
    form->Load();
    if (QWidget* host = form->Host(); host && !host->isVisible()) {
        host->setAttribute(Qt::WA_ShowWithoutActivating, true);
        host->show();
        host->setAttribute(Qt::WA_ShowWithoutActivating, false);
    }
    if (area && active && area->activeSubWindow() != active) area->setActiveSubWindow(active);
    if (focus && QApplication::focusWidget() != focus) focus->setFocus();
    return form->IsLoaded() ? form : nullptr;
}

// --- The road from a table line to the name window --------------------------------------------

void TableItemRoad::Attach(ResultSet* table, QWidget* mouseWidget) {
    table_ = table;
    if (mouseWidget_) mouseWidget_->removeEventFilter(this);
    mouseWidget_ = mouseWidget;
    if (mouseWidget_) mouseWidget_->installEventFilter(this);
}

void TableItemRoad::ItemClick() {
    if (!table_) return;
    table_->SyncMarked();
    const int32_t line = table_->SelIndex();
    if (line < 0 || line >= table_->numLines()) return;

    const std::string title = table_->title();
    if (!hasCopy_ || title != browseCopyTitle_) {
        browseCopy_ = std::make_shared<ResultSet>();
        browseCopy_->InitInt();
        browseCopy_->setPureTitle(table_->pureTitle());
        browseCopy_->AddAllFrom(*table_);
        browseCopyTitle_ = title;
        hasCopy_ = true;
    }
    // The copy is positioned at the clicked line: the name window starts
    // browsing from the line's mark.
    if (line < browseCopy_->numLines()) browseCopy_->markLine(line);

    ::atom* a = table_->atom(line);
    FormBase* form = OpenFormQuietlyDuringTutorial(WindowNames::kSingleName);
    if (auto* nameWindow = dynamic_cast<SingleNameWindow*>(form)) nameWindow->ShowAtomInSet(a, browseCopy_, true);
    nameWindowPending_ = true;
    // Without a widget to watch there is no mouse-up to wait for.
    if (!mouseWidget_) MouseUp();
}

void TableItemRoad::MouseUp() {
    if (!nameWindowPending_) return;
    nameWindowPending_ = false;
    // A running tutorial keeps the focus; the click must not take it away.
    if (WinMan::tutorialRunning) return;
    if (FormBase* form = Auto::GetForm(WindowNames::kSingleName); form && form->IsLoaded()) form->BringToFront();
}

bool TableItemRoad::eventFilter(QObject* watched, QEvent* event) {
    if (watched == mouseWidget_ && event->type() == QEvent::MouseButtonRelease) MouseUp();
    return QObject::eventFilter(watched, event);
}
