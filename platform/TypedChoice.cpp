#include "TypedChoice.h"

#include <QAbstractItemModel>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QStyleHints>
#include <algorithm>

namespace TypedChoice {

int Row(const QAbstractItemModel& model, int column, const QString& text, int from) {
    const int rows = model.rowCount();
    if (text.isEmpty() || rows <= 0) return -1;
    from = std::clamp(from, 0, rows - 1);
    int begins = -1;
    for (int k = 0; k < rows; ++k) {
        const int row = (from + k) % rows;
        const QModelIndex index = model.index(row, column);
        if (!(model.flags(index) & Qt::ItemIsEnabled)) continue;
        const QString entry = index.data(Qt::DisplayRole).toString();
        if (entry.compare(text, Qt::CaseInsensitive) == 0) return row;
        if (begins < 0 && entry.startsWith(text, Qt::CaseInsensitive)) begins = row;
    }
    return begins;
}

QString Typed(const QKeyEvent& event, bool typing) {
    if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return {};
    const QString text = event.text();
    if (text.isEmpty() || !text.at(0).isPrint()) return {};
    if (text.at(0).isSpace() && !typing) return {};
    return text;
}

bool Typing::InProgress() const {
    return !text_.isEmpty() && last_.isValid() &&
           !last_.hasExpired(QGuiApplication::styleHints()->keyboardInputInterval());
}

int Typing::Type(const QString& chars, const QAbstractItemModel& model, int column, int current) {
    const bool continued = InProgress();
    last_.start();
    text_ = continued ? text_ + chars : chars;
    const bool sameKey = text_.size() > 1 && text_.count(text_.back(), Qt::CaseInsensitive) == text_.size();
    const int rows = model.rowCount();
    if (rows <= 0) return -1;
    const int next = current < 0 ? 0 : (current + 1) % rows;
    if (!continued) start_ = next;
    return sameKey ? Row(model, column, text_.right(1), next) : Row(model, column, text_, start_);
}

}  // namespace TypedChoice
