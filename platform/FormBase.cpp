#include "FormBase.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QMenu>
#include <QScrollBar>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <utility>

#include "FocusMark.h"
#include "QtLowLevel.h"
#include "QtText.h"
#include "ToolTip.h"

namespace {

QPointer<QMdiArea> theArea;
QMetaObject::Connection areaConnection;
QPointer<QWidget> dialogOwner;
FormEvents* theEvents = nullptr;
std::vector<FormBase*> loadedForms;

// Scrolls the area so that a control of one of its windows is in sight
// (its top-left corner when it is larger than the area): the keyboard's way
// to the parts of a window larger than the area. A control wider (or
// taller) than half the area that begins in its first half is in sight
// enough: where it begins shows where the keyboard is, and a window-wide
// text box that a window opens in leaves the window's own corner in sight.
void ScrollIntoSight(QMdiArea* area, QWidget* control) {
    QWidget* view = area->viewport();
    if (!control || !view->isAncestorOf(control)) return;
    const QRect r(control->mapTo(view, QPoint(0, 0)), control->size());
    auto shift = [](int start, int length, int room) {
        if (start < 0) return start;
        if (start + length <= room) return 0;
        if (length > room / 2 && start <= room / 2) return 0;
        return std::min(start + length - room, start);
    };
    if (int dx = shift(r.left(), r.width(), view->width()))
        area->horizontalScrollBar()->setValue(area->horizontalScrollBar()->value() + dx);
    if (int dy = shift(r.top(), r.height(), view->height()))
        area->verticalScrollBar()->setValue(area->verticalScrollBar()->value() + dy);
}

// Whether the focus came by the keyboard's own moves: Tab, Shift+Tab or an
// access key. A click, or a window's code reacting to one, moves no scroll bar:
// the content would move away under the pointer and the click be lost.
bool MovedByKeys(Qt::FocusReason reason) {
    return reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason;
}

int ToPixels(double twips) { return static_cast<int>(std::lround(twips / 15.0)); }
double ToTwips(int pixels) { return pixels * 15.0; }

TwipsRect ToTwipsRect(const QRect& r) {
    return TwipsRect{ToTwips(r.y()), ToTwips(r.x()), ToTwips(r.height()), ToTwips(r.width())};
}

}  // namespace

// Notes which control of each window has the focus, and scrolls the area to a
// control the keyboard moved to. Installed on the application while there is
// an area.
class FocusWatcher : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::FocusIn || !watched->isWidgetType()) return false;
        auto* w = static_cast<QWidget*>(watched);
        // The innermost window holding the control (a child window before the frame).
        for (QWidget* p = w->parentWidget(); p; p = p->parentWidget()) {
            auto f = std::find_if(loadedForms.begin(), loadedForms.end(),
                                  [p](const FormBase* form) { return form->client_.data() == p; });
            if (f != loadedForms.end()) {
                // A window being minimised passes the focus on among its
                // controls as they go: the one the user left stays noted.
                if (!(*f)->host_ || !(*f)->host_->isMinimized()) (*f)->lastFocus_ = w;
                break;
            }
        }
        if (theArea && MovedByKeys(static_cast<QFocusEvent*>(event)->reason())) ScrollIntoSight(theArea, w);
        return false;
    }
};

namespace {
FocusWatcher* theWatcher = nullptr;
}

FormBase::FormBase(std::string name, Kind kind, unsigned roles)
    : name_(std::move(name)),
      kind_(kind),
      roles_(roles),
      escapeCloses_(kind == Kind::Dialog),
      minMax_(kind != Kind::Dialog) {
    setObjectName(QString::fromStdString(name_));
    // Every window's lists and panes show where the keyboard is.
    FocusMark::Install();
}

FormBase::~FormBase() {
    std::erase(loadedForms, this);
    toolTips.clear();
    delete host_.data();
}

// --- Environment ----------------------------------------------------------------

void FormBase::SetMdiArea(QMdiArea* area) {
    QObject::disconnect(areaConnection);
    theArea = area;
    if (!area) {
        if (theWatcher && qApp) qApp->removeEventFilter(theWatcher);
        delete theWatcher;
        theWatcher = nullptr;
        return;
    }
    if (!theWatcher) {
        theWatcher = new FocusWatcher;
        qApp->installEventFilter(theWatcher);
    }
    // A maximised child leaves the others as they are: a window opened over
    // it keeps its own size, and the maximised one stays maximised.
    area->setOption(QMdiArea::DontMaximizeSubWindowOnActivation);
    // A window larger than the area (a small screen, a large screen scale)
    // or moved partly out of it stays within reach: the area scrolls, by its
    // scroll bars and to where the keyboard moves the focus.
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    area->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // The area tells which sub-window became active; the window behind it
    // hears of its activation.
    areaConnection = QObject::connect(area, &QMdiArea::subWindowActivated, area, [](QMdiSubWindow* sub) {
        if (!sub) return;
        for (FormBase* f : std::vector<FormBase*>(loadedForms))
            if (f->SubWindow() == sub) {
                f->Activated();
                break;
            }
    });
}

QMdiArea* FormBase::MdiArea() { return theArea; }

void FormBase::CloseActiveChild() {
    if (QMdiSubWindow* sub = theArea ? theArea->activeSubWindow() : nullptr) sub->close();
}

void FormBase::SwitchChild(bool backward) {
    if (!theArea) return;
    QList<QMdiSubWindow*> stack = theArea->subWindowList(QMdiArea::StackingOrder);  // rearmost first
    stack.removeIf([](QMdiSubWindow* sub) { return !sub->isVisible(); });
    if (stack.size() < 2) return;
    QMdiSubWindow* front = theArea->activeSubWindow();
    if (!front || !stack.contains(front)) front = stack.back();
    stack.removeOne(front);
    QMdiSubWindow* next = backward ? stack.front() : stack.back();
    ActivateChild(next);
    if (!backward) front->lower();
}

void FormBase::ActivateChild(QMdiSubWindow* sub) {
    if (!theArea || !sub || !sub->isVisible()) return;
    if (FormBase* form = FormOfHost(sub)) {
        form->RestoreMinimised();
        form->ComeForward();
        return;
    }
    if (sub->isMinimized()) sub->showNormal();
    sub->raise();
    theArea->setActiveSubWindow(sub);
}

FormBase* FormBase::FormOfHost(const QWidget* host) {
    if (!host) return nullptr;
    for (FormBase* f : loadedForms)
        if (f->host_.data() == host) return f;
    return nullptr;
}

void FormBase::SetDialogOwner(QWidget* owner) { dialogOwner = owner; }
void FormBase::SetEvents(FormEvents* events) { theEvents = events; }
FormEvents* FormBase::Events() { return theEvents; }
const std::vector<FormBase*>& FormBase::LoadedForms() { return loadedForms; }

// --- Life cycle -----------------------------------------------------------------

QWidget* FormBase::CreateHost() {
    switch (kind_) {
    case Kind::MdiChild: {
        auto* sub = new QMdiSubWindow;
        sub->setWidget(new QWidget);
        // The frame's Close Window command owns Ctrl+F4. Each child's own
        // menu holding the close keys as well made them ambiguous as soon as
        // two were open, and then they closed none; its Close names the key.
        if (QMenu* menu = sub->systemMenu())
            for (QAction* a : menu->actions())
                if (!a->shortcuts().isEmpty()) {
                    a->setShortcuts({});
                    a->setText(a->text() + u'\t' + QKeySequence(Qt::CTRL | Qt::Key_F4).toString(QKeySequence::NativeText));
                }
        if (theArea) theArea->addSubWindow(sub);
        return sub;
    }
    case Kind::Dialog: {
        auto* dialog = new QDialog(dialogOwner);
        dialog->setModal(true);
        dialog->setWindowFlags(kDialogFrame);
        return dialog;
    }
    case Kind::TopLevel: break;
    }
    return new QWidget;
}

QMdiSubWindow* FormBase::SubWindow() const { return qobject_cast<QMdiSubWindow*>(host_.data()); }

void FormBase::Load() {
    if (host_ || isLoading_) return;
    HandlerScope scope(this);  // an unload asked for while loading waits for the end
    isLoading_ = true;
    QWidget* host = CreateHost();
    host_ = host;
    auto* sub = qobject_cast<QMdiSubWindow*>(host);
    client_ = sub && sub->widget() ? sub->widget() : host;
    host->setObjectName(objectName());
    client_->setObjectName(objectName());
    host->setAttribute(Qt::WA_DeleteOnClose, false);
    host->installEventFilter(this);
    loadedForms.push_back(this);
    // The border is fixed only once the controls have given the window its
    // designed size: fixed before, a reloaded fixed window would keep the
    // size of an empty sub-window (a title bar alone).
    BuildControls();
    // Every window can be marked by a tutorial: one that made no frame of
    // its own gets the common one, on top of its controls.
    if (!Control("MarkShape")) Register(new LowLevel::MarkShape(client_), "MarkShape");
    SetSizable(sizable_);
    RememberNormal();
    if (theEvents) theEvents->FormLoaded(*this);
    Form_Load();
    isLoading_ = false;
}

void FormBase::Show() {
    Load();
    if (!host_) return;
    // The toolkit activates a sub-window in the middle of showing it; its
    // activation handler lets pending events run, which then painted the
    // half-shown window, and the end of the showing painted it all again.
    // The activation is handled once the window is shown whole.
    showing_ = true;
    host_->show();
    showing_ = false;
    if (std::exchange(activationHeld_, false) && IsLoaded() &&
        (!SubWindow() || (theArea && theArea->activeSubWindow() == SubWindow())))
        Activated();
    if (pendingState_ >= 0) {
        int state = pendingState_;
        pendingState_ = -1;
        ApplyState(state);
    }
    BringToFront();
}

bool FormBase::ShowModal() {
    Load();
    auto* dialog = qobject_cast<QDialog*>(host_.data());
    if (!dialog) return false;
    return dialog->exec() == QDialog::Accepted;
}

void FormBase::Hide() {
    if (!host_) return;
    const bool shown = host_->isVisible();
    host_->hide();
    if (shown && kind_ == Kind::MdiChild && theEvents) theEvents->FormHidden(*this);
}

bool FormBase::Visible() const { return host_ && host_->isVisible(); }

void FormBase::BringToFront() {
    if (!host_ || !host_->isVisible()) return;
    host_->raise();
    if (QMdiSubWindow* sub = SubWindow()) {
        if (theArea && theArea->activeSubWindow() != sub) theArea->setActiveSubWindow(sub);
    } else {
        host_->activateWindow();
    }
}

void FormBase::ComeForward() {
    // The toolkit gives the focus to what it thinks fit as the window comes
    // forward, or leaves it in the window the user came from (a window never
    // focused before): the control that had it is noted first.
    const QPointer<QWidget> had = lastFocus_;
    BringToFront();
    if (had) lastFocus_ = had;
    RestoreFocus();
}

void FormBase::FocusFirstInput() {
    if (!host_ || !client_ || !host_->isVisible() || host_->isMinimized()) return;
    if (QWidget* w = firstInput_.data(); w && client_->isAncestorOf(w) && w->isVisible() && w->isEnabled()) {
        w->setFocus(Qt::TabFocusReason);
        return;
    }
    // The tab order is one ring through every widget of the frame; the
    // window's own controls are those inside its client.
    for (QWidget* w = host_->nextInFocusChain(); w && w != host_; w = w->nextInFocusChain()) {
        if (client_->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) && w->isVisible() && w->isEnabled()) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

void FormBase::RestoreFocus() {
    if (!host_ || !client_ || !host_->isVisible() || host_->isMinimized()) return;
    QWidget* w = lastFocus_.data();
    if (!w || !client_->isAncestorOf(w) || !w->isVisible() || !w->isEnabled() || w->focusPolicy() == Qt::NoFocus) {
        FocusFirstInput();
        return;
    }
    w->setFocus(Qt::OtherFocusReason);
    if (theArea) ScrollIntoSight(theArea, w);
}

bool FormBase::Unload(UnloadMode mode) {
    if (!host_) return true;
    if (handlerDepth_ > 0) {
        if (!unloadPending_) pendingMode_ = mode;
        unloadPending_ = true;
        return true;
    }
    DoUnload(mode);
    return host_ == nullptr;
}

void FormBase::DoUnload(UnloadMode mode) {
    if (!host_ || unloading_) return;
    unloading_ = true;
    bool cancel = mode == UnloadMode::User && HasRole(kCloseGuard) && theEvents &&
                  theEvents->FormCloseBlocked(*this);
    if (!cancel) Form_QueryUnload(mode, cancel);
    if (!cancel) Form_Unload(cancel);
    if (cancel || !host_) {
        unloading_ = false;
        return;
    }
    if (theEvents) theEvents->FormUnloading(*this);
    std::erase(loadedForms, this);
    toolTips.clear();
    controls_.clear();
    QWidget* host = host_;
    host_ = nullptr;
    client_ = nullptr;
    pendingState_ = -1;
    host->removeEventFilter(this);
    host->hide();
    if (auto* sub = qobject_cast<QMdiSubWindow*>(host); sub && sub->mdiArea())
        sub->mdiArea()->removeSubWindow(sub);
    // The form outlives its widgets: none of them may report to its filter
    // while it is destroyed (a focus leaving a half-destroyed text box would
    // run the window's handler on it).
    for (QObject* child : host->findChildren<QObject*>()) child->removeEventFilter(this);
    host->deleteLater();
    unloading_ = false;
    if (theEvents) theEvents->FormUnloaded(*this);
}

void FormBase::Activated() {
    if (showing_) {
        activationHeld_ = true;
        return;
    }
    if (theEvents) theEvents->FormActivated(*this);
    Run([this] { Form_Activate(); });
}

void FormBase::RequestClose() { Unload(UnloadMode::User); }

// --- Handlers -------------------------------------------------------------------

FormBase::HandlerScope::HandlerScope(FormBase* form) : form_(form) {
    if (form) ++form->handlerDepth_;
}

FormBase::HandlerScope::~HandlerScope() {
    if (FormBase* f = form_.data()) f->LeaveHandler();
}

void FormBase::LeaveHandler() {
    if (--handlerDepth_ > 0 || !unloadPending_) return;
    unloadPending_ = false;
    DoUnload(pendingMode_);
}

// --- Position and size ------------------------------------------------------------

TwipsRect FormBase::Rect() const {
    if (!host_) return {};
    return ToTwipsRect(QRect(host_->pos(), host_->size()));
}

TwipsRect FormBase::NormalRect() const {
    if (!host_) return {};
    return WindowState() == 0 ? Rect() : ToTwipsRect(normal_);
}

void FormBase::Move(double top, double left) {
    if (host_) host_->move(ToPixels(left), ToPixels(top));
}

void FormBase::Resize(double height, double width) {
    if (!host_) return;
    QSize size(std::max(1, ToPixels(width)), std::max(1, ToPixels(height)));
    // A stored or asked-for size never goes below what the window's minimum
    // client size needs with its frame (a user's drag stops there too).
    if (sizable_)
        host_->resize(host_->isMinimized() ? size : size.expandedTo(host_->minimumSizeHint()));
    else
        host_->setFixedSize(size);
}

int FormBase::WindowState() const {
    if (!host_) return 0;
    // Given while hidden, a state is the window's until its showing has
    // applied it: what the showing itself sets off (a frame fitted to its
    // screen as it appears) must not take it for a normal window.
    if (pendingState_ >= 0) return pendingState_;
    if (host_->isMinimized()) return 1;
    if (host_->isMaximized()) return 2;
    return 0;
}

void FormBase::SetWindowState(int state) {
    if (!host_) return;
    if (state < 0 || state > 2 || !minMax_) state = 0;
    if (!host_->isVisible()) {
        pendingState_ = state;
        return;
    }
    pendingState_ = -1;
    ApplyState(state);
}

bool FormBase::RestoreMinimised() {
    if (!host_ || WindowState() != 1) return false;
    bool othersMaximised = false;
    if (theArea && SubWindow())
        for (const QMdiSubWindow* sub : theArea->subWindowList())
            othersMaximised |= sub != host_ && sub->isVisible() && sub->isMaximized();
    SetWindowState(othersMaximised && sizable_ ? 2 : 0);
    return true;
}

void FormBase::ApplyState(int state) {
    if (state == WindowState()) return;
    RememberNormal();
    if (state == 1)
        host_->showMinimized();
    else if (state == 2)
        host_->showMaximized();
    else
        host_->showNormal();
}

void FormBase::RememberNormal() {
    if (host_ && !host_->isMinimized() && !host_->isMaximized()) normal_ = QRect(host_->pos(), host_->size());
}

void FormBase::SetSizable(bool sizable) {
    sizable_ = sizable;
    if (!host_) return;
    if (sizable) {
        host_->setMinimumSize(0, 0);
        host_->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        // No window can be made too small to use. The limit is on what the
        // window holds, so that a minimised child still shrinks to its title.
        if (client_) client_->setMinimumSize(minClient_);
    } else {
        host_->setFixedSize(host_->size());
    }
    if (QMdiSubWindow* sub = SubWindow()) sub->setOption(QMdiSubWindow::RubberBandResize, false);
    ApplyFrameButtons();
}

void FormBase::SetDialogLike() {
    escapeCloses_ = true;
    minMax_ = false;
    ApplyFrameButtons();
}

void FormBase::ApplyFrameButtons() {
    if (QMdiSubWindow* sub = SubWindow()) {
        sub->setWindowFlag(Qt::WindowMinimizeButtonHint, minMax_);
        sub->setWindowFlag(Qt::WindowMaximizeButtonHint, minMax_ && sizable_);
    }
}

void FormBase::SetMinClientSize(int width, int height) {
    minClient_ = QSize(std::max(width, int{kMinClientWidth}), std::max(height, int{kMinClientHeight}));
    if (sizable_ && client_) client_->setMinimumSize(minClient_);
}

void FormBase::SetCaption(const std::string& cp1252) {
    if (host_) host_->setWindowTitle(QtText::ToQt(cp1252));
}

std::string FormBase::Caption() const { return host_ ? QtText::FromQt(host_->windowTitle()) : std::string(); }

// --- Controls ---------------------------------------------------------------------

void FormBase::Register(QWidget* control, const std::string& name, int index) {
    if (!control) return;
    control->setObjectName(QString::fromStdString(name));
    if (index >= 0) control->setProperty("index", index);
    controls_.push_back(ControlEntry{name, index, control});
}

QWidget* FormBase::Control(const std::string& name, int index) const {
    for (const ControlEntry& c : controls_)
        if (c.name == name && c.index == index) return c.widget;
    return nullptr;
}

// --- Events -------------------------------------------------------------------------

bool FormBase::eventFilter(QObject* watched, QEvent* event) {
    if (watched != host_.data()) return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Close:
        // Every close goes through the unload steps, which may refuse it.
        event->ignore();
        RequestClose();
        return true;
    case QEvent::KeyPress:
        if (WindowKey(*static_cast<QKeyEvent*>(event))) {
            event->accept();
            return true;
        }
        break;
    case QEvent::WindowActivate:
        if (kind_ != Kind::MdiChild) Activated();
        break;
    case QEvent::Show:
        // Shown by other code than Show (behind the window in front), a
        // window takes the state it was given while hidden all the same:
        // kept for later, it would change the window at some later Show.
        if (!showing_ && pendingState_ >= 0) ApplyState(std::exchange(pendingState_, -1));
        break;
    case QEvent::Move: RememberNormal(); break;
    case QEvent::Resize:
        RememberNormal();
        if (!isLoading_ && resizeOnHost_) Run([this] { Form_Resize(); });
        break;
    default: break;
    }
    return QObject::eventFilter(watched, event);
}

// --- Enter and Escape ---------------------------------------------------------------

bool IsEnterKey(const QKeyEvent& key) {
    return (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) &&
           (key.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

QPushButton* FormBase::DefaultButton() const {
    for (const ControlEntry& c : controls_)
        if (auto* b = qobject_cast<QPushButton*>(c.widget.data()); b && b->isDefault() && b->isVisible() && b->isEnabled())
            return b;
    return nullptr;
}

bool FormBase::WindowKey(const QKeyEvent& key) {
    // A key held down acts once: a repeated Escape would close the window
    // that comes to the front next, and the one after it.
    if (key.isAutoRepeat()) return false;
    if (key.key() == Qt::Key_Escape && key.modifiers() == Qt::NoModifier) {
        if (!escapeCloses_) return false;
        RequestClose();
        return true;
    }
    if (!IsEnterKey(key)) return false;
    // A list picks its line with Enter, a text pane follows its link: the
    // key the control did not use there is no command of the window.
    for (QWidget* w = QApplication::focusWidget(); w && w != host_; w = w->parentWidget())
        if (qobject_cast<QAbstractScrollArea*>(w)) return false;
    QPushButton* button = DefaultButton();
    if (!button) return false;
    button->click();
    return true;
}
