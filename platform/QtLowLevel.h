// The Qt side of the low-level helpers: character widths, caret line, combo
// drop-down height, icon spacing, the tutorial's mark frame, help by window
// and control, the program folder, and the shell service.
#pragma once

#include <QPointer>
#include <QString>
#include <QUrl>
#include <functional>
#include <string>

#include "LowLevel.h"
#include "Services.h"

class QComboBox;
class QListView;
class QTextEdit;
class QWidget;

namespace LowLevel {

// The folder of the program's executable (it holds the database, the
// examples, the tutorials and help/).
QString ProgramFolder();

// Fills the three width tables of the core: each cp1252 character measured
// in the form's font, in Arial 9 and in Arial 9 bold (Liberation Sans, its
// metric twin, where Arial is not installed), in pixels of the form's screen.
void MeasureCharWidths(QWidget* form);
// The Arial 9 font the widths and layouts assume.
QFont ArialFont(bool bold);

// The text of the line (as laid out, wrapped lines counted apart) that holds
// the caret, as cp1252, and the caret's 0-based column in it. An empty box
// gives "" and 0.
void GetCaretLine(QTextEdit* box, std::string& line, int& column);

// Sets how many entries a combo box's drop-down shows (see ComboVisibleItems).
void SetComboDropHeight(QComboBox* combo);

// Icon spacing of a list view in icon mode (cx, cy in pixels).
void SetIconSpacing(QListView* view, int cx, int cy);

// Help topic named after a window and, when given, one of its controls:
// window "Alpha" and control "Names" give "AlphaNames".
void ShowFormHelp(QWidget* form, QWidget* control);

// The red frame a tutorial puts around the control it talks about. It is an
// overlay on the control's window, two pixels outside the control, and lets
// mouse clicks through.
class MarkShape {
public:
    MarkShape() = default;
    ~MarkShape();
    MarkShape(const MarkShape&) = delete;
    MarkShape& operator=(const MarkShape&) = delete;

    // The overlay, or null while it was never placed (or its window is gone).
    QWidget* Overlay() const { return overlay_; }
    bool IsShown() const;

private:
    friend void PlaceMarkShape(MarkShape& shape, QWidget* control);
    friend void HideMarkShape(MarkShape& shape);
    QPointer<QWidget> overlay_;
};

// Frames control (nothing for a null control), then lets pending events run.
void PlaceMarkShape(MarkShape& shape, QWidget* control);
// Parks the frame out of sight, then lets pending events run.
void HideMarkShape(MarkShape& shape);

// The shell service: opens web and mail addresses and existing documents
// with the desktop's program for them; refuses everything else.
class QtShell : public Services::Shell {
public:
    using Opener = std::function<bool(const QUrl&)>;
    // opener: the desktop's open call (QDesktopServices::openUrl); tests
    // pass their own.
    explicit QtShell(Opener opener = {});
    bool Open(const std::string& target) override;

private:
    Opener opener_;
};

}  // namespace LowLevel
