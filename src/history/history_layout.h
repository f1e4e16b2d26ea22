#pragma once

#include <memory>
#include <string>
#include <vector>

#include "history/history_chart.h"
#include "history/report_range.h"

// The whole work-history window in client pixels. At the top, the choice of range on the left
// and "Save report..." on the right; at the bottom, the lines about sharing and the
// "Share with other PCs..." (or "Stop sharing") and "Open in spreadsheet" buttons. Between
// them, the part that scrolls when the window is too short for it: today's, this week's and
// the range's totals, the range's dates, its bar chart split by project with the legend, and
// the project and program table (with the PCs' table while sharing). The chart takes the
// height left over, and never less than a readable minimum.

struct ChartInput {
    std::vector<ChartPc> pcs;  // this PC first; one without sharing
    bool shared = false;       // every PC counts, and the PCs' table shows what each one did
    std::vector<std::wstring> notes;  // lines about sharing, one each, above the buttons
    TextWidth textWidth;       // when empty, an estimate from the font size
    ReportRangeKind range = ReportRangeKind::last14Days;
    RangeMarks rangeMarks;         // the days of Custom..., where Since the last report starts
    int scroll = 0;            // how far the scrolling part is scrolled down, pixels
    RateSettings rates;        // what the range's time is billed at
    NumberMarks marks;         // the user's decimal mark and grouping
    // The range's sums as the window keeps them; made anew from `pcs` when null or of another range.
    std::shared_ptr<const ReportSums> sums;
};

struct HistoryChart : ChartBody {
    ReportRange range;
    ChartBox body;           // where the scrolling part shows; everything of ChartBody is clipped to it
    int contentHeight = 0;   // of the scrolling part, whole
    int scroll = 0;          // as laid out: from 0 to contentHeight less the body's height
    std::vector<ChartText> notes;  // above the buttons, not scrolled
    ChartBox rangeChoice;    // the range's drop-down list, as high as a button
    ChartBox saveButton;     // "Save report..."
    ChartBox exportButton;   // "Export CSV...", left of it
    ChartBox ratesButton;    // "Rates and budgets...", left of that
    ChartBox shareButton;    // "Share with other PCs..." or "Stop sharing"
    ChartBox button;         // "Open in spreadsheet"
};

// The window for a client area of width x height, today being `today`.
HistoryChart layoutHistoryChart(const ChartInput& input, DayNumber today, int width, int height, double scale);
// This PC's history alone, not shared, over the last 14 days.
HistoryChart layoutHistoryChart(const std::vector<HistoryRow>& rows, DayNumber today, int width, int height,
                                double scale);

// Character heights of the two text sizes, pixels.
struct ChartFonts {
    int small = 0;
    int large = 0;
};
ChartFonts historyFonts(double scale);

struct ChartSize {
    int width = 0;
    int height = 0;
};
// Client sizes: the window opens at the default and cannot be made smaller than the minimum.
ChartSize historyDefaultSize(double scale);
ChartSize historyMinimumSize(double scale);
// How far one turn of the mouse wheel (a notch) scrolls: three lines of the tables.
int historyWheelStep(double scale);
