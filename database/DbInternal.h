// Internals shared by the database's own sources (DataBase.cpp, Atom.cpp,
// BinFile.cpp); nothing outside database/ includes this.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "Atom.h"

namespace DataBase {

// The arenas: the only places atoms and properties are created.
class Arena {
public:
    // A new atom; its name is kept (copied into the string arena).
    static atom* NewAtom(std::string_view name, int32_t id);
    // A new atom whose name the database keeps already (a view of the
    // loaded file's buffer).
    static atom* NewAtomKept(DbText name, int32_t id);
    static Prop* NewProp();
    // Room for n more atoms (properties) side by side, made at once.
    static void ReserveAtoms(size_t n);
    static void ReserveProps(size_t n);
    // n slots of a property list, kept until Clear.
    static Prop** PropSlots(size_t n);
    // A copy of s in the string arena, kept until Clear.
    static DbText Keep(std::string_view s);
    // A buffer of n bytes for a file to be read into (big ones on huge
    // pages where the system has them).
    struct BytesDeleter {
        size_t n = 0;
        void operator()(unsigned char* p) const;
    };
    using Bytes = std::unique_ptr<unsigned char[], BytesDeleter>;
    static Bytes NewBytes(size_t n);
    // Keeps a loaded file's bytes until Clear: texts may view them.
    static void KeepBuffer(Bytes bytes);
    // Construct n records in mem (the blocks of the arenas).
    static atom* MakeAtoms(void* mem, size_t n);
    static Prop* MakeProps(void* mem, size_t n);
    static void Clear();
    static void SetPropId(Prop* p, int32_t id) { p->id_ = id; }
    // What a deleted atom leaves in a property that pointed at it.
    static void MakeEmptyString(Prop* p) {
        p->kind_ = 1;
        p->atomVal_ = nullptr;
        p->strVal_ = DbText();
    }
};

// What the binary reader and writer reach inside the records.
class BinAccess {
public:
    // soundex and upper are kept by the database already.
    static void SetDerived(atom& a, int16_t kind, int16_t numVariants, int16_t textIdx,
                           int16_t descrIdx, int16_t level, DbText soundex, DbText upper) {
        a.kind_ = kind;
        a.numVariants = numVariants;
        a.textIdx_ = textIdx;
        a.descrIdx_ = descrIdx;
        a.level_ = level;
        a.soundex_ = soundex;
        a.upper_ = upper;
    }
    // The atom's list made n properties long (its allocation n), to be
    // filled in place by the reader; the slots it gives are the list's.
    static Prop** SetPropList(atom& a, size_t n) {
        a.props_.data_ = n ? Arena::PropSlots(n) : nullptr;
        a.props_.size_ = a.props_.cap_ = static_cast<uint32_t>(n);
        a.propAlloc_ = static_cast<int>(n);
        return a.props_.data_;
    }
        // A property read from the file; str is kept by the database already.
    static void InitKept(Prop& p, int16_t kind, atom* proper, atom* atomVal, DbText str, bool reg) {
        p.Register(reg);
        p.kind_ = kind;
        p.proper_ = proper;
        p.atomVal_ = kind == 1 ? nullptr : atomVal;
        p.strVal_ = kind == 0 ? DbText() : str;
    }
    static void AppendProps(atom& a, const std::vector<Prop*>& ps) {
        a.props_.Reserve(a.props_.size() + ps.size());
        for (Prop* p : ps) a.props_.PushBack(p);
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
