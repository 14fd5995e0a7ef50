// The controls of the windows, with the semantics their handlers rely on:
// a selection or value set by code raises the same handler as the user's
// input; option buttons of one container exclude each other but may all be
// off; every handler runs at once, as a handler of the control's window.
// Texts are cp1252.
#pragma once

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStyledItemDelegate>
#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "FormBase.h"
#include "TypedChoice.h"

class QMenu;

using Handler = std::function<void()>;

// Lights and grays controls as one change, those turning on first: a
// focused control that turns gray hands the keyboard to the next one in the
// Tab order, which must be lit by then (Back turning gray as Forward turns
// on hands it to Forward, not past it).
void EnableTogether(std::initializer_list<std::pair<QWidget*, bool>> controls);

// A push button. Press() clicks it from code (a tutorial, a Notify). Enter
// presses the button that has the focus, as Space does, in every window (Qt
// does so only in dialogs).
class CommandButton : public QPushButton, public FormControl {
    Q_OBJECT
public:
    explicit CommandButton(QWidget* parent = nullptr);
    void SetCaption(const std::string& text);
    void Press();
    Handler onClick;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

// A check box: Value 0 cleared, 1 ticked, 2 partly ticked (only code sets
// that; a click on it ticks the box). onClick runs whenever the value
// changes, by a click or by SetValue.
class CheckBox : public QCheckBox, public FormControl {
    Q_OBJECT
public:
    explicit CheckBox(QWidget* parent = nullptr);
    void SetCaption(const std::string& text);
    int Value() const;
    void SetValue(int value);
    Handler onClick;

protected:
    void nextCheckState() override;

private:
    bool quiet_ = false;
};

// An option button. The buttons with the same parent are a group: they
// exclude each other, and all of them may be off. onClick runs when the
// button is switched on, by a click, an arrow key or SetValue(true);
// clicking a button that is on keeps it on. By keyboard a group is one stop
// of the Tab key, at its checked button (at its first when none is checked),
// and the arrow keys go round the group's usable buttons in reading order,
// checking the one they reach.
class OptionButton : public QRadioButton, public FormControl {
    Q_OBJECT
public:
    explicit OptionButton(QWidget* parent = nullptr);
    void SetCaption(const std::string& text);
    bool Value() const { return isChecked(); }
    void SetValue(bool on);
    Handler onClick;

protected:
    void nextCheckState() override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;

private:
    void Toggled(bool on);
    // The group's buttons that can take the focus, top to bottom and left
    // to right.
    static std::vector<OptionButton*> Usable(QWidget* parent);
    // Gives the group's Tab stop to its checked usable button, else to its
    // first usable one; the others take the focus only by a click.
    static void UpdateTabStop(QWidget* parent);
};

// A one-line text box. onChange runs whenever the text changes, typed or set
// by SetText; onGotFocus when it gets the keyboard focus; onEnter, when set,
// on Enter in the box, which then stays with the box (without it Enter goes
// on to the window's default button). What is pasted or dropped loses the
// line ends at its ends (QtText::PastedLine), by keyboard, context menu,
// middle click or drag and drop alike.
class TextBox : public QLineEdit, public FormControl {
    Q_OBJECT
public:
    explicit TextBox(QWidget* parent = nullptr);
    std::string Text() const;
    void SetText(const std::string& text);
    Handler onChange, onGotFocus, onEnter;
    // The box's context menu, its Paste as the keyboard's (the caller owns it).
    QMenu* ContextMenu();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void Paste(QClipboard::Mode mode);
};

// A combo box, a drop-down list or (editable) a text with a list. onClick
// runs when an entry is chosen, by the user or by SetListIndex; typing an
// entry chooses it, closed or with the list open (see TypedChoice); onChange
// when the text of an editable box is typed or set by SetText; onGotFocus
// when it gets the focus; onDropDown before the list drops down. Filling
// the list (AddItem, Clear) raises nothing.
class ComboBox : public QComboBox, public FormControl {
    Q_OBJECT
public:
    explicit ComboBox(QWidget* parent = nullptr);
    void AddItem(const std::string& text);
    void Clear();
    int ListCount() const { return count(); }
    std::string List(int index) const;
    // -1 for none.
    int ListIndex() const { return currentIndex(); }
    void SetListIndex(int index);
    std::string Text() const;
    void SetText(const std::string& text);
    Handler onClick, onChange, onGotFocus, onDropDown;

    void showPopup() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

protected:
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool quiet_ = false;
    TypedChoice::Typing typing_;  // shared by the closed box and its open list
};

// Rows with room for the whole of every character: a font's ascent and
// descent leave out the accents of capitals (the one of "Á" stands above the
// ascent in common fonts), which a row only as tall as the line cuts off.
// The rows of a list view and of a list box get this delegate.
class FullHeightDelegate : public QStyledItemDelegate {
public:
    // cellFonts: whether cells may carry a font of their own (a bold cell),
    // which is then measured too.
    FullHeightDelegate(QObject* parent, bool cellFonts) : QStyledItemDelegate(parent), cellFonts_(cellFonts) {}
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    // The pixels a row of font needs beyond its line height, so that the
    // ink of "ÁÄÖÜ" and of descenders ("gjpqy"), measured in the font, stays
    // inside a row that centres its text: twice the larger overhang.
    static int ExtraHeight(const QFont& font);

private:
    bool cellFonts_;
    mutable QFont lastFont_;   // the last font measured, and what it needs
    mutable int lastExtra_ = -1;
};

// A list of short texts. onClick runs when the selected line changes, by the
// user or by SetListIndex; filling raises nothing.
class ListBox : public QListWidget, public FormControl {
    Q_OBJECT
public:
    explicit ListBox(QWidget* parent = nullptr);
    void AddItem(const std::string& text);
    void Clear();
    int ListCount() const { return count(); }
    std::string List(int index) const;
    int ListIndex() const { return currentRow(); }
    void SetListIndex(int index);
    Handler onClick;

private:
    bool quiet_ = false;
};
