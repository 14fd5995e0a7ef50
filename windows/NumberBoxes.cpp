#include "NumberBoxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFocusEvent>
#include <QTimer>
#include <algorithm>

#include "FormBase.h"
#include "FormControls.h"

NumberBoxes::NumberBoxes(FormBase& form) : form_(form) {}

void NumberBoxes::Add(TextBox* box, Check check, QWidget* focusWhenOff) {
    if (!box) return;
    entries_.push_back({box, std::move(check), focusWhenOff, false});
    box->installEventFilter(this);
    connect(box, &QLineEdit::textChanged, this, [this, box] {
        if (Entry* e = Find(box)) e->passed = false;
    });
}

void NumberBoxes::AcceptAll() {
    for (Entry& e : entries_) e.passed = true;
}

void NumberBoxes::Invalidate(TextBox* box) {
    if (Entry* e = Find(box)) e->passed = false;
}

void NumberBoxes::Exempt(QWidget* control) { exempt_.emplace_back(control); }

void NumberBoxes::Clear() {
    entries_.clear();
    exempt_.clear();
    pressFor_ = nullptr;
}

NumberBoxes::Entry* NumberBoxes::Find(const QObject* box) {
    if (!box) return nullptr;
    auto it = std::find_if(entries_.begin(), entries_.end(), [box](const Entry& e) { return e.box.data() == box; });
    return it == entries_.end() ? nullptr : &*it;
}

bool NumberBoxes::RunCheck(Entry& e) {
    // The message box takes the focus, and the focus put back below leaves
    // whatever control had it meanwhile: neither is a leave to check.
    checking_ = true;
    bool ok = true;
    const QPointer<TextBox> box = e.box;
    form_.Run([&] { ok = !e.check || e.check(); });
    e.passed = ok;
    if (!ok && box) {
        if (box->isEnabled()) {
            box->setFocus();
            box->selectAll();
        } else if (e.focusWhenOff) {
            e.focusWhenOff->setFocus();
        }
    }
    checking_ = false;
    return ok;
}

bool NumberBoxes::Leave(TextBox* box) {
    Entry* e = Find(box);
    return !e || RunCheck(*e);
}

bool NumberBoxes::CheckAll() {
    if (Entry* e = Find(replayingFor_); e && !e->passed) {
        // The click that set off this box's message: refused without a
        // second one.
        if (e->box->isEnabled()) e->box->setFocus();
        return false;
    }
    for (Entry& e : entries_)
        if (e.box && !e.passed && !RunCheck(e)) return false;
    return true;
}

bool NumberBoxes::LeavesWithinWindow(const QFocusEvent& event) const {
    const Qt::FocusReason reason = event.reason();
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason || reason == Qt::MenuBarFocusReason)
        return false;
    // The widget taking the focus is already known while the box hears that
    // it lost it.
    const QWidget* next = QApplication::focusWidget();
    const QWidget* client = form_.Client();
    if (!next || !client || !client->isAncestorOf(next) || !form_.Visible()) return false;
    return std::none_of(exempt_.begin(), exempt_.end(), [next](const QPointer<QWidget>& w) { return w == next; });
}

void NumberBoxes::ReplayPress(QAbstractButton* button, TextBox* box) {
    if (pressFor_) pressFor_->removeEventFilter(this);
    pressFor_ = button;
    pressBox_ = box;
    button->installEventFilter(this);
    // The focus may also have moved by code that named the mouse as its
    // reason: no press follows then.
    QTimer::singleShot(0, this, [this, button = QPointer<QAbstractButton>(button)] {
        if (button && pressFor_ == button) {
            button->removeEventFilter(this);
            pressFor_ = nullptr;
        }
    });
}

bool NumberBoxes::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress && pressFor_ && watched == pressFor_.data()) {
        // Its release went to the message box: the button would stay down
        // and never click.
        QPointer<QAbstractButton> button = pressFor_;
        QPointer<TextBox> box = pressBox_;
        button->removeEventFilter(this);
        pressFor_ = nullptr;
        QTimer::singleShot(0, button, [this, button, box] {
            replayingFor_ = box;
            button->click();
            replayingFor_ = nullptr;
        });
        return true;
    }
    if (event->type() == QEvent::FocusOut && !checking_) {
        Entry* e = Find(watched);
        const auto& focus = static_cast<const QFocusEvent&>(*event);
        if (e && form_.IsLoaded() && LeavesWithinWindow(focus)) {
            const QPointer<QWidget> next = QApplication::focusWidget();
            const QPointer<TextBox> box = e->box;
            if (!RunCheck(*e)) {
                if (focus.reason() == Qt::MouseFocusReason)
                    if (auto* button = qobject_cast<QAbstractButton*>(next.data())) ReplayPress(button, box);
                // The box has the focus again: it must not hear that it lost
                // it, which would take away its selection and its cursor.
                if (box && box->window()->focusWidget() == box) return true;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}
