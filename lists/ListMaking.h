// Lists made whole rather than searched: the predefined lists (every atom of
// one or two kinds, as the Predefined Lists window offers them) and the
// combination of two lists of the history, whose title names both lists by
// their numbers (the Combine Lists window).
#pragma once

#include <string>

class ResultSet;

namespace ListMaking {

// Appends every atom of the atom table whose kind is kindA or kindB (31999
// for no second kind), in table order: its text as the line, an empty reason.
// FillByKinds(rs, 1, 0) gives every name, female and male interleaved.
void FillByKinds(ResultSet& rs, int kindA, int kindB);

// A list's name in a combination title, from its number:
// 1 "1st list", 12 "12th list", 23 "23rd list"; German "1. Liste".
std::string ListName(int number);

// The four ways to combine list A with list B.
enum class Op { Or, And, AWithoutB, BWithoutA };

// Fills R with the combination (R is emptied first) and returns the title
// the new list gets, for lists 3 (A) and 4 (B) and BWithoutA:
// " from combination: 4th list without that common with 3rd list".
// A and B may be the same list.
std::string Combine(Op op, ResultSet& A, ResultSet& B, ResultSet& R);

}  // namespace ListMaking
