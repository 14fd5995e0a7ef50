// Measures and draws the converted items of one window's menus, set on its
// menu bar and on each of its drop-down menus (never on the application):
// pictures in a column of 18 pixels, a check glyph where an item is checked
// and has no picture, a highlight bar beside the column, a pressed look for
// the open item of the bar, embossed grey text for disabled items, etched
// separators with an optional small caption. An item without a record goes to
// the base style.
#pragma once

#include <QProxyStyle>
#include <QSize>
#include <string>

#include "MenuCode.h"

class QAction;

namespace MenuCode {

// SM_CXMENUCHECK of the desktop the menu sizes were made for.
constexpr int kMenuCheckWidth = 13;
// The picture column: picture + 2.
constexpr int kColumnWidth = kImageSize + 2;

// The size an item asks for: h0 is the menu bar's item height, text the size
// of sMenuText in the menu font, letter the height of "A" in it.
//   drop-down "Anna": width = text + 2*16 + 4 + (6 - 13), height = max(h0, text)
//   separator: width 0, height = max(letter + 1, h0 / 2); "!" items: 0 x 0
QSize MeasureItem(const MenuItem& item, QSize text, int letterHeight, int h0);

}  // namespace MenuCode

class MenuStyle : public QProxyStyle {
    Q_OBJECT
public:
    explicit MenuStyle(MenuCode::MenuWindow* window);

    // The menu bar's item height (the h0 of MeasureItem).
    int BarItemHeight(const QWidget* widget) const;
    // The width the desktop adds to an owner-drawn item's own: two average
    // characters of the menu font.
    int SystemExtraWidth() const;

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override;
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override;

private:
    struct ItemState {
        bool selected = false, disabled = false, checked = false;
    };
    void DrawItem(QPainter* p, const QRect& r, const MenuCode::MenuItem& item, ItemState st, const QPalette& pal) const;
    void DrawItemText(QPainter* p, const QRect& r, const std::string& text, const QColor& colour, bool inDropDown) const;
    bool Draw3DMark(QPainter* p, const QRect& r, bool selected, bool disabled, const QPalette& pal) const;
    QColor TextColour(const QPalette& pal) const;

    MenuCode::MenuWindow* window_;
};
