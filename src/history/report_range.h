#pragma once

#include <optional>
#include <string>
#include <vector>

#include "common/calendar.h"
#include "config/report_mark.h"
#include "history/history_file.h"

// The spans of days the history window and its reports cover, worked out from today's day
// number alone: the caller reads the local date once and passes it in.

enum class ReportRangeKind {
    last14Days,
    thisWeek,
    lastWeek,
    thisMonth,
    lastMonth,
    allTime,
    sinceLastReport,
    custom,
};

// In the order the window offers them, the default first.
constexpr ReportRangeKind reportRangeKinds[] = {
    ReportRangeKind::last14Days, ReportRangeKind::thisWeek, ReportRangeKind::lastWeek,
    ReportRangeKind::thisMonth,  ReportRangeKind::lastMonth, ReportRangeKind::allTime,
    ReportRangeKind::sinceLastReport, ReportRangeKind::custom};

// "Last 14 days", "This week", "Last week", "This month", "Last month", "All time", "Since the
// last report", "Custom...".
const wchar_t* reportRangeName(ReportRangeKind kind);
// The range's name where it heads a total or a report: as the list says it, but "Custom range".
const wchar_t* reportRangeTitle(ReportRangeKind kind);

struct ReportRange {
    ReportRangeKind kind = ReportRangeKind::last14Days;
    DayNumber first = 0;  // both days belong to the range
    DayNumber last = 0;
};

inline bool operator==(const ReportRange& a, const ReportRange& b) {
    return a.kind == b.kind && a.first == b.first && a.last == b.last;
}

// The first and the last day on which any PC worked.
struct WorkedDays {
    DayNumber first = 0;
    DayNumber last = 0;
};
// Nullopt when no row holds a second.
std::optional<WorkedDays> workedDays(const std::vector<ChartPc>& pcs);

// What the ranges that today alone does not settle go by: the days a person picked for Custom...,
// and the last report or export saved (none before the first).
struct RangeMarks {
    DayNumber customFirst = 0;
    DayNumber customLast = 0;
    std::optional<ReportMark> lastReport;
};

// The days of `kind` as seen on `today`. Weeks run from Monday to Sunday, as secondsInWeekOf
// counts them, and months from their first day to their last, so This week and This month
// include the days still to come. All time runs from the first day with work to today; should
// rows lie after today (a clock that was once set wrong), it runs to the last of them, so
// that All time holds every counted second. Without any work it is today alone.
// Custom runs over the picked days, both included, whichever way round they were picked.
// Since the last report runs from sinceLastReportFirst to today; before any report it is All
// time, and from a mark after today (a clock that was once set wrong) it is today alone.
ReportRange reportRange(ReportRangeKind kind, DayNumber today, std::optional<WorkedDays> worked,
                        const RangeMarks& marks = {});

// The first day not in the report `mark` stands for: the day after its range, or, when it was
// saved before its range was over (This month, saved on the 15th), the day it was saved, whose
// work after the save would be missed otherwise. That day is then in both reports.
DayNumber sinceLastReportFirst(const ReportMark& mark);

// The mark once a report or export of `saved` has been saved on `savedOn`: the new one, unless
// it would start Since the last report earlier than `mark` does (an older range saved later).
ReportMark markAfterSave(const std::optional<ReportMark>& mark, const ReportRange& saved, DayNumber savedOn);

// One bar of a range's chart: a day, or a month.
struct ReportPeriod {
    DayNumber first = 0;
    DayNumber last = 0;
    std::wstring label;  // "Mon\n7" for a day, "Nov\n2026" for a month, under the bar
    std::wstring name;   // "Mon 2026-12-07", "November 2026": what the bar stands for
};

enum class ReportBarUnit { day, month };

// A bar a day up to about two months; All time, and any longer range, a bar a month (the first
// and last months cut to the range). Every bar has its label; where they are too many for
// the width, whoever draws them shows every second, seventh or twelfth, as fits.
constexpr int mostDailyBars = 62;
ReportBarUnit reportBarUnit(const ReportRange& range);
std::vector<ReportPeriod> reportPeriods(const ReportRange& range);

// "2026-11-01 to 2026-11-30", or "2026-12-07" for a single day.
std::wstring reportDatesText(const ReportRange& range);
// "Ardeno Time 2026-11-01 to 2026-11-30.html".
std::wstring reportFileName(const ReportRange& range);

// "Mon" to "Sun".
const wchar_t* weekdayName(DayNumber day);
