// The rules of the favorites table, apart from its window: one line per
// favorite in the user's order, its display text the favorite's text, then a
// TAB and the comment once one was stored; at most kMaxFavorites lines, the
// most a favorites list file may hold, so that every table saved to a file
// can be loaded back (a merge of two runs' tables may bring more: see
// StoredTable).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ResultSet.h"

class atom;

namespace FavoriteRules {

constexpr int32_t kMaxFavorites = 100;

// What a favorite stands for: a name stays itself; a group (kind 2 or 3) is
// replaced by its first variant of exactly the group's text. A group without
// such a name raises the assertion "Favorites.Add group to name" and stays
// itself, so that it is not lost.
atom* FavoriteFor(atom* a);

struct AddOutcome {
    int32_t line = -1;   // the line to mark; -1 when nothing was added
    bool added = false;  // a line was appended (the table changed)
    bool full = false;   // refused: the table holds kMaxFavorites lines
};
// Adds the favorite of a (FavoriteFor) unless a line holds that very atom
// already, which is then the line to mark.
AddOutcome Add(ResultSet& table, atom* a);

// The comment of a line: what follows the first TAB of its display text
// ("" when there is none). A line whose atom is unknown keeps its comment too.
std::string Comment(const ResultSet& table, int32_t line);
// The line's text before its first TAB (the favorite's shown text).
std::string NameOf(const ResultSet& table, int32_t line);
// The line becomes its atom's text (or its own text without atom), a TAB and
// the comment, every double quote of it turned into an apostrophe.
void StoreComment(ResultSet& table, int32_t line, const std::string& comment);
// Every double quote becomes an apostrophe: texts stored in lists and
// settings never carry one.
std::string QuotesToApostrophes(std::string text);

// Whether a loaded list may replace the table (at most kMaxFavorites lines).
bool FitsTable(const ResultSet& list);

// --- the table in the settings, kept by two runs at once ---------------------

// This run's table (mine) merged with the value another run wrote (theirs)
// since both held base: mine, minus the lines the other run deleted that
// this run left as they were, plus the lines the other run added, appended
// in its order; a comment only the other run changed is the other run's, as
// is the comment of a line both added when only the other gave it one.
// Comments are compared as comments: none and an empty one are the same.
// Lines are told apart by their internal names (without case), lines whose
// name is "nothing" by their text.
//   base [Anna, Maria], theirs [Maria "kind", Otto], mine [Anna, Maria, Ida]
//   give [Anna, Maria "kind", Ida, Otto]; with theirs [Otto], [Anna, Ida, Otto].
std::vector<StoredLine> Merge(const std::vector<StoredLine>& base, const std::vector<StoredLine>& theirs,
                              const std::vector<StoredLine>& mine);

// The favorites table as the settings value valueName under "Sets" holds
// it, for one window: what it last read or wrote there, so that a write
// keeps what another run wrote since. A line whose name this run does not
// know (deleted before it started, or made by another run since) stays with
// its text, and is written back with its internal name.
class StoredTable {
public:
    explicit StoredTable(std::string valueName) : name_(std::move(valueName)) {}

    // The table becomes the stored one (empty when there is none).
    void Load(ResultSet& table);

    // A table filled anew marks the favorite its marked line had (kept),
    // else the same place or the last line: mark is the line to mark, -1
    // none.
    struct Refill {
        bool changed = false;
        int32_t mark = -1;
        bool kept = false;
    };
    // Writes the table under the settings' lock. When the value is no longer
    // what this table last read or wrote, another run wrote it: the two are
    // merged (Merge) and the table becomes the merge (changed), whatever its
    // length. A table replaced whole (Replaced) is written as it is. ok:
    // the value was written.
    struct Saved : Refill {
        bool ok = false;
    };
    Saved Save(ResultSet& table);
    // The next Save writes the table as it is: it was replaced whole.
    void Replaced() { replaced_ = true; }

    // After the user's names changed (a create, change or delete): a line
    // whose name was made anew (a change is a delete and a create under the
    // same internal name), or whose unknown name now exists, takes that
    // name; a line whose name was deleted stays with its comment, as a name
    // this run does not know, as it is when the table is read after the
    // delete (the user deletes the line when they choose).
    Refill FollowUserNames(ResultSet& table);

    // The table's lines as they are written.
    std::vector<StoredLine> LinesOf(const ResultSet& table) const;

private:
    // The table becomes lines (before: its lines until now).
    Refill Fill(ResultSet& table, const std::vector<StoredLine>& before, const std::vector<StoredLine>& lines);
    // Which of the lines the table was filled from it holds as unknown.
    void NoteUnknown(const ResultSet& table, const std::vector<StoredLine>& lines);

    std::string name_;
    std::optional<std::string> value_;  // as last read or written
    std::vector<StoredLine> lines_;     // its lines
    std::vector<StoredLine> unknown_;   // the lines filled in with unknown names, in order
    bool replaced_ = false;
};

}  // namespace FavoriteRules
