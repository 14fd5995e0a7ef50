#include "AtomStandIn.h"

namespace AtomStandIn {

namespace {
struct Table {
    std::unique_ptr<atom> nothing;
    std::vector<std::unique_ptr<atom>> atoms;
    Table() {
        nothing = std::make_unique<atom>();
        nothing->name = "nothing";
    }
};
Table& TheTable() {
    static Table t;
    return t;
}
}  // namespace

atom* Nothing() { return TheTable().nothing.get(); }

atom* GetAtom(const std::string& name) {
    for (auto& a : TheTable().atoms)
        if (Basic::EqualsNoCaseAscii(a->name, name)) return a.get();
    return Nothing();
}

atom* Create(const std::string& name, int kind, const std::string& text) {
    auto a = std::make_unique<atom>();
    a->name = name;
    a->id = static_cast<int32_t>(TheTable().atoms.size()) + 1;
    a->kind = static_cast<int16_t>(kind);
    a->text = text;
    TheTable().atoms.push_back(std::move(a));
    return TheTable().atoms.back().get();
}

void Clear() { TheTable().atoms.clear(); }

}  // namespace AtomStandIn
