// The checksum of a mapped body, taken beside the load: whoever sums which
// part (its thread, or the loader's thread when the body is short or the
// thread lags), the value is that of the body in one piece.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <future>
#include <thread>
#include <vector>

#include "BodySum.h"

using DataBase::BodySumOf;
using DataBase::MappedBodySum;

TEST(MappedBodySum, GivesTheSumOfTheBodyInOnePieceWhoeverSumsIt) {
    const struct Case {
        const char* what;
        size_t size;
        size_t step;  // how far the loader's reading moves between its asks; 0: no asks
    } cases[] = {
        {"a short body", 100, 0},
        {"a short body, asked on the way", 5000, 7},
        {"a long body", 3 << 20, 0},
        {"a long body, asked on the way", 3 << 20, 1 << 20},
        {"a thread far behind the loader", 9 << 20, 9 << 20},
    };
    for (const Case& c : cases) {
        std::vector<unsigned char> bytes(c.size);
        for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<unsigned char>(i * 131 + (i >> 9));
        const size_t from = 50;
        MappedBodySum sum(bytes.data(), from, bytes.size());
        for (size_t at = c.step; c.step > 0 && at <= c.size; at += c.step) EXPECT_LE(sum.Bound(at), at) << c.what;
        EXPECT_EQ(sum.Value(), BodySumOf(bytes.data() + from, bytes.size() - from)) << c.what;
    }
}

// A process without the room for another thread's stack: the sum is taken
// all the same, on the caller's thread.
TEST(MappedBodySum, WithoutRoomForAThreadTheCallerSums) {
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "the sanitizer's own room for a thread is not to be had either";
#endif
    std::vector<unsigned char> bytes(3 << 20, 7);
    const uint32_t expected = BodySumOf(bytes.data(), bytes.size());
    const pid_t child = ::fork();
    if (child == 0) {
        // Threads that take the stacks earlier threads left for reuse.
        std::promise<void> never;
        std::shared_future<void> wait = never.get_future().share();
        std::vector<std::thread> holders;
        for (int i = 0; i < 16; ++i) holders.emplace_back([wait] { wait.wait(); });
        unsigned long long pages = 0;
        std::ifstream("/proc/self/statm") >> pages;
        const rlim_t room = static_cast<rlim_t>(pages) * static_cast<rlim_t>(::sysconf(_SC_PAGESIZE)) + (1 << 20);
        const rlimit lim{room, RLIM_INFINITY};
        ::setrlimit(RLIMIT_AS, &lim);
        MappedBodySum sum(bytes.data(), 0, bytes.size());
        std::_Exit(sum.Value() == expected ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}
