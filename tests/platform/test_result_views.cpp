// Result lists in their Qt controls, offscreen: a 20,000-line list of the
// sample database's names in the list view, columns, colours and cell
// mark-up, the list box, combo box and rich-text bindings, labels, tooltips,
// fitting to the window, and a click raising the list's selection.
#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QTextCursor>
#include <QTextDocument>
#include <QWidget>
#include <memory>
#include <string>

#include "BinFile.h"
#include "DataBase.h"
#include "Fakes.h"
#include "HelperTestApp.h"
#include "Options.h"
#include "QtText.h"
#include "ResultSet.h"
#include "ResultViews.h"
#include "RichTextPane.h"
#include "TextDisplay.h"
#include "ToolTip.h"

namespace {

// The sample database, loaded once for the whole binary.
class SampleDb {
public:
    static bool Load() {
        static bool ok = [] {
            DataBase::InitDataBase();
            const DataBase::DbStatus st = DataBase::ReadBinFile(BinaryPath("bin/Talv1Dat.bin"));
            return st.ok;
        }();
        return ok;
    }
    // The names of the database (kinds 0 and 1), in table order.
    static std::vector<atom*> Names() {
        std::vector<atom*> out;
        for (int32_t id = 1; id < DataBase::numAtoms; ++id) {
            atom* a = DataBase::atomTab[static_cast<std::size_t>(id)];
            if (a && (a->kind() == 0 || a->kind() == 1)) out.push_back(a);
        }
        return out;
    }
    static atom* Group() {
        for (int32_t id = 1; id < DataBase::numAtoms; ++id) {
            atom* a = DataBase::atomTab[static_cast<std::size_t>(id)];
            if (a && a->isGenName()) return a;
        }
        return nullptr;
    }
};

class ResultViewsTest : public testing::Test {
protected:
    void SetUp() override {
        EnsureQtApp();
        ASSERT_TRUE(SampleDb::Load());
        Options::InitColors();
        Options::ShowToolTips = true;
        window = std::make_unique<QWidget>();
        window->resize(600, 400);
    }
    void TearDown() override { Options::ShowToolTips = true; }

    QString Cell(ListView* v, int row, int col) const {
        return v->Model()->data(v->Model()->index(row, col), Qt::DisplayRole).toString();
    }
    QColor Colour(ListView* v, int row, int col) const {
        return v->Model()->data(v->Model()->index(row, col), Qt::ForegroundRole).value<QColor>();
    }
    bool Bold(ListView* v, int row, int col) const {
        return v->Model()->data(v->Model()->index(row, col), Qt::FontRole).value<QFont>().bold();
    }
    static QColor Q(uint32_t c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

    std::unique_ptr<QWidget> window;
};

TEST_F(ResultViewsTest, TwentyThousandLinesShowAtOnceSortedAndMarked) {
    const std::vector<atom*> names = SampleDb::Names();
    ASSERT_FALSE(names.empty());
    auto* control = new ListView(window.get());
    control->setGeometry(10, 20, 400, 300);
    ListViewDisplay display(control);
    CountingBusyCursor& busy = Fakes().busy;
    const int busyBefore = busy.ons;

    ResultSet rs;
    rs.Init("Names", nullptr, "", nullptr, &display);
    rs.DefineTwoCol("Name", 0.5, "Number", 0.45);
    rs.ShowColor();
    for (int i = 0; i < 20000; ++i) {
        atom* a = names[static_cast<std::size_t>(i) % names.size()];
        rs.AddResult(a->Text() + "\t" + std::to_string(i), "", a);
    }
    rs.Sort(1);
    rs.Show();
    rs.markLine(12345);
    window->show();

    ASSERT_EQ(control->Model()->rowCount(), 20000);
    EXPECT_EQ(busy.ons, busyBefore + 1);  // a long list fills under the busy cursor
    for (int row : {0, 1, 9999, 19999}) {
        EXPECT_EQ(Cell(control, row, 0), QtText::ToQt(rs.atom(row)->Text()));
        EXPECT_EQ(Cell(control, row, 1), QtText::ToQt(rs.line(row).substr(rs.line(row).find('\t') + 1)));
        EXPECT_EQ(Colour(control, row, 0), Q(rs.atom(row)->Color(Options::OptColor)));
    }
    EXPECT_LE(QString::compare(Cell(control, 0, 0), Cell(control, 19999, 0), Qt::CaseInsensitive), 0);
    EXPECT_EQ(control->SelectedTag(), 12345);
    EXPECT_EQ(control->currentIndex().row(), 12345);
    EXPECT_EQ(rs.SelIndex(), 12345);
    EXPECT_EQ(control->header()->count(), 2);
    EXPECT_EQ(control->Model()->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), "Number");
}

TEST_F(ResultViewsTest, CellsRankReasonVariantsAndCellMarkup) {
    atom* group = SampleDb::Group();
    ASSERT_NE(group, nullptr);
    const std::vector<atom*> names = SampleDb::Names();
    auto* control = new ListView(window.get());
    control->setGeometry(0, 0, 300, 200);
    ListViewDisplay display(control);
    ResultSet rs;
    rs.Init("", nullptr, "", nullptr, &display);
    rs.DefineNCol({"A", "B", "C"}, {0.3, 0.3, 0.3});
    rs.ShowRank();
    rs.ShowReason();
    rs.setCellFormatting(true);
    const int16_t savedVariants = group->numVariants;
    group->numVariants = 3;
    rs.AddResult(group->Text(), "why", group);                                   // one column, reason
    rs.AddResult("<c>255</c>red\t<b>bold</b>\tthird\tfourth", "", nullptr);    // cell tags
    rs.AddResult("<a>" + std::to_string(names[0]->id()) + "</a>x\t\t<a>39999</a>y", "r", nullptr);
    rs.Show();
    group->numVariants = savedVariants;

    EXPECT_EQ(Cell(control, 0, 0), QtText::ToQt("1. " + group->Text() + "  (3)"));
    EXPECT_EQ(Cell(control, 0, 1), "why");
    EXPECT_EQ(Cell(control, 1, 0), "2. red");
    EXPECT_EQ(Colour(control, 1, 0), QColor(255, 0, 0));
    EXPECT_EQ(Cell(control, 1, 1), "bold");
    EXPECT_TRUE(Bold(control, 1, 1));
    EXPECT_EQ(Cell(control, 1, 2), "third");  // column 4 is not shown
    EXPECT_EQ(control->Model()->columnCount(), 3);
    EXPECT_EQ(Cell(control, 2, 0), "3. x");
    EXPECT_EQ(Colour(control, 2, 0), Q(names[0]->Color(Options::OptColor)));
    EXPECT_EQ(Cell(control, 2, 1), "r");
    EXPECT_EQ(Cell(control, 2, 2), "<a>39999</a>y");  // names no atom: as written
}

TEST_F(ResultViewsTest, ColumnsFollowTheWindow) {
    auto* control = new ListView(window.get());
    control->setGeometry(10, 20, 300, 200);  // 150 twips left, 300 top
    ListViewDisplay display(control);
    auto* frame = new QWidget(window.get());
    frame->setGeometry(5, 15, 320, 220);
    ResultSet rs;
    rs.Init("", nullptr, "", nullptr, &display);
    rs.DefineTwoCol("Name", 0.25, "Text", 0.75);
    EXPECT_EQ(control->columnWidth(0), 75);
    EXPECT_NEAR(rs.view.ctlTop, 300, 1e-9);
    display.InitSize(rs, window.get(), true, 600, true, 300, frame);
    // 400 px = 6000 twips: 6000 - 300 - 600 = 5100 twips = 340 px high;
    // 600 px = 9000 twips: 9000 - 150 - 300 = 8550 twips = 570 px wide.
    EXPECT_EQ(control->height(), 340);
    EXPECT_EQ(control->width(), 570);
    EXPECT_EQ(control->columnWidth(0), 143);  // 8550 x 0.25 twips
    EXPECT_EQ(control->columnWidth(1), 428);
    // The frame ends 2 mm (2 x 57 twips) below and right of the list.
    EXPECT_EQ(frame->geometry().bottom() + 1, 20 + 340 + 8);
    EXPECT_EQ(frame->geometry().right() + 1, 10 + 570 + 8);

    window->resize(100, 80);  // never below 15 mm
    display.Resize(rs);
    EXPECT_EQ(control->height(), 57);  // 15 mm
    EXPECT_EQ(control->width(), 70);   // 1500 - 150 - 300 twips
}

TEST_F(ResultViewsTest, AClickOnARowRaisesTheListsSelection) {
    auto* control = new ListView(window.get());
    control->setGeometry(0, 0, 300, 200);
    ListViewDisplay display(control);
    ResultSet rs;
    rs.Init("", nullptr, "", nullptr, &display);
    rs.DefineOneCol("Name");
    for (const char* n : {"Anna", "Berta", "Clara", "Dora"}) rs.AddResult(n, "", nullptr);
    int clicks = 0;
    control->onClick = [&] {
        ++clicks;
        rs.SyncMarked();
    };
    rs.Show();
    rs.markLine(0);  // by code: no click
    EXPECT_EQ(clicks, 0);
    window->show();
    const QRect r = control->visualRect(control->Model()->index(2, 0));
    ASSERT_TRUE(r.isValid());
    QMouseEvent press(QEvent::MouseButtonPress, r.center(), control->viewport()->mapToGlobal(r.center()),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, r.center(), control->viewport()->mapToGlobal(r.center()),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(control->viewport(), &press);
    QApplication::sendEvent(control->viewport(), &release);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(rs.marked(), 2);
    EXPECT_EQ(rs.current(), nullptr);
}

TEST_F(ResultViewsTest, ListBoxLinesAndSelection) {
    auto* box = new ListBox(window.get());
    ListBoxDisplay display(box);
    ResultSet rs;
    rs.Init("", nullptr, "", nullptr, &display);
    rs.ShowRank();
    rs.ShowReason();
    rs.AddResult("Anna", "sound", nullptr);
    rs.AddResult("Berta", "", nullptr);
    int clicks = 0;
    box->onClick = [&] { ++clicks; };
    rs.Show();
    ASSERT_EQ(box->ListCount(), 2);
    EXPECT_EQ(box->List(0), "1. Anna (sound)");
    EXPECT_EQ(box->List(1), "2. Berta");
    EXPECT_EQ(rs.SelIndex(), -1);
    rs.markLine(1);
    EXPECT_EQ(clicks, 1);  // a list box's selection by code is a click
    EXPECT_EQ(rs.SelIndex(), 1);
    box->SetListIndex(0);
    rs.SyncMarked();
    EXPECT_EQ(rs.marked(), 0);
}

TEST_F(ResultViewsTest, ComboBoxKeepsASelectionThatStillMatches) {
    auto* box = new ComboBox(window.get());
    ComboBoxDisplay display(box);
    ResultSet rs;
    rs.Init("", nullptr, "", nullptr, &display);
    EXPECT_EQ(rs.view.ctlWidth, 0);
    for (const char* n : {"a", "b", "c", "d", "e"}) rs.AddResult(n, "", nullptr);
    rs.Show();
    EXPECT_EQ(box->ListIndex(), -1);  // filling chooses nothing
    rs.markLine(3);
    rs.setFullLine(4, "E");
    rs.Show();
    EXPECT_EQ(box->ListIndex(), 3);
    EXPECT_EQ(box->List(4), "E");
    rs.setFullLine(3, "D");
    rs.Show();
    EXPECT_EQ(box->ListIndex(), -1);  // the same place holds another text
    rs.markLine(3);
    rs.Reset();
    rs.AddResult("x", "", nullptr);
    rs.Show();
    EXPECT_EQ(box->ListIndex(), -1);  // shorter than 4 items
}

TEST_F(ResultViewsTest, LabelsAndTooltips) {
    auto* title = new QLabel(window.get());
    auto* count = new QLabel(window.get());
    LabelCaption titleLabel(title), countLabel(count);
    auto* box = new ListBox(window.get());
    ListBoxDisplay display(box);
    ResultSet rs;
    rs.Init("Fixed", &titleLabel, "Tip one", &countLabel, &display);
    rs.AddResult("x", "", nullptr);
    rs.Show();
    EXPECT_EQ(title->text(), "Fixed");
    EXPECT_EQ(count->text(), "1");
    ASSERT_NE(display.toolTip(), nullptr);
    EXPECT_EQ(display.toolTip()->ToolText(box), "Tip one");
    rs.setToolTipText("Tip two");
    EXPECT_EQ(display.toolTip()->ToolText(box), "Tip two");

    Options::ShowToolTips = false;
    auto* other = new ListBox(window.get());
    ListBoxDisplay quiet(other);
    ResultSet rs2;
    rs2.Init("", nullptr, "Tip", nullptr, &quiet);
    Options::ShowToolTips = true;
    rs2.setToolTipText("Later");
    EXPECT_EQ(quiet.toolTip(), nullptr);
    EXPECT_EQ(rs2.view.ToolTipText, "Later");
}

TEST_F(ResultViewsTest, RichTextPaneShowsTheListWithLiveLinks) {
    const std::vector<atom*> names = SampleDb::Names();
    auto* pane = new RichTextPane(window.get());
    pane->setGeometry(0, 0, 400, 300);
    TextDisplay td;
    td.Init("Pane", pane, nullptr);
    TextPaneDisplay display(&td, pane);
    ResultSet rs;
    rs.Init("", nullptr, "", nullptr, &display);
    rs.showLinks();
    rs.AddResult("<em>Names", "", nullptr);
    rs.AddResult("First\t<a>" + std::to_string(names[0]->id()) + "</a>", "", names[0]);
    rs.Show();
    const QString text = pane->toPlainText();
    EXPECT_TRUE(text.contains("Names"));
    EXPECT_TRUE(text.contains("First"));
    EXPECT_TRUE(text.contains(QtText::ToQt(names[0]->Text()).replace(' ', QChar(0xA0))));
    rs.setActive(false);
    EXPECT_FALSE(td.active());
    display.InitSize(rs, window.get(), true, 0, false, 0);
    EXPECT_EQ(pane->height(), 400);
}

}  // namespace

namespace {

TEST_F(ResultViewsTest, BreakWrapsColumnTwoToTheListViewsWidth) {
    auto* control = new ListView(window.get());
    control->setGeometry(0, 0, 300, 200);
    ListViewDisplay display(control);
    ResultSet rs;
    rs.Init("", nullptr, "", nullptr, &display);
    rs.DefineTwoCol("Name", 0.3, "Text", 0.5);  // column 2: 150 px, wraps at 125
    rs.Break();
    EXPECT_EQ(rs.view.breakWidth, 125);
    std::string text;
    for (int i = 0; i < 40; ++i) text += "word" + std::to_string(i) + " ";
    rs.AddResult2("Anna", text, "r", nullptr);
    rs.Show();
    ASSERT_GT(rs.numLines(), 3);
    const CharWidths& w = *display.FontWidths();
    for (int32_t i = 0; i < rs.numLines(); ++i) {
        const std::string piece = rs.line(i).substr(rs.line(i).find('\t') + 1);
        int width = 0;
        for (unsigned char c : piece) width += w[c];
        EXPECT_LE(width, 125 + w[' ']) << piece;
    }
    EXPECT_EQ(control->Model()->rowCount(), rs.numLines());
}

}  // namespace

namespace {

class RecordingLinkOwner : public LinkOwner {
public:
    void Notify(int16_t code, const std::string& text) override { calls.emplace_back(code, text); }
    std::vector<std::pair<int, std::string>> calls;
};

// Links to origin entries and "other" atoms have no kind colour of their
// own; they are drawn in a link colour and followed like any link.
TEST_F(ResultViewsTest, LinksToAtomsWithoutAKindColourAreClickable) {
    atom* plain = nullptr;
    for (int32_t id = 1; id < DataBase::numAtoms && !plain; ++id) {
        atom* a = DataBase::atomTab[static_cast<std::size_t>(id)];
        if (a && (a->kind() == 5 || a->kind() == 99) && a->ColorEntry() < 0 && !a->Text().empty()) plain = a;
    }
    ASSERT_NE(plain, nullptr);
    auto* pane = new RichTextPane(window.get());
    pane->setGeometry(0, 0, 500, 300);
    RecordingLinkOwner owner;
    TextDisplay td;
    td.Init("Pane", pane, &owner);
    TextPaneDisplay display(&td, pane);
    ResultSet rs;
    rs.Init("", nullptr, "", nullptr, &display);
    rs.showLinks();
    rs.AddResult("See\t<a>" + std::to_string(plain->id()) + "</a>", "", nullptr);
    rs.Show();
    window->show();

    const int at = pane->document()->toRawText().indexOf(QtText::ToQt(plain->Text()).replace(' ', QChar(0xA0)));
    ASSERT_GE(at, 0);
    QTextCursor cursor(pane->document());
    cursor.setPosition(at + 1);
    EXPECT_EQ(cursor.charFormat().foreground().color(), Q(Options::OptColor[4]));
    const QPoint p = pane->CharRect(at).center();
    EXPECT_EQ(pane->LinkAt(p), QString::number(plain->id()));
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent e(type, p, pane->viewport()->mapToGlobal(p), Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(pane->viewport(), &e);
    }
    ASSERT_EQ(owner.calls.size(), 1u);
    EXPECT_EQ(owner.calls[0], std::make_pair(0, std::to_string(plain->id())));
}

}  // namespace
