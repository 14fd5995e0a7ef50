#include "FileLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <set>
#include <thread>

#include "Errors.h"

namespace FileOp {

namespace {

std::string LockPathOf(const std::string& nativePath) {
    const auto slash = nativePath.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : nativePath.substr(0, slash + 1);
    return folder + "." + nativePath.substr(slash == std::string::npos ? 0 : slash + 1) + ".lock";
}

// Whether fd still is the file at path: a run that gives the lock back
// removes the file, and a run that waited on the removed file must take the
// lock again on the one that is there now.
bool StillThere(int fd, const std::string& path) {
    struct stat open{}, named{};
    return ::fstat(fd, &open) == 0 && ::stat(path.c_str(), &named) == 0 && open.st_dev == named.st_dev &&
           open.st_ino == named.st_ino;
}

// The lock files this process holds (a child process made by fork holds
// none of its parent's).
std::set<std::string>& HeldHere() {
    static std::set<std::string> held;
    static pid_t owner = ::getpid();
    if (owner != ::getpid()) {
        held.clear();
        owner = ::getpid();
    }
    return held;
}

}  // namespace

FileLock::FileLock(const std::string& nativePath, int waitMs) : lockPath_(LockPathOf(nativePath)) {
    if (HeldHere().count(lockPath_)) {
        nested_ = true;
        return;
    }
    using Clock = std::chrono::steady_clock;
    const auto until = Clock::now() + std::chrono::milliseconds(waitMs);
    auto pause = std::chrono::milliseconds(1);
    for (;;) {
        const int fd = ::open(lockPath_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd < 0) return;  // a folder that cannot be written: nothing to lock
        int err = 0;
        for (;;) {
            if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
                err = 0;
                break;
            }
            err = errno;
            if ((err != EWOULDBLOCK && err != EINTR) || Clock::now() >= until) break;
            std::this_thread::sleep_for(pause);
            pause = std::min(pause * 2, std::chrono::milliseconds(20));
        }
        if (err == 0 && StillThere(fd, lockPath_)) {
            fd_ = fd;
            HeldHere().insert(lockPath_);
            return;
        }
        ::close(fd);
        if (err != 0 || Clock::now() >= until) {
            Errors::LogEntry("FileLock", "FileLock", lockPath_ + " not locked, errno " + std::to_string(err));
            return;
        }
    }
}

FileLock::~FileLock() {
    if (fd_ < 0) return;
    // Removed while still held: a run that opens it afterwards makes a new one.
    ::unlink(lockPath_.c_str());
    ::close(fd_);
    HeldHere().erase(lockPath_);
}

}  // namespace FileOp
