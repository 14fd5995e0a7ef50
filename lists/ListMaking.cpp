#include "ListMaking.h"

#include "Atom.h"
#include "Basic.h"
#include "DataBase.h"
#include "ResultSet.h"
#include "Searches.h"
#include "TextConstants.h"

using TextConstants::LangText;

namespace ListMaking {

void FillByKinds(ResultSet& rs, int kindA, int kindB) {
    for (int32_t i = 0; i < DataBase::numAtoms && i < static_cast<int32_t>(DataBase::atomTab.size()); ++i) {
        atom* a = DataBase::atomTab[static_cast<size_t>(i)];
        if (a == nullptr || a == DataBase::nothingAtom) continue;
        const int k = a->kind();
        if (k == kindA || (kindB != Basic::kNone && k == kindB)) rs.AddResult(a->Text(), "", a);
    }
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
        Searches::CombineOr(A, B, R);
        text = LangText("Alles aus " + nameA + " und " + nameB, "All from " + nameA + " and " + nameB);
        break;
    case Op::And:
        Searches::CombineAnd(A, B, R);
        text = LangText("Gemeinsames von " + nameA + " und " + nameB, "Common to " + nameA + " and " + nameB);
        break;
    case Op::AWithoutB:
        Searches::CombineWithout(A, B, R);
        text = LangText(nameA + " ohne das mit " + nameB + " Gemeinsame",
                        nameA + " without that common with " + nameB);
        break;
    case Op::BWithoutA:
        Searches::CombineWithout(B, A, R);
        text = LangText(nameB + " ohne das mit " + nameA + " Gemeinsame",
                        nameB + " without that common with " + nameA);
        break;
    }
    return LangText(" aus Kombination: ", " from combination: ") + text;
}

}  // namespace ListMaking
