#include "AtomAccess.h"

namespace ListAtoms {

std::vector<atom*> PropTargets(const std::vector<atom*>& from, atom* propKind, int kind1, int kind2,
                               bool carryReasons) {
    std::vector<atom*> out;
    if (propKind == nullptr) return out;
    const bool filtered = kind1 != Basic::kNone || kind2 != Basic::kNone;
    for (atom* src : from) {
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
            if (carryReasons) target->reason() = src->reason();
            out.push_back(target);
        }
    }
    return out;
}

}  // namespace ListAtoms
