// The search by language: the names that come from a language (through the
// origin entries that name it and the groups they describe) or that are used
// where it is spoken, up to three rows joined by "and" or "or", with the
// language's abbreviation as reason ("EN", under "and" "EN+DE").
#pragma once

#include <array>
#include <string>

#include "QueryRows.h"

class atom;
class ResultSet;

namespace Query {

// One row: code 1 language of origin, 2 language of use, 0 none; the chosen
// language or null.
struct LangRow {
    int code = 0;
    atom* lang = nullptr;
};
using LangRows = std::array<LangRow, 3>;

namespace LangSearch {

constexpr int kNumCodes = 3;
std::string Caption(int code);
std::string Template(int code);
bool Complete(const LangRow& row);

// The names of one row, in collection order, duplicates kept (a group with
// two origin entries in the language gives its names twice).
void SearchOneCond(const LangRow& row, ResultSet& rs);
// The complete rows joined: "or" adds the new names of each row, "and" keeps
// those of the row also found before, in the row's order.
void Search(const LangRows& rows, bool andMode, ResultSet& out);
// " with language of origin: English and language of use: German".
std::string Title(const LangRows& rows, bool andMode);
// A name of the language not shown before (then entered into the ring); when
// the ring holds every candidate, the last one met; null when none.
atom* SearchExample(const LangRow& row, ExampleRing& ring);

}  // namespace LangSearch
}  // namespace Query
