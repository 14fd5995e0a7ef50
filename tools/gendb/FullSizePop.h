// The rankings of the generated database's hit parades: each hit parade ranks
// its names with prPop ("1", "2", ... with a shared rank "5a"/"5b" now and
// then) in its on-demand block, and each ranked name lists its hit parades in
// a prPop of its own ("id/rank,id/rank"). One name is ranked in the first 101
// hit parades, more than a name's hit-parade table holds in the old program.
#pragma once

#include <map>
#include <string>
#include <vector>

class atom;

namespace gendb {

// Names in the order of their ids: the order in which they get their lists
// (and so the file written) must not hang on where they lie in memory.
struct ById {
    bool operator()(const atom* a, const atom* b) const;
};
// The names' lists while the hit parades are ranked: name -> "id/rank" items.
using PopLists = std::map<atom*, std::vector<std::string>, ById>;

// Ranks `drawn` (duplicates dropped) in hit parade number `index`; the name
// chosen for the benchmarks joins the first 101. Returns the properties added
// to the hit parade's block.
int RankHitParade(atom* pop, std::vector<atom*> drawn, size_t index, atom* benchName, PopLists& lists);
// Gives every ranked name its list, every series its hit parades (prSubset)
// and the set of series its members, as the database compiler does.
void AddPopLists(const PopLists& lists, const std::vector<atom*>& hits);
// The name ranked in 101 hit parades (of the last database built).
atom* PopBenchName();

}  // namespace gendb
