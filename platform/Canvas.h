// A drawing surface that keeps what is drawn on it: a widget over a backing
// image at the screen's pixel density, painted from that image. Positions and
// lengths are twips of the canvas (15 to a pixel, origin top left, y down);
// the drawing calls convert twips to pixels themselves, so a pen keeps its
// width in pixels. A resize drops the picture: the owner draws it again.
//
//   canvas.Cls();
//   canvas.SetFillStyle(Canvas::kSolid); canvas.SetFillColor(0xFFFFFF);
//   canvas.Box(150, 150, 1500, 750, 0);        // white box, black outline
//   canvas.SetCurrent(300, 300); canvas.Print("Anna");
#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QWidget>
#include <cstdint>
#include <optional>
#include <string>

class Canvas : public QWidget {
    Q_OBJECT
public:
    enum FillStyle { kSolid = 0, kTransparent = 1 };

    explicit Canvas(QWidget* parent = nullptr);

    // Geometry in twips, in the parent's coordinates.
    double Left() const { return x() * 15.0; }
    double Top() const { return y() * 15.0; }
    double Width() const { return width() * 15.0; }
    double Height() const { return height() * 15.0; }
    void SetHeightTwips(double twips);
    void SetWidthTwips(double twips);

    // Clears the picture to the back colour; the current position goes to 0, 0.
    void Cls();

    // Colours are 32-bit values with red in the low byte.
    void SetBackColor(int32_t rgb);
    void SetForeColor(int32_t rgb) { foreColor_ = rgb; }
    int32_t ForeColor() const { return foreColor_; }
    void SetFillColor(int32_t rgb) { fillColor_ = rgb; }
    void SetFillStyle(FillStyle s) { fillStyle_ = s; }
    // Pen width in pixels (at least 1).
    void SetDrawWidth(int pixels);
    int DrawWidth() const { return drawWidth_; }
    void SetFont(const QFont& f) {
        if (f == font_) return;
        font_ = f;
        metrics_.reset();
    }
    const QFont& Font() const { return font_; }

    double CurrentX() const { return currentX_; }
    double CurrentY() const { return currentY_; }
    void SetCurrent(double x, double y) {
        currentX_ = x;
        currentY_ = y;
    }

    // A line from (x1, y1) to (x2, y2) in the colour; the current position
    // becomes its end.
    void Line(double x1, double y1, double x2, double y2, int32_t rgb);
    // A box with corners (x1, y1) and (x2, y2): filled with the fill colour
    // when the fill style is solid, outlined in the colour.
    void Box(double x1, double y1, double x2, double y2, int32_t rgb);
    // Writes cp1252 text in the fore colour and font with its top left at the
    // current position (transparent background); then the current position
    // goes to the start of the next line.
    void Print(const std::string& cp1252);
    // The size of a text in the canvas's font, in twips.
    double TextWidth(const std::string& cp1252) const;
    double TextHeight(const std::string& cp1252) const;

    // The picture as drawn (physical pixels; its device pixel ratio set).
    const QImage& Picture() const {
        const_cast<Canvas*>(this)->Fit();
        const_cast<Canvas*>(this)->EndPainting();
        return image_;
    }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void NewPicture();
    void Fit();
    QPen Pen(int32_t rgb) const;
    // The painter of the picture, kept open from one drawing call to the
    // next; ended before the picture is shown, read, cleared or replaced.
    QPainter& Painter();
    void EndPainting();
    const QFontMetricsF& Metrics() const;

    QImage image_;
    int32_t backColor_ = 0xFFFFFF;
    int32_t foreColor_ = 0;
    int32_t fillColor_ = 0;
    FillStyle fillStyle_ = kTransparent;
    int drawWidth_ = 1;
    QFont font_;
    mutable std::optional<QFontMetricsF> metrics_;  // of font_ on the picture
    double currentX_ = 0, currentY_ = 0;
    std::optional<QPainter> painter_;  // after image_: it ends before the picture goes
};

// A colour of the program (red in the low byte) as Qt's.
QColor ColorOfRgb(int32_t rgb);
