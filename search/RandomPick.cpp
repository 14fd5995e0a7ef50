#include "RandomPick.h"

#include <algorithm>
#include <utility>

#include "Atom.h"
#include "Basic.h"
#include "DataBase.h"
#include "Errors.h"
#include "ListMaking.h"
#include "Parser.h"
#include "ResultSet.h"
#include "TextConstants.h"

namespace RandomPick {

std::vector<atom*> BaseSet(Base base, const ResultSet* currentList) {
    std::vector<atom*> set;
    if (base == Base::CurrentList) {
        if (currentList) currentList->GetAtoms(set);
        if (currentList) set.resize(static_cast<size_t>(currentList->numLines()));
        return set;
    }
    int kindA = Basic::kNone, kindB = Basic::kNone;
    if (base == Base::All || base == Base::Male) kindA = 0;
    if (base == Base::All || base == Base::Female) kindB = 1;
    if (base == Base::Groups || base == Base::MaleGroups) kindA = 2;
    if (base == Base::Groups || base == Base::FemaleGroups) kindB = 3;
    return ListMaking::AtomsOfKinds(kindA, kindB);
}

void Draw(std::vector<atom*>& set, size_t n, Services::Random& rnd) {
    const size_t count = set.size();
    n = std::min(n, count);
    for (size_t j = 0; j < n; ++j) {
        double r = rnd.Next();
        if (!(r >= 0) || r >= 1) r = 0;  // a generator out of its range must not reach past the set
        size_t k = j + static_cast<size_t>(static_cast<double>(count - j) * r);
        if (k >= count) k = count - 1;
        Errors::Assert(set[k] != nullptr, "PickIndex nothing");
        std::swap(set[j], set[k]);
    }
}

void FillPicked(const std::vector<atom*>& set, size_t n, ResultSet& out) {
    n = std::min(n, set.size());
    for (size_t i = 0; i < n; ++i) {
        atom* a = set[i];
        out.AddResult(a ? a->Text() : std::string(), Parser::PadNumber(static_cast<long>(i + 1), 4), a);
    }
}

std::string Title(const std::string& baseCaption) {
    std::string caption = baseCaption;
    Parser::LowerFirst(caption);
    return " " + caption + TextConstants::LangText(" zuf\xe4llig ausgew\xe4hlt", " picked at random");
}

}  // namespace RandomPick
