#include "FuzzSupport.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "Atom.h"
#include "DataBase.h"
#include "DbTestUtil.h"
#include "Fakes.h"
#include "TextConstants.h"

namespace fuzz {

void Fail(const char* cond, const std::string& what, const char* file, int line) {
    std::fprintf(stderr, "\nFUZZ CHECK FAILED at %s:%d: %s\n  %s\n", file, line, cond, what.c_str());
    std::fflush(stderr);
    std::abort();
}

void FreshServices() {
    Fakes().Reset();
    TextConstants::textLanguage = 1;
    TextConstants::edition = 1;
}

std::size_t AssertCount() { return Fakes().asserts.prompts.size(); }
std::size_t MessageCount() { return Fakes().messages.shown.size(); }
std::vector<int> TakeMessageNumbers() { return Fakes().TakeMessageNumbers(); }

namespace {

struct Folder {
    Folder() {
        // In memory where the machine has it: every save flushes its file to
        // the disk, which would otherwise bound the executions per second.
        std::error_code ec;
        const bool shm = std::filesystem::is_directory("/dev/shm", ec) && ::access("/dev/shm", W_OK) == 0;
        const std::string base = shm ? "/dev/shm" : std::filesystem::temp_directory_path().string();
        path = base + "/fuzz_" + std::to_string(::getpid());
        std::filesystem::create_directories(path);
    }
    ~Folder() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    std::string path;
};

}  // namespace

std::string TempPath(const std::string& name) {
    static Folder folder;
    return folder.path + "/" + name;
}

void WriteFile(const std::string& path, std::string_view bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

void BuildSmallDb() { dbtest::BuildSmallDb(); }

std::string DumpByNames() {
    using namespace DataBase;
    std::ostringstream o;
    atom* filePos = GetAtom("prFilePos");
    for (int32_t id = 0; id < numAtoms; ++id) {
        atom* a = atomTab[static_cast<std::size_t>(id)];
        if (!a || (a == nothingAtom && id != 0)) continue;
        o << std::string(a->name()) << " k " << a->kind() << " v " << a->numVariants << " L " << a->Level()
          << " S[" << std::string(a->Soundex()) << "] U[" << std::string(a->Uppercase()) << "] T[" << a->Text()
          << "] D[" << a->Descr() << "]\n";
        for (const Prop* p : a->props()) {
            if (a->LoadedOnDemand() && p->proper() == filePos) continue;
            o << "   " << std::string(p->proper()->name()) << " " << p->kind();
            if (p->kind() != 1) o << " @" << std::string(p->atomVal()->name());
            if (p->kind() != 0) o << " \"" << std::string(p->strVal()) << "\"";
            o << "\n";
        }
    }
    return o.str();
}

std::string_view Split(std::string_view& input, char sep) {
    std::size_t at = input.find(sep);
    std::string_view head = input.substr(0, at);
    input = at == std::string_view::npos ? std::string_view{} : input.substr(at + 1);
    return head;
}

}  // namespace fuzz
