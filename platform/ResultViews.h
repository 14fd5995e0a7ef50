// The Qt side of result lists: the controls a ResultSet is shown in and the
// bindings (ResultDisplay, ResultLabel) that draw a list into them.
//
//   ListView        a table of any length through a model (never one widget
//                   item per line): ResultListModel holds the rendered cells.
//   LabelCaption    a QLabel as the title or count label of a list.
//   ListBoxDisplay, ListViewDisplay, ComboBoxDisplay, TextPaneDisplay
//                   the bindings of the list box, list view, combo box and
//                   rich-text pane (a TextDisplay); each is a ResultDisplay to
//                   pass to ResultSet::Init, and knows how to fit its control
//                   to the window (InitSize, Resize).
//
// A window owns its bindings (members beside its controls) and binds a list
// once in its load:
//   auto view = std::make_unique<ListViewDisplay>(listViewControl);
//   rs->Init("", &titleLabel, tip, &countLabel, view.get());
//   rs->DefineTwoCol("Name", 0.4, "Reason", 0.55);
//   rs->ShowColor();
//   view->InitSize(*rs, Client(), true, 120, true, 120);
//   ... rs->Show(); rs->markLine(0);
// and calls view->Resize(*rs) from its resize event. A binding holds only
// guarded pointers to its widgets: a control that goes first leaves it inert.
#pragma once

#include <QAbstractTableModel>
#include <QFont>
#include <QLabel>
#include <QPointer>
#include <QTreeView>
#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "FormBase.h"
#include "FormControls.h"
#include "ResultDisplay.h"

class ResultSet;
class RichTextPane;
class TextDisplay;
class ToolTip;
struct ResultSetView;

// --- the list view ------------------------------------------------------------------

// The rendered lines of a list view: per row its tag (the list line it
// shows) and its cells, each with colour and boldness. Texts stay cp1252
// until a cell is painted.
class ResultListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Cell {
        std::string text;
        bool bold = false;
        bool hasColour = false;
        uint32_t colour = 0;  // red in the low byte
    };
    struct Row {
        int32_t tag = 0;
        std::vector<Cell> cells;
    };

    explicit ResultListModel(QObject* parent = nullptr);

    // Replaces every row at once (one model reset).
    void SetRows(std::vector<Row> rows);
    // Replaces the rows by count rows that are made when first asked for:
    // row k is make(k), tagged k. Showing a long list then costs only the
    // rows on screen; every row stays there to scroll to and select.
    void SetRowSource(int count, std::function<Row(int)> make);
    // Row k (0 <= k < rowCount()), made now when it was not yet.
    const Row& RowAt(int k) const;
    // How many rows are made so far.
    int RowsMade() const { return static_cast<int>(std::count(made_.begin(), made_.end(), true)); }
    // The column captions (cp1252); at least one column is always shown.
    void SetColumns(const std::vector<std::string>& captions);
    int ColumnCountDefined() const { return static_cast<int>(captions_.size()); }
    // The tag of a row; -1 outside the rows.
    int32_t TagAt(int row) const;
    // The row showing a tag; -1 when none does.
    int RowOfTag(int32_t tag) const;
    void SetBoldFont(const QFont& font) { boldFont_ = font; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    mutable std::vector<Row> rows_;
    mutable std::vector<bool> made_;       // which rows_ are made (all of them after SetRows)
    std::function<Row(int)> make_;
    std::vector<QString> captions_;
    QFont boldFont_;
    bool tagsAreRows_ = true;  // the usual case: row k shows line k
};

// A list view: full-row single selection, column headers, no tree. onClick
// runs when the user picks a line (mouse or keys), onDblClick on a double
// click, onEnter (where set) on Enter on the current line; a selection made by
// code (Select) raises nothing.
class ListView : public QTreeView, public FormControl {
    Q_OBJECT
public:
    explicit ListView(QWidget* parent = nullptr);
    // True while a list view handles a key that moves through its lines
    // (arrows, Page Up, a typed letter): the handlers of the line picked so
    // know that the user goes on with the keys from there.
    static bool MovingByKeys();
    ResultListModel* Model() const { return model_; }
    // Selects the row showing the tag and scrolls it into view (-1: none).
    void SelectTag(int32_t tag);
    // The tag of the selected row; -1 when nothing is selected.
    int32_t SelectedTag() const;
    // Column widths in twips.
    void SetColumnWidthTwips(int column, double twips);
    double ColumnWidthTwips(int column) const;
    Handler onClick, onDblClick, onEnter;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    ResultListModel* model_;
    bool quiet_ = false;
};

// --- labels ------------------------------------------------------------------------------

class LabelCaption : public ResultLabel {
public:
    explicit LabelCaption(QLabel* label) : label_(label) {}
    void SetCaption(const std::string& caption) override;
    QLabel* label() const { return label_; }

private:
    QPointer<QLabel> label_;
};

// --- the bindings ------------------------------------------------------------------------

// What the four bindings share: geometry in twips, the tooltip (made on the
// first call, only while the option ShowToolTips is on), and fitting the
// control to its container.
class QtResultDisplay : public ResultDisplay {
public:
    ~QtResultDisplay() override;
    // The control; null once it is gone.
    virtual QWidget* Widget() const = 0;
    ControlRect Geometry() const override;
    void SetToolTip(const std::string& text) override;
    // The control's tooltip, null when none was made.
    ToolTip* toolTip() const;

    // Stores the container (whose inner size drives Resize), which
    // dimensions follow it with their margins (twips), and a frame whose
    // lower or right edge follows the list; then Resize.
    void InitSize(ResultSet& rs, QWidget* container, bool doHeight, double bottomMargin, bool doWidth,
                  double rightMargin, QWidget* nextControl = nullptr);
    // Fits the control to the container: its height (width) reaches the
    // container's inner height (width) less the control's top (left) and the
    // margin, at least 15 mm; the next control ends 2 mm below (right of) it.
    // A combo box is never resized.
    void Resize(const ResultSet& rs);

protected:
    // Sets the control's size (twips; 0 keeps that dimension).
    virtual void ApplySize(double heightTwips, double widthTwips, const ResultSetView& view);

private:
    QPointer<QWidget> container_;
    QPointer<QWidget> nextControl_;
    QPointer<ToolTip> toolTip_;
    bool tipDecided_ = false;
};

class ListBoxDisplay : public QtResultDisplay {
public:
    explicit ListBoxDisplay(ListBox* box) : box_(box) {}
    QWidget* Widget() const override { return box_; }
    ListBox* box() const { return box_; }
    DisplayKind Kind() const override { return DisplayKind::ListBox; }
    // Each line as an item (rank before, reason after when switched on);
    // its item data is the line index.
    void Render(const ResultSet& rs, Services::Progress* progress) override;
    // Selects by code, which raises the box's onClick as a click would.
    void Select(int32_t line) override;
    int32_t SelectedLine() const override;

private:
    QPointer<ListBox> box_;
};

class ListViewDisplay : public QtResultDisplay {
public:
    explicit ListViewDisplay(ListView* view) : view_(view) {}
    QWidget* Widget() const override { return view_; }
    ListView* view() const { return view_; }
    DisplayKind Kind() const override { return DisplayKind::ListView; }
    // One row per line: cells from the TAB-separated pieces, rank, variant
    // count, reason in column 2, cell mark-up and kind colours as the
    // list's switches say.
    void Render(const ResultSet& rs, Services::Progress* progress) override;
    void Select(int32_t line) override;
    int32_t SelectedLine() const override;
    double Column2Width() const override;
    // The widths of the view's font, measured on first use (for wrapping
    // column 2).
    const CharWidths* FontWidths() const override;
    void DefineColumns(const std::vector<ColumnSpec>& columns, bool clearFirst) override;

    // The rows one list renders to (Render makes the same rows, each when
    // the view first shows it; tests read them without a widget).
    static std::vector<ResultListModel::Row> BuildRows(const ResultSet& rs);

protected:
    void ApplySize(double heightTwips, double widthTwips, const ResultSetView& view) override;

private:
    QPointer<ListView> view_;
    std::vector<std::string> captions_;
    mutable std::unique_ptr<CharWidths> widths_;
};

class ComboBoxDisplay : public QtResultDisplay {
public:
    explicit ComboBoxDisplay(ComboBox* box) : box_(box) {}
    QWidget* Widget() const override { return box_; }
    ComboBox* box() const { return box_; }
    DisplayKind Kind() const override { return DisplayKind::ComboBox; }
    // A combo box reports no position or size (it is never resized).
    ControlRect Geometry() const override { return {}; }
    // Every line's text as an item; the previous selection is selected again
    // (raising onClick) when that item still has the same text.
    void Render(const ResultSet& rs, Services::Progress* progress) override;
    void Select(int32_t line) override;
    int32_t SelectedLine() const override;

protected:
    void ApplySize(double, double, const ResultSetView&) override {}

private:
    QPointer<ComboBox> box_;
};

// A rich-text pane driven by a TextDisplay (which the window owns and has
// bound to the pane with TextDisplay::Init).
class TextPaneDisplay : public QtResultDisplay {
public:
    TextPaneDisplay(TextDisplay* display, RichTextPane* pane);
    QWidget* Widget() const override;
    TextDisplay* textDisplay() const { return display_; }
    DisplayKind Kind() const override { return DisplayKind::TextDisplay; }
    void SetToolTip(const std::string& text) override;
    // The whole list as one document, handed to the pane once.
    void Render(const ResultSet& rs, Services::Progress* progress) override;
    void Select(int32_t) override {}
    int32_t SelectedLine() const override { return -1; }
    void SetActive(bool active) override;

protected:
    void ApplySize(double heightTwips, double widthTwips, const ResultSetView& view) override;

private:
    TextDisplay* display_;
    QPointer<QWidget> pane_;
    bool tipDecided_ = false, hasTip_ = false;
};
