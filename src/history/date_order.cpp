#include "history/date_order.h"

DateOrder dateOrderOfPattern(const std::wstring& pattern) {
    bool quoted = false;
    for (wchar_t c : pattern) {
        if (c == L'\'') quoted = !quoted;
        else if (!quoted && c == L'M') return DateOrder::monthFirst;
        else if (!quoted && (c == L'd' || c == L'y')) return DateOrder::dayFirst;
    }
    return DateOrder::dayFirst;
}
