#include "common/calendar.h"

#include <cstdio>

namespace {

bool leapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int daysInMonth(int year, int month) {
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && leapYear(year) ? 29 : days[month - 1];
}

// Floor division, so that days before 1970 fall into the right era and weekday.
std::int64_t floorDiv(std::int64_t a, std::int64_t b) { return (a - (a % b + b) % b) / b; }

}  // namespace

// Counted in 400-year eras that begin on 1 March, so that the leap day is the last day of a
// year and needs no special case.
std::optional<DayNumber> dayNumber(CivilDate date) {
    if (date.year < 1 || date.year > 9999 || date.month < 1 || date.month > 12 || date.day < 1 ||
        date.day > daysInMonth(date.year, date.month))
        return std::nullopt;
    const std::int64_t year = date.month <= 2 ? date.year - 1 : date.year;
    const std::int64_t era = floorDiv(year, 400);
    const std::int64_t yearOfEra = year - era * 400;
    const std::int64_t dayOfYear = (153 * (date.month > 2 ? date.month - 3 : date.month + 9) + 2) / 5 + date.day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return static_cast<DayNumber>(era * 146097 + dayOfEra - 719468);
}

CivilDate civilDate(DayNumber day) {
    const std::int64_t shifted = std::int64_t{day} + 719468;
    const std::int64_t era = floorDiv(shifted, 146097);
    const std::int64_t dayOfEra = shifted - era * 146097;
    const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t monthIndex = (5 * dayOfYear + 2) / 153;
    const int month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    const int year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
    return {year, month, static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1)};
}

int weekdayIndex(DayNumber day) {
    // 1970-01-01 was a Thursday (index 3).
    return static_cast<int>((std::int64_t{day} % 7 + 7 + 3) % 7);
}

std::wstring isoDate(DayNumber day) {
    const CivilDate date = civilDate(day);
    wchar_t text[16];
    std::swprintf(text, 16, L"%04d-%02d-%02d", date.year, date.month, date.day);
    return text;
}

std::wstring fileStamp(LocalMoment moment) {
    wchar_t time[16];
    std::swprintf(time, 16, L" %02d%02d%02d", moment.secondOfDay / 3600, moment.secondOfDay / 60 % 60,
                  moment.secondOfDay % 60);
    return isoDate(moment.day) + time;
}
