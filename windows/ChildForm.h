// What every child window of the information, search and list windows has in
// common, on top of the window base: the flags isLoading and suppressEvents,
// the input guard around user commands, the tooltips of the text language,
// the guarded boxes that put their text back when input is blocked, the
// common buttons, the road from a clicked table line to the name window, the
// Tab order that follows the layout, and what was typed kept on closing.
//
// The window manager's part (placement, history, stored position, the close
// guard) is done by the window base through the window's roles; a window
// only adds its own load steps in Form_Load.
#pragma once

#include <QPointer>
#include <QRect>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "FormBase.h"
#include "FormControls.h"
#include "WindowContracts.h"

class QGroupBox;
class QLabel;
class ResultSet;
class atom;

// A window derives from ChildForm and from its contract of
// WindowContracts.h (ChildWindow when it has no other), whose Notify it
// forwards to OnNotify, as the window manager's Notify is:
//   void Notify(int16_t code, const std::string& text) override { OnNotify(code, text); }
class ChildForm : public FormBase {
    Q_OBJECT
public:
    using FormBase::FormBase;

    // The window manager's notification.
    void Notify(int code, const std::string& text) override { OnNotify(code, text); }

    // One millimetre in twips, the unit of the windows' margins (57).
    static int U();

    bool suppressEvents = false;
    // Sets suppressEvents for its lifetime (restoring the previous value).
    class Suppress {
    public:
        explicit Suppress(ChildForm& f) : f_(f), saved_(f.suppressEvents) { f.suppressEvents = true; }
        ~Suppress() { f_.suppressEvents = saved_; }
        Suppress(const Suppress&) = delete;
        Suppress& operator=(const Suppress&) = delete;

    private:
        ChildForm& f_;
        bool saved_;
    };

    // A user command: runs f unless suppressEvents is set or the input guard
    // refuses.
    Handler Guarded(std::function<void()> f);
    // A command that asks the guard but runs also while suppressEvents is set.
    Handler GuardedAlways(std::function<void()> f);

    // The tooltip of the text language for a control (only with the option
    // ShowToolTips).
    void Tip(QWidget* control, const std::string& german, const std::string& english);

    // A text box or editable combo box whose change must not go through while
    // input is blocked: it remembers its text when it gets the focus, and a
    // refused change puts that text back without asking again.
    void GuardBox(TextBox* box, std::function<void()> onChange);
    void GuardBox(ComboBox* box, std::function<void()> onChange);
    // Writes a box's text without raising the window's change handlers.
    void SetTextQuietly(TextBox* box, const std::string& text);
    // A group of option buttons that choose one thing together: a click
    // refused by the input guard puts the button that was on before back
    // (as a blocked box puts its text back), so that the buttons always show
    // the choice in force; otherwise onChoice gets the index of the button
    // switched on. Echoes of the window's own changes raise nothing.
    void GuardOptions(std::vector<OptionButton*> group, std::function<void(int)> onChoice);

    // A link clicked in one of the window's descriptions (Notify code 0):
    // followed with no browse list and `context` as the current atom. A link
    // to an atom whose window this build lacks, or to a deleted atom, does
    // nothing.
    static void FollowDescriptionLink(const std::string& text, atom* context);

    // --- building the controls --------------------------------------------------------
    // Gives the client area this size in pixels (the designed size of the
    // window's controls); the window takes its title bar and border around it.
    // The designed size is also the smallest a sizable window can be made:
    // below it controls would be cut off; above it the lists grow.
    void SetClientSize(int width, int height);
    // A frame, label or button with its caption (cp1252) at r, in parent (the
    // client area when null), registered under name.
    QGroupBox* AddFrame(const std::string& name, const std::string& caption, QRect r, QWidget* parent = nullptr);
    QLabel* AddLabel(const std::string& name, const std::string& text, QRect r, QWidget* parent = nullptr);
    CommandButton* AddButton(const std::string& name, const std::string& caption, QRect r, QWidget* parent = nullptr);

    // --- common buttons ------------------------------------------------------------
    // "Hilfe" / "Help": the help topic of the window (never guarded).
    CommandButton* AddHelpButton();
    // "Als Liste" / "As List": the table as a new list (guarded).
    void AsList(ResultSet& table, const std::string& title);

    // --- table line to the name window -----------------------------------------------
    // The clicked line of table (its selection becomes its mark) goes to the
    // name window with a copy of the table as browse list. The copy is made
    // again only when the table's title changed, and the clicked line is
    // marked in it, so that browsing starts there. The name window is
    // brought forward at the next mouse-up (NameWindowMouseUp).
    void TableItemToNameWindow(ResultSet& table);
    // Shows atom a in the name window with set as browse list, positioned on
    // the set's marked line; the window is activated at the next mouse-up.
    void ShowInNameWindow(atom* a, std::shared_ptr<ResultSet> set);
    // The mouse-up that ends the click.
    void NameWindowMouseUp();
    bool nameWindowPending = false;
    // Calls NameWindowMouseUp when the mouse button is released over w (a
    // list's viewport). Enter on the list's current line then does what a
    // click on it does, mouse-up included.
    void WatchMouseUp(QWidget* w);

    // --- the keyboard -------------------------------------------------------------------
    // Tab goes through the controls in reading order (WindowKeys), set when
    // the window is first shown after a load, once its controls stand where
    // they are shown.

    // Nothing typed is lost when the window closes: a box whose Enter stores
    // what was typed in it (a comment of a table line) keeps it when the
    // window closes however it closes (its close box, Ctrl+F4, closing every
    // window, quitting) as if Enter had been pressed. When the window closes
    // and changed() says the box holds text not stored yet (without it: the
    // user edited the box since its text was last set), store() runs, without
    // the input guard: a close is no command to refuse.
    void KeepOnClose(TextBox* box, std::function<bool()> changed, Handler store);

    // Lays the window out again (Form_Resize) whenever its client area has
    // changed size, once loaded: the sub-window lays the client out after
    // its own resize, so the client's size is the one to fit the controls to.
    void FollowClientSize();

    // --- table line to the word window -----------------------------------------------
    // The word on the clicked line of table is shown in the word window,
    // which is brought forward at the next mouse-up over view (a widget
    // watched with WatchMouseUp); a click that goes to the name window
    // cancels that.
    void TableItemToWordWindow(ResultSet& table, QWidget* view);
    // Nothing is brought forward at the next mouse-up (the window itself was
    // activated).
    void CancelMouseUpActivation() {
        nameWindowPending = false;
        wordWindowView_ = nullptr;
    }

protected:
    // Every code is accepted; those a window does not handle are ignored.
    virtual void OnNotify(int code, const std::string& text) {}
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Keeps what was typed (KeepOnClose) before the window's unload steps.
    void Form_QueryUnload(UnloadMode mode, bool& cancel) override;

    std::shared_ptr<ResultSet> browseCopy;
    std::string browseCopyTitle;

private:
    template <class Box>
    void GuardBoxImpl(Box* box, std::function<void()> onChange);
    // Brings the window forward unless a tutorial runs.
    static void BringForward(const std::string& name);
    // The mouse button went up over w: the window a click there opened
    // comes forward.
    void MouseUpOn(QWidget* w);
    std::vector<QPointer<QWidget>> mouseUpWatched_;
    QPointer<QWidget> wordWindowView_;  // the word window comes forward at its mouse-up
    bool followClient_ = false;
    QPointer<QWidget> tabsOrderedIn_;  // the client whose Tab order is set
    struct Keeper {
        QPointer<TextBox> box;
        std::function<bool()> changed;
        Handler store;
    };
    std::vector<Keeper> keepers_;
};

// Whether the window a link to an atom of this kind opens is part of this
// build (a link entry, kind 12, opens through the shell and always is).
bool LinkWindowAvailable(int kind);

// Opens a window by its name for a call on it. While a tutorial runs, and
// while the user moves through a list by the keys, the window is shown
// without taking the focus from the window that has it (behind it, for a
// list). Null when the name has no window in this build.
FormBase* OpenFormKeepingFocus(const std::string& name);
