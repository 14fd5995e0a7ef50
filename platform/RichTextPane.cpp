#include "RichTextPane.h"

#include <algorithm>
#include <QAbstractTextDocumentLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

#include "FocusMark.h"
#include "FormBase.h"
#include "RtfReader.h"
#include "ToolTip.h"

namespace {

constexpr double kTwipsPerPixel = 15.0;

QString NumberOf(const QTextFragment& f) { return f.charFormat().property(RtfReader::kLinkNumber).toString(); }

}  // namespace

RichTextPane::RichTextPane(QWidget* parent) : QTextEdit(parent) {
    setReadOnly(true);
    // Text can be selected and copied; no caret; links are ours, not Qt's.
    setTextInteractionFlags(Qt::TextSelectableByMouse);
    setUndoRedoEnabled(false);
    viewport()->setMouseTracking(true);
    viewport()->setCursor(Qt::ArrowCursor);
    // RTF's default tab stops: every half inch.
    document()->setDefaultTextOption([this] {
        QTextOption o = document()->defaultTextOption();
        o.setTabStopDistance(720 / kTwipsPerPixel);
        return o;
    }());
    // Its frame shows only while no link shows where the keyboard is.
    focusFrame_ = new FocusMark::Frame(this);
    FocusMark::MarksItself(this);
}

RichTextPane::~RichTextPane() {
    RichTextEvents* events = events_;
    events_ = nullptr;
    if (events) events->BoxLost(this);
}

void RichTextPane::ShowRtf(const std::string& rtf) {
    pressedLink_.clear();
    focusLink_ = {};
    RtfReader::Read(rtf, *document());
    // A new text from its beginning: the reading leaves the pane's cursor
    // at the end, and a pane scrolls to its cursor (a long description
    // opened at its last lines).
    moveCursor(QTextCursor::Start);
    verticalScrollBar()->setValue(0);
    viewport()->update();
    UpdateFocusFrame();
}

void RichTextPane::Resize(double heightTwips, double widthTwips) {
    int h = heightTwips != 0 ? qRound(heightTwips / kTwipsPerPixel) : height();
    int w = widthTwips != 0 ? qRound(widthTwips / kTwipsPerPixel) : width();
    resize(qMax(0, w), qMax(0, h));
}

void RichTextPane::SetToolTipText(const std::string& text) {
    // A new tooltip each time: a tool keeps the text it was added with.
    delete toolTip_;
    toolTip_ = new ToolTip(this);
    toolTip_->Init(this);
    toolTip_->AddTool(this, text);
}

void RichTextPane::BindEvents(RichTextEvents* events) {
    RichTextEvents* before = events_;
    events_ = events;
    if (before && events && before != events) before->BoxLost(this);
    if (!events_) viewport()->setCursor(Qt::ArrowCursor);
    if (!LinksLive()) UnmarkLink(true);
    UpdateFocusFrame();
}

QString RichTextPane::LinkAt(const QPoint& viewportPos) const {
    QPointF docPos(viewportPos.x() + horizontalScrollBar()->value(),
                   viewportPos.y() + verticalScrollBar()->value());
    int position = document()->documentLayout()->hitTest(docPos, Qt::ExactHit);
    if (position < 0) return {};
    return RtfReader::LinkNumberAt(*document(), position);
}

QRect RichTextPane::CharRect(int position) const {
    QTextCursor c(document());
    c.setPosition(position);
    QRect left = cursorRect(c);
    c.setPosition(qMin(position + 1, document()->characterCount() - 1));
    QRect right = cursorRect(c);
    int w = right.top() == left.top() ? right.left() - left.left() : 1;
    return QRect(left.left(), left.top(), qMax(1, w), left.height());
}

void RichTextPane::UpdatePointer(const QPoint& viewportPos) {
    bool overLink = events_ && events_->LinksLive() && !LinkAt(viewportPos).isEmpty();
    Qt::CursorShape shape = overLink ? Qt::PointingHandCursor : Qt::ArrowCursor;
    if (viewport()->cursor().shape() != shape) viewport()->setCursor(shape);
}

void RichTextPane::mouseMoveEvent(QMouseEvent* e) {
    QTextEdit::mouseMoveEvent(e);
    UpdatePointer(e->position().toPoint());
}

void RichTextPane::mousePressEvent(QMouseEvent* e) {
    // The click places the cursor: the keyboard goes on from there.
    focusLink_ = {};
    UpdateFocusFrame();
    QTextEdit::mousePressEvent(e);
    pressedLink_ = e->button() == Qt::LeftButton ? LinkAt(e->position().toPoint()) : QString();
}

void RichTextPane::mouseReleaseEvent(QMouseEvent* e) {
    QTextEdit::mouseReleaseEvent(e);
    if (e->button() != Qt::LeftButton) return;
    QString link = LinkAt(e->position().toPoint());
    QString pressed = pressedLink_;
    pressedLink_.clear();
    // A click: pressed and released on the same link (a drag that selects
    // text across it follows nothing).
    if (link.isEmpty() || link != pressed || !events_ || !events_->LinksLive()) return;
    if (textCursor().hasSelection() && textCursor().selectedText().size() > 1) return;
    events_->LinkClicked(link.toStdString());
}

void RichTextPane::leaveEvent(QEvent* e) {
    QTextEdit::leaveEvent(e);
    viewport()->setCursor(Qt::ArrowCursor);
}

// --- Keyboard ----------------------------------------------------------------------

RichTextPane::LinkSpan RichTextPane::FindLink(int from, bool forward) const {
    if (!LinksLive()) return {};
    const QTextDocument* doc = document();
    // From the end of the document on, the last block is where a search starts.
    const QTextBlock first = doc->findBlock(std::clamp(from, 0, doc->characterCount() - 1));
    LinkSpan link;
    if (forward) {
        for (QTextBlock b = first; b.isValid(); b = b.next()) {
            for (auto it = b.begin(); !it.atEnd(); ++it) {
                const QTextFragment f = it.fragment();
                const QString number = NumberOf(f);
                if (link.valid()) {
                    // A link of several runs (a bold part) goes on while its number does.
                    if (number != link.number || f.position() != link.end) return link;
                    link.end = f.position() + f.length();
                } else if (!number.isEmpty() && f.position() >= from) {
                    link = {f.position(), f.position() + f.length(), number};
                }
            }
            if (link.valid()) return link;  // a link never crosses a paragraph
        }
        return {};
    }
    for (QTextBlock b = first; b.isValid(); b = b.previous()) {
        for (auto it = b.end(); it != b.begin();) {
            --it;
            const QTextFragment f = it.fragment();
            const QString number = NumberOf(f);
            if (link.valid()) {
                if (number != link.number || f.position() + f.length() != link.start) return link;
                link.start = f.position();
            } else if (!number.isEmpty() && f.position() + f.length() <= from) {
                link = {f.position(), f.position() + f.length(), number};
            }
        }
        if (link.valid()) return link;
    }
    return {};
}

void RichTextPane::FocusLink(const LinkSpan& link) {
    focusLink_ = link;
    QTextCursor c(document());
    c.setPosition(link.start);
    c.setPosition(link.end, QTextCursor::KeepAnchor);
    setTextCursor(c);
    ensureCursorVisible();
    UpdateFocusFrame();
}

void RichTextPane::UnmarkLink(bool forget) {
    if (forget) focusLink_ = {};
    QTextCursor c = textCursor();
    if (c.hasSelection()) {
        c.clearSelection();
        setTextCursor(c);
    }
    UpdateFocusFrame();
}

bool RichTextPane::focusNextPrevChild(bool next) {
    // Qt asks a hidden focus widget to pass the focus on: it must go.
    if (hasFocus() && isVisible() && LinksLive()) {
        const QTextCursor c = textCursor();
        const int from = focusLink_.valid() ? (next ? focusLink_.end : focusLink_.start)
                                            : (next ? c.selectionStart() : c.selectionEnd());
        const LinkSpan link = FindLink(from, next);
        if (link.valid()) {
            FocusLink(link);
            return true;
        }
        UnmarkLink(true);
    }
    return QTextEdit::focusNextPrevChild(next);
}

void RichTextPane::keyPressEvent(QKeyEvent* e) {
    if (IsEnterKey(*e) && focusLink_.valid() && LinksLive()) {
        e->accept();
        // Exactly what a click on the link does.
        if (!e->isAutoRepeat()) events_->LinkClicked(focusLink_.number.toStdString());
        return;
    }
    QTextEdit::keyPressEvent(e);
}

void RichTextPane::focusInEvent(QFocusEvent* e) {
    QTextEdit::focusInEvent(e);
    if (e->reason() == Qt::TabFocusReason || e->reason() == Qt::BacktabFocusReason) {
        // Tab comes in at the first link, Shift+Tab at the last.
        const bool forward = e->reason() == Qt::TabFocusReason;
        const LinkSpan link = FindLink(forward ? 0 : document()->characterCount(), forward);
        if (link.valid()) FocusLink(link);
        else UnmarkLink(true);
    } else if (focusLink_.valid() && e->reason() != Qt::MouseFocusReason) {
        // Back in a window that was left: the link that had the focus has it again.
        FocusLink(focusLink_);
    }
    UpdateFocusFrame();
}

void RichTextPane::focusOutEvent(QFocusEvent* e) {
    QTextEdit::focusOutEvent(e);
    // The mark shows where the keyboard is; the link stays the focused one
    // for when the focus comes back, unless the user went elsewhere.
    if (focusLink_.valid())
        UnmarkLink(e->reason() == Qt::TabFocusReason || e->reason() == Qt::BacktabFocusReason ||
                   e->reason() == Qt::MouseFocusReason);
    UpdateFocusFrame();
}

bool RichTextPane::FocusFrameShown() const { return focusFrame_->isVisibleTo(this); }

void RichTextPane::UpdateFocusFrame() {
    const bool shown = hasFocus() && !focusLink_.valid();
    if (shown) {
        focusFrame_->setGeometry(rect());
        focusFrame_->raise();
    }
    focusFrame_->setVisible(shown);
}
