#pragma once

#include <cstdint>
#include <string>

// Whole seconds as decimal hours, minutes within the hour and seconds within the minute,
// unpadded. A negative count gives negative fields, each with its own minus sign.
struct DurationText {
    std::wstring hours;
    std::wstring minutes;
    std::wstring seconds;
};

DurationText splitDuration(std::int32_t seconds);

// Prefixes "0" up to two characters; a "-" counts as one ("-1" stays "-1").
std::wstring padTwoDigits(std::wstring text);

// The overlay's time: "HH:MM:SS", with a longer first field from 100 hours on.
std::wstring timeText(std::int32_t seconds);

// The menu's first line: "Total work time : 1hours 2minutes 5seconds".
std::wstring totalWorkText(std::int32_t seconds);

// The menu's line under it, in the same form: "Today : 1hours 2minutes 3seconds". A count
// beyond the 32-bit range (only a hand-edited history holds one) shows as the range's end.
std::wstring todayWorkText(std::int64_t seconds);
