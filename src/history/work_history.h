#pragma once

#include <cstdint>
#include <string>
#include <system_error>
#include <vector>

#include "common/calendar.h"
#include "history/history_file.h"

// The work history's rule: which row a counted second belongs to. The caller passes the local
// moment in; nothing here reads a clock.

// Adds the `seconds` that one frame counted for `program`, the frame ending at `now`, to the
// rows. The seconds run up to `now`, so those after local midnight go to the new day and the
// rest to the day before it (and further back, should a frame ever span more than a day).
void addCountedSeconds(std::vector<HistoryRow>& rows, const std::wstring& program, std::int32_t seconds,
                       LocalMoment now);

// All programs' seconds on `day`.
std::int64_t secondsOnDay(const std::vector<HistoryRow>& rows, DayNumber day);
// All programs' seconds from the Monday to the Sunday of the week that holds `day`.
std::int64_t secondsInWeekOf(const std::vector<HistoryRow>& rows, DayNumber day);
// All programs' seconds on each of the `count` days that end with `lastDay`, oldest first.
std::vector<std::int64_t> dailyTotals(const std::vector<HistoryRow>& rows, DayNumber lastDay, int count);

// The history while the program runs: the rows in memory and history.csv, written whole after
// every frame that counted, as data.cfg is. A file that could not be read is never written
// over (see loadHistoryFile); until it can be set aside, the rows gather in memory and every
// counted second tries again, so nothing counted meanwhile is lost.
class WorkHistory {
public:
    void open(std::wstring path, LocalMoment now);
    void record(const std::wstring& program, std::int32_t seconds, LocalMoment now);
    // Writes the file when it is missing, so that a person can open it before anything more
    // is counted (it is created at the start, but may have been deleted since).
    void ensureFileExists(LocalMoment now);

    const std::vector<HistoryRow>& rows() const { return rows_; }
    const std::wstring& path() const { return path_; }
    // Why the last write failed; empty once one succeeds.
    const std::error_code& saveError() const { return saveError_; }
    // Grows with every change of the rows, so that a view can tell that it is out of date.
    std::uint64_t revision() const { return revision_; }

    // Where an unreadable file was kept, for the menu to say once; the menu clears it.
    std::wstring notice;

private:
    void adopt(HistoryLoad load);
    void save(LocalMoment now);

    std::wstring path_;
    std::vector<HistoryRow> rows_;
    bool usable_ = false;
    std::error_code saveError_;
    std::uint64_t revision_ = 0;
    // The file's text up to the rows of the latest day, kept between writes: while counting
    // only the latest day's rows change, and years of rows need not be put together again
    // every second. It holds rows [0, settledRows_), all of days before settledBefore_.
    std::string settledText_;
    std::size_t settledRows_ = 0;
    DayNumber settledBefore_ = 0;
    bool settled_ = false;
};
