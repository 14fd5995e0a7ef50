// Lists made whole rather than searched: the predefined lists (every atom of
// one or two kinds, as the Predefined Lists window offers them), the
// combinations of two lists that every search joins its result with, and the
// combination of two lists of the history, whose title names both lists by
// their numbers (the Combine Lists window).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class ResultSet;
class atom;

namespace ListMaking {

// Every atom of the atom table whose kind is kindA or kindB, in table order;
// 31999 stands for no kind (AtomsOfKinds(0, 31999) gives the male names only).
std::vector<atom*> AtomsOfKinds(int kindA, int kindB);

// Appends AtomsOfKinds(kindA, kindB): its text as the line, an empty reason.
// FillByKinds(rs, 1, 0) gives every name, female and male interleaved.
void FillByKinds(ResultSet& rs, int kindA, int kindB);

// --- combination of two lists (by the atoms on their lines) -----------------

// Tags every line's atom of rs with a fresh tag (and the line's index).
// Lines without an atom are passed over.
void MarkAll(ResultSet& rs, int32_t& tag);
// The next tag is 1 again (a fresh start of the engine).
void ResetMarkTags();
// The lines of B whose atom is on a line of A, in B's order; reason
// "A's reason+B's reason" (A's last line of that atom). R may be A.
void CombineAnd(ResultSet& A, ResultSet& B, ResultSet& R);
// All lines of A, then the lines of B whose atom is not in A. R may be A.
void CombineOr(ResultSet& A, ResultSet& B, ResultSet& R);
// The lines of A whose atom is not in B. R may be A.
void CombineWithout(ResultSet& A, ResultSet& B, ResultSet& R);

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
