#include "Outputs.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "FileOp.h"

namespace MakeDb {

namespace {

constexpr std::string_view kPrefix = ".makedb-";
constexpr int kStops[] = {SIGTERM, SIGINT};

// Empties the folder name inside the open folder parent and removes it,
// never following a symbolic link: name must be a folder itself, a link in
// it goes as a link, a folder in it only when empty (the tools write files
// only). System calls only, into the buffer given: the signal handler below
// calls it.
void RemoveFolder(int parent, const char* name, char* buf, std::size_t size) {
    const int fd = ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return;
    for (ssize_t n; (n = ::getdents64(fd, buf, size)) > 0;) {
        for (ssize_t at = 0; at < n;) {
            const auto* e = reinterpret_cast<const struct dirent64*>(buf + at);
            at += e->d_reclen;
            const char* s = e->d_name;
            if (s[0] == '.' && (s[1] == 0 || (s[1] == '.' && s[2] == 0))) continue;
            if (::unlinkat(fd, s, 0) != 0 && errno == EISDIR) ::unlinkat(fd, s, AT_REMOVEDIR);
        }
    }
    ::close(fd);
    ::unlinkat(parent, name, AT_REMOVEDIR);
}

// The open run's folder, as the handler finds it: the descriptor of the
// folder it lies in and its name there, changed only while SIGTERM and
// SIGINT are held back.
struct Running {
    int dirFd = -1;
    char name[64] = {};
    struct sigaction previous[2] = {};
    alignas(struct dirent64) char entries[4096] = {};
};
Running running;

// Removes the run's folder, then hands the signal on to what was there
// before: for the tools the default, so that the process ends by it.
void OnStop(int sig) {
    const int savedErrno = errno;
    if (running.dirFd >= 0) RemoveFolder(running.dirFd, running.name, running.entries, sizeof running.entries);
    ::sigaction(sig, &running.previous[sig == SIGTERM ? 0 : 1], nullptr);
    ::raise(sig);  // held back until the handler returns
    errno = savedErrno;
}

// SIGTERM and SIGINT wait while it lives: while the run's folder and what
// the handler knows of it change, and while the files take their places.
class Held {
public:
    Held() {
        sigset_t stops;
        sigemptyset(&stops);
        for (int sig : kStops) sigaddset(&stops, sig);
        ::pthread_sigmask(SIG_BLOCK, &stops, &before_);
    }
    ~Held() { ::pthread_sigmask(SIG_SETMASK, &before_, nullptr); }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;

private:
    sigset_t before_;
};

// The process named by a run's folder: ".makedb-4711-aB3xYz" gives 4711.
// Any other name gives 0, also ".makedb-aB3xYz" of the runs before the name
// carried it, since whose that is cannot be told.
pid_t RunOf(std::string_view name) {
    if (!name.starts_with(kPrefix)) return 0;
    name.remove_prefix(kPrefix.size());
    const std::size_t dash = name.find('-');
    if (dash == 0 || dash > 9 || name.size() != dash + 7) return 0;
    pid_t pid = 0;
    for (char c : name.substr(0, dash)) {
        if (c < '0' || c > '9') return 0;
        pid = pid * 10 + (c - '0');
    }
    for (char c : name.substr(dash + 1))
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) return 0;
    return pid;
}

// Removes the folders of runs killed outright (no handler ran) in dir. One
// whose process is there, or is another user's (EPERM), stays.
void RemoveLeftovers(const std::string& dir) {
    DIR* d = ::opendir(dir.c_str());
    if (!d) return;
    alignas(struct dirent64) char entries[4096];
    while (const struct dirent* e = ::readdir(d)) {
        const pid_t pid = RunOf(e->d_name);
        if (pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH)
            RemoveFolder(::dirfd(d), e->d_name, entries, sizeof entries);
    }
    ::closedir(d);
}

}  // namespace

Outputs::Outputs(std::string dir, std::vector<std::string> names) : dir_(std::move(dir)), names_(std::move(names)) {}

Outputs::~Outputs() {
    if (temp_.empty()) return;
    Held held;
    RemoveFolder(running.dirFd, running.name, running.entries, sizeof running.entries);
    ::close(running.dirFd);
    running.dirFd = -1;
    for (int i = 0; i < 2; ++i) ::sigaction(kStops[i], &running.previous[i], nullptr);
}

bool Outputs::Open(Failure& failure) {
    const std::string dir = FileOp::Native(dir_);
    RemoveLeftovers(dir);
    std::string path = dir + "/" + std::string(kPrefix) + std::to_string(::getpid()) + "-XXXXXX";
    {
        Held held;
        const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dirFd < 0 || !::mkdtemp(path.data())) {
            const int err = errno;
            if (dirFd >= 0) ::close(dirFd);
            failure = Failure{{dir_, 0}, "nothing written: file error " + std::to_string(FileOp::ErrorFromErrno(err))};
            return false;
        }
        running.dirFd = dirFd;
        std::snprintf(running.name, sizeof running.name, "%s", path.c_str() + dir.size() + 1);
        // A signal the process ignores (a command started in the background)
        // stays ignored.
        struct sigaction stop{};
        stop.sa_handler = OnStop;
        sigemptyset(&stop.sa_mask);
        for (int sig : kStops) sigaddset(&stop.sa_mask, sig);
        for (int i = 0; i < 2; ++i) {
            ::sigaction(kStops[i], nullptr, &running.previous[i]);
            if (running.previous[i].sa_handler != SIG_IGN) ::sigaction(kStops[i], &stop, nullptr);
        }
    }
    temp_ = FileOp::FromNative(path);
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
    // a failing disk stops one of these once the first has gone. A SIGTERM
    // or SIGINT waits for the last, so that the files stay of one run.
    Held held;
    for (std::size_t i = 0; i < names_.size(); ++i) {
        if (std::rename(FileOp::Native(Temp(i)).c_str(), FileOp::Native(Final(i)).c_str()) != 0) {
            failure = Failure{{Final(i), 0}, "not written: file error " + std::to_string(FileOp::ErrorFromErrno(errno))};
            return false;
        }
    }
    return true;
}

}  // namespace MakeDb
