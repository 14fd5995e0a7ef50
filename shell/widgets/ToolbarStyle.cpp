#include "ToolbarStyle.h"

#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QPixmap>
#include <QStyleOptionToolBar>

namespace {

// The width of the strip drawn by the style.
constexpr int kStrip = 16;

}  // namespace

void ToolbarStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                               const QWidget* widget) const {
    const auto* bar = element == CE_ToolBar ? qstyleoption_cast<const QStyleOptionToolBar*>(option) : nullptr;
    const QRect r = option->rect;
    // Fusion's panel of a horizontal bar (its lines run along it) over an
    // opaque window colour: the strip then covers what lies under it as the
    // panel itself would.
    const bool rows = bar && (option->state & State_Horizontal) &&
                      baseStyle()->name().compare(QLatin1String("fusion"), Qt::CaseInsensitive) == 0 &&
                      option->palette.window().color().alpha() == 255;
    if (!rows || r.width() <= kStrip || r.height() <= 0 || !painter->device() ||
        painter->device()->devicePixelRatio() != 1 || painter->deviceTransform().type() > QTransform::TxTranslate) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    QImage strip(kStrip, r.height(), QImage::Format_ARGB32_Premultiplied);
    strip.fill(Qt::transparent);
    {
        QPainter p(&strip);
        QStyleOptionToolBar narrow(*bar);
        narrow.rect = QRect(0, 0, kStrip, r.height());
        QProxyStyle::drawControl(element, &narrow, &p, widget);
    }
    painter->drawTiledPixmap(r, QPixmap::fromImage(strip));
}
