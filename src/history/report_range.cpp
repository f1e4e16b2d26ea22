#include "history/report_range.h"

#include <algorithm>

#include "history/packed_history.h"

namespace {

const wchar_t* const weekdays[] = {L"Mon", L"Tue", L"Wed", L"Thu", L"Fri", L"Sat", L"Sun"};
const wchar_t* const monthShort[] = {L"Jan", L"Feb", L"Mar", L"Apr", L"May", L"Jun",
                                     L"Jul", L"Aug", L"Sep", L"Oct", L"Nov", L"Dec"};
const wchar_t* const monthLong[] = {L"January", L"February", L"March",     L"April",   L"May",      L"June",
                                    L"July",    L"August",   L"September", L"October", L"November", L"December"};

DayNumber firstOfMonth(DayNumber day) {
    const CivilDate date = civilDate(day);
    return day - (date.day - 1);
}

// The first day of the month after the one holding `day`.
DayNumber firstOfNextMonth(DayNumber day) {
    const CivilDate date = civilDate(day);
    const CivilDate next = date.month == 12 ? CivilDate{date.year + 1, 1, 1} : CivilDate{date.year, date.month + 1, 1};
    // Past the year 9999 the calendar has no number; the month then ends where the days do.
    return dayNumber(next).value_or(day + 31 - date.day + 1);
}

}  // namespace

const wchar_t* reportRangeName(ReportRangeKind kind) {
    switch (kind) {
    case ReportRangeKind::last14Days: return L"Last 14 days";
    case ReportRangeKind::thisWeek: return L"This week";
    case ReportRangeKind::lastWeek: return L"Last week";
    case ReportRangeKind::thisMonth: return L"This month";
    case ReportRangeKind::lastMonth: return L"Last month";
    case ReportRangeKind::allTime: return L"All time";
    case ReportRangeKind::sinceLastReport: return L"Since the last report";
    case ReportRangeKind::custom: return L"Custom...";
    }
    return L"";
}

const wchar_t* reportRangeTitle(ReportRangeKind kind) {
    return kind == ReportRangeKind::custom ? L"Custom range" : reportRangeName(kind);
}

const wchar_t* weekdayName(DayNumber day) { return weekdays[weekdayIndex(day)]; }

std::optional<WorkedDays> workedDays(const std::vector<ChartPc>& pcs) {
    std::optional<WorkedDays> worked;
    for (const ChartPc& pc : pcs) {
        forEachRow(pc, [&](DayNumber day, const std::wstring&, std::int64_t seconds, const std::wstring&) {
            if (seconds <= 0) return;
            if (!worked) worked = WorkedDays{day, day};
            worked->first = std::min(worked->first, day);
            worked->last = std::max(worked->last, day);
        });
    }
    return worked;
}

ReportRange reportRange(ReportRangeKind kind, DayNumber today, std::optional<WorkedDays> worked,
                        const RangeMarks& marks) {
    const DayNumber monday = today - weekdayIndex(today);
    switch (kind) {
    case ReportRangeKind::last14Days: return {kind, today - 13, today};
    case ReportRangeKind::thisWeek: return {kind, monday, monday + 6};
    case ReportRangeKind::lastWeek: return {kind, monday - 7, monday - 1};
    case ReportRangeKind::thisMonth: return {kind, firstOfMonth(today), firstOfNextMonth(today) - 1};
    case ReportRangeKind::lastMonth: {
        const DayNumber lastDay = firstOfMonth(today) - 1;
        return {kind, firstOfMonth(lastDay), lastDay};
    }
    case ReportRangeKind::allTime:
        if (!worked) return {kind, today, today};
        return {kind, std::min(worked->first, today), std::max(worked->last, today)};
    case ReportRangeKind::sinceLastReport: {
        if (!marks.lastReport) {
            ReportRange all = reportRange(ReportRangeKind::allTime, today, worked);
            all.kind = kind;
            return all;
        }
        const DayNumber first = sinceLastReportFirst(*marks.lastReport);
        return {kind, std::min(first, today), today};
    }
    case ReportRangeKind::custom:
        return {kind, std::min(marks.customFirst, marks.customLast), std::max(marks.customFirst, marks.customLast)};
    }
    return {kind, today, today};
}

DayNumber sinceLastReportFirst(const ReportMark& mark) { return std::min(mark.last + 1, mark.savedOn); }

ReportMark markAfterSave(const std::optional<ReportMark>& mark, const ReportRange& saved, DayNumber savedOn) {
    const ReportMark next{saved.first, saved.last, savedOn};
    if (mark && sinceLastReportFirst(next) < sinceLastReportFirst(*mark)) return *mark;
    return next;
}

ReportBarUnit reportBarUnit(const ReportRange& range) {
    return range.kind == ReportRangeKind::allTime || range.last - range.first + 1 > mostDailyBars
               ? ReportBarUnit::month
               : ReportBarUnit::day;
}

std::vector<ReportPeriod> reportPeriods(const ReportRange& range) {
    std::vector<ReportPeriod> periods;
    if (reportBarUnit(range) == ReportBarUnit::day) {
        for (DayNumber day = range.first; day <= range.last; ++day)
            periods.push_back({day, day, std::wstring(weekdayName(day)) + L"\n" + std::to_wstring(civilDate(day).day),
                               std::wstring(weekdayName(day)) + L" " + isoDate(day)});
        return periods;
    }
    for (DayNumber first = range.first; first <= range.last;) {
        const DayNumber next = firstOfNextMonth(first);
        const CivilDate date = civilDate(first);
        const std::wstring year = std::to_wstring(date.year);
        periods.push_back({first, std::min(next - 1, range.last),
                           std::wstring(monthShort[date.month - 1]) + L"\n" + year,
                           std::wstring(monthLong[date.month - 1]) + L" " + year});
        first = next;
    }
    return periods;
}

std::wstring reportDatesText(const ReportRange& range) {
    if (range.first == range.last) return isoDate(range.first);
    return isoDate(range.first) + L" to " + isoDate(range.last);
}

std::wstring reportFileName(const ReportRange& range) { return L"Ardeno Time " + reportDatesText(range) + L".html"; }
