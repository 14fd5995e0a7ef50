// Choosing an entry of a combo box by typing it, closed or with its list
// open: the letters typed in quick succession make one text, and the entry
// the text names is chosen. One rule for every combo box, so that a whole
// name typed finds that name and not a longer one that begins with it
// ("German" is German, though Germanic stands first).
#pragma once

#include <QElapsedTimer>
#include <QString>

class QAbstractItemModel;
class QKeyEvent;

namespace TypedChoice {

// The row of the model's column that the typed text names, looking from row
// `from` down and round to it, enabled rows only: the first entry equal to
// the text (capitals and small letters alike) or, when there is none, the
// first that begins with it; -1 when none does.
// Among "Germanic", "Latin", "German": "german" gives 2, "germ" gives 0.
int Row(const QAbstractItemModel& model, int column, const QString& text, int from);

// What a key adds to the text being typed: its printable characters, a blank
// only while a text is being typed (else the key keeps its own meaning, as
// the blank that opens a combo box's list); empty for any other key.
QString Typed(const QKeyEvent& event, bool typing);

// The text typed so far. A character typed within the application's
// keyboard input interval after the last one continues it; a later one
// begins a new text.
class Typing {
public:
    bool InProgress() const;
    // Adds chars and gives the row they choose, -1 for none. current is the
    // row chosen now. A text looks from the row after the one chosen when
    // it began, so that it ends where the whole text leads, whatever its
    // first letters chose on the way; the same letter typed again and again
    // goes from one entry beginning with it to the next ("g", "g").
    int Type(const QString& chars, const QAbstractItemModel& model, int column, int current);

private:
    QString text_;
    int start_ = 0;  // the row the text looks from
    QElapsedTimer last_;
};

}  // namespace TypedChoice
