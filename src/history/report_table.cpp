#include "history/report_table.h"

namespace {

std::wstring withCurrency(const std::wstring& number, const ReportSums& sums) {
    const std::wstring& currency = sums.billing.rates().currency;
    return currency.empty() ? number : number + L" " + currency;
}

}  // namespace

std::vector<ReportTableRow> projectTableRows(const ReportSums& sums, const NumberMarks& marks) {
    std::vector<ReportTableRow> rows;
    std::int64_t billed = 0;
    for (std::size_t i = 0; i < sums.projects.size(); ++i) {
        const ProjectSum& project = sums.projects[i];
        const int place = static_cast<int>(i);
        ReportTableRow line{ReportTableRow::Kind::project, projectTitle(project.project),
                            hoursMinutesText(project.seconds), hoursText(project.seconds, 2, marks),
                            shareText(project.seconds, sums.total), place};
        if (const ProjectBill* bill = sums.billing.find(project.project)) {
            billed += bill->billed;
            line.billed = hoursText(bill->billed, 2, marks);
            if (bill->rate) {
                line.rate = rateText(*bill->rate, marks);
                line.amount = withCurrency(moneyText(bill->cents, marks), sums);
            }
            if (bill->budget) {
                line.budgetUsed = decimalText(scaledHours(bill->billedEver), rateDecimals, 2, marks);
                line.budgetLeft = decimalText(budgetLeft(*bill), rateDecimals, 2, marks);
                line.overBudget = budgetPassed(*bill);
            }
        }
        rows.push_back(std::move(line));
        for (const ProgramSum& program : project.programs)
            rows.push_back({ReportTableRow::Kind::program, program.program, hoursMinutesText(program.seconds),
                            hoursText(program.seconds, 2, marks), L"", place});
    }
    ReportTableRow total{ReportTableRow::Kind::total, L"Total", hoursMinutesText(sums.total),
                         hoursText(sums.total, 2, marks), shareText(sums.total, sums.total), -1};
    total.billed = hoursText(billed, 2, marks);
    if (sums.billing.anyAmount()) total.amount = withCurrency(moneyText(sums.billing.totalCents(), marks), sums);
    rows.push_back(std::move(total));
    return rows;
}

bool showsBilling(const ReportSums& sums) {
    return sums.billing.anyAmount() || sums.billing.rates().roundingMinutes > 0;
}

bool showsBudgets(const ReportSums& sums) {
    for (const ProjectSum& project : sums.projects)
        if (const ProjectBill* bill = sums.billing.find(project.project); bill && bill->budget) return true;
    return false;
}

std::wstring billingRuleText(const ReportSums& sums) {
    if (!showsBilling(sums)) return L"";
    const int minutes = sums.billing.rates().roundingMinutes;
    std::wstring text = minutes > 0 ? L"Billed hours: each day's time on a project, all programs and PCs together, "
                                      L"rounded up to " + std::to_wstring(minutes) + L" minutes."
                                    : L"Billed hours: each day's time on a project, all programs and PCs together, "
                                      L"to the second.";
    text += L" Each day's amount is its billed hours times the project's rate, rounded once to the cent; a "
            L"project's amount is the sum of its days' and the total the sum of the projects'. A project without a "
            L"rate has no amount.";
    if (showsBudgets(sums)) text += L" A budget counts the billed hours of every day, before and after this range.";
    return text;
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
