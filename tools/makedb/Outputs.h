// The files a tool run writes into a folder (the database files of makedb
// and gendb), written whole or not at all: each is first written into a
// folder of the run's own inside it, and moved into the folder only once
// every one of them has been written and checked. A run that fails anywhere
// leaves the folder as it was, its older files too (the build then finds
// them older than what changed, and runs the tool again). So does a run
// stopped by SIGTERM or SIGINT; what a run killed outright leaves, the next
// run removes.
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
    // The run's own folder goes, with whatever is still in it, and SIGTERM
    // and SIGINT do again what they did before Open.
    ~Outputs();
    Outputs(const Outputs&) = delete;
    Outputs& operator=(const Outputs&) = delete;

    // Removes the folders that runs whose process is gone left in dir, then
    // creates the run's own, named by its process (".makedb-4711-" and six
    // characters), which SIGTERM and SIGINT now remove before they end the
    // process as they would have. False with the reason in failure. One
    // Outputs of a process at a time is open.
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
