// What every fuzz target shares: the fakes as services, a failed check that
// keeps the input (libFuzzer saves whatever aborts), private temporary files
// and a dump of the database by names to compare two loads with.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>
#include <string_view>

// A wrong result: printed, then the run aborts, so the fuzzer keeps the input
// and the replay test fails.
#define FUZZ_CHECK(cond, what)                                        \
    do {                                                              \
        if (!(cond)) ::fuzz::Fail(#cond, (what), __FILE__, __LINE__); \
    } while (0)

namespace fuzz {

[[noreturn]] void Fail(const char* cond, const std::string& what, const char* file, int line);

// Fresh fakes before each input: messages are recorded and questions answered
// No, assertions are recorded, file faults are off, the English texts.
void FreshServices();
// The number of assertion prompts and of messages raised since FreshServices.
std::size_t AssertCount();
std::size_t MessageCount();
// The numbers of the messages raised since FreshServices or the last call.
std::vector<int> TakeMessageNumbers();

// A file of this process's own temporary folder (removed at exit).
std::string TempPath(const std::string& name);
void WriteFile(const std::string& path, std::string_view bytes);
std::string ReadFile(const std::string& path);

// The tests' small database (one atom of every kind, two hit parades).
void BuildSmallDb();

// Everything a database file carries, by internal names rather than ids (the
// writer renumbers), with the hit parades' file positions left out: two loads
// of the same atoms give the same text.
std::string DumpByNames();

// The bytes of input from `at` on, split at the first byte `sep` (the rest
// after it goes to `rest`).
std::string_view Split(std::string_view& input, char sep);

}  // namespace fuzz
