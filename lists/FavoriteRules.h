// The rules of the favorites table, apart from its window: one line per
// favorite in the user's order, its display text the favorite's text, then a
// TAB and the comment once one was stored; at most kMaxFavorites lines, the
// most a favorites list file may hold, so that every table saved to a file
// can be loaded back.
#pragma once

#include <cstdint>
#include <string>

class ResultSet;
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

}  // namespace FavoriteRules
