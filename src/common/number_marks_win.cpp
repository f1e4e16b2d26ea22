#include "common/number_marks_win.h"

#include <windows.h>

namespace {

// A locale text of at most three characters (the limit for both), or `fallback`.
std::wstring localeText(LCTYPE type, const wchar_t* fallback) {
    wchar_t text[8] = {};
    const int length = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type, text, 8);
    if (length <= 0) return fallback;
    return std::wstring(text, static_cast<std::size_t>(length - 1));
}

}  // namespace

NumberMarks userNumberMarks() {
    NumberMarks marks{localeText(LOCALE_SDECIMAL, L"."), localeText(LOCALE_STHOUSAND, L"")};
    if (marks.decimal.empty()) marks.decimal = L".";
    return marks;
}
