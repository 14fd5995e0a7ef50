#include "BodySum.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <system_error>

namespace DataBase {

namespace {

// Odd constants with their bits well mixed.
constexpr uint64_t kMul1 = 0x9E3779B185EBCA87ULL;
constexpr uint64_t kMul2 = 0xC2B2AE3D27D4EB4FULL;
constexpr uint64_t kMul3 = 0x165667B19E3779F9ULL;
constexpr uint64_t kAdd = 0x27D4EB2F165667C5ULL;

inline uint64_t Load64(const unsigned char* p) {
    uint64_t v;
    std::memcpy(&v, p, 8);
    return v;  // little-endian, as every number of the file (asserted below)
}

// One lane takes in eight bytes.
inline uint64_t Mix(uint64_t lane, uint64_t v) { return std::rotl(lane + v * kMul2, 31) * kMul1; }

inline void Step(uint64_t* lane, const unsigned char* p) {
    lane[0] = Mix(lane[0], Load64(p));
    lane[1] = Mix(lane[1], Load64(p + 8));
    lane[2] = Mix(lane[2], Load64(p + 16));
    lane[3] = Mix(lane[3], Load64(p + 24));
}

}  // namespace

static_assert(std::endian::native == std::endian::little, "the sum is defined on little-endian words");

BodySum::BodySum() : lane_{kMul1 + kMul2, kMul2, 0, 0 - kMul1} {}

void BodySum::Add(const unsigned char* p, std::size_t n) {
    total_ += n;
    if (pendingSize_ > 0) {
        const std::size_t k = std::min(n, sizeof pending_ - pendingSize_);
        std::memcpy(pending_ + pendingSize_, p, k);
        pendingSize_ += k;
        p += k;
        n -= k;
        if (pendingSize_ < sizeof pending_) return;
        Step(lane_, pending_);
        pendingSize_ = 0;
    }
    // The lanes in locals: the compiler keeps them in registers.
    uint64_t lane[4] = {lane_[0], lane_[1], lane_[2], lane_[3]};
    for (; n >= 32; p += 32, n -= 32) Step(lane, p);
    std::memcpy(lane_, lane, sizeof lane);
    std::memcpy(pending_, p, n);
    pendingSize_ = n;
}

uint32_t BodySum::Value() const {
    uint64_t h = std::rotl(lane_[0], 1) + std::rotl(lane_[1], 7) + std::rotl(lane_[2], 12) + std::rotl(lane_[3], 18);
    for (uint64_t lane : lane_) h = (h ^ Mix(0, lane)) * kMul1 + kAdd;
    h += total_;
    std::size_t i = 0;
    for (; i + 8 <= pendingSize_; i += 8) h = std::rotl(h ^ Mix(0, Load64(pending_ + i)), 27) * kMul1 + kAdd;
    for (; i < pendingSize_; ++i) h = std::rotl(h ^ (pending_[i] * kMul3), 11) * kMul1;
    h ^= h >> 33;
    h *= kMul2;
    h ^= h >> 29;
    h *= kMul3;
    h ^= h >> 32;
    return static_cast<uint32_t>(h);
}

namespace {

// Pieces the thread tells its progress by; a body shorter than kApart is
// summed on the caller's thread, and a thread more than kLag behind gives
// way to it (the pages it has not reached stay in memory meanwhile).
constexpr std::size_t kPiece = std::size_t{64} << 10;
constexpr std::size_t kApart = std::size_t{1} << 20;
constexpr std::size_t kLag = std::size_t{2} << 20;

}  // namespace

MappedBodySum::MappedBodySum(const unsigned char* data, std::size_t from, std::size_t size)
    : data_(data), size_(size), summed_(std::min(from, size)) {
    if (size_ - summed_ < kApart) return;
    try {
        thread_ = std::thread([this] {
            for (std::size_t at = summed_.load(std::memory_order_relaxed); at < size_ && !stop_.load();) {
                const std::size_t n = std::min(kPiece, size_ - at);
                sum_.Add(data_ + at, n);
                at += n;
                summed_.store(at, std::memory_order_release);
            }
        });
    } catch (const std::system_error&) {
        // No thread to be had (no memory for its stack, too many threads):
        // the caller's thread sums, as for a short body.
    }
}

MappedBodySum::~MappedBodySum() { Stop(); }

void MappedBodySum::Stop() {
    stop_.store(true);
    if (thread_.joinable()) thread_.join();
}

void MappedBodySum::SumHere(std::size_t to) {
    Stop();
    const std::size_t at = summed_.load(std::memory_order_relaxed);
    if (to <= at) return;
    sum_.Add(data_ + at, to - at);
    summed_.store(to, std::memory_order_relaxed);
}

std::size_t MappedBodySum::Bound(std::size_t want) {
    want = std::min(want, size_);
    const std::size_t at = summed_.load(std::memory_order_acquire);
    if (thread_.joinable() && at + kLag >= want) return std::min(want, at);
    SumHere(want);
    return want;
}

uint32_t MappedBodySum::Value() {
    SumHere(size_);
    return sum_.Value();
}

uint32_t BodySumOf(const unsigned char* p, std::size_t n) {
    BodySum s;
    s.Add(p, n);
    return s.Value();
}

}  // namespace DataBase
