#include "common/number_text.h"

#include <algorithm>

namespace {

std::int64_t powerOfTen(int exponent) {
    std::int64_t power = 1;
    for (int i = 0; i < exponent; ++i) power *= 10;
    return power;
}

// Rounds a non-negative `value` / `divisor` to a whole number, a half upwards.
std::int64_t roundedQuotient(std::int64_t value, std::int64_t divisor) {
    return value / divisor + (value % divisor * 2 >= divisor ? 1 : 0);
}

}  // namespace

std::wstring decimalText(std::int64_t value, int decimals, int places, const NumberMarks& marks) {
    places = std::clamp(places, 0, decimals);
    const bool negative = value < 0;
    // Every value a history can hold is far from the ends of the range, so negating is safe.
    const std::int64_t scaled = roundedQuotient(negative ? -value : value, powerOfTen(decimals - places));
    const std::int64_t unit = powerOfTen(places);
    const std::wstring digits = std::to_wstring(scaled / unit);
    std::wstring text;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) text += marks.grouping;
        text += digits[i];
    }
    if (places > 0) text += marks.decimal + std::to_wstring(scaled % unit + unit).substr(1);
    return (negative && scaled != 0 ? L"-" : L"") + text;
}

std::wstring hoursText(std::int64_t seconds, int places, const NumberMarks& marks) {
    seconds = std::max<std::int64_t>(seconds, 0);
    // Hours to four places are 0.36 s each: in 1/25 s a second is 25 and a ten-thousandth 9.
    const std::int64_t tenThousandths = roundedQuotient(seconds * 25, 9);
    if (places >= 4) return decimalText(tenThousandths, 4, 4, marks);
    // Rounded from the seconds, not from the four places, so that a half is a half of 36 s.
    const std::int64_t hundredths = roundedQuotient(seconds, 36);
    return decimalText(hundredths, 2, std::max(places, 0), marks);
}
