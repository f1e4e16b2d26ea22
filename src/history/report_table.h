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
    // On project lines (billed and amount also on the total's), empty on program lines:
    std::wstring billed{};    // billed hours, "4.75"
    std::wstring rate{};      // "80.00"; empty without a rate
    std::wstring amount{};    // "380.00 EUR"; empty without a rate
    std::wstring budgetUsed{};  // billed hours of every day, "42.50"; empty without a budget
    std::wstring budgetLeft{};  // "-2.50" once passed
    bool overBudget = false;  // the line is shown red
};
// Decimal numbers in `marks`.
std::vector<ReportTableRow> projectTableRows(const ReportSums& sums, const NumberMarks& marks = {});

// Whether the table shows billed hours, rate and amount: a project of the range has a rate, or
// time is rounded. Whether it shows budgets: a project of the range has one.
bool showsBilling(const ReportSums& sums);
bool showsBudgets(const ReportSums& sums);
// What the table's billed figures mean, as said under it: "Billed: each day's time on a project
// rounded up to 15 minutes, ..."; empty when the table shows none.
std::wstring billingRuleText(const ReportSums& sums);

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
