// Internals shared by the database's own sources (DataBase.cpp, DbArena.cpp,
// Atom.cpp, NameTable.cpp, BinFileRead.cpp, BinFileWrite.cpp); nothing
// outside database/ includes this.
#pragma once

#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <string_view>

#include "Atom.h"
#include "FileOp.h"

namespace DataBase {

// The longest string the database file holds (a name, a text, a header).
constexpr int kMaxString = 1000;

// The arenas: the only places atoms and properties are created.
class Arena {
public:
    // A new atom; its name is kept (copied among the database's texts).
    static atom* NewAtom(std::string_view name, int32_t id);
    // A new atom whose name the database keeps already (a text of its arena).
    static atom* NewAtomKept(DbText name, int32_t id);
    static Prop* NewProp();
    // Memory for n records side by side, counted as used, not yet made: the
    // reader of a file constructs each in place (BinAccess::MakeAtom,
    // MakeProp) as it reads them.
    static atom* TakeAtoms(size_t n);
    static Prop* TakeProps(size_t n);
    // n slots of a property list, kept until Clear.
    static Prop** PropSlots(size_t n);
    // Room for at least n slots side by side, for a reader that hands them
    // out itself and then takes as many with PropSlots.
    static Prop** SlotRoom(size_t n, size_t& left);
    // A copy of s among the database's texts, kept until Clear.
    static DbText Keep(std::string_view s);
    // A file's load: room for `texts` bytes of texts side by side (the
    // file's length: its texts are never longer), and the memory for
    // `records` bytes of the blocks TakeAtoms, TakeProps and SlotRoom give
    // and of the tables, taken in one piece (see DbArena.cpp); EndLoad gives
    // back what they did not fill.
    static void BeginLoad(size_t texts, size_t records);
    // The load's texts are all kept: its room for texts past them is given
    // back now (a text kept later still finds it, in fresh pages).
    static void TextsDone();
    // The memory of the load's records handed out so far, [from, to): the
    // load writes all of it (null, null outside a load).
    static void LoadHanded(const char*& from, const char*& to);
    static void EndLoad();
    // The room left after the texts, for a writer that copies many texts in
    // a row; TextsUsed(n) counts the first n bytes of it as texts. No other
    // text may be kept in between.
    static char* TextRoom(size_t& left);
    static void TextsUsed(size_t n);
    // Construct a record in mem (the blocks of the arenas).
    static atom* MakeAtom(void* mem);
    static Prop* MakeProp(void* mem);
    static void Clear();
    // The callers' free texts of the atom with this id (0 its sort key, 1 its
    // reason); ClearFreeTexts empties both.
    static std::string& FreeText(int which, int32_t id);
    static const std::string& FreeTextOrEmpty(int which, int32_t id);
    static void ClearFreeTexts(int32_t id);
    static void SetPropId(Prop* p, int32_t id) { p->id_ = id; }
    // The slot of a kind atom (see Prop::proper), given it when it has none
    // yet; 0 for none (null).
    static uint16_t KindSlot(atom* a) { return a && a->kindSlot_ ? a->kindSlot_ : NewKindSlot(a); }
    static uint16_t NewKindSlot(atom* a);
    // What a deleted atom leaves in a property that pointed at it.
    static void MakeEmptyString(Prop* p) {
        p->kind_ = 1;
        p->atomVal_ = Prop::kNoAtom;
        p->SetStr(DbText());
    }
};

// What the binary reader and writer reach inside the records.
class BinAccess {
public:
    // soundex and upper are kept by the database already (side by side, as
    // the reader keeps them, for no further copy).
    static void SetDerived(atom& a, int16_t kind, int16_t numVariants, int16_t textIdx,
                           int16_t descrIdx, int16_t level, DbText soundex, DbText upper) {
        a.kind_ = kind;
        a.numVariants = numVariants;
        a.textIdx_ = textIdx;
        a.descrIdx_ = descrIdx;
        a.level_ = level;
        a.SetKeys(soundex, upper);
    }
    // The atom's list made n properties long (its allocation n), to be
    // filled in place by the reader; the slots it gives are the list's.
    static Prop** SetPropList(atom& a, size_t n) { return SetPropList(a, n, n ? Arena::PropSlots(n) : nullptr); }
    // The same in slots the caller has taken.
    static Prop** SetPropList(atom& a, size_t n, Prop** slots) {
        a.props_.data_ = n ? slots : nullptr;
        a.props_.size_ = a.props_.cap_ = static_cast<uint32_t>(n);
        a.propAlloc_ = static_cast<int>(n);
        return a.props_.data_;
    }
    // An atom read from a file, made in mem; its texts are kept by the
    // database already.
    static atom* MakeAtom(void* mem, DbText name, int32_t id, int16_t kind, int16_t numVariants,
                          int16_t textIdx, int16_t descrIdx, int16_t level, DbText soundex, DbText upper) {
        atom* a = new (mem) atom;  // every field has its initialiser: no zeroing first
        a->SetName(name);
        a->id_ = id;
        SetDerived(*a, kind, numVariants, textIdx, descrIdx, level, soundex, upper);
        return a;
    }
    // A property read from a file, made in mem with the given id (the
    // caller enters it in the property table).
    // atomValId: the id of its atom value (a file's atom), -1 none.
    static Prop* MakeProp(void* mem, int16_t kind, atom* proper, int32_t atomValId, DbText str, int32_t id) {
        Prop* p = new (mem) Prop;
        p->kind_ = kind;
        p->properSlot_ = Arena::KindSlot(proper);
        p->atomVal_ = kind == 1 ? Prop::kNoAtom : static_cast<uint16_t>(atomValId);
        if (kind != 0) p->SetStr(str);
        p->id_ = id;
        return p;
    }
    // A property read from the file; str is kept by the database already.
    static void InitKept(Prop& p, int16_t kind, atom* proper, atom* atomVal, DbText str, bool reg) {
        p.Register(reg);
        p.kind_ = kind;
        p.properSlot_ = Arena::KindSlot(proper);
        p.SetAtomRef(kind == 1 ? nullptr : atomVal);
        p.SetStr(kind == 0 ? DbText() : str);
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

// The name table's own lookups (NameTable.cpp), for CreateAtom, GetAtom and
// InitDataBase: the sorted table alone (pos as FindString gives it); find or
// add a name, kept then being its stored spelling when it was added; the id
// of a name waiting in an open NameBatch, -1 when none; and the waiting
// names dropped (their texts are about to be freed).
bool FindInTable(std::string_view name, int32_t& pos);
int32_t AddName(std::string_view name, bool& found, DbText* kept);
int32_t FindPending(std::string_view name);
void DropPendingNames();
// Closes the database file held open for the on-demand blocks (BinFileRead.cpp).
void ForgetLoadedFile();

}  // namespace DataBase
