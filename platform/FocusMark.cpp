#include "FocusMark.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QTextEdit>

namespace FocusMark {

namespace {

const char* const kMarksItself = "marksItsFocus";

Frame* FrameOf(const QWidget* control) { return control->findChild<Frame*>(QString(), Qt::FindDirectChildrenOnly); }

// The controls the style leaves unmarked, or marked alike with others,
// while they have the focus. A list dropped down from a combo box is left
// alone: its window is the list, and its current line is marked.
bool Unmarked(const QWidget* w) {
    if (w->property(kMarksItself).toBool() || w->window()->windowType() == Qt::Popup) return false;
    if (qobject_cast<const QAbstractItemView*>(w)) return true;
    // The style marks a focused push button with the same thin frame it gives
    // the default button: the default button with the keyboard, or another
    // button beside it, would not show which has it.
    if (qobject_cast<const QPushButton*>(w)) return true;
    // A text to type in shows its caret; one to read shows nothing.
    if (const auto* t = qobject_cast<const QTextEdit*>(w)) return !(t->textInteractionFlags() & Qt::TextEditable);
    if (const auto* t = qobject_cast<const QPlainTextEdit*>(w)) return !(t->textInteractionFlags() & Qt::TextEditable);
    return qobject_cast<const QScrollArea*>(w) != nullptr;
}

class Watcher : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type == QEvent::Show && watched->isWidgetType()) {
            // The style marks a button, a box or an option only in a window
            // where the keyboard has moved the focus; a window opened by the
            // keyboard, or a box chosen by typing, would show none until a
            // first Tab. Every window marks its focus from the start.
            auto* w = static_cast<QWidget*>(watched);
            if (w->isWindow()) w->setAttribute(Qt::WA_KeyboardFocusChange);
            return false;
        }
        if ((type != QEvent::FocusIn && type != QEvent::FocusOut) || !watched->isWidgetType()) return false;
        auto* w = static_cast<QWidget*>(watched);
        if (type == QEvent::FocusOut) {
            if (Frame* f = FrameOf(w); f && !w->property(kMarksItself).toBool()) f->hide();
        } else if (Unmarked(w)) {
            Frame* f = FrameOf(w);
            if (!f) f = new Frame(w);
            f->setGeometry(w->rect());
            f->raise();
            f->show();
        }
        return false;
    }
};

QPointer<Watcher> theWatcher;

}  // namespace

void Install() {
    if (theWatcher || !qApp) return;
    theWatcher = new Watcher(qApp);
    qApp->installEventFilter(theWatcher);
}

void MarksItself(QWidget* control) {
    if (control) control->setProperty(kMarksItself, true);
}

bool Shown(const QWidget* control) {
    const Frame* f = control ? FrameOf(control) : nullptr;
    return f && f->isVisibleTo(control);
}

Frame::Frame(QWidget* control) : QWidget(control) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    hide();
    control->installEventFilter(this);
}

void Frame::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QPen pen(palette().color(QPalette::Highlight), 2);
    pen.setJoinStyle(Qt::MiterJoin);
    p.setPen(pen);
    p.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
}

bool Frame::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parent() && event->type() == QEvent::Resize) setGeometry(parentWidget()->rect());
    return false;
}

}  // namespace FocusMark
