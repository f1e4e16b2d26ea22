#pragma once

#include <string>
#include <vector>

#include "history/report_sums.h"

// The lines of the tables that the history window and the report show, as texts: both draw
// exactly these, so that what the window says and what the report says never differ.

// The project and program table: each project's line followed by its programs' lines, then
// the total's line.
struct ReportTableRow {
    enum class Kind { project, program, total };
    Kind kind = Kind::project;
    std::wstring name;   // the project ("No project"), the program, or "Total"
    std::wstring time;   // "4:30"
    std::wstring hours;  // "4.50"
    std::wstring share;  // of the range: "45%" on a project's line, "100%" on the total's, else empty
    int project = -1;    // place in ReportSums::projects on project and program lines, for the colour
};
std::vector<ReportTableRow> projectTableRows(const ReportSums& sums);

// The table of the days: every day of a range shown a bar a day; only the days with work of
// one shown by month (All time), which may span years.
struct ReportDayRow {
    DayNumber day = 0;
    std::wstring date;     // "2026-12-07"
    std::wstring weekday;  // "Mon"
    std::wstring time;
    std::wstring hours;
    bool worked = false;
};
std::vector<ReportDayRow> dayTableRows(const ReportSums& sums);

// Each PC's line while sharing, this PC first: name, time, hours and share of the range.
struct ReportPcRow {
    std::wstring name;
    std::wstring time;
    std::wstring hours;
    std::wstring share;
};
std::vector<ReportPcRow> pcTableRows(const ReportSums& sums);

// "Last month: 2026-11-01 to 2026-11-30".
std::wstring reportHeading(const ReportRange& range);
