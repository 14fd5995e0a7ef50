#include "ListMaking.h"

#include "Atom.h"
#include "Basic.h"
#include "DataBase.h"
#include "ResultSet.h"
#include "TextConstants.h"

using TextConstants::LangText;

namespace ListMaking {

std::vector<atom*> AtomsOfKinds(int kindA, int kindB) {
    std::vector<atom*> found;
    for (int32_t i = 0; i < DataBase::numAtoms && i < static_cast<int32_t>(DataBase::atomTab.size()); ++i) {
        atom* a = DataBase::atomTab[static_cast<size_t>(i)];
        if (a == nullptr || a == DataBase::nothingAtom) continue;
        const int k = a->kind();
        if (k != Basic::kNone && (k == kindA || k == kindB)) found.push_back(a);
    }
    return found;
}

void FillByKinds(ResultSet& rs, int kindA, int kindB) {
    for (atom* a : AtomsOfKinds(kindA, kindB)) rs.AddResult(a->Text(), "", a);
}

namespace {

int32_t tagCounter = 1;

// The line's atom is taking part in the membership test: lines without an
// atom belong to no list.
bool LineMarked(ResultSet& rs, int32_t i, int32_t tag) {
    return rs.atom(i) != nullptr && rs.Mark(i) == tag;
}

}  // namespace

void ResetMarkTags() { tagCounter = 1; }

void MarkAll(ResultSet& rs, int32_t& tag) {
    tag = tagCounter++;
    for (int32_t i = 0; i < rs.numLines(); ++i) {
        if (rs.atom(i) != nullptr) rs.SetMark(i, tag);
    }
}

namespace {

// The operands of a combination that empties R before reading A and B: an
// operand that is R itself is read from a copy.
struct Operands {
    ResultSet copyA, copyB;
    ResultSet* T;
    ResultSet* S;
    Operands(ResultSet& A, ResultSet& B, const ResultSet& R) : T(&A), S(&B) {
        if (&R == &A) { copyA.InitInt(); copyA.AddAllFrom(A); T = &copyA; }
        if (&R == &B) { copyB.InitInt(); copyB.AddAllFrom(B); S = &copyB; }
    }
};

// Calls f with the index of each line of `of` whose atom is (in true) or is
// not (in false) among the atoms of `other`.
template <class F>
void EachLine(ResultSet& of, ResultSet& other, bool in, F f) {
    int32_t tag = 0;
    MarkAll(other, tag);
    for (int32_t i = 0; i < of.numLines(); ++i)
        if (LineMarked(of, i, tag) == in) f(i);
}

}  // namespace

void CombineAnd(ResultSet& A, ResultSet& B, ResultSet& R) {
    Operands op(A, B, R);
    R.Reset();
    EachLine(*op.S, *op.T, true, [&](int32_t i) {
        const int32_t j = R.numLines();
        R.AddFrom(*op.S, i);
        if (R.numLines() == j) return;  // a unique list refused the line
        // The first operand's reason leads, so that reasons read in the order
        // the lists were joined ("EN" and then "DE" gives "EN+DE").
        R.setReason(j, op.T->reason(R.markIndex(j)) + "+" + R.reason(j));
    });
}

void CombineOr(ResultSet& A, ResultSet& B, ResultSet& R) {
    ResultSet copyB;
    ResultSet* S = &B;
    if (&R == &B && &B != &A) { copyB.InitInt(); copyB.AddAllFrom(B); S = &copyB; }
    int32_t tag = 0;
    MarkAll(A, tag);
    // B's lines are read before R grows, in case B is A itself.
    const int32_t n = S->numLines();
    std::vector<int32_t> take;
    for (int32_t i = 0; i < n; ++i) {
        if (!LineMarked(*S, i, tag)) take.push_back(i);
    }
    if (&R != &A) {
        R.Reset();
        R.AddAllFrom(A);
    }
    for (int32_t i : take) R.AddFrom(*S, i);
}

void CombineWithout(ResultSet& A, ResultSet& B, ResultSet& R) {
    Operands op(A, B, R);
    R.Reset();
    EachLine(*op.T, *op.S, false, [&](int32_t i) { R.AddFrom(*op.T, i); });
}


std::string ListName(int number) {
    const std::string n = std::to_string(number);
    return LangText(n + ". Liste", n + TextConstants::OrdinalSuffix(number) + " list");
}

std::string Combine(Op op, ResultSet& A, ResultSet& B, ResultSet& R) {
    R.Reset();
    const std::string nameA = ListName(A.id());
    const std::string nameB = ListName(B.id());
    std::string text;
    switch (op) {
    case Op::Or:
        CombineOr(A, B, R);
        text = LangText("Alles aus " + nameA + " und " + nameB, "All from " + nameA + " and " + nameB);
        break;
    case Op::And:
        CombineAnd(A, B, R);
        text = LangText("Gemeinsames von " + nameA + " und " + nameB, "Common to " + nameA + " and " + nameB);
        break;
    case Op::AWithoutB:
        CombineWithout(A, B, R);
        text = LangText(nameA + " ohne das mit " + nameB + " Gemeinsame",
                        nameA + " without that common with " + nameB);
        break;
    case Op::BWithoutA:
        CombineWithout(B, A, R);
        text = LangText(nameB + " ohne das mit " + nameA + " Gemeinsame",
                        nameB + " without that common with " + nameA);
        break;
    }
    return LangText(" aus Kombination: ", " from combination: ") + text;
}

}  // namespace ListMaking
