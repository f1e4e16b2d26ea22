#include <windows.h>

#include "common/local_clock.h"

LocalMoment readSystemLocalMoment() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    // GetLocalTime always gives a real date, so the day number exists.
    const DayNumber day = dayNumber({now.wYear, now.wMonth, now.wDay}).value_or(0);
    return {day, now.wHour * 3600 + now.wMinute * 60 + now.wSecond};
}
