// The main of every test binary: fresh fakes before each test, and a failed
// run for any assertion box or message that a test did not take as expected.
#include <gtest/gtest.h>

#include <cstdio>

#include "Fakes.h"

namespace {

int unexpectedAsserts = 0;
int unexpectedMessages = 0;

class FakesListener : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo&) override { Fakes().Reset(); }
    void OnTestEnd(const testing::TestInfo& info) override {
        for (const auto& prompt : Fakes().TakeAsserts()) {
            std::fprintf(stderr, "FAILED: unexpected assertion in %s.%s: %s\n",
                         info.test_suite_name(), info.name(), prompt.c_str());
            ++unexpectedAsserts;
        }
        for (const auto& m : Fakes().TakeMessages()) {
            std::fprintf(stderr, "FAILED: unexpected message %d in %s.%s: %s\n", m.number,
                         info.test_suite_name(), info.name(), m.text.c_str());
            ++unexpectedMessages;
        }
        if (!Fakes().messages.answers.empty()) {
            std::fprintf(stderr, "FAILED: %zu scripted answers left unused in %s.%s\n",
                         Fakes().messages.answers.size(), info.test_suite_name(), info.name());
            ++unexpectedMessages;
        }
        if (!Fakes().dialogs.openAnswers.empty() || !Fakes().dialogs.saveAnswers.empty()) {
            std::fprintf(stderr, "FAILED: scripted file dialogs never opened in %s.%s\n",
                         info.test_suite_name(), info.name());
            ++unexpectedMessages;
        }
    }
};

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new FakesListener);
    int rc = RUN_ALL_TESTS();
    return rc != 0 ? rc : (unexpectedAsserts + unexpectedMessages > 0 ? 1 : 0);
}
