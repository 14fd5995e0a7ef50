#include "WindowKeys.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QPointer>
#include <QShortcut>
#include <QWidget>
#include <algorithm>
#include <vector>

namespace WindowKeys {

namespace {

const char* const kKeepsTabPlace = "keepsTabPlace";

// Whether a control has a place in the Tab order. Every control of a group
// that is one stop has one, though only the group's stop takes the Tab key:
// which one that is changes with the choice, and whichever it is must stand
// where the group stands.
bool TakesTab(const QWidget* w) {
    return (w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus || w->property(kKeepsTabPlace).toBool();
}

// Whether a widget that takes no focus itself holds controls that do.
bool HoldsStops(const QWidget* w) {
    const auto inner = w->findChildren<QWidget*>();
    return std::any_of(inner.begin(), inner.end(), [](const QWidget* c) { return !c->isWindow() && TakesTab(c); });
}

// A control, or a frame whose controls are read in its place.
struct Block {
    QRect r;  // in its container's coordinates
    QWidget* w;
    bool frame;
};

void Read(QWidget* container, std::vector<QWidget*>& out);

void Emit(const Block& b, std::vector<QWidget*>& out) {
    if (b.frame)
        Read(b.w, out);
    else
        out.push_back(b.w);
}

// Splits blocks where a gap runs across all of them along one axis (across:
// horizontal gaps, giving bands one above the other; else vertical ones,
// giving columns), in the order along that axis. One group: no gap.
std::vector<std::vector<Block>> Split(std::vector<Block> blocks, bool across) {
    auto start = [across](const Block& b) { return across ? b.r.top() : b.r.left(); };
    auto end = [across](const Block& b) { return across ? b.r.top() + b.r.height() : b.r.left() + b.r.width(); };
    std::stable_sort(blocks.begin(), blocks.end(), [&](const Block& a, const Block& b) { return start(a) < start(b); });
    std::vector<std::vector<Block>> groups;
    int reach = 0;
    for (const Block& b : blocks) {
        if (groups.empty() || start(b) >= reach) {
            groups.emplace_back();
            reach = end(b);
        }
        groups.back().push_back(b);
        reach = std::max(reach, end(b));
    }
    return groups;
}

// Whether bands and columns of the same blocks make a grid: every band
// holds blocks of two columns or more (rows of controls side by side, read
// row by row). Otherwise a column stands apart (buttons down the right side
// of a column of frames) and is read as a whole.
bool Grid(const std::vector<std::vector<Block>>& bands, const std::vector<std::vector<Block>>& columns) {
    auto columnOf = [&columns](const QWidget* w) {
        for (std::size_t c = 0; c < columns.size(); ++c)
            for (const Block& b : columns[c])
                if (b.w == w) return c;
        return columns.size();
    };
    for (const auto& band : bands) {
        const std::size_t first = columnOf(band.front().w);
        if (std::all_of(band.begin(), band.end(), [&](const Block& b) { return columnOf(b.w) == first; })) return false;
    }
    return true;
}

// Bands that stand in columns together: a band of controls side by side
// takes the bands below it as long as they keep to its columns (a column of
// answers with two buttons beside the first ones is one block, read column
// by column, not cut under the buttons).
std::vector<std::vector<Block>> JoinColumnBands(const std::vector<std::vector<Block>>& bands) {
    std::vector<std::vector<Block>> out;
    for (const auto& band : bands) {
        if (!out.empty() && Split(out.back(), false).size() > 1) {
            std::vector<Block> joined = out.back();
            joined.insert(joined.end(), band.begin(), band.end());
            if (Split(joined, false).size() > 1) {
                out.back() = std::move(joined);
                continue;
            }
        }
        out.push_back(band);
    }
    return out;
}

void Cut(const std::vector<Block>& blocks, std::vector<QWidget*>& out) {
    if (blocks.size() > 1) {
        const auto bands = Split(blocks, true);
        const auto columns = Split(blocks, false);
        if (bands.size() > 1 || columns.size() > 1) {
            // With no cut down the whole, joined bands are never the whole.
            const auto groups = columns.size() == 1 ? JoinColumnBands(bands)
                                : bands.size() > 1 && Grid(bands, columns) ? bands
                                                                            : columns;
            for (const auto& g : groups) Cut(g, out);
            return;
        }
    }
    // Blocks that overlap every way (or one alone): by their top, then left.
    std::vector<Block> sorted = blocks;
    std::stable_sort(sorted.begin(), sorted.end(), [](const Block& a, const Block& b) {
        return a.r.top() != b.r.top() ? a.r.top() < b.r.top() : a.r.left() < b.r.left();
    });
    for (const Block& b : sorted) Emit(b, out);
}

void Read(QWidget* container, std::vector<QWidget*>& out) {
    std::vector<Block> blocks;
    // Ties keep the order of building.
    for (QWidget* c : container->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (c->isWindow()) continue;
        if (TakesTab(c))
            blocks.push_back({c->geometry(), c, false});
        else if (HoldsStops(c))
            blocks.push_back({c->geometry(), c, true});
    }
    Cut(blocks, out);
}

}  // namespace

void OrderTabsByLayout(QWidget* client) {
    if (!client) return;
    std::vector<QWidget*> order;
    Read(client, order);
    for (std::size_t i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
}

void KeepTabPlace(QWidget* control) {
    if (control) control->setProperty(kKeepsTabPlace, true);
}

int ArrowStep(const QKeyEvent& key) {
    if ((key.modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return 0;
    switch (key.key()) {
    case Qt::Key_Down:
    case Qt::Key_Right: return 1;
    case Qt::Key_Up:
    case Qt::Key_Left: return -1;
    default: return 0;
    }
}

void PressOnEscape(QWidget* client, QAbstractButton* button) {
    if (!client || !button) return;
    auto* shortcut = new QShortcut(QKeySequence(Qt::Key_Escape), client);
    shortcut->setContext(Qt::WidgetWithChildrenShortcut);
    // Held down, Escape presses once.
    shortcut->setAutoRepeat(false);
    QObject::connect(shortcut, &QShortcut::activated, button, [b = QPointer<QAbstractButton>(button)] {
        if (b && b->isVisible() && b->isEnabled()) b->click();
    });
}

}  // namespace WindowKeys
