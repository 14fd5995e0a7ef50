#include "AtomAccess.h"

#include <algorithm>

namespace ListAtoms {

void CollectPropTargets(const std::vector<atom*>& atoms, long n, atom* propKind, int kind1,
                        int kind2, std::vector<atom*>& out, long& outN) {
    if (propKind == nullptr) return;
    if (outN < 0) outN = 0;
    const long count = std::min<long>(n, static_cast<long>(atoms.size()));
    const bool filtered = kind1 != Basic::kNone || kind2 != Basic::kNone;
    for (long i = 0; i < count; ++i) {
        atom* src = atoms[static_cast<size_t>(i)];
        if (src == nullptr) continue;
        Prop* p = nullptr;
        for (bool found = src->GetFirstProp(propKind, p); found; found = src->GetNextProp(propKind, p)) {
            if (p->kind() != 0 && p->kind() != 2) continue;  // no atom value
            atom* target = p->atomVal();
            if (target == nullptr || target == DataBase::nothingAtom) continue;
            if (filtered) {
                const int k = target->kind();
                if (!((kind1 != Basic::kNone && k == kind1) || (kind2 != Basic::kNone && k == kind2)))
                    continue;
            }
            target->reason() = src->reason();
            if (static_cast<size_t>(outN) >= out.size()) out.resize(static_cast<size_t>(outN) + 1);
            out[static_cast<size_t>(outN)] = target;
            ++outN;
        }
    }
}

}  // namespace ListAtoms
