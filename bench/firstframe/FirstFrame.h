// The end of a start-up measured as a whole process: the first paint of a
// main window. Both programs of this folder quit right after it, without
// tearing anything down, so that the process's run time is its start-up.
#pragma once

#include <QApplication>
#include <QEvent>
#include <QMainWindow>
#include <QObject>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <functional>

class QuitAfterFirstFrame : public QObject {
public:
    // ready: whether a paint now counts (the program's database loaded);
    // then: what runs after that paint instead of quitting (it quits).
    explicit QuitAfterFirstFrame(std::function<bool()> ready = {}, std::function<void()> then = {})
        : ready_(std::move(ready)), then_(std::move(then)) {}

    bool eventFilter(QObject* obj, QEvent* ev) override {
        if (ev->type() == QEvent::Paint && !armed_ && (!ready_ || ready_())) {
            auto* w = qobject_cast<QWidget*>(obj);
            if (w && qobject_cast<QMainWindow*>(w->window())) {
                armed_ = true;
                // After the paint in progress has reached the window.
                QTimer::singleShot(0, [this] {
                    if (then_) then_();
                    std::fflush(stdout);
                    std::_Exit(0);
                });
            }
        }
        return false;
    }

private:
    std::function<bool()> ready_;
    std::function<void()> then_;
    bool armed_ = false;
};
