// Link targets: the number a clicked link carries opens at most one window,
// with the atom of exactly that number, or a help topic; and the shell is
// only ever handed an address or a document it may open. Input: a first
// byte choosing which, then the link's text.
#include "FuzzSupport.h"
#include "Fakes.h"
#include "LowLevel.h"
#include "SearchFixture.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::FreshServices();
    fuzz::BuildSmallDb();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    fuzz::FreshServices();
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    if (data[0] & 1) {
        const bool opened = LowLevel::ShellOpen(text);
        const auto& asked = Fakes().shell.opened;
        FUZZ_CHECK(asked.size() == (opened ? 1u : 0u), "the shell was asked a wrong number of times");
        if (!asked.empty()) {
            FUZZ_CHECK(LowLevel::ClassifyShellTarget(asked[0]) != LowLevel::ShellTarget::Refused,
                       "a refused target reached the shell");
            for (char c : asked[0])
                FUZZ_CHECK(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F, "a control character reached the shell");
        }
        return 0;
    }
    FakeWindows windows;
    Searches::Env env;
    env.windows = &windows;
    Searches::SetEnv(env);
    Searches::FollowLink(text, nullptr, nullptr);
    Searches::SetEnv({});
    FUZZ_CHECK(windows.log.calls.size() <= 1, "one link opened several windows");
    if (!windows.log.calls.empty()) {
        atom* a = windows.log.calls[0].a;
        FUZZ_CHECK(a && a != DataBase::nothingAtom, "a window was shown no atom");
        FUZZ_CHECK(a == DataBase::AtomById(Basic::CLng(Basic::Val(text))), "a window shows another atom");
        FUZZ_CHECK(Fakes().help.topics.empty(), "a link opened a window and help");
    }
    FUZZ_CHECK(Fakes().help.topics.size() <= 1, "one link opened several help pages");
    return 0;
}
