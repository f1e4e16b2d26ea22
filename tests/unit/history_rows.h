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

// Twenty years (or `years`) of a busy freelancer up to `lastDay`, as the size checks generate
// them: five programs and two projects a day, a new pair of projects every month, some 2.4 MB
// as history.csv for twenty years. `salt` makes the seconds of one PC differ from another's.
inline std::vector<HistoryRow> careerRows(DayNumber lastDay, int years = 20, int salt = 0) {
    static const wchar_t* const programs[] = {L"photoshop.exe", L"illustrator.exe", L"blender.exe", L"figma.exe",
                                              L"code.exe"};
    std::vector<HistoryRow> rows;
    const DayNumber first = lastDay - years * 365 + 1;
    rows.reserve(static_cast<std::size_t>(lastDay - first + 1) * 10);
    for (DayNumber day = first; day <= lastDay; ++day) {
        const int month = (day - first) / 30;
        for (int project = 0; project < 2; ++project)
            for (int program = 0; program < 5; ++program)
                rows.push_back({day, programs[program], 300 + (day * 37 + program * 11 + project * 5 + salt) % 5400,
                                L"J" + std::to_wstring(month * 2 + project)});
    }
    return rows;
}
