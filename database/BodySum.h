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

#include <cstddef>
#include <cstdint>

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

}  // namespace DataBase
