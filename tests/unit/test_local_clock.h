#pragma once

#include "common/calendar.h"
#include "common/local_clock.h"

// The program's local moment as a test sets it: every readLocalMoment in the program answers
// `now` while the object lives, so that what the test expects never depends on the hour it runs
// at. A step of the test may move `now` on (across midnight, say).
class TestLocalClock {
public:
    explicit TestLocalClock(LocalMoment start) : now(start) { overrideLocalClock([this] { return now; }); }
    TestLocalClock(const TestLocalClock&) = delete;
    TestLocalClock& operator=(const TestLocalClock&) = delete;
    ~TestLocalClock() { overrideLocalClock(nullptr); }

    LocalMoment now;
};

// An ordinary working afternoon: Tuesday, 10 March 2026, 14:00.
inline LocalMoment workingAfternoon() { return {*dayNumber({2026, 3, 10}), 14 * 3600}; }
