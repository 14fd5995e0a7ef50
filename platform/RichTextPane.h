// The read-only rich-text pane: shows the RTF of a TextDisplay and turns it
// into hypertext. Links are found from the document (the character under the
// mouse and the link number it carries), so every character of a link text
// reacts: the pointer becomes a hand over it and a click reports its number
// to the bound RichTextEvents (the TextDisplay, which notifies the window).
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

protected:
    void mouseMoveEvent(QMouseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent* e) override;

private:
    void UpdatePointer(const QPoint& viewportPos);

    RichTextEvents* events_ = nullptr;
    QString pressedLink_;
    ToolTip* toolTip_ = nullptr;  // a child of the pane
};
