#pragma once

#include <cstdint>
#include <optional>
#include <string>

// Local calendar days as plain numbers, so that the work history can add, compare and step
// through them without a time zone: the caller reads the local date once and passes it in.

// Days since 1970-01-01 in the Gregorian calendar (earlier days are negative).
using DayNumber = std::int32_t;

struct CivilDate {
    int year = 1970;
    int month = 1;  // 1 to 12
    int day = 1;    // 1 to 31
};

// A moment of local time: its calendar day and the seconds since that day's midnight, as the
// local clock reads them.
struct LocalMoment {
    DayNumber day = 0;
    std::int32_t secondOfDay = 0;  // 0 to 86399
};

constexpr std::int32_t secondsPerDay = 86400;

// nullopt unless month and day exist in that year (1 to 9999).
std::optional<DayNumber> dayNumber(CivilDate date);
CivilDate civilDate(DayNumber day);

// 0 for Monday to 6 for Sunday.
int weekdayIndex(DayNumber day);

// "2026-12-07".
std::wstring isoDate(DayNumber day);

// "2026-12-07 153012": a moment as a file name may carry it.
std::wstring fileStamp(LocalMoment moment);
