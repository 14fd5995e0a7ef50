// gendb DIR: writes the full-size generated database as both editions'
// files, DIR/Talv1Dat.bin and DIR/Orsa1Dat.bin, each loaded again with the
// program's reader before it counts as written. Point the program's folder
// (or the benchmarks) at DIR to measure it on a database of full size.
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "BinFile.h"
#include "DataBase.h"
#include "FullSizeDb.h"
#include "MakeDb.h"
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
    const std::string outputs[2] = {dir + "/Talv1Dat.bin", dir + "/Orsa1Dat.bin"};
    for (int e = 0; e < 2; ++e) {
        // Built afresh for each file: the read-back leaves the file's contents
        // in the tables.
        gendb::FullSizeStats stats = gendb::BuildFullSizeDb();
        DataBase::DbStatus st = DataBase::WriteBinFile(outputs[e], MakeDb::EditionHeader(e == 0));
        if (st.ok) {
            DataBase::InitDataBase();
            st = DataBase::ReadBinFile(outputs[e]);
        }
        if (!st.ok) {
            for (const std::string& o : outputs) std::filesystem::remove(o, ec);
            std::cerr << "gendb: " << outputs[e] << ": " << (st.error >= DataBase::kStructError ? "refused" : "file error " + std::to_string(st.error))
                      << " (" << st.detail << ")\n";
            return 1;
        }
        std::cout << "gendb: " << outputs[e] << ": " << stats.atoms << " atoms, " << stats.fileProps
                  << " properties in the file (" << stats.blockProps << " more in "
                  << stats.hitParades << " hit parades' blocks)\n";
    }
    return 0;
}
