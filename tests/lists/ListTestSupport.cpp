#include "ListTestSupport.h"

namespace {

void AtomProp(atom* a, const std::string& kind, atom* value) {
    a->AddProp(DataBase::FindOrCreateProp(DataBase::CreateAtom(kind), value, "", true));
}

}  // namespace

atom* TestAtoms::Make(const std::string& name, int kind, const std::string& text) {
    const int32_t first = DataBase::numAtoms;
    atom* a = DataBase::CreateAtom(name);
    if (!text.empty())
        a->AddProp(DataBase::FindOrCreateProp(DataBase::CreateAtom("prText"), nullptr, text, true));
    static const char* const sets[] = {"seOrigNames", "seOrigins", "seRealms",       "seWords",    "seLanguages",
                                       "seSaints",    "sePopularities", "sePopSeries", "seLinks"};
    if (kind == 0 || kind == 1) {
        atom* g = DataBase::CreateAtom("gnOf" + name);
        AtomProp(g, "prSubsetOf", DataBase::CreateAtom(kind == 0 ? "seMaleNames" : "seFemaleNames"));
        AtomProp(a, "prGenName", g);
    } else if (kind == 2 || kind == 3) {
        AtomProp(a, "prSubsetOf", DataBase::CreateAtom(kind == 2 ? "seMaleNames" : "seFemaleNames"));
    } else if (kind >= 4 && kind <= 12) {
        AtomProp(a, "prMemberOf", DataBase::CreateAtom(sets[kind - 4]));
    }
    DataBase::InitPropKinds();
    DataBase::CompleteAtoms(first);
    DataBase::EvalKinds(first);
    return a;
}
