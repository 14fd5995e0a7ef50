// The rankings of the generated database's hit parades: each hit parade ranks
// its names with prPop ("1", "2", ... with a shared rank "5a"/"5b" now and
// then) in its on-demand block, and each ranked name lists its hit parades in
// a prPop of its own ("id/rank,id/rank"). One name is ranked in the first 101
// hit parades: a name's hit-parade index has no fixed size, and a name with
// more than a hundred entries makes the benchmarks of the hit-parade window
// measure the longest list a real database could give it, with every entry
// read from its on-demand block.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "Atom.h"
#include "DataBase.h"

namespace gendb {

// Names in the order of their internal names (the order they are created
// in): the lists are written in this order, so that the same database comes
// out of every build, whatever addresses its atoms get.
struct ByAtomName {
    bool operator()(const atom* a, const atom* b) const { return DataBase::CompareNames(a->name(), b->name()) < 0; }
};

// The names' lists while the hit parades are ranked: name -> "id/rank" items.
using PopLists = std::map<atom*, std::vector<std::string>, ByAtomName>;

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
