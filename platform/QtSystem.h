// The assertion box, the clock and the random numbers of a real run.
#pragma once

#include <QPointer>
#include <QWidget>
#include <random>

#include "Services.h"

// Shows an assertion's prompt in a modal box with OK only (over the owner,
// the frame, once it exists) and writes it to stderr as well.
class QtAssertBox : public Services::AssertSink {
public:
    void SetOwner(QWidget* owner) { owner_ = owner; }
    void ShowAssert(const std::string& prompt) override;

private:
    QPointer<QWidget> owner_;
};

// The local wall clock.
class QtClock : public Services::Clock {
public:
    Services::LocalTime Now() override;
};

// Random numbers seeded differently on every run.
class QtRandom : public Services::Random {
public:
    QtRandom();
    double Next() override;

private:
    std::mt19937 gen_;
    std::uniform_real_distribution<double> dist_{0.0, 1.0};
};
