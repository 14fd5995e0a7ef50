// The number boxes of one window and the one rule by which they are checked:
// when the focus moves from a box to another control of the same window, and
// by the command that uses the values. The focus going to another window, a
// menu, the toolbar or a message box checks nothing, so a value half typed
// never sends a message over some other window.
//
// A click on a button of the window that takes the focus from a refused box
// is not lost under the message box: the message comes first, then the click
// takes effect (an option chosen, a box ticked). A command that uses the
// values and whose click set off the message does not run: the message has
// already said why.
#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <vector>

class FormBase;
class QAbstractButton;
class QFocusEvent;
class QWidget;
class TextBox;

class NumberBoxes : public QObject {
    Q_OBJECT
public:
    // The window's test of one box: shows the box's message and returns False
    // when its text is refused (it may write a text that passes into the box
    // as well). The focus then goes back to the box.
    using Check = std::function<bool()>;

    explicit NumberBoxes(FormBase& form);

    // A box of the window, to be checked before its value is first used.
    // When the box is disabled, a refusal gives the focus to focusWhenOff.
    void Add(TextBox* box, Check check, QWidget* focusWhenOff = nullptr);
    // The window has written values that pass into every box.
    void AcceptAll();
    // What a box's value means has changed: it is checked again before use.
    void Invalidate(TextBox* box);
    // Leaving a box for this control checks nothing (a Cancel that drops the
    // values anyway).
    void Exempt(QWidget* control);
    // The window unloads: its boxes go.
    void Clear();

    // The check of a box as the focus leaves it (tutorials and tests call it
    // too): True when the text passes.
    bool Leave(TextBox* box);
    // For the command that uses the values: True when every box holds a value
    // that passed. A box changed since its last check is checked now; the
    // first refused one has its message and the focus.
    bool CheckAll();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Entry {
        QPointer<TextBox> box;
        Check check;
        QPointer<QWidget> focusWhenOff;
        bool passed = false;  // checked and accepted since its last change
    };
    Entry* Find(const QObject* box);
    bool RunCheck(Entry& e);
    // Whether losing the focus this way is a leave to check.
    bool LeavesWithinWindow(const QFocusEvent& event) const;
    // The press that moved the focus to button is still on its way to it:
    // it is taken out, and the click is made again once the message is done.
    void ReplayPress(QAbstractButton* button, TextBox* box);

    FormBase& form_;
    std::vector<Entry> entries_;
    std::vector<QPointer<QWidget>> exempt_;
    bool checking_ = false;
    QPointer<QAbstractButton> pressFor_;      // a press to take out
    QPointer<TextBox> pressBox_;              // the box whose message it set off
    QPointer<TextBox> replayingFor_;          // during the replayed click
};
