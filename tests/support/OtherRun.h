// Another run of the program, as a child process: it is a copy of the test
// at the moment it is made (the database, the stores, what they have read)
// and does its work when told to. What it changes reaches the test only
// through the files it writes, as between two runs of the program.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <utility>

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
