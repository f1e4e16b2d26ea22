#pragma once

#include "history/history_chart.h"

// The tables under the window's chart, as boxes and texts: each project of the range with its
// time, decimal hours and share ("No project" last), each of its programs under it, and the
// total's line; with rates or rounding, billed hours, rate and amount; with budgets, the budget's
// hours used and left, a passed one's line red; while sharing, a second table of the PCs. The figures come from
// projectTableRows and pcTableRows, as in the report. The number columns are as wide as their
// widest text and stand on the right; the names take the rest and are cut with "..." when
// narrower, so the tables read at every width the window allows.

// Lays the tables into the width from `left` to `right`, starting at `top`; returns the y below
// the last one. `shared` adds the PCs' table.
int layoutReportTables(ChartBody& body, const ReportSums& sums, bool shared, int left, int top, int right,
                       const TextWidth& measure, const Scaled& px, const NumberMarks& marks = {});
