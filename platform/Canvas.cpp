#include "Canvas.h"

#include <QFontMetricsF>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "QtText.h"

namespace {

// Twips to pixels, kept to a range the paint engine handles: a wild size
// from a caller draws off the picture instead of overflowing it.
double Px(double twips) {
    if (!std::isfinite(twips)) return 0;
    return std::clamp(twips / 15.0, -1.0e6, 1.0e6);
}

bool Finite(double a, double b, double c, double d) {
    return std::isfinite(a) && std::isfinite(b) && std::isfinite(c) && std::isfinite(d);
}

}  // namespace

QColor ColorOfRgb(int32_t rgb) {
    auto v = static_cast<uint32_t>(rgb);
    return QColor(v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF);
}

Canvas::Canvas(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    NewPicture();
}

void Canvas::SetHeightTwips(double twips) {
    if (std::isfinite(twips)) resize(width(), std::clamp(static_cast<int>(std::lround(twips / 15.0)), 0, 100000));
}

void Canvas::SetWidthTwips(double twips) {
    if (std::isfinite(twips)) resize(std::clamp(static_cast<int>(std::lround(twips / 15.0)), 0, 100000), height());
}

void Canvas::NewPicture() {
    painter_.reset();
    qreal dpr = devicePixelRatioF();
    QSize px(std::max(1, static_cast<int>(std::ceil(width() * dpr))),
             std::max(1, static_cast<int>(std::ceil(height() * dpr))));
    image_ = QImage(px, QImage::Format_ARGB32_Premultiplied);
    image_.setDevicePixelRatio(dpr);
    // Fonts take the size they have on the screen the canvas is shown on.
    const int dpm = static_cast<int>(std::lround(logicalDpiY() / 0.0254));
    image_.setDotsPerMeterX(dpm);
    image_.setDotsPerMeterY(dpm);
    image_.fill(ColorOfRgb(backColor_));
    metrics_.reset();
}

const QFontMetricsF& Canvas::Metrics() const {
    if (!metrics_) metrics_.emplace(font_, &image_);
    return *metrics_;
}

void Canvas::Fit() {
    // A hidden widget hears of its new size only when shown: check here.
    const qreal dpr = devicePixelRatioF();
    const QSize want(std::max(1, static_cast<int>(std::ceil(width() * dpr))),
                     std::max(1, static_cast<int>(std::ceil(height() * dpr))));
    if (image_.size() != want || image_.devicePixelRatio() != dpr) NewPicture();
}

void Canvas::Cls() {
    Fit();
    painter_.reset();
    image_.fill(ColorOfRgb(backColor_));
    currentX_ = currentY_ = 0;
    update();
}

void Canvas::SetBackColor(int32_t rgb) {
    backColor_ = rgb;
    Cls();
}

void Canvas::SetDrawWidth(int pixels) { drawWidth_ = std::clamp(pixels, 1, 1000); }

QPen Canvas::Pen(int32_t rgb) const {
    QPen pen(ColorOfRgb(rgb));
    pen.setWidth(drawWidth_);
    pen.setCapStyle(Qt::SquareCap);
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

void Canvas::Line(double x1, double y1, double x2, double y2, int32_t rgb) {
    if (!Finite(x1, y1, x2, y2)) return;
    Fit();
    {
        QPainter& p = Painter();
        p.setPen(Pen(rgb));
        p.drawLine(QPointF(Px(x1), Px(y1)), QPointF(Px(x2), Px(y2)));
    }
    SetCurrent(x2, y2);
    update();
}

void Canvas::Box(double x1, double y1, double x2, double y2, int32_t rgb) {
    if (!Finite(x1, y1, x2, y2)) return;
    Fit();
    QRectF r = QRectF(QPointF(Px(x1), Px(y1)), QPointF(Px(x2), Px(y2))).normalized();
    {
        QPainter& p = Painter();
        if (fillStyle_ == kSolid) p.fillRect(r, ColorOfRgb(fillColor_));
        p.setPen(Pen(rgb));
        p.setBrush(Qt::NoBrush);
        p.drawRect(r);
    }
    SetCurrent(x2, y2);
    update();
}

void Canvas::Print(const std::string& cp1252) {
    Fit();
    const QString text = QtText::ToQt(cp1252);
    if (std::isfinite(currentX_) && std::isfinite(currentY_)) {
        QPainter& p = Painter();
        p.setFont(font_);
        p.setPen(ColorOfRgb(foreColor_));
        p.drawText(QPointF(Px(currentX_), Px(currentY_) + Metrics().ascent()), text);
    }
    currentY_ += TextHeight(cp1252);
    currentX_ = 0;
    update();
}

double Canvas::TextWidth(const std::string& cp1252) const {
    return Metrics().horizontalAdvance(QtText::ToQt(cp1252)) * 15.0;
}

double Canvas::TextHeight(const std::string& cp1252) const {
    return Metrics().height() * 15.0;
}

QPainter& Canvas::Painter() {
    // One painter for a run of drawing calls: a chart of a few hundred
    // labels and bars would otherwise set up the paint engine for each.
    if (!painter_) painter_.emplace(&image_);
    return *painter_;
}

void Canvas::EndPainting() { painter_.reset(); }

void Canvas::paintEvent(QPaintEvent* event) {
    EndPainting();
    QPainter p(this);
    p.drawImage(event->rect(), image_, QRectF(event->rect().topLeft() * image_.devicePixelRatio(),
                                              event->rect().size() * image_.devicePixelRatio()));
}

void Canvas::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Fit();
}
