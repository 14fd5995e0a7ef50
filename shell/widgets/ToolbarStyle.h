// The frame's toolbar drawn as its style draws it, only sooner. Fusion draws
// the panel of a horizontal toolbar as a gradient from top to bottom with a
// light and a dark line along it, the lines in translucent colours, which
// Qt's raster engine blends one pixel at a time: about a millisecond for a
// toolbar as wide as the frame, at every paint. Every column of that panel
// is the same, so a narrow strip of it is drawn by the style and repeated
// across, which gives the very same pixels. Everything else, and any panel
// whose columns may differ (another style, a vertical bar, a scaled
// painter), is drawn by the style underneath.
#pragma once

#include <QProxyStyle>

class ToolbarStyle : public QProxyStyle {
    Q_OBJECT
public:
    ToolbarStyle() = default;  // over a new instance of the application's style

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
};
