// The checksum of a database file's body (every byte after its header). The
// files the program writes carry it in the header, and a load compares it
// with the bytes it read: a file rewritten while it was read gives a mix of
// two versions that no identity, length or time of the file tells apart.
//
// Made for speed beside the load (four independent lanes of 64 bits, 32
// bytes a step): it tells versions of a file apart, it is no guard against
// someone forging one.
//
//   BodySum s;
//   s.Add(p, 10);
//   s.Add(p + 10, n - 10);   // the same value as one Add(p, n)
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <thread>

namespace DataBase {

class BodySum {
public:
    BodySum();
    // The next n bytes of the body.
    void Add(const unsigned char* p, std::size_t n);
    // Of every byte added so far.
    uint32_t Value() const;

private:
    uint64_t lane_[4];
    unsigned char pending_[32];  // the bytes of an unfinished step
    std::size_t pendingSize_ = 0;
    uint64_t total_ = 0;
};

// The checksum of n bytes in one piece.
uint32_t BodySumOf(const unsigned char* p, std::size_t n);

// The checksum of the body [from, size) of a file whose bytes are all at
// hand (mapped), taken on a thread of its own while the caller reads the
// records: where a processor is free, the load takes no longer for it. A
// body too short to be worth a thread, a thread that cannot be had, or one
// that falls far behind, is summed on the caller's thread.
//
//   MappedBodySum sum(data, headerEnd, size);
//   ... read, giving back only pages below sum.Bound(wanted) ...
//   bool same = sum.Value() == stored;
class MappedBodySum {
public:
    MappedBodySum(const unsigned char* data, std::size_t from, std::size_t size);
    ~MappedBodySum();  // stops the thread
    MappedBodySum(const MappedBodySum&) = delete;
    MappedBodySum& operator=(const MappedBodySum&) = delete;

    // How far the bytes below `want` may be given back: those summed. A
    // thread lagging far behind is stopped and the sum taken here up to want.
    std::size_t Bound(std::size_t want);
    // The checksum of the whole body (the rest summed here).
    uint32_t Value();

private:
    void Stop();
    void SumHere(std::size_t to);

    const unsigned char* data_;
    std::size_t size_;
    BodySum sum_;                      // the thread's until it is stopped
    std::atomic<std::size_t> summed_;  // the bytes below are in sum_
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace DataBase
