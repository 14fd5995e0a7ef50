#include "DataBase.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <type_traits>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#ifdef __linux__
#include <sys/mman.h>
#include <unistd.h>
#endif
#include <memory>

#include "Basic.h"
#include "BinFile.h"
#include "DbInternal.h"
#include "Errors.h"
#include "FlexString.h"
#include "Parser.h"
#include "Services.h"
#include "TextConstants.h"

using Basic::kNone;
using Errors::Assert;

namespace DataBase {

std::vector<atom*> atomTab;
int32_t numAtoms = 0;
PropTable propTab;
int32_t numProps = 0;
std::vector<DbText> stringTab;
std::vector<int32_t> idTab;
int32_t numStrings = 0;
int32_t nextId = 0;
atom* nothingAtom = nullptr;
bool createOnLookup = false;
bool loading = false;

std::vector<atom*> langTab;
std::vector<std::string> langAbbrev;
std::vector<bool> langIsCur, langIsMainOrig, langIsMainCur;
int numLangs = 0;
std::vector<atom*> subLangs;
int numSubLangs = 0;

int32_t numAllNames = 0, numAllMale = 0, numAllFemale = 0;
int32_t numAllGenNames = 0, numAllMaleGen = 0, numAllFemaleGen = 0;

#define DATABASE_DEFINE_KIND_ATOM(n) atom* n = nullptr;
DATABASE_KIND_ATOMS(DATABASE_DEFINE_KIND_ATOM)
#undef DATABASE_DEFINE_KIND_ATOM

namespace {

// Memory of the database's big blocks (the loaded file, its atoms and
// properties): on Linux mapped with transparent huge pages asked for, which
// spares a new process most of the page faults of a full-size load; small
// blocks come from the heap.
constexpr size_t kBigBlock = size_t{2} << 20;

#ifdef __linux__
// The big mappings of the database emptied last, kept for the next load (a
// reload, a verification after a write): it takes them over instead of
// faulting in fresh pages. At most one database's worth.
struct Mapping {
    void* p;
    size_t n;
};
// The arenas give their blocks back here when they go at exit: each makes
// sure of this list before it is made itself, so that the list, made first,
// goes last.
std::vector<Mapping>& SpareMappings() {
    static std::vector<Mapping> spare;
    return spare;
}
constexpr size_t kMaxSpare = 8;
// Mappings are whole pages: a spare one is cut to size at a page boundary.
size_t WholePages(size_t n) {
    static const size_t page = static_cast<size_t>(::sysconf(_SC_PAGESIZE));
    return (n + page - 1) / page * page;
}
#endif

void* AllocBytes(size_t n) {
#ifdef __linux__
    if (n >= kBigBlock) {
        n = WholePages(n);
        // The smallest spare mapping that fits and is not more than twice
        // the size asked for.
        auto& spare = SpareMappings();
        auto best = spare.end();
        for (auto it = spare.begin(); it != spare.end(); ++it)
            if (it->n >= n && it->n <= 2 * n && (best == spare.end() || it->n < best->n)) best = it;
        if (best != spare.end()) {
            void* p = best->p;
            if (best->n > n) ::munmap(static_cast<char*>(p) + n, best->n - n);
            spare.erase(best);
            return p;
        }
        void* p = ::mmap(nullptr, n, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p == MAP_FAILED) throw std::bad_alloc();
        ::madvise(p, n, MADV_HUGEPAGE);  // a hint: without it the pages are ordinary ones
        return p;
    }
#endif
    return ::operator new(n);
}

void FreeBytes(void* p, size_t n) {
    if (!p) return;
#ifdef __linux__
    if (n >= kBigBlock) {
        n = WholePages(n);
        auto& spare = SpareMappings();
        if (spare.size() < kMaxSpare) {
            spare.push_back({p, n});
            return;
        }
        ::munmap(p, n);
        return;
    }
#endif
    ::operator delete(p);
}

// The arenas hand out records from blocks, so that a full-size load makes a
// few dozen allocations for its 175,000 records instead of one each. A
// record is made when it is handed out (make constructs one in the memory
// given: the records' constructors are the arena's to call), so a block's
// pages are touched only as far as it is used. The records own nothing:
// a block goes without a destructor call per record.
template <class T, size_t kBlock>
class Blocks {
    static_assert(std::is_trivially_destructible_v<T>, "records are dropped with their block");

public:
    using Make = T* (*)(void*);
    T* New(Make make) {
        if (used_ == size_ || blocks_.empty()) Open(kBlock);
        return make(&blocks_.back().records[used_++]);
    }
    // The next n records side by side: a block of their size when the one
    // in use has no room for them (a file's atoms or properties, counted
    // before they are read).
    void Reserve(size_t n) {
        if (blocks_.empty() || size_ - used_ < n) Open(std::max(n, kBlock));
    }
    T* Take(size_t n) {
        Reserve(n);
        T* at = blocks_.back().records + used_;
        used_ += n;
        return at;
    }
    void Clear() {
        blocks_.clear();
        used_ = size_ = 0;
    }

private:
    struct Block {
        T* records = nullptr;
        size_t n = 0;
        explicit Block(size_t count) : records(static_cast<T*>(AllocBytes(count * sizeof(T)))), n(count) {}
        Block(Block&& o) noexcept : records(std::exchange(o.records, nullptr)), n(std::exchange(o.n, 0)) {}
        Block(const Block&) = delete;
        ~Block() {
            if (records) FreeBytes(records, n * sizeof(T));
        }
    };
    void Open(size_t n) {
        blocks_.emplace_back(n);
        used_ = 0;
        size_ = n;
    }
    std::vector<Block> blocks_;
    size_t used_ = 0;
    size_t size_ = 0;
};

// The arenas are made after the spare mappings (see SpareMappings).
void SpareMappingsFirst() {
#ifdef __linux__
    SpareMappings();
#endif
}

Blocks<atom, 1024>& AtomArena() {
    static Blocks<atom, 1024> arena = (SpareMappingsFirst(), Blocks<atom, 1024>());
    return arena;
}

Blocks<Prop, 4096>& PropArena() {
    static Blocks<Prop, 4096> arena = (SpareMappingsFirst(), Blocks<Prop, 4096>());
    return arena;
}

// The texts of the database: copies side by side in chunks that never move.
class TextArena {
public:
    TextArena() = default;
    TextArena(const TextArena&) = delete;
    ~TextArena() { Clear(); }
    DbText Keep(std::string_view s) {
        if (s.empty()) return {};
        if (left_ < s.size()) {
            if (s.size() > kChunk / 4) {
                // A long text gets a chunk of its own; the current one stays open.
                char* big = Open(s.size());
                std::memcpy(big, s.data(), s.size());
                return DbText(std::string_view(big, s.size()));
            }
            Take(kChunk);
        }
        char* at = next_;
        std::memcpy(at, s.data(), s.size());
        next_ += s.size();
        left_ -= s.size();
        return DbText(std::string_view(at, s.size()));
    }
    // Room for n bytes of texts in one chunk (a file's, counted before it is
    // read); only the pages the texts fill are ever touched.
    void Reserve(size_t n) {
        if (left_ < n) Take(n);
    }
    char* Room(size_t& left) const {
        left = left_;
        return next_;
    }
    void Used(size_t n) {
        n = std::min(n, left_);
        next_ += n;
        left_ -= n;
    }
    // Gives back the pages of the current chunk past its texts: a chunk
    // reserved for a file is as long as the file, its texts are shorter.
    void Trim() {
#ifdef __linux__
        if (chunks_.empty() || chunks_.back().n < kBigBlock) return;
        static const auto page = static_cast<uintptr_t>(::sysconf(_SC_PAGESIZE));
        const auto from = (reinterpret_cast<uintptr_t>(next_) + page - 1) / page * page;
        const auto to = reinterpret_cast<uintptr_t>(next_ + left_) / page * page;
        if (to > from) ::madvise(reinterpret_cast<void*>(from), to - from, MADV_DONTNEED);
#endif
    }
    void Clear() {
        for (const Chunk& c : chunks_) FreeBytes(c.p, c.n);
        chunks_.clear();
        next_ = nullptr;
        left_ = 0;
    }

private:
    static constexpr size_t kChunk = 64 * 1024;
    struct Chunk {
        char* p;
        size_t n;
    };
    char* Open(size_t n) {
        chunks_.reserve(chunks_.size() + 1);
        auto* p = static_cast<char*>(AllocBytes(n));
        chunks_.push_back({p, n});
        return p;
    }
    void Take(size_t n) {
        next_ = Open(n);
        left_ = n;
    }
    std::vector<Chunk> chunks_;
    char* next_ = nullptr;
    size_t left_ = 0;
};

TextArena& Texts() {
    static TextArena arena = (SpareMappingsFirst(), TextArena());
    return arena;
}

// The property lists' pointers, side by side in chunks that never move; a
// list that grows takes new slots and leaves its old ones until Clear.
class SlotArena {
public:
    Prop** Take(size_t n) {
        if (left_ < n) {
            if (n > kChunk / 4) return chunks_.emplace_back(new Prop*[n]).get();
            Open(kChunk);
        }
        Prop** at = current_;
        current_ += n;
        left_ -= n;
        return at;
    }
    // Room for n slots side by side (a file's lists, before they are read).
    void Reserve(size_t n) {
        if (left_ < n) Open(n);
    }
    Prop** Room(size_t& left) const {
        left = left_;
        return current_;
    }
    void Clear() {
        chunks_.clear();
        current_ = nullptr;
        left_ = 0;
    }

private:
    void Open(size_t n) {
        current_ = chunks_.emplace_back(new Prop*[n]).get();  // not touched until used
        left_ = n;
    }
    static constexpr size_t kChunk = 16 * 1024;
    std::vector<std::unique_ptr<Prop*[]>> chunks_;
    Prop** current_ = nullptr;
    size_t left_ = 0;
};

SlotArena& Slots() {
    static SlotArena arena;
    return arena;
}

// The atoms' sort keys and reasons by atom id, in blocks made when an id in
// them is first asked for. Growing never moves the texts already there, so
// that "a->reason() = b->reason()" stays sound when a's id is the larger; and
// a first key given to a high id (the saints, say, at the end of the
// database) does not make an empty text for every id below it.
class FreeTextTable {
public:
    std::string& At(size_t at) {
        const size_t b = at >> kShift;
        if (b >= blocks_.size()) blocks_.resize(b + 1);
        std::unique_ptr<std::string[]>& block = blocks_[b];
        if (!block) block = std::make_unique<std::string[]>(kBlock);
        return block[at & (kBlock - 1)];
    }
    // The text at this id; nullptr when none was ever asked for in its block.
    std::string* Find(size_t at) const {
        const size_t b = at >> kShift;
        return b < blocks_.size() && blocks_[b] ? &blocks_[b][at & (kBlock - 1)] : nullptr;
    }
    void clear() { blocks_.clear(); }

private:
    static constexpr size_t kShift = 10, kBlock = size_t{1} << kShift;
    std::vector<std::unique_ptr<std::string[]>> blocks_;
};

FreeTextTable& FreeTexts(int which) {
    static FreeTextTable texts[2];
    return texts[which];
}

// The addresses of the kind-atom variables, in lookup order.
std::vector<atom**>& KindAtomSlots() {
#define DATABASE_KIND_SLOT(n) &n,
    static std::vector<atom**> slots{DATABASE_KIND_ATOMS(DATABASE_KIND_SLOT)};
#undef DATABASE_KIND_SLOT
    return slots;
}

bool langTablesBuilt = false;

}  // namespace

const std::vector<std::string>& KindAtomNames() {
#define DATABASE_KIND_NAME(n) #n,
    static const std::vector<std::string> names{DATABASE_KIND_ATOMS(DATABASE_KIND_NAME)};
#undef DATABASE_KIND_NAME
    return names;
}

// ============================================================================
// Arenas and registration
// ============================================================================

atom* Arena::NewAtom(std::string_view name, int32_t id) { return NewAtomKept(Keep(name), id); }

atom* Arena::NewAtomKept(DbText name, int32_t id) {
    atom* a = AtomArena().New(MakeAtom);
    a->Init(name, id);
    return a;
}

DbText Arena::Keep(std::string_view s) { return Texts().Keep(s); }

Prop** Arena::PropSlots(size_t n) { return Slots().Take(n); }

Prop** Arena::SlotRoom(size_t n, size_t& left) {
    Slots().Reserve(n);
    return Slots().Room(left);
}

void Arena::ReserveTexts(size_t n) { Texts().Reserve(n); }

void Arena::TrimTexts() { Texts().Trim(); }

char* Arena::TextRoom(size_t& left) { return Texts().Room(left); }

void Arena::TextsUsed(size_t n) { Texts().Used(n); }

Prop* Arena::NewProp() {
    return PropArena().New(MakeProp);
}

atom* Arena::TakeAtoms(size_t n) { return AtomArena().Take(n); }

Prop* Arena::TakeProps(size_t n) { return PropArena().Take(n); }

atom* Arena::MakeAtom(void* mem) { return new (mem) atom; }

Prop* Arena::MakeProp(void* mem) { return new (mem) Prop; }


std::string& Arena::FreeText(int which, int32_t id) {
    return FreeTexts(which).At(static_cast<size_t>(std::max(id, 0)));
}

const std::string& Arena::FreeTextOrEmpty(int which, int32_t id) {
    static const std::string empty;
    const std::string* text = FreeTexts(which).Find(static_cast<size_t>(std::max(id, 0)));
    return text ? *text : empty;
}

void Arena::ClearFreeTexts(int32_t id) {
    for (int which = 0; which < 2; ++which)
        if (std::string* text = FreeTexts(which).Find(static_cast<size_t>(std::max(id, 0)))) text->clear();
}

void Arena::Clear() {
    FreeTexts(0).clear();
    FreeTexts(1).clear();
    AtomArena().Clear();
    PropArena().Clear();
    Texts().Clear();
    Slots().Clear();
}

void StoreAtom(atom* a) {
    auto id = static_cast<size_t>(a->id());
    if (id >= atomTab.size()) atomTab.resize(id + 1, nothingAtom);
    atomTab[id] = a;
    numAtoms = static_cast<int32_t>(atomTab.size());
}

void RegisterProp(Prop* p) {
    Arena::SetPropId(p, numProps);
    propTab.push_back(p);
    numProps = static_cast<int32_t>(propTab.size());
}

Prop* NewProp() { return Arena::NewProp(); }

// ============================================================================
// Set-up
// ============================================================================

void InitDataBase() {
    atomTab.clear();
    propTab.clear();
    stringTab.clear();
    idTab.clear();
    // Names waiting in a batch point into the arenas freed below.
    DropPendingNames();
    numAtoms = numProps = numStrings = nextId = 0;
    langTab.clear();
    langAbbrev.clear();
    langIsCur.clear();
    langIsMainOrig.clear();
    langIsMainCur.clear();
    numLangs = 0;
    langTablesBuilt = false;
    subLangs.clear();
    numSubLangs = 0;
    numAllNames = numAllMale = numAllFemale = 0;
    numAllGenNames = numAllMaleGen = numAllFemaleGen = 0;
    createOnLookup = false;
    loading = false;
    dbFileName.clear();
    ForgetLoadedFile();
    Arena::Clear();
    nothingAtom = Arena::NewAtom("nothing", 0);
    for (atom** slot : KindAtomSlots()) *slot = nothingAtom;
}

void InitPropKinds() {
    const auto& names = KindAtomNames();
    const auto& slots = KindAtomSlots();
    for (size_t i = 0; i < slots.size(); ++i) *slots[i] = GetAtom(names[i]);
}

// ============================================================================
// Names
// ============================================================================

namespace {

// Case folding of the name table: the platform's upper-casing of cp1252
// (ASCII letters and every accented letter with an upper-case partner).
inline unsigned char Fold(unsigned char c) {
    return static_cast<unsigned char>(Parser::PlatformUpperTable()[c]);
}

}  // namespace

unsigned char FoldName(unsigned char c) { return Fold(c); }

int CompareNames(std::string_view a, std::string_view b) {
    static const Parser::CodeTable& f = Parser::PlatformUpperTable();
    const size_t n = std::min(a.size(), b.size());
    // Neighbours in the name table share long beginnings: passed over a
    // word at a time.
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        uint64_t x, y;
        std::memcpy(&x, a.data() + i, 8);
        std::memcpy(&y, b.data() + i, 8);
        if (x != y) {
            i += static_cast<size_t>(__builtin_ctzll(x ^ y)) / 8;  // the first byte that differs (little-endian)
            break;
        }
    }
    for (; i < n; ++i) {
        if (a[i] == b[i]) continue;
        int x = f[static_cast<unsigned char>(a[i])];
        int y = f[static_cast<unsigned char>(b[i])];
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

atom* CreateAtom(std::string_view name) {
    // "nothing" names the no-atom; it is never made a real atom.
    if (Basic::EqualsNoCaseAscii(name, "nothing")) return nothingAtom;
    bool found = false;
    DbText kept;
    int32_t id = AddName(name, found, &kept);
    if (found) return AtomById(id);  // never a second atom for one name
    if (id < 0) {
        Assert(false, "CreateAtom table full " + std::string(name));
        return nothingAtom;
    }
    // The name is kept once, for the name table and the atom alike.
    atom* a = Arena::NewAtomKept(kept, id);
    StoreAtom(a);
    return a;
}

atom* AtomById(long long id) {
    if (id < 0 || id >= numAtoms) return nothingAtom;
    return atomTab[static_cast<size_t>(id)];
}

atom* GetAtom(std::string_view name) {
    int32_t pos = 0;
    if (FindInTable(name, pos)) return AtomById(idTab[static_cast<size_t>(pos)]);
    if (const int32_t id = FindPending(name); id >= 0) return AtomById(id);
    if (createOnLookup && !name.empty()) return CreateAtom(name);
    return nothingAtom;
}

void DeleteAtom(atom* a) {
    if (!a) return;
    int32_t pos = 0;
    bool found = FindString(a->name(), pos);
    // The name must be this very atom's: a stale object of a name deleted
    // earlier (and perhaps created anew) removes nothing.
    if (!found || a == nothingAtom || idTab[static_cast<size_t>(pos)] != a->id() ||
        AtomById(a->id()) != a) {
        Assert(false, "DeleteAtom " + std::string(a->name()));
        return;
    }
    for (Prop* p : propTab) {
        if (p->kind() == 0 && p->atomVal() == a) Arena::MakeEmptyString(p);
    }
    stringTab.erase(stringTab.begin() + pos);
    idTab.erase(idTab.begin() + pos);
    numStrings = static_cast<int32_t>(stringTab.size());
    atomTab[static_cast<size_t>(a->id())] = nothingAtom;
}

// ============================================================================
// Properties
// ============================================================================

Prop* FindOrCreateProp(atom* proper, atom* atomVal, std::string_view strVal, bool reg) {
    if (reg) {
        int32_t stop = std::max<int32_t>(0, numProps - 100);
        for (int32_t i = numProps - 1; i >= stop; --i) {
            Prop* p = propTab[static_cast<size_t>(i)];
            if (p->Same(proper, atomVal, strVal)) return p;
        }
    }
    Prop* p = NewProp();
    if (!atomVal)
        p->InitStr(proper, strVal, reg);
    else if (!strVal.empty())
        p->InitAtomAndStr(proper, atomVal, strVal, reg);
    else
        p->InitAtom(proper, atomVal, reg);
    return p;
}

// ============================================================================
// Derivations
// ============================================================================

namespace {

// The live atoms from startId on; deleted slots (the "nothing" atom) are
// left alone, so that it keeps its kind 31999 and stays out of every count.
// Pending window events run after each atom.
template <class F>
void ForRange(int32_t startId, F f, bool events = true) {
    for (int32_t id = std::max<int32_t>(0, startId); id < numAtoms; ++id) {
        atom* a = atomTab[static_cast<size_t>(id)];
        if (a != nothingAtom) f(*a);
        if (events) Services::Events().DoEvents();
    }
}

}  // namespace

void CompleteAtoms(int32_t startId) {
    ForRange(startId, [](atom& a) { a.Complete(); });
}

void EvalKinds(int32_t startId) {
    ForRange(startId, [](atom& a) { a.EvalKind0(); });
    ForRange(startId, [](atom& a) { a.EvalKind1(); });
}

void CountVariants(int32_t startId) {
    ForRange(startId, [](atom& a) {
        if (a.kind() == 2 || a.kind() == 3)
            a.numVariants = static_cast<int16_t>(std::min(a.CountProps(prNameVariant), 32767));
    });
}

void AddLangOfProps(int32_t startId) {
    // Every prLang of the atom gets its mirror (a new name may name up to
    // three languages), each language once.
    // The names each language lists, gathered once per language: asking the
    // language's whole list for every new name would grow with the square
    // of the names one language gets.
    std::unordered_map<const atom*, std::unordered_set<const atom*>> listed;
    ForRange(startId, [&listed](atom& a) {
        std::vector<atom*> langs;
        for (Prop* p : a.props())
            if (p->proper() == prLang) langs.push_back(p->atomVal());
        for (atom* lang : langs) {
            if (lang == nothingAtom) continue;
            auto [known, isNew] = listed.try_emplace(lang);
            if (isNew)
                for (const Prop* p : lang->props())
                    if (p->proper() == prLangOf) known->second.insert(p->atomVal());
            if (!known->second.insert(&a).second) continue;
            Prop* m = NewProp();
            m->InitAtom(prLangOf, &a, true);
            lang->AddProp(m);
        }
    }, false);
}

void CountKinds() {
    numAllNames = numAllMale = numAllFemale = 0;
    numAllGenNames = numAllMaleGen = numAllFemaleGen = 0;
    for (int32_t id = 0; id < numAtoms; ++id) {
        switch (atomTab[static_cast<size_t>(id)]->kind()) {
            case 0: ++numAllNames; ++numAllMale; break;
            case 1: ++numAllNames; ++numAllFemale; break;
            case 2: ++numAllGenNames; ++numAllMaleGen; break;
            case 3: ++numAllGenNames; ++numAllFemaleGen; break;
            default: break;
        }
    }
}

void DeriveAll() {
    InitPropKinds();
    CompleteAtoms(0);
    EvalKinds(0);
    CountVariants(0);
    CountKinds();
}

// ============================================================================
// Languages
// ============================================================================

std::string GetAbbrev(const atom* lang) {
    if (!lang) return {};
    Prop* p = nullptr;
    if (TextConstants::textLanguage != 0) p = lang->FirstProp(prAbbrevE);
    if (!p) p = lang->FirstProp(prAbbrev);
    return p ? p->strVal() : std::string();
}

namespace {

void BuildLangTables() {
    if (langTablesBuilt) return;
    langTablesBuilt = true;
    langTab.clear();
    for (Prop* p : seLanguages->props())
        if (p->proper() == prMember) langTab.push_back(p->atomVal());
    numLangs = static_cast<int>(langTab.size());
    SortAtomsByText(langTab, numLangs);
    langAbbrev.assign(langTab.size(), {});
    langIsCur.assign(langTab.size(), false);
    langIsMainOrig.assign(langTab.size(), false);
    langIsMainCur.assign(langTab.size(), false);
    for (size_t i = 0; i < langTab.size(); ++i) {
        atom* l = langTab[i];
        langAbbrev[i] = GetAbbrev(l);
        langIsCur[i] = l->HasProp(prMemberOf, seCurLanguages);
        langIsMainOrig[i] = l->HasProp(prMemberOf, seMainOrigLang);
        langIsMainCur[i] = l->HasProp(prMemberOf, seMainCurLang);
    }
}

}  // namespace

std::vector<LangComboItem> FillLangCombo(bool mainOrig, bool withUndefined) {
    BuildLangTables();
    std::vector<LangComboItem> items;
    if (withUndefined) items.push_back({TextConstants::LangText("(undefiniert)", "(undefined)"), 0});
    for (int i = 0; i < numLangs; ++i) {
        bool main = mainOrig ? langIsMainOrig[static_cast<size_t>(i)]
                             : langIsMainCur[static_cast<size_t>(i)];
        if (main) items.push_back({langTab[static_cast<size_t>(i)]->Text(), i});
    }
    items.push_back({std::string(12, '_'), 0});
    for (int i = 0; i < numLangs; ++i) items.push_back({langTab[static_cast<size_t>(i)]->Text(), i});
    return items;
}

atom* GetComboLang(int itemData) {
    if (itemData < 0 || itemData >= numLangs) return nothingAtom;
    return langTab[static_cast<size_t>(itemData)];
}

namespace {
// The languages whose walk is under way: a language met again on its own
// path is a cycle and is not entered a second time.
std::vector<atom*> walkPath;
}  // namespace

void CollectLangFamily(atom* lang) {
    subLangs.clear();
    numSubLangs = 0;
    walkPath.clear();
    CollectSubLangs(lang);
}

void CollectSubLangs(atom* lang) {
    if (!lang || lang == nothingAtom) return;
    auto has = [](const std::vector<atom*>& v, const atom* a) {
        return std::find(v.begin(), v.end(), a) != v.end();
    };
    if (has(subLangs, lang) || has(walkPath, lang)) return;
    walkPath.push_back(lang);
    for (Prop* p : lang->props()) {
        if (p->proper() != prSubset) continue;
        atom* sub = p->atomVal();
        if (sub->kind() == 8) CollectSubLangs(sub);
    }
    walkPath.pop_back();
    subLangs.push_back(lang);
    numSubLangs = static_cast<int>(subLangs.size());
}

// ============================================================================
// Sorting and strings
// ============================================================================

namespace {

// Reversed compares the texts read from their last character to their first.
int CompareFolded(std::string_view a, std::string_view b, bool accents, bool reversed) {
    const Parser::CodeTable& f = Parser::PlatformUpperTable();
    const Parser::CodeTable& base = Parser::BaseTable();
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        int x = static_cast<unsigned char>(reversed ? a[a.size() - 1 - i] : a[i]);
        int y = static_cast<unsigned char>(reversed ? b[b.size() - 1 - i] : b[i]);
        if (!accents) {
            x = base[x];
            y = base[y];
        }
        x = f[x];
        y = f[y];
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

// A stable sort of arr[0 .. n-1] by key, compared as CompareText does; each
// key is made once.
template <class Key>
void StableSortBy(std::vector<atom*>& arr, int n, Key key) {
    n = std::min<int>(n, static_cast<int>(arr.size()));
    if (n < 2) return;
    struct Item {
        std::string key;
        atom* a;
    };
    std::vector<Item> items;
    items.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) items.push_back({std::string(key(arr[static_cast<size_t>(i)])), arr[static_cast<size_t>(i)]});
    std::stable_sort(items.begin(), items.end(),
                     [](const Item& x, const Item& y) { return CompareText(x.key, y.key) < 0; });
    for (int i = 0; i < n; ++i) arr[static_cast<size_t>(i)] = items[static_cast<size_t>(i)].a;
}

}  // namespace

int CompareText(std::string_view a, std::string_view b) {
    int c = CompareFolded(a, b, false, false);
    return c != 0 ? c : CompareFolded(a, b, true, false);
}

int CompareTextReversed(std::string_view a, std::string_view b) {
    int c = CompareFolded(a, b, false, true);
    return c != 0 ? c : CompareFolded(a, b, true, true);
}

void SortAtomsByText(std::vector<atom*>& arr, int n) {
    StableSortBy(arr, n, [](const atom* a) { return a->Text(); });
}

void SortAtomsBySortKey(std::vector<atom*>& arr, int n) {
    StableSortBy(arr, n, [](const atom* a) -> const std::string& { return a->sortKey(); });
}

void SplitAt(const std::string& sep, const std::string& s, std::string& left, std::string& right) {
    size_t pos = std::string::npos;
    if (!sep.empty() && sep.size() <= s.size()) {
        for (size_t i = 0; i + sep.size() <= s.size(); ++i) {
            if (CompareNames(s.substr(i, sep.size()), sep) == 0) {
                pos = i;
                break;
            }
        }
    }
    if (pos == std::string::npos) {
        left = s;
        right.clear();
        return;
    }
    left = s.substr(0, pos);
    right = s.substr(pos + 1);
}

std::string SplitFirstComma(std::string& s) {
    size_t pos = s.find(',');
    if (pos == std::string::npos) {
        std::string all;
        all.swap(s);
        return all;
    }
    std::string head = s.substr(0, pos);
    s.erase(0, pos + 1);
    return head;
}

// ============================================================================
// Internal names for new atoms
// ============================================================================

std::string MakeAtomIdent(const std::string& text) {
    std::string s = text;
    // A leading article goes.
    std::string head = Basic::UpperAscii(s.substr(0, 4));
    if (head == "DER " || head == "DIE " || head == "DAS " || head == "THE ")
        s.erase(0, 4);
    else if (head.compare(0, 3, "TO ") == 0)
        s.erase(0, 3);

    // Umlauts spelled out, accents removed.
    FlexString f(s);
    f.ElimUmlauts();
    f.BaseChar();
    // The letters without a base letter are spelled in ASCII too, so that
    // the identifier is one the text form of the database reads back.
    std::string t;
    for (char ch : f.GetStr()) {
        switch (static_cast<unsigned char>(ch)) {
            case 0xDF: t += "ss"; break;  // ß
            case 0xE6: t += "ae"; break;  // æ
            case 0xC6: t += "Ae"; break;  // Æ
            case 0x9C: t += "oe"; break;  // œ
            case 0x8C: t += "Oe"; break;  // Œ
            case 0x9A: t += "s"; break;   // š
            case 0x8A: t += "S"; break;   // Š
            case 0x9E: t += "z"; break;   // ž
            case 0x8E: t += "Z"; break;   // Ž
            case 0x9F: t += "Y"; break;   // Ÿ
            case 0xF0: t += "d"; break;   // ð
            case 0xD0: t += "D"; break;   // Ð
            case 0xFE: t += "th"; break;  // þ
            case 0xDE: t += "Th"; break;  // Þ
            case 0x83: t += "f"; break;   // ƒ
            default: t += ch; break;
        }
    }
    // Every word begins upper case; blanks, full stops, hyphens and commas go.
    f.Init(t);
    f.StartAllUpper();
    for (const char* c : {" ", ".", "-", ","}) f.ElimChar(c);
    // Whatever else is no ASCII letter or digit (apostrophes, quotes, ...)
    // goes too; an identifier is never empty.
    std::string out;
    for (char ch : f.GetStr()) {
        bool keep = (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z') || (ch >= '0' && ch <= '9');
        if (keep) out += ch;
    }
    if (out.empty()) out = "Name";
    return out;
}

std::string MakeUniqueAtomName(const std::string& prefix, const std::string& text,
                               const std::string& suffix) {
    std::string ident = MakeAtomIdent(text);
    std::string name = prefix + ident + suffix;
    int32_t pos = 0;
    for (int n = 2; FindString(name, pos); ++n)
        name = prefix + ident + std::to_string(n) + suffix;
    return name;
}

}  // namespace DataBase
