#pragma once

#include <string>
#include <vector>

#include "common/calendar.h"
#include "history/history_file.h"

// Rows as "2026-12-07 notepad.exe 5; 2026-12-07 notepad.exe 3 for Acme; ...", to compare
// whole histories at once.
inline std::wstring describe(const std::vector<HistoryRow>& rows) {
    std::wstring text;
    for (const HistoryRow& row : rows)
        text += (text.empty() ? L"" : L"; ") + isoDate(row.day) + L" " + row.program + L" " +
                std::to_wstring(row.seconds) + (row.project.empty() ? L"" : L" for " + row.project);
    return text;
}
