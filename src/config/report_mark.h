#pragma once

#include <optional>
#include <string>
#include <system_error>

#include "common/calendar.h"

// lastreport.cfg, beside data.cfg: the range the last report or export saved covered, and the
// day it was saved, so that "Since the last report" knows where to start. UTF-8 with CR LF line
// ends, one date a line, the year first:
//   2026-12-01     the range's first day
//   2026-12-31     its last day
//   2026-12-15     the day it was saved
// Without the file no report has been saved yet.
struct ReportMark {
    DayNumber first = 0;
    DayNumber last = 0;
    DayNumber savedOn = 0;
};
inline bool operator==(const ReportMark& a, const ReportMark& b) {
    return a.first == b.first && a.last == b.last && a.savedOn == b.savedOn;
}

std::wstring reportMarkFilePath(const std::wstring& stateFolder);

// What a lastreport.cfg text says: false when it cannot be read. Read tolerantly, as a person
// may have edited it: a byte-order mark, LF line ends, spaces around a date, blank lines and
// one-digit months and days (2026-1-5) are nothing, and "/" or "." may stand between a date's
// parts; a text of nothing but blank lines is no mark. Three dates that are not days of the
// calendar, or a first day after the last, make it unreadable. Whatever this reads,
// formatReportMark writes so that it reads back the same.
bool parseReportMark(const std::string& bytes, std::optional<ReportMark>& mark);
std::string formatReportMark(const ReportMark& mark);

// What reading lastreport.cfg found.
struct ReportMarkLoad {
    std::optional<ReportMark> mark;
    // False when the file is there but its bytes could not be read (held by another program, a
    // read error), or it was unreadable and could not be moved aside: it must not be written
    // over, and is to be read again. `error` says why.
    bool writable = true;
    std::wstring keptAs;  // where an unreadable file was moved; empty otherwise
    std::error_code error;
};

// Reads lastreport.cfg at `path`. A file that cannot be read is never written over: it is moved
// beside itself under a name carrying `stamp` ("lastreport unreadable 2026-12-07 153012.cfg"),
// and there is no mark. A file whose bytes cannot be read now stays where it is (not writable),
// as does a folder in its place that cannot be moved aside.
ReportMarkLoad loadReportMarkFile(const std::wstring& path, const std::wstring& stamp);

// Replaces the file in one step (see writeFileAtomically).
std::error_code saveReportMarkFile(const std::wstring& path, const ReportMark& mark);
