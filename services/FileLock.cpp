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
    return ::fstat(fd, &open) == 0 && ::lstat(path.c_str(), &named) == 0 && open.st_dev == named.st_dev &&
           open.st_ino == named.st_ino;
}

// What this process knows of its locks. A child process made by fork holds
// none of its parent's and has waited for none.
struct ProcessLocks {
    std::set<std::string> held;
    // Lock files whose wait ran out, until one of their takes succeeds.
    std::set<std::string> givenUp;
    int waits = 0;
};

ProcessLocks& Here() {
    static ProcessLocks locks;
    static pid_t owner = ::getpid();
    if (owner != ::getpid()) {
        locks = {};
        owner = ::getpid();
    }
    return locks;
}

void Log(const std::string& lockPath, const std::string& what) { Errors::LogEntry("FileLock", "FileLock", lockPath + what); }

// The lock file opened as this user's own plain file: never through a
// symbolic link (a dangling one would make its target), never another
// user's file, and readable by nobody else. -1 when there is no such file.
int OpenLockFile(const std::string& lockPath) {
    const int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
    if (fd < 0) {
        // A folder that cannot be written has nothing to lock and is no news.
        if (errno == ELOOP) Log(lockPath, " is a symbolic link: not locked");
        return -1;
    }
    struct stat st{};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) {
        Log(lockPath, " is no plain file of this user: not locked");
        ::close(fd);
        return -1;
    }
    if ((st.st_mode & 077) != 0) ::fchmod(fd, 0600);
    return fd;
}

}  // namespace

FileLock::FileLock(const std::string& nativePath, int waitMs) : lockPath_(LockPathOf(nativePath)) {
    ProcessLocks& here = Here();
    if (here.held.count(lockPath_)) {
        nested_ = true;
        return;
    }
    const bool givenUp = here.givenUp.count(lockPath_) > 0;
    if (givenUp) waitMs = 0;
    using Clock = std::chrono::steady_clock;
    const auto until = Clock::now() + std::chrono::milliseconds(waitMs);
    auto pause = std::chrono::milliseconds(1);
    bool waited = false;
    for (;;) {
        const int fd = OpenLockFile(lockPath_);
        if (fd < 0) return;
        int err = 0;
        for (;;) {
            if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
                err = 0;
                break;
            }
            err = errno;
            if (err == EWOULDBLOCK && waitMs > 0 && !waited) {
                waited = true;
                ++here.waits;
            }
            if ((err != EWOULDBLOCK && err != EINTR) || Clock::now() >= until) break;
            std::this_thread::sleep_for(pause);
            pause = std::min(pause * 2, std::chrono::milliseconds(20));
        }
        if (err == 0 && StillThere(fd, lockPath_)) {
            fd_ = fd;
            here.held.insert(lockPath_);
            here.givenUp.erase(lockPath_);
            return;
        }
        ::close(fd);
        if (err == 0 && Clock::now() < until) continue;  // taken on a file given back meanwhile: again
        if (err == EWOULDBLOCK && givenUp) {
            Log(lockPath_, " held by another run: not waited for again, written without it");
        } else {
            Log(lockPath_, " not locked, errno " + std::to_string(err) +
                               (waited ? " after waiting " + std::to_string(waitMs) + " ms" : std::string()));
            if (waited) here.givenUp.insert(lockPath_);
        }
        return;
    }
}

FileLock::~FileLock() {
    if (fd_ < 0) return;
    // Removed while still held: a run that opens it afterwards makes a new one.
    ::unlink(lockPath_.c_str());
    ::close(fd_);
    Here().held.erase(lockPath_);
}

int FileLock::Waits() { return Here().waits; }

}  // namespace FileOp
