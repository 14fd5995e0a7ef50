// The blocks of the hit parades, read on demand from a database file that
// changed after start-up in a way its stamps could not tell (a change in
// place is refused before a byte is read): whatever the file now holds, a
// block is loaded whole or not at all, and a failure says why.
#include <vector>

#include "DbFuzz.h"
#include "FuzzSupport.h"

namespace {

std::string baseFile;  // the file as it was at start-up

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::FreshServices();
    DataBase::SetFileErrorHandler([](const DataBase::DbStatus&) {});
    fuzz::BuildSmallDb();
    const std::string path = fuzz::TempPath("base.bin");
    if (!DataBase::WriteBinFile(path).ok) fuzz::Fail("WriteBinFile", "the small database", __FILE__, __LINE__);
    baseFile = fuzz::ReadFile(path);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    fuzz::FreshServices();
    const std::string path = fuzz::TempPath("changed.bin");
    fuzz::WriteFile(path, baseFile);
    DataBase::InitDataBase();
    FUZZ_CHECK(DataBase::ReadBinFile(path).ok, "the start-up file");
    fuzz::WriteFile(path, std::string_view(reinterpret_cast<const char*>(data), size));
    DataBase::TakeFileAsLoaded();
    for (int32_t id = 0; id < DataBase::numAtoms; ++id) {
        atom* a = DataBase::atomTab[static_cast<std::size_t>(id)];
        if (!a || !a->LoadedOnDemand()) continue;
        const std::vector<Prop*> before(a->props().begin(), a->props().end());
        DataBase::DbStatus st = DataBase::LoadOnDemandStatus(*a);
        if (!st.ok) {
            FUZZ_CHECK(st.error != 0, "a failed block without its error number");
            FUZZ_CHECK(std::vector<Prop*>(a->props().begin(), a->props().end()) == before,
                       "a failed block left properties behind");
        }
        for (const Prop* p : a->props()) {
            FUZZ_CHECK(p && p->proper(), "a property without its kind");
            if (p->kind() != 1) FUZZ_CHECK(p->atomVal() != nullptr, "a property without its atom");
        }
    }
    return 0;
}
