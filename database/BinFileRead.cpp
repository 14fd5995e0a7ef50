// The reader of the binary database file (the format is in BinFile.h): the
// load at start-up and the on-demand blocks of the hit-parade atoms. The
// early read on a thread of its own is in BinFileEarly.cpp.
#include "BinFile.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <bit>
#include <unordered_map>
#include <utility>
#include <vector>

#include "DataBase.h"
#include "DbInternal.h"
#include "Errors.h"
#include "FileOp.h"
#include "GenMsg.h"

using Errors::Assert;

namespace DataBase {

BinHeader fileHeader;
std::string dbFileName;

namespace {

// The number of atoms in the file read last: ids in on-demand blocks name
// atoms of that file only.
int32_t fileAtomCount = 0;
FileErrorHandler fileErrorHandler;

constexpr int32_t kMaxNameCount = 100000;
constexpr int32_t kMaxPropCount = 200000;


struct Malformed {
    std::string detail;
};

[[noreturn]] void Fail(const std::string& detail) { throw Malformed{detail}; }

[[noreturn, gnu::cold, gnu::noinline]] void FailEnd(const char* what) {
    Fail(std::string("end of file in ") + what);
}

[[noreturn, gnu::cold, gnu::noinline]] void FailLength(int16_t len, const char* what) {
    Fail(std::string("string length ") + std::to_string(len) + " " + what);
}

// A read of the file that failed part-way: the run-time error number.
struct ReadFailed {
    int error;
};

// The bytes of a file as the reader sees them: a window over the file's
// bytes, refilled from the file as the reading moves on (a load), or all of
// them in memory (an on-demand block).
// The file as long as it was when opened: bytes added since are not read
// (the room kept for its texts is counted from that length).
struct OpenedFile {
    FileOp::InputFile& f;
    size_t left;  // bytes not yet read
};

class Source {
public:
    virtual ~Source() = default;
    // The window [data, data + size) has been read up to from: gives a
    // window that starts with the unread bytes [from, size) and holds at
    // least want bytes, or all the file has left; returns its size. Throws
    // ReadFailed.
    virtual size_t Refill(unsigned char*& data, size_t from, size_t size, size_t want) = 0;

protected:
    // Reads into [to + have, to + room) until want bytes are there or the
    // file ends.
    static size_t ReadInto(OpenedFile& file, unsigned char* to, size_t have, size_t want, size_t room) {
        while (have < want && have < room && file.left > 0) {
            size_t got = file.f.Read(reinterpret_cast<char*>(to + have), std::min(room - have, file.left));
            if (file.f.Error() != 0) throw ReadFailed{file.f.Error()};
            if (got == 0) break;
            have += got;
            file.left -= got;
        }
        return have;
    }
};

// A small window that moves through the file: nothing is kept of it, what
// the database keeps of the file it copies.
class FileSource : public Source {
public:
    // A few hundred kilobytes: large enough for any record (a string is at
    // most 1000 bytes), small enough to stay in the cache.
    static constexpr size_t kWindow = 256 * 1024;
    explicit FileSource(OpenedFile& f) : f_(f), buf_(new unsigned char[kBuffer]) {}

    size_t Refill(unsigned char*& data, size_t from, size_t size, size_t want) override {
        const size_t keep = size - from;
        if (keep > 0 && from > 0) std::memmove(buf_.get(), buf_.get() + from, keep);
        data = buf_.get();
        return ReadInto(f_, buf_.get(), keep, want, std::max(keep, kWindow));
    }
    // A window, and room to spare for the unread bytes a refill keeps.
    static constexpr size_t kBuffer = 2 * kWindow;

private:
    OpenedFile& f_;
    std::unique_ptr<unsigned char[]> buf_;
};

// Little-endian reading of a file's bytes; every read past the end of the
// file (or of the limit set) is a malformed file.
class Cursor {
public:
    // Over bytes in memory: data[0] is the byte at 0-based file offset origin.
    Cursor(const unsigned char* data, size_t size, size_t pos = 0, int64_t origin = 0)
        : d_(data), avail_(size), end_(size), pos_(pos), origin_(origin) {}
    // Over a file read from its start, fileSize bytes long.
    Cursor(Source& src, int64_t fileSize) : src_(&src), fileSize_(fileSize) {}

    // The 0-based file offset of the next byte.
    int64_t offset() const { return origin_ + static_cast<int64_t>(pos_); }
    // The 1-based file position of the next byte.
    int64_t filePos() const { return offset() + 1; }
    // The length of the file (of the bytes in memory for a block).
    int64_t fileSize() const { return src_ ? fileSize_ : origin_ + static_cast<int64_t>(avail_); }
    // The bytes left before the end of the file (or the limit).
    size_t left() const {
        int64_t end = std::min(fileSize(), limit_);
        return static_cast<size_t>(std::max<int64_t>(0, end - offset()));
    }
    // Whether the next k bytes can be read without a refill (then Skip
    // passes them, read through here()).
    bool Has(size_t k) const { return k <= end_ - pos_; }
    size_t Available() const { return end_ - pos_; }
    // The next k bytes in the window, or as many as the file (or the limit)
    // has left: a record of at most k bytes is then read in place (Record).
    void Hold(size_t k) {
        if (k <= end_ - pos_ || !src_) return;
        // Only bytes the file (the limit) still has: near its end a refill
        // would bring nothing.
        const int64_t left = std::min(limit_, fileSize_) - offset();
        const size_t need = left < static_cast<int64_t>(k) ? static_cast<size_t>(std::max<int64_t>(left, 0)) : k;
        if (need > avail_ - pos_) {
            unsigned char* data = nullptr;
            origin_ += static_cast<int64_t>(pos_);
            avail_ = src_->Refill(data, pos_, avail_, need);
            d_ = data;
            pos_ = 0;
            SetEnd();
        }
    }
    void Skip(size_t k) { pos_ += k; }
    static int32_t Load32(const unsigned char* p) {
        uint32_t v;
        std::memcpy(&v, p, 4);
        return static_cast<int32_t>(v);
    }
    static int16_t Load16(const unsigned char* p) {
        uint16_t v;
        std::memcpy(&v, p, 2);
        return static_cast<int16_t>(v);
    }
    // The next byte's address in the window.
    const unsigned char* here() const { return d_ + pos_; }
    // Reads end at this 0-based file offset until ClearLimit.
    void SetLimit(int64_t limit) {
        limit_ = limit;
        SetEnd();
    }
    void ClearLimit() { SetLimit(INT64_MAX); }

    int16_t I16(const char* what) {
        Need(2, what);
        const int16_t v = Load16(d_ + pos_);
        pos_ += 2;
        return v;
    }
    int32_t I32(const char* what) {
        Need(4, what);
        const int32_t v = Load32(d_ + pos_);  // the file is little-endian, as is every machine we build for
        pos_ += 4;
        return v;
    }
    // A view of the string's bytes, valid until the next read.
    std::string_view Str(const char* what) {
        const int16_t len = I16(what);
        if (len < 0 || len > kMaxString) FailLength(len, what);
        Need(static_cast<size_t>(len), what);
        std::string_view s(reinterpret_cast<const char*>(d_ + pos_), static_cast<size_t>(len));
        pos_ += static_cast<size_t>(len);
        return s;
    }

private:
    static_assert(std::endian::native == std::endian::little);
    void Need(size_t k, const char* what) {
        if (k > end_ - pos_) More(k, what);
    }
    [[gnu::noinline]] void More(size_t k, const char* what) {
        Hold(k);
        if (k > end_ - pos_) FailEnd(what);
    }
    void SetEnd() {
        int64_t room = limit_ - origin_;
        end_ = room < static_cast<int64_t>(avail_) ? static_cast<size_t>(std::max<int64_t>(room, 0)) : avail_;
        if (end_ < pos_) end_ = pos_;
    }

    const unsigned char* d_ = nullptr;
    size_t avail_ = 0;  // bytes in the window
    size_t end_ = 0;    // the window's bytes that may be read (the limit)
    size_t pos_ = 0;
    int64_t origin_ = 0;  // the file offset of d_[0]
    int64_t limit_ = INT64_MAX;
    Source* src_ = nullptr;
    int64_t fileSize_ = 0;
};

// One property record, its ids checked against the atom count.
// The string views the cursor's bytes: valid until its next read.
struct RawProp {
    int32_t proper = 0;
    int16_t kind = 0;
    int32_t value = 0;
    std::string_view str;
};

// The fewest bytes a property record takes (a string record with an empty
// string): bounds what a count may make the reader reserve.
constexpr size_t kMinPropRecord = 8;

// A record held whole in the cursor's window, read field by field with the
// end of the bytes at hand in a register: what the window lacks is the end of
// the file (or of the block).
class Record {
public:
    explicit Record(Cursor& c, size_t longest) : c_(c) {
        c.Hold(longest);
        p_ = start_ = c.here();
        end_ = p_ + c.Available();
        whole_ = c.Available() >= longest;
    }
    // Passes the bytes read.
    ~Record() { c_.Skip(static_cast<size_t>(p_ - start_)); }
    Record(const Record&) = delete;
    Record& operator=(const Record&) = delete;

    int16_t I16(const char* what) {
        Need(2, what);
        const int16_t v = Cursor::Load16(p_);
        p_ += 2;
        return v;
    }
    int32_t I32(const char* what) {
        Need(4, what);
        const int32_t v = Cursor::Load32(p_);
        p_ += 4;
        return v;
    }
    // A view of the string's bytes, valid until the cursor's next read.
    std::string_view Str(const char* what) {
        const int16_t len = I16(what);
        if (len < 0 || len > kMaxString) FailLength(len, what);
        Need(static_cast<size_t>(len), what);
        std::string_view s(reinterpret_cast<const char*>(p_), static_cast<size_t>(len));
        p_ += len;
        return s;
    }

private:
    void Need(size_t k, const char* what) {
        // All of the longest record at hand (but at the end of the file):
        // no field can lie beyond it.
        if (!whole_ && k > static_cast<size_t>(end_ - p_)) FailEnd(what);
    }
    Cursor& c_;
    bool whole_;
    const unsigned char* start_;
    const unsigned char* p_;
    const unsigned char* end_;
};

// The longest property record: both ids, the kind and a string of the
// longest length.
constexpr size_t kMaxPropRecord = 12 + kMaxString;

[[gnu::always_inline]] inline RawProp ReadPropRecord(Cursor& c, int32_t atomCount) {
    Record rec(c, kMaxPropRecord);
    RawProp r;
    r.proper = rec.I32("property kind atom");
    if (r.proper < 0 || r.proper >= atomCount) Fail("property kind atom id " + std::to_string(r.proper));
    r.kind = rec.I16("property kind");
    if (r.kind != 0 && r.kind != 1) r.kind = 2;
    if (r.kind != 1) {
        r.value = rec.I32("property value atom");
        if (r.value < 0 || r.value >= atomCount) Fail("property value atom id " + std::to_string(r.value));
    }
    if (r.kind != 0) r.str = rec.Str("property string");
    return r;
}

// A property of the record; its string is copied into the database's texts.
Prop* MakeProp(const RawProp& r, bool reg) {
    Prop* p = NewProp();
    atom* proper = AtomById(r.proper);
    atom* value = r.kind == 1 ? nullptr : AtomById(r.value);
    DbText str = r.kind == 0 ? DbText() : Arena::Keep(r.str);
    BinAccess::InitKept(*p, r.kind, proper, value, str, reg);
    return p;
}

// The records of the on-demand block at the cursor, whose 1-based file
// position is blockPos: the block's end position must lie in the file, and
// its m records must end exactly there. each(record) sees every record.
template <class Each>
void ReadBlock(Cursor& c, int32_t atomCount, Each each) {
    const int64_t blockPos = c.filePos();
    int64_t end = c.I32("block end");
    int16_t m = c.I16("block count");
    if (m < 0) Fail("block count " + std::to_string(m));
    if (end < blockPos + 6 || end > c.fileSize() + 1) Fail("block end " + std::to_string(end));
    const int64_t limit = end - 1;  // 0-based offset of the block's end
    if (static_cast<size_t>(m) > static_cast<size_t>(std::max<int64_t>(0, limit - c.offset())) / kMinPropRecord)
        Fail("block count " + std::to_string(m) + " beyond the block");
    c.SetLimit(limit);
    for (int i = 0; i < m; ++i) each(ReadPropRecord(c, atomCount));
    if (c.offset() != limit) Fail("block end " + std::to_string(end) + " not at its records' end");
    c.ClearLimit();
}

// The texts a load keeps, copied one after the other into the database's
// texts without a call per text.
class KeptTexts {
public:
    // c: the cursor the texts are read with (they lie in its bytes at hand).
    explicit KeptTexts(const Cursor& c) : c_(c) { next_ = Arena::TextRoom(left_); }
    // Inline in the loops that read the records: a call per text costs more
    // than the copy.
    [[gnu::always_inline]] DbText Keep(std::string_view s) {
        if (s.size() > left_) return Slow(s);
        // In whole pieces of 32 bytes where the last one may run past the
        // text: after it lies the room for the next text, and after the
        // text's bytes in the file more of the file's bytes (when the cursor
        // has that many at hand). No branch on the length but the loop's.
        const size_t whole = (s.size() + kPiece - 1) / kPiece * kPiece;
        const auto* at = reinterpret_cast<const unsigned char*>(s.data());
        if (whole <= left_ && static_cast<size_t>(c_.here() + c_.Available() - at) >= whole) {
            for (size_t i = 0; i < s.size(); i += kPiece) Move<kPiece>(next_ + i, s.data() + i);
        } else {
            Copy(next_, s.data(), s.size());
        }
        DbText t(std::string_view(next_, s.size()));
        next_ += s.size();
        left_ -= s.size();
        used_ += s.size();
        return t;
    }
    // Counts the texts copied so far as the database's.
    void Commit() {
        Arena::TextsUsed(used_);
        used_ = 0;
        next_ = Arena::TextRoom(left_);
    }

private:
    // Exactly, at the end of the bytes at hand or of the room. Texts are
    // short (a name, a line of description): copied in a few word-sized
    // moves, where a call of memcpy would cost more than the copy.
    static void Copy(char* to, const char* from, size_t n) {
        if (n >= 16) {
            size_t i = 0;
            for (; i + 16 <= n; i += 16) Move<16>(to + i, from + i);
            if (i < n) Move<16>(to + n - 16, from + n - 16);
        } else if (n >= 8) {
            Move<8>(to, from);
            Move<8>(to + n - 8, from + n - 8);
        } else if (n >= 4) {
            Move<4>(to, from);
            Move<4>(to + n - 4, from + n - 4);
        } else {
            for (size_t i = 0; i < n; ++i) to[i] = from[i];
        }
    }
    template <size_t k>
    static void Move(char* to, const char* from) {
        char tmp[k];
        std::memcpy(tmp, from, k);
        std::memcpy(to, tmp, k);
    }
    DbText Slow(std::string_view s) {
        Commit();
        DbText t = Arena::Keep(s);
        next_ = Arena::TextRoom(left_);
        return t;
    }
    static constexpr size_t kPiece = 32;
    const Cursor& c_;
    char* next_ = nullptr;
    size_t left_ = 0;
    size_t used_ = 0;
};

class Reader {
public:
    // map: the mapped file the cursor reads, whose pages are given back as
    // the reading passes them; null when the cursor reads through a window.
    Reader(Cursor& c, FileOp::MappedFile* map, LoadObserver* obs)
        : c_(c), map_(map), texts_(c), obs_(obs), lastReport_(std::chrono::steady_clock::now()) {}

    void Run() {
        ReadHeader();
        for (;;) {
            std::string section(StrStep("section name"));
            std::string upper = Basic::UpperAscii(section);
            if (upper == "*END") break;
            int which = SectionIndex(upper);
            if (which < 0) Fail("section " + section);
            if (seen_[which]) Fail("section " + section + " twice");
            seen_[which] = true;
            switch (which) {
                case 0: StringTab(); break;
                case 1: IdTab(); break;
                case 2: Atoms(); break;
                case 3: Props(); break;
                default: AtomProps(); break;
            }
        }
        texts_.Commit();
        // Nothing of the mapped file stays in use.
        if (map_) map_->Release(0, map_->size());
        Finish();
    }

private:
    static int SectionIndex(const std::string& upper) {
        static const char* names[] = {"*STRINGTAB", "*IDTAB", "*ATOMS", "*PROP", "*ATOMPROP"};
        for (int i = 0; i < 5; ++i)
            if (upper == names[i]) return i;
        return -1;
    }

    // A record read; every 256 of them, what was read of a mapped file is
    // given back (so that the file and the copies made of it are never both
    // held whole), and the progress is reported, by time: at most about 30
    // times a second, however fast or slow the load is. The record just read
    // is not given back: its texts are kept after this step, and a page of
    // a map that a lease break made the process's own reads as zeros once
    // given back.
    void Step() {
        if ((++steps_ & 255) != 0) return;
        const auto read = static_cast<size_t>(c_.offset());
        if (map_ && read > kInHand && read - kInHand - released_ >= kReleaseStep) {
            map_->Release(released_, read - kInHand);
            released_ = read - kInHand;
        }
        if (!obs_) return;
        auto now = std::chrono::steady_clock::now();
        if (now - lastReport_ < std::chrono::milliseconds(33)) return;
        lastReport_ = now;
        obs_->Progress(static_cast<double>(static_cast<float>(c_.filePos())));
    }
    std::string_view StrStep(const char* what) {
        std::string_view s = c_.Str(what);
        Step();
        return s;
    }
    // A count is refused beyond its maximum, beyond the tables, and beyond
    // what the bytes left in the file can hold at minBytes a record: no count
    // makes the reader reserve more than the file could fill.
    int32_t Count(const char* what, int32_t max, int32_t capacity, size_t minBytes) {
        int32_t n = c_.I32(what);
        if (n < 0 || n > max) Fail(std::string(what) + " count " + std::to_string(n));
        if (n > capacity) Fail(std::string(what) + " count " + std::to_string(n) + " beyond the tables");
        if (static_cast<size_t>(n) > c_.left() / minBytes)
            Fail(std::string(what) + " count " + std::to_string(n) + " beyond the end of the file");
        return n;
    }

    void ReadHeader() {
        fileHeader.text = StrStep("header");
        if (c_.I16("header zero") != 0) Fail("header zero field");
        fileHeader.field3 = c_.I16("header");
        fileHeader.field4 = c_.I16("header");
        fileHeader.field5 = c_.I32("header");
        fileHeader.field6 = c_.I32("header");
        fileHeader.text7 = StrStep("header");
        fileHeader.text8 = StrStep("header");
    }

    void StringTab() {
        int32_t n = Count("*stringTab", kMaxNameCount, kFileAtomCapacity, 2);
        stringTab.clear();
        stringTab.reserve(static_cast<size_t>(n));
        for (int32_t i = 0; i < n; ++i) {
            std::string_view s = StrStep("name");
            // The lookups are binary searches: the names must be ascending and unique.
            if (i > 0 && CompareNames(stringTab.back(), s) >= 0) Fail("name order at " + std::string(s));
            stringTab.push_back(texts_.Keep(s));
        }
        numStrings = n;
    }

    void IdTab() {
        if (!seen_[0]) Fail("*idTab before *stringTab");
        int32_t n = Count("*idTab", kMaxNameCount, kFileAtomCapacity, 4);
        Table<int32_t> ids(static_cast<size_t>(n));
        for (size_t i = 0; i < ids.size();) {
            // As many ids as the window holds at once.
            const size_t k = std::min(ids.size() - i, c_.Has(4) ? c_.Available() / 4 : 0);
            if (k == 0) {
                ids[i++] = c_.I32("id");
                continue;
            }
            std::memcpy(ids.data() + i, c_.here(), 4 * k);  // little-endian, as the file
            c_.Skip(4 * k);
            i += k;
            Step();
        }
        if (n != numStrings) Fail("*idTab count differs from the names");
        std::vector<char> used(static_cast<size_t>(n), 0);
        for (int32_t id : ids) {
            if (id < 0 || id >= n) Fail("*idTab id " + std::to_string(id));
            if (used[static_cast<size_t>(id)]) Fail("*idTab id twice " + std::to_string(id));
            used[static_cast<size_t>(id)] = 1;
        }
        idTab = std::move(ids);
    }

    // The atom's name: the name table's copy when it lists this atom under
    // these very bytes (as every file the program writes does), else a copy.
    DbText AtomName(std::string_view name, int32_t id) {
        if (seen_[1] && nameAt_.empty()) {
            nameAt_.assign(idTab.size(), -1);
            for (size_t i = 0; i < idTab.size(); ++i) nameAt_[static_cast<size_t>(idTab[i])] = static_cast<int32_t>(i);
        }
        if (static_cast<size_t>(id) < nameAt_.size()) {
            const DbText& listed = stringTab[static_cast<size_t>(nameAt_[static_cast<size_t>(id)])];
            if (listed == name) {
                ++sharedNames_;
                return listed;
            }
        }
        return texts_.Keep(name);
    }

    void Atoms() {
        if (!seen_[0]) Fail("*atoms before *stringTab");
        // An atom record: id, name, five int16 fields, two strings.
        int32_t n = Count("*atoms", kMaxNameCount, kFileAtomCapacity, 20);
        if (n != numStrings) Fail("*atoms count differs from the names");
        atomTab.assign(static_cast<size_t>(n), nothingAtom);
        atom* const records = Arena::TakeAtoms(static_cast<size_t>(n));
        std::vector<char> used(static_cast<size_t>(n), 0);
        auto checkId = [&](int32_t id) {
            if (id < 0 || id >= n) Fail("atom id " + std::to_string(id));
            if (used[static_cast<size_t>(id)]) Fail("atom id twice " + std::to_string(id));
            used[static_cast<size_t>(id)] = 1;
        };
        // The longest atom record: id, three strings of the longest length
        // with their lengths, five int16 fields.
        constexpr size_t kMaxAtomRecord = 4 + 3 * (2 + kMaxString) + 10;
        static const char* const what[5] = {"atom kind", "atom numVariants", "atom textIdx", "atom descrIdx",
                                            "atom Level"};
        for (int32_t i = 0; i < n; ++i) {
            int32_t id;
            std::string_view nameBytes, soundexBytes, upperBytes;  // in the window until its next read
            int16_t f[5];  // kind, numVariants, textIdx, descrIdx, Level
            {
                Record rec(c_, kMaxAtomRecord);
                id = rec.I32("atom id");
                checkId(id);
                nameBytes = rec.Str("atom name");
                for (int k = 0; k < 5; ++k) f[k] = rec.I16(what[k]);
                soundexBytes = rec.Str("atom Soundex");
                upperBytes = rec.Str("atom Uppercase");
            }
            Step();
            const DbText name = AtomName(nameBytes, id);
            const DbText soundex = texts_.Keep(soundexBytes);
            const DbText upper = texts_.Keep(upperBytes);
            atom* a = BinAccess::MakeAtom(records + i, name, id, f[0], f[1], f[2], f[3], f[4], soundex, upper);
            atomTab[static_cast<size_t>(id)] = a;
            if (a->LoadedOnDemand()) {
                // The block stays in the file until the atom is shown; it is
                // read through now, so that a broken one refuses the file.
                const int64_t blockPos = c_.filePos();
                Block b{a, static_cast<int32_t>(blockPos), blockPropers_.size(), 0};
                ReadBlock(c_, n, [&](const RawProp& r) { blockPropers_.push_back(r.proper); });
                b.count = blockPropers_.size() - b.first;
                blocks_.push_back(b);
            }
        }
        numAtoms = n;
        nextId = n;
        nameAt_ = {};
    }

    void Props() {
        if (!seen_[2]) Fail("*prop before *atoms");
        int32_t n = Count("*prop", kMaxPropCount, kFilePropCapacity, kMinPropRecord);
        // The file's properties are made one array, in the order of their
        // ids: the property lists then find a property by its id without a
        // look-up in the property table, which costs a cache miss per list
        // entry of a full-size file.
        Prop* const records = Arena::TakeProps(static_cast<size_t>(n));
        const size_t first = propTab.size();
        atom* const* atoms = atomTab.data();
        // The strings are copied side by side: kept where the file's bytes
        // are, they would keep the records' ids and kinds around them too
        // (about a sixth of the section).
        for (int32_t i = 0; i < n; ++i) {
            const RawProp r = ReadPropRecord(c_, numAtoms);  // ids below numAtoms
            const DbText str = r.kind == 0 ? DbText() : texts_.Keep(r.str);
            BinAccess::MakeProp(records + i, r.kind, atoms[r.proper], r.value, str, static_cast<int32_t>(first) + i);
            Step();
        }
        propTab.AppendArray(records, static_cast<size_t>(n));
        numProps = static_cast<int32_t>(propTab.size());
        if (first == 0) propArray_ = records;
    }

    void AtomProps() {
        if (!seen_[2] || !seen_[3]) Fail("*atomProp before *atoms and *prop");
        int32_t n = Count("*atomProp", kMaxPropCount, numAtoms, 2);
        // Every text has been read (the lists come after the names, the
        // atoms and the properties): the room kept past them for texts is
        // given back before the lists take memory of their own.
        texts_.Commit();
        Arena::TextsDone();
        // The lists' slots side by side, handed out here without a call
        // each: room for as many as the file's bytes can name (within reason).
        size_t room = 0, taken = 0;
        Prop** slots = Arena::SlotRoom(std::min<size_t>(c_.left() / 4, size_t{1} << 20), room);
        auto take = [&](size_t count) {
            if (count <= room - taken) {
                taken += count;
                return slots + taken - count;
            }
            Arena::PropSlots(taken);  // counts those handed out
            Prop** own = Arena::PropSlots(count);
            slots = Arena::SlotRoom(0, room);
            taken = 0;
            return own;
        };
        for (int32_t k = 0; k < n; ++k) {
            int16_t count = c_.I16("property list count");
            if (count < 0) Fail("property list count " + std::to_string(count));
            if (static_cast<size_t>(count) > c_.left() / 4)
                Fail("property list count " + std::to_string(count) + " beyond the end of the file");
            // The list is filled in place; a failure part-way leaves nothing
            // behind, since the whole database is emptied then.
            Prop** list = BinAccess::SetPropList(*atomTab[static_cast<size_t>(k)], static_cast<size_t>(count),
                                                 take(static_cast<size_t>(count)));
            // The ids at hand at once (a list is at most 128 KB).
            Record rec(c_, 4 * static_cast<size_t>(count));
            for (int16_t j = 0; j < count; ++j) {
                const int32_t pid = rec.I32("property id");
                if (pid < 0 || pid >= numProps) Fail("property id " + std::to_string(pid));
                list[j] = propArray_ ? propArray_ + pid : propTab[static_cast<size_t>(pid)];
            }
            Step();
        }
        Arena::PropSlots(taken);
    }

    void Finish() {
        if (numStrings > 0 && !(seen_[1] && seen_[2])) Fail("names without *idTab or *atoms");
        // Each atom that shares its name with the table is listed under its
        // very name at its id's place: when every one does, so does the table.
        for (int32_t i = 0; sharedNames_ != numStrings && i < numStrings; ++i) {
            const atom* a = atomTab[static_cast<size_t>(idTab[static_cast<size_t>(i)])];
            const DbText& listed = stringTab[static_cast<size_t>(i)];
            if (a->name().data() != listed.data() && a->name() != listed && CompareNames(a->name(), listed) != 0)
                Fail("*idTab does not match the names at " + stringTab[static_cast<size_t>(i)]);
        }
        // Every on-demand block must be readable later, from the position
        // its atom's prFilePos gives (its records were read with its atom).
        if (!blocks_.empty()) {
            atom* filePos = GetAtom("prFilePos");
            if (filePos == nothingAtom) Fail("on-demand atoms without prFilePos");
            for (const Block& b : blocks_) {
                Prop* p = b.a->FirstProp(filePos);
                if (!p || Basic::CLng(Basic::Val(std::string(p->strVal()))) != b.pos)
                    Fail("prFilePos of " + b.a->name());
                // The on-demand load takes an atom with four properties for
                // loaded: a block beside four listed properties would never be
                // read, and one too short to reach four would be appended again
                // on every load.
                // It has one prFilePos, in its list: the writer gives it a
                // fresh one and would drop any other.
                if (b.a->CountProps(filePos) != 1) Fail("prFilePos of " + b.a->name() + " more than once");
                for (size_t k = b.first; k < b.first + b.count; ++k)
                    if (AtomById(blockPropers_[k]) == filePos) Fail("prFilePos in the block of " + b.a->name());
                size_t listed = static_cast<size_t>(b.a->NumProp());
                if (b.count > 0 && (listed >= 4 || listed + b.count < 4))
                    Fail("block of " + b.a->name() + " beside " + std::to_string(listed) + " listed properties");
            }
        }
    }

    struct Block {
        atom* a;
        int32_t pos;
        size_t first;  // its records' kind atoms in blockPropers_
        size_t count;
    };

    // How much of a mapped file is given back at a time: each time costs a
    // call and a flush of the processor's address cache.
    static constexpr size_t kReleaseStep = size_t{1} << 20;
    // More than the longest record, whose texts may still be in hand.
    static constexpr size_t kInHand = size_t{64} << 10;
    static_assert(kInHand > 4 + 3 * (2 + kMaxString) + 10, "an atom record is the longest");

    Cursor& c_;
    FileOp::MappedFile* map_;
    size_t released_ = 0;  // the mapped file's bytes given back, from its start
    KeptTexts texts_;
    LoadObserver* obs_;
    unsigned steps_ = 0;
    std::chrono::steady_clock::time_point lastReport_;
    bool seen_[5] = {false, false, false, false, false};
    std::vector<Block> blocks_;
    std::vector<int32_t> blockPropers_;
    std::vector<int32_t> nameAt_;  // by atom id: its index in the name table
    int32_t sharedNames_ = 0;      // atoms whose name is the name table's copy
    Prop* propArray_ = nullptr;    // the properties of the file side by side, by id
};

// The file the database was read from, held open for the rest of the run:
// the on-demand blocks come from the very file the load read, whatever is
// renamed over its name since, and not at all once it changed in place.
struct LoadedFile {
    FileOp::InputFile f;
    FileOp::FileStamp stamp;  // as it was read
    // Of a file that was mapped, the lease kept: it tells of any writer.
    std::unique_ptr<FileOp::MappedFile> watch;
    bool toldChanged = false;  // its change in place has been reported
    bool Unchanged() const { return (!watch || !watch->Broken()) && stamp.SameContents(f.Stamp()); }
};
std::unique_ptr<LoadedFile> loadedFile;
constexpr const char* kChangedInPlace = "the file changed in place since it was loaded";

// The most memory the records of a file of this length can take, with the
// tables of its names and atoms: each count is bounded by the tables'
// capacity and by the bytes its records take at least (Reader::Count), the
// property lists by the room AtomProps reserves, and the arenas hand out
// blocks of at least a given size.
size_t RecordBytes(size_t size) {
    const size_t atoms = std::min<size_t>(kFileAtomCapacity, size / 20) + 1024;
    const size_t props = std::min<size_t>(kFilePropCapacity, size / kMinPropRecord) + 4096;
    const size_t slots = std::min<size_t>(size / 4, size_t{1} << 20) + 16 * 1024;
    // The tables by name and by id (atomTab, stringTab, idTab).
    const size_t tables = atoms * (sizeof(atom*) + sizeof(DbText) + sizeof(int32_t));
    return atoms * sizeof(atom) + props * sizeof(Prop) + slots * sizeof(Prop*) + tables + 8 * 64;
}

// How a read of the file ended.
enum class ReadEnd { Done, Failed, Untrusted };

// One read of the opened file into the emptied database, mapped where that
// can be guarded (and map allows), else through a window. Untrusted when
// the bytes read may be no one version of the file: read through a window
// while the file changed, or mapped when a lease break found no memory for
// the copy (zeros took the bytes' place). st receives a failure.
ReadEnd ReadOnce(LoadedFile& file, bool map, LoadObserver* observer, DbStatus& st) {
    const int64_t size = file.f.Size();
    // Mapped where it can be done safely (FileOp::MappedFile): the records
    // are then read where the file's pages are, without a copy into a
    // window first; else read through a window. Either way the database
    // keeps copies only: the map goes when the load ends.
    std::unique_ptr<FileOp::MappedFile> mapped = map ? FileOp::MappedFile::Map(file.f) : nullptr;
    // Under the lease no writer goes unseen; read through a window, the
    // file is read between two stamps that tell of any change.
    bool fresh = false;
    file.stamp = mapped ? file.f.Stamp() : file.f.SettledStamp(&fresh);
    if (file.stamp.size != size) return ReadEnd::Untrusted;  // the length read is the one at the open
    // The texts kept from the file take at most its size, its records at
    // most RecordBytes: room for both, of which only what they fill is ever
    // touched.
    Arena::BeginLoad(static_cast<size_t>(size), RecordBytes(static_cast<size_t>(size)));
    loading = true;
    if (observer) observer->Start(static_cast<double>(static_cast<float>(size + 1)));
    try {
        if (mapped) {
            Cursor c(mapped->data(), mapped->size());
            Reader(c, mapped.get(), observer).Run();
        } else {
            OpenedFile opened{file.f, static_cast<size_t>(size)};
            FileSource window(opened);
            Cursor c(window, size);
            Reader(c, nullptr, observer).Run();
        }
    } catch (const Malformed& m) {
        st.ok = false;
        st.error = kStructError;
        st.detail = m.detail;
    } catch (const ReadFailed& r) {
        st.ok = false;
        st.error = r.error;
        st.detail = "read";
    }
    if (mapped) {
        if (mapped->Lost()) return ReadEnd::Untrusted;
        mapped->Unmap();
        file.watch = std::move(mapped);
    } else if (!file.stamp.SameContents(file.f.Stamp()) || (fresh && st.error == kStructError)) {
        // Changed while it was read; or written just now and malformed: a
        // file being written passes through such states on its way.
        return ReadEnd::Untrusted;
    }
    return st.ok ? ReadEnd::Done : ReadEnd::Failed;
}

}  // namespace

DbStatus ReadBinFile(const std::string& fileName, LoadObserver* observer) {
    // A file that changed while it was read is read again, twice at most,
    // and then refused: what was read may be half the old file and half the
    // new one.
    constexpr int kReads = 3;
    DbStatus st;
    bool map = true;
    for (int read = 1;; ++read) {
        st = DbStatus{};
        st.path = fileName;
        auto file = std::make_unique<LoadedFile>();
        if (int err = file->f.Open(FileOp::Native(fileName))) {
            st.ok = false;
            // What is no ordinary file (a folder, a pipe) is no database file.
            st.openFailed = err != FileOp::kErrNotAFile;
            st.error = st.openFailed ? err : kStructError;
            st.detail = "open";
        } else if (file->f.Size() > std::numeric_limits<int32_t>::max() - 1) {
            // Longer than any position the format can name: refused before
            // a byte is read.
            st.ok = false;
            st.error = kStructError;
            st.detail = "file too long";
        }
        // The previous database goes before the file is read: its memory
        // serves the new one.
        InitDataBase();
        if (!st.ok) break;
        const ReadEnd end = ReadOnce(*file, map, observer, st);
        if (end == ReadEnd::Done) {
            loadedFile = std::move(file);
            break;
        }
        InitDataBase();
        if (end == ReadEnd::Failed) break;
        // Read again through a window: a map that lost its bytes to a lack
        // of memory would lose them again.
        map = false;
        if (read == kReads) {
            st.ok = false;
            st.error = kStructError;
            st.detail = "the file changed while it was read";
            break;
        }
    }
    if (!st.ok) {
        loading = false;
        if (observer) observer->Failed(st);
        return st;
    }
    Arena::EndLoad();
    dbFileName = fileName;
    fileAtomCount = numAtoms;
    InitPropKinds();
    CountKinds();
    const int64_t size = loadedFile->f.Size();
    if (observer) observer->Progress(static_cast<double>(static_cast<float>(size + 1)));
    loading = false;
    return st;
}

void ForgetLoadedFile() { loadedFile.reset(); }

// ============================================================================
// On demand
// ============================================================================

void SetFileErrorHandler(FileErrorHandler handler) { fileErrorHandler = std::move(handler); }

void ReportFileError(const DbStatus& st) {
    if (fileErrorHandler)
        fileErrorHandler(st);
    else
        ShowFileError(st);
}

void ShowFileError(const DbStatus& st) {
    if (st.ok) return;
    if (st.error >= kStructError) {
        GenMsg::ShowMsg(GenMsg::GMstructError, 0, st.path);
    } else {
        bool retry = false;
        GenMsg::ShowDiskError(st.path, false, retry, st.error);
    }
}

DbStatus LoadOnDemandStatus(atom& a) {
    DbStatus st;
    st.path = dbFileName;
    if (a.NumProp() >= 4) return st;
    int32_t pos = 0;
    if (!a.GetFilePos(pos)) {
        Assert(false, "LoadOnDemand filePos");
        st.ok = false;
        return st;
    }
    // An atom from the user-names file carries all its properties and the
    // position -1: there is nothing in the database file for it.
    if (pos == -1) return st;
    if (!loadedFile || dbFileName.empty()) {
        st.ok = false;
        st.openFailed = true;
        st.error = FileOp::kErrFileNotFound;
        return st;
    }
    FileOp::InputFile& f = loadedFile->f;
    try {
        // A block of a file changed in place belongs to another database.
        auto unchanged = [&] {
            if (!loadedFile->Unchanged()) Fail(kChangedInPlace);
        };
        unchanged();
        if (pos < 1) Fail("block position " + std::to_string(pos));
        const long long size = loadedFile->stamp.size;
        if (pos > size) Fail("block position " + std::to_string(pos));
        // Read the block's head for its length, then the block whole; the
        // properties are appended only once every record has been read.
        auto readAt = [&](long long at, unsigned char* to, size_t n, const char* what) {
            if (!f.Seek(at)) throw f.Error() ? f.Error() : FileOp::kErrPathAccess;
            size_t got = f.Read(reinterpret_cast<char*>(to), n);
            if (f.Error() != 0) throw f.Error();
            if (got < n) Fail(what);
        };
        unsigned char head[4];
        readAt(pos - 1, head, 4, "block end beyond the file");
        const int64_t end = Cursor::Load32(head);
        if (end < static_cast<int64_t>(pos) + 6 || end > static_cast<int64_t>(size) + 1)
            Fail("block end " + std::to_string(end));
        std::vector<unsigned char> block(static_cast<size_t>(end - pos));
        readAt(pos - 1, block.data(), block.size(), "block beyond the file");
        unchanged();
        // Every record is read before any is made: a block that fails
        // part-way adds nothing.
        std::vector<RawProp> raws;
        Cursor c(block.data(), block.size(), 0, pos - 1);
        ReadBlock(c, fileAtomCount, [&](const RawProp& r) { raws.push_back(r); });
        std::vector<Prop*> props;
        props.reserve(raws.size());
        for (const RawProp& r : raws) props.push_back(MakeProp(r, false));
        BinAccess::AppendProps(a, props);
    } catch (const Malformed& m) {
        st.ok = false;
        st.error = kStructError;
        st.detail = m.detail;
    } catch (int err) {
        st.ok = false;
        st.error = err ? err : FileOp::kErrDeviceIO;
        st.detail = "read";
    }
    return st;
}

void TakeFileAsLoaded() {
    if (!loadedFile) return;
    loadedFile->watch.reset();
    loadedFile->stamp = loadedFile->f.Stamp();
}

}  // namespace DataBase

bool atom::LoadOnDemand() {
    DataBase::DbStatus st = DataBase::LoadOnDemandStatus(*this);
    // A missing file position has raised its assertion already; a failed
    // read and a malformed block are the caller's message, naming the file.
    // A file changed in place refuses every block alike: that is told once.
    if (!st.ok && st.error != 0) {
        auto& file = DataBase::loadedFile;
        if (st.detail != DataBase::kChangedInPlace || (file && !std::exchange(file->toldChanged, true)))
            DataBase::ReportFileError(st);
    }
    return st.ok;
}
