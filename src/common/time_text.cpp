#include "common/time_text.h"

#include <algorithm>
#include <limits>

namespace {

std::wstring inWords(const DurationText& parts) {
    return parts.hours + L"hours " + parts.minutes + L"minutes " + parts.seconds + L"seconds";
}

}  // namespace

DurationText splitDuration(std::int32_t seconds) {
    // Division truncates toward zero and remainders keep the dividend's sign, so every field
    // of a negative count is negative (or zero); no step can overflow, even for INT32_MIN.
    const std::int32_t totalMinutes = seconds / 60;
    const std::int32_t hours = totalMinutes / 60;
    return {std::to_wstring(hours), std::to_wstring(totalMinutes - 60 * hours),
            std::to_wstring(seconds - 60 * totalMinutes)};
}

std::wstring padTwoDigits(std::wstring text) {
    if (text.size() < 2) text.insert(0, 2 - text.size(), L'0');
    return text;
}

std::wstring timeText(std::int32_t seconds) {
    DurationText parts = splitDuration(seconds);
    return padTwoDigits(std::move(parts.hours)) + L":" + padTwoDigits(std::move(parts.minutes)) + L":" +
           padTwoDigits(std::move(parts.seconds));
}

std::wstring totalWorkText(std::int32_t seconds) { return L"Total work time : " + inWords(splitDuration(seconds)); }

std::wstring todayWorkText(std::int64_t seconds) {
    const std::int64_t shown = std::clamp<std::int64_t>(seconds, std::numeric_limits<std::int32_t>::min(),
                                                        std::numeric_limits<std::int32_t>::max());
    return L"Today : " + inWords(splitDuration(static_cast<std::int32_t>(shown)));
}
