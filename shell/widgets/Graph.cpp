#include "Graph.h"

#include <QScrollArea>
#include <QStyle>
#include <QWidget>
#include <algorithm>
#include <cmath>

#include "Basic.h"
#include "Canvas.h"
#include "Errors.h"
#include "LowLevel.h"
#include "QtLowLevel.h"

namespace {

// Font sizes a label may take: a huge box or a negative one still gives a font.
constexpr int kMinPoints = 1;
constexpr int kMaxPoints = 1000;

void SetPoints(QFont& font, int points) { font.setPointSize(std::clamp(points, kMinPoints, kMaxPoints)); }

}  // namespace

// --- Graph ---------------------------------------------------------------------------

void Graph::Init(Canvas* canvas, QScrollArea* view) {
    canvas_ = canvas;
    view_ = view;
    contentHeight_ = 0;
    container_ = nullptr;
    frame_ = nullptr;
    hasContainer_ = false;
    if (!canvas) return;
    const double half = LowLevel::MmToTwips(1) * 0.5;
    if (view) {
        view->setFrameShape(QFrame::NoFrame);
        view->setWidgetResizable(false);
        view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        if (view->widget() != canvas) view->setWidget(canvas);
        left_ = view->x() * 15.0;
        top_ = view->y() * 15.0;
        FitToView();  // sets the width and height
        return;
    }
    left_ = canvas->Left();
    top_ = canvas->Top();
    width_ = canvas->Width() - half;
    height_ = canvas->Height() - half;
}

double Graph::canvasHeight() const { return canvas_ ? canvas_->Height() : 0; }

void Graph::SetContentHeight(double twips) {
    if (!view_) return;
    const double visible = view_->height() * 15.0;
    const double wanted = std::isfinite(twips) && twips > visible ? twips : 0;
    if (wanted == contentHeight_) return;
    contentHeight_ = wanted;
    FitToView();
}

void Graph::FitToView() {
    if (!view_ || !canvas_) return;
    const bool scrolling = contentHeight_ > 0;
    // The bar is switched by hand, so that the drawable width is known
    // before anything is drawn.
    view_->setVerticalScrollBarPolicy(scrolling ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    const int bar = scrolling ? view_->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, view_) : 0;
    const int w = std::max(1, view_->width() - bar);
    const int h = scrolling ? std::max(view_->height(), static_cast<int>(std::ceil(contentHeight_ / 15.0)))
                            : view_->height();
    if (canvas_->size() != QSize(w, h)) canvas_->resize(w, h);
    const double half = LowLevel::MmToTwips(1) * 0.5;
    width_ = w * 15.0 - half;
    height_ = view_->height() * 15.0 - half;
}

void Graph::InitSize(QWidget* container, bool fitHeight, double bottomMargin, bool fitWidth, double rightMargin,
                     QWidget* frame) {
    container_ = container;
    hasContainer_ = container != nullptr;
    fitHeight_ = fitHeight;
    if (fitHeight) bottomMargin_ = bottomMargin;
    fitWidth_ = fitWidth;
    if (fitWidth) rightMargin_ = rightMargin;
    frame_ = frame;
    Resize();
}

void Graph::Resize() {
    if (!hasContainer_ || !container_ || !canvas_) {
        Errors::Assert(false, "Graph Resize");
        return;
    }
    const double mm = LowLevel::MmToTwips(1);
    const double minimum = LowLevel::MmToTwips(15);
    double newHeight = std::max(container_->height() * 15.0 - top_ - bottomMargin_, minimum);
    double newWidth = std::max(container_->width() * 15.0 - left_ - rightMargin_, minimum);
    if (!std::isfinite(newHeight)) newHeight = minimum;
    if (!std::isfinite(newWidth)) newWidth = minimum;
    if (view_) {
        // The area takes the size the canvas would; the canvas follows it.
        const int h = fitHeight_ ? std::clamp(static_cast<int>(std::lround(newHeight / 15.0)), 0, 100000) : view_->height();
        const int w = fitWidth_ ? std::clamp(static_cast<int>(std::lround(newWidth / 15.0)), 0, 100000) : view_->width();
        view_->resize(w, h);
        if (contentHeight_ > 0 && contentHeight_ <= h * 15.0) contentHeight_ = 0;
        FitToView();
    } else {
        if (fitHeight_) {
            canvas_->SetHeightTwips(newHeight);
            height_ = newHeight - mm * 0.5;
        }
        if (fitWidth_) {
            canvas_->SetWidthTwips(newWidth);
            width_ = newWidth - mm * 0.5;
        }
    }
    if (frame_) {
        if (fitHeight_) {
            double h = newHeight + top_ + 2 * mm - frame_->y() * 15.0;
            frame_->resize(frame_->width(), std::max(0, static_cast<int>(std::lround(h / 15.0))));
        }
        if (fitWidth_) {
            double w = newWidth + left_ + 2 * mm - frame_->x() * 15.0;
            frame_->resize(std::max(0, static_cast<int>(std::lround(w / 15.0))), frame_->height());
        }
    }
}

void Graph::Clear() {
    if (canvas_) canvas_->Cls();
}

double Graph::CalcScaleFact(double w1, double w2, double h1, double h2) const {
    if (!(w1 > 0) || !(h1 > 0)) return 0;
    const double byWidth = width_ * w2 / w1;
    const double byHeight = static_cast<float>(height_ * h2 / h1);
    return byWidth < byHeight ? byWidth : byHeight;
}

// --- GraphObj ------------------------------------------------------------------------

void GraphObj::InitBound(double left, double top, double width, double height) {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    str_.clear();
    font_.reset();
    foreColor_ = 0;
    backColor_ = 0xFFFFFF;
    drawWidth_ = (width + height) / 2 / 20;
}

void GraphObj::InitSquare(Graph* graph, double left, double top, double size) {
    InitBound(left, top, size, size);
    baseGraph_ = graph;
    kind_ = kSquare;
}

void GraphObj::InitLine(Graph* graph, double x1, double y1, double x2, double y2) {
    x1_ = x1;
    y1_ = y1;
    x2_ = x2;
    y2_ = y2;
    InitBound(std::min(x1, x2), std::min(y1, y2), std::fabs(x2 - x1), std::fabs(y2 - y1));
    baseGraph_ = graph;
    kind_ = kLine;
}

void GraphObj::InitRectangle(Graph* graph, double left, double top, double width, double height) {
    InitBound(left, top, width, height);
    baseGraph_ = graph;
    kind_ = kRectangle;
}

void GraphObj::InitLabel(Graph* graph, const std::string& text, const GraphFont& font, int alignment, double left,
                         double top, double width, double height) {
    InitBound(left, top, width, height);
    baseGraph_ = graph;
    kind_ = kLabel;
    if (font) SetPoints(*font, FillFontSize());
    SetStr(text, font, alignment);
}

void GraphObj::SetStr(const std::string& text, const GraphFont& font, int alignment) {
    str_ = text;
    font_ = font;
    alignment_ = alignment;
}

double GraphObj::StrSize() const {
    Canvas* c = baseGraph_ ? baseGraph_->canvas() : nullptr;
    if (!c) return 0;
    if (font_) c->SetFont(*font_);
    return c->TextWidth(str_);
}

int GraphObj::FillFontSize() const {
    const double points = height_ / 20 * 4 / 5;
    if (!std::isfinite(points)) return kMinPoints;
    return Basic::CLng(std::clamp(points, -1.0e6, 1.0e6));
}

void GraphObj::draw() const {
    Canvas* c = baseGraph_ ? baseGraph_->canvas() : nullptr;
    if (!c) return;
    double px = LowLevel::TwipsToPixels(drawWidth_);
    int width = std::isfinite(px) ? Basic::CLng(std::clamp(px, 0.0, 1000.0)) : 1;
    c->SetDrawWidth(width == 0 ? 1 : width);
    switch (kind_) {
    case kLine: c->Line(x1_, y1_, x2_, y2_, foreColor_); break;
    case kSquare:
    case kRectangle:
        c->SetFillStyle(Canvas::kSolid);
        c->SetFillColor(backColor_);
        c->Box(left_, top_, left_ + width_, top_ + height_, foreColor_);
        break;
    default: break;
    }
    if (str_.empty()) return;
    c->SetForeColor(foreColor_);
    if (font_) c->SetFont(*font_);
    const double th = c->TextHeight(str_);
    const double tw = c->TextWidth(str_);
    const double y = (height_ - th) / 2 + top_;
    switch (alignment_) {
    case 0: c->SetCurrent(left_, y); break;
    case 1: c->SetCurrent(left_ + width_ - tw, y); break;
    case 2: c->SetCurrent((width_ - tw) / 2 + left_, y); break;
    default: break;
    }
    c->Print(str_);
}

void GraphObj::GetCenterCoord(double& x, double& y) const {
    x = width_ / 2 + left_;
    y = height_ / 2 + top_;
}

int GraphObj::UpOrDown(const GraphObj& other) const {
    double x, y, ox, oy;
    GetCenterCoord(x, y);
    other.GetCenterCoord(ox, oy);
    return oy >= y ? 1 : 0;
}

int GraphObj::DirOf(const GraphObj& other) const {
    double x, y, ox, oy;
    GetCenterCoord(x, y);
    other.GetCenterCoord(ox, oy);
    const double dx = std::fabs(x - ox), dy = std::fabs(y - oy);
    if (dx > dy) return ox > x ? kRight : kLeft;
    return oy < y ? kTop : kBottom;
}

void GraphObj::GetConnectPoint(int direction, double& x, double& y) const {
    GetCenterCoord(x, y);
    switch (direction) {
    case kTop: y -= height_ / 2; break;
    case kBottom: y += height_ / 2; break;
    case kLeft: x -= width_ / 2; break;
    case kRight: x += width_ / 2; break;
    default: break;
    }
}

// --- GraphBase -----------------------------------------------------------------------

namespace GraphBase {

int DrawWordBoxes(Graph& graph, const std::string& word, double x, double y, double size, int32_t foreColor,
                  int32_t backColor, std::vector<GraphObj>& boxes, bool doDraw) {
    const size_t n = word.size();
    boxes.resize(std::max(boxes.size(), n));
    auto font = std::make_shared<QFont>(LowLevel::ArialFont(false));
    double cx = x;
    int count = 0;
    for (size_t i = 0; i < n; ++i) {
        GraphObj box;
        box.InitSquare(&graph, cx, y, size);
        SetPoints(*font, box.FillFontSize());
        box.SetStr(std::string(1, word[i]), font, 2);
        box.setForeColor(foreColor);
        box.setBackColor(backColor);
        if (doDraw) box.draw();
        boxes[count] = box;
        ++count;
        cx += size * 1.2;
    }
    return count;
}

int OppositeDir(int direction) {
    switch (direction) {
    case GraphObj::kTop: return GraphObj::kBottom;
    case GraphObj::kBottom: return GraphObj::kTop;
    case GraphObj::kLeft: return GraphObj::kRight;
    case GraphObj::kRight: return GraphObj::kLeft;
    default: return 0;
    }
}

GraphObj ConnectBoxes(Graph& graph, const GraphObj& boxA, const GraphObj& boxB) {
    const int d = boxA.UpOrDown(boxB);
    const int e = OppositeDir(d);
    double xb, yb, xa, ya;
    boxB.GetConnectPoint(e, xb, yb);
    boxA.GetConnectPoint(d, xa, ya);
    GraphObj line;
    line.InitLine(&graph, xb, yb, xa, ya);
    line.setDrawWidth(boxA.drawWidth());
    return line;
}

double CalcBoxSize(const Graph& graph, int n, double gap, double maxSize) {
    if (n <= 0) return 0;
    const double rows = n + (n - 1) * gap;
    if (!(rows > 0)) return 0;
    double size = graph.height() / rows;
    if (!(size <= maxSize)) size = maxSize;
    return size;
}

}  // namespace GraphBase
