// Where the keyboard is, in every window: a list, a table, a read-only text, a
// chart or a push button that has the focus shows a frame in the highlight
// colour around it. The style marks a box or an option by itself, but a list
// only at its current line (which an empty list, or one with nothing chosen,
// does not have), a read-only text not at all, and a push button as it marks
// the default one. Installed once for the application, the mark comes to
// every such control of every window without the windows doing anything.
#pragma once

#include <QWidget>

namespace FocusMark {

// Watches the whole application from now on (again: nothing more).
void Install();

// A control that shows its focus in a way of its own (a text pane marking
// the link it has reached) takes no frame from here.
void MarksItself(QWidget* control);

// Whether control shows the frame now (for tests).
bool Shown(const QWidget* control);

// The frame itself: a widget of its own above the control's content, so that
// content scrolled under it does not carry it along. Shown and hidden by its
// owner; it follows the control's size.
class Frame : public QWidget {
    Q_OBJECT  // found among a control's children by its own type
public:
    explicit Frame(QWidget* control);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace FocusMark
