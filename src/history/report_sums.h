#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "config/rates_file.h"
#include "history/billing.h"
#include "history/history_file.h"
#include "history/report_range.h"

// Where the time of a range went: by project and program, by day, by bar and by PC, summed in
// exact seconds. Rounding happens only when a figure is written, each from its own seconds.

struct ProgramSum {
    std::wstring program;
    std::int64_t seconds = 0;
};

struct ProjectSum {
    std::wstring project;              // empty: "No project"
    std::int64_t seconds = 0;
    std::vector<ProgramSum> programs;  // by time, most first, ties by name
};

struct PcSum {
    std::wstring name;
    std::int64_t seconds = 0;
};

// A bar of the chart: its period and the seconds of each project in it.
struct PeriodSum {
    ReportPeriod period;
    std::int64_t seconds = 0;
    std::vector<std::int64_t> byProject;  // parallel to ReportSums::projects
};

struct ReportSums {
    ReportRange range;
    std::int64_t total = 0;
    // Projects with time in the range: by time, most first, ties by name; "No project" last.
    std::vector<ProjectSum> projects;
    std::vector<PeriodSum> bars;             // reportPeriods(range), oldest first
    std::vector<std::pair<DayNumber, std::int64_t>> workedDays;  // days with work, in date order
    std::vector<PcSum> pcs;                  // as given, this PC first; zero for a PC without work here
    Billing billing;                         // billed time and amounts of the range, budgets of every day
};

// Sums every PC's rows that fall in `range`, and bills them at `rates`. A program or a project
// is the same whoever spells its name in another letter case (sameFileName); the spelling
// first met, this PC's first, is shown.
ReportSums sumReport(const std::vector<ChartPc>& pcs, const ReportRange& range, const RateSettings& rates = {});

// Adds seconds counted just now on PC `pc` (a place in sums.pcs) to sums made by sumReport, as
// sumReport would have counted them had they been in its rows: a counted second costs a few
// steps, never a new sum of every row.
void addToReport(ReportSums& sums, std::size_t pc, DayNumber day, const std::wstring& program,
                 const std::wstring& project, std::int64_t seconds);

// The seconds of all PCs on `day`, from sums.workedDays.
std::int64_t daySeconds(const ReportSums& sums, DayNumber day);

// Figures. Each is rounded from exact seconds to the nearest minute or hundredth of an hour
// (36 s), a half upwards (30 s is a minute, 18 s a hundredth), in whole numbers so that no
// binary fraction can tip a half the wrong way. A total is rounded from its sum of seconds,
// never added up from rounded rows, so the rows may add up to a hundredth or a minute more or
// less than the total. Hours keep every digit past 99. Negative seconds count as none.
std::wstring hoursMinutesText(std::int64_t seconds);  // "4:30", "0:05", "123:00"
std::wstring decimalHoursText(std::int64_t seconds);  // "4.50", "0.08", "123.00"
// A part of a whole in whole percent, a half upwards: "45%", "<1%" for a part too small to
// show as 1% yet more than none, "" when the whole is none.
std::wstring shareText(std::int64_t part, std::int64_t whole);

// "No project" for the empty project, else the name.
std::wstring projectTitle(const std::wstring& project);

// A project's colour in the chart and its legend, by its place in ReportSums::projects; "No
// project" is always grey. The first ten are set apart by hand, later ones by hue.
struct ReportColour {
    int red = 0;
    int green = 0;
    int blue = 0;
};
ReportColour projectColour(std::size_t place, bool noProject);
