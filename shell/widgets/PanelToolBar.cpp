#include "PanelToolBar.h"

#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionToolBar>
#include <QTimer>
#include <QToolButton>

namespace {

// The width of the strip drawn by the style.
constexpr int kStrip = 16;

}  // namespace

PanelToolBar::PanelToolBar(const QString& title, QWidget* parent) : QToolBar(title, parent) {}

// A toolbar too narrow for its buttons shows them over the window when its
// extension button is checked; its panel then has a frame round it.
bool PanelToolBar::Expanded() const {
    for (const QToolButton* b : findChildren<QToolButton*>(Qt::FindDirectChildrenOnly))
        if (b->isCheckable() && b->isChecked() && !b->defaultAction()) return true;
    return false;
}

// The strip is drawn on an image of its own, so the frame's first paint no
// longer draws the style's gradients on the window's kind of pixels, and the
// first window opened would set that drawing up (about a millisecond). The
// panel drawn once on such pixels right after that paint sets it up while
// the user looks at the frame.
void PanelToolBar::PreparePainting() {
    QStyleOptionToolBar opt;
    initStyleOption(&opt);
    if (opt.rect.isEmpty()) return;
    QPixmap pixels(opt.rect.size());
    pixels.fill(opt.palette.window().color());
    QPainter painter(&pixels);
    style()->drawControl(QStyle::CE_ToolBar, &opt, &painter, this);
}

void PanelToolBar::paintEvent(QPaintEvent* event) {
    QStyleOptionToolBar opt;
    initStyleOption(&opt);
    QStyle* style = this->style();
    const QRect r = opt.rect;
    // Fusion's panel of a horizontal bar (its lines run along it) over an
    // opaque window colour: the strip then covers what lies under it as the
    // panel itself would.
    const bool rows = orientation() == Qt::Horizontal && !isWindow() &&
                      style->name().compare(QLatin1String("fusion"), Qt::CaseInsensitive) == 0 &&
                      opt.palette.window().color().alpha() == 255 && r.width() > kStrip && r.height() > 0 &&
                      devicePixelRatio() == 1 && !Expanded();
    if (!rows) {
        QToolBar::paintEvent(event);
        return;
    }
    const Key key{r.height(),
                  opt.palette.cacheKey(),
                  static_cast<int>(opt.state),
                  static_cast<int>(opt.features),
                  static_cast<int>(opt.toolBarArea),
                  static_cast<int>(opt.positionOfLine) * 8 + static_cast<int>(opt.positionWithinLine),
                  opt.lineWidth,
                  opt.midLineWidth,
                  style};
    if (strip_.isNull() || key != stripKey_) {
        QImage strip(kStrip, r.height(), QImage::Format_ARGB32_Premultiplied);
        strip.fill(Qt::transparent);
        {
            QPainter p(&strip);
            QStyleOptionToolBar narrow(opt);
            narrow.rect = QRect(0, 0, kStrip, r.height());
            style->drawControl(QStyle::CE_ToolBar, &narrow, &p, this);
        }
        strip_ = QPixmap::fromImage(std::move(strip));
        stripKey_ = key;
        if (!prepared_) {
            prepared_ = true;
            QTimer::singleShot(0, this, &PanelToolBar::PreparePainting);
        }
    }
    QPainter painter(this);
    painter.drawTiledPixmap(r, strip_);
    opt.rect = style->subElementRect(QStyle::SE_ToolBarHandle, &opt, this);
    if (opt.rect.isValid()) style->drawPrimitive(QStyle::PE_IndicatorToolBarHandle, &opt, &painter, this);
}
