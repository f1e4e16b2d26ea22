#include "history/work_history.h"

#include <algorithm>
#include <filesystem>
#include <limits>

#include "config/file_system.h"
#include "config/settings_error.h"

void addCountedSeconds(std::vector<HistoryRow>& rows, const std::wstring& program, std::int32_t seconds,
                       LocalMoment now) {
    std::int64_t remaining = seconds;
    std::int64_t room = now.secondOfDay;
    for (DayNumber day = now.day; remaining > 0; --day, room = secondsPerDay) {
        const std::int64_t here = std::min(remaining, room);
        if (here > 0) addToHistory(rows, {day, program, here});
        remaining -= here;
    }
}

std::int64_t secondsOnDay(const std::vector<HistoryRow>& rows, DayNumber day) {
    return dailyTotals(rows, day, 1).front();
}

std::int64_t secondsInWeekOf(const std::vector<HistoryRow>& rows, DayNumber day) {
    const std::vector<std::int64_t> week = dailyTotals(rows, day - weekdayIndex(day) + 6, 7);
    std::int64_t sum = 0;
    for (std::int64_t seconds : week) sum += seconds;
    return sum;
}

std::vector<std::int64_t> dailyTotals(const std::vector<HistoryRow>& rows, DayNumber lastDay, int count) {
    std::vector<std::int64_t> totals(static_cast<std::size_t>(std::max(count, 0)), 0);
    const std::int64_t first = std::int64_t{lastDay} - count + 1;
    for (const HistoryRow& row : rows) {
        const std::int64_t index = row.day - first;
        if (index >= 0 && index < count) totals[static_cast<std::size_t>(index)] += row.seconds;
    }
    return totals;
}

void WorkHistory::open(std::wstring path, LocalMoment now) {
    path_ = std::move(path);
    rows_.clear();
    adopt(loadHistoryFile(path_, fileStamp(now)));
}

void WorkHistory::adopt(HistoryLoad load) {
    // Seconds counted while the file could not be read go on top of what it held.
    for (const HistoryRow& row : rows_) addToHistory(load.rows, row);
    rows_ = std::move(load.rows);
    ++revision_;
    settled_ = false;
    usable_ = load.usable;
    saveError_ = load.error;
    if (load.keptAs.empty()) return;
    const std::wstring kept = displayPath(load.keptAs);
    if (load.nothingReadable) {
        notice = L"history.csv could not be read; it was kept as " + kept;
    } else {
        const std::size_t lines = load.unreadableLines;
        notice = std::to_wstring(lines) + (lines == 1 ? L" line" : L" lines") +
                 L" of history.csv could not be read; the file was kept as " + kept;
    }
}

void WorkHistory::record(const std::wstring& program, std::int32_t seconds, LocalMoment now) {
    // The earliest day the seconds reach; a row of a settled day changes only when it is earlier.
    const std::int64_t beforeMidnight = std::max<std::int64_t>(0, std::int64_t{seconds} - now.secondOfDay);
    if (now.day - (beforeMidnight + secondsPerDay - 1) / secondsPerDay < settledBefore_) settled_ = false;
    addCountedSeconds(rows_, program, seconds, now);
    ++revision_;
    save(now);
}

void WorkHistory::ensureFileExists(LocalMoment now) {
    try {
        if (pathExists(path_)) return;
    } catch (const std::filesystem::filesystem_error&) {
        return;
    }
    save(now);
}

void WorkHistory::save(LocalMoment now) {
    if (path_.empty()) return;
    if (!usable_) {
        adopt(loadHistoryFile(path_, fileStamp(now)));
        if (!usable_) return;
    }
    // Settled anew when a day begins, so that yesterday's rows join the settled ones.
    if (!settled_ || (!rows_.empty() && rows_.back().day != settledBefore_)) {
        settledBefore_ = rows_.empty() ? std::numeric_limits<DayNumber>::min() : rows_.back().day;
        settledRows_ = static_cast<std::size_t>(
            std::lower_bound(rows_.begin(), rows_.end(), settledBefore_,
                             [](const HistoryRow& row, DayNumber day) { return row.day < day; }) -
            rows_.begin());
        settledText_ = historyHeader();
        appendHistoryRows(settledText_, rows_.begin(), rows_.begin() + static_cast<std::ptrdiff_t>(settledRows_));
        settled_ = true;
    }
    std::string text = settledText_;
    appendHistoryRows(text, rows_.begin() + static_cast<std::ptrdiff_t>(settledRows_), rows_.end());
    saveError_ = writeFileAtomically(path_, text);
}
