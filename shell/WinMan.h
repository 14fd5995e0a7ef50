// The window manager: the one place that knows every window by its name. It
// opens windows by name, keeps the history of activated windows with back and
// forward, places each window from its stored or default rectangle and stores
// it again on unload, remembers which windows were open, sends notifications,
// adds tooltips, decides whether user input is blocked, and moves the windows
// when the tutorial band comes or goes. Positions are stored without the band
// and applied with it.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "FormBase.h"
#include "WinManModel.h"

class QWidget;

// The name table: every window of the program by its fixed name, one object
// each, made on first use (which does not load it yet).
namespace Auto {

using Factory = std::function<std::unique_ptr<FormBase>()>;
// Every name the table knows, built or not.
bool IsKnownName(const std::string& name);
std::vector<std::string> KnownNames();
// Makes a window available under a known name.
void Register(const std::string& name, Factory factory);
// Whether the window of that name exists in this build (the frame disables
// the commands of the others).
bool IsAvailable(const std::string& name);
// The names of every window that exists in this build, in name order.
std::vector<std::string> AvailableNames();
// The one window of that name, made when needed. A name outside the table
// raises the assertion "GetForm " + name; a known window that is not built
// yet gives null without one.
FormBase* GetForm(const std::string& name);
// Forgets every window object and factory (tests).
void Reset();

}  // namespace Auto

namespace WinMan {

// State read by several parts of the program.
extern bool tutorialRunning;
extern bool scriptRunning;
extern bool appClosing;
extern double bandOffset;  // twips
// Whether the database is being loaded (the loader sets it).
extern std::function<bool()> databaseLoading;
// What the load left for later (the loader sets it): runs it, once, before
// the database is first used; false while it runs and when it refused the
// database (the run is ending then).
extern std::function<bool()> finishLoad;
// Removes the tutorial's mark frame (the tutorial engine sets it).
extern std::function<void()> clearMark;
// Told whenever a child window came forward, closed or hid itself (the frame
// sets it: its window commands and list follow).
extern std::function<void()> windowsChanged;

// Resets the state and installs the window manager as the windows' listener.
void InitWinMan();

// Opens or brings forward the window of that name, restored when it was
// minimised (RestoreMinimised); the window, or null when it is not loaded
// after all.
FormBase* OpenForm(const std::string& name);
void Activate(FormBase& form);
void CloseWin(FormBase& form);
void CloseForm(FormBase& form);
void PlaceWindow(FormBase& form);
// Brings a shown top-level window (the frame) whole onto the free part of
// its screen, border and title bar included, which the window system tells
// only once the window is shown. A minimised or maximised one stays.
void KeepOnScreen(FormBase& form);
// True: the command is refused. While a tutorial runs the user is asked
// whether to end it.
bool ActionBlocked();
// Notify on every loaded window in load order, hidden ones included.
void NotifyAll(int code, const std::string& text);
// Only with the option ShowToolTips: a tooltip for the control, kept by the
// window.
void AddToolTip(FormBase& form, QWidget* control, const std::string& text);
// Focuses the control only when its window is the current one.
void FocusIfCurrent(FormBase& form, QWidget* control);
// Back or forward through the history, a minimised window restored.
void GoBack();
void GoForward();
void CloseAllWindows();
// True while CloseAllWindows runs: a window that closes then opens no other
// in its place (the quiz brings back its options only when the user closes it).
bool ClosingAllWindows();
// At the close: the list of open windows and the place of every loaded
// window, in one write.
void SaveOpenWindows();
void RestoreOpenWindows();
// Whether RestoreOpenWindows would open a window.
bool OpenWindowsStored();
void SetTopOffset(double newOffset);

// The history (read by tests and the frame's window menu).
const WinModel::WindowHistory& History();
bool IsCurrent(const FormBase& form);

}  // namespace WinMan
