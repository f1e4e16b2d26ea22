#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/calendar.h"
#include "history/history_file.h"

// What the work-history window shows and where, in client pixels: a bar chart of the last 14
// days with an hour axis, today's, this week's and the 14 days' totals, and the places of the
// "Share with other PCs..." and "Open in spreadsheet" buttons. With histories shared between
// PCs, the totals are all PCs' together, each day's bar is stacked by PC (this PC at the
// bottom), and a legend gives each PC's colour, name and week. The window draws exactly this.
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
    bool strong = false;    // bold, and in the colour of today's bar
    bool ellipsis = false;  // cut with "..." where the box is too narrow for it
};

// A PC's part of a day's bar, or its colour in the legend.
struct ChartSegment {
    ChartBox box;
    int pc = 0;  // index into ChartInput::pcs, 0 being this PC
};

struct ChartBar {
    ChartBox box;  // empty (top == bottom) for a day without work
    bool today = false;
    std::vector<ChartSegment> segments;  // stacked: bottom first, none on a day without work
};

struct HistoryChart {
    ChartBox plot;                  // the bars stand on its bottom edge
    std::int64_t axisStep = 0;      // seconds between two grid lines
    std::int64_t axisTop = 0;       // seconds at the plot's top edge
    std::vector<int> gridLines;     // y of 0, one step, two steps ... up to axisTop
    std::vector<ChartBar> bars;     // chartDays of them, oldest first, today last
    std::vector<ChartText> texts;   // totals, the dates shown, axis labels, legend, notes, day labels
    std::vector<ChartSegment> swatches;  // the legend's colours
    bool stacked = false;           // bars in the colours of their PCs rather than today's
    ChartBox shareButton;           // "Share with other PCs..." or "Stop sharing"
    ChartBox button;                // "Open in spreadsheet"
};

// One PC's history for the chart.
struct ChartPc {
    std::wstring name;  // as the legend shows it
    const std::vector<HistoryRow>* rows = nullptr;
};

// The width in pixels of a line of small text as the window draws it.
using TextWidth = std::function<int(const std::wstring& text)>;

struct ChartInput {
    std::vector<ChartPc> pcs;  // this PC first; one without sharing
    bool shared = false;       // stack the bars by PC and show the legend
    std::vector<std::wstring> notes;  // lines about sharing, one each, above the buttons
    TextWidth textWidth;       // when empty, an estimate from the font size
};

struct ChartSize {
    int width = 0;
    int height = 0;
};

// The chart for a client area of width x height, today being `today`.
HistoryChart layoutHistoryChart(const ChartInput& input, DayNumber today, int width, int height, double scale);
// This PC's history alone, not shared.
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
