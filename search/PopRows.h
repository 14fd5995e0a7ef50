// The texts of the hit-parade window's tables, built from the hit-parade
// index of a name (PopIndex.h) and from one hit parade's ranked names: the
// window only puts these rows into its lists.
#pragma once

#include <string>
#include <vector>

#include "PopIndex.h"

class atom;

namespace PopRows {

// One row of a two-column table: the two cell texts, the reason and the atom.
struct Row {
    std::string text;
    std::string rank;
    std::string reason;
    atom* a = nullptr;
};

// The sex of a hit parade: the kind of the name ranked first (0 male,
// 1 female); a hit parade without ranked names counts as male.
int gender(atom* pop);
// "female" / "weiblich" when gender is not 0, else "male" / "männlich".
std::string genderStr(atom* pop);

// The table of a name's hit parades: first, in bold, the latest hit parade of
// each featured series (the German, Swiss and Austrian series only with the
// German text language, the US series always), then one row per entry in
// table order. `featured` gets the number of bold rows, which come before
// the entry rows.
std::vector<Row> NameRows(const std::vector<Searches::PopEntry>& entries, int numEntries,
                          const std::vector<Searches::PopSeriesInfo>& series, int numSeries, int& featured);
// The first years of the name's yearly entries, each once, sorted as text.
std::vector<std::string> YearList(const std::vector<Searches::PopEntry>& entries, int numEntries);

// The ranked names of a hit parade in property order, the rank right-aligned
// in three characters (longer ranks stay whole) and also the row's reason.
// Two names sharing a rank ("4a" directly before "4b") name each other
// ("Anna (+Bea)"). The row of `name` is marked "   --> "; `nameRow` gets its
// index (-1 when the name is not ranked there). Loads the hit parade.
std::vector<Row> PopNameRows(atom* pop, const atom* name, int& nameRow);
// A rank in the three-character column: padded on the left, never cut.
std::string RankColumn(const std::string& rank);

}  // namespace PopRows
