#include "MenuStyle.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QStyleOptionMenuItem>
#include <algorithm>

#include "Canvas.h"
#include "Errors.h"
#include "QtText.h"

using MenuCode::MenuItem;

namespace MenuCode {

QSize MeasureItem(const MenuItem& item, QSize text, int letterHeight, int h0) {
    if (item.fType & kSeparator) return QSize(0, std::max(letterHeight + 1, h0 / 2));
    if (!item.sMenuText.empty() && item.sMenuText[0] == '!') return QSize(0, 0);
    int width = text.width();
    if (!item.bMainMenu) width += 2 * kImageSize + 4 + (6 - kMenuCheckWidth);
    return QSize(width, std::max(h0, text.height()));
}

}  // namespace MenuCode

namespace {

constexpr int kTextLeft = 21;   // text starts this far in from the picture side
constexpr int kTextRight = 18;  // and ends this far from the other side

// The desktop's colours, from the palette.
struct Colours {
    explicit Colours(const QPalette& pal)
        : menu(pal.color(QPalette::Active, QPalette::Window)),
          menuText(pal.color(QPalette::Active, QPalette::WindowText)),
          highlightText(pal.color(QPalette::Active, QPalette::HighlightedText)),
          grayText(pal.color(QPalette::Active, QPalette::Dark)),
          hilight3d(pal.color(QPalette::Active, QPalette::Light)),
          light3d(pal.color(QPalette::Active, QPalette::Midlight)),
          shadow3d(pal.color(QPalette::Active, QPalette::Dark)) {}
    QColor menu, menuText, highlightText, grayText, hilight3d, light3d, shadow3d;
};

// A rectangle from Win32-style edges: right and bottom exclusive.
QRect Edges(int left, int top, int right, int bottom) { return QRect(left, top, right - left, bottom - top); }

// One pixel lines around r: sunken (shadow top-left, highlight bottom-right)
// or raised (the other way).
void DrawEdge(QPainter* p, const QRect& r, bool sunken, const Colours& c) {
    const QColor tl = sunken ? c.shadow3d : c.hilight3d;
    const QColor br = sunken ? c.hilight3d : c.shadow3d;
    p->fillRect(r.left(), r.top(), r.width(), 1, tl);
    p->fillRect(r.left(), r.top(), 1, r.height(), tl);
    p->fillRect(r.left(), r.bottom(), r.width(), 1, br);
    p->fillRect(r.right(), r.top(), 1, r.height(), br);
}

// The check mark, 7 x 7 pixels, centred in r.
void DrawCheckGlyph(QPainter* p, const QRect& r, const QColor& colour) {
    static const char* const rows[] = {"......X", ".....XX", "X...XXX", "XX.XXX.", "XXXXX..", ".XXX...", "..X...."};
    const int x0 = r.left() + (r.width() - 7) / 2, y0 = r.top() + (r.height() - 7) / 2;
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 7; ++x)
            if (rows[y][x] == 'X') p->fillRect(x0 + x, y0 + y, 1, 1, colour);
}

// The submenu arrow, 4 x 7 pixels, against the far side of r (pointing left
// in right-to-left layout).
void DrawArrowGlyph(QPainter* p, const QRect& r, const QColor& colour, bool rightToLeft) {
    const int y0 = r.top() + (r.height() - 7) / 2;
    for (int i = 0; i < 4; ++i) {
        const int h = 7 - 2 * i;
        const int x = rightToLeft ? r.left() + 4 - i : r.right() - 8 + i;
        p->fillRect(x, y0 + i, 1, h, colour);
    }
}

QAction* ActionAt(const QWidget* w, const QRect& r) {
    if (auto* m = qobject_cast<const QMenu*>(w)) {
        for (QAction* a : m->actions())
            if (m->actionGeometry(a) == r) return a;
    } else if (auto* b = qobject_cast<const QMenuBar*>(w)) {
        for (QAction* a : b->actions())
            if (b->actionGeometry(a) == r) return a;
    }
    return nullptr;
}

// The action an option measures: the same text and kind.
QAction* ActionOf(const QWidget* w, const QStyleOptionMenuItem* opt) {
    if (!w) return nullptr;
    const bool separator = opt->menuItemType == QStyleOptionMenuItem::Separator;
    for (QAction* a : w->actions()) {
        if (!MenuCode::ItemOf(a) || a->isSeparator() != separator) continue;
        if (opt->text == a->text() || opt->text.startsWith(a->text() + QLatin1Char('\t'))) return a;
    }
    return nullptr;
}

}  // namespace

MenuStyle::MenuStyle(MenuCode::MenuWindow* window) : window_(window) {}

int MenuStyle::BarItemHeight(const QWidget* widget) const {
    QStyleOptionMenuItem opt;
    opt.text = QStringLiteral("A");
    opt.font = window_->MenuFont();
    opt.fontMetrics = QFontMetrics(opt.font);
    opt.menuItemType = QStyleOptionMenuItem::Normal;
    const QSize text = opt.fontMetrics.size(Qt::TextSingleLine | Qt::TextShowMnemonic, opt.text);
    return baseStyle()->sizeFromContents(CT_MenuBarItem, &opt, text, nullptr).height();
}

int MenuStyle::SystemExtraWidth() const { return 2 * QFontMetrics(window_->MenuFont()).averageCharWidth(); }

QColor MenuStyle::TextColour(const QPalette& pal) const {
    return window_->foreColor != 0 ? ColorOfRgb(window_->foreColor) : Colours(pal).menuText;
}

QSize MenuStyle::sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                                  const QWidget* widget) const {
    if (type != CT_MenuItem && type != CT_MenuBarItem) return QProxyStyle::sizeFromContents(type, option, size, widget);
    const auto* opt = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    QAction* action = opt ? ActionOf(widget, opt) : nullptr;
    const MenuItem* item = MenuCode::ItemOf(action);
    if (!item) {
        if (opt && window_->IsConverted(widget)) MenuCode::LogMissingRecord(QtText::FromQt(opt->text));
        return QProxyStyle::sizeFromContents(type, option, size, widget);
    }
    const QFontMetrics fm(window_->MenuFont());
    const QSize text = fm.size(Qt::TextSingleLine | Qt::TextShowMnemonic, QtText::ToQt(item->sMenuText));
    QSize s = MenuCode::MeasureItem(*item, text, fm.height(), BarItemHeight(widget));
    if (!s.isEmpty() || (item->fType & MenuCode::kSeparator)) s.rwidth() += SystemExtraWidth();
    if (s.height() == 0) return QSize(0, 0);
    return s;
}

int MenuStyle::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const {
    switch (metric) {
    case PM_MenuHMargin:
    case PM_MenuVMargin:
    case PM_MenuBarItemSpacing:
    case PM_MenuBarHMargin:
    case PM_MenuBarPanelWidth:
    case PM_MenuTearoffHeight:
    case PM_MenuScrollerHeight: return metric == PM_MenuScrollerHeight ? 10 : 0;
    case PM_MenuBarVMargin: return 1;
    case PM_MenuPanelWidth: return 3;
    default: return QProxyStyle::pixelMetric(metric, option, widget);
    }
}

int MenuStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                         QStyleHintReturn* returnData) const {
    switch (hint) {
    case SH_UnderlineShortcut: return 1;  // "&" is always underlined
    case SH_Menu_AllowActiveAndDisabled: return 1;
    case SH_Menu_FadeOutOnHide: return 0;
    case SH_MenuBar_AltKeyNavigation: return 1;
    default: return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
}

void MenuStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                              const QWidget* widget) const {
    const Colours c(option->palette);
    switch (element) {
    case PE_PanelMenu: painter->fillRect(option->rect, c.menu); return;
    case PE_PanelMenuBar: return;
    case PE_FrameMenu: {
        // The raised edge of a drop-down: light and highlight outside-in on
        // the top and left, dark shadow and shadow on the bottom and right.
        const QRect r = option->rect;
        const QColor dark = option->palette.color(QPalette::Active, QPalette::Shadow);
        painter->fillRect(r.left(), r.top(), r.width(), 1, c.light3d);
        painter->fillRect(r.left(), r.top(), 1, r.height(), c.light3d);
        painter->fillRect(r.left(), r.bottom(), r.width(), 1, dark);
        painter->fillRect(r.right(), r.top(), 1, r.height(), dark);
        const QRect in = r.adjusted(1, 1, -1, -1);
        DrawEdge(painter, in, false, c);
        const QRect pad = in.adjusted(1, 1, -1, -1);
        painter->setPen(c.menu);
        painter->drawRect(pad.adjusted(0, 0, -1, -1));
        return;
    }
    default: QProxyStyle::drawPrimitive(element, option, painter, widget);
    }
}

void MenuStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                            const QWidget* widget) const {
    const Colours c(option->palette);
    if (element == CE_MenuBarEmptyArea || element == CE_MenuEmptyArea) {
        painter->fillRect(option->rect, c.menu);
        return;
    }
    if (element != CE_MenuItem && element != CE_MenuBarItem) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    const auto* opt = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    QAction* action = opt ? ActionAt(widget, opt->rect) : nullptr;
    const MenuItem* item = MenuCode::ItemOf(action);
    if (!item) {
        if (opt && window_->IsConverted(widget)) MenuCode::LogMissingRecord(QtText::FromQt(opt->text));
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    ItemState st;
    st.disabled = !(opt->state & State_Enabled);
    if (element == CE_MenuBarItem) {
        // The open item of the bar, or the one the keyboard is on.
        st.selected = (opt->state & State_Sunken) || ((opt->state & State_Selected) && widget && widget->hasFocus());
    } else {
        st.selected = opt->state & State_Selected;
        st.checked = opt->checkType != QStyleOptionMenuItem::NotCheckable && opt->checked;
    }
    painter->save();
    DrawItem(painter, opt->rect, *item, st, opt->palette);
    painter->restore();
}

void MenuStyle::DrawItem(QPainter* p, const QRect& r, const MenuItem& item, ItemState st, const QPalette& pal) const {
    const Colours c(pal);
    const bool rtl = window_->RightToLeft;
    const int R = r.x() + r.width(), B = r.y() + r.height();  // exclusive edges

    if (item.fType & MenuCode::kSeparator) {
        const int y = r.top() - 1 + r.height() / 2;
        p->fillRect(Edges(r.left() + 3, y, R - 3, y + 1), c.shadow3d);
        p->fillRect(Edges(r.left() + 3, y + 1, R - 3, y + 2), c.hilight3d);
        if (!item.sMenuText.empty()) {
            const QString text = QStringLiteral(" %1 ").arg(QtText::ToQt(item.sMenuText));
            p->setFont(window_->MenuFontSep());
            const int flags = Qt::AlignCenter | Qt::TextSingleLine;
            const QRect moved = r.translated(1, 1);
            p->fillRect(p->boundingRect(moved, flags, text), c.menu);  // opaque: the line stops at the text
            p->setPen(c.light3d);
            p->drawText(moved, flags, text);
            p->setPen(c.shadow3d);
            p->drawText(r, flags, text);
        }
        return;
    }
    if (!item.sMenuText.empty() && item.sMenuText[0] == '!') return;

    const QRect pic = rtl ? Edges(R - MenuCode::kColumnWidth, r.top(), R, B)
                          : Edges(r.left(), r.top(), r.left() + MenuCode::kColumnWidth, B);
    bool columnUsed = false;
    if (item.iButton < 0) {
        if (st.checked || (window_->ComplexChecks && item.bAsMark)) columnUsed = Draw3DMark(p, pic, st.selected, st.disabled, pal);
    } else {
        columnUsed = true;
        const int x = pic.left() + 1;
        const int y = pic.top() + (pic.height() - MenuCode::kImageSize) / 2;
        const QIcon icon = item.iButton < static_cast<int>(window_->ilHandle.size())
                               ? window_->ilHandle[item.iButton].picture
                               : QIcon();
        const QSize size(MenuCode::kImageSize, MenuCode::kImageSize);
        if (!st.disabled) {
            p->fillRect(pic, st.checked && !st.selected ? c.light3d : c.menu);
            if (st.selected || st.checked) DrawEdge(p, pic, st.checked, c);
            icon.paint(p, QRect(QPoint(x, y), size), Qt::AlignCenter, QIcon::Normal);
        } else {
            icon.paint(p, QRect(QPoint(x, y), size), Qt::AlignCenter, QIcon::Disabled);
        }
    }

    const QColor highlight = window_->FullSelect && st.selected ? window_->SelectColor : c.menu;
    if (item.bMainMenu) p->fillRect(r, c.menu);
    QPoint shift(0, 0);
    if (st.selected && !st.disabled) {
        QRect hr = r;
        if (columnUsed) {
            if (rtl) hr = Edges(r.left(), r.top(), R - MenuCode::kColumnWidth - 1, B);
            else hr = Edges(r.left() + MenuCode::kColumnWidth + 1, r.top(), R, B);
        }
        if (item.bMainMenu) {
            DrawEdge(p, hr, true, c);
            shift = QPoint(2, 1);
        } else {
            p->fillRect(hr, highlight);
        }
    }
    QRect textRect = r;
    if (!item.bMainMenu)
        textRect = rtl ? Edges(r.left() + kTextRight, r.top(), R - kTextLeft, B)
                       : Edges(r.left() + kTextLeft, r.top(), R - kTextRight, B);
    QColor colour;
    if (st.disabled) colour = c.grayText;
    else if (st.selected && !item.bMainMenu) colour = window_->FullSelect ? c.highlightText : window_->SelectColor;
    else colour = TextColour(pal);
    if (st.disabled) DrawItemText(p, textRect.translated(1, 1), item.sMenuText, c.hilight3d, !item.bMainMenu);
    DrawItemText(p, textRect.translated(shift), item.sMenuText, colour, !item.bMainMenu);

    if (item.bTrueSub) {
        const QRect glyph = rtl ? Edges(r.left() + 2, r.top() + 2, R, B) : Edges(r.left(), r.top() + 2, R - 2, B);
        DrawArrowGlyph(p, glyph, colour, rtl);
    }
}

void MenuStyle::DrawItemText(QPainter* p, const QRect& r, const std::string& text, const QColor& colour,
                             bool inDropDown) const {
    const bool rtl = window_->RightToLeft;
    std::string caption = text, shortcut;
    if (size_t tab = text.find('\t'); tab != std::string::npos) {
        caption = text.substr(0, tab);
        shortcut = text.substr(tab + 1);
    }
    p->setFont(window_->MenuFont());
    p->setPen(colour);
    int flags = Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextShowMnemonic;
    if (!inDropDown) flags |= Qt::AlignHCenter;
    else flags |= rtl ? Qt::AlignRight : Qt::AlignLeft;
    p->drawText(r, flags, QtText::ToQt(caption));
    if (!shortcut.empty())
        p->drawText(r, Qt::AlignVCenter | Qt::TextSingleLine | (rtl ? Qt::AlignLeft : Qt::AlignRight),
                    QtText::ToQt(shortcut));
}

bool MenuStyle::Draw3DMark(QPainter* p, const QRect& r, bool selected, bool disabled, const QPalette& pal) const {
    if (window_->ComplexChecks) {
        // A check style this program does not have: nothing drawn, and the
        // column stays free for the highlight.
        Errors::Assert(false, "ComplexCheck");
        return false;
    }
    const Colours c(pal);
    p->fillRect(r, c.menu);
    if (!disabled) {
        p->fillRect(r, selected ? window_->SelectColor : c.menu);
        DrawCheckGlyph(p, r, selected ? c.highlightText : TextColour(pal));
    } else {
        DrawCheckGlyph(p, r.translated(1, 1), c.hilight3d);
        DrawCheckGlyph(p, r, c.grayText);
    }
    return true;
}
