// What every child window of the information, search and list windows shares:
// the echo guard for code-made changes, the input guard of user commands,
// the text box whose blocked change puts its old text back, the tooltips by
// text language, the help button, and the road from a table line to the name
// window.
//
// Placing, the history of windows, the close guard and storing the position
// on unload come from FormBase and the window manager (the window's roles).
#pragma once

#include <QObject>
#include <QPointer>
#include <memory>
#include <string>

#include "FormBase.h"
#include "FormControls.h"
#include <functional>

class ResultSet;

// A window class derives from ChildForm and from its contract of
// WindowContracts.h, and routes the contract's Notify to OnNotify too:
//   void Notify(int16_t code, const std::string& text) override { OnNotify(code, text); }
//   using ChildForm::Notify;
class ChildForm : public FormBase {
    Q_OBJECT
public:
    explicit ChildForm(std::string name, unsigned roles = kChildRoles);

    // The window manager's notification.
    void Notify(int code, const std::string& text) final { OnNotify(code, text); }

    // True while the window's own code changes one of its lists or boxes:
    // handlers that react to the user return at once meanwhile.
    bool suppressEvents = false;

    // One millimetre in twips, the unit of the layouts' margins.
    static double U();

protected:
    // Codes 0 link, 2 lists changed, 3 tutorial command, 4 new names,
    // 5 finish display; every code is accepted, unhandled ones are ignored.
    virtual void OnNotify(int code, const std::string& text) {}

    // Sets suppressEvents for its lifetime (and back to what it was).
    class Quiet {
    public:
        explicit Quiet(ChildForm& form) : form_(form), saved_(form.suppressEvents) { form.suppressEvents = true; }
        ~Quiet() { form_.suppressEvents = saved_; }
        Quiet(const Quiet&) = delete;
        Quiet& operator=(const Quiet&) = delete;

    private:
        ChildForm& form_;
        bool saved_;
    };

    // The input guard of user commands: True means refuse.
    static bool Blocked();
    static bool English();

    // The German tooltip at load (only with German texts) and the English
    // one in SetEnglishTexts (only with English texts); both only while the
    // option ShowToolTips is on.
    void AddGermanTip(QWidget* control, const std::string& text);
    void AddEnglishTip(QWidget* control, const std::string& text);

    // The help topic named after the window.
    void ShowFormHelp();

    // A text box whose change must not go through while input is blocked:
    // its text is kept when it gets the focus and put back (quietly) when a
    // change is refused; otherwise onAccepted runs. Changes made under
    // suppressEvents pass unnoticed.
    void GuardTextBox(TextBox* box, std::string& savedText, std::function<void()> onAccepted = {});

public:
    // Writes a box's text without raising its handlers' reactions.
    void SetTextQuietly(TextBox* box, const std::string& text);
};

// Whether the window a link to an atom of this kind opens is part of this
// build (a link entry, kind 12, opens through the shell and always is).
bool LinkWindowAvailable(int kind);

// The road from a table line to the name window. A window with a table of
// names or groups keeps one and calls ItemClick from the table's item click
// (the table's control already selected the line). The name window gets a
// copy of the table as its browse list, positioned at the clicked line; the
// copy is made again only when the table's title changed, so that clicks in
// one table do not multiply the name window's browse lists. The name window
// is brought forward when the click's mouse button comes up, unless a
// tutorial runs: then the focus stays where the tutorial keeps it.
class TableItemRoad : public QObject {
    Q_OBJECT
public:
    TableItemRoad() = default;
    // The table and the widget whose mouse-up ends the click (the list
    // view's viewport).
    void Attach(ResultSet* table, QWidget* mouseWidget);
    // The click of a line (the caller has asked the input guard already).
    void ItemClick();
    // The copy handed over last (for tests); null before the first click.
    const std::shared_ptr<ResultSet>& browseCopy() const { return browseCopy_; }
    bool nameWindowPending() const { return nameWindowPending_; }
    // The end of the click (the filter calls it on the mouse-up).
    void MouseUp();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ResultSet* table_ = nullptr;
    QPointer<QWidget> mouseWidget_;
    std::shared_ptr<ResultSet> browseCopy_;
    std::string browseCopyTitle_;
    bool hasCopy_ = false;
    bool nameWindowPending_ = false;
};

// Opens a window by its name for a call on it: while a tutorial runs the
// window is shown without taking the focus from the window that has it.
// Null when the name has no window in this build.
FormBase* OpenFormQuietlyDuringTutorial(const std::string& name);
