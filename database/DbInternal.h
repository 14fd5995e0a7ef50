// Internals shared by the database's own sources (DataBase.cpp, Atom.cpp,
// BinFile.cpp); nothing outside database/ includes this.
#pragma once

#include <cstdint>
#include <string>

#include "Atom.h"

namespace DataBase {

// The arenas: the only places atoms and properties are created.
class Arena {
public:
    static atom* NewAtom(const std::string& name, int32_t id);
    static Prop* NewProp();
    static void Clear();
    static void SetPropId(Prop* p, int32_t id) { p->id_ = id; }
    // What a deleted atom leaves in a property that pointed at it.
    static void MakeEmptyString(Prop* p) {
        p->kind_ = 1;
        p->atomVal_ = nullptr;
        p->strVal_.clear();
    }
};

// What the binary reader and writer reach inside the records.
class BinAccess {
public:
    static void SetDerived(atom& a, int16_t kind, int16_t numVariants, int16_t textIdx,
                           int16_t descrIdx, int16_t level, std::string soundex,
                           std::string upper) {
        a.kind_ = kind;
        a.numVariants = numVariants;
        a.textIdx_ = textIdx;
        a.descrIdx_ = descrIdx;
        a.level_ = level;
        a.soundex_ = std::move(soundex);
        a.upper_ = std::move(upper);
    }
    static void AppendProps(atom& a, const std::vector<Prop*>& ps) {
        a.props_.insert(a.props_.end(), ps.begin(), ps.end());
        if (a.propAlloc_ < static_cast<int>(a.props_.size()))
            a.propAlloc_ = static_cast<int>(a.props_.size());
    }
};

// Stores a new atom in atomTab at its id (growing the table as needed).
void StoreAtom(atom* a);
// Registers p: id = numProps, propTab(id) = p.
void RegisterProp(Prop* p);
// The name-table fold of one cp1252 byte (case removed).
unsigned char FoldName(unsigned char c);

}  // namespace DataBase
