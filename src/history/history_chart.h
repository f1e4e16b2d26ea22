#pragma once

#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/calendar.h"
#include "history/report_sums.h"

// What the work-history window draws and where, in client pixels: a list of boxes, texts and
// coloured parts that the window only paints. history_layout.h puts the whole window together;
// this file holds the pieces and the bar chart of a range: an hour axis, a bar a day (a month
// for All time), each stacked by project in the colours of projectColour, and the legend of
// those colours. Every size comes from the scale (1.0 at 96 DPI).

struct ChartBox {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

struct ChartText {
    enum class Align { left, center, right };
    enum class Size { small, large };
    enum class Tone { label, text, warning };  // grey as axis labels and captions, the window's text colour, or red
    std::wstring text;  // may hold a line break
    ChartBox box;
    Align align = Align::left;
    Size size = Size::small;
    bool strong = false;    // bold, and in the colour of today
    bool ellipsis = false;  // cut with "..." where the box is too narrow for it
    bool bold = false;      // bold in its tone's colour
    Tone tone = Tone::label;
};

// A project's part of a bar, or its colour in the legend and the table.
struct ChartSegment {
    ChartBox box;
    ReportColour colour;
    int project = 0;  // place in ReportSums::projects
};

struct ChartBar {
    ChartBox box;  // empty (top == bottom) for a period without work
    bool today = false;  // the bar holds today
    std::vector<ChartSegment> segments;  // stacked: the project with most time at the bottom
};

// The width in pixels of a line of small text as the window draws it.
using TextWidth = std::function<int(const std::wstring& text)>;

// Lengths given at 96 DPI, in whole pixels at the window's scale.
class Scaled {
public:
    explicit Scaled(double scale) : scale_(scale > 0 ? scale : 1.0) {}
    int operator()(double pixels) const { return static_cast<int>(std::lround(pixels * scale_)); }
    double factor() const { return scale_; }

private:
    double scale_;
};

// Pixel sizes at scale 1, shared by the pieces of the window.
struct ChartMetrics {
    double margin = 16, smallFont = 12, largeFont = 22, line = 16, largeLine = 30, gap = 12;
    double axisLabels = 52, barLabels = 32, button = 28, gridSpacing = 20, row = 20;
    double swatch = 10, afterSwatch = 6, legendGap = 16;
};

// `measure`, or without one an estimate from the small font's size.
TextWidth textWidthOr(const TextWidth& measure, const Scaled& px);

// The parts of the window that scroll, in client pixels as they are drawn now.
struct ChartBody {
    ChartBox plot;                  // the bars stand on its bottom edge
    std::int64_t axisStep = 0;      // seconds between two grid lines
    std::int64_t axisTop = 0;       // seconds at the plot's top edge
    std::vector<int> gridLines;     // y of 0, one step, two steps ... up to axisTop
    std::vector<ChartBar> bars;     // a bar per period of the range, oldest first
    std::vector<ChartText> texts;   // totals, dates, axis and bar labels, legend, tables
    std::vector<ChartSegment> swatches;  // the legend's and the table's colours
    std::vector<ChartBox> rules;    // the tables' lines
    std::vector<ChartBox> bands;    // shaded lines of the tables (each project's)
};

// Lays the bar chart of `sums` into the width from `left` to `right`, its plot `plotHeight`
// pixels high and starting at `top`, with the bars' labels under it and the legend under
// those; returns the y below the legend. `today` marks its bar and label.
int layoutBarChart(ChartBody& body, const ReportSums& sums, DayNumber today, int left, int top, int right,
                   int plotHeight, const TextWidth& measure, const Scaled& px);
