// The frame's toolbar, drawn as its style draws it, only sooner. Fusion
// draws the panel of a horizontal toolbar as a gradient from top to bottom
// with a light and a dark line along it, the lines in translucent colours,
// which Qt's raster engine blends one pixel at a time: about a millisecond
// for a toolbar as wide as the frame, at every paint. Every column of that
// panel is the same, so a narrow strip of it is drawn once by the style,
// kept, and repeated across, which gives the very same pixels. Any panel
// whose columns may differ (another style, a vertical or floating bar, one
// expanded over its hidden buttons, a scaled painter) is left to QToolBar.
//
// Right after its first paint the bar draws its panel once more the style's
// way, on pixels of the window's kind (see PreparePainting).
#pragma once

#include <QPixmap>
#include <QToolBar>
#include <tuple>

class PanelToolBar : public QToolBar {
    Q_OBJECT
public:
    explicit PanelToolBar(const QString& title, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool Expanded() const;
    void PreparePainting();

    // What the kept strip was drawn for.
    using Key = std::tuple<int, qint64, int, int, int, int, int, int, const void*>;
    Key stripKey_{};
    QPixmap strip_;
    bool prepared_ = false;
};
