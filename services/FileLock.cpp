#include "FileLock.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <set>
#include <thread>

#include "Errors.h"

#ifndef sigev_notify_thread_id
#define sigev_notify_thread_id _sigev_un._tid
#endif

namespace FileOp {

namespace {

using Clock = std::chrono::steady_clock;

std::string LockPathOf(const std::string& nativePath) {
    const auto slash = nativePath.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : nativePath.substr(0, slash + 1);
    return folder + "." + nativePath.substr(slash == std::string::npos ? 0 : slash + 1) + ".lock";
}

// Whether fd still is the file at path: a lock file removed while this run
// waited on it (as a build of the program before this one did at every
// release) locks nothing any more.
bool StillThere(int fd, const std::string& path) {
    struct stat open{}, named{};
    return ::fstat(fd, &open) == 0 && ::lstat(path.c_str(), &named) == 0 && open.st_dev == named.st_dev &&
           open.st_ino == named.st_ino;
}

// What this process knows of its locks. A child process made by fork holds
// none of its parent's and has waited for none.
struct ProcessLocks {
    std::set<std::string> held;
    // Lock files whose wait ran out, with their count of takes then: while
    // the file and its count stay so, the same run still keeps the lock.
    std::map<std::string, std::string> givenUp;
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
// user's file or a folder, and readable by nobody else. -1 when there is no
// such file.
int OpenLockFile(const std::string& lockPath) {
    const int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
    if (fd < 0) {
        // A folder that cannot be written has nothing to lock and is no news.
        struct stat st{};
        if (errno == ELOOP)
            Log(lockPath, " is a symbolic link: not locked");
        else if (::lstat(lockPath.c_str(), &st) == 0 && (!S_ISREG(st.st_mode) || st.st_uid != ::geteuid()))
            Log(lockPath, " is no plain file of this user: not locked");
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

// The count of takes the lock file holds: twenty digits and a line end,
// written by each run that takes the lock. One read while the holder writes
// may show a number of neither: it differs, as it would a moment later.
constexpr int kCountChars = 21;

unsigned long long TakesOf(int fd) {
    char text[kCountChars + 1] = {};
    return ::pread(fd, text, kCountChars, 0) > 0 ? std::strtoull(text, nullptr, 10) : 0;
}

// The lock file and its count, with the time of the count's last write: a
// file made anew (the one before was removed beside no target) counts from
// the start again, and it may well get the number of the file removed.
std::string HolderOf(int fd, unsigned long long takes) {
    struct stat st{};
    if (::fstat(fd, &st) != 0) return {};
    return std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino) + ":" + std::to_string(takes) + ":" +
           std::to_string(st.st_mtim.tv_sec) + "." + std::to_string(st.st_mtim.tv_nsec);
}

void CountTake(int fd, const std::string& lockPath) {
    char text[kCountChars + 1];
    std::snprintf(text, sizeof text, "%020llu\n", TakesOf(fd) + 1);
    // A count that cannot be written (a full disk) makes a waiter take a
    // busy lock for a kept one: the wait it ends has lasted its full time.
    if (::pwrite(fd, text, kCountChars, 0) != kCountChars) Log(lockPath, ": count of takes not written");
}

// --- Waiting in the system's queue, for a while -------------------------------
//
// The wait is the system's blocking lock, which queues the waiters of the
// file and wakes them when it is given back. A timer of the waiting thread
// ends it with a signal. The signal is SIGURG, which the system otherwise
// sends only to a program that asked for it on a socket (this one never
// does) and which is ignored by default. Its handler is the whole process's,
// and stays: it is installed with SA_RESTART, so that a SIGURG from
// elsewhere leaves the calls of every thread whole (and goes on to the
// handler before it). The waiting thread's lock call is ended otherwise: it
// waits on a descriptor of its own for the lock file (the lock is the open
// file's, whichever of its descriptors takes it), and the timer's signal
// puts a descriptor of a mere path in that one's place, which the system
// refuses to lock: the call, started again, fails at once, as does one that
// had not yet begun when the signal came.

constexpr int kWakeSignal = SIGURG;
constexpr int kWakeMark = 0x4C4F434B;  // the timer's own signals carry it
struct sigaction previousWake{};
std::mutex wakeInstalling;

// The threads waiting now, for the handler (no allocation, no lock there):
// each thread's wait is found by the thread itself, by its id, so that a
// late signal of a timer finds nothing, or the same thread's next wait,
// which goes on where its time has not run out.
struct Waiter {
    std::atomic<pid_t> tid{0};
    std::atomic<int> waitFd{-1}, endFd{-1};
};
constexpr int kWaiters = 16;
Waiter waiters[kWaiters];

void OnWake(int sig, siginfo_t* info, void* context) {
    if (info && info->si_code == SI_TIMER && info->si_value.sival_int == kWakeMark) {
        const int savedErrno = errno;
        const pid_t self = ::gettid();
        for (Waiter& w : waiters) {
            const int waitFd = w.waitFd.load(), endFd = w.endFd.load();
            if (w.tid.load() == self && waitFd >= 0 && endFd >= 0) ::dup3(endFd, waitFd, O_CLOEXEC);
        }
        errno = savedErrno;
        return;
    }
    if (previousWake.sa_flags & SA_SIGINFO) {
        if (previousWake.sa_sigaction) previousWake.sa_sigaction(sig, info, context);
    } else if (previousWake.sa_handler != SIG_DFL && previousWake.sa_handler != SIG_IGN &&
               previousWake.sa_handler) {
        previousWake.sa_handler(sig);
    }
}

// Installed before each wait, unless it still is: a handler installed over
// it since (the timer's signal would not end the wait) becomes the one
// before it.
void InstallWake() {
    std::lock_guard<std::mutex> installing(wakeInstalling);
    struct sigaction now{};
    if (::sigaction(kWakeSignal, nullptr, &now) != 0) return;
    const bool ours = (now.sa_flags & SA_SIGINFO) && now.sa_sigaction == OnWake;
    if (ours && (now.sa_flags & SA_RESTART)) return;
    if (!ours) previousWake = now;
    struct sigaction sa{};
    sa.sa_sigaction = OnWake;
    sa.sa_flags = SA_SIGINFO | SA_RESTART;
    sigemptyset(&sa.sa_mask);
    ::sigaction(kWakeSignal, &sa, nullptr);
}

// Without a timer (none left to the process) or a place among the waiters:
// tried again every few milliseconds, as no more than a fallback.
int LockByTries(int fd, Clock::time_point until) {
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return 0;
        if (errno != EWOULDBLOCK && errno != EINTR) return errno;
        if (Clock::now() >= until) return EWOULDBLOCK;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

// The timed wait on waiter's descriptor: 0 when the lock is held, EWOULDBLOCK
// when the time ran out first, otherwise the error that refused it.
int LockWaiting(int fd, Waiter& waiter, Clock::time_point until) {
    InstallWake();
    sigset_t wake, before;
    sigemptyset(&wake);
    sigaddset(&wake, kWakeSignal);
    ::pthread_sigmask(SIG_UNBLOCK, &wake, &before);
    sigevent event{};
    event.sigev_notify = SIGEV_THREAD_ID;
    event.sigev_signo = kWakeSignal;
    event.sigev_value.sival_int = kWakeMark;
    event.sigev_notify_thread_id = ::gettid();
    timer_t timer{};
    int result = 0;
    // The first signal comes at the end of the wait, and then one every few
    // milliseconds: the lock file's descriptor put back after a late signal
    // of an earlier timer (below) may have undone the first one's work.
    const auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(until - Clock::now()).count();
    itimerspec times{};
    times.it_value.tv_sec = left > 0 ? left / 1000000000 : 0;
    times.it_value.tv_nsec = left > 0 ? left % 1000000000 : 1;
    times.it_interval.tv_nsec = 5000000;
    const bool timed = ::timer_create(CLOCK_MONOTONIC, &event, &timer) == 0;
    if (!timed || ::timer_settime(timer, 0, &times, nullptr) != 0) {
        result = LockByTries(fd, until);
    } else {
        const int waitFd = waiter.waitFd.load();
        for (;;) {
            if (::flock(waitFd, LOCK_EX) == 0) break;
            result = errno;
            // EBADF: the timer's descriptor in place; EINTR: a signal of a
            // handler without SA_RESTART, installed over the lock's since.
            // Before the end of the wait, the lock file's is put back.
            if (result != EBADF && result != EINTR) break;
            if (Clock::now() >= until) {
                result = EWOULDBLOCK;
                break;
            }
            result = result == EBADF && ::dup3(fd, waitFd, O_CLOEXEC) < 0 ? errno : 0;
            if (result != 0) break;
        }
    }
    // A signal of the timer still on its way is taken here, while this
    // thread lets it in.
    if (timed) ::timer_delete(timer);
    ::pthread_sigmask(SIG_SETMASK, &before, nullptr);
    return result;
}

// The lock of fd, waited for until `until`: 0 when it is held, EWOULDBLOCK
// when the time ran out first, otherwise the error that refused it.
int LockUntil(int fd, Clock::time_point until) {
    Waiter* waiter = nullptr;
    const pid_t self = ::gettid();
    for (Waiter& w : waiters) {
        pid_t none = 0;
        if (w.tid.compare_exchange_strong(none, self)) {
            waiter = &w;
            break;
        }
    }
    if (!waiter) return LockByTries(fd, until);
    const int endFd = ::open("/", O_PATH | O_CLOEXEC);
    const int waitFd = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    waiter->waitFd.store(waitFd);
    waiter->endFd.store(endFd);
    const int result = waitFd >= 0 && endFd >= 0 ? LockWaiting(fd, *waiter, until) : LockByTries(fd, until);
    // The slot is emptied before it is let go of (a thread that takes it at
    // once sets descriptors of its own, which must stay), and let go of
    // before the descriptors are closed (their numbers may be another's then).
    waiter->waitFd.store(-1);
    waiter->endFd.store(-1);
    waiter->tid.store(0);
    if (waitFd >= 0) ::close(waitFd);
    if (endFd >= 0) ::close(endFd);
    return result;
}

}  // namespace

FileLock::FileLock(const std::string& nativePath, int waitMs)
    : target_(nativePath), lockPath_(LockPathOf(nativePath)) {
    ProcessLocks& here = Here();
    if (here.held.count(lockPath_)) {
        nested_ = true;
        return;
    }
    bool waited = false;
    int slices = 0;
    for (;;) {
        const int fd = OpenLockFile(lockPath_);
        if (fd < 0) return;
        int err = ::flock(fd, LOCK_EX | LOCK_NB) == 0 ? 0 : errno;
        unsigned long long takes = 0;
        if (err == EWOULDBLOCK && waitMs > 0) {
            takes = TakesOf(fd);
            const auto givenUp = here.givenUp.find(lockPath_);
            if (givenUp != here.givenUp.end() && givenUp->second == HolderOf(fd, takes)) {
                ::close(fd);
                Log(lockPath_, " held by another run: not waited for again, written without it");
                return;
            }
            if (!waited) ++here.waits;
            waited = true;
            // Each slice of the wait is as long as one run may keep the
            // lock: it ends the wait only when no run took the lock in it.
            for (;;) {
                ++slices;
                err = LockUntil(fd, Clock::now() + std::chrono::milliseconds(waitMs));
                if (err != EWOULDBLOCK) break;
                const unsigned long long now = TakesOf(fd);
                if (now == takes) break;
                takes = now;
            }
        }
        if (err == 0 && StillThere(fd, lockPath_)) {
            CountTake(fd, lockPath_);
            fd_ = fd;
            here.held.insert(lockPath_);
            here.givenUp.erase(lockPath_);
            return;
        }
        if (waited && err == EWOULDBLOCK) here.givenUp[lockPath_] = HolderOf(fd, takes);
        ::close(fd);
        if (err == 0) continue;  // taken on a file removed meanwhile: the one there now
        Log(lockPath_, " not locked, errno " + std::to_string(err) +
                           (waited ? " after waiting " + std::to_string(slices * waitMs) + " ms" : std::string()));
        return;
    }
}

FileLock::~FileLock() {
    if (fd_ < 0) return;
    // No lock file is left beside no file. Removed while still held: a run
    // that waited on it takes the lock again on the one there then. Only the
    // file this run locked goes: after an outside deletion the one there may
    // be another run's, held by it. (Such a deletion and another run's take
    // in the moment between the look and the removal would still remove
    // that run's file; the deletion alone has let two runs hold the lock.)
    struct stat st{};
    if (::lstat(target_.c_str(), &st) != 0 && StillThere(fd_, lockPath_)) ::unlink(lockPath_.c_str());
    // Given back even where a child made by fork still has the descriptor.
    ::flock(fd_, LOCK_UN);
    ::close(fd_);
    Here().held.erase(lockPath_);
}

int FileLock::Waits() { return Here().waits; }

}  // namespace FileOp
