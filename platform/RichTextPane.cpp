#include "RichTextPane.h"

#include <QAbstractTextDocumentLayout>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextCursor>

#include "RtfReader.h"
#include "ToolTip.h"

namespace {
constexpr double kTwipsPerPixel = 15.0;
}

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
}

RichTextPane::~RichTextPane() {
    RichTextEvents* events = events_;
    events_ = nullptr;
    if (events) events->BoxLost(this);
}

void RichTextPane::ShowRtf(const std::string& rtf) {
    pressedLink_.clear();
    RtfReader::Read(rtf, *document());
    // A new text from its beginning: the reading leaves the pane's cursor
    // at the end, and a pane scrolls to its cursor (a long description
    // opened at its last lines).
    moveCursor(QTextCursor::Start);
    verticalScrollBar()->setValue(0);
    viewport()->update();
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
