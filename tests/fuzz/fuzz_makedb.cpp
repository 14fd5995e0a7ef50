// The database compiler's source: what it builds from any source, the
// program's writer writes and its reader reads back as the same atoms.
// Without its own kind records the input is read after the sample's.
#include "FuzzSupport.h"
#include "MakeDb.h"

namespace {

std::string kinds;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::FreshServices();
    kinds = fuzz::ReadFile(std::string(SOURCE_DIR) + "/data/db/kinds.txt");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    fuzz::FreshServices();
    std::string_view source(reinterpret_cast<const char*>(data), size);
    MakeDb::Compiler compiler;
    if (source.find("/* -- prText -- */") == std::string_view::npos && !compiler.AddText("kinds.txt", kinds))
        fuzz::Fail("kinds.txt", compiler.failure().Text(), __FILE__, __LINE__);
    if (!compiler.AddText("fuzz.txt", source) || !compiler.Build()) {
        FUZZ_CHECK(!compiler.failure().message.empty(), "refused without saying why");
        return 0;
    }
    MakeDb::Failure failure;
    FUZZ_CHECK(MakeDb::WriteAndVerify(fuzz::TempPath("made.bin"), MakeDb::EditionHeader(true), failure),
               "built, written and read back differs: " + failure.Text());
    return 0;
}
