// The program's only ways out to the world that the model code may not reach
// directly: the assertion box, the clock, random numbers, message boxes, the
// settings store, the shell, help, dialogs, the busy cursor and progress.
// Start-up installs the real implementations (platform/); tests install fakes
// (tests/support/). The model code reaches them through Services::Get().
#pragma once

#include <string>

namespace Services {

// The local wall clock as the program's logic reads it.
struct LocalTime {
    int year = 2000, month = 1, day = 1;
    int hour = 0, minute = 0, second = 0;
    // Seconds since midnight with their fraction (the program's timer value).
    double timer = 0;
};

class AssertSink {
public:
    virtual ~AssertSink() = default;
    // Shows the assertion's prompt to the user (a modal box with OK only) and
    // returns when it is closed.
    virtual void ShowAssert(const std::string& prompt) = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalTime Now() = 0;
};

class Random {
public:
    virtual ~Random() = default;
    // A number in [0, 1).
    virtual double Next() = 0;
};

// The set installed for the run. Every pointer is non-owning; start-up (or a
// test fixture) keeps the objects alive. Pointers left empty fall back to a
// plain default (stderr for assertions, the system clock, a fixed seed).
struct Set {
    AssertSink* assertSink = nullptr;
    Clock* clock = nullptr;
    Random* random = nullptr;
};

const Set& Get();
void Install(const Set& set);

// Accessors that never return null (they fall back to the defaults).
AssertSink& Asserts();
Clock& TheClock();
Random& Rnd();

}  // namespace Services
