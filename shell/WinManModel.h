// The window manager's logic that needs no widgets: the history of activated
// windows with back and forward, the text of a stored window position, the
// default rectangles, where a window goes when it is placed, and the stored
// list of open windows.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace WinModel {

// A width (or height) of this value in a rectangle: keep the window's own size.
constexpr double kKeepSize = 31999;

// Lengths in twips.
struct WindowRect {
    double top = 0, left = 0, height = 0, width = 0;
    bool operator==(const WindowRect&) const = default;
};

// Window states as they are stored.
constexpr int kNormal = 0, kMinimized = 1, kMaximized = 2;

struct StoredPosition {
    WindowRect rect;
    int state = kNormal;
    bool operator==(const StoredPosition&) const = default;
};

// "top,left,height,width,state": five numbers read with the leading-number
// rule. Nothing when one is missing, when height or width is 0 or less, or
// when a number is beyond any screen (a damaged value). A state outside 0-2
// reads as normal.
std::optional<StoredPosition> ParseWindowRect(std::string_view text);
// The five numbers as the shortest decimal texts, joined by ",".
std::string FormatWindowRect(const WindowRect& rect, int state);
// The shortest decimal text of a number ("1500", "12.5"; never an exponent).
std::string FormatNumber(double value);

// The default rectangle of a window by its name; nothing for a window that
// keeps its layout position.
std::optional<WindowRect> DefaultRect(std::string_view name);
// The frame's default: a twelfth of the screen around it, at most 1000 x 800
// pixels.
WindowRect DefaultFrameRect(double screenWidth, double screenHeight);

// The smallest rectangle a window is usable in (200 x 120 pixels): a stored
// or computed one below it is replaced by the window's default.
constexpr double kMinUsableWidth = 3000, kMinUsableHeight = 1800;

// What placing a window needs to know.
struct PlaceRequest {
    WindowRect rect;
    int state = kNormal;
    bool isFrame = false;
    bool isTutor = false;
    bool sizable = true;         // the user can size the window
    double bandOffset = 0;       // height of the tutorial band
    // The area the window must stay in: the frame's inner area for a child,
    // the free part of its screen for the frame. 0 when unknown (then only a
    // place before the area's start is mended).
    double boundsWidth = 0, boundsHeight = 0;
    // The window's size as it is now (kept when the rectangle's size does not
    // apply); 0 when unknown.
    double ownHeight = 0, ownWidth = 0;
    // The window's default rectangle, for a rectangle too small to use.
    std::optional<WindowRect> fallback = std::nullopt;
    // Where the area starts: 0 for a child, the corner of the free part of
    // its screen for the frame (a second screen starts beside the first).
    double boundsTop = 0, boundsLeft = 0;
    // The frame's border and title bar together (its outer size less its
    // inner size), which must fit in the area beside its rectangle; 0 while
    // the window system has not told them.
    double borderHeight = 0, borderWidth = 0;
};

struct Placement {
    double top = 0, left = 0;
    bool applySize = false;      // height, width and state apply
    double height = 0, width = 0;
    int state = kNormal;
    bool operator==(const Placement&) const = default;
};

// How much of a window of unknown size must stay inside its area so that its
// title bar can still be reached (20 pixels).
constexpr double kMinVisible = 300;

// Where a window goes: the band below the tutorial is added to the top (not
// for the frame and the tutorial window); the size and state apply only to a
// sizable window or the frame and not for kKeepSize. A rectangle is the
// window's outer corner with its inner size: the border takes room besides. A size below the usable
// minimum gives way to the fallback rectangle (or, without one, to the
// window's own size). Then the whole window is brought inside the area: a
// size larger than the area shrinks to it (never below the usable minimum),
// and a position that would put part of the window outside moves it in (to
// 0 when it cannot fit). A minimised or maximised window is placed by its
// normal rectangle.
//   area 15000 x 9000, rect 0,14000,3000,6000 (top, left, height, width):
//   left becomes 9000, so the window ends at the area's right edge.
Placement Place(const PlaceRequest& request);

// The top that is stored: without the band, never negative (the frame and the
// tutorial window as they are).
double StoredTop(double top, double bandOffset, bool isTutorOrFrame);
// The top after the band grew by delta: never negative.
double ShiftedTop(double top, double delta);

// The names of the stored "Open" value in order; empty pieces dropped.
std::vector<std::string> ParseOpenList(std::string_view text);
// Windows that are never listed in "Open".
bool ExcludedFromOpenList(std::string_view name);

// The stored "Open" value taken apart for reopening: the names to open, in
// order, and what is skipped (a name not known, a window never listed, a
// name again): how many, and the first of them for the log.
//   "Alpha,Bogus,Tutor,Alpha,Lexi" gives Alpha, Lexi; 3 skipped, "Bogus,Tutor,Alpha".
struct OpenList {
    std::vector<std::string> names;
    std::size_t skipped = 0;
    std::string skippedText;
};
OpenList ReadOpenList(std::string_view text, const std::function<bool(const std::string&)>& known);

// The activated windows, oldest first, with the current one. A key is a
// window's identity; the name goes with it.
class WindowHistory {
public:
    using Key = const void*;
    struct Entry {
        Key key = nullptr;
        std::string name;
    };
    static constexpr int kNoCurrent = 31999;

    // A window was activated by the user (not by back or forward): when the
    // user had gone back, the current window moves to the end first; then the
    // window moves (or is added) to the end and becomes current. Activating
    // the current window changes nothing.
    void Activate(Key key, const std::string& name);
    // A window unloads: it leaves the history and the last entry becomes
    // current. False when it was not there (nothing changes then).
    bool Remove(Key key);
    // Drops every entry for which hidden answers True. The current window
    // stays current when it remains; otherwise the last entry becomes current.
    void DropIf(const std::function<bool(Key)>& hidden);
    // Steps back or forward without reordering; the window to bring to the
    // front, or nothing when there is no step to make.
    std::optional<Key> Back();
    std::optional<Key> Forward();

    bool IsCurrent(Key key) const;
    Key Current() const;
    int CurrentIndex() const { return current_; }
    int Find(Key key) const;  // -1 when absent
    const std::vector<Entry>& Entries() const { return entries_; }
    int Count() const { return static_cast<int>(entries_.size()); }
    void Clear();
    // The "Open" value: the names in order without the excluded windows.
    std::string OpenListText() const;

private:
    void MoveToEnd(int index);
    void CurrentIsLast();
    std::vector<Entry> entries_;
    int current_ = kNoCurrent;
};

}  // namespace WinModel
