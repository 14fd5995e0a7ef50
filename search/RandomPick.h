// Random names: a number of distinct entries drawn from a base set (the
// names, the groups, either by gender, or the lines of the current list),
// numbered in the order drawn.
#pragma once

#include <string>
#include <vector>

#include "Services.h"

class ResultSet;
class atom;

namespace RandomPick {

enum class Base { All, Female, Male, Groups, FemaleGroups, MaleGroups, CurrentList };

// The atoms to draw from: every atom of the base's kinds in table order, or
// the atoms of the current list's lines in line order (a name on two lines
// stands twice). No current list gives an empty set.
std::vector<atom*> BaseSet(Base base, const ResultSet* currentList);

// The first n steps of a Fisher-Yates shuffle: afterwards the first n
// entries are a uniform random choice in random order. n is held to the
// set's size; each step takes one number of rnd.
void Draw(std::vector<atom*>& set, size_t n, Services::Random& rnd);

// The new list: the first n entries, each with its running number right
// aligned in four characters as reason ("   1").
void FillPicked(const std::vector<atom*>& set, size_t n, ResultSet& out);

// " from all 3721 names picked at random" from the caption of the option
// ("From all 3721 names").
std::string Title(const std::string& baseCaption);

}  // namespace RandomPick
