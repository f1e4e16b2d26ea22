#include "common/local_clock_win.h"

#include <windows.h>

LocalMoment readLocalMoment() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    // GetLocalTime always gives a real date, so the day number exists.
    const DayNumber day = dayNumber({now.wYear, now.wMonth, now.wDay}).value_or(0);
    return {day, now.wHour * 3600 + now.wMinute * 60 + now.wSecond};
}
