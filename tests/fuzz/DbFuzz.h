// The database file's fuzz targets share these steps.
#pragma once

#include "Atom.h"
#include "BinFile.h"
#include "DataBase.h"

namespace fuzz {

// Loads the blocks of every hit parade of the database read last; false when
// one of them could not be read (its failure reported through the handler).
inline bool LoadAllBlocks() {
    bool all = true;
    for (int32_t id = 0; id < DataBase::numAtoms; ++id) {
        atom* a = DataBase::atomTab[static_cast<std::size_t>(id)];
        if (a && a->LoadedOnDemand() && !DataBase::LoadOnDemandStatus(*a).ok) all = false;
    }
    return all;
}

}  // namespace fuzz
