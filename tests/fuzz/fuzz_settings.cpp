// The settings store file: whatever text is read, writing it and reading it
// back gives the same keys and values, and writing that gives the same text.
#include <string>

#include "FuzzSupport.h"
#include "SettingsStore.h"

namespace {

std::string Listing(const MemorySettingsStore& store) {
    std::string out;
    for (const auto& key : store.Keys()) {
        out += "[" + key.path + "]\n";
        for (const auto& [name, value] : key.values) out += name + "=" + value + "\n";
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    MemorySettingsStore first = ParseSettings(text);
    const std::string written = SerializeSettings(first);
    MemorySettingsStore second = ParseSettings(written);
    FUZZ_CHECK(Listing(second) == Listing(first), "parsed, written and parsed again differs");
    FUZZ_CHECK(SerializeSettings(second) == written, "written twice differs");
    // Every value is found again under its key and name, whatever their case.
    for (const auto& key : first.Keys())
        for (const auto& [name, value] : key.values) {
            auto found = second.Read(key.path + "\\", name);
            FUZZ_CHECK(found && *found == value, "value not found back: " + key.path + " " + name);
        }
    return 0;
}
