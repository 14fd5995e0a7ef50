// The bytes of the database file as its reader sees them (the format is in
// BinFile.h): little-endian numbers and strings read through a window that
// moves over the file, or over bytes in memory, each read past the end a
// malformed file; and the records the load and the on-demand blocks share.
// Only the reader's sources include this.
#pragma once

#include <algorithm>
#include <bit>
#include <climits>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "BodySum.h"
#include "DbInternal.h"
#include "FileOp.h"

namespace DataBase::FileBytes {

struct Malformed {
    std::string detail;
};

[[noreturn]] inline void Fail(const std::string& detail) { throw Malformed{detail}; }

[[noreturn, gnu::cold, gnu::noinline]] inline void FailEnd(const char* what) {
    Fail(std::string("end of file in ") + what);
}

[[noreturn, gnu::cold, gnu::noinline]] inline void FailLength(int16_t len, const char* what) {
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
// the database keeps of the file it copies. It can sum the file's bytes as
// they pass, each once, while they are at hand.
class FileSource : public Source {
public:
    // A few hundred kilobytes: large enough for any record (a string is at
    // most 1000 bytes), small enough to stay in the cache.
    static constexpr size_t kWindow = 256 * 1024;
    explicit FileSource(OpenedFile& f) : f_(f), buf_(new unsigned char[kBuffer]) {}

    size_t Refill(unsigned char*& data, size_t from, size_t size, size_t want) override {
        const size_t keep = size - from;
        if (keep > 0 && from > 0) std::memmove(buf_.get(), buf_.get() + from, keep);
        start_ += static_cast<int64_t>(from);
        data = buf_.get();
        size_ = ReadInto(f_, buf_.get(), keep, want, std::max(keep, kWindow));
        if (sum_) SumWindow();  // the bytes just read, while they are in the cache
        return size_;
    }
    // A window, and room to spare for the unread bytes a refill keeps.
    static constexpr size_t kBuffer = 2 * kWindow;

    // From here on the bytes from the 0-based file offset `from` on are added
    // to sum as they are read (those of the window at hand at once).
    void SumFrom(BodySum& sum, int64_t from) {
        sum_ = &sum;
        summed_ = std::max(from, start_);
        SumWindow();
    }
    // Adds the rest of the file to the sum, to the length the file had when
    // opened. Throws ReadFailed.
    void SumRest() {
        while (f_.left > 0) {
            start_ += static_cast<int64_t>(size_);
            size_ = ReadInto(f_, buf_.get(), 0, kWindow, kWindow);
            if (size_ == 0) break;
            SumWindow();
        }
    }

private:
    void SumWindow() {
        const int64_t end = start_ + static_cast<int64_t>(size_);
        if (summed_ >= end) return;
        sum_->Add(buf_.get() + (summed_ - start_), static_cast<size_t>(end - summed_));
        summed_ = end;
    }

    OpenedFile& f_;
    std::unique_ptr<unsigned char[]> buf_;
    int64_t start_ = 0;  // the file offset of buf_[0]
    size_t size_ = 0;    // the bytes in the window
    BodySum* sum_ = nullptr;
    int64_t summed_ = 0;  // the file offset up to which the sum has the bytes
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

}  // namespace DataBase::FileBytes
