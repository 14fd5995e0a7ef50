// A lock that two runs of the program take on a file they both rewrite (the
// settings store, the user-names file), so that one run's read, merge and
// replace of the file cannot interleave with another's and lose its changes.
//
// The lock is an advisory lock on a hidden file beside the target
// ("/home/u/.config/Quillmarsh/.settings.lock" for ".../settings"). The
// target itself cannot carry the lock: every write replaces it by a new
// file. The lock file stays beside the target when the lock is given back,
// so that every run waits on the same file, in the system's queue of its
// waiters (beside no target, as when a run found no file to read, the run
// that locked it removes it, and no other file there); it holds the number
// of times the lock has been taken, by which a waiter tells a lock that
// passes from run to run (busy) from one a run keeps (hanging with it).
#pragma once

#include <string>

namespace FileOp {

class FileLock {
public:
    // How long one run may keep the lock before another run goes on without.
    static constexpr int kWaitMs = 3000;

    // Takes the lock of the file at nativePath, waiting while other runs
    // hold it. Runs that take it in turn keep this one waiting until its own
    // turn has come, however long that is; only a run that keeps the lock
    // waitMs on end (a run hanging with it) makes the wait end without it.
    // A lock that cannot be had at all (a folder that cannot be written, a
    // lock file that is a symbolic link, a folder or another user's) is not
    // held either. Without the lock, the caller goes on as it would without
    // locks.
    // Once a wait has run out, this process does not wait for the same
    // holder again: later takes have the lock only when it is free at once,
    // as long as no other run has taken it since (a run closing with many
    // windows waits once, not once a window). A run that holds the lock
    // already (a save started again from a message box of the first) has it
    // at once; the outer one gives it back.
    explicit FileLock(const std::string& nativePath, int waitMs = kWaitMs);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    bool Held() const { return fd_ >= 0 || nested_; }

    // How many times this process has waited for a lock another run held
    // (however the wait ended).
    static int Waits();

private:
    std::string target_, lockPath_;
    int fd_ = -1;
    bool nested_ = false;
};

}  // namespace FileOp
