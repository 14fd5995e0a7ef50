#include "DebugGraph.h"

#include <memory>

#include "Canvas.h"
#include "QtLowLevel.h"
#include "ShellKit.h"
#include "TextConstants.h"
#include "WinMan.h"

using TextConstants::LangText;

namespace {

constexpr int32_t kPaleYellow = 0xC0FFFF;  // red in the low byte
constexpr int32_t kPaleBlue = 0xFFE0C0;
constexpr int32_t kPaleGreen = 0xC0FFC0;
constexpr int32_t kDarkBlue = 0x800000;
constexpr int32_t kRed = 0x0000FF;
constexpr double kMargin = 120;  // twips free around the canvas

}  // namespace

DebugGraph::DebugGraph() : FormBase("DebugGraph") {}

void DebugGraph::BuildControls() {
    FitClient(*this, 560, 400);
    SetCaption(LangText("Zeichentest", "Drawing Test"));
    picture_ = Add<Canvas>("Picture");
    picture_->setGeometry(8, 8, 544, 384);
}

void DebugGraph::Form_Load() {
    graph_.Init(picture_);
    graph_.InitSize(Client(), true, kMargin, true, kMargin, nullptr);
    sized_ = true;
    DrawDemo();
}

void DebugGraph::Form_Resize() {
    if (!sized_ || !picture_) return;
    graph_.Resize();
    DrawDemo();
}

void DebugGraph::DrawDemo() {
    if (!picture_) return;
    graph_.Clear();

    GraphObj square;
    square.InitSquare(&graph_, 300, 300, 600);
    square.setBackColor(kPaleYellow);
    square.draw();

    GraphObj line;
    line.InitLine(&graph_, 2400, 300, 1200, 900);  // drawn from right to left
    line.setForeColor(kRed);
    line.draw();

    GraphObj rect;
    rect.InitRectangle(&graph_, 2700, 300, 1800, 600);
    rect.setBackColor(kPaleBlue);
    rect.setForeColor(kDarkBlue);
    rect.draw();

    // The three alignments, each in an outlined box of its own.
    const std::string texts[] = {LangText("links", "left"), LangText("rechts", "right"),
                                 LangText("zentriert", "centered")};
    auto font = std::make_shared<QFont>(LowLevel::ArialFont(false));
    for (int a = 0; a < 3; ++a) {
        const double left = 300 + a * 1500;
        GraphObj box;
        box.InitRectangle(&graph_, left, 1200, 1350, 360);
        box.setBackColor(kPaleGreen);
        box.draw();
        GraphObj label;
        label.InitLabel(&graph_, texts[a], font, a == 2 ? 2 : a, left, 1200, 1350, 360);
        label.draw();
    }
    // A right-aligned text wider than its box runs out on the left.
    GraphObj narrow;
    narrow.InitRectangle(&graph_, 3900, 1800, 600, 360);
    narrow.draw();
    GraphObj wide;
    wide.InitLabel(&graph_, LangText("breiter als der Kasten", "wider than its box"), font, 1, 3900, 1800, 600,
                   360);
    wide.setForeColor(kDarkBlue);
    wide.draw();

    // Two rows of lettered squares, the letters they share joined.
    GraphBase::DrawWordBoxes(graph_, "ANNA", 300, 2500, 400, 0, kPaleYellow, upper_, true);
    GraphBase::DrawWordBoxes(graph_, "HANNAH", 300, 3500, 400, kDarkBlue, kPaleBlue, lower_, true);
    const std::pair<int, int> joins[] = {{0, 1}, {1, 2}, {2, 3}, {3, 4}};
    for (auto [u, l] : joins) {
        GraphObj join = GraphBase::ConnectBoxes(graph_, upper_[u], lower_[l]);
        join.setForeColor(kRed);
        join.draw();
    }
    // And one line upwards, from the lower row to the upper.
    GraphObj back = GraphBase::ConnectBoxes(graph_, lower_[5], upper_[3]);
    back.draw();
}

namespace WidgetWindows {

void Register() {
    Auto::Register("DebugGraph", [] { return std::make_unique<DebugGraph>(); });
}

}  // namespace WidgetWindows
