// Where the database's records and texts live (see Arena in DbInternal.h):
// arenas of blocks that never move, the big ones mapped apart; the load
// zone a file's load takes the memory of its records from in one piece; and
// the texts, side by side in one stretch of address space.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <limits>
#include <new>
#include <stdexcept>
#include <type_traits>
#include <utility>
#include <vector>
#include <sys/mman.h>
#include <unistd.h>

#include "DataBase.h"
#include "DbInternal.h"

namespace DataBase {

namespace {
atom* const noKinds[1] = {nullptr};
}  // namespace

atom* const* propKinds = noKinds;
const char* textBase = nullptr;
size_t textSpan = 0;

namespace {

// Memory of the database's big blocks (a loaded file's atoms, properties and
// property lists): on Linux mapped with transparent huge pages asked for,
// which spares a new process most of the page faults of a full-size load;
// small blocks come from the heap.
constexpr size_t kBigBlock = size_t{2} << 20;

// The size of a huge page, and the boundary a mapping must start on for the
// system to back it with them.
constexpr size_t kHugePage = size_t{2} << 20;

// n bytes of fresh anonymous memory (whole pages) starting on a huge-page
// boundary, with huge pages asked for; null when there is no room.
void* MapOnHugePage(size_t n, int prot, int flags) {
    const size_t span = n + kHugePage;
    void* p = ::mmap(nullptr, span, prot, MAP_PRIVATE | MAP_ANONYMOUS | flags, -1, 0);
    if (p == MAP_FAILED) return nullptr;
    const auto at = reinterpret_cast<uintptr_t>(p);
    const uintptr_t start = (at + kHugePage - 1) / kHugePage * kHugePage;
    if (start > at) ::munmap(p, start - at);
    if (at + span > start + n) ::munmap(reinterpret_cast<void*>(start + n), at + span - (start + n));
#ifdef MADV_HUGEPAGE
    ::madvise(reinterpret_cast<void*>(start), n, MADV_HUGEPAGE);  // a hint: without it the pages are ordinary ones
#endif
    return reinterpret_cast<void*>(start);
}

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
size_t PageSize() {
    static const size_t page = static_cast<size_t>(::sysconf(_SC_PAGESIZE));
    return page;
}
// Mappings are whole pages: a spare one is cut to size at a page boundary.
size_t WholePages(size_t n) { return (n + PageSize() - 1) / PageSize() * PageSize(); }

// A mapping of n bytes (whole pages) that starts on a huge-page boundary,
// with huge pages asked for: a spare one when one fits (the smallest, and
// not more than twice the size asked for), else a new one. A mapping that
// does not start on the boundary gets ordinary pages up to it: on a
// full-size load, hundreds of faults where one would do.
void* MapBig(size_t n) {
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
    void* p = MapOnHugePage(n, PROT_READ | PROT_WRITE, 0);
    if (!p) throw std::bad_alloc();
    return p;
}

void UnmapBig(void* p, size_t n) {
    auto& spare = SpareMappings();
    if (spare.size() < kMaxSpare) {
        spare.push_back({p, n});
        return;
    }
    ::munmap(p, n);
}

// The pages wholly within [from, to) given back: touched again, they are
// fresh zeros.
void GiveBack(const char* from, const char* to) {
    const auto page = static_cast<uintptr_t>(PageSize());
    const uintptr_t a = (reinterpret_cast<uintptr_t>(from) + page - 1) / page * page;
    const uintptr_t b = reinterpret_cast<uintptr_t>(to) / page * page;
    if (b > a) ::madvise(reinterpret_cast<void*>(a), b - a, MADV_DONTNEED);
}
#endif

// The memory of one file's load, one mapping: the blocks of its atoms,
// properties and property lists and its tables, handed out front to back as
// the reader counts them. One mapping instead of one per block leaves a
// single partly used huge page, and only what is used is ever touched; when
// the load ends, the pages past its records are given back.
class LoadZone {
public:
    void Open(size_t records) {
        Free();
#ifdef __linux__
        size_ = WholePages(records);
        // A small file's load is not worth a huge page.
        base_ = static_cast<char*>(size_ >= kBigBlock ? MapBig(size_) : MapSmall(size_));
#else
        size_ = records;
        base_ = static_cast<char*>(::operator new(size_));
#endif
        next_ = 0;
        open_ = true;
    }
    // n bytes for records, null when the zone is closed or has no room left.
    void* Take(size_t n) {
        if (!open_ || n > size_ - next_) return nullptr;
        char* p = base_ + next_;
        next_ = std::min(size_, (next_ + n + 63) / 64 * 64);
        return p;
    }
    bool Holds(const void* p) const {
        return base_ && static_cast<const char*>(p) >= base_ && static_cast<const char*>(p) < base_ + size_;
    }
    // What the load has taken of it: [from, to), or null, null when closed.
    void Taken(const char*& from, const char*& to) const {
        from = open_ ? base_ : nullptr;
        to = open_ ? base_ + next_ : nullptr;
    }
    // No more blocks from here; the pages past the records are given back.
    void Close() {
        if (!open_) return;
        open_ = false;
#ifdef __linux__
        GiveBack(base_ + next_, base_ + size_);
#endif
    }
    void Free() {
        if (!base_) return;
#ifdef __linux__
        if (size_ >= kBigBlock)
            UnmapBig(base_, size_);
        else
            ::munmap(base_, size_);
#else
        ::operator delete(base_);
#endif
        base_ = nullptr;
        size_ = next_ = 0;
        open_ = false;
    }

private:
#ifdef __linux__
    static void* MapSmall(size_t n) {
        void* p = ::mmap(nullptr, n, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p == MAP_FAILED) throw std::bad_alloc();
        return p;
    }
#endif
    char* base_ = nullptr;
    size_t size_ = 0;
    size_t next_ = 0;
    bool open_ = false;
};
// Trivially destroyed: the blocks that go at exit still ask whether it holds
// them; its mapping goes with the process.
constinit LoadZone zone;

// The tables' memory comes from the zone from this size on (a full-size
// load's tables are a few hundred kilobytes: ordinary pages, faulted in one
// by one, would cost more than all the huge pages they take a share of).
constexpr size_t kTableInZone = 16 * 1024;

void* AllocBytes(size_t n) {
    if (void* p = zone.Take(n)) return p;
#ifdef __linux__
    if (n >= kBigBlock) return MapBig(WholePages(n));
#endif
    return ::operator new(n);
}

void FreeBytes(void* p, size_t n) {
    if (!p || zone.Holds(p)) return;  // the zone goes as a whole
#ifdef __linux__
    if (n >= kBigBlock) {
        UnmapBig(p, WholePages(n));
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

// The texts of the database, side by side in one stretch of address space
// reserved once, which never moves: a property names its text by the offset
// from its start (32 bits: the stretch is 4 GB at most), and pages are made
// only as the texts reach them, in huge pages where the system gives them.
class TextSpace {
public:
    DbText Keep(std::string_view s) {
        if (s.empty()) return {};
        Reserve(s.size());
        char* at = next_;
        std::memcpy(at, s.data(), s.size());
        next_ += s.size();
        return DbText(std::string_view(at, s.size()));
    }
    // Room for n more bytes of texts (a file's, counted before it is read);
    // only the pages the texts fill are ever touched.
    void Reserve(size_t n) {
        if (!base_) Map();
        const size_t used = static_cast<size_t>(next_ - base_);
        if (n <= writable_ - used) return;
        if (n > size_ - used) throw std::bad_alloc();
        const size_t grow = std::min(size_, (used + n + kStep - 1) / kStep * kStep);
        if (::mprotect(base_ + writable_, grow - writable_, PROT_READ | PROT_WRITE) != 0) throw std::bad_alloc();
        writable_ = grow;
        textSpan = writable_;
    }
    char* Room(size_t& left) const {
        left = base_ ? writable_ - static_cast<size_t>(next_ - base_) : 0;
        return next_;
    }
    void Used(size_t n) {
        size_t left = 0;
        Room(left);
        next_ += std::min(n, left);
    }
    // Where the next text goes.
    const char* End() const { return next_; }
    // The pages past the texts given back: a room reserved for a file is as
    // long as the file, its texts are shorter.
    void GiveBackRoom() {
#ifdef __linux__
        if (base_) GiveBack(next_, base_ + writable_);
#endif
    }
    // The texts are forgotten; their pages serve the next ones.
    void Clear() { next_ = base_; }

private:
    static constexpr size_t kStep = size_t{2} << 20;
    void Map() {
        // As large a stretch as the system lets us reserve, up to 4 GB:
        // reserving costs nothing but addresses.
        for (size_t size = size_t{4} << 30; size >= (size_t{64} << 20); size /= 4) {
            void* p = MapOnHugePage(size, PROT_NONE, MAP_NORESERVE);
            if (!p) continue;
            base_ = next_ = static_cast<char*>(p);
            size_ = std::min<size_t>(size, std::numeric_limits<uint32_t>::max());
            textBase = base_;
            return;
        }
        throw std::bad_alloc();
    }
    char* base_ = nullptr;
    char* next_ = nullptr;
    size_t size_ = 0;      // reserved
    size_t writable_ = 0;  // from base_, readable and writable
};
// Trivially destroyed: its texts are read until the process ends.
constinit TextSpace textSpace;

// The property lists' pointers, side by side in chunks that never move; a
// list that grows takes new slots and leaves its old ones until Clear.
class SlotArena {
public:
    SlotArena() = default;
    SlotArena(const SlotArena&) = delete;
    ~SlotArena() { Clear(); }
    Prop** Take(size_t n) {
        if (left_ < n) {
            if (n > kChunk / 4) return Chunk(n);
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
        for (const auto& [p, n] : chunks_) FreeBytes(p, n * sizeof(Prop*));
        chunks_.clear();
        current_ = nullptr;
        left_ = 0;
    }

private:
    Prop** Chunk(size_t n) {
        chunks_.reserve(chunks_.size() + 1);
        auto* p = static_cast<Prop**>(AllocBytes(n * sizeof(Prop*)));  // not touched until used
        chunks_.emplace_back(p, n);
        return p;
    }
    void Open(size_t n) {
        current_ = Chunk(n);
        left_ = n;
    }
    static constexpr size_t kChunk = 16 * 1024;
    std::vector<std::pair<Prop**, size_t>> chunks_;
    Prop** current_ = nullptr;
    size_t left_ = 0;
};

SlotArena& Slots() {
    static SlotArena arena = (SpareMappingsFirst(), SlotArena());
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

// The kind atoms by their slots (see Prop::proper); slot 0 is none. Never
// destroyed: a property may be asked for its kind while the program's
// statics go at exit.
std::vector<atom*>& KindTable() {
    static auto* kinds = new std::vector<atom*>{nullptr};
    return *kinds;
}

FreeTextTable& FreeTexts(int which) {
    static FreeTextTable texts[2];
    return texts[which];
}

}  // namespace

atom* Arena::NewAtom(std::string_view name, int32_t id) { return NewAtomKept(Keep(name), id); }

atom* Arena::NewAtomKept(DbText name, int32_t id) {
    atom* a = AtomArena().New(MakeAtom);
    a->Init(name, id);
    return a;
}

DbText Arena::Keep(std::string_view s) { return textSpace.Keep(s); }

Prop** Arena::PropSlots(size_t n) { return Slots().Take(n); }

Prop** Arena::SlotRoom(size_t n, size_t& left) {
    Slots().Reserve(n);
    return Slots().Room(left);
}

void Arena::BeginLoad(size_t textBytes, size_t records) {
    textSpace.Reserve(textBytes);
    zone.Open(records);
}

void Arena::TextsDone() { textSpace.GiveBackRoom(); }

void Arena::LoadHanded(const char*& from, const char*& to) { zone.Taken(from, to); }

void Arena::EndLoad() {
    textSpace.GiveBackRoom();
    zone.Close();
}

char* Arena::TextRoom(size_t& left) { return textSpace.Room(left); }

void Arena::TextsUsed(size_t n) { textSpace.Used(n); }

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

void* TableBytes(size_t n) {
    if (void* p = n >= kTableInZone ? zone.Take(n) : nullptr) return p;
    return ::operator new(n);
}

void FreeTableBytes(void* p, size_t n) {
    if (p && !zone.Holds(p)) ::operator delete(p);
}

uint16_t Arena::NewKindSlot(atom* a) {
    if (!a) return 0;
    if (a->kindSlot_ != 0) return a->kindSlot_;
    // Each atom takes one slot at most, and a database never holds more
    // atoms than kAtomIdLimit (and the "nothing" atom).
    static_assert(kAtomIdLimit + 2 <= 0xFFFF, "a slot numbers every atom");
    std::vector<atom*>& kinds = KindTable();
    if (kinds.size() > 0xFFFF) throw std::length_error("more kind atoms than slots");
    a->kindSlot_ = static_cast<uint16_t>(kinds.size());
    kinds.push_back(a);
    propKinds = kinds.data();
    return a->kindSlot_;
}

void Arena::Clear() {
    FreeTexts(0).clear();
    FreeTexts(1).clear();
    AtomArena().Clear();
    PropArena().Clear();
    textSpace.Clear();
    Slots().Clear();
    zone.Free();
    KindTable().assign(1, nullptr);
    propKinds = KindTable().data();
}

}  // namespace DataBase
