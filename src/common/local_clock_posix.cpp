#include <algorithm>
#include <ctime>

#include "common/local_clock.h"

LocalMoment readSystemLocalMoment() {
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    localtime_r(&now, &parts);
    // A leap second reads as 60; the day has no such second.
    return {dayNumber({parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday}).value_or(0),
            parts.tm_hour * 3600 + parts.tm_min * 60 + std::min(parts.tm_sec, 59)};
}
