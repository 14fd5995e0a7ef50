// The settings store file: whatever text is read, writing it and reading it
// back gives the same keys and values, and writing that gives the same text;
// its keys written anew from their values read back the same too.
#include <string>
#include <vector>

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
    // Every key written from its values, as once the program has changed it
    // (a value added and taken away again): read back the same.
    std::vector<std::string> paths;
    for (const auto& key : first.Keys()) paths.push_back(key.path);
    for (const std::string& path : paths) {
        // A name the key does not hold: a file's escapes give a name any
        // byte, a line end too ("%0A=").
        std::string name = "\n";
        while (first.Read(path, name)) name += '\n';
        first.Write(path, name, "");
        first.Delete(path, name);
    }
    const std::string changed = SerializeSettings(first);
    FUZZ_CHECK(Listing(ParseSettings(changed)) == Listing(second), "changed keys written and read back differ");
    return 0;
}
