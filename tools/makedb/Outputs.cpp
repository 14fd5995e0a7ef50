#include "Outputs.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "FileOp.h"

namespace MakeDb {

Outputs::Outputs(std::string dir, std::vector<std::string> names) : dir_(std::move(dir)), names_(std::move(names)) {}

Outputs::~Outputs() {
    std::error_code ec;
    if (!temp_.empty()) std::filesystem::remove_all(FileOp::Native(temp_), ec);
}

bool Outputs::Open(Failure& failure) {
    std::string pattern = FileOp::Native(dir_ + "/.makedb-XXXXXX");
    if (!::mkdtemp(pattern.data())) {
        failure = Failure{{dir_, 0}, "nothing written: file error " + std::to_string(FileOp::ErrorFromErrno(errno))};
        return false;
    }
    temp_ = FileOp::FromNative(pattern);
    return true;
}

bool Outputs::Commit(Failure& failure) {
    for (std::size_t i = 0; i < names_.size(); ++i) {
        struct stat st{};
        if (::lstat(FileOp::Native(Final(i)).c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
            failure = Failure{{Final(i), 0}, "nothing written: a folder has its name"};
            return false;
        }
    }
    // Renamed within one file system, over files that are no folders: only
    // a failing disk stops one of these once the first has gone.
    for (std::size_t i = 0; i < names_.size(); ++i) {
        if (std::rename(FileOp::Native(Temp(i)).c_str(), FileOp::Native(Final(i)).c_str()) != 0) {
            failure = Failure{{Final(i), 0}, "not written: file error " + std::to_string(FileOp::ErrorFromErrno(errno))};
            return false;
        }
    }
    return true;
}

}  // namespace MakeDb
