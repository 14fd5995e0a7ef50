// The hit-parade window on the sample database, offscreen: what a name, a hit
// parade and a series show, the clicks in its tables, the free choice, the
// charts and the commands refused while input is blocked.
#include <algorithm>

#include <QApplication>
#include <QFocusEvent>
#include <QFontInfo>
#include <QGroupBox>
#include <QScrollArea>
#include <QScrollBar>
#include <cmath>

#include "Atom.h"
#include "Canvas.h"
#include "Graph.h"
#include "Fakes.h"
#include "FormControls.h"
#include "GenMsg.h"
#include "QtText.h"
#include "ResultSet.h"
#include "ResultViews.h"
#include "TextConstants.h"
#include "WindowsFixture.h"
#include "windows/info/Pop.h"
#include "windows/info/SingleName.h"

namespace {

class PopTest : public WindowsTest {
protected:
    void SetUp() override {
        WindowsTest::SetUp();
        Auto::Register("SingleName", [] { return std::make_unique<FakeSingleName>(); });
        Auto::Register("NameLists", [] { return std::make_unique<FakeNameLists>(); });
        WinMan::OpenForm(WindowNames::kPop);
        w = dynamic_cast<Pop*>(Auto::GetForm(WindowNames::kPop));
        ASSERT_TRUE(w);
        w->Host()->resize(1000, 700);
        Settle();
    }
    static std::vector<std::string> Column(const ResultSet& rs, int col) {
        std::vector<std::string> out;
        for (int32_t i = 0; i < rs.numLines(); ++i) {
            const std::string line = rs.line(i);
            const size_t tab = line.find('\t');
            out.push_back(col == 0 ? line.substr(0, tab) : (tab == std::string::npos ? "" : line.substr(tab + 1)));
        }
        return out;
    }
    std::string Frame(const char* name) const { return QtText::FromQt(w->ControlAs<QGroupBox>(name)->title()); }
    ComboBox* Box(const char* name) const { return w->ControlAs<ComboBox>(name); }
    OptionButton* Option(const char* name) const { return w->ControlAs<OptionButton>(name); }
    void Type(const std::string& text) {
        w->ControlAs<TextBox>("CurName")->SetText(text);
        w->ShowName_Click();
    }

    Pop* w = nullptr;
};

TEST_F(PopTest, ATypedNameShowsItsLatestUsRankItsHitParadeAndItsSeriesChart) {
    Type("Emma");
    const ResultSet& list = *w->popList();
    EXPECT_EQ(w->featuredRows(), 1);
    EXPECT_EQ(list.line(0), "<b>USA 2024</b>\t2    (of 10)");
    EXPECT_EQ(list.atom(0), A("poUs2024F"));
    EXPECT_EQ(list.line(1 + 18), "USA 2020\t2    (of 100)");  // entry rows follow in text order
    EXPECT_EQ(Frame("PopListFrame"), "All hitparades for Emma");
    // Her hit parade of 2024 with her row marked.
    const ResultSet& names = *w->names();
    EXPECT_EQ(Column(names, 0)[1], "   --> Emma");
    EXPECT_EQ(Column(names, 1)[1], "  2");
    EXPECT_EQ(names.marked(), 1);
    EXPECT_EQ(names.pureTitle(), " from hitparade USA 2024");
    EXPECT_NE(w->PopDescription().find("; Source: U.S. Social Security Administration"), std::string::npos);
    // The series chart of the US: every year from 2002 to 2024, no gap.
    EXPECT_EQ(w->graphMode(), Pop::kSeriesGraph);
    EXPECT_TRUE(Option("ShowSeries")->Value());
    EXPECT_EQ(w->lastChart().rows, 23);
    EXPECT_EQ(w->lastChart().labels.front().text, "2002");
    EXPECT_EQ(w->lastChart().bars.size(), 23u);
    EXPECT_EQ(Frame("PopGraphFrame"), "Graph for series USA/Emma");
    // The years of her yearly hit parades, as text.
    EXPECT_EQ(w->years()->line(0), "2002");
    EXPECT_EQ(w->years()->numLines(), 23);

    // The middle of the first bar is painted in its shade.
    Settle();
    const PopChart::Bar& bar = w->lastChart().bars.front();
    const QImage& picture = w->canvas()->Picture();
    const double ratio = picture.devicePixelRatio();
    const QPoint centre(static_cast<int>((bar.left + bar.width / 2) / 15 * ratio),
                        static_cast<int>((bar.top + bar.height / 2) / 15 * ratio));
    EXPECT_EQ(picture.pixelColor(centre), ColorOfRgb(bar.fill));
}

TEST_F(PopTest, TheYearChartOf2020ListsTheNationalAndTheFourStateRankings) {
    Type("Emma");
    ComboBox* years = Box("GraphYear");
    years->SetListIndex(years->findText("2020"));
    EXPECT_EQ(w->graphMode(), Pop::kYearGraph);
    EXPECT_TRUE(Option("ShowYear")->Value());
    EXPECT_FALSE(Option("ShowSeries")->Value());
    const PopChart::Layout& chart = w->lastChart();
    ASSERT_EQ(chart.rows, 5);
    std::vector<std::string> parades;
    for (int i = 0; i < 5; ++i) parades.push_back(chart.labels[i].text);
    // By series in the order of the name's list, as the database gives it.
    EXPECT_EQ(parades, (std::vector<std::string>{"USA 2020", "California 2020", "Florida 2020", "New York 2020",
                                                 "Texas 2020"}));
    EXPECT_EQ(Frame("PopGraphFrame"), "Graph for the year 2020");

    // Back to the series chart; a resize draws the chart of the mode again.
    Option("ShowSeries")->SetValue(true);
    EXPECT_EQ(w->graphMode(), Pop::kSeriesGraph);
    EXPECT_EQ(w->lastChart().rows, 23);
    Option("ShowYear")->SetValue(true);
    EXPECT_EQ(w->lastChart().rows, 5);
    const double before = w->graph().width();
    w->Host()->resize(800, 600);
    Settle();
    EXPECT_LT(w->graph().width(), before);
    EXPECT_EQ(w->graphMode(), Pop::kYearGraph);
    EXPECT_EQ(w->lastChart().rows, 5);
    // Her rank 1 in Florida reaches the right edge of the narrower canvas.
    const PopChart::Bar& florida = w->lastChart().bars[2];
    EXPECT_DOUBLE_EQ(florida.left + florida.width, w->graph().width());
}

// Anna's series runs from 1900 to 2020: at the window's default size and
// maximised, each row stays as tall as a label of the window's text size,
// and the canvas grows to hold every row and scrolls. The bars keep their
// scale across the canvas's width.
TEST_F(PopTest, ChartRowsStayLegibleAndTheCanvasScrollsToHoldThemAll) {
    const double points = QFontInfo(w->Client()->font()).pointSizeF();
    const double minimum = PopChart::MinRowHeight(points);
    ASSERT_GT(minimum, 0);
    const struct {
        const char* name;
        int width, height;  // of the window; 0: its default size
        bool series;
        int rows;
        bool scrolls;
    } cases[] = {
        {"Anna", 0, 0, true, 121, true},     {"Anna", 1900, 1400, true, 121, true},
        {"Emma", 0, 0, true, 23, true},      {"Emma", 1900, 1400, true, 23, false},
        {"Emma", 0, 0, false, 5, false},     {"Emma", 1900, 1400, false, 5, false},
    };
    // The window at its designed size: an inner area of 700 x 418.
    const QSize defaultSize = QSize(700, 418) + (w->Host()->size() - w->Client()->size());
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name << " " << c.width << " " << c.series);
        w->Host()->resize(c.width > 0 ? QSize(c.width, c.height) : defaultSize);
        Settle();
        Type(c.name);
        if (!c.series) Box("GraphYear")->SetListIndex(Box("GraphYear")->findText("2020"));
        Settle();
        const PopChart::Layout& chart = w->lastChart();
        ASSERT_EQ(chart.rows, c.rows);
        EXPECT_GE(chart.rowHeight, minimum - 1e-9);
        EXPECT_LE(chart.rowHeight, std::max(3.7 * w->U(), minimum) + 1e-9);
        // The labels are drawn in a font at least as large as the window's.
        GraphObj label;
        Graph& graph = const_cast<Graph&>(w->graph());
        label.InitLabel(&graph, "2020", std::make_shared<QFont>(), 0, 0, 0, 600, chart.rowHeight);
        EXPECT_GE(label.FillFontSize(), std::lround(points));
        // Every row lies on the canvas; beyond the visible part it scrolls.
        EXPECT_GE(w->graph().canvasHeight(), chart.height);
        EXPECT_EQ(w->graph().scrolls(), c.scrolls);
        EXPECT_EQ(w->graphView()->verticalScrollBar()->maximum() > 0, c.scrolls);
        EXPECT_EQ(w->canvas()->width(), w->graphView()->viewport()->width());
        double right = 0;
        for (const PopChart::Bar& b : chart.bars) right = std::max(right, b.left + b.width);
        if (!chart.bars.empty()) {
            EXPECT_LE(right, w->graph().width() + 1e-6);
            EXPECT_LT(w->graph().width(), w->canvas()->Width());
        }
    }
    // Clearing the chart fits the canvas to its area again.
    w->ShowAtom(A("poUs2020F"), nullptr);
    EXPECT_FALSE(w->graph().scrolls());
    EXPECT_EQ(w->canvas()->height(), w->graphView()->height());
}

TEST_F(PopTest, LinksToHitParadesAndSeriesWithAndWithoutAName) {
    // A hit parade without a name: the name part and the chart are empty,
    // every ranked name is listed, none marked.
    Type("Emma");
    w->ShowAtom(A("poUs2020F"), nullptr);
    EXPECT_EQ(w->popList()->numLines(), 0);
    EXPECT_TRUE(w->ControlAs<TextBox>("CurName")->Text().empty());
    EXPECT_EQ(w->graphMode(), Pop::kNoGraph);
    EXPECT_EQ(w->names()->numLines(), 100);
    for (const std::string& n : Column(*w->names(), 0)) EXPECT_EQ(n.find("-->"), std::string::npos);
    EXPECT_EQ(Frame("NamesFrame"), "USA 2020");

    // A series without a name changes nothing.
    w->ShowAtom(A("psUsYearly"), nullptr);
    EXPECT_EQ(w->names()->selfAtom(), A("poUs2020F"));
    EXPECT_EQ(w->popList()->numLines(), 0);

    // A series with a name: the row of its best rank is marked (after the
    // featured row), its hit parade and the series chart are shown.
    w->ShowAtom(A("psUsYearly"), A("naEmma"));
    const int marked = w->popList()->marked();
    ASSERT_GE(marked, 1);
    EXPECT_EQ(w->popList()->line(marked).substr(0, 9), "USA 2008\t");  // her first rank 1
    EXPECT_EQ(w->names()->selfAtom(), A("poUs2008F"));
    EXPECT_EQ(w->lastChart().rows, 23);

    // A series in which the name has no entries: her hit parades, nothing
    // marked, no hit parade and no chart.
    w->ShowAtom(A("psUsCaYearly"), A("naTheodore"));
    EXPECT_GT(w->popList()->numLines(), 0);
    EXPECT_EQ(w->popList()->marked(), -1);
    EXPECT_EQ(w->names()->numLines(), 0);
    EXPECT_EQ(w->graphMode(), Pop::kNoGraph);

    // The decade's ranking spans ten years: no chart, the year list cleared.
    w->ShowAtom(A("poUs2010to2019F"), A("naEmma"));
    EXPECT_EQ(Column(*w->names(), 0)[0], "   --> Emma");
    EXPECT_EQ(w->graphMode(), Pop::kNoGraph);
    EXPECT_EQ(w->years()->numLines(), 0);
    EXPECT_NE(w->PopDescription().find("added up"), std::string::npos);

    // A link that carries a name not ranked in that hit parade: reported once,
    // the chart cleared.
    w->ShowAtom(A("poUs2020M"), A("naEmma"));
    EXPECT_EQ(Fakes().TakeAsserts().size(), 1u);
    EXPECT_EQ(w->graphMode(), Pop::kNoGraph);
    EXPECT_EQ(w->names()->selfAtom(), A("poUs2020M"));
}

TEST_F(PopTest, ClicksInTheTablesKeepTheHitParadeAndFollowTheName) {
    Type("Emma");
    // A click on Olivia in the names of USA 2024.
    w->names()->markLine(0);
    w->Names_Click();
    EXPECT_EQ(w->names()->selfAtom(), A("poUs2024F"));
    EXPECT_EQ(Column(*w->names(), 0)[0], "   --> Olivia");
    EXPECT_EQ(w->names()->marked(), 0);
    EXPECT_EQ(w->popList()->selfAtom(), A("naOlivia"));
    EXPECT_EQ(w->graphMode(), Pop::kSeriesGraph);
    EXPECT_EQ(Frame("PopGraphFrame"), "Graph for series USA/Olivia");

    // A click on one of her hit parades shows it and its series.
    const int row = 1 + 0;  // her first entry row
    w->popList()->markLine(row);
    w->PopList_Click();
    EXPECT_EQ(w->names()->selfAtom(), w->popList()->atom(row));

    // The name button: nothing without a chosen row, else the name window.
    auto* names = dynamic_cast<FakeSingleName*>(Auto::GetForm("SingleName"));
    w->names()->markLine(-1);
    w->names()->display()->Select(-1);
    const int before = names ? names->shows : 0;
    w->NameInfo_Click();
    names = dynamic_cast<FakeSingleName*>(Auto::GetForm("SingleName"));
    EXPECT_EQ(names ? names->shows : 0, before);
    w->names()->markLine(2);
    w->NameInfo_Click();
    names = dynamic_cast<FakeSingleName*>(Auto::GetForm("SingleName"));
    ASSERT_TRUE(names);
    EXPECT_EQ(names->shownAtom, w->names()->atom(2));

    // As a list: the names without the rank column, the rank as reason.
    w->AsList_Click();
    auto* lists = dynamic_cast<FakeNameLists*>(Auto::GetForm("NameLists"));
    ASSERT_TRUE(lists && !lists->lists.empty());
    const ResultSet& handed = *lists->lists.back();
    ASSERT_EQ(handed.numLines(), w->names()->numLines());
    EXPECT_EQ(handed.line(0), handed.atom(0)->Text());
    EXPECT_EQ(handed.reason(0), "  1");
}

TEST_F(PopTest, FreeChoiceListsSeriesThenHitParadesWithTheirSex) {
    ComboBox* series = Box("CurPopSeries");
    std::vector<std::string> items;
    for (int i = 0; i < series->ListCount(); ++i) items.push_back(series->List(i));
    // Only series with hit parades: those the database names without any
    // (Germany, Austria, German-speaking Switzerland) would choose nothing.
    EXPECT_EQ(items,
              (std::vector<std::string>{"California", "Florida", "New York", "Texas", "USA", "USA (decades)"}));
    ASSERT_TRUE(A("psDeYearly"));
    EXPECT_EQ(std::count(w->seriesChoice().begin(), w->seriesChoice().end(), A("psDeYearly")), 0);
    series->SetListIndex(series->findText("USA (decades)"));
    ComboBox* pops = Box("CurPop");
    ASSERT_EQ(pops->ListCount(), 2);
    EXPECT_EQ(pops->List(0), "USA 2010-2019 female");
    EXPECT_EQ(pops->List(1), "USA 2010-2019 male");
    pops->SetListIndex(1);
    EXPECT_EQ(w->names()->selfAtom(), A("poUs2010to2019M"));
    EXPECT_EQ(w->names()->numLines(), 10);
    EXPECT_EQ(w->popList()->numLines(), 0);
    EXPECT_EQ(w->graphMode(), Pop::kNoGraph);
    // Showing a name clears the free choice.
    Type("Emma");
    EXPECT_EQ(series->ListIndex(), -1);
    EXPECT_EQ(pops->ListCount(), 0);
}

TEST_F(PopTest, RefusedChoicesPutThePreviousOneBack) {
    Type("Emma");
    ComboBox* series = Box("CurPopSeries");
    series->SetListIndex(series->findText("USA"));
    ComboBox* years = Box("GraphYear");
    years->SetListIndex(years->findText("2010"));
    ASSERT_EQ(w->graphMode(), Pop::kYearGraph);

    BlockLoading();
    // Combos: the text they had when they got the focus comes back.
    QFocusEvent in(QEvent::FocusIn);
    QApplication::sendEvent(years, &in);
    years->SetListIndex(years->findText("2020"));
    EXPECT_EQ(years->Text(), "2010");
    QApplication::sendEvent(series, &in);
    series->SetListIndex(series->findText("Texas"));
    EXPECT_EQ(series->Text(), "USA");
    // The chart type: the button in force comes back.
    Option("ShowSeries")->click();
    EXPECT_TRUE(Option("ShowYear")->Value());
    EXPECT_FALSE(Option("ShowSeries")->Value());
    EXPECT_EQ(w->graphMode(), Pop::kYearGraph);
    EXPECT_EQ(w->lastChart().caption, "Graph for the year 2010");
    // The name lookup does nothing.
    w->ControlAs<TextBox>("CurName")->SetText("Liam");
    w->ShowName_Click();
    EXPECT_EQ(w->popList()->selfAtom(), A("naEmma"));
    UnblockLoading();
    // With nothing in force, a refused click leaves both off.
    w->ShowAtom(A("poUs2020F"), nullptr);
    BlockLoading();
    Option("ShowYear")->click();
    EXPECT_FALSE(Option("ShowYear")->Value() || Option("ShowSeries")->Value());
}

// A click on "Years" without any year to chart hands over to "Series", also
// when no series chart was drawn.
TEST_F(PopTest, TheYearClickWithoutYearsSwitchesSeriesOn) {
    for (bool seriesChart : {false, true}) {
        SCOPED_TRACE(seriesChart);
        w->ShowAtom(A("poUs2020F"), nullptr);  // a hit parade without a name: no years
        ASSERT_EQ(w->years()->numLines(), 0);
        if (seriesChart) {
            w->ShowAtom(A("naEmma"), nullptr);
            w->years()->Reset();  // a name whose hit parades all span several years
            w->years()->Show();
        }
        Option("ShowYear")->click();
        EXPECT_TRUE(Option("ShowSeries")->Value());
        EXPECT_FALSE(Option("ShowYear")->Value());
        EXPECT_EQ(w->graphMode(), seriesChart ? Pop::kSeriesGraph : Pop::kNoGraph);
    }
}

TEST_F(PopTest, TypedTextsThatAreNoNameShowNothing) {
    Type("Emma");
    Type("Qxzqxzqx");
    const auto numbers = Fakes().TakeMessageNumbers();
    ASSERT_FALSE(numbers.empty());
    EXPECT_EQ(numbers.front(), GenMsg::GMnothingFound);
    EXPECT_EQ(w->popList()->selfAtom(), A("naEmma"));
    // A group is no name: the window stays as it was.
    w->ShowAtom(A("gnTheodor"), nullptr);
    EXPECT_EQ(w->popList()->selfAtom(), A("naEmma"));
    // The tutorial's command is the Show button.
    w->ControlAs<TextBox>("CurName")->SetText("Liam");
    w->Notify(3, "");
    EXPECT_EQ(w->popList()->selfAtom(), A("naLiam"));
}

}  // namespace

namespace {

}  // namespace

namespace {

using PopLinkTest = WindowsTest;

TEST_F(PopLinkTest, HitParadeAndSeriesLinksOfANameShowThemWithThatName) {
    SingleName* names = OpenNameWindow();
    Lookup(names, "Emma");
    ASSERT_EQ(names->curAtom(), A("naEmma"));
    names->Notify(0, std::to_string(A("poUs2020F")->id()));
    auto* pop = dynamic_cast<Pop*>(Auto::GetForm(WindowNames::kPop));
    ASSERT_TRUE(pop && pop->IsLoaded());
    EXPECT_EQ(pop->names()->selfAtom(), A("poUs2020F"));
    EXPECT_EQ(pop->popList()->selfAtom(), A("naEmma"));
    EXPECT_EQ(pop->graphMode(), Pop::kSeriesGraph);
    names->Notify(0, std::to_string(A("psUsTxYearly")->id()));
    EXPECT_EQ(pop->names()->selfAtom(), A("poUsTx2020F"));
    // A single hit parade in its series: a series chart of one row.
    EXPECT_EQ(pop->lastChart().rows, 1);
}

}  // namespace

// At the designed size the chart's frame ends where the boxes above it end.
TEST_F(PopTest, TheChartFrameLinesUpWithTheBoxesAboveItAtTheDesignedSize) {
    w->Host()->resize(QSize(740, 418) + (w->Host()->size() - w->Client()->size()));
    Settle();
    ASSERT_EQ(w->Client()->size(), QSize(740, 418));
    const int right = w->ControlAs<QGroupBox>("CurPopDescrFrame")->geometry().right();
    for (const char* name : {"FreeChoiceFrame", "GraphFrame", "PopGraphFrame"})
        EXPECT_EQ(w->ControlAs<QGroupBox>(name)->geometry().right(), right) << name;
}
