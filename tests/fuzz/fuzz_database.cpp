// The database file: a file the reader refuses leaves the database empty; a
// file it accepts, written back by the writer and read again, gives the same
// atoms with the same properties.
#include "DbFuzz.h"
#include "FuzzSupport.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::FreshServices();
    DataBase::SetFileErrorHandler([](const DataBase::DbStatus&) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    fuzz::FreshServices();
    const std::string in = fuzz::TempPath("in.bin"), out = fuzz::TempPath("out.bin");
    fuzz::WriteFile(in, std::string_view(reinterpret_cast<const char*>(data), size));
    DataBase::InitDataBase();
    const int32_t emptyAtoms = DataBase::numAtoms;
    DataBase::DbStatus read = DataBase::ReadBinFile(in);
    if (!read.ok) {
        FUZZ_CHECK(read.error != 0, "a refused file without its error number");
        FUZZ_CHECK(DataBase::numAtoms == emptyAtoms, "a refused file left atoms behind");
        return 0;
    }
    if (!fuzz::LoadAllBlocks()) return 0;  // a broken block: the writer would refuse it too
    const std::string before = fuzz::DumpByNames();
    DataBase::DbStatus written = DataBase::WriteBinFile(out, DataBase::fileHeader);
    if (!written.ok) {
        // Only what the format cannot hold is refused; a disk error here is a finding.
        FUZZ_CHECK(written.error == DataBase::kStructError, "the writer failed: " + written.detail);
        return 0;
    }
    DataBase::InitDataBase();
    DataBase::DbStatus again = DataBase::ReadBinFile(out);
    FUZZ_CHECK(again.ok, "the reader refuses what the writer wrote: " + again.detail);
    FUZZ_CHECK(fuzz::LoadAllBlocks(), "a block the writer wrote cannot be read");
    FUZZ_CHECK(fuzz::DumpByNames() == before, "written and read back, the atoms differ");
    return 0;
}
