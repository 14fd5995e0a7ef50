// The display control a ResultSet is bound to, seen from the list.
//
// The list model lives in the core and knows no widgets; the Qt layer
// implements these interfaces for its list box, list view, rich-text pane and
// combo box adapters and its labels. The list holds plain, non-owning
// pointers: whoever binds a control keeps it alive while bound, or calls
// ResultSet::Unbind before it goes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "FlexString.h"
#include "Services.h"

class ResultSet;

// Which kind of control a list is bound to; it decides how the selection is
// read back and what Show does.
enum class DisplayKind { ListBox, ListView, TextDisplay, ComboBox };

// Position and size of a control, in twips.
struct ControlRect {
    double height = 0, width = 0, top = 0, left = 0;
};

// A label that shows the title or the line count.
class ResultLabel {
public:
    virtual ~ResultLabel() = default;
    virtual void SetCaption(const std::string& caption) = 0;
};

// One list-view column. Its width is the control's width times
// widthFraction, less lessTwips (a single column fills the control less 1.5 mm).
struct ColumnSpec {
    std::string key;
    std::string caption;
    double widthFraction = 0;
    double lessTwips = 0;
};

class ResultDisplay {
public:
    virtual ~ResultDisplay() = default;
    virtual DisplayKind Kind() const = 0;
    // Read once when the list is bound (a combo box gives zeros).
    virtual ControlRect Geometry() const = 0;
    // The tooltip of the control: created on the first call, its text
    // replaced on later ones.
    virtual void SetToolTip(const std::string& text) = 0;
    // Renders every line of rs into the control; a given progress bar
    // advances once per line (rich-text panes).
    virtual void Render(const ResultSet& rs, Services::Progress* progress) = 0;
    // Selects line i in the control (and scrolls it into view).
    virtual void Select(int32_t line) = 0;
    // The line index of the control's selection (a list box's item data, a
    // list view's tag); -1 when nothing is selected.
    virtual int32_t SelectedLine() const = 0;
    // List views: the width of the second column in twips (0 elsewhere),
    // and the pixel widths of the list font's characters for wrapping
    // column 2 (null: lines are not wrapped).
    virtual double Column2Width() const { return 0; }
    virtual const CharWidths* FontWidths() const { return nullptr; }
    // List views: replaces (clearFirst) or extends the columns.
    virtual void DefineColumns(const std::vector<ColumnSpec>& columns, bool clearFirst) {}
    // Rich-text panes: whether the pane reacts to the mouse.
    virtual void SetActive(bool active) {}
};
