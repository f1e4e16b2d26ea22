#pragma once

#include <functional>

#include "common/calendar.h"

// The local date and time of day: which day a counted second goes to, which day the history
// window and the menu call today. The system's time zone and daylight saving time decide it
// (GetLocalTime on Windows, localtime elsewhere). Every part of the program that needs the
// local moment asks here; nothing else reads the local clock.
LocalMoment readLocalMoment();

// For tests only: from now on readLocalMoment answers `clock()` instead of the system, so that
// what a test of the real loop, the menu or the history window expects never depends on the
// hour it runs at. An empty function gives the system's clock back. Set it before the threads
// that read it start, and reset it after they end.
void overrideLocalClock(std::function<LocalMoment()> clock);

// The system's own reading, whatever the override says (local_clock_win.cpp, local_clock_posix.cpp).
LocalMoment readSystemLocalMoment();
