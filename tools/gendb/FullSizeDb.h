// A full-size name database generated in memory: 25,001 atoms (names,
// groups, languages, words, saints, topics, origins, links, hit parades with
// their on-demand blocks, 500 quiz questions in each question set, the kind
// atoms and sets) and close to 150,000 properties in the file's property
// table; names of up to 40 characters, origin texts of up to 1000; 2,500
// origin entries with their language, meanings and related words, each
// pointing back at its groups. The same
// database on every run.
//
//   gendb::FullSizeStats st = gendb::BuildFullSizeDb();
//   DataBase::WriteBinFile(path);
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace gendb {

struct FullSizeOptions {
    int32_t atoms = 25001;          // the file's capacity
    int32_t fileProps = 150000;     // the "*prop" count the writer will write
    uint32_t seed = 20260319u;
};

struct FullSizeStats {
    int32_t atoms = 0;
    int32_t names = 0;
    int32_t groups = 0;
    int32_t hitParades = 0;
    int32_t registeredProps = 0;    // property table in memory
    int32_t blockProps = 0;         // properties kept in on-demand blocks
    int32_t fileProps = 0;          // registered + one prFilePos per hit parade
};

// Empties the database (InitDataBase) and builds the full-size one, with every
// derived field computed (DeriveAll, AddLangOfProps). Ready for WriteBinFile.
FullSizeStats BuildFullSizeDb(const FullSizeOptions& options = {});

// The display texts of the generated names (for lookup benchmarks).
const std::vector<std::string>& GeneratedNameTexts();

}  // namespace gendb
