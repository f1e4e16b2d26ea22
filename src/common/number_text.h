#pragma once

#include <cstdint>
#include <string>

// Decimal numbers as the user's locale writes them, from whole numbers: the marks are handed
// in (number_marks_win.h reads the user's), so that the same code formats for any locale.

struct NumberMarks {
    std::wstring decimal = L".";  // "." in the United States, "," in Germany
    std::wstring grouping;        // between groups of three digits: "," , "." , U+00A0; empty for none
};
inline bool operator==(const NumberMarks& a, const NumberMarks& b) {
    return a.decimal == b.decimal && a.grouping == b.grouping;
}

// `value` / 10^`decimals` written with `places` decimal places (at most `decimals`), rounded
// from the whole number, a half away from zero, so that no binary fraction tips a half the
// wrong way: decimalText(123456, 2, 2, {",", "."}) is "1.234,56", decimalText(-5, 1, 0) "-1".
std::wstring decimalText(std::int64_t value, int decimals, int places, const NumberMarks& marks);

// Seconds as hours with `places` decimal places (2 or 4), rounded from the seconds a half up:
// 5400 s at 2 places is "1.50", 30 s "0.01".
std::wstring hoursText(std::int64_t seconds, int places, const NumberMarks& marks);
