#include "history/date_order_win.h"

#include <windows.h>

DateOrder userDateOrder() {
    wchar_t pattern[128] = {};  // a short-date pattern has at most 80 characters
    if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SSHORTDATE, pattern, 128) == 0) return DateOrder::dayFirst;
    return dateOrderOfPattern(pattern);
}
