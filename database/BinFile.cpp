#include "BinFile.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <unordered_map>
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

constexpr int kMaxString = 1000;
constexpr int32_t kMaxNameCount = 100000;
constexpr int32_t kMaxPropCount = 200000;


struct Malformed {
    std::string detail;
};

[[noreturn]] void Fail(const std::string& detail) { throw Malformed{detail}; }

// A whole file read once into a buffer of its exact length.
struct FileBytes {
    Arena::Bytes data;
    size_t size = 0;
};

// Reads a whole file; st gets the run-time number of a failure.
bool ReadAll(const std::string& path, FileBytes& out, DbStatus& st) {
    FileOp::InputFile f;
    if (int err = f.Open(FileOp::Native(path))) {
        st.ok = false;
        st.openFailed = true;
        st.error = err;
        st.detail = "open";
        return false;
    }
    long long size = f.Size();
    if (size < 0 || size > std::numeric_limits<int32_t>::max()) {
        // Not an ordinary file, or one longer than any position the format
        // can name: refused before a byte is read into memory.
        st.ok = false;
        st.error = kStructError;
        st.detail = "file too long";
        return false;
    }
    out.size = static_cast<size_t>(size);
    out.data = Arena::NewBytes(out.size);
    size_t got = f.Read(reinterpret_cast<char*>(out.data.get()), out.size);
    if (f.Error() != 0) {
        st.ok = false;
        st.error = f.Error();
        st.detail = "read";
        return false;
    }
    // A file cut short since it was opened is read as far as it goes; the
    // parse refuses it if that is not a whole database.
    out.size = got;
    return true;
}

// Little-endian reading of a byte buffer; every read past its end is a
// malformed file.
class Cursor {
public:
    Cursor(const unsigned char* data, size_t size, size_t pos = 0) : d_(data), n_(size), pos_(pos) {}

    size_t pos() const { return pos_; }
    // The 1-based file position of the next byte.
    int64_t filePos() const { return static_cast<int64_t>(pos_) + 1; }
    size_t size() const { return n_; }
    void seek(size_t pos) { pos_ = pos; }

    int16_t I16(const char* what) {
        Need(2, what);
        auto v = static_cast<uint16_t>(d_[pos_] | (d_[pos_ + 1] << 8));
        pos_ += 2;
        return static_cast<int16_t>(v);
    }
    int32_t I32(const char* what) {
        Need(4, what);
        uint32_t v = static_cast<uint32_t>(d_[pos_]) | (static_cast<uint32_t>(d_[pos_ + 1]) << 8) |
                     (static_cast<uint32_t>(d_[pos_ + 2]) << 16) |
                     (static_cast<uint32_t>(d_[pos_ + 3]) << 24);
        pos_ += 4;
        return static_cast<int32_t>(v);
    }
    // A view of the string's bytes in the buffer.
    std::string_view Str(const char* what) {
        int16_t len = I16(what);
        if (len < 0 || len > kMaxString) Fail(std::string("string length ") + std::to_string(len) + " " + what);
        Need(static_cast<size_t>(len), what);
        std::string_view s(reinterpret_cast<const char*>(d_ + pos_), static_cast<size_t>(len));
        pos_ += static_cast<size_t>(len);
        return s;
    }
    // The bytes left after the read position.
    size_t left() const { return n_ - std::min(pos_, n_); }

private:
    void Need(size_t k, const char* what) {
        if (k > n_ - std::min(pos_, n_)) Fail(std::string("end of file in ") + what);
    }
    const unsigned char* d_;
    size_t n_;
    size_t pos_;
};

// One property record, its ids checked against the atom count.
// The string views the buffer it was read from.
struct RawProp {
    int32_t proper = 0;
    int16_t kind = 0;
    int32_t value = 0;
    std::string_view str;
};

// The fewest bytes a property record takes (a string record with an empty
// string): bounds what a count may make the reader reserve.
constexpr size_t kMinPropRecord = 8;

RawProp ReadPropRecord(Cursor& c, int32_t atomCount) {
    RawProp r;
    r.proper = c.I32("property kind atom");
    if (r.proper < 0 || r.proper >= atomCount)
        Fail("property kind atom id " + std::to_string(r.proper));
    r.kind = c.I16("property kind");
    if (r.kind != 0 && r.kind != 1) r.kind = 2;
    if (r.kind != 1) {
        r.value = c.I32("property value atom");
        if (r.value < 0 || r.value >= atomCount) Fail("property value atom id " + std::to_string(r.value));
    }
    if (r.kind != 0) r.str = c.Str("property string");
    return r;
}

// kept: the string lies in a buffer the database keeps (the loaded file);
// otherwise it is copied into the database's texts.
Prop* MakeProp(const RawProp& r, bool reg, bool kept) {
    Prop* p = NewProp();
    atom* proper = AtomById(r.proper);
    atom* value = r.kind == 1 ? nullptr : AtomById(r.value);
    DbText str = r.kind == 0 ? DbText() : kept ? DbText(r.str) : Arena::Keep(r.str);
    BinAccess::InitKept(*p, r.kind, proper, value, str, reg);
    return p;
}

// The records of an on-demand block starting at index `at` of data, where
// data[0] is the byte at 0-based file offset `origin`: the block's end
// position must lie in the data, and its m records must end exactly there.
std::vector<RawProp> ReadBlock(const unsigned char* data, size_t size, size_t at, int64_t origin,
                               int32_t atomCount) {
    Cursor c(data, size, at);
    int64_t blockPos = origin + static_cast<int64_t>(at) + 1;
    int64_t end = c.I32("block end");
    int16_t m = c.I16("block count");
    if (m < 0) Fail("block count " + std::to_string(m));
    if (end < blockPos + 6 || end > origin + static_cast<int64_t>(size) + 1)
        Fail("block end " + std::to_string(end));
    auto limit = static_cast<size_t>(end - 1 - origin);
    if (static_cast<size_t>(m) > (limit - std::min(limit, c.pos())) / kMinPropRecord)
        Fail("block count " + std::to_string(m) + " beyond the block");
    std::vector<RawProp> out;
    out.reserve(static_cast<size_t>(m));
    Cursor body(data, limit, c.pos());
    for (int i = 0; i < m; ++i) out.push_back(ReadPropRecord(body, atomCount));
    if (body.pos() != limit) Fail("block end " + std::to_string(end) + " not at its records' end");
    return out;
}

class Reader {
public:
    Reader(const unsigned char* data, size_t size, LoadObserver* obs)
        : c_(data, size), obs_(obs), data_(data), size_(size), lastReport_(std::chrono::steady_clock::now()) {}

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
        Finish();
    }

private:
    static int SectionIndex(const std::string& upper) {
        static const char* names[] = {"*STRINGTAB", "*IDTAB", "*ATOMS", "*PROP", "*ATOMPROP"};
        for (int i = 0; i < 5; ++i)
            if (upper == names[i]) return i;
        return -1;
    }

    // The progress is reported by time: at most about 30 times a second,
    // however fast or slow the load is. The clock is asked every 256 steps.
    void Step() {
        if (!obs_ || (++steps_ & 255) != 0) return;
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
            stringTab.emplace_back(s);
        }
        numStrings = n;
    }

    void IdTab() {
        if (!seen_[0]) Fail("*idTab before *stringTab");
        int32_t n = Count("*idTab", kMaxNameCount, kFileAtomCapacity, 4);
        std::vector<int32_t> ids(static_cast<size_t>(n));
        for (auto& id : ids) {
            id = c_.I32("id");
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

    void Atoms() {
        if (!seen_[0]) Fail("*atoms before *stringTab");
        // An atom record: id, name, five int16 fields, two strings.
        int32_t n = Count("*atoms", kMaxNameCount, kFileAtomCapacity, 20);
        if (n != numStrings) Fail("*atoms count differs from the names");
        atomTab.assign(static_cast<size_t>(n), nothingAtom);
        Arena::ReserveAtoms(static_cast<size_t>(n));
        std::vector<char> used(static_cast<size_t>(n), 0);
        for (int32_t i = 0; i < n; ++i) {
            int32_t id = c_.I32("atom id");
            if (id < 0 || id >= n) Fail("atom id " + std::to_string(id));
            if (used[static_cast<size_t>(id)]) Fail("atom id twice " + std::to_string(id));
            used[static_cast<size_t>(id)] = 1;
            DbText name = StrStep("atom name");
            int16_t kind = c_.I16("atom kind");
            int16_t numVariants = c_.I16("atom numVariants");
            int16_t textIdx = c_.I16("atom textIdx");
            int16_t descrIdx = c_.I16("atom descrIdx");
            int16_t level = c_.I16("atom Level");
            DbText soundex = c_.Str("atom Soundex");
            DbText upper = c_.Str("atom Uppercase");
            atom* a = Arena::NewAtomKept(name, id);
            BinAccess::SetDerived(*a, kind, numVariants, textIdx, descrIdx, level, soundex, upper);
            atomTab[static_cast<size_t>(id)] = a;
            if (a->LoadedOnDemand()) {
                int64_t blockPos = c_.filePos();
                int32_t end = c_.I32("block end");
                if (end < blockPos + 6 || static_cast<int64_t>(end) > static_cast<int64_t>(c_.size()) + 1)
                    Fail("block end of " + name);
                blocks_.push_back({a, static_cast<int32_t>(blockPos)});
                c_.seek(static_cast<size_t>(end) - 1);
            }
        }
        numAtoms = n;
        nextId = n;
    }

    void Props() {
        if (!seen_[2]) Fail("*prop before *atoms");
        int32_t n = Count("*prop", kMaxPropCount, kFilePropCapacity, kMinPropRecord);
        propTab.reserve(static_cast<size_t>(n));
        Arena::ReserveProps(static_cast<size_t>(n));
        for (int32_t i = 0; i < n; ++i) {
            MakeProp(ReadPropRecord(c_, numAtoms), true, true);
            Step();
        }
        // The reservation made the file's properties one array, in the order
        // of their ids: the property lists then find a property by its id
        // without a look-up in the property table, which costs a cache miss
        // per list entry of a full-size file.
        if (n > 0 && propTab.size() == static_cast<size_t>(n) &&
            propTab.back() == propTab.front() + (n - 1))
            propArray_ = propTab.front();
    }

    void AtomProps() {
        if (!seen_[2] || !seen_[3]) Fail("*atomProp before *atoms and *prop");
        int32_t n = Count("*atomProp", kMaxPropCount, numAtoms, 2);
        for (int32_t k = 0; k < n; ++k) {
            int16_t count = c_.I16("property list count");
            if (count < 0) Fail("property list count " + std::to_string(count));
            if (static_cast<size_t>(count) > c_.left() / 4)
                Fail("property list count " + std::to_string(count) + " beyond the end of the file");
            // The list is filled in place; a failure part-way leaves nothing
            // behind, since the whole database is emptied then.
            Prop** list = BinAccess::SetPropList(*atomTab[static_cast<size_t>(k)], static_cast<size_t>(count));
            for (int16_t j = 0; j < count; ++j) {
                int32_t pid = c_.I32("property id");
                if (pid < 0 || pid >= numProps) Fail("property id " + std::to_string(pid));
                list[j] = propArray_ ? propArray_ + pid : propTab[static_cast<size_t>(pid)];
            }
            Step();
        }
    }

    void Finish() {
        if (numStrings > 0 && !(seen_[1] && seen_[2])) Fail("names without *idTab or *atoms");
        for (int32_t i = 0; i < numStrings; ++i) {
            const atom* a = atomTab[static_cast<size_t>(idTab[static_cast<size_t>(i)])];
            const DbText& listed = stringTab[static_cast<size_t>(i)];
            if (a->name() != listed && CompareNames(a->name(), listed) != 0)
                Fail("*idTab does not match the names at " + stringTab[static_cast<size_t>(i)]);
        }
        // Every on-demand block must be readable later, from the position
        // its atom's prFilePos gives.
        if (!blocks_.empty()) {
            atom* filePos = GetAtom("prFilePos");
            if (filePos == nothingAtom) Fail("on-demand atoms without prFilePos");
            for (const Block& b : blocks_) {
                Prop* p = b.a->FirstProp(filePos);
                if (!p || Basic::CLng(Basic::Val(std::string(p->strVal()))) != b.pos)
                    Fail("prFilePos of " + b.a->name());
                std::vector<RawProp> block =
                    ReadBlock(data_, size_, static_cast<size_t>(b.pos) - 1, 0, numAtoms);
                // The on-demand load takes an atom with four properties for
                // loaded: a block beside four listed properties would never be
                // read, and one too short to reach four would be appended again
                // on every load.
                // It has one prFilePos, in its list: the writer gives it a
                // fresh one and would drop any other.
                if (b.a->CountProps(filePos) != 1) Fail("prFilePos of " + b.a->name() + " more than once");
                for (const RawProp& r : block)
                    if (AtomById(r.proper) == filePos) Fail("prFilePos in the block of " + b.a->name());
                size_t listed = static_cast<size_t>(b.a->NumProp());
                if (!block.empty() && (listed >= 4 || listed + block.size() < 4))
                    Fail("block of " + b.a->name() + " beside " + std::to_string(listed) + " listed properties");
            }
        }
    }

    struct Block {
        atom* a;
        int32_t pos;
    };

    Cursor c_;
    LoadObserver* obs_;
    const unsigned char* data_;
    size_t size_;
    unsigned steps_ = 0;
    std::chrono::steady_clock::time_point lastReport_;
    bool seen_[5] = {false, false, false, false, false};
    std::vector<Block> blocks_;
    Prop* propArray_ = nullptr;  // the properties of the file side by side, by id
};

}  // namespace

DbStatus ReadBinFile(const std::string& fileName, LoadObserver* observer) {
    DbStatus st;
    st.path = fileName;
    FileBytes file;
    if (!ReadAll(fileName, file, st)) {
        // Nothing of the file is in memory: the database is as empty as
        // after a malformed one.
        InitDataBase();
        if (observer) observer->Failed(st);
        return st;
    }
    InitDataBase();
    fileHeader = BinHeader{};
    // The database keeps the file's bytes: its texts are views of them.
    const unsigned char* data = file.data.get();
    const size_t size = file.size;
    Arena::KeepBuffer(std::move(file.data));
    if (observer) observer->Start(static_cast<double>(static_cast<float>(size + 1)));
    loading = true;
    try {
        if (size > static_cast<size_t>(std::numeric_limits<int32_t>::max() - 1)) Fail("file too long");
        Reader(data, size, observer).Run();
    } catch (const Malformed& m) {
        st.ok = false;
        st.error = kStructError;
        st.detail = m.detail;
    }
    if (!st.ok) {
        InitDataBase();
        loading = false;
        if (observer) observer->Failed(st);
        return st;
    }
    dbFileName = fileName;
    fileAtomCount = numAtoms;
    InitPropKinds();
    CountKinds();
    if (observer) observer->Progress(static_cast<double>(static_cast<float>(size + 1)));
    loading = false;
    return st;
}

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
    FileOp::InputFile f;
    if (int err = f.Open(FileOp::Native(dbFileName))) {
        st.ok = false;
        st.openFailed = true;
        st.error = err;
        return st;
    }
    try {
        if (pos < 1) Fail("block position " + std::to_string(pos));
        long long size = f.Size();
        if (size < 0) throw FileOp::kErrPathAccess;
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
        int64_t end = static_cast<int32_t>(static_cast<uint32_t>(head[0]) | (static_cast<uint32_t>(head[1]) << 8) |
                                           (static_cast<uint32_t>(head[2]) << 16) |
                                           (static_cast<uint32_t>(head[3]) << 24));
        if (end < static_cast<int64_t>(pos) + 6 || end > static_cast<int64_t>(size) + 1)
            Fail("block end " + std::to_string(end));
        std::vector<unsigned char> block(static_cast<size_t>(end - pos));
        readAt(pos - 1, block.data(), block.size(), "block beyond the file");
        std::vector<RawProp> raws = ReadBlock(block.data(), block.size(), 0, pos - 1, fileAtomCount);
        std::vector<Prop*> props;
        props.reserve(raws.size());
        // The block's buffer goes: its strings are copied into the database.
        for (const RawProp& r : raws) props.push_back(MakeProp(r, false, false));
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

// ============================================================================
// Writer
// ============================================================================

namespace {

class Out {
public:
    std::vector<unsigned char> b;
    int64_t filePos() const { return static_cast<int64_t>(b.size()) + 1; }
    void I16(int v) {
        auto u = static_cast<uint16_t>(static_cast<int16_t>(v));
        b.push_back(static_cast<unsigned char>(u));
        b.push_back(static_cast<unsigned char>(u >> 8));
    }
    void I32(int64_t v) {
        auto u = static_cast<uint32_t>(static_cast<int32_t>(v));
        for (int i = 0; i < 4; ++i) b.push_back(static_cast<unsigned char>(u >> (8 * i)));
    }
    void Put32At(size_t at, int64_t v) {
        auto u = static_cast<uint32_t>(static_cast<int32_t>(v));
        for (int i = 0; i < 4; ++i) b[at + static_cast<size_t>(i)] = static_cast<unsigned char>(u >> (8 * i));
    }
    void Str(std::string_view s) {
        I16(static_cast<int>(s.size()));
        b.insert(b.end(), s.begin(), s.end());
    }
};

struct Refused {
    std::string detail;
};

[[noreturn]] void Refuse(const std::string& detail) { throw Refused{detail}; }

void CheckText(std::string_view s, const char* what) {
    if (s.size() > static_cast<size_t>(kMaxString))
        Refuse(std::string(what) + " longer than 1000: " + std::string(s.substr(0, 40)));
}

// How one atom's properties are laid out in the file.
struct Layout {
    std::vector<Prop*> list;       // "*atomProp" (for a "po" atom: with a null for its prFilePos)
    std::vector<Prop*> block;      // on-demand block
    int fileIndexOfFilePos = -1;   // "po" atoms: index of prFilePos in the list
    std::vector<int> fileIndex;    // in-memory property index -> file index
};

Layout MakeLayout(const atom& a, const atom* filePosKind) {
    Layout l;
    const auto& ps = a.props();
    if (!a.LoadedOnDemand()) {
        l.list = ps;
        l.fileIndex.resize(ps.size());
        for (size_t i = 0; i < ps.size(); ++i) l.fileIndex[i] = static_cast<int>(i);
        return l;
    }
    std::vector<size_t> real;
    for (size_t i = 0; i < ps.size(); ++i)
        if (ps[i]->proper() != filePosKind) real.push_back(i);
    size_t headSize = std::min<size_t>(2, real.size());
    l.fileIndex.assign(ps.size(), static_cast<int>(headSize));
    for (size_t k = 0; k < real.size(); ++k) {
        Prop* p = ps[real[k]];
        if (k < headSize) {
            l.list.push_back(p);
            l.fileIndex[real[k]] = static_cast<int>(k);
        } else {
            l.block.push_back(p);
            l.fileIndex[real[k]] = static_cast<int>(k + 1);
        }
    }
    l.fileIndexOfFilePos = static_cast<int>(headSize);
    l.list.push_back(nullptr);
    return l;
}

int16_t MapIdx(int16_t idx, const Layout& l) {
    if (idx >= 0 && static_cast<size_t>(idx) < l.fileIndex.size())
        return static_cast<int16_t>(l.fileIndex[static_cast<size_t>(idx)]);
    return idx;
}

}  // namespace

DbStatus WriteBinFile(const std::string& fileName, const BinHeader& header) {
    DbStatus st;
    st.path = fileName;
    try {
        if (!nothingAtom) Refuse("no database");
        atom* filePosKind = GetAtom("prFilePos");

        // Hit-parade atoms still waiting for their on-demand load get it now.
        if (!dbFileName.empty()) {
            for (int32_t id = 0; id < numAtoms; ++id) {
                atom* a = atomTab[static_cast<size_t>(id)];
                int32_t pos = 0;
                if (a == nothingAtom || !a->LoadedOnDemand() || a->NumProp() >= 4) continue;
                if (!a->FirstProp(filePosKind) || !a->GetFilePos(pos) || pos <= 0) continue;
                DbStatus ld = LoadOnDemandStatus(*a);
                if (!ld.ok) {
                    ld.path = fileName;
                    return ld;
                }
            }
        }

        // Dense ids for the live atoms.
        std::vector<int32_t> newId(static_cast<size_t>(numAtoms), -1);
        std::vector<atom*> live;
        for (int32_t id = 0; id < numAtoms; ++id) {
            atom* a = atomTab[static_cast<size_t>(id)];
            if (a == nothingAtom) continue;
            newId[static_cast<size_t>(id)] = static_cast<int32_t>(live.size());
            live.push_back(a);
        }
        if (static_cast<int32_t>(live.size()) > kFileAtomCapacity) Refuse("more than 25001 atoms");
        if (static_cast<int32_t>(live.size()) != numStrings) Refuse("name table out of step with the atoms");
        auto idOf = [&](const atom* a, const char* what) -> int32_t {
            if (a && a != nothingAtom && a->id() >= 0 && a->id() < numAtoms &&
                atomTab[static_cast<size_t>(a->id())] == a)
                return newId[static_cast<size_t>(a->id())];
            Refuse(std::string(what) + " is no atom of the table");
        };

        std::vector<Layout> layouts;
        layouts.reserve(live.size());
        bool anyPo = false;
        for (atom* a : live) {
            layouts.push_back(MakeLayout(*a, filePosKind));
            anyPo = anyPo || a->LoadedOnDemand();
            const Layout& l = layouts.back();
            if (l.list.size() > 32767 || l.block.size() > 32767) Refuse("too many properties on " + a->name());
            CheckText(a->name(), "name");
            CheckText(a->Soundex(), "Soundex");
            CheckText(a->Uppercase(), "Uppercase");
        }
        if (anyPo && filePosKind == nothingAtom) Refuse("on-demand atoms without prFilePos");

        // The property table of the file: the registered properties the
        // lists use, in id order; then unregistered ones as met; then one
        // prFilePos per "po" atom.
        std::unordered_map<const Prop*, int32_t> fileProp;
        std::vector<char> usedReg(static_cast<size_t>(numProps), 0);
        std::vector<Prop*> unregistered;
        for (const Layout& l : layouts)
            for (Prop* p : l.list) {
                if (!p) continue;
                if (p->id() >= 0 && p->id() < numProps && propTab[static_cast<size_t>(p->id())] == p)
                    usedReg[static_cast<size_t>(p->id())] = 1;
                else if (fileProp.emplace(p, -1).second)
                    unregistered.push_back(p);
            }
        std::vector<Prop*> order;
        for (int32_t i = 0; i < numProps; ++i)
            if (usedReg[static_cast<size_t>(i)]) order.push_back(propTab[static_cast<size_t>(i)]);
        order.insert(order.end(), unregistered.begin(), unregistered.end());
        for (size_t i = 0; i < order.size(); ++i) fileProp[order[i]] = static_cast<int32_t>(i);
        size_t numPo = 0;
        for (atom* a : live) numPo += a->LoadedOnDemand() ? 1 : 0;
        if (order.size() + numPo > static_cast<size_t>(kFilePropCapacity)) Refuse("more than 150001 properties");

        Out o;
        auto writeProp = [&](const Prop* p) {
            o.I32(idOf(p->proper(), "a property's kind"));
            int16_t k = p->kind() == 0 || p->kind() == 1 ? p->kind() : 2;
            o.I16(k);
            if (k != 1) o.I32(idOf(p->atomVal(), "a property's value"));
            if (k != 0) {
                CheckText(p->strVal(), "property string");
                o.Str(p->strVal());
            }
        };

        o.Str(header.text);
        o.I16(0);
        o.I16(header.field3);
        o.I16(header.field4);
        o.I32(header.field5);
        o.I32(header.field6);
        o.Str(header.text7);
        o.Str(header.text8);
        CheckText(header.text, "header");
        CheckText(header.text7, "header");
        CheckText(header.text8, "header");

        o.Str("*stringTab");
        o.I32(numStrings);
        for (DbText s : stringTab) o.Str(s);
        o.Str("*idTab");
        o.I32(numStrings);
        for (int32_t id : idTab) {
            if (id < 0 || id >= numAtoms || newId[static_cast<size_t>(id)] < 0) Refuse("name without atom");
            o.I32(newId[static_cast<size_t>(id)]);
        }

        o.Str("*atoms");
        o.I32(static_cast<int64_t>(live.size()));
        std::vector<int64_t> blockPos(live.size(), 0);
        for (size_t i = 0; i < live.size(); ++i) {
            const atom* a = live[i];
            const Layout& l = layouts[i];
            o.I32(static_cast<int64_t>(i));
            o.Str(a->name());
            o.I16(a->kind());
            o.I16(a->numVariants);
            o.I16(MapIdx(a->textIdx(), l));
            o.I16(MapIdx(a->descrIdx(), l));
            o.I16(a->Level());
            o.Str(a->Soundex());
            o.Str(a->Uppercase());
            if (a->LoadedOnDemand()) {
                blockPos[i] = o.filePos();
                size_t at = o.b.size();
                o.I32(0);
                o.I16(static_cast<int>(l.block.size()));
                for (const Prop* p : l.block) writeProp(p);
                o.Put32At(at, o.filePos());
            }
            if (o.b.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max() / 2)) Refuse("file too long");
        }

        o.Str("*prop");
        o.I32(static_cast<int64_t>(order.size() + numPo));
        for (const Prop* p : order) writeProp(p);
        std::vector<int32_t> filePosPropId(live.size(), -1);
        int32_t nextProp = static_cast<int32_t>(order.size());
        for (size_t i = 0; i < live.size(); ++i) {
            if (!live[i]->LoadedOnDemand()) continue;
            filePosPropId[i] = nextProp++;
            o.I32(idOf(filePosKind, "prFilePos"));
            o.I16(1);
            o.Str(std::to_string(blockPos[i]));
        }

        o.Str("*atomProp");
        o.I32(static_cast<int64_t>(live.size()));
        for (size_t i = 0; i < live.size(); ++i) {
            const Layout& l = layouts[i];
            o.I16(static_cast<int>(l.list.size()));
            for (const Prop* p : l.list) o.I32(p ? fileProp.at(p) : filePosPropId[i]);
        }
        o.Str("*end");

        // A new file that replaces the old one only when it is complete.
        int err = FileOp::WriteFileAtomically(
            FileOp::Native(fileName),
            std::string_view(reinterpret_cast<const char*>(o.b.data()), o.b.size()));
        if (err != 0) {
            st.ok = false;
            st.error = err;
            st.detail = "write";
        }
    } catch (const Refused& r) {
        st.ok = false;
        st.error = kStructError;
        st.detail = r.detail;
    }
    return st;
}

}  // namespace DataBase

bool atom::LoadOnDemand() {
    DataBase::DbStatus st = DataBase::LoadOnDemandStatus(*this);
    // A missing file position has raised its assertion already; a file that
    // cannot be opened (moved or locked since the start), a failed read and a
    // malformed block are the caller's message, naming the file.
    if (!st.ok && st.error != 0) DataBase::ReportFileError(st);
    return st.ok;
}
