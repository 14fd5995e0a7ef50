// A lock that two runs of the program take on a file they both rewrite (the
// settings store, the user-names file), so that one run's read, merge and
// replace of the file cannot interleave with another's and lose its changes.
//
// The lock is an advisory lock on a hidden file beside the target
// ("/home/u/.config/Quillmarsh/.settings.lock" for ".../settings"), made
// when the lock is taken and removed when it is given back. The target
// itself cannot carry the lock: every write replaces it by a new file.
#pragma once

#include <string>

namespace FileOp {

class FileLock {
public:
    // How long a run waits for another run's lock before it goes on without.
    static constexpr int kWaitMs = 3000;

    // Takes the lock of the file at nativePath, waiting up to waitMs while
    // another run holds it. A lock that cannot be had in that time (a run
    // hanging with it) or at all (a folder that cannot be written, a lock
    // file that is a symbolic link or another user's) is not held: the
    // caller goes on as it would without locks, never waits longer.
    // Once a wait for a file's lock has run out, this process waits for it
    // no more: later takes have it only when it is free at once, until one
    // has it again (a run closing with many windows waits once, not once a
    // window). A run that holds the lock already (a save started again from
    // a message box of the first) has it at once; the outer one gives it back.
    explicit FileLock(const std::string& nativePath, int waitMs = kWaitMs);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    bool Held() const { return fd_ >= 0 || nested_; }

    // How many times this process has waited for a lock another run held
    // (however the wait ended).
    static int Waits();

private:
    std::string lockPath_;
    int fd_ = -1;
    bool nested_ = false;
};

}  // namespace FileOp
