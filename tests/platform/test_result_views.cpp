// Result lists in their Qt controls, offscreen, on the sample database.
#include <gtest/gtest.h>

#include <QStyle>

#include <QApplication>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QMouseEvent>
#include <QTextCursor>
#include <QTextDocument>
#include <QWidget>
#include <memory>
#include <string>

#include "BinFile.h"
#include "DataBase.h"
#include "Fakes.h"
#include "FormControls.h"
#include "Options.h"
#include "QtText.h"
#include "ResultSet.h"
#include "ResultViews.h"
#include "RichTextPane.h"
#include "TextDisplay.h"

namespace {

// The first atom of the sample database that passes `want`.
template <class F>
atom* FirstAtom(F want) {
    for (int32_t id = 1; id < DataBase::numAtoms; ++id)
        if (atom* a = DataBase::atomTab[static_cast<std::size_t>(id)]; a && want(a)) return a;
    return nullptr;
}

void Click(QWidget* viewport, QPoint p) {
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent e(type, p, viewport->mapToGlobal(p), Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &e);
    }
}

class ResultViewsTest : public testing::Test {
protected:
    void SetUp() override {
        static bool loaded = [] {
            DataBase::InitDataBase();
            return DataBase::ReadBinFile(BinaryPath("bin/Talv1Dat.bin")).ok;
        }();
        ASSERT_TRUE(loaded);
        Options::InitColors();
        window.resize(600, 400);
    }
    // A list view of 300 x 200 pixels at (x, y) bound to rs.
    ListView* View(ResultSet& rs, int x = 0, int y = 0) {
        auto* v = new ListView(&window);
        v->setGeometry(x, y, 300, 200);
        display = std::make_unique<ListViewDisplay>(v);
        rs.Init("", nullptr, "", nullptr, display.get());
        return v;
    }
    static QVariant Data(ListView* v, int row, int col, int role = Qt::DisplayRole) {
        return v->Model()->data(v->Model()->index(row, col), role);
    }
    static QString Cell(ListView* v, int row, int col) { return Data(v, row, col).toString(); }
    static QColor Colour(ListView* v, int row, int col) { return Data(v, row, col, Qt::ForegroundRole).value<QColor>(); }
    static QColor Q(uint32_t c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

    QWidget window;
    std::unique_ptr<ListViewDisplay> display;
};

TEST_F(ResultViewsTest, TwentyThousandLinesShowAtOnceSortedAndMarked) {
    std::vector<atom*> names;
    for (int32_t id = 1; id < DataBase::numAtoms; ++id)
        if (atom* a = DataBase::atomTab[static_cast<std::size_t>(id)]; a && (a->kind() == 0 || a->kind() == 1)) names.push_back(a);
    ASSERT_FALSE(names.empty());
    ResultSet rs;
    ListView* control = View(rs);
    const int busyBefore = Fakes().busy.ons;
    rs.DefineTwoCol("Name", 0.5, "Number", 0.45);
    rs.ShowColor();
    for (int i = 0; i < 20000; ++i) {
        atom* a = names[static_cast<std::size_t>(i) % names.size()];
        rs.AddResult(a->Text() + "\t" + std::to_string(i), "", a);
    }
    rs.Sort(1);
    rs.Show();
    rs.markLine(12345);
    window.show();

    ASSERT_EQ(control->Model()->rowCount(), 20000);
    EXPECT_EQ(Fakes().busy.ons, busyBefore + 1);  // a long list fills under the busy cursor
    for (int row : {0, 9999, 19999}) {
        EXPECT_EQ(Cell(control, row, 0), QtText::ToQt(rs.atom(row)->Text()));
        EXPECT_EQ(Cell(control, row, 1), QtText::ToQt(rs.line(row).substr(rs.line(row).find('\t') + 1)));
        EXPECT_EQ(Colour(control, row, 0), Q(rs.atom(row)->Color(Options::OptColor)));
    }
    EXPECT_LE(QString::compare(Cell(control, 0, 0), Cell(control, 19999, 0), Qt::CaseInsensitive), 0);
    EXPECT_EQ(control->currentIndex().row(), 12345);
    EXPECT_EQ(rs.SelIndex(), 12345);
}

// Every row of a list view or list box holds the whole of "ÁÄÖÜ" and of
// the descenders, measured in the row's font at every size a window uses,
// bold too: the text is centred in its row, so the ink above the ascent and
// below the descent must fit into the row's margin.
TEST_F(ResultViewsTest, RowsHoldAccentedCapitalsAndDescendersWhole) {
    const QString accents = QtText::ToQt("\xC1\xC4\xD6\xDC");
    for (int points : {7, 8, 9, 10, 12, 16, 24}) {
        for (bool bold : {false, true}) {
            QFont font = window.font();
            font.setPointSize(points);
            font.setBold(bold);
            auto* view = new ListView(&window);
            auto* box = new ListBox(&window);
            std::vector<ResultListModel::Row> rows(3);
            for (size_t k = 0; k < rows.size(); ++k) rows[k].cells = {{k == 0 ? "\xC1gnes" : "gjpqy"}};
            view->setFont(font);
            view->Model()->SetBoldFont(font);
            view->Model()->SetRows(rows);
            box->setFont(font);
            box->AddItem("\xC1gnes");
            box->AddItem("\xC4nne");
            const int rowHeights[] = {view->visualRect(view->Model()->index(0, 0)).height(),
                                      box->visualItemRect(box->item(0)).height()};
            const QFontMetricsF fm(font);
            const QRectF high = fm.tightBoundingRect(accents);
            const QRectF low = fm.tightBoundingRect(QStringLiteral("gjpqy"));
            for (int h : rowHeights) {
                // Where the centred line puts the ink, from the row's top.
                const double baseline = (h - QFontMetrics(font).height()) / 2.0 + fm.ascent();
                EXPECT_GE(baseline + high.top(), 0.0) << points << " pt, row " << h << " px";
                EXPECT_LE(baseline + low.bottom(), h) << points << " pt, row " << h << " px";
            }
            delete view;
            delete box;
        }
    }
}

// A long list shows its first screen without making the rows below it;
// every row is there to scroll to and select, the same as made at once, and
// shows the list as it was when shown even after the list changes.
TEST_F(ResultViewsTest, RowsAreMadeWhenShownAndAreTheRowsOfTheListWhenShown) {
    std::vector<atom*> atoms;
    for (int32_t id = 1; id < DataBase::numAtoms; ++id)
        if (atom* a = DataBase::atomTab[static_cast<std::size_t>(id)]; a && a->kind() <= 3) atoms.push_back(a);
    ResultSet rs;
    ListView* control = View(rs);
    rs.DefineTwoCol("Name", 0.5, "Reason", 0.45);
    rs.ShowColor();
    rs.ShowRank();
    rs.ShowReason();
    for (int i = 0; i < 20000; ++i)
        rs.AddResult(atoms[static_cast<std::size_t>(i) % atoms.size()]->Text(), i % 3 ? "" : "r" + std::to_string(i),
                     atoms[static_cast<std::size_t>(i) % atoms.size()]);
    window.show();
    rs.Show();
    QApplication::processEvents();
    control->viewport()->repaint();
    EXPECT_GT(control->Model()->RowsMade(), 0);
    EXPECT_LT(control->Model()->RowsMade(), 100);

    const std::vector<ResultListModel::Row> all = ListViewDisplay::BuildRows(rs);
    rs.AddResult("added after", "", nullptr);  // not shown until the list is shown again
    ASSERT_EQ(control->Model()->rowCount(), 20000);
    for (int row : {0, 1, 2, 17, 9999, 19998, 19999}) {
        for (int col : {0, 1}) {
            const auto& cell = all[static_cast<std::size_t>(row)].cells[static_cast<std::size_t>(col)];
            EXPECT_EQ(Cell(control, row, col), QtText::ToQt(cell.text)) << row;
            EXPECT_EQ(Data(control, row, col, Qt::FontRole).isValid(), cell.bold) << row;
        }
        EXPECT_EQ(Colour(control, row, 0), Q(all[static_cast<std::size_t>(row)].cells[0].colour)) << row;
    }
    rs.markLine(19999);
    EXPECT_EQ(control->currentIndex().row(), 19999);
    EXPECT_EQ(display->SelectedLine(), 19999);
}

TEST_F(ResultViewsTest, CellsRankReasonVariantsAndCellMarkup) {
    atom* group = FirstAtom([](atom* a) { return a->isGenName(); });
    atom* name = FirstAtom([](atom* a) { return (a->kind() == 0 || a->kind() == 1); });
    ASSERT_TRUE(group && name);
    ResultSet rs;
    ListView* control = View(rs);
    rs.DefineNCol({"A", "B", "C"}, {0.3, 0.3, 0.3});
    rs.ShowRank();
    rs.ShowReason();
    rs.setCellFormatting(true);
    const int16_t savedVariants = group->numVariants;
    group->numVariants = 3;
    rs.AddResult(group->Text(), "why", group);                                 // one column, reason
    rs.AddResult("<c>255</c>red\t<b>bold</b>\tthird\tfourth", "", nullptr);  // cell tags
    rs.AddResult("<a>" + std::to_string(name->id()) + "</a>x\t\t<a>39999</a>y", "r", nullptr);
    rs.Show();
    group->numVariants = savedVariants;

    EXPECT_EQ(Cell(control, 0, 0), QtText::ToQt("1. " + group->Text() + "  (3)"));
    EXPECT_EQ(Cell(control, 1, 0), "2. red");
    EXPECT_EQ(Colour(control, 1, 0), QColor(255, 0, 0));
    EXPECT_TRUE(Data(control, 1, 1, Qt::FontRole).value<QFont>().bold());
    EXPECT_EQ(Cell(control, 1, 2), "third");  // column 4 is not shown
    EXPECT_EQ(control->Model()->columnCount(), 3);
    EXPECT_EQ(Cell(control, 2, 0), "3. x");
    EXPECT_EQ(Colour(control, 2, 0), Q(name->Color(Options::OptColor)));
    EXPECT_EQ(Cell(control, 2, 2), "<a>39999</a>y");  // names no atom: as written
}

TEST_F(ResultViewsTest, ColumnsFollowTheWindow) {
    ResultSet rs;
    ListView* control = View(rs, 10, 20);  // 150 twips left, 300 top
    auto* frame = new QWidget(&window);
    rs.DefineTwoCol("Name", 0.25, "Text", 0.75);
    display->InitSize(rs, &window, true, 600, true, 300, frame);
    // 400 px = 6000 twips: 6000 - 300 - 600 = 5100 twips = 340 px high;
    // 600 px = 9000 twips: 9000 - 150 - 300 = 8550 twips = 570 px wide.
    EXPECT_EQ(control->height(), 340);
    EXPECT_EQ(control->width(), 570);
    // A quarter of the room inside the frame and the vertical scroll bar.
    const int chrome = 2 * control->frameWidth() + control->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    EXPECT_NEAR(control->columnWidth(0), (570 - chrome) * 0.25, 1.0);
    // The frame ends 2 mm (2 x 57 twips) below and right of the list.
    EXPECT_EQ(frame->geometry().bottom() + 1, 20 + 340 + 8);
    EXPECT_EQ(frame->geometry().right() + 1, 10 + 570 + 8);

    window.resize(100, 80);  // never below 15 mm
    display->Resize(rs);
    EXPECT_EQ(control->height(), 57);
    EXPECT_EQ(control->width(), 70);
}

TEST_F(ResultViewsTest, AComboBoxKeepsASelectionThatStillMatches) {
    // A combo box keeps a selection only while its place holds the same text.
    auto* combo = new ComboBox(&window);
    ComboBoxDisplay comboDisplay(combo);
    ResultSet cs;
    cs.Init("", nullptr, "", nullptr, &comboDisplay);
    for (const char* n : {"a", "b", "c", "d", "e"}) cs.AddResult(n, "", nullptr);
    cs.Show();
    EXPECT_EQ(combo->ListIndex(), -1);  // filling chooses nothing
    cs.markLine(3);
    cs.setFullLine(4, "E");
    cs.Show();
    EXPECT_EQ(combo->ListIndex(), 3);
    cs.setFullLine(3, "D");
    cs.Show();
    EXPECT_EQ(combo->ListIndex(), -1);
}

TEST_F(ResultViewsTest, BreakWrapsColumnTwoToTheListViewsWidth) {
    ResultSet rs;
    ListView* control = View(rs);
    rs.DefineTwoCol("Name", 0.3, "Text", 0.5);  // column 2: half the room inside the frame
    rs.Break();
    EXPECT_EQ(rs.view.breakWidth, control->columnWidth(1) - 25);
    std::string text;
    for (int i = 0; i < 40; ++i) text += "word" + std::to_string(i) + " ";
    rs.AddResult2("Anna", text, "r", nullptr);
    rs.Show();
    ASSERT_GT(rs.numLines(), 3);
    const CharWidths& w = *display->FontWidths();
    for (int32_t i = 0; i < rs.numLines(); ++i) {
        const std::string piece = rs.line(i).substr(rs.line(i).find('\t') + 1);
        int width = 0;
        for (unsigned char c : piece) width += w[c];
        EXPECT_LE(width, rs.view.breakWidth + w[' ']) << piece;
    }
    EXPECT_EQ(control->Model()->rowCount(), rs.numLines());
}

class RecordingLinkOwner : public LinkOwner {
public:
    void Notify(int16_t code, const std::string& text) override { calls.emplace_back(code, text); }
    std::vector<std::pair<int, std::string>> calls;
};

// Links to origin entries and "other" atoms have no kind colour of their
// own; they are drawn in a link colour and followed like any link.
TEST_F(ResultViewsTest, RichTextPaneLinksToAtomsWithoutAKindColourAreClickable) {
    atom* plain = FirstAtom([](atom* a) {
        return (a->kind() == 5 || a->kind() == 99) && a->ColorEntry() < 0 && !a->Text().empty();
    });
    ASSERT_NE(plain, nullptr);
    auto* pane = new RichTextPane(&window);
    pane->setGeometry(0, 0, 500, 300);
    RecordingLinkOwner owner;
    TextDisplay td;
    td.Init("Pane", pane, &owner);
    TextPaneDisplay paneDisplay(&td, pane);
    ResultSet rs;
    rs.Init("", nullptr, "", nullptr, &paneDisplay);
    rs.showLinks();
    rs.AddResult("<em>Names", "", nullptr);
    rs.AddResult("See\t<a>" + std::to_string(plain->id()) + "</a>", "", nullptr);
    rs.Show();
    window.show();

    EXPECT_TRUE(pane->toPlainText().contains("Names"));
    const int at = pane->document()->toRawText().indexOf(QtText::ToQt(plain->Text()).replace(' ', QChar(0xA0)));
    ASSERT_GE(at, 0);
    QTextCursor cursor(pane->document());
    cursor.setPosition(at + 1);
    EXPECT_EQ(cursor.charFormat().foreground().color(), Q(Options::OptColor[4]));
    Click(pane->viewport(), pane->CharRect(at).center());
    ASSERT_EQ(owner.calls.size(), 1u);
    EXPECT_EQ(owner.calls[0], std::make_pair(0, std::to_string(plain->id())));
}

}  // namespace
