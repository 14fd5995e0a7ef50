// The files a tool run writes into a folder (the database files of makedb
// and gendb), written whole or not at all: each is first written into a
// folder of the run's own inside it, and moved into the folder only once
// every one of them has been written and checked. A run that fails anywhere
// leaves the folder as it was, its older files too (the build then finds
// them older than what changed, and runs the tool again).
#pragma once

#include <string>
#include <vector>

#include "MakeDb.h"

namespace MakeDb {

class Outputs {
public:
    // dir and the paths below are program paths, as the database's writer
    // and reader take them.
    Outputs(std::string dir, std::vector<std::string> names);
    // The run's own folder goes, with whatever is still in it.
    ~Outputs();
    Outputs(const Outputs&) = delete;
    Outputs& operator=(const Outputs&) = delete;

    // Creates the run's folder (".makedb-" and six characters); false with
    // the reason in failure.
    bool Open(Failure& failure);
    // Where file i is written and checked, and where it goes.
    std::string Temp(std::size_t i) const { return temp_ + "/" + names_[i]; }
    std::string Final(std::size_t i) const { return dir_ + "/" + names_[i]; }
    // Moves every file into the folder. False, with nothing moved, when one
    // cannot take its place (a folder has its name).
    bool Commit(Failure& failure);

private:
    std::string dir_;
    std::vector<std::string> names_;
    std::string temp_;
};

}  // namespace MakeDb
