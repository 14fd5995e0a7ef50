// The end of a start-up measured as a whole process: the first paint of a
// main window, at the moment it has reached the window. Both programs of
// this folder quit right then, without tearing anything down, so that the
// process's run time is its start-up.
//
// The end is where the event that painted the frame (an update request or an
// expose) has been handled: its paint events and the flush of the painted
// region happen inside it. Not later: whatever the program itself has queued
// to run after its first paint (and the event loop's order among such calls)
// is no part of the frame the user sees.
#pragma once

#include <QApplication>
#include <QEvent>
#include <QMainWindow>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <functional>

class FirstFrameApp : public QApplication {
public:
    using QApplication::QApplication;

    // ready: whether a paint now counts (the program's database loaded);
    // then: what runs instead of quitting, commandDelayMs after the frame
    // has been painted, from the event loop as a user's command would come
    // (it quits itself).
    void SetFirstFrame(std::function<bool()> ready, std::function<void()> then = {}, int commandDelayMs = 0) {
        ready_ = std::move(ready);
        then_ = std::move(then);
        delayMs_ = commandDelayMs;
    }

    bool notify(QObject* obj, QEvent* ev) override {
        if (ev->type() == QEvent::Paint && !painted_ && obj->isWidgetType() && (!ready_ || ready_()) &&
            qobject_cast<QMainWindow*>(static_cast<QWidget*>(obj)->window()))
            painted_ = true;
        ++depth_;
        const bool result = QApplication::notify(obj, ev);
        if (--depth_ == 0 && painted_ && !ended_) {
            ended_ = true;
            if (then_) {
                QTimer::singleShot(delayMs_, [this] {
                    then_();
                    Quit();
                });
            } else {
                Quit();
            }
        }
        return result;
    }

private:
    static void Quit() {
        std::fflush(stdout);
        std::_Exit(0);
    }

    std::function<bool()> ready_;
    std::function<void()> then_;
    int delayMs_ = 0;
    int depth_ = 0;
    bool painted_ = false;
    bool ended_ = false;
};
