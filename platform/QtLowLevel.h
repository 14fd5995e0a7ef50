// The Qt side of the low-level helpers: character widths, caret line, combo
// drop-down height, icon spacing, the tutorial's mark frame, help by window
// and control, the program folder, and the shell service.
#pragma once

#include <QPointer>
#include <QString>
#include <QUrl>
#include <QWidget>
#include <functional>
#include <string>

#include "LowLevel.h"
#include "Services.h"

class QComboBox;
class QListView;
class QTextEdit;

namespace LowLevel {

// The folder of the program's executable (it holds the database, the
// examples, the tutorials and help/).
QString ProgramFolder();

// Fills the three width tables of the core: each cp1252 character measured
// in the form's font, in Arial 9 and in Arial 9 bold (Liberation Sans, its
// metric twin, where Arial is not installed), in pixels of the form's screen.
void MeasureCharWidths(QWidget* form);
// The same, done when the tables are first read (LowLevel::EnsureCharWidths);
// a form gone by then leaves the application's font and the screen.
void MeasureCharWidthsOnFirstUse(QWidget* form);
// The Arial 9 font the widths and layouts assume.
QFont ArialFont(bool bold);

// Draws the common letters once, out of sight, in the fonts a window's text
// mostly uses (a description's Arial at its sizes, plain and bold, the
// windows' own font): the first window then finds the fonts loaded and
// those glyphs drawn. For the moments while the user looks at the frame.
void PrepareWindowFonts();

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

// The red frame a tutorial puts around the control it talks about: a control
// of its window (named "MarkShape"), an overlay two pixels outside the
// framed control that lets mouse clicks through. Hidden until it is placed.
class MarkShape : public QWidget {
    Q_OBJECT
public:
    explicit MarkShape(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// Frames control with shape (nothing for a null shape or control), then
// lets pending events run. The shape may be any widget a window made for the
// purpose; one that is not a MarkShape is given a red border.
void PlaceMarkShape(QWidget* shape, QWidget* control);
// Parks the frame out of sight, then lets pending events run.
void HideMarkShape(QWidget* shape);

// The shell service: opens web and mail addresses (ClassifyShellTarget)
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
