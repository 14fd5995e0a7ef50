// The in-memory name database: the atoms by id, the registered properties,
// the name table sorted by internal name, the well-known kind atoms, the
// language tables and the counters. One instance for the whole program, kept
// as module state like the program's other modules.
//
// Ownership: the database owns every atom and property in arenas for the
// whole run (until the next InitDataBase). A deleted atom leaves the
// "nothing" atom in its slot of atomTab, but its object lives on, since lists
// and properties may still point at it.
//
// Building a database in code (what the database compiler does):
//   DataBase::InitDataBase();
//   atom* a = DataBase::CreateAtom("naAnna");          // or GetAtom with createOnLookup
//   a->AddProp(DataBase::FindOrCreateProp(DataBase::CreateAtom("prText"), nullptr, "Anna", true));
//   ...
//   DataBase::DeriveAll();                              // kind atoms, texts, keys, kinds, counts
//   DataBase::WriteBinFile(path, header);               // BinFile.h
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Atom.h"

namespace DataBase {

// Capacity of the database file: atoms (and names) and registered properties.
constexpr int32_t kFileAtomCapacity = 25001;
constexpr int32_t kFilePropCapacity = 150001;
// Atom ids double as link numbers, and link numbers from 40000 up are help
// marks, so ids handed out at run time stay below this.
constexpr int32_t kAtomIdLimit = 40000;

// The registered properties by id. A loaded file's properties lie side by
// side in the order of their ids: the table names them by their first
// one, not by a pointer each; properties registered later follow singly.
class PropTable {
public:
    Prop* operator[](size_t id) const { return id < arrayN_ ? array_ + id : singles_[id - arrayN_]; }
    size_t size() const { return arrayN_ + singles_.size(); }
    bool empty() const { return size() == 0; }
    Prop* back() const { return (*this)[size() - 1]; }
    void push_back(Prop* p) { singles_.push_back(p); }
    // n properties side by side from first; on an empty table only (else
    // they are entered singly).
    void AppendArray(Prop* first, size_t n) {
        if (empty() && n > 0) {
            array_ = first;
            arrayN_ = n;
            return;
        }
        for (size_t i = 0; i < n; ++i) singles_.push_back(first + i);
    }
    void clear() {
        array_ = nullptr;
        arrayN_ = 0;
        singles_.clear();
    }

    class const_iterator {
    public:
        using value_type = Prop*;
        using difference_type = std::ptrdiff_t;
        const_iterator() = default;
        const_iterator(const PropTable* t, size_t i) : t_(t), i_(i) {}
        Prop* operator*() const { return (*t_)[i_]; }
        const_iterator& operator++() {
            ++i_;
            return *this;
        }
        const_iterator operator++(int) {
            const_iterator old = *this;
            ++i_;
            return old;
        }
        bool operator==(const const_iterator& o) const { return i_ == o.i_; }

    private:
        const PropTable* t_ = nullptr;
        size_t i_ = 0;
    };
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

private:
    Prop* array_ = nullptr;
    size_t arrayN_ = 0;
    std::vector<Prop*> singles_;
};

// The memory of the tables below: while a file loads, from the memory the
// load takes in one piece for its records (see DbArena.cpp), else from the
// heap.
void* TableBytes(size_t n);
void FreeTableBytes(void* p, size_t n);
template <class T>
struct TableAllocator {
    using value_type = T;
    TableAllocator() = default;
    template <class U>
    TableAllocator(const TableAllocator<U>&) {}
    T* allocate(size_t n) { return static_cast<T*>(TableBytes(n * sizeof(T))); }
    void deallocate(T* p, size_t n) { FreeTableBytes(p, n * sizeof(T)); }
    template <class U>
    bool operator==(const TableAllocator<U>&) const { return true; }
};
template <class T>
using Table = std::vector<T, TableAllocator<T>>;

// --- tables (read them; only DataBase and its reader change them) -----------
extern Table<atom*> atomTab;             // by id, numAtoms entries
extern int32_t numAtoms;                 // ids handed out; never lowered
extern PropTable propTab;               // registered properties by id
extern int32_t numProps;
extern Table<DbText> stringTab;          // internal names, ascending without case
extern Table<int32_t> idTab;             // id of the name at the same index
extern int32_t numStrings;
extern int32_t nextId;
extern atom* nothingAtom;                // "nothing", id 0, never in the name tables
extern bool createOnLookup;              // GetAtom creates unknown names (text reader)
extern bool loading;                     // the binary file is being read

// --- language tables (built on the first FillLangCombo) ------------------------
extern std::vector<atom*> langTab;       // all languages, sorted by Text
extern std::vector<std::string> langAbbrev;
extern std::vector<bool> langIsCur, langIsMainOrig, langIsMainCur;
extern int numLangs;
extern std::vector<atom*> subLangs;      // result of CollectLangFamily
extern int numSubLangs;

// --- counters (CountKinds) -------------------------------------------------------
extern int32_t numAllNames, numAllMale, numAllFemale;
extern int32_t numAllGenNames, numAllMaleGen, numAllFemaleGen;

// --- the 75 kind atoms, found by name by InitPropKinds ("nothing" when missing)
#define DATABASE_KIND_ATOMS(X)                                                        \
    X(prText) X(prTextE) X(prDescr) X(prDescrE) X(prGenName) X(prNameVariant)         \
    X(prMemberOf) X(prMember) X(prSubsetOf) X(prSubset) X(seMaleNames)                \
    X(seFemaleNames) X(prLang) X(prOrigin) X(prOrigInfo) X(prOrigInfoE)               \
    X(prRelatedTo) X(seWords) X(prGerman) X(prEnglish) X(seLanguages)                 \
    X(seCurLanguages) X(seOrigNames) X(seOrigins) X(prLangOf) X(prOriginOf)           \
    X(prMaleOf) X(prFemaleOf) X(seRealms) X(prTranslation) X(prTranslationE)          \
    X(prAbbrev) X(prAbbrevE) X(prWriteVarOf) X(prDedicDay) X(prDedicMonth)            \
    X(prNationality) X(prProfession) X(prBirthYear) X(prDeathYear) X(prFarmersRule)   \
    X(sePopularities) X(prSaint) X(seSaints) X(prSaintOf) X(prLevel) X(prComment)     \
    X(prCommentE) X(prShortOf) X(prShort) X(prDimNameOf) X(seUserNames)               \
    X(seGenNames) X(seMainOrigLang) X(seMainCurLang) X(prWriteVar) X(prDimName)       \
    X(prQuestion) X(prAnswer) X(seQuestions) X(seEnglishQuestions) X(prFilePos)       \
    X(prPop) X(sePopSeries) X(prFromYear) X(prYears) X(prSource) X(psDeYearly)        \
    X(psChGermanYearly) X(psAtYearly) X(psUsYearly) X(prNotInherited) X(laGerman)     \
    X(laEnglish) X(seLinks)

#define DATABASE_DECLARE_KIND_ATOM(n) extern atom* n;
DATABASE_KIND_ATOMS(DATABASE_DECLARE_KIND_ATOM)
#undef DATABASE_DECLARE_KIND_ATOM

// The internal names of the kind atoms, in lookup order (75 entries).
const std::vector<std::string>& KindAtomNames();

// --- set-up -----------------------------------------------------------------------
// Empties every table (freeing the previous arenas), creates the "nothing"
// atom and sets every kind atom to it.
void InitDataBase();
// Looks up the 75 kind atoms by name.
void InitPropKinds();

// --- lookups and names ----------------------------------------------------------
// The atom at this id; "nothing" for an id outside the table.
atom* AtomById(long long id);
// The atom of this internal name (without case). Unknown names give
// "nothing", or a new atom while createOnLookup is set (an empty name and a
// full table still give "nothing").
atom* GetAtom(std::string_view name);
// A new atom for a name not yet in the table; for a name already there its
// existing atom. "nothing" when the run-time id limit is reached.
atom* CreateAtom(std::string_view name);
// Finds the name or inserts it at its sorted place with id = nextId.
// Returns the id; found tells which happened. -1 when the table is full.
int32_t AddString(std::string_view name, bool& found);
// Binary search; pos is the name's index, or the insertion index.
bool FindString(std::string_view name, int32_t& pos);
// While one lives, names that AddString and CreateAtom add wait beside the
// table (GetAtom, CreateAtom and AddString still find them) and join it in
// one merge when the last one ends, or when FindString or DeleteAtom needs
// the table whole. The ids and the table come out as without it; only the
// time differs (no insert moving the table's tail per name). Code that reads
// stringTab, idTab or numStrings directly must not run inside one.
class NameBatch {
public:
    NameBatch();
    ~NameBatch();
    NameBatch(const NameBatch&) = delete;
    NameBatch& operator=(const NameBatch&) = delete;
};
// Removes an atom from the name table (see DataBase.cpp for the rules).
void DeleteAtom(atom* a);
// What an atom held by a list, a history or a favorite stands for now: the
// atom itself while the table holds it; for one deleted since (its object
// lives on), the atom its internal name has now (a changed new name is made
// again under its internal names), else "nothing". Null gives "nothing".
atom* LiveAtom(atom* a);
// Compares internal names without case (cp1252 letters folded): <0, 0, >0.
int CompareNames(std::string_view a, std::string_view b);

// --- properties ---------------------------------------------------------------------
// A new property owned by the database, not initialised yet (kind 0, id -1).
Prop* NewProp();
// An equal registered property among the newest 100, or a new one.
Prop* FindOrCreateProp(atom* proper, atom* atomVal, std::string_view strVal, bool reg);

// --- derivations (ids from startId to numAtoms - 1) -----------------------------
void CompleteAtoms(int32_t startId);
void EvalKinds(int32_t startId);
void CountVariants(int32_t startId);
void AddLangOfProps(int32_t startId);
void CountKinds();
// Everything the database file stores precomputed, for every atom:
// InitPropKinds, CompleteAtoms(0), EvalKinds(0), CountVariants(0), CountKinds.
void DeriveAll();

// --- languages --------------------------------------------------------------------------
struct LangComboItem {
    std::string text;
    int itemData = 0;  // index in langTab
};
// The entries of a language chooser: "(undefined)" when asked, the main
// languages (of origin or of use), the separator, then all languages.
std::vector<LangComboItem> FillLangCombo(bool mainOrig, bool withUndefined);
// langTab(itemData); "nothing" when there is no such language.
atom* GetComboLang(int itemData);
std::string GetAbbrev(const atom* lang);
// subLangs = the language's family: sub-languages (deepest first), the
// language itself last; each language once, cycles cut.
void CollectLangFamily(atom* lang);
void CollectSubLangs(atom* lang);

// --- sorting and strings -----------------------------------------------------------------
// Stable sorts of arr[0 .. n-1] by Text or by sortKey, compared as
// CompareText does: atoms with equal keys keep their order.
void SortAtomsByText(std::vector<atom*>& arr, int n);
void SortAtomsBySortKey(std::vector<atom*>& arr, int n);
// Splits s at sep (without case): left before it, right after the one
// character at its position. Absent: left = s, right = "".
void SplitAt(const std::string& sep, const std::string& s, std::string& left, std::string& right);
// Returns the part before the first comma and leaves the rest in s. Without
// a comma: returns s and leaves "".
std::string SplitFirstComma(std::string& s);

// --- internal names for new atoms ---------------------------------------------------
// The identifier part of an internal name made from a display text: only
// A-Z, a-z and 0-9, never empty (see DataBase.cpp).
std::string MakeAtomIdent(const std::string& text);
// prefix + MakeAtomIdent(text) + suffix, with a number 2, 3, ... after the
// identifier when that name is already taken.
std::string MakeUniqueAtomName(const std::string& prefix, const std::string& text,
                               const std::string& suffix);

// Locale-free text comparison without case (accents count only when the
// letters are otherwise equal); used by the sorts.
int CompareText(std::string_view a, std::string_view b);
// The same order on the texts read backwards (last character first).
int CompareTextReversed(std::string_view a, std::string_view b);

}  // namespace DataBase
