#include "common/list_separator_win.h"

#include <windows.h>

std::wstring userListSeparator() {
    wchar_t separator[8] = {};  // at most three characters and the terminator
    const int length = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SLIST, separator, 8);
    if (length <= 1) return L",";
    return std::wstring(separator, static_cast<std::size_t>(length - 1));
}
