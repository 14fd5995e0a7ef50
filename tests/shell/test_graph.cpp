// The drawing kit: its arithmetic, its canvas and the window that shows it
// off, offscreen.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFont>
#include <QImage>
#include <QWidget>
#include <memory>

#include "Canvas.h"
#include "DebugGraph.h"
#include "Fakes.h"
#include "Graph.h"
#include "QtLowLevel.h"
#include "WinMan.h"

namespace {

// A canvas on a plain container, as a window holds one.
struct Bench {
    Bench(int w = 400, int h = 300) {
        container.resize(w, h);
        canvas = new Canvas(&container);
        canvas->setGeometry(10, 20, w - 20, h - 40);
        graph.Init(canvas);
    }
    QWidget container;
    Canvas* canvas;
    Graph graph;
};

GraphObj Square(Graph* g, double left, double top, double size) {
    GraphObj o;
    o.InitSquare(g, left, top, size);
    return o;
}

TEST(GraphKit, ObjectArithmetic) {
    GraphObj line;
    line.InitLine(nullptr, 900, 600, 300, 150);  // both ends reversed
    EXPECT_EQ((std::array{line.left(), line.top(), line.width(), line.height()}),
              (std::array{300.0, 150.0, 600.0, 450.0}));
    EXPECT_EQ((std::array{line.x1(), line.y1(), line.x2(), line.y2()}), (std::array{900.0, 600.0, 300.0, 150.0}));

    struct FontCase {
        double height;
        int points;
    };
    for (FontCase c : {FontCase{300, 12}, {330, 13}, {350, 14}, {337.5, 14}, {0, 0}}) {
        GraphObj box;
        box.InitRectangle(nullptr, 0, 0, 100, c.height);
        EXPECT_EQ(box.FillFontSize(), c.points) << c.height;
    }

    // The connection points of a 200 x 100 box at (100, 100), centre (200, 150).
    GraphObj box;
    box.InitRectangle(nullptr, 100, 100, 200, 100);
    struct Point {
        int dir;
        double x, y;
    };
    for (Point p : {Point{0, 200, 100}, {1, 200, 200}, {2, 100, 150}, {3, 300, 150}, {7, 200, 150}}) {
        double x, y;
        box.GetConnectPoint(p.dir, x, y);
        EXPECT_EQ(x, p.x) << p.dir;
        EXPECT_EQ(y, p.y) << p.dir;
    }

    GraphObj a = Square(nullptr, 0, 0, 100);           // centre 50, 50
    GraphObj diagonal = Square(nullptr, 100, 100, 100);  // dx = dy: vertical
    GraphObj left = Square(nullptr, -300, 40, 100);
    GraphObj above = Square(nullptr, 20, -300, 100);
    EXPECT_EQ(a.DirOf(diagonal), GraphObj::kBottom);
    EXPECT_EQ(a.DirOf(left), GraphObj::kLeft);
    EXPECT_EQ(a.DirOf(above), GraphObj::kTop);
    EXPECT_EQ(a.DirOf(a), GraphObj::kBottom);  // same centre
    EXPECT_EQ(a.UpOrDown(a), 1);
    EXPECT_EQ(a.UpOrDown(diagonal), 1);
    EXPECT_EQ(a.UpOrDown(above), 0);
    for (auto [d, o] : {std::pair{0, 1}, {1, 0}, {2, 3}, {3, 2}, {4, 0}, {-1, 0}})
        EXPECT_EQ(GraphBase::OppositeDir(d), o) << d;
}

TEST(GraphKit, ConnectorsRunBetweenTheFacingEdges) {
    GraphObj a = Square(nullptr, 1000, 1000, 200);
    a.setDrawWidth(45);
    Graph g;
    // B below A: from B's top edge to A's bottom edge.
    GraphObj below = GraphBase::ConnectBoxes(g, a, Square(nullptr, 1400, 2000, 200));
    EXPECT_EQ((std::array{below.x1(), below.y1(), below.x2(), below.y2()}), (std::array{1500.0, 2000.0, 1100.0, 1200.0}));
    EXPECT_EQ(below.kind(), GraphObj::kLine);
    EXPECT_EQ(below.drawWidth(), 45);
    // B above A: from B's bottom edge to A's top edge.
    GraphObj above = GraphBase::ConnectBoxes(g, a, Square(nullptr, 600, 200, 200));
    EXPECT_EQ((std::array{above.x1(), above.y1(), above.x2(), above.y2()}), (std::array{700.0, 400.0, 1100.0, 1000.0}));
}

TEST(GraphKit, SizesAndScalesOfTheCanvas) {
    Bench b(400, 300);  // canvas 380 x 260 px = 5700 x 3900 twips
    EXPECT_EQ(b.graph.width(), 5700 - 28.5);
    EXPECT_EQ(b.graph.height(), 3900 - 28.5);
    const double h = b.graph.height();
    EXPECT_EQ(GraphBase::CalcBoxSize(b.graph, 1, 0.2, 1e9), h);
    EXPECT_EQ(GraphBase::CalcBoxSize(b.graph, 1, 0.2, 210), 210);
    EXPECT_DOUBLE_EQ(GraphBase::CalcBoxSize(b.graph, 3, 0.5, 1e9), h / 4);
    EXPECT_EQ(GraphBase::CalcBoxSize(b.graph, 0, 0.2, 210), 0);
    EXPECT_EQ(GraphBase::CalcBoxSize(b.graph, -4, 0.2, 210), 0);

    // The smaller factor wins; on a tie either is the same value.
    EXPECT_DOUBLE_EQ(b.graph.CalcScaleFact(b.graph.width(), 1, b.graph.height() / 2, 1), 1.0);
    EXPECT_DOUBLE_EQ(b.graph.CalcScaleFact(b.graph.width(), 1, b.graph.height(), 1), 1.0);
    EXPECT_EQ(b.graph.CalcScaleFact(0, 1, 100, 1), 0);
    EXPECT_EQ(b.graph.CalcScaleFact(100, 1, -5, 1), 0);
}

TEST(GraphKit, ResizeFollowsTheContainerButNeverBelowFifteenMillimetres) {
    Bench b(400, 300);
    b.graph.Resize();  // before InitSize: reported, nothing changes
    EXPECT_EQ(Fakes().TakeAsserts(), std::vector<std::string>{"*** Assert: *** Graph Resize"});
    EXPECT_EQ(b.canvas->Height(), 3900);
    QWidget frame(&b.container);
    frame.setGeometry(5, 10, 100, 100);
    b.graph.InitSize(&b.container, true, 150, true, 150, &frame);
    // 300 px high = 4500 twips, less top 300 and margin 150.
    EXPECT_EQ(b.canvas->Height(), 4050);
    EXPECT_EQ(b.graph.height(), 4050 - 28.5);
    EXPECT_EQ(b.canvas->Width(), 6000 - 150 - 150);

    b.container.resize(20, 20);
    b.graph.Resize();
    EXPECT_EQ(b.canvas->Height(), 855);  // 850 twips, to whole pixels
    EXPECT_EQ(b.graph.height(), 821.5);
    EXPECT_EQ(b.graph.width(), 821.5);
    // The frame reaches 2 mm (114 twips) beyond the canvas.
    EXPECT_NEAR(frame.height() * 15.0, 850 + 300 + 114 - 150, 15);
    EXPECT_NEAR(frame.width() * 15.0, 850 + 150 + 114 - 75, 15);
}

TEST(GraphKit, WordBoxesShareOneFontAndStepByOnePointTwoSizes) {
    Bench b;
    std::vector<GraphObj> boxes;
    EXPECT_EQ(GraphBase::DrawWordBoxes(b.graph, "", 0, 0, 300, 0, 0xFFFFFF, boxes, true), 0);
    ASSERT_EQ(GraphBase::DrawWordBoxes(b.graph, "Eva", 100, 200, 300, 0xFF, 0xFFFFFF, boxes, false), 3);
    EXPECT_EQ(boxes[2].left(), 100 + 2 * 360);
    EXPECT_EQ(boxes[1].str(), "v");
    EXPECT_EQ(boxes[1].alignment(), 2);
    EXPECT_EQ(boxes[0].font(), boxes[2].font());
    EXPECT_EQ(boxes[0].font()->pointSize(), 12);
    EXPECT_EQ(boxes[0].foreColor(), 0xFF);
}

TEST(GraphKit, LabelsChangeTheCallersFont) {
    auto font = std::make_shared<QFont>(LowLevel::ArialFont(false));
    GraphObj label;
    label.InitLabel(nullptr, "Anna", font, 0, 0, 0, 1000, 350);
    EXPECT_EQ(font->pointSize(), 14);
    GraphObj tiny;
    tiny.InitLabel(nullptr, "Anna", font, 0, 0, 0, 1000, -50);  // no crash, a usable font
    EXPECT_GE(font->pointSize(), 1);
}

// Pixels of the canvas in device-independent pixels.
QRgb At(const Canvas& c, int x, int y) {
    const QImage& img = c.Picture();
    const qreal dpr = img.devicePixelRatio();
    return img.pixel(static_cast<int>(x * dpr), static_cast<int>(y * dpr)) & 0xFFFFFF;
}

TEST(GraphCanvas, LineWidthsInWholePixels) {
    Bench b;
    struct Case {
        double twips;
        int pixels;
    };
    for (Case c : {Case{22.5, 2}, {22, 1}, {7.5, 1}, {0, 1}, {45, 3}, {-30, 1}}) {
        GraphObj line;
        line.InitLine(&b.graph, 0, 0, 300, 300);
        line.setDrawWidth(c.twips);
        line.draw();
        EXPECT_EQ(b.canvas->DrawWidth(), c.pixels) << c.twips;
    }
}

TEST(GraphCanvas, ASquareIsFilledAndOutlined) {
    Bench b;
    GraphObj sq = Square(&b.graph, 150, 150, 600);  // pixels 10..50
    sq.setBackColor(0x00FFFF);                       // yellow
    sq.setForeColor(0xFF0000);                       // blue
    sq.draw();
    EXPECT_EQ(At(*b.canvas, 30, 30), 0xFFFF00u);      // inside: yellow as Qt sees it
    EXPECT_EQ(At(*b.canvas, 10, 30), 0x0000FFu);      // left edge: blue
    EXPECT_EQ(At(*b.canvas, 50, 30), 0x0000FFu);      // right edge
    EXPECT_EQ(At(*b.canvas, 5, 30), 0xFFFFFFu);       // outside
    b.graph.Clear();
    EXPECT_EQ(At(*b.canvas, 30, 30), 0xFFFFFFu);
}

// Leftmost column (device-independent) holding a dark pixel, -1 for none.
int FirstInk(const Canvas& c, int y0, int y1) {
    for (int x = 0; x < c.width(); ++x)
        for (int y = y0; y < y1; ++y)
            if (qGray(At(c, x, y)) < 128) return x;
    return -1;
}

TEST(GraphCanvas, ARightAlignedLabelWiderThanItsBoxStartsLeftOfIt) {
    Bench b;
    auto font = std::make_shared<QFont>(LowLevel::ArialFont(false));
    GraphObj label;
    label.InitLabel(&b.graph, "Maximiliane Alexandra", font, 1, 3000, 600, 600, 300);
    ASSERT_GT(label.StrSize(), 600);
    label.draw();
    int ink = FirstInk(*b.canvas, 40, 60);
    ASSERT_GE(ink, 0);
    EXPECT_LT(ink, 200);  // the box starts at 200 px
    EXPECT_GT(ink, 200 - label.StrSize() / 15 - 3);
}

// Sizes from outside (a chart's scale, a stored window) may be anything: a
// rectangle far beyond the canvas leaves it blank, a line through NaN draws
// nothing, a label a billion twips high is drawn at the largest font, and the
// canvas draws as before afterwards.
TEST(GraphCanvas, WildSizesDrawNothingHarmful) {
    Bench b;
    auto blank = [&] {
        for (int x = 0; x < b.canvas->width(); ++x)
            for (int y = 0; y < b.canvas->height(); ++y)
                if (At(*b.canvas, x, y) != 0xFFFFFFu) return false;
        return true;
    };
    GraphObj huge;
    huge.InitRectangle(&b.graph, -1e300, -1e300, 1e308, 1e308);
    huge.draw();
    EXPECT_TRUE(blank());
    GraphObj nan;
    nan.InitLine(&b.graph, std::nan(""), 0, 1, 1);
    nan.draw();
    EXPECT_TRUE(blank());
    auto font = std::make_shared<QFont>(LowLevel::ArialFont(false));
    GraphObj label;
    label.InitLabel(&b.graph, std::string(5000, 'W'), font, 2, 0, 0, 1e9, 1e12);
    label.draw();
    EXPECT_LE(font->pointSize(), 1000);
    EXPECT_TRUE(std::isfinite(b.canvas->CurrentX()) && std::isfinite(b.canvas->CurrentY()));
    b.graph.Clear();
    GraphObj sq = Square(&b.graph, 150, 150, 600);
    sq.setForeColor(0xFF0000);
    sq.draw();
    EXPECT_EQ(At(*b.canvas, 10, 30), 0x0000FFu);
    EXPECT_EQ(At(*b.canvas, 30, 30), 0xFFFFFFu);
}

TEST(DebugGraphWindow, DrawsItsDemoAndRedrawsOnResize) {
    // The window alone, without the window manager listening.
    FormEvents* events = FormBase::Events();
    FormBase::SetEvents(nullptr);
    std::unique_ptr<DebugGraph> w = std::make_unique<DebugGraph>();
    w->Show();
    ASSERT_TRUE(w->Picture());
    EXPECT_EQ(w->UpperRow().size(), 4u);
    EXPECT_EQ(w->LowerRow().size(), 6u);
    // The pale yellow square at 300, 300 twips = 20, 20 px.
    EXPECT_EQ(At(*w->Picture(), 40, 40), 0xFFFFC0u);
    const double before = w->GetGraph().width();
    w->Resize(w->Height() + 1500, w->Width() + 1500);
    EXPECT_GT(w->GetGraph().width(), before);
    EXPECT_EQ(At(*w->Picture(), 40, 40), 0xFFFFC0u);
    w->Unload();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    FormBase::SetEvents(events);
}

}  // namespace
