// The list file: what the reader accepts, the writer writes, and that file
// read and written again gives the same bytes. The registry form of the list
// goes the same way round.
#include <memory>

#include "FuzzSupport.h"
#include "ResultSet.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::FreshServices();
    fuzz::BuildSmallDb();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    fuzz::FreshServices();
    const std::string in = fuzz::TempPath("in.onl"), once = fuzz::TempPath("once.onl"),
                      twice = fuzz::TempPath("twice.onl");
    fuzz::WriteFile(in, std::string_view(reinterpret_cast<const char*>(data), size));
    ResultSet first;
    first.InitInt();
    if (!first.Load(in)) {
        FUZZ_CHECK(fuzz::MessageCount() == 1, "a refused file gives one message");
        return 0;
    }
    FUZZ_CHECK(fuzz::MessageCount() == 0, "a message for a file that was read");
    if (!first.Save(once)) return 0;  // a text the format cannot hold: nothing written
    ResultSet second;
    second.InitInt();
    FUZZ_CHECK(second.Load(once), "the reader refuses what the writer wrote");
    FUZZ_CHECK(second.numLines() == first.numLines(), "line count changed");
    FUZZ_CHECK(second.Save(twice), "the second save failed");
    FUZZ_CHECK(fuzz::ReadFile(once) == fuzz::ReadFile(twice), "saved, read and saved again differs");

    const std::string registry = second.RegistryText();
    ResultSet third;
    third.InitInt();
    third.ParseRegistryText(registry);
    FUZZ_CHECK(third.RegistryText() == registry, "registry form read back differs");
    return 0;
}
