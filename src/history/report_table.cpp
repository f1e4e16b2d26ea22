#include "history/report_table.h"

std::vector<ReportTableRow> projectTableRows(const ReportSums& sums) {
    std::vector<ReportTableRow> rows;
    for (std::size_t i = 0; i < sums.projects.size(); ++i) {
        const ProjectSum& project = sums.projects[i];
        const int place = static_cast<int>(i);
        rows.push_back({ReportTableRow::Kind::project, projectTitle(project.project), hoursMinutesText(project.seconds),
                        decimalHoursText(project.seconds), shareText(project.seconds, sums.total), place});
        for (const ProgramSum& program : project.programs)
            rows.push_back({ReportTableRow::Kind::program, program.program, hoursMinutesText(program.seconds),
                            decimalHoursText(program.seconds), L"", place});
    }
    rows.push_back({ReportTableRow::Kind::total, L"Total", hoursMinutesText(sums.total), decimalHoursText(sums.total),
                    shareText(sums.total, sums.total), -1});
    return rows;
}

std::vector<ReportDayRow> dayTableRows(const ReportSums& sums) {
    std::vector<ReportDayRow> rows;
    const auto add = [&](DayNumber day, std::int64_t seconds) {
        rows.push_back({day, isoDate(day), weekdayName(day), hoursMinutesText(seconds), decimalHoursText(seconds),
                        seconds > 0});
    };
    if (reportBarUnit(sums.range) == ReportBarUnit::month) {
        for (const auto& [day, seconds] : sums.workedDays) add(day, seconds);
    } else {
        for (DayNumber day = sums.range.first; day <= sums.range.last; ++day) add(day, daySeconds(sums, day));
    }
    return rows;
}

std::vector<ReportPcRow> pcTableRows(const ReportSums& sums) {
    std::vector<ReportPcRow> rows;
    for (const PcSum& pc : sums.pcs)
        rows.push_back({pc.name, hoursMinutesText(pc.seconds), decimalHoursText(pc.seconds),
                        shareText(pc.seconds, sums.total)});
    return rows;
}

std::wstring reportHeading(const ReportRange& range) {
    return std::wstring(reportRangeTitle(range.kind)) + L": " + reportDatesText(range);
}
