// Another run of the program, as a child process: it is a copy of the test
// at the moment it is made (the database, the stores, what they have read)
// and does its work when told to. What it changes reaches the test only
// through the files it writes, as between two runs of the program.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <utility>

#include "FileLock.h"

class OtherRun {
public:
    explicit OtherRun(std::function<bool()> work) {
        if (::pipe(gate_) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(gate_[1]);
            char c = 0;
            const bool go = ::read(gate_[0], &c, 1) == 1;
            ::_exit(go && work() ? 0 : 1);
        }
        ::close(gate_[0]);
    }
    ~OtherRun() {
        if (gate_[1] >= 0) ::close(gate_[1]);  // a run never told ends without its work
        Wait();
    }
    OtherRun(const OtherRun&) = delete;
    OtherRun& operator=(const OtherRun&) = delete;

    // Lets the run do its work (Wait then waits for its end).
    void Start() {
        if (gate_[1] < 0) return;
        const bool told = ::write(gate_[1], "x", 1) == 1;
        ::close(gate_[1]);
        gate_[1] = -1;
        failed_ = !told;
    }
    // True when the run's work returned true.
    bool Wait() {
        if (pid_ <= 0) return false;
        int status = 0;
        const bool ended = ::waitpid(pid_, &status, 0) == pid_;
        pid_ = -1;
        return ended && !failed_ && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    bool Run() {
        Start();
        return Wait();
    }

private:
    int gate_[2] = {-1, -1};
    pid_t pid_ = -1;
    bool failed_ = false;
};

// Another run holding the lock of a file, as a run that hangs with it does,
// until this goes.
class LockHeldElsewhere {
public:
    explicit LockHeldElsewhere(const std::string& target) {
        int ready[2], done[2];
        if (::pipe(ready) != 0 || ::pipe(done) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(ready[0]);
            ::close(done[1]);  // else the end of this run's wait never comes
            char c = 0;
            {
                FileOp::FileLock lock(target, 0);
                c = lock.Held() ? 'y' : 'n';
                if (::write(ready[1], &c, 1) == 1) c = ::read(done[0], &c, 1) == 1 ? c : 0;
            }
            ::_exit(0);
        }
        ::close(ready[1]);
        ::close(done[0]);
        char c = 0;
        held_ = ::read(ready[0], &c, 1) == 1 && c == 'y';
        ::close(ready[0]);
        done_ = done[1];
    }
    ~LockHeldElsewhere() {
        if (done_ >= 0) ::close(done_);
        if (pid_ > 0) ::waitpid(pid_, nullptr, 0);
    }
    LockHeldElsewhere(const LockHeldElsewhere&) = delete;
    LockHeldElsewhere& operator=(const LockHeldElsewhere&) = delete;
    bool Held() const { return held_; }

private:
    pid_t pid_ = -1;
    int done_ = -1;
    bool held_ = false;
};
