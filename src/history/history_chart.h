#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/calendar.h"
#include "history/history_file.h"

// What the work-history window shows and where, in client pixels: a bar chart of the last 14
// days with an hour axis, today's, this week's and the 14 days' totals, and the place of the
// "Open in spreadsheet" button. The window draws exactly this.
// Every size comes from `scale` (1.0 at 96 DPI), so another DPI only needs another scale.

constexpr int chartDays = 14;

struct ChartBox {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

struct ChartText {
    enum class Align { left, center, right };
    enum class Size { small, large };
    std::wstring text;  // may hold a line break
    ChartBox box;
    Align align = Align::left;
    Size size = Size::small;
    bool strong = false;  // bold, and in the colour of today's bar
};

struct ChartBar {
    ChartBox box;  // empty (top == bottom) for a day without work
    bool today = false;
};

struct HistoryChart {
    ChartBox plot;                  // the bars stand on its bottom edge
    std::int64_t axisStep = 0;      // seconds between two grid lines
    std::int64_t axisTop = 0;       // seconds at the plot's top edge
    std::vector<int> gridLines;     // y of 0, one step, two steps ... up to axisTop
    std::vector<ChartBar> bars;     // chartDays of them, oldest first, today last
    std::vector<ChartText> texts;   // totals, the dates shown, axis and day labels
    ChartBox button;
};

struct ChartSize {
    int width = 0;
    int height = 0;
};

// The chart for a client area of width x height, today being `today`.
HistoryChart layoutHistoryChart(const std::vector<HistoryRow>& rows, DayNumber today, int width, int height,
                                double scale);

// Character heights of the two text sizes, pixels.
struct ChartFonts {
    int small = 0;
    int large = 0;
};
ChartFonts historyFonts(double scale);

// Client sizes: the window opens at the default and cannot be made smaller than the minimum.
ChartSize historyDefaultSize(double scale);
ChartSize historyMinimumSize(double scale);
