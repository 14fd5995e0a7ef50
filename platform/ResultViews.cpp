#include "ResultViews.h"

#include <QStyle>

#include <QColor>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QListWidgetItem>
#include <QMouseEvent>
#include <algorithm>
#include <cmath>

#include "Atom.h"
#include "LineMarkup.h"
#include "LowLevel.h"
#include "Options.h"
#include "QtText.h"
#include "ResultRender.h"
#include "ResultSet.h"
#include "RichTextPane.h"
#include "TextDisplay.h"
#include "ToolTip.h"

namespace {

int ToPixels(double twips) { return static_cast<int>(std::lround(LowLevel::TwipsToPixels(twips))); }
double ToTwips(int pixels) { return LowLevel::PixelsToTwips(pixels); }

QColor ToQColor(uint32_t c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

// The text of a line in a list box: rank before, reason after.
std::string ListBoxText(const ResultSet& rs, int32_t i) {
    std::string s = rs.line(i);
    if (rs.view.ShowReason) {
        const std::string r = rs.reason(i);
        if (!r.empty()) s += " (" + r + ")";
    }
    if (rs.view.ShowRank) s = std::to_string(i + 1) + ". " + s;
    return s;
}

}  // namespace

// --- ResultListModel ---------------------------------------------------------------------

ResultListModel::ResultListModel(QObject* parent) : QAbstractTableModel(parent) {}

void ResultListModel::SetRows(std::vector<Row> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    made_.assign(rows_.size(), true);
    make_ = nullptr;
    tagsAreRows_ = true;
    for (std::size_t k = 0; k < rows_.size() && tagsAreRows_; ++k)
        tagsAreRows_ = rows_[k].tag == static_cast<int32_t>(k);
    endResetModel();
}

void ResultListModel::SetRowSource(int count, std::function<Row(int)> make) {
    beginResetModel();
    rows_.clear();
    rows_.resize(static_cast<std::size_t>(std::max(0, count)));
    made_.assign(rows_.size(), false);
    make_ = std::move(make);
    tagsAreRows_ = true;
    endResetModel();
}

const ResultListModel::Row& ResultListModel::RowAt(int k) const {
    const auto i = static_cast<std::size_t>(k);
    if (!made_[i]) {
        rows_[i] = make_(k);
        rows_[i].tag = k;
        made_[i] = true;
    }
    return rows_[i];
}

void ResultListModel::SetColumns(const std::vector<std::string>& captions) {
    beginResetModel();
    captions_.clear();
    for (const std::string& c : captions) captions_.push_back(QtText::ToQt(c));
    endResetModel();
}

int32_t ResultListModel::TagAt(int row) const {
    return row >= 0 && row < static_cast<int>(rows_.size()) ? RowAt(row).tag : -1;
}

int ResultListModel::RowOfTag(int32_t tag) const {
    if (tag < 0) return -1;
    if (tagsAreRows_) return tag < static_cast<int32_t>(rows_.size()) ? tag : -1;
    for (std::size_t k = 0; k < rows_.size(); ++k)
        if (rows_[k].tag == tag) return static_cast<int>(k);
    return -1;
}

int ResultListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ResultListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : std::max(1, static_cast<int>(captions_.size()));
}

QVariant ResultListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= static_cast<int>(rows_.size())) return {};
    const Row& row = RowAt(index.row());
    if (index.column() >= static_cast<int>(row.cells.size())) return {};
    const Cell& cell = row.cells[static_cast<std::size_t>(index.column())];
    switch (role) {
    case Qt::DisplayRole:
        return QtText::ToQt(cell.text);
    case Qt::ForegroundRole:
        if (cell.hasColour) return ToQColor(cell.colour);
        return {};
    case Qt::FontRole:
        if (cell.bold) return boldFont_;
        return {};
    default:
        return {};
    }
}

QVariant ResultListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    if (section >= 0 && section < static_cast<int>(captions_.size()))
        return captions_[static_cast<std::size_t>(section)];
    return QString();
}

// --- ListView ----------------------------------------------------------------------------------

ListView::ListView(QWidget* parent) : QTreeView(parent), model_(new ResultListModel(this)) {
    setModel(model_);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);  // lets the view lay out 20,000 rows without measuring each
    setItemDelegate(new FullHeightDelegate(this, true));
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTextElideMode(Qt::ElideRight);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
    QFont bold = font();
    bold.setBold(true);
    model_->SetBoldFont(bold);
    // After the selection has moved, so that the handler reads the new line.
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!quiet_) Fire(onClick);
    });
    connect(this, &QTreeView::doubleClicked, this, [this] { Fire(onDblClick); });
}

namespace {
int keysMoving = 0;  // list views inside their handling of a key
}

bool ListView::MovingByKeys() { return keysMoving > 0; }

void ListView::keyPressEvent(QKeyEvent* event) {
    if (IsEnterKey(*event)) {
        if (onEnter && currentIndex().isValid()) {
            Fire(onEnter);
            event->accept();
        } else {
            QTreeView::keyPressEvent(event);  // the view's own pick (activated)
        }
        return;
    }
    struct Moving {
        Moving() { ++keysMoving; }
        ~Moving() { --keysMoving; }
    } moving;
    QTreeView::keyPressEvent(event);
}

void ListView::SelectTag(int32_t tag) {
    quiet_ = true;
    const int row = model_->RowOfTag(tag);
    if (row < 0) {
        selectionModel()->clearSelection();
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    } else {
        const QModelIndex idx = model_->index(row, 0);
        selectionModel()->setCurrentIndex(idx, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        scrollTo(idx);
    }
    quiet_ = false;
}

int32_t ListView::SelectedTag() const {
    const QModelIndexList rows = selectionModel()->selectedRows();
    if (rows.isEmpty()) return -1;
    return model_->TagAt(rows.first().row());
}

void ListView::SetColumnWidthTwips(int column, double twips) { setColumnWidth(column, std::max(0, ToPixels(twips))); }

double ListView::ColumnWidthTwips(int column) const { return ToTwips(columnWidth(column)); }

// --- LabelCaption ---------------------------------------------------------------------------

void LabelCaption::SetCaption(const std::string& caption) {
    if (label_) label_->setText(QtText::ToQt(caption));
}

// --- QtResultDisplay ----------------------------------------------------------------------

QtResultDisplay::~QtResultDisplay() = default;  // the tooltip is a child of the control

ToolTip* QtResultDisplay::toolTip() const { return toolTip_; }

ControlRect QtResultDisplay::Geometry() const {
    ControlRect r;
    if (QWidget* w = Widget()) {
        const QRect g = w->geometry();
        r.height = ToTwips(g.height());
        r.width = ToTwips(g.width());
        r.top = ToTwips(g.y());
        r.left = ToTwips(g.x());
    }
    return r;
}

void QtResultDisplay::SetToolTip(const std::string& text) {
    QWidget* w = Widget();
    if (!w) return;
    if (!tipDecided_) {
        // Whether a list has a tooltip is decided once, when it is bound.
        tipDecided_ = true;
        if (!Options::ShowToolTips) return;
        toolTip_ = new ToolTip(w);
        toolTip_->Init(w);
        toolTip_->AddTool(w, text);
        return;
    }
    if (toolTip_) toolTip_->SetToolText(w, text);
}

void QtResultDisplay::InitSize(ResultSet& rs, QWidget* container, bool doHeight, double bottomMargin,
                               bool doWidth, double rightMargin, QWidget* nextControl) {
    container_ = container;
    nextControl_ = nextControl;
    rs.view.resizeHeight = doHeight;
    rs.view.resizeWidth = doWidth;
    if (doHeight) rs.view.bottomMargin = bottomMargin;
    if (doWidth) rs.view.rightMargin = rightMargin;
    Resize(rs);
}

void QtResultDisplay::Resize(const ResultSet& rs) {
    const ResultSetView& v = rs.view;
    if (!container_ || !Widget() || Kind() == DisplayKind::ComboBox) return;
    const double gap = LowLevel::MmToTwips(1);
    const double minimum = LowLevel::MmToTwips(15);
    const QRect inner = container_->contentsRect();
    const double h = std::max(minimum, ToTwips(inner.height()) - v.ctlTop - v.bottomMargin);
    const double w = std::max(minimum, ToTwips(inner.width()) - v.ctlLeft - v.rightMargin);
    ApplySize(v.resizeHeight ? h : 0, v.resizeWidth ? w : 0, v);
    if (QWidget* next = nextControl_.data()) {
        QRect g = next->geometry();
        if (v.resizeHeight) g.setHeight(std::max(0, ToPixels(h + v.ctlTop + 2 * gap - ToTwips(g.y()))));
        if (v.resizeWidth) g.setWidth(std::max(0, ToPixels(w + v.ctlLeft + 2 * gap - ToTwips(g.x()))));
        next->setGeometry(g);
    }
}

void QtResultDisplay::ApplySize(double heightTwips, double widthTwips, const ResultSetView&) {
    QWidget* w = Widget();
    if (!w) return;
    QSize s = w->size();
    if (heightTwips > 0) s.setHeight(ToPixels(heightTwips));
    if (widthTwips > 0) s.setWidth(ToPixels(widthTwips));
    w->resize(s);
}

// --- ListBoxDisplay -----------------------------------------------------------------------

void ListBoxDisplay::Render(const ResultSet& rs, Services::Progress*) {
    ListBox* box = box_;
    if (!box) return;
    box->setUpdatesEnabled(false);
    box->Clear();
    for (int32_t i = 0; i < rs.numLines(); ++i) {
        auto* item = new QListWidgetItem(QtText::ToQt(ListBoxText(rs, i)));
        item->setData(Qt::UserRole, i);
        box->addItem(item);  // adding moves no selection: raises nothing
    }
    box->setUpdatesEnabled(true);
}

void ListBoxDisplay::Select(int32_t line) {
    if (box_) box_->SetListIndex(line);
}

int32_t ListBoxDisplay::SelectedLine() const {
    if (!box_) return -1;
    const QListWidgetItem* item = box_->currentItem();
    if (!item || !item->isSelected()) return -1;
    bool ok = false;
    const int v = item->data(Qt::UserRole).toInt(&ok);
    return ok ? v : box_->currentRow();
}

// --- ListViewDisplay ---------------------------------------------------------------------------

namespace {

// What a line's atom adds to its first cell.
struct AtomLook {
    int16_t variants = Basic::kNone;
    bool coloured = false, bold = false;
    uint32_t colour = 0;
};

// How a list's lines become rows: its columns and switches, and the colours.
struct RowMaker {
    int numCol = 1;
    bool showRank = false, showReason = false, showColor = false, cellFormatting = false;
    std::vector<uint32_t> colours;

    explicit RowMaker(const ResultSet& rs) {
        const ResultSetView& v = rs.view;
        numCol = std::max(1, v.numCol);
        showRank = v.ShowRank;
        showReason = v.ShowReason && numCol >= 2;
        showColor = v.ShowColor;
        cellFormatting = v.cellFormatting;
        colours.assign(std::begin(Options::OptColor), std::end(Options::OptColor));
    }

    AtomLook Look(const atom* a) const {
        AtomLook look;
        if (!a) return look;
        look.variants = a->numVariants;
        if (showColor) {
            look.coloured = true;
            look.colour = a->Color(colours);
            look.bold = a->bold();
        }
        return look;
    }

    // Row i of a line: cells from the TAB-separated pieces, rank, variant
    // count, reason in column 2, cell mark-up and kind colours.
    ResultListModel::Row Make(int i, std::string_view line, std::string_view reason, const AtomLook& look) const {
        using Cell = ResultListModel::Cell;
        const std::span<const uint32_t> palette(colours);
        auto makeCell = [&](std::string_view raw) {
            Cell c;
            if (!cellFormatting) {
                c.text = std::string(raw);
                return c;
            }
            Markup::CellFormat f = Markup::ParseCell(raw, palette);
            c.text = std::move(f.text);
            c.bold = f.bold;
            c.hasColour = f.hasColour;
            c.colour = f.colour;
            return c;
        };
        const std::vector<std::string_view> pieces = Markup::SplitColumns(line);
        ResultListModel::Row row;
        row.tag = i;
        row.cells.reserve(static_cast<std::size_t>(numCol));

        // Cell tags are taken before the rank and the variant count are
        // added, so that both stay visible in a formatted cell.
        Cell first = makeCell(pieces[0]);
        if (showRank) first.text = std::to_string(i + 1) + ". " + first.text;
        if (look.variants != Basic::kNone) first.text += "  (" + std::to_string(look.variants) + ")";
        if (look.coloured) {
            first.hasColour = true;
            first.colour = look.colour;
            if (look.bold) first.bold = true;
        }
        row.cells.push_back(std::move(first));

        for (int c = 2; c <= numCol; ++c) {
            std::string piece = static_cast<std::size_t>(c - 1) < pieces.size()
                                    ? std::string(pieces[static_cast<std::size_t>(c - 1)])
                                    : std::string();
            if (c == 2 && showReason && !reason.empty())
                piece = piece.empty() ? std::string(reason) : piece + " (" + std::string(reason) + ")";
            row.cells.push_back(makeCell(piece));
        }
        return row;
    }
};

// The lines of a list as they were when it was shown, for rows made later:
// however the list changes before it is shown again, its rows do not.
struct ListLines {
    RowMaker maker;
    std::vector<std::string> lines, reasons;
    std::vector<AtomLook> looks;

    explicit ListLines(const ResultSet& rs) : maker(rs) {
        const auto n = static_cast<std::size_t>(rs.numLines());
        lines.reserve(n);
        looks.reserve(n);
        if (maker.showReason) reasons.reserve(n);
        for (int32_t i = 0; i < rs.numLines(); ++i) {
            lines.push_back(rs.line(i));
            looks.push_back(maker.Look(rs.atom(i)));
            if (maker.showReason) reasons.push_back(rs.reason(i));
        }
    }
    int count() const { return static_cast<int>(lines.size()); }
    ResultListModel::Row Row(int i) const {
        const auto k = static_cast<std::size_t>(i);
        return maker.Make(i, lines[k], maker.showReason ? std::string_view(reasons[k]) : std::string_view(), looks[k]);
    }
};

}  // namespace

std::vector<ResultListModel::Row> ListViewDisplay::BuildRows(const ResultSet& rs) {
    const RowMaker maker(rs);
    std::vector<ResultListModel::Row> rows;
    rows.reserve(static_cast<std::size_t>(rs.numLines()));
    for (int32_t i = 0; i < rs.numLines(); ++i)
        rows.push_back(maker.Make(i, rs.line(i), maker.showReason ? rs.reason(i) : std::string(), maker.Look(rs.atom(i))));
    return rows;
}

void ListViewDisplay::Render(const ResultSet& rs, Services::Progress*) {
    ListView* view = view_;
    if (!view) return;
    auto lines = std::make_shared<const ListLines>(rs);
    view->Model()->SetRowSource(lines->count(), [lines](int i) { return lines->Row(i); });
}

void ListViewDisplay::Select(int32_t line) {
    if (view_) view_->SelectTag(line);
}

int32_t ListViewDisplay::SelectedLine() const { return view_ ? view_->SelectedTag() : -1; }

double ListViewDisplay::Column2Width() const {
    if (!view_ || view_->Model()->ColumnCountDefined() < 2) return 0;
    return view_->ColumnWidthTwips(1);
}

const CharWidths* ListViewDisplay::FontWidths() const {
    if (!view_) return nullptr;
    if (!widths_) {
        widths_ = std::make_unique<CharWidths>();
        const QFontMetrics fm(view_->font());
        for (int c = 0; c < 256; ++c)
            (*widths_)[static_cast<std::size_t>(c)] = fm.horizontalAdvance(QtText::ToQt(std::string(1, static_cast<char>(c))));
    }
    return widths_.get();
}

namespace {
// The room the columns share: the width inside the frame and the vertical
// scroll bar, so the columns never need a horizontal scroll bar of their own.
double InnerWidthTwips(const ListView& view, double widthTwips) {
    const int chrome = 2 * view.frameWidth() + view.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &view);
    return std::max(0.0, widthTwips - ToTwips(chrome));
}
}  // namespace

void ListViewDisplay::DefineColumns(const std::vector<ColumnSpec>& columns, bool clearFirst) {
    ListView* view = view_;
    if (!view) return;
    if (clearFirst) captions_.clear();
    const std::size_t first = captions_.size();
    for (const ColumnSpec& c : columns) captions_.push_back(c.caption);
    view->Model()->SetColumns(captions_);
    const double width = InnerWidthTwips(*view, ToTwips(view->width()));
    for (std::size_t k = 0; k < columns.size(); ++k)
        view->SetColumnWidthTwips(static_cast<int>(first + k), width * columns[k].widthFraction - columns[k].lessTwips);
}

void ListViewDisplay::ApplySize(double heightTwips, double widthTwips, const ResultSetView& v) {
    QtResultDisplay::ApplySize(heightTwips, widthTwips, v);
    ListView* view = view_;
    if (!view || widthTwips <= 0) return;
    if (v.colFrac1 == 0 && v.colFrac2 == 0) return;
    const double inner = InnerWidthTwips(*view, widthTwips);
    if (v.colFrac2 == 0) {
        view->SetColumnWidthTwips(0, inner - LowLevel::MmToTwips(1.5));
        return;
    }
    view->SetColumnWidthTwips(0, inner * v.colFrac1);
    view->SetColumnWidthTwips(1, inner * v.colFrac2);
}

// --- ComboBoxDisplay ------------------------------------------------------------------------

void ComboBoxDisplay::Render(const ResultSet& rs, Services::Progress*) {
    ComboBox* box = box_;
    if (!box) return;
    const int oldIndex = box->ListIndex();
    const std::string oldText = box->List(oldIndex);
    box->Clear();
    for (int32_t i = 0; i < rs.numLines(); ++i) box->AddItem(rs.line(i));
    if (oldIndex >= 0 && oldIndex < box->ListCount() && box->List(oldIndex) == oldText) {
        box->SetListIndex(oldIndex);
    } else {
        box->setCurrentIndex(-1);  // Qt chose the first entry by itself: no choice was made
    }
}

void ComboBoxDisplay::Select(int32_t line) {
    if (box_) box_->SetListIndex(line);
}

int32_t ComboBoxDisplay::SelectedLine() const { return box_ ? box_->ListIndex() : -1; }

// --- TextPaneDisplay ------------------------------------------------------------------------

TextPaneDisplay::TextPaneDisplay(TextDisplay* display, RichTextPane* pane) : display_(display), pane_(pane) {}

QWidget* TextPaneDisplay::Widget() const { return pane_; }

void TextPaneDisplay::SetToolTip(const std::string& text) {
    // The pane keeps its own tooltip; whether there is one is decided when
    // the list is bound, by the option.
    if (!pane_ || !display_) return;
    if (!tipDecided_) {
        tipDecided_ = true;
        hasTip_ = Options::ShowToolTips;
    }
    if (hasTip_) display_->ToolTipText(text);
}

void TextPaneDisplay::Render(const ResultSet& rs, Services::Progress* progress) {
    if (display_) ResultRender::Render(rs, *display_, progress);
}

void TextPaneDisplay::SetActive(bool active) {
    if (display_) display_->setActive(active);
}

void TextPaneDisplay::ApplySize(double heightTwips, double widthTwips, const ResultSetView&) {
    if (display_ && pane_) display_->Resize(heightTwips, widthTwips);
}
