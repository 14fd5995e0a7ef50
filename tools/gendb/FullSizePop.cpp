#include "FullSizePop.h"

#include <algorithm>

#include "Atom.h"
#include "DataBase.h"

namespace gendb {

namespace {
atom* benchAtom = nullptr;
constexpr size_t kBenchParades = 101;
}  // namespace

atom* PopBenchName() { return benchAtom; }

int RankHitParade(atom* pop, std::vector<atom*> drawn, size_t index, atom* benchName, PopLists& lists) {
    using namespace DataBase;
    std::vector<atom*> ranked;
    for (atom* n : drawn)
        if (n != benchName && std::find(ranked.begin(), ranked.end(), n) == ranked.end()) ranked.push_back(n);
    if (benchName != nullptr && index < kBenchParades) {
        const size_t at = std::min(ranked.size(), index % 20);
        ranked.insert(ranked.begin() + static_cast<std::ptrdiff_t>(at), benchName);
        benchAtom = benchName;
    }
    int added = 0;
    for (size_t k = 0; k < ranked.size(); ++k) {
        // Every tenth place from the fifth is shared with the next name.
        std::string rank = std::to_string(k + 1);
        if (k % 10 == 4 && k + 1 < ranked.size()) rank += "a";
        if (k % 10 == 5) rank = std::to_string(k) + "b";
        Prop* p = NewProp();
        p->InitAtomAndStr(prPop, ranked[k], rank, false);
        pop->AddProp(p);
        ++added;
        lists[ranked[k]].push_back(std::to_string(pop->id()) + "/" + std::to_string(k % 10 == 5 ? k : k + 1));
    }
    return added;
}

void AddPopLists(const PopLists& lists, const std::vector<atom*>& hits) {
    using namespace DataBase;
    for (const auto& [name, items] : lists) {
        std::string text;
        for (const std::string& item : items) text += (text.empty() ? "" : ",") + item;
        Prop* p = NewProp();
        p->InitStr(prPop, text, true);
        name->AddProp(p);
    }
    std::vector<atom*> series;
    for (atom* h : hits) {
        Prop* sub = h->FirstProp(prSubsetOf);
        if (sub == nullptr || sub->atomVal() == nullptr) continue;
        Prop* p = NewProp();
        p->InitAtom(prSubset, h, true);
        sub->atomVal()->AddProp(p);
        if (std::find(series.begin(), series.end(), sub->atomVal()) == series.end()) series.push_back(sub->atomVal());
    }
    for (atom* s : series) {
        Prop* p = NewProp();
        p->InitAtom(prMember, s, true);
        sePopSeries->AddProp(p);
    }
}

}  // namespace gendb
