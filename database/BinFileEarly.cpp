// The early read: the database file read on a thread of its own while the
// frame is built, its progress handed to the waiting thread, which runs the
// welcome window's events meanwhile.
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "BinFile.h"

namespace DataBase {


// What the reading thread tells the waiting one.
struct EarlyRead::Shared : LoadObserver {
    std::mutex m;
    std::condition_variable cv;
    bool done = false;
    double max = 0;  // 0 until the reader has started
    double pos = 0;
    DbStatus status;
    std::thread worker;

    void Start(double m_) override {
        std::lock_guard<std::mutex> lock(m);
        max = m_;
    }
    void Progress(double value) override {
        std::lock_guard<std::mutex> lock(m);
        pos = value;
    }
};

EarlyRead::EarlyRead(std::string fileName, BodyCheck check)
    : fileName_(std::move(fileName)), shared_(std::make_unique<Shared>()) {
    Shared* s = shared_.get();
    s->worker = std::thread([s, path = fileName_, check] {
        DbStatus st = ReadBinFile(path, s, check);
        std::lock_guard<std::mutex> lock(s->m);
        s->status = std::move(st);
        s->done = true;
        s->cv.notify_all();
    });
}

bool EarlyRead::Loaded(std::chrono::milliseconds wait) const {
    std::unique_lock<std::mutex> lock(shared_->m);
    shared_->cv.wait_for(lock, wait, [this] { return shared_->done; });
    return shared_->done && shared_->status.ok;
}

EarlyRead::~EarlyRead() {
    if (shared_ && shared_->worker.joinable()) shared_->worker.join();
}

DbStatus EarlyRead::Finish(LoadObserver* observer) {
    Shared& s = *shared_;
    bool started = false;
    for (;;) {
        double max = 0, pos = 0;
        bool done = false;
        {
            std::unique_lock<std::mutex> lock(s.m);
            s.cv.wait_for(lock, std::chrono::milliseconds(30), [&] { return s.done; });
            done = s.done;
            max = s.max;
            pos = s.pos;
        }
        if (observer && max > 0 && !started) {
            observer->Start(max);
            started = true;
        }
        if (done) break;
        // The welcome window's bar moves and the window's events run while
        // the file is read, as they do when it is read on this thread.
        if (observer && started) observer->Progress(pos);
    }
    s.worker.join();
    if (observer) {
        if (!s.status.ok) observer->Failed(s.status);
        else if (started) observer->Progress(s.pos);
    }
    return s.status;
}

}  // namespace DataBase
