#include "history/report_sums.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "common/text.h"
#include "history/packed_history.h"

namespace {

// Most time first; equal times by name, so that the order never depends on the rows' order.
template <typename Sum, typename Name>
void sortByTime(std::vector<Sum>& sums, Name name) {
    std::sort(sums.begin(), sums.end(), [&](const Sum& a, const Sum& b) {
        if (a.seconds != b.seconds) return a.seconds > b.seconds;
        return name(a) < name(b);
    });
}

struct ProjectTotals {
    std::int64_t seconds = 0;
    std::vector<ProgramSum> programs;
    std::vector<std::int64_t> byPeriod;
};

void addProgram(std::vector<ProgramSum>& programs, const std::wstring& program, std::int64_t seconds) {
    for (ProgramSum& sum : programs) {
        if (sameFileName(sum.program, program)) {
            sum.seconds += seconds;
            return;
        }
    }
    programs.push_back({program, seconds});
}

// The place of the period holding `day` (periods follow each other without gaps).
std::size_t periodOf(const std::vector<ReportPeriod>& periods, DayNumber day) {
    const auto after = std::upper_bound(periods.begin(), periods.end(), day,
                                        [](DayNumber d, const ReportPeriod& p) { return d < p.first; });
    return static_cast<std::size_t>(after - periods.begin()) - 1;
}

std::wstring twoDigits(std::int64_t value) { return (value < 10 ? L"0" : L"") + std::to_wstring(value); }

}  // namespace

ReportSums sumReport(const std::vector<ChartPc>& pcs, const ReportRange& range, const RateSettings& rates) {
    ReportSums sums;
    sums.range = range;
    sums.billing = Billing(rates, range.first, range.last);
    const std::vector<ReportPeriod> periods = reportPeriods(range);
    ProjectNames names;
    std::vector<ProjectTotals> projects;
    std::map<DayNumber, std::int64_t> days;
    for (const ChartPc& pc : pcs) {
        PcSum pcSum{pc.name, 0};
        forEachRow(pc, [&](DayNumber day, const std::wstring& program, std::int64_t seconds,
                           const std::wstring& projectName) {
            if (seconds <= 0) return;
            // Budgets count every day.
            sums.billing.add(day, program, projectName, seconds);
            if (day < range.first || day > range.last) return;
            const std::size_t place = names.place(projectName);
            if (place == projects.size()) projects.emplace_back();
            ProjectTotals& project = projects[place];
            if (project.byPeriod.empty()) project.byPeriod.assign(periods.size(), 0);
            project.seconds += seconds;
            project.byPeriod[periodOf(periods, day)] += seconds;
            addProgram(project.programs, program, seconds);
            days[day] += seconds;
            pcSum.seconds += seconds;
        });
        sums.total += pcSum.seconds;
        sums.pcs.push_back(std::move(pcSum));
    }

    for (std::size_t place = 0; place < projects.size(); ++place) {
        ProjectTotals& totals = projects[place];
        sortByTime(totals.programs, [](const ProgramSum& p) { return p.program; });
        sums.projects.push_back({names.name(place), totals.seconds, totals.programs});
    }
    sortByTime(sums.projects, [](const ProjectSum& p) { return p.project; });
    const auto none = std::find_if(sums.projects.begin(), sums.projects.end(),
                                   [](const ProjectSum& p) { return p.project.empty(); });
    if (none != sums.projects.end()) std::rotate(none, none + 1, sums.projects.end());

    for (std::size_t i = 0; i < periods.size(); ++i) {
        PeriodSum bar{periods[i], 0, {}};
        for (const ProjectSum& project : sums.projects) {
            const std::int64_t seconds = projects[names.place(project.project)].byPeriod[i];
            bar.byProject.push_back(seconds);
            bar.seconds += seconds;
        }
        sums.bars.push_back(std::move(bar));
    }
    sums.workedDays.assign(days.begin(), days.end());
    return sums;
}

void addToReport(ReportSums& sums, std::size_t pc, DayNumber day, const std::wstring& program,
                 const std::wstring& project, std::int64_t seconds) {
    if (seconds <= 0) return;
    sums.billing.add(day, program, project, seconds);
    if (day < sums.range.first || day > sums.range.last) return;
    sums.total += seconds;
    if (pc < sums.pcs.size()) sums.pcs[pc].seconds += seconds;
    const auto worked = std::lower_bound(sums.workedDays.begin(), sums.workedDays.end(), day,
                                         [](const std::pair<DayNumber, std::int64_t>& d, DayNumber x) { return d.first < x; });
    if (worked != sums.workedDays.end() && worked->first == day) worked->second += seconds;
    else sums.workedDays.insert(worked, {day, seconds});

    auto known = std::find_if(sums.projects.begin(), sums.projects.end(),
                              [&](const ProjectSum& p) { return sameFileName(p.project, project); });
    if (known == sums.projects.end()) {
        sums.projects.push_back({project, 0, {}});
        for (PeriodSum& bar : sums.bars) bar.byProject.push_back(0);
        known = sums.projects.end() - 1;
    }
    const std::size_t place = static_cast<std::size_t>(known - sums.projects.begin());
    known->seconds += seconds;
    addProgram(known->programs, program, seconds);
    sortByTime(known->programs, [](const ProgramSum& p) { return p.program; });
    std::vector<ReportPeriod> periods;
    for (const PeriodSum& bar : sums.bars) periods.push_back(bar.period);
    if (!periods.empty() && day >= periods.front().first) {
        PeriodSum& bar = sums.bars[periodOf(periods, day)];
        bar.seconds += seconds;
        bar.byProject[place] += seconds;
    }

    // The projects in sumReport's order, the bars' parts following them.
    std::vector<std::size_t> order(sums.projects.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const ProjectSum &x = sums.projects[a], &y = sums.projects[b];
        if (x.project.empty() != y.project.empty()) return y.project.empty();
        if (x.seconds != y.seconds) return x.seconds > y.seconds;
        return x.project < y.project;
    });
    std::vector<ProjectSum> projects;
    for (const std::size_t i : order) projects.push_back(std::move(sums.projects[i]));
    sums.projects = std::move(projects);
    for (PeriodSum& bar : sums.bars) {
        std::vector<std::int64_t> parts;
        for (const std::size_t i : order) parts.push_back(bar.byProject[i]);
        bar.byProject = std::move(parts);
    }
}

std::int64_t daySeconds(const ReportSums& sums, DayNumber day) {
    const auto at = std::lower_bound(sums.workedDays.begin(), sums.workedDays.end(), day,
                                     [](const std::pair<DayNumber, std::int64_t>& d, DayNumber x) { return d.first < x; });
    return at != sums.workedDays.end() && at->first == day ? at->second : 0;
}

std::wstring hoursMinutesText(std::int64_t seconds) {
    const std::int64_t minutes = (std::max<std::int64_t>(seconds, 0) + 30) / 60;
    return std::to_wstring(minutes / 60) + L":" + twoDigits(minutes % 60);
}

std::wstring decimalHoursText(std::int64_t seconds) {
    const std::int64_t hundredths = (std::max<std::int64_t>(seconds, 0) + 18) / 36;
    return std::to_wstring(hundredths / 100) + L"." + twoDigits(hundredths % 100);
}

std::wstring shareText(std::int64_t part, std::int64_t whole) {
    if (whole <= 0) return L"";
    part = std::clamp<std::int64_t>(part, 0, whole);
    // 200 * part cannot overflow: no history holds 2^55 seconds.
    const std::int64_t percent = (200 * part + whole) / (2 * whole);
    if (percent == 0 && part > 0) return L"<1%";
    return std::to_wstring(percent) + L"%";
}

std::wstring projectTitle(const std::wstring& project) { return project.empty() ? L"No project" : project; }

ReportColour projectColour(std::size_t place, bool noProject) {
    if (noProject) return {170, 174, 180};
    static constexpr ReportColour chosen[] = {{70, 112, 143},  {226, 140, 52}, {98, 160, 108}, {146, 104, 172},
                                              {198, 92, 88},   {64, 160, 170}, {196, 168, 60}, {204, 110, 150},
                                              {120, 100, 80},  {96, 120, 200}};
    constexpr std::size_t count = sizeof chosen / sizeof chosen[0];
    if (place < count) return chosen[place];
    // Hues a golden angle apart never repeat and stay far from their neighbours; saturation and
    // lightness as the chosen ones have them.
    const double hue = std::fmod(static_cast<double>(place - count) * 137.508 + 20.0, 360.0);
    const double s = 0.45, l = 0.52;
    const double c = (1 - std::fabs(2 * l - 1)) * s;
    const double x = c * (1 - std::fabs(std::fmod(hue / 60.0, 2.0) - 1));
    const double m = l - c / 2;
    double r = 0, g = 0, b = 0;
    switch (static_cast<int>(hue / 60.0)) {
    case 0: r = c, g = x; break;
    case 1: r = x, g = c; break;
    case 2: g = c, b = x; break;
    case 3: g = x, b = c; break;
    case 4: r = x, b = c; break;
    default: r = c, b = x; break;
    }
    const auto byte = [&](double v) { return static_cast<int>(std::lround((v + m) * 255)); };
    return {byte(r), byte(g), byte(b)};
}
