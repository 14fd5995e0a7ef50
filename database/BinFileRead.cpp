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
#include <mutex>
#include <optional>
#include <bit>
#include <unordered_map>
#include <utility>
#include <vector>
#include <sys/mman.h>
#include <unistd.h>

#include "BinFileBytes.h"
#include "BodySum.h"
#include "DataBase.h"
#include "DbInternal.h"
#include "Errors.h"
#include "FileOp.h"
#include "GenMsg.h"

using Errors::Assert;

namespace DataBase {

using namespace FileBytes;

BinHeader fileHeader;
std::string dbFileName;

namespace {

// The number of atoms in the file read last: ids in on-demand blocks name
// atoms of that file only.
int32_t fileAtomCount = 0;
FileErrorHandler fileErrorHandler;

constexpr int32_t kMaxNameCount = 100000;
constexpr int32_t kMaxPropCount = 200000;

// A running load as a thread that waits for it sees it (FaultAhead): where
// its next text goes and how far its texts may reach, the memory of its
// records handed out; and how far that thread has faulted each in.
struct Ahead {
    std::mutex m;
    bool running = false;
    const char* textAt = nullptr;
    const char* textBound = nullptr;
    const char* zoneFrom = nullptr;
    const char* zoneTo = nullptr;
    const char* textDone = nullptr;
    const char* zoneDone = nullptr;
};
Ahead ahead;


// A property of the record; its string is copied into the database's texts.
Prop* MakeProp(const RawProp& r, bool reg) {
    Prop* p = NewProp();
    atom* proper = AtomById(r.proper);
    atom* value = r.kind == 1 ? nullptr : AtomById(r.value);
    DbText str = r.kind == 0 ? DbText() : Arena::Keep(r.str);
    BinAccess::InitKept(*p, r.kind, proper, value, str, reg);
    return p;
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
    // Where the next text goes.
    const char* Next() const { return next_; }
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

// The longest header: three strings of the longest length and their
// lengths, two int16 and two int32 fields, and the zero field.
constexpr size_t kMaxHeader = 3 * (2 + kMaxString) + 2 + 2 * 2 + 2 * 4;

class Reader {
public:
    // map: the mapped file the cursor reads, whose pages are given back as
    // the reading passes them; window: the window the cursor reads through
    // otherwise (one of the two is null). sumLater: a mapped file's body is
    // not summed here (see BodyLeft).
    Reader(Cursor& c, FileOp::MappedFile* map, FileSource* window, LoadObserver* obs, bool sumLater = false)
        : c_(c), map_(map), window_(window), sumLater_(sumLater), texts_(c), obs_(obs),
          lastReport_(std::chrono::steady_clock::now()) {}

    // Whether the bytes read do not give the checksum the file carries
    // (once Run has returned).
    bool SumDiffers() const { return sumDiffers_; }
    // Where the body of a mapped file that carries its checksum begins, when
    // its sum was left for later.
    std::optional<size_t> BodyLeft() const { return bodyFrom_; }

    void Run() {
        // The whole header in the window at once: the sum begins right after it.
        c_.Hold(kMaxHeader);
        ReadHeader();
        // The sum tells a damaged file by whichever way it is read: through
        // a window, of the bytes as they pass; mapped (where no writer
        // changes them meanwhile), beside the reading, on a thread of its own.
        const bool marked = fileHeader.field6 == kSumMark;
        summing_ = window_ && marked;
        if (summing_) window_->SumFrom(sum_, c_.offset());
        if (map_ && marked) {
            if (sumLater_)
                bodyFrom_ = c_.offset();
            else
                mapSum_ = std::make_unique<MappedBodySum>(map_->data(), c_.offset(), map_->size());
        }
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
        if (summing_) {
            window_->SumRest();
            sumDiffers_ = sum_.Value() != static_cast<uint32_t>(fileHeader.field5);
        }
        if (mapSum_) sumDiffers_ = mapSum_->Value() != static_cast<uint32_t>(fileHeader.field5);
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
    // is not given back: its texts are kept after this step.
    void Step() {
        if ((++steps_ & 255) != 0) return;
        Tell();
        const auto read = static_cast<size_t>(c_.offset());
        if (map_ && read > kInHand) {
            // Not before the sum has taken them in.
            const size_t to = mapSum_ ? mapSum_->Bound(read - kInHand) : read - kInHand;
            if (to >= released_ + kReleaseStep) {
                map_->Release(released_, to);
                released_ = to;
            }
        }
        if (!obs_) return;
        auto now = std::chrono::steady_clock::now();
        if (now - lastReport_ < std::chrono::milliseconds(33)) return;
        lastReport_ = now;
        obs_->Progress(static_cast<double>(static_cast<float>(c_.filePos())));
    }
    // Tells a thread that waits for the load where it stands (FaultAhead).
    // The texts still to come are no longer than the bytes left in the file
    // but for the fixed parts of the properties not yet read and of the
    // property lists, which come after them. The blocks handed out for the
    // records are all filled, but not the room the lists take for their
    // slots (as many as the bytes left could name): once the texts are
    // done, and that room taken, nothing more is told of them.
    void Tell() {
        size_t notTexts = 0;
        if (propsAhead_ > 0) {
            const size_t read = steps_ - propsFrom_;
            notTexts = (propsAhead_ > read ? propsAhead_ - read : 0) * kMinPropRecord + 2 * static_cast<size_t>(numAtoms);
        }
        const size_t left = static_cast<size_t>(c_.left());
        const char* zoneFrom = nullptr;
        const char* zoneTo = nullptr;
        Arena::LoadHanded(zoneFrom, zoneTo);
        std::lock_guard<std::mutex> lock(ahead.m);
        if (!textsDone_) {
            ahead.zoneFrom = zoneFrom;
            ahead.zoneTo = zoneTo;
        }
        ahead.textAt = texts_.Next();
        ahead.textBound = textsDone_ ? ahead.textAt : ahead.textAt + (left > notTexts ? left - notTexts : 0);
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
        propsAhead_ = static_cast<size_t>(n);
        propsFrom_ = steps_;
        Tell();
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
        textsDone_ = true;
        propsAhead_ = 0;
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
    FileSource* window_;
    bool sumLater_;
    std::optional<size_t> bodyFrom_;
    size_t released_ = 0;  // the mapped file's bytes given back, from its start
    bool summing_ = false;  // read through a window, it carries the checksum of its body
    BodySum sum_;
    std::unique_ptr<MappedBodySum> mapSum_;  // mapped, it carries the checksum
    bool sumDiffers_ = false;
    KeptTexts texts_;
    LoadObserver* obs_;
    unsigned steps_ = 0;
    size_t propsAhead_ = 0;   // the properties of the section being read
    unsigned propsFrom_ = 0;  // steps_ at its start
    bool textsDone_ = false;
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
// renamed over its name since. Once it changed in place they come from the
// copy its lease break made, where it was mapped, or not at all.
struct LoadedFile {
    FileOp::InputFile f;
    FileOp::FileStamp stamp;  // as it was read
    // Of a file that was mapped, the map and its lease, kept: the lease
    // tells of any writer, whose open first makes the map a copy of the
    // bytes as they were loaded (its pages are given back until then).
    std::unique_ptr<FileOp::MappedFile> watch;
    // The checksum of the body left for CheckBody (a file mapped and read
    // with BodyCheck::Later): where the body begins, and the sum the header
    // gives.
    std::optional<std::pair<size_t, uint32_t>> bodyLeft;
    bool toldChanged = false;  // its change in place has been reported
    bool Unchanged() const { return (!watch || !watch->Broken()) && stamp.SameContents(f.Stamp()); }
    // The loaded bytes, when the file changed in place since and they were
    // copied whole (null otherwise).
    const unsigned char* Copy() const {
        return watch && watch->Broken() && !watch->Lost() ? watch->data() : nullptr;
    }
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
ReadEnd ReadOnce(LoadedFile& file, bool map, LoadObserver* observer, DbStatus& st, BodyCheck check) {
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
    {
        std::lock_guard<std::mutex> lock(ahead.m);
        ahead.running = true;
        ahead.textAt = ahead.textBound = ahead.zoneFrom = ahead.zoneTo = ahead.textDone = ahead.zoneDone = nullptr;
    }
    if (observer) observer->Start(static_cast<double>(static_cast<float>(size + 1)));
    bool sumDiffers = false;
    std::optional<size_t> bodyLeft;
    try {
        if (mapped) {
            Cursor c(mapped->data(), mapped->size());
            Reader r(c, mapped.get(), nullptr, observer, check == BodyCheck::Later);
            r.Run();
            sumDiffers = r.SumDiffers();
            bodyLeft = r.BodyLeft();
        } else {
            OpenedFile opened{file.f, static_cast<size_t>(size)};
            FileSource window(opened);
            Cursor c(window, size);
            Reader r(c, nullptr, &window, observer);
            r.Run();
            sumDiffers = r.SumDiffers();
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
    {
        std::lock_guard<std::mutex> lock(ahead.m);
        ahead.running = false;
    }
    const bool wasMapped = mapped != nullptr;
    if (mapped) {
        if (mapped->Lost()) return ReadEnd::Untrusted;
        file.watch = std::move(mapped);
    } else if (!file.stamp.SameContents(file.f.Stamp()) || (fresh && st.error == kStructError)) {
        // Changed while it was read; or written just now and malformed: a
        // file being written passes through such states on its way.
        return ReadEnd::Untrusted;
    }
    // The bytes read are not the ones the file was written with: damaged,
    // or, read through a window, read while a write was still under way
    // (which the stamps miss: a write sets the times as it begins). Mapped
    // under a lease, no write was under way: the file is damaged, and so
    // refused at once, as a read through a window refuses it in the end.
    if (sumDiffers) {
        st.detail = "its body does not give its checksum";
        if (!wasMapped) return ReadEnd::Untrusted;
        st.ok = false;
        st.error = kStructError;
        return ReadEnd::Failed;
    }
    if (st.ok && bodyLeft) file.bodyLeft = std::pair(*bodyLeft, static_cast<uint32_t>(fileHeader.field5));
    return st.ok ? ReadEnd::Done : ReadEnd::Failed;
}

// ReadBinFile, mapping the file (where that can be guarded) only when map.
DbStatus ReadFile(const std::string& fileName, LoadObserver* observer, BodyCheck check, bool map) {
    // A file that changed while it was read is read again, twice at most,
    // and then refused: what was read may be half the old file and half the
    // new one.
    constexpr int kReads = 3;
    DbStatus st;
    std::string why;  // why the last read was not trusted
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
        const ReadEnd end = ReadOnce(*file, map, observer, st, check);
        if (end == ReadEnd::Done) {
            loadedFile = std::move(file);
            break;
        }
        InitDataBase();
        if (end == ReadEnd::Failed) break;
        why = st.detail.empty() ? "the file changed while it was read" : st.detail;
        // Read again through a window: a map that lost its bytes to a lack
        // of memory would lose them again.
        map = false;
        if (read == kReads) {
            st.ok = false;
            st.error = kStructError;
            st.detail = why + " (read " + std::to_string(kReads) + " times)";
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

// The body is summed in steps of this size, each given back once summed.
constexpr size_t kCheckStep = size_t{1} << 20;

}  // namespace

DbStatus ReadBinFile(const std::string& fileName, LoadObserver* observer, BodyCheck check) {
    return ReadFile(fileName, observer, check, true);
}

bool FaultAhead() {
#ifdef MADV_POPULATE_WRITE
    constexpr uintptr_t kPiece = uintptr_t{2} << 20;  // a huge page: the load's memory asks for them
    constexpr uintptr_t kMargin = uintptr_t{1} << 20;
    static const auto kPage = static_cast<uintptr_t>(::sysconf(_SC_PAGESIZE));
    uintptr_t from = 0, to = 0;
    {
        std::lock_guard<std::mutex> lock(ahead.m);
        if (!ahead.running) return false;
        // The texts' next piece past the one the next text goes to.
        const auto at = reinterpret_cast<uintptr_t>(ahead.textAt);
        const auto bound = reinterpret_cast<uintptr_t>(ahead.textBound);
        const uintptr_t next = (at / kPiece + 1) * kPiece;
        if (at != 0 && next >= reinterpret_cast<uintptr_t>(ahead.textDone) && next + kMargin <= bound) {
            from = next;
            to = std::min(next + kPiece, bound / kPage * kPage);
            ahead.textDone = reinterpret_cast<const char*>(to);
        } else {
            // The records' memory handed out and not yet faulted in here.
            if (!ahead.zoneFrom) return false;
            from = std::max(reinterpret_cast<uintptr_t>(ahead.zoneFrom), reinterpret_cast<uintptr_t>(ahead.zoneDone));
            to = std::min(from + kPiece, reinterpret_cast<uintptr_t>(ahead.zoneTo) / kPage * kPage);
            if (from >= to) return false;
            ahead.zoneDone = reinterpret_cast<const char*>(to);
        }
    }
    // Only makes the pages there: what the load writes meanwhile stays.
    ::madvise(reinterpret_cast<void*>(from), to - from, MADV_POPULATE_WRITE);
    return true;
#else
    return false;
#endif
}

bool BodyCheckPending() { return loadedFile && loadedFile->bodyLeft; }

DbStatus CheckBody() {
    DbStatus st;
    st.path = dbFileName;
    if (!BodyCheckPending()) return st;
    const auto [from, expected] = *std::exchange(loadedFile->bodyLeft, std::nullopt);
    FileOp::MappedFile& map = *loadedFile->watch;
    // The load gave back the pages it read: they come in again from the
    // file, or from the copy a lease break made of them, and go again, so
    // that the file is not held whole beside the database now either.
    BodySum sum;
    for (size_t at = from; at < map.size();) {
        const size_t n = std::min(kCheckStep, map.size() - at);
        sum.Add(map.data() + at, n);
        map.Release(at, at + n);
        at += n;
    }
    map.Release(0, map.size());
    // Zeros in the place of the loaded bytes tell nothing of them: the file
    // is read again, as a load that lost them reads it.
    if (map.Lost()) return ReadFile(st.path, nullptr, BodyCheck::During, false);
    if (sum.Value() == expected) return st;
    InitDataBase();
    st.ok = false;
    st.error = kStructError;
    st.detail = "its body does not give its checksum";
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
        if (pos < 1) Fail("block position " + std::to_string(pos));
        const long long size = loadedFile->stamp.size;
        if (pos > size) Fail("block position " + std::to_string(pos));
        // The block's head for its length, then the block whole, from the
        // file or from the copy of its bytes as loaded.
        auto readBlock = [&](const unsigned char* copy) {
            auto readAt = [&](long long at, unsigned char* to, size_t n, const char* what) {
                if (copy) {
                    if (at + static_cast<long long>(n) > size) Fail(what);
                    std::memcpy(to, copy + at, n);
                    return;
                }
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
            std::vector<unsigned char> bytes(static_cast<size_t>(end - pos));
            readAt(pos - 1, bytes.data(), bytes.size(), "block beyond the file");
            return bytes;
        };
        // From the file while it is as it was loaded, else from the copy of
        // the loaded bytes; a block of a file changed in place belongs to
        // another database. A change that came while the block was read has
        // it read again, from the copy.
        std::vector<unsigned char> block;
        for (int round = 1;; ++round) {
            const unsigned char* copy = loadedFile->Copy();
            if (!copy && !loadedFile->Unchanged()) Fail(kChangedInPlace);
            std::optional<Malformed> failed;
            try {
                block = readBlock(copy);
            } catch (const Malformed& m) {
                failed = m;
            }
            // The copy still whole (a lack of memory leaves zeros), or the
            // file still as loaded: what was read is the loaded block.
            if (copy ? loadedFile->Copy() != nullptr : loadedFile->Unchanged()) {
                if (failed) throw *failed;
                break;
            }
            if (copy || round == 2) Fail(kChangedInPlace);
        }
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
    loadedFile->watch.reset();  // and with it the copy of the bytes as loaded
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
