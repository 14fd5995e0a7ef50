// The drawing kit of the charts: a Graph is one canvas fitted to the window
// that holds it; a GraphObj is one square, line, rectangle or text label on
// it; GraphBase builds rows of lettered squares, the lines between two boxes
// and a box size that fits rows into the canvas. Everything is in twips of the
// canvas (origin top left, y down). The kit keeps no list of what is drawn:
// a caller clears and draws its objects again after a resize.
//
//   Graph g; g.Init(canvas); g.InitSize(form.Client(), true, 120, true, 120, nullptr);
//   std::vector<GraphObj> row;
//   GraphBase::DrawWordBoxes(g, "Anna", 300, 300, 400, 0, 0xFFFFFF, row, true);  // 4 squares
#pragma once

#include <QFont>
#include <QPointer>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Canvas.h"

class QScrollArea;
class QWidget;

class Graph {
public:
    Canvas* canvas() const { return canvas_; }
    double left() const { return left_; }
    double top() const { return top_; }
    // The drawable size: the canvas less half a millimetre. In a scroll
    // area, the height is the visible one, and the width leaves room for
    // the scroll bar while the canvas scrolls.
    double width() const { return width_; }
    double height() const { return height_; }
    // The canvas's full height in twips (beyond the visible one while it scrolls).
    double canvasHeight() const;
    bool scrolls() const { return contentHeight_ > 0; }

    // The factor that fits a world w1 wide and h1 high, scaled by w2 and h2,
    // into the drawable area: the smaller of width*w2/w1 and height*h2/h1 (the
    // second on a tie). A world without width or height gives 0.
    double CalcScaleFact(double w1, double w2, double h1, double h2) const;
    void Clear();
    // The window whose inner size the canvas follows, which sides follow it
    // with the margins left free, and a frame resized with the canvas; then
    // Resize.
    void InitSize(QWidget* container, bool fitHeight, double bottomMargin, bool fitWidth, double rightMargin,
                  QWidget* frame);
    // Fits the canvas to the container less its margins, never below 15 mm,
    // and the frame 2 mm beyond it. Needs InitSize first.
    void Resize();
    // Binds the canvas and reads its geometry; must come first. With a
    // scroll area (the canvas its widget), the area takes the canvas's place
    // in the window: Resize sizes the area, and the canvas fills its width.
    void Init(Canvas* canvas, QScrollArea* view = nullptr);
    // The height in twips a drawing needs. Taller than the visible area,
    // the canvas grows to it and scrolls vertically; 0 (or a height that
    // fits) fits the canvas to the area again. Without a scroll area it does
    // nothing. A change of size clears the picture.
    void SetContentHeight(double twips);

private:
    // The canvas fitted to the scroll area and the content height.
    void FitToView();

    QPointer<Canvas> canvas_;
    QPointer<QScrollArea> view_;
    double contentHeight_ = 0;  // above 0 while the canvas scrolls
    double left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    QPointer<QWidget> container_;
    QPointer<QWidget> frame_;
    bool hasContainer_ = false;
    bool fitHeight_ = false, fitWidth_ = false;
    double bottomMargin_ = 0, rightMargin_ = 0;
};

// The font of a label. Labels share it: setting a label's size changes it for
// every label that holds the same object.
using GraphFont = std::shared_ptr<QFont>;

class GraphObj {
public:
    enum Kind { kSquare = 0, kLine = 1, kRectangle = 2, kLabel = 3 };
    // Edges, as the connectors name them.
    enum Dir { kTop = 0, kBottom = 1, kLeft = 2, kRight = 3 };

    double left() const { return left_; }
    double top() const { return top_; }
    double width() const { return width_; }
    double height() const { return height_; }
    double drawWidth() const { return drawWidth_; }
    int32_t foreColor() const { return foreColor_; }
    int32_t backColor() const { return backColor_; }
    void setLeft(double v) { left_ = v; }
    void setTop(double v) { top_ = v; }
    void setWidth(double v) { width_ = v; }
    void setHeight(double v) { height_ = v; }
    void setDrawWidth(double v) { drawWidth_ = v; }
    void setForeColor(int32_t c) { foreColor_ = c; }
    void setBackColor(int32_t c) { backColor_ = c; }
    Graph* baseGraph() const { return baseGraph_; }
    int kind() const { return kind_; }
    const std::string& str() const { return str_; }
    const GraphFont& font() const { return font_; }
    int alignment() const { return alignment_; }
    double x1() const { return x1_; }
    double y1() const { return y1_; }
    double x2() const { return x2_; }
    double y2() const { return y2_; }

    // Bounds; no text and font; black on white; a line width of a twentieth
    // of the mean side. Kind and graph stay.
    void InitBound(double left, double top, double width, double height);
    void InitSquare(Graph* graph, double left, double top, double size);
    // The bounds take the smaller coordinates; the line keeps its direction.
    void InitLine(Graph* graph, double x1, double y1, double x2, double y2);
    void InitRectangle(Graph* graph, double left, double top, double width, double height);
    // A text label: the given font object is set to the size that fills the
    // box (the caller's font changes).
    void InitLabel(Graph* graph, const std::string& text, const GraphFont& font, int alignment, double left,
                   double top, double width, double height);
    // alignment: 0 left, 1 right, 2 centred; the text is centred vertically.
    void SetStr(const std::string& text, const GraphFont& font, int alignment);
    // The width of the text in its font on the canvas, in twips.
    double StrSize() const;
    // The point size whose text fills four fifths of the box height:
    // 300 twips -> 12, 330 -> 13, 350 -> 14 (halves to even).
    int FillFontSize() const;
    void draw() const;

    void GetCenterCoord(double& x, double& y) const;
    // 1 when the other's centre lies level with or below this one's, else 0.
    int UpOrDown(const GraphObj& other) const;
    // The edge towards the other's centre (vertical on a tie; 1 for the same centre).
    int DirOf(const GraphObj& other) const;
    // The middle of the edge in that direction; the centre for any other value.
    void GetConnectPoint(int direction, double& x, double& y) const;

private:
    double left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    int kind_ = kSquare;
    double x1_ = 0, y1_ = 0, x2_ = 0, y2_ = 0;
    Graph* baseGraph_ = nullptr;
    std::string str_;
    GraphFont font_;
    int alignment_ = 0;
    double drawWidth_ = 0;
    int32_t foreColor_ = 0;
    int32_t backColor_ = 0xFFFFFF;
};

namespace GraphBase {

// One lettered square per character of word, left to right from x, 1.2 x size
// apart, all sharing one Arial font; drawn now when doDraw. boxes holds them
// (indexes 0 .. Len - 1); returns their count ("" gives 0).
int DrawWordBoxes(Graph& graph, const std::string& word, double x, double y, double size, int32_t foreColor,
                  int32_t backColor, std::vector<GraphObj>& boxes, bool doDraw);
// 0 <-> 1, 2 <-> 3; anything else gives 0.
int OppositeDir(int direction);
// A line (not drawn) from the middle of B's edge that faces A to the middle of
// A's edge that faces B: A's bottom when B lies level with or below A, else
// A's top. It takes A's line width.
GraphObj ConnectBoxes(Graph& graph, const GraphObj& boxA, const GraphObj& boxB);
// The side of n rows with gaps of gap x side that fill the drawable height,
// at most maxSize; 0 for no rows.
double CalcBoxSize(const Graph& graph, int n, double gap, double maxSize);

}  // namespace GraphBase
