// The base of every window of the program. A window object exists by its name
// for the whole run and is light; its widgets are built when it is first used
// (Load) and go again when it unloads (Unload, with deleteLater). A window
// lives in the frame's MDI area as a child, as a dialog, or as a top-level
// window (the frame). It reports its load, activation, close request and
// unload to the window manager (FormEvents) and finds its controls by name
// and index.
//
// Handlers run synchronously. An unload asked for while a handler of the same
// window runs (Run, the control adapters) waits until that handler returns.
#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QWidget>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

class FormBase;
class QKeyEvent;
class QMdiArea;
class QMdiSubWindow;
class QPushButton;
class ToolTip;

// Return or the keypad's Enter, without Shift, Ctrl or Alt.
bool IsEnterKey(const QKeyEvent& key);

// The frame of a window that is answered, not put aside (a dialog, a
// message): its title and close box, and no minimise or maximise button a
// window manager would otherwise add.
inline constexpr Qt::WindowFlags kDialogFrame =
    Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;

// Why a window unloads.
enum class UnloadMode {
    User = 0,        // its close box or system menu
    Code = 1,        // the program unloads it
    AppClosing = 4,  // the frame shuts down
};

// What the window manager hears of every window. The reports come from the
// base; the window manager decides by the window's roles what they mean.
class FormEvents {
public:
    virtual ~FormEvents() = default;
    // The widgets are built; the window's own load step comes next.
    virtual void FormLoaded(FormBase& form) = 0;
    // The window became the active one (by the user or by code).
    virtual void FormActivated(FormBase& form) = 0;
    // The user asked to close the window: True refuses.
    virtual bool FormCloseBlocked(FormBase& form) = 0;
    // The window unloads; its widgets are still there.
    virtual void FormUnloading(FormBase& form) = 0;
    // The window's widgets have left the screen.
    virtual void FormUnloaded(FormBase& form) = 0;
    // A child window was hidden by its own code and stays loaded (a window
    // that hides instead of closing).
    virtual void FormHidden(FormBase& form) {}
};

// Lengths in twips (15 to a pixel).
struct TwipsRect {
    double top = 0, left = 0, height = 0, width = 0;
};

class FormBase : public QObject {
    Q_OBJECT
public:
    enum class Kind { MdiChild, Dialog, TopLevel };

    // What the window takes part in (combine with |).
    enum Role : unsigned {
        kPlaced = 1,      // placed from its stored or default rectangle on load
        kInHistory = 2,   // enters the history of windows on activation
        kStored = 4,      // its rectangle is stored when it unloads
        kCloseGuard = 8,  // a user's close is refused while input is blocked
        kChildRoles = kPlaced | kInHistory | kStored | kCloseGuard,
    };

    explicit FormBase(std::string name, Kind kind = Kind::MdiChild, unsigned roles = kChildRoles);
    ~FormBase() override;
    FormBase(const FormBase&) = delete;
    FormBase& operator=(const FormBase&) = delete;

    // --- Where windows live (set once by the frame; tests set their own) ----
    static void SetMdiArea(QMdiArea* area);
    static QMdiArea* MdiArea();
    static void SetDialogOwner(QWidget* owner);
    static void SetEvents(FormEvents* events);
    static FormEvents* Events();
    // Every loaded window in the order it was loaded.
    static const std::vector<FormBase*>& LoadedForms();

    // --- The keyboard's way through the child windows ---------------------------
    // Closes the active child window as its close box does (a user's close,
    // which may be refused).
    static void CloseActiveChild();
    // Brings the child window just behind the active one forward and sends
    // the active one to the back; backward brings the rearmost one forward.
    // Each forward step is undone by one backward step, and repeated steps
    // visit every child window that is shown. The window brought forward
    // comes back from minimised (RestoreMinimised) and gets the focus back
    // where it had it (RestoreFocus).
    static void SwitchChild(bool backward);
    // Makes a shown child window the active one, as the Windows menu does,
    // back from minimised, and gives it the focus back where it had it.
    static void ActivateChild(QMdiSubWindow* sub);
    // The loaded window whose outer widget that is; null for none.
    static FormBase* FormOfHost(const QWidget* host);

    const std::string& Name() const { return name_; }
    Kind kind() const { return kind_; }
    unsigned Roles() const { return roles_; }
    bool HasRole(Role r) const { return (roles_ & r) != 0; }
    void SetRoles(unsigned roles) { roles_ = roles; }

    // --- Life cycle -----------------------------------------------------------
    bool IsLoaded() const { return host_ != nullptr; }
    // True from the first step of the load to its last.
    bool IsLoading() const { return isLoading_; }
    // Builds the widgets (BuildControls), reports the load (the window manager
    // places it), then runs Form_Load. Nothing when already loaded.
    void Load();
    // Loads when needed, shows the window and makes it the active one.
    void Show();
    // Dialogs: loads when needed and shows modally; True when accepted.
    bool ShowModal();
    // Hides the window; it stays loaded. A child window that had left the
    // history of windows (a window that hides instead of closing) hands the
    // keyboard on as a closing one does (FormEvents::FormHidden).
    void Hide();
    bool Visible() const;
    // Raises the window and makes it the active one (an activation is
    // reported only when it was not active yet).
    void BringToFront();
    // Gives the focus to the window's first input, as the Tab key would (a
    // box's text is selected): the one the window names (SetFirstInput) while
    // it is shown and enabled, else the first control in its tab order that
    // is shown, enabled and takes the focus by Tab, where a window's first
    // opening puts it. Nothing for a minimised window.
    void FocusFirstInput();
    // A window whose first input is not the first control it reads (a name
    // box beside a list) names it here; Tab still goes through the window
    // in reading order.
    void SetFirstInput(QWidget* control) { firstInput_ = control; }
    // Brings the window to the front as the active one, with the focus back
    // where it had it (RestoreFocus): switching back to a window.
    void ComeForward();
    // Gives the focus back to the control of this window that had it last
    // (as on every desktop when the user switches back to a window), or to
    // its first input when that control is gone, hidden or disabled. The
    // area scrolls so that the control is in sight. Nothing for a hidden or
    // minimised window.
    void RestoreFocus();
    // Asks the window to close: a user's close is refused while input is
    // blocked (kCloseGuard); Form_QueryUnload and Form_Unload may cancel.
    // Inside a handler of this window the whole unload waits until the
    // handler returns. Returns False when it was refused or cancelled.
    bool Unload(UnloadMode mode = UnloadMode::Code);

    // --- Position and size, in twips --------------------------------------------
    // For a child: within the MDI area's viewport; otherwise on the screen.
    TwipsRect Rect() const;
    // The rectangle a minimised or maximised window returns to; the current
    // one for a normal window.
    TwipsRect NormalRect() const;
    void Move(double top, double left);
    // A sizable window never goes below its minimum client size; a fixed
    // one takes the size as its new fixed size (the user cannot change it).
    void Resize(double height, double width);
    double Top() const { return Rect().top; }
    double Left() const { return Rect().left; }
    double Height() const { return Rect().height; }
    double Width() const { return Rect().width; }
    // 0 normal, 1 minimised, 2 maximised. A hidden window takes its state
    // when it is shown.
    int WindowState() const;
    void SetWindowState(int state);
    // A minimised window the user asks for comes back to be worked in:
    // maximised when another child window shown beside it is (and it can be
    // sized), else normal; a hidden one takes that state when it is shown.
    // Nothing for a window that is not minimised; True when it was.
    bool RestoreMinimised();
    // Whether the user can size the window (its border); a fixed window keeps
    // its designed size, a sizable one cannot be made smaller inside than its
    // minimum client size (kMinClientWidth x kMinClientHeight pixels unless
    // the window sets a larger one that keeps its controls usable).
    bool Sizable() const { return sizable_; }
    static constexpr int kMinClientWidth = 200, kMinClientHeight = 120;
    void SetSizable(bool sizable);
    QSize MinClientSize() const { return minClient_; }
    void SetMinClientSize(int width, int height);
    void SetCaption(const std::string& cp1252);
    std::string Caption() const;

    // --- Enter and Escape ----------------------------------------------------------
    // What the control with the focus leaves of these keys goes to its window,
    // as on every desktop. Enter presses the window's default button (the one
    // drawn as such) unless the focus is in a list or a text pane, which have
    // Enter of their own. Escape closes a window that closes on Escape just as
    // its close box does: refused while input is blocked where the close box
    // is, and a close that asks first still asks. Dialogs close on Escape;
    // other windows only when they say so.
    void SetClosesOnEscape(bool on) { escapeCloses_ = on; }
    // A window that is answered and put away rather than kept beside the
    // others (a choice to make, settings, a note): it closes on Escape, and
    // its frame offers its close box but no minimise or maximise button, nor
    // their items in its system menu; it is always shown in its normal
    // state. Dialogs are so from the start.
    void SetDialogLike();

    // The window's outer widget (MDI sub-window, dialog or top-level) and the
    // widget that holds its controls; null while not loaded.
    QWidget* Host() const { return host_; }
    QWidget* Client() const { return client_; }
    QMdiSubWindow* SubWindow() const;

    // --- Controls by name and index ------------------------------------------
    struct ControlEntry {
        std::string name;
        int index = -1;  // its place in a control array, -1 for a single control
        QPointer<QWidget> widget;
    };
    // Creates a control of type T (constructed with its parent: parent, or the
    // client) and registers it under name and index.
    template <class T>
    T* Add(const std::string& name, int index = -1, QWidget* parent = nullptr);
    // Registers a control made otherwise.
    void Register(QWidget* control, const std::string& name, int index = -1);
    // The control of that name (and index, -1 for a single control); null
    // when there is none or the window is not loaded.
    QWidget* Control(const std::string& name, int index = -1) const;
    template <class T>
    T* ControlAs(const std::string& name, int index = -1) const {
        return qobject_cast<T*>(Control(name, index));
    }
    // The registered controls in the order they were made.
    const std::vector<ControlEntry>& Controls() const { return controls_; }

    // --- What the window manager uses -------------------------------------------
    // The window manager's notification; every window accepts every code.
    virtual void Notify(int code, const std::string& text) {}
    // The window's tooltips; they live as long as its widgets.
    std::vector<std::unique_ptr<ToolTip>> toolTips;

    // --- Handlers ------------------------------------------------------------------
    // Marks a handler of this window as running; an unload asked for meanwhile
    // happens when the outermost one ends.
    class HandlerScope {
    public:
        explicit HandlerScope(FormBase* form);
        ~HandlerScope();
        HandlerScope(const HandlerScope&) = delete;
        HandlerScope& operator=(const HandlerScope&) = delete;

    private:
        QPointer<FormBase> form_;
    };
    // Runs f as a handler of this window.
    template <class F>
    void Run(F&& f) {
        HandlerScope scope(this);
        f();
    }
    bool InHandler() const { return handlerDepth_ > 0; }

protected:
    // The outer widget; the default makes a sub-window of the MDI area, a
    // dialog or a plain top-level widget. The frame makes its main window.
    virtual QWidget* CreateHost();
    // The design-time layout: the controls with their captions, positions and
    // the window's designed size. Runs before the window is placed.
    virtual void BuildControls() {}
    // The window's own load steps (after it was placed).
    virtual void Form_Load() {}
    virtual void Form_Activate() {}
    virtual void Form_Resize() {}
    virtual void Form_QueryUnload(UnloadMode mode, bool& cancel) {}
    virtual void Form_Unload(bool& cancel) {}
    // For a window that hears of its size from its client's resize: the
    // frame's resize then runs no Form_Resize of its own, which would lay
    // the window out a second time for the same client size.
    void ResizeWithClientOnly() { resizeOnHost_ = false; }

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class HandlerScope;
    friend class FocusWatcher;
    void Activated();
    void RequestClose();
    // Enter or Escape that reached the window; True when it acted on it.
    bool WindowKey(const QKeyEvent& key);
    // The default button that Enter presses: visible and enabled, else null.
    QPushButton* DefaultButton() const;
    void LeaveHandler();
    void DoUnload(UnloadMode mode);
    void ApplyState(int state);
    // The sub-window's minimise and maximise buttons, as the window has them.
    void ApplyFrameButtons();
    void RememberNormal();

    std::string name_;
    Kind kind_;
    unsigned roles_;
    bool sizable_ = true;
    bool isLoading_ = false;
    bool showing_ = false;         // inside Show's showing of the host
    bool activationHeld_ = false;  // activated meanwhile: handled after it
    bool resizeOnHost_ = true;
    bool escapeCloses_ = false;
    bool minMax_ = true;  // minimise and maximise buttons (a sizable window only is maximised)
    bool unloading_ = false;
    int handlerDepth_ = 0;
    bool unloadPending_ = false;
    UnloadMode pendingMode_ = UnloadMode::Code;
    int pendingState_ = -1;
    QPointer<QWidget> host_;
    QPointer<QWidget> client_;
    QPointer<QWidget> lastFocus_;  // the control of this window that had the focus last
    QPointer<QWidget> firstInput_;
    QRect normal_;  // the last normal geometry, in pixels
    QSize minClient_{kMinClientWidth, kMinClientHeight};
    std::vector<ControlEntry> controls_;
};

// A control that runs its handlers as handlers of its window.
class FormControl {
public:
    virtual ~FormControl() = default;
    void SetForm(FormBase* form) { form_ = form; }
    FormBase* Form() const { return form_; }

protected:
    template <class F>
    void Fire(const F& handler) {
        if (!handler) return;
        if (FormBase* f = form_.data()) {
            FormBase::HandlerScope scope(f);
            handler();
        } else {
            handler();
        }
    }

private:
    QPointer<FormBase> form_;
};

template <class T>
T* FormBase::Add(const std::string& name, int index, QWidget* parent) {
    T* control = new T(parent ? parent : client_.data());
    Register(control, name, index);
    if constexpr (std::is_base_of_v<FormControl, T>) control->SetForm(this);
    return control;
}
