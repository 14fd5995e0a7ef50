#include "WinMan.h"

#include "Searches.h"

#include <QGuiApplication>
#include <QMdiArea>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <map>
#include <optional>
#include <utility>

#include "Errors.h"
#include "GenMsg.h"
#include "Options.h"
#include "Services.h"
#include "ToolTip.h"

// --- The name table -----------------------------------------------------------------

namespace Auto {

namespace {

constexpr const char* kKnownNames[] = {
    "Alpha", "SingleName", "OrigLang", "OrigWord", "Realm", "NameDays", "Similar", "Pop",
    "Lexi", "Lang", "FullText", "LetterMix", "PickRandom",
    "NameLists", "ListOp", "StdLists", "Favorites", "Export", "PrintOptions", "UserNames", "Quiz",
    "QuizOptions", "QuizResult",
    "ShortHelp", "OptionEntry", "Feedback", "TutSelect", "DebugGraph",
    "Translate", "NameTables", "DebugMain", "DataEntry", "PersonEntry", "Load", "DebugInfo", "GenPop",
    "Harmony",
};

struct Slot {
    Factory factory;
    std::unique_ptr<FormBase> form;
};

std::map<std::string, Slot>& Table() {
    static std::map<std::string, Slot> table;
    return table;
}

}  // namespace

bool IsKnownName(const std::string& name) {
    return std::any_of(std::begin(kKnownNames), std::end(kKnownNames),
                       [&](const char* n) { return name == n; });
}

std::vector<std::string> KnownNames() { return {std::begin(kKnownNames), std::end(kKnownNames)}; }

void Register(const std::string& name, Factory factory) {
    if (!IsKnownName(name)) {
        Errors::Assert(false, "GetForm " + name);
        return;
    }
    Table()[name].factory = std::move(factory);
}

bool IsAvailable(const std::string& name) {
    auto it = Table().find(name);
    return it != Table().end() && (it->second.form || it->second.factory);
}

std::vector<std::string> AvailableNames() {
    std::vector<std::string> names;
    for (const auto& [name, slot] : Table())
        if (slot.form || slot.factory) names.push_back(name);
    return names;
}

FormBase* GetForm(const std::string& name) {
    if (!IsKnownName(name)) {
        Errors::Assert(false, "GetForm " + name);
        return nullptr;
    }
    auto it = Table().find(name);
    if (it == Table().end()) return nullptr;
    Slot& slot = it->second;
    if (!slot.form && slot.factory) slot.form = slot.factory();
    return slot.form.get();
}

void Reset() {
    // Windows first (their widgets may still be up), then the table.
    for (auto& [name, slot] : Table()) slot.form.reset();
    Table().clear();
}

}  // namespace Auto

// --- The window manager ---------------------------------------------------------------

namespace WinMan {

bool tutorialRunning = false;
bool scriptRunning = false;
bool appClosing = false;
double bandOffset = 0;
std::function<bool()> databaseLoading;
std::function<bool()> finishLoad;
std::function<void()> clearMark;
std::function<void()> windowsChanged;

namespace {

using Key = WinModel::WindowHistory::Key;

WinModel::WindowHistory history;
bool activateGuard = false;
int unloadDepth = 0;  // activations while a window unloads leave the order alone
bool closingAll = false;

bool IsFrame(const FormBase& f) { return f.Name() == "KFrame"; }
bool IsTutor(const FormBase& f) { return f.Name() == "Tutor"; }

// The loaded window behind a history key; null when it is not loaded.
FormBase* FromKey(Key key) {
    for (FormBase* f : FormBase::LoadedForms())
        if (f == key) return f;
    return nullptr;
}

bool IsLoaded(const FormBase* form) {
    const auto& all = FormBase::LoadedForms();
    return std::find(all.begin(), all.end(), form) != all.end();
}

// Brings a window forward without reordering the history (back, forward,
// the window left in front when another goes); the keyboard goes with it.
void BringQuietly(FormBase* form) {
    if (!form) return;
    bool saved = activateGuard;
    activateGuard = true;
    form->ComeForward();
    activateGuard = saved;
}

// A hidden window (the list manager hides itself instead of unloading, the
// tutorial window stays loaded when a tutorial ends) leaves the history, so
// that back, forward and the stored list of open windows pass it by.
void DropHidden() {
    history.DropIf([](Key k) {
        FormBase* f = FromKey(k);
        return !f || !f->Visible();
    });
}

double ScreenWidth() {
    QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry().width() * 15.0 : 0;
}

double ScreenHeight() {
    QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry().height() * 15.0 : 0;
}

// The area a top-level window at q.rect must stay in: the part of the
// screen holding its centre (else the main screen) that windows may take,
// without panels or task bars, in the screen's own units (a screen scale
// makes them larger than its pixels), with the window's border and title bar
// where the window system has told them.
void FitOnScreen(const QWidget* host, WinModel::PlaceRequest& q) {
    const WinModel::WindowRect& r = q.rect;
    const QPoint centre(static_cast<int>((r.left + r.width / 2) / 15), static_cast<int>((r.top + r.height / 2) / 15));
    QScreen* s = QGuiApplication::screenAt(centre);
    if (!s) s = QGuiApplication::primaryScreen();
    if (!s) return;
    const QRect free = s->availableGeometry();
    q.boundsTop = free.top() * 15.0;
    q.boundsLeft = free.left() * 15.0;
    q.boundsHeight = free.height() * 15.0;
    q.boundsWidth = free.width() * 15.0;
    if (host) {
        const QSize border = host->frameGeometry().size() - host->geometry().size();
        q.borderHeight = std::max(0, border.height()) * 15.0;
        q.borderWidth = std::max(0, border.width()) * 15.0;
    }
}

// The frame's rectangle is stored in the screen's own pixels, not in the
// units a screen scale enlarges: the frame is to fit the screen, which has
// the same pixels at any scale. A frame stored as 1000 x 800 at scale 1 opens
// at 500 x 400 units at scale 2, the same part of the screen, and one that
// filled the screen at scale 2 fills it again at scale 1.
double ScreenScale(const FormBase& form) {
    const QScreen* s = form.Host() ? form.Host()->screen() : QGuiApplication::primaryScreen();
    const double ratio = s ? s->devicePixelRatio() : 1.0;
    return ratio > 0 ? ratio : 1.0;
}

WinModel::WindowRect Scaled(const WinModel::WindowRect& r, double factor) {
    return {r.top * factor, r.left * factor, r.height * factor, r.width * factor};
}

void ApplyPlacement(FormBase& form, const WinModel::Placement& p) {
    if (p.applySize) {
        if (form.WindowState() != WinModel::kNormal) form.SetWindowState(WinModel::kNormal);
        form.Resize(p.height, p.width);
        form.Move(p.top, p.left);
        form.SetWindowState(p.state);
    } else if (form.WindowState() == WinModel::kNormal) {
        form.Move(p.top, p.left);
    }
}

class Listener : public FormEvents {
public:
    void FormLoaded(FormBase& f) override {
        if (f.HasRole(FormBase::kPlaced)) PlaceWindow(f);
    }
    void FormActivated(FormBase& f) override {
        if (f.HasRole(FormBase::kInHistory)) Activate(f);
        if (windowsChanged) windowsChanged();
    }
    bool FormCloseBlocked(FormBase&) override { return ActionBlocked(); }
    void FormUnloading(FormBase& f) override {
        if (f.HasRole(FormBase::kInHistory)) CloseWin(f);
        if (f.HasRole(FormBase::kStored)) CloseForm(f);
        ++unloadDepth;
    }
    void FormUnloaded(FormBase& f) override {
        --unloadDepth;
        // The window left in front is the current one: the last entry.
        if (f.HasRole(FormBase::kInHistory) && unloadDepth == 0 && !appClosing)
            BringQuietly(FromKey(history.Current()));
        if (windowsChanged) windowsChanged();
    }
    void FormHidden(FormBase& f) override {
        // A window that hides instead of closing has left the history first
        // (the list manager): the current window comes forward as after a
        // close, and with none left no window stays active with the keyboard
        // in the hidden one. A window that hides on its way to closing, or
        // while it opens another, is still in the history and goes on itself.
        if (!f.HasRole(FormBase::kInHistory) || history.Find(&f) >= 0 || unloadDepth > 0 || appClosing) return;
        DropHidden();
        if (FormBase* current = FromKey(history.Current())) {
            BringQuietly(current);
        } else if (QMdiArea* area = FormBase::MdiArea()) {
            area->setActiveSubWindow(nullptr);
            area->setFocus(Qt::OtherFocusReason);
        }
        if (windowsChanged) windowsChanged();
    }
};

Listener listener;

}  // namespace

void InitWinMan() {
    history.Clear();
    activateGuard = false;
    unloadDepth = 0;
    closingAll = false;
    bandOffset = 0;
    tutorialRunning = false;
    scriptRunning = false;
    FormBase::SetEvents(&listener);
}

const WinModel::WindowHistory& History() { return history; }

bool IsCurrent(const FormBase& form) { return history.IsCurrent(&form); }

// The user's keys and clicks wait while a window comes forward: keys typed
// right after the command belong to the window it opens, and a click that
// activates a window must reach its control whole, its press before its
// release.
FormBase* OpenForm(const std::string& name) {
    Services::HourglassOn();
    Services::Events().DoEventsHoldingInput();
    FormBase* form = Auto::GetForm(name);
    if (form) {
        // The window asked for is to be worked in: one closed or left
        // minimised comes up restored, not as a bar at the area's foot.
        form->Load();
        const bool restored = form->RestoreMinimised();
        form->Show();
        Services::Events().DoEventsHoldingInput();
        if (IsLoaded(form)) {
            form->BringToFront();
            // Minimised, the window itself had the keyboard, and keeps it as
            // it comes back: it goes to the control that had it before.
            if (restored) form->RestoreFocus();
        }
    }
    Services::Events().DoEventsHoldingInput();
    Services::HourglassOff();
    return form && IsLoaded(form) ? form : nullptr;
}

void Activate(FormBase& form) {
    Errors::LogEntry("WinMan", "Activate", form.Name());
    Services::Events().DoEventsHoldingInput();
    if (activateGuard || unloadDepth > 0) return;
    history.Activate(&form, form.Name());
}

void CloseWin(FormBase& form) {
    Errors::LogEntry("WinMan", "CloseWin", form.Name());
    // A hidden window has already left the history (DropHidden); only a
    // visible one missing from it is a fault.
    if (!history.Remove(&form)) Errors::Assert(!form.Visible(), "Unload found");
}

namespace {

// The stored text of a window's place: "top,left,height,width,state" (the
// frame's in the screen's own pixels).
std::string StoredPlace(const FormBase& form) {
    TwipsRect r = form.NormalRect();
    WinModel::WindowRect rect{WinModel::StoredTop(r.top, bandOffset, IsFrame(form)), r.left, r.height, r.width};
    if (IsFrame(form)) rect = Scaled(rect, ScreenScale(form));
    return WinModel::FormatWindowRect(rect, form.WindowState());
}

}  // namespace

void CloseForm(FormBase& form) {
    Errors::LogEntry("WinMan", "CloseForm", form.Name());
    if (IsTutor(form)) return;
    Options::PutVal("Windows", form.Name(), StoredPlace(form));
}

void PlaceWindow(FormBase& form) {
    WinModel::PlaceRequest q;
    std::string text;
    std::optional<WinModel::StoredPosition> stored;
    if (Options::GetVal("Windows", form.Name(), text)) stored = WinModel::ParseWindowRect(text);
    if (stored && IsFrame(form)) stored->rect = Scaled(stored->rect, 1 / ScreenScale(form));
    q.fallback = IsFrame(form) ? WinModel::DefaultFrameRect(ScreenWidth(), ScreenHeight())
                               : WinModel::DefaultRect(form.Name());
    if (stored) {
        q.rect = stored->rect;
        q.state = stored->state;
    } else if (q.fallback) {
        q.rect = *q.fallback;
    } else if (form.kind() == FormBase::Kind::MdiChild) {
        // Nothing stored and no default: it keeps the place the frame's area
        // gave it, but that place was chosen for the empty window before its
        // controls gave it its size, so it is brought inside as every other.
        const TwipsRect at = form.Rect();
        q.rect = {at.top, at.left, WinModel::kKeepSize, WinModel::kKeepSize};
    } else {
        return;  // a dialog keeps its layout position
    }
    const TwipsRect own = form.Rect();
    q.ownHeight = own.height;
    q.ownWidth = own.width;
    q.isFrame = IsFrame(form);
    q.isTutor = IsTutor(form);
    q.sizable = form.Sizable();
    q.bandOffset = bandOffset;
    if (form.kind() == FormBase::Kind::MdiChild) {
        QMdiArea* area = FormBase::MdiArea();
        if (area && area->isVisible()) {
            q.boundsWidth = area->viewport()->width() * 15.0;
            q.boundsHeight = area->viewport()->height() * 15.0;
        }
    } else {
        FitOnScreen(form.Host(), q);
    }
    ApplyPlacement(form, WinModel::Place(q));
}

void KeepOnScreen(FormBase& form) {
    if (!form.Visible() || form.WindowState() != WinModel::kNormal) return;
    const TwipsRect r = form.Rect();
    WinModel::PlaceRequest q;
    q.rect = {r.top, r.left, r.height, r.width};
    q.isFrame = IsFrame(form);
    q.sizable = form.Sizable();
    q.ownHeight = r.height;
    q.ownWidth = r.width;
    FitOnScreen(form.Host(), q);
    ApplyPlacement(form, WinModel::Place(q));
}

bool ActionBlocked() {
    if (scriptRunning) return false;
    if (databaseLoading && databaseLoading()) return true;
    if (finishLoad && !finishLoad()) return true;
    if (tutorialRunning && GenMsg::AskMsg(GenMsg::GMendTutor, "")) {
        for (FormBase* f : std::vector<FormBase*>(FormBase::LoadedForms()))
            if (IsTutor(*f)) f->Hide();
        SetTopOffset(0);
        if (clearMark) clearMark();
        tutorialRunning = false;
    }
    return tutorialRunning;
}

void NotifyAll(int code, const std::string& text) {
    // A notification may load or unload windows: each window of the list as
    // it was is told, while it is still loaded.
    for (FormBase* f : std::vector<FormBase*>(FormBase::LoadedForms()))
        if (IsLoaded(f)) f->Notify(code, text);
}

void AddToolTip(FormBase& form, QWidget* control, const std::string& text) {
    if (!Options::ShowToolTips || !control) return;
    auto tip = std::make_unique<ToolTip>();
    tip->Init(control);
    tip->AddTool(control, text);
    form.toolTips.push_back(std::move(tip));
}

void FocusIfCurrent(FormBase& form, QWidget* control) {
    if (!control || !IsCurrent(form)) return;
    bool saved = activateGuard;
    activateGuard = true;
    control->setFocus();
    activateGuard = saved;
}

namespace {

// Back or forward to a window: the user asked for it, so a minimised one
// comes back to be worked in.
void StepTo(std::optional<Key> key) {
    FormBase* form = key ? FromKey(*key) : nullptr;
    if (!form) return;
    form->RestoreMinimised();
    BringQuietly(form);
}

}  // namespace

void GoBack() {
    DropHidden();
    StepTo(history.Back());
}

void GoForward() {
    DropHidden();
    StepTo(history.Forward());
}

void CloseAllWindows() {
    const bool saved = std::exchange(closingAll, true);
    std::vector<Key> keys;
    for (const auto& e : history.Entries()) keys.push_back(e.key);
    for (Key k : keys) {
        FormBase* f = FromKey(k);
        if (f && !IsTutor(*f) && !IsFrame(*f)) f->Unload(UnloadMode::Code);
    }
    closingAll = saved;
}

bool ClosingAllWindows() { return closingAll; }

void SaveOpenWindows() {
    DropHidden();
    // The places of the windows go with the list in one write: each window
    // stores its place again as it unloads, but finds it stored already and
    // writes nothing, so the close takes the settings file's lock once.
    std::vector<std::pair<std::string, std::string>> values{{"Open", history.OpenListText()}};
    for (const FormBase* f : FormBase::LoadedForms())
        if (f->HasRole(FormBase::kStored) && !IsTutor(*f)) values.emplace_back(f->Name(), StoredPlace(*f));
    Options::PutVals("Windows", values);
}

bool OpenWindowsStored() {
    std::string text;
    return Options::GetVal("Windows", "Open", text) && !WinModel::ReadOpenList(text, Auto::IsKnownName).names.empty();
}

void RestoreOpenWindows() {
    std::string text;
    if (!Options::GetVal("Windows", "Open", text)) return;
    // What the program never writes there is damage: a name no window has,
    // a window never listed, a name listed twice. It is skipped, and said in
    // the log only, as a damaged settings line is.
    const WinModel::OpenList list = WinModel::ReadOpenList(text, Auto::IsKnownName);
    for (const std::string& name : list.names)
        if (FormBase* f = Auto::GetForm(name)) f->Show();
    // The window left in front takes the keyboard, which else stayed in the
    // window shown before it.
    if (FormBase* current = FromKey(history.Current())) current->RestoreFocus();
    if (list.skipped > 0)
        Errors::LogEntry("WinMan", "RestoreOpen",
                         "skipped " + std::to_string(list.skipped) + " of the stored names: " + list.skippedText);
}

void SetTopOffset(double newOffset) {
    double delta = newOffset - bandOffset;
    bandOffset = newOffset;
    for (FormBase* f : FormBase::LoadedForms()) {
        if (IsTutor(*f) || IsFrame(*f) || f->kind() != FormBase::Kind::MdiChild) continue;
        if (f->WindowState() != WinModel::kNormal) continue;  // never move a minimised or maximised window
        f->Move(WinModel::ShiftedTop(f->Top(), delta), f->Left());
    }
}

}  // namespace WinMan
