// The main of every test binary: fresh fakes before each test, and a failed
// run for any assertion box that a test did not take as expected.
#include <gtest/gtest.h>

#include <cstdio>

#include "Fakes.h"

namespace {

int unexpectedAsserts = 0;

class FakesListener : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo&) override { Fakes().Reset(); }
    void OnTestEnd(const testing::TestInfo& info) override {
        for (const auto& prompt : Fakes().TakeAsserts()) {
            std::fprintf(stderr, "FAILED: unexpected assertion in %s.%s: %s\n",
                         info.test_suite_name(), info.name(), prompt.c_str());
            ++unexpectedAsserts;
        }
    }
};

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new FakesListener);
    int rc = RUN_ALL_TESTS();
    return rc != 0 ? rc : (unexpectedAsserts > 0 ? 1 : 0);
}
