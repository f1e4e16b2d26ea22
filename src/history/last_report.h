#pragma once

#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "common/calendar.h"
#include "config/report_mark.h"
#include "history/report_range.h"

// Where "Since the last report" starts: lastreport.cfg as the history window reads it, and what
// a report or an export that was saved does to it. Only a save that succeeded is noted here, so
// that a cancelled or failed one leaves the mark where it was.
class LastReport {
public:
    // Reads the file at `path`; one that cannot be read is moved aside (see loadReportMarkFile),
    // one whose bytes cannot be read now is read again at the next note.
    void open(std::wstring path, LocalMoment now);

    // A report or export of `range` was saved on `savedOn`: moves the mark on, unless the range
    // is older than the one it stands for, and writes the file. The mark is kept in memory
    // when the file cannot be written (or read again); the error says why.
    std::error_code noteRangeBilled(const ReportRange& range, DayNumber savedOn, LocalMoment now);

    const std::optional<ReportMark>& mark() const { return mark_; }
    // Lines for the window while the file could not be read or written; none otherwise.
    std::vector<std::wstring> notes() const;

private:
    void load(LocalMoment now);

    std::wstring path_;
    std::optional<ReportMark> mark_;
    bool writable_ = false;
    std::wstring keptAs_;
    std::error_code error_;  // why the file could not be read, or written
};
