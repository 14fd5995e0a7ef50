// The read-only rich-text pane: shows the RTF of a TextDisplay and turns it
// into hypertext. Links are found from the document (the character under the
// mouse and the link number it carries), so every character of a link text
// reacts: the pointer becomes a hand over it and a click reports its number
// to the bound RichTextEvents (the TextDisplay, which notifies the window).
//
// By keyboard, Tab and Shift+Tab go from link to link (the focused link is
// shown selected) and Enter follows the focused link as a click does; past
// the last link (before the first) Tab leaves the pane. A pane with the
// focus and no link focused shows a frame in the highlight colour.
#pragma once

#include <QString>
#include <QTextEdit>
#include <string>

#include "RichTextBox.h"

class ToolTip;

class RichTextPane : public QTextEdit, public RichTextBox {
    Q_OBJECT
public:
    explicit RichTextPane(QWidget* parent = nullptr);
    ~RichTextPane() override;

    // --- RichTextBox ------------------------------------------------------------
    void ShowRtf(const std::string& rtf) override;
    void Resize(double heightTwips, double widthTwips) override;
    void SetToolTipText(const std::string& text) override;
    void BindEvents(RichTextEvents* events) override;
    RichTextEvents* events() const { return events_; }

    // The link number of the character at a point of the viewport ("" when
    // the point is on no link).
    QString LinkAt(const QPoint& viewportPos) const;
    // The viewport rectangle of the character at a document position (for
    // tests and tutorials that point at a link).
    QRect CharRect(int position) const;
    // The pane's tooltip; null until a text is set.
    ToolTip* toolTipObject() const { return toolTip_; }

    // A link of the document: its characters [start, end) and its number.
    struct LinkSpan {
        int start = -1, end = -1;
        QString number;
        bool valid() const { return start >= 0; }
    };
    // The link that has the keyboard's focus (invalid for none).
    LinkSpan FocusedLink() const { return focusLink_; }
    // Whether the pane shows its own focus frame now.
    bool FocusFrameShown() const;

protected:
    void mouseMoveEvent(QMouseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    bool focusNextPrevChild(bool next) override;

private:
    void UpdatePointer(const QPoint& viewportPos);
    bool LinksLive() const { return events_ && events_->LinksLive(); }
    // The first link that starts at or after `from` (forward), or the last
    // that ends at or before it (backward); invalid when there is none.
    LinkSpan FindLink(int from, bool forward) const;
    // Selects the link as the focused one and scrolls it into view.
    void FocusLink(const LinkSpan& link);
    // Takes the focus mark off the link; forget: it is no longer focused
    // either (else it is marked again when the focus comes back).
    void UnmarkLink(bool forget);
    void UpdateFocusFrame();

    RichTextEvents* events_ = nullptr;
    QString pressedLink_;
    LinkSpan focusLink_;
    ToolTip* toolTip_ = nullptr;  // a child of the pane
    QWidget* focusFrame_ = nullptr;  // a child of the pane
};
