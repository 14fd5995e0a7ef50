// Small pieces the shell's windows share: a label that reacts to a click
// like a link, the program's pictures, and the link of an atom as the
// rich-text builder writes it.
#pragma once

#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <string>

#include "FormControls.h"
#include "TextDisplay.h"

class atom;

// A label the user clicks like a link (hand pointer, underlined blue text).
// The Tab key reaches it; with the focus its text is shown selected, as a
// focused link of a text pane is, and Enter or Space follows it.
class LinkLabel : public QLabel, public FormControl {
    Q_OBJECT
public:
    explicit LinkLabel(QWidget* parent = nullptr);
    void SetCaption(const std::string& text);
    std::string Caption() const;
    // Clicks the label from code (tests, tutorials).
    void Press();
    Handler onClick;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};

// Gives the window's client area this size in pixels; the window takes the
// size around it (title bar and border) and keeps it.
void FitClient(FormBase& form, int width, int height);

// One of the program's pictures (the toolbar's, by key) at a size in pixels;
// a null pixmap for an unknown key.
QPixmap ProgramPicture(const std::string& key, int size);
// One of the program's pictures as an icon, drawn at a size when something
// first shows it at that size.
QIcon PictureIcon(const std::string& key);
// The program's window icon, from its pictures drawn at build time.
QIcon ProgramIcon();
// Whether the key names one of the pictures (nothing is drawn to tell).
bool HasProgramPicture(const std::string& key);

// The link of an atom: its text, id, the colour of its kind, bold for
// groups, and whether it has a description worth a link.
LinkTarget LinkTargetOf(const atom* a);
