// The user-names file: whatever it holds, reading it never raises an
// assertion box; a file read without complaint, written, read and written
// again gives the same bytes.
#include <filesystem>
#include <functional>

#include "DataBase.h"
#include "FuzzSupport.h"
#include "LowLevel.h"
#include "UserFile.h"

namespace {

void Vocabulary() {
    DataBase::InitDataBase();
    for (const char* n : {"prText", "prTextE", "prGenName", "prNameVariant", "prMember", "prMemberOf", "prSubsetOf",
                          "prOrigin", "prLang", "prLangOf", "prWriteVarOf", "seMaleNames", "seFemaleNames",
                          "seUserNames", "laGerman", "prFilePos", "prRelatedTo", "seLinks"})
        DataBase::CreateAtom(n);
    DataBase::InitPropKinds();
}

std::string folder;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    folder = fuzz::TempPath("docs");
    std::filesystem::create_directories(folder);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    fuzz::FreshServices();
    // Fresh services point the documents folder at a fixed fake one: the
    // file is put where the reader looks.
    LowLevel::DocumentsFolder = [](std::string& f) { return f = folder, true; };
    DataBase::pendingUserBackup.clear();
    DataBase::lastUserBackup.clear();
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const std::string path = folder + "/" + DataBase::UserFileName();
    fuzz::WriteFile(path, std::string_view(reinterpret_cast<const char*>(data), size));

    Vocabulary();
    DataBase::ReadUserFile();
    FUZZ_CHECK(fuzz::AssertCount() == 0, "reading the file raised an assertion box");
    const std::vector<int> told = fuzz::TakeMessageNumbers();
    // Texts cut to the window's lengths alone: every name was read, and the
    // file is not kept aside for them.
    if (told == std::vector<int>{DataBase::kMsgUserTextCut}) {
        FUZZ_CHECK(DataBase::lastUserBackup.empty(), "a file whose names were all read was kept aside");
    } else if (!told.empty()) {
        FUZZ_CHECK(!DataBase::lastUserBackup.empty(), "a file read with complaints was not kept aside");
        FUZZ_CHECK(fuzz::ReadFile(DataBase::lastUserBackup) == fuzz::ReadFile(path), "the copy differs");
        return 0;
    }
    if (!DataBase::SaveUserNames()) return 0;
    const std::string once = fuzz::ReadFile(path);

    Vocabulary();
    DataBase::ReadUserFile();
    FUZZ_CHECK(fuzz::MessageCount() == 0 && fuzz::AssertCount() == 0, "the reader complains of what the writer wrote");
    FUZZ_CHECK(DataBase::SaveUserNames(), "the second save failed");
    FUZZ_CHECK(fuzz::ReadFile(path) == once, "written, read and written again differs");
    return 0;
}
