#include "ChildForm.h"

#include <QApplication>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <algorithm>

#include "Atom.h"
#include "Basic.h"
#include "DataBase.h"
#include "LowLevel.h"
#include "QtLowLevel.h"
#include "QtText.h"
#include "ResultViews.h"
#include "ResultSet.h"
#include "Searches.h"
#include "ShellKit.h"
#include "TextConstants.h"
#include "WinMan.h"
#include "WindowKeys.h"

int ChildForm::U() { return LowLevel::MmToTwips(1); }

void ChildForm::SetClientSize(int width, int height) {
    FitClient(*this, width, height);
    // The controls are placed against the client's size before the window
    // is first shown, when its frame has not laid the client out yet.
    if (Client()) Client()->resize(width, height);
    SetMinClientSize(width, height);
}

QGroupBox* ChildForm::AddFrame(const std::string& name, const std::string& caption, QRect r, QWidget* parent) {
    auto* f = Add<QGroupBox>(name, -1, parent);
    f->setTitle(QtText::ToQt(caption));
    f->setGeometry(r);
    return f;
}

QLabel* ChildForm::AddLabel(const std::string& name, const std::string& text, QRect r, QWidget* parent) {
    auto* l = Add<QLabel>(name, -1, parent);
    l->setText(QtText::ToQt(text));
    l->setGeometry(r);
    return l;
}

CommandButton* ChildForm::AddButton(const std::string& name, const std::string& caption, QRect r, QWidget* parent) {
    auto* b = Add<CommandButton>(name, -1, parent);
    b->SetCaption(caption);
    b->setGeometry(r);
    return b;
}

Handler ChildForm::Guarded(std::function<void()> f) {
    return [this, f = std::move(f)] {
        if (suppressEvents || WinMan::ActionBlocked()) return;
        f();
    };
}

Handler ChildForm::GuardedAlways(std::function<void()> f) {
    return [f = std::move(f)] {
        if (WinMan::ActionBlocked()) return;
        f();
    };
}

void ChildForm::Tip(QWidget* control, const std::string& german, const std::string& english) {
    WinMan::AddToolTip(*this, control, TextConstants::textLanguage == 1 ? english : german);
}

template <class Box>
void ChildForm::GuardBoxImpl(Box* box, std::function<void()> onChange) {
    auto saved = std::make_shared<std::string>();
    box->onGotFocus = [box, saved] { *saved = box->Text(); };
    box->onChange = [this, box, saved, onChange = std::move(onChange)] {
        if (suppressEvents) return;
        if (WinMan::ActionBlocked()) {
            Suppress s(*this);
            box->SetText(*saved);
            return;
        }
        if (onChange) onChange();
    };
}

void ChildForm::GuardBox(TextBox* box, std::function<void()> onChange) { GuardBoxImpl(box, std::move(onChange)); }
void ChildForm::GuardBox(ComboBox* box, std::function<void()> onChange) { GuardBoxImpl(box, std::move(onChange)); }

void ChildForm::GuardOptions(std::vector<OptionButton*> group, std::function<void(int)> onChoice) {
    auto previous = std::make_shared<int>(-1);
    for (std::size_t i = 0; i < group.size(); ++i)
        if (group[i] && group[i]->Value()) *previous = static_cast<int>(i);
    auto choice = std::make_shared<std::function<void(int)>>(std::move(onChoice));
    for (std::size_t i = 0; i < group.size(); ++i) {
        OptionButton* button = group[i];
        if (!button) continue;
        const int index = static_cast<int>(i);
        button->onClick = [this, group, index, previous, choice] {
            if (suppressEvents) {
                *previous = index;
                return;
            }
            if (WinMan::ActionBlocked()) {
                Suppress s(*this);
                if (*previous >= 0 && *previous < static_cast<int>(group.size()) && group[*previous])
                    group[*previous]->SetValue(true);
                else
                    group[index]->SetValue(false);
                return;
            }
            *previous = index;
            if (*choice) (*choice)(index);
        };
    }
}

void ChildForm::SetTextQuietly(TextBox* box, const std::string& text) {
    if (!box) return;
    Suppress s(*this);
    box->SetText(text);
}

void ChildForm::FollowDescriptionLink(const std::string& text, atom* context) {
    const double id = Basic::Val(text);
    if (id < 40000) {
        atom* a = DataBase::AtomById(Basic::CLng(id));
        if (!a || a == DataBase::nothingAtom || !LinkWindowAvailable(a->kind())) return;
    }
    Searches::FollowLink(text, nullptr, context);
}

CommandButton* ChildForm::AddHelpButton() {
    auto* b = Add<CommandButton>("ShowHelp");
    b->SetCaption(TextConstants::LangText("Hilfe", "Help"));
    b->onClick = [this] { LowLevel::ShowFormHelp(Client(), nullptr); };
    return b;
}

void ChildForm::AsList(ResultSet& table, const std::string& title) {
    if (WinMan::ActionBlocked()) return;
    Searches::NewRes(title, table, Searches::kAlone);
}

void ChildForm::TableItemToNameWindow(ResultSet& table) {
    wordWindowView_ = nullptr;
    table.SyncMarked();
    const int32_t line = table.SelIndex();
    if (line < 0 || line >= table.numLines()) return;
    if (!browseCopy || table.title() != browseCopyTitle) {
        browseCopy = std::make_shared<ResultSet>();
        browseCopy->InitInt();
        browseCopy->setPureTitle(table.pureTitle());
        browseCopy->AddAllFrom(table);
        browseCopyTitle = table.title();
    }
    // The copy is internal: marking selects nothing, it only places the
    // browse position on the clicked line.
    browseCopy->markLine(line);
    ShowInNameWindow(table.atom(line), browseCopy);
}

void ChildForm::ShowInNameWindow(atom* a, std::shared_ptr<ResultSet> set) {
    if (a == nullptr) return;
    auto* names = dynamic_cast<SingleNameWindow*>(OpenFormKeepingFocus(WindowNames::kSingleName));
    if (names == nullptr) return;
    names->ShowAtomInSet(a, std::move(set), true);
    // A line reached by the keys brings nothing forward later: the user goes
    // on through the list (Enter brings the window forward).
    nameWindowPending = !ListView::MovingByKeys();
}

void ChildForm::NameWindowMouseUp() {
    if (!nameWindowPending) return;
    nameWindowPending = false;
    BringForward(WindowNames::kSingleName);
}

void ChildForm::TableItemToWordWindow(ResultSet& table, QWidget* view) {
    table.SyncMarked();
    const int32_t line = table.SelIndex();
    if (line < 0 || line >= table.numLines()) return;
    atom* word = table.atom(line);
    auto* words = dynamic_cast<AtomShower*>(OpenFormKeepingFocus(WindowNames::kOrigWord));
    if (!words) return;
    words->ShowAtom(word);
    nameWindowPending = false;
    wordWindowView_ = ListView::MovingByKeys() ? nullptr : view;
}

void ChildForm::BringForward(const std::string& name) {
    // A running tutorial keeps the focus; the click must not take it away
    // (now, nor at some later mouse-up after the tutorial).
    if (WinMan::tutorialRunning) return;
    if (FormBase* w = Auto::GetForm(name); w && w->IsLoaded()) {
        w->BringToFront();
        WinMan::Activate(*w);
    }
}

void ChildForm::WatchMouseUp(QWidget* w) {
    if (!w) return;
    w->installEventFilter(this);
    mouseUpWatched_.emplace_back(w);
    // Enter on the current line of a list opens it as a click does: the
    // line's window shows it and comes forward as at the click's mouse-up.
    auto* list = qobject_cast<ListView*>(w->parentWidget());
    if (list && !list->onEnter)
        list->onEnter = [this, list, w] {
            if (list->onClick) list->onClick();
            MouseUpOn(w);
        };
}

void ChildForm::MouseUpOn(QWidget* w) {
    if (wordWindowView_ && w == wordWindowView_.data()) {
        wordWindowView_ = nullptr;
        BringForward(WindowNames::kOrigWord);
    }
    NameWindowMouseUp();
}

void ChildForm::FollowClientSize() {
    if (!Client()) return;
    followClient_ = true;
    ResizeWithClientOnly();
    Client()->installEventFilter(this);
}

void ChildForm::KeepOnClose(TextBox* box, std::function<bool()> changed, Handler store) {
    if (!box || !store) return;
    // A window loaded again registers its new box; the old one is gone.
    std::erase_if(keepers_, [](const Keeper& k) { return !k.box; });
    keepers_.push_back(Keeper{box, std::move(changed), std::move(store)});
}

void ChildForm::Form_QueryUnload(UnloadMode, bool&) {
    for (const Keeper& k : std::vector<Keeper>(keepers_))
        if (k.box && (k.changed ? k.changed() : k.box->isModified())) Run(k.store);
}

bool ChildForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show && watched == Host() && Client() && Client() != tabsOrderedIn_) {
        tabsOrderedIn_ = Client();
        WindowKeys::OrderTabsByLayout(Client());
    }
    if (followClient_ && event->type() == QEvent::Resize && watched == Client() && !IsLoading())
        Run([this] { Form_Resize(); });
    if (event->type() == QEvent::MouseButtonRelease) {
        auto it = std::find_if(mouseUpWatched_.begin(), mouseUpWatched_.end(),
                               [watched](const QPointer<QWidget>& w) { return w.data() == watched; });
        if (it != mouseUpWatched_.end()) {
            QWidget* w = it->data();
            Run([this, w] { MouseUpOn(w); });
            return false;
        }
    }
    return FormBase::eventFilter(watched, event);
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

FormBase* OpenFormKeepingFocus(const std::string& name) {
    const bool byKeys = ListView::MovingByKeys();
    if (!WinMan::tutorialRunning && !byKeys) return WinMan::OpenForm(name);
    FormBase* form = Auto::GetForm(name);
    if (!form) return nullptr;
    // The tutorial talks to the user through the window that has the focus,
    // and a user moving through a list goes on with the next key: the window
    // is shown behind it.
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
    // The list stays in sight in front of the window it fills.
    if (byKeys && active) active->raise();
    if (focus && QApplication::focusWidget() != focus) focus->setFocus();
    return form->IsLoaded() ? form : nullptr;
}
