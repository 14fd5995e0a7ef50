// gendb DIR: writes the full-size generated database as both editions'
// files, DIR/Talv1Dat.bin and DIR/Orsa1Dat.bin, each loaded again with the
// program's reader before it counts as written. Point the program's folder
// (or the benchmarks) at DIR to measure it on a database of full size. A run
// that fails leaves DIR as it was.
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "BinFile.h"
#include "DataBase.h"
#include "FullSizeDb.h"
#include "MakeDb.h"
#include "Outputs.h"
#include "ToolArgs.h"

int main(int argc, char** argv) {
    const char* usage = "usage: gendb DIR   write the full-size database to DIR/Talv1Dat.bin and DIR/Orsa1Dat.bin\n";
    const std::vector<std::string> args = ToolArgs::Args(argc, argv);
    if (auto end = ToolArgs::EndEarly(args, usage)) return *end;
    if (args.size() != 1) {
        std::cerr << usage;
        return 2;
    }
    const std::string dir = args[0];
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    MakeDb::Outputs outputs(dir, {"Talv1Dat.bin", "Orsa1Dat.bin"});
    MakeDb::Failure f;
    if (!outputs.Open(f)) {
        std::cerr << "gendb: " << f.Text() << "\n";
        return 1;
    }
    std::string written;
    for (std::size_t e = 0; e < 2; ++e) {
        // Built afresh for each file: the read-back leaves the file's contents
        // in the tables.
        gendb::FullSizeStats stats = gendb::BuildFullSizeDb();
        DataBase::DbStatus st = DataBase::WriteBinFile(outputs.Temp(e), MakeDb::EditionHeader(e == 0));
        if (st.ok) {
            DataBase::InitDataBase();
            st = DataBase::ReadBinFile(outputs.Temp(e));
        }
        if (!st.ok) {
            std::cerr << "gendb: " << outputs.Final(e) << ": " << (st.error >= DataBase::kStructError ? "refused" : "file error " + std::to_string(st.error))
                      << " (" << st.detail << ")\n";
            return 1;
        }
        written += "gendb: " + outputs.Final(e) + ": " + std::to_string(stats.atoms) + " atoms, " +
                   std::to_string(stats.fileProps) + " properties in the file (" + std::to_string(stats.blockProps) +
                   " more in " + std::to_string(stats.hitParades) + " hit parades' blocks)\n";
    }
    if (!outputs.Commit(f)) {
        std::cerr << "gendb: " << f.Text() << "\n";
        return 1;
    }
    std::cout << written;
    return 0;
}
