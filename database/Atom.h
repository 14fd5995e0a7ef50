// The records of the name database: `atom` (everything the program knows is
// one: names, groups, languages, words, saints, hit parades, property kinds,
// sets, ...) and `Prop` (one statement about an atom: a property-kind atom
// plus an atom value, a string value or both).
//
// Ownership: the database (DataBase.h) owns every atom and every property for
// the whole run; they are created only through DataBase (CreateAtom, GetAtom,
// NewProp, FindOrCreateProp). Everything else, including the records
// themselves, holds plain non-owning pointers. Property objects are shared:
// one Prop may sit in the lists of several atoms and in the property table.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "Basic.h"
#include "DbText.h"

class atom;

namespace DataBase {
class Arena;
class BinAccess;
// The atoms that properties have as their kind, by the slot a property names
// its kind by (slot 0: none, a property not initialised yet).
extern atom* const* propKinds;
// The database's texts: atoms and properties name their texts by the offset
// from textBase, below textSpan (see DbArena.cpp).
extern const char* textBase;
extern size_t textSpan;
// The offset of s when the database keeps it (false: s lies elsewhere).
inline bool KeptOffset(std::string_view s, uint32_t& off) {
    const auto d = reinterpret_cast<uintptr_t>(s.data()) - reinterpret_cast<uintptr_t>(textBase);
    off = static_cast<uint32_t>(d);
    return d < textSpan;
}
}

class Prop {
public:
    // 0 the property has an atom value, 1 a string value, 2 both. Writing any
    // other value raises the assertion "prop kind" and stores it all the same.
    int16_t kind() const { return kind_; }
    void setKind(int16_t k);

    // The property-kind atom (a "pr" atom such as prLang).
    atom* proper() const { return DataBase::propKinds[properSlot_]; }
    // Index in the property table; -1 when the property is not registered.
    int32_t id() const { return id_; }

    // Kept by the database until the next InitDataBase (see DbText.h).
    DbText strVal() const {
        const char* at = DataBase::textBase + textOff_;
        return DbText(std::string_view(at, len_ != kLongText ? len_ : LongLength(at)));
    }
    // Raises "prop strVal" when the kind has no string value (stores anyway).
    void setStrVal(std::string_view s);

    // The atom value; never null once the database exists: a property
    // without an atom value answers the "nothing" atom.
    atom* atomVal() const;
    // Raises "prop atomVal" when the kind has no atom value (stores anyway).
    void setAtomVal(atom* a);

    // The three initialisers. With reg True the property is registered first:
    // it gets the next id of the property table and is stored there.
    void InitAtom(atom* proper, atom* atomVal, bool reg);
    void InitStr(atom* proper, std::string_view strVal, bool reg);
    void InitAtomAndStr(atom* proper, atom* atomVal, std::string_view strVal, bool reg);

    // Same kind atom, then by this property's own kind: 0 the same atom value
    // (identity), 1 the same string (with case), 2 both.
    bool Same(const atom* proper, const atom* atomVal, std::string_view strVal) const;

private:
    Prop() = default;
    void Register(bool reg);
    // The atom value by its id (none: the "nothing" atom), the string by
    // its bytes, which the database keeps.
    void SetAtomRef(const atom* a);
    void SetStr(DbText s) {
        uint32_t off = 0;
        if (s.empty() || s.size() >= kLongText || !DataBase::KeptOffset(s, off)) return SetOtherStr(s);
        textOff_ = off;
        len_ = static_cast<uint16_t>(s.size());
    }
    // An empty text, a text of 64 KB or more (kept with its length in front,
    // as no text of a file is), or one kept elsewhere (kept again).
    void SetOtherStr(DbText s);
    static size_t LongLength(const char* text);
    static constexpr uint16_t kLongText = UINT16_MAX;
    static constexpr uint16_t kNoAtom = UINT16_MAX;
    friend class DataBase::Arena;
    friend class DataBase::BinAccess;
    friend class atom;  // finds properties of a kind by slot

    // 16 bytes: a full-size file makes 150,000 of them. The string is kept
    // by its offset among the database's texts and its length, the atom
    // value by its id (atom ids never change while an atom exists, and stay
    // below kAtomIdLimit), the kind atom by its slot among the kind atoms
    // (there are never more atoms than a slot can number).
    uint32_t textOff_ = 0;
    int32_t id_ = -1;
    uint16_t len_ = 0;
    int16_t kind_ = 0;
    uint16_t properSlot_ = 0;
    uint16_t atomVal_ = kNoAtom;
};

// An atom's property list: pointers in storage the database owns, read like
// a const std::vector<Prop*> (and copied into one where one is wanted). A
// property added may move the list (never the properties): do not hold its
// iterators across AddProp.
class PropList {
public:
    using value_type = Prop*;
    using size_type = size_t;
    using const_iterator = Prop* const*;
    using iterator = const_iterator;

    const_iterator begin() const { return data_; }
    const_iterator end() const { return data_ + size_; }
    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    Prop* operator[](size_t i) const { return data_[i]; }
    Prop* at(size_t i) const;
    Prop* front() const { return data_[0]; }
    Prop* back() const { return data_[size_ - 1]; }
    Prop* const* data() const { return data_; }
    operator std::vector<Prop*>() const { return std::vector<Prop*>(begin(), end()); }

private:
    friend class atom;
    friend class DataBase::BinAccess;
    // Room for at least n pointers (the list moves when it needs more).
    void Reserve(size_t n);
    void PushBack(Prop* p);
    Prop** data_ = nullptr;
    uint32_t size_ = 0;
    uint32_t cap_ = 0;
};

class atom {
public:
    // --- identity and cached derivations (read only) -------------------------
    // The texts are kept by the database until the next InitDataBase (see
    // DbText.h): copy one (std::string(a->name())) to keep it longer.
    DbText name() const { return DbText(std::string_view(DataBase::textBase + nameOff_, nameLen_)); }
    int32_t id() const { return id_; }
    int NumProp() const { return static_cast<int>(props_.size()); }
    int propAlloc() const { return propAlloc_; }
    // 0 male name, 1 female name, 2 male group, 3 female group, 4 old form,
    // 5 origin entry, 6 topic, 7 word, 8 language, 9 saint, 10 hit parade,
    // 11 hit-parade series, 12 link, 99 other; 31999 not evaluated.
    int16_t kind() const { return kind_; }
    int16_t Level() const { return level_; }
    int16_t textIdx() const { return textIdx_; }
    int16_t descrIdx() const { return descrIdx_; }
    DbText Soundex() const { return DbText(std::string_view(DataBase::textBase + keysOff_, soundexLen_)); }
    DbText Uppercase() const {
        return DbText(std::string_view(DataBase::textBase + keysOff_ + soundexLen_, upperLen_));
    }

    // --- free fields of the callers -----------------------------------------
    // The key set before sorting atoms by it, and a search hit's reason.
    // Few atoms ever get either, so they live beside the atoms, by id, not
    // in every atom; a reference stays valid until the next InitDataBase.
    std::string& sortKey();
    const std::string& sortKey() const;
    std::string& reason();
    const std::string& reason() const;
    int32_t Mark = 0;           // mark of an operation over several lists
    int32_t markIndex = 0;      // companion index of that mark
    int16_t numVariants = Basic::kNone;  // groups: number of prNameVariant

    // --- texts ----------------------------------------------------------------
    // The display text: the string of the text property, "(" name ")" when
    // there is none or its index lies beyond the properties loaded so far.
    std::string Text() const;
    // The text property's string where the database keeps it (Text() without
    // a copy); false when Text() would be made of the name.
    bool TextInPlace(std::string_view& text) const {
        if (textIdx_ < 0 || textIdx_ >= NumProp()) return false;
        text = props_[textIdx_]->strVal();
        return true;
    }
    // The short description, "(" Text ")" when there is none.
    std::string Descr() const;

    // The entry of the options colour table for this kind, -1 for black.
    int ColorEntry() const;
    // The colour (red in the lowest byte) from the given colour table.
    uint32_t Color(std::span<const uint32_t> optColor) const;
    bool bold() const { return kind_ == 2 || kind_ == 3; }
    bool isName() const { return kind_ == 0 || kind_ == 1; }
    bool isGenName() const { return kind_ == 2 || kind_ == 3; }
    bool shown() const { return props_.size() > 1; }
    // The first prLang's language is English (english True) or German, by
    // the name of that language in the current text language.
    bool IsLang(bool english) const;
    bool isOptionsLang() const;

    // --- properties -------------------------------------------------------------
    const PropList& props() const { return props_; }
    void AddProp(Prop* p);
    void SetPropAlloc(int n);
    // props(i); an index not below NumProp raises "MaxProp" and gives null.
    Prop* GetProp(int i) const;
    void DelAllProp();
    bool HasProp(const atom* kindAtom, const atom* value) const;
    // The first property of this kind, null when none (does not move the
    // iteration cursor).
    Prop* FirstProp(const atom* kindAtom) const;
    // The number of properties of this kind.
    int CountProps(const atom* kindAtom) const;
    void CopyAllProp(const atom& other);

    // The iteration with the atom's one cursor: found is the return value; p
    // keeps the last property examined. Never nest two iterations over the
    // same atom.
    bool GetFirstProp(const atom* kindAtom, Prop*& p);
    bool GetNextProp(const atom* kindAtom, Prop*& p);
    int getPos() const { return cursor_ - 1; }
    void setPos(int v) { cursor_ = v + 1; }

    // --- derivations --------------------------------------------------------------
    void SetTextAndDescr();
    void Complete();
    void EvalKind0();
    void EvalKind1();

    // --- on-demand data of the database file -------------------------------------
    // The internal name begins with "po": most properties stay in the file.
    bool LoadedOnDemand() const;
    // found = a prFilePos property exists; pos = its value.
    bool GetFilePos(int32_t& pos) const;
    // Appends prFilePos "-1" as the third property of a "po" atom read from a
    // text file.
    void CreateFilePosProp();
    // Reads the rest of a "po" atom's properties from the database file (see
    // BinFile.h for the status it gives back).
    bool LoadOnDemand();

private:
    atom() = default;
    void Init(DbText name, int32_t id);
    // Whether a property has kindAtom as its kind: the slots compared. A
    // kind atom without a slot is no property's kind.
    static bool OfKind(const Prop* p, const atom* kindAtom) {
        return kindAtom ? kindAtom->kindSlot_ != 0 && p->properSlot_ == kindAtom->kindSlot_ : p->properSlot_ == 0;
    }
    // The name kept (copied when the database does not keep it yet), and
    // the keys: side by side already (as the reader of the database file
    // keeps them), or copied so.
    void SetName(DbText name);
    void SetKeys(DbText soundex, DbText upper);
    friend class DataBase::Arena;
    friend class DataBase::BinAccess;

    // Ordered so that the small fields fill the gaps (64 bytes): the load
    // makes one atom per name. Its texts are kept by their offsets among the
    // database's texts and their lengths, the two keys side by side (a key
    // is as long as a text at most, which the readers keep to 1000
    // characters: far below 64 KB).
    int16_t textIdx_ = Basic::kNone;
    int16_t descrIdx_ = Basic::kNone;
    int16_t kind_ = Basic::kNone;
    int16_t level_ = 0;
    // Its slot among the kind atoms once a property has it as its kind (0
    // before; see Prop::proper).
    uint16_t kindSlot_ = 0;
    int32_t id_ = 0;
    int propAlloc_ = 0;
    int cursor_ = 0;
    uint32_t nameOff_ = 0;
    uint32_t keysOff_ = 0;  // Soundex, then Uppercase
    PropList props_;
    uint32_t nameLen_ = 0;
    uint16_t soundexLen_ = 0;
    uint16_t upperLen_ = 0;
};
