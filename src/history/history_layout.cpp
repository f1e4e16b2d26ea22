#include "history/history_layout.h"

#include <algorithm>
#include <limits>
#include <tuple>
#include <utility>

#include "common/time_text.h"
#include "history/history_table.h"
#include "history/packed_history.h"
#include "history/work_history.h"

namespace {

const wchar_t* const months[] = {L"Jan", L"Feb", L"Mar", L"Apr", L"May", L"Jun",
                                 L"Jul", L"Aug", L"Sep", L"Oct", L"Nov", L"Dec"};

// Below this the bars are too short to compare; the window scrolls instead.
constexpr double minimumPlot = 120;
constexpr double footerButtonWidth = 168;
constexpr double maximumTable = 720;

std::wstring clockText(std::int64_t seconds) {
    return timeText(
        static_cast<std::int32_t>(std::min<std::int64_t>(seconds, std::numeric_limits<std::int32_t>::max())));
}

std::wstring dayAndMonth(DayNumber day) {
    const CivilDate date = civilDate(day);
    return std::to_wstring(date.day) + L" " + months[date.month - 1];
}

// "24 Nov – 7 Dec 2026", with both years when they differ.
std::wstring span(DayNumber first, DayNumber last) {
    const int firstYear = civilDate(first).year, lastYear = civilDate(last).year;
    std::wstring from = dayAndMonth(first);
    if (firstYear != lastYear) from += L" " + std::to_wstring(firstYear);
    return from + L" \u2013 " + dayAndMonth(last) + L" " + std::to_wstring(lastYear);
}

// What the scrolling part shows, whatever its place.
struct BodyFacts {
    std::int64_t today = 0;
    std::int64_t week = 0;
};

// Lays the scrolling part out from `top` down, with the plot `plotHeight` high; returns the y
// below it.
int layoutBody(ChartBody& body, const ReportSums& sums, const BodyFacts& facts, const ChartInput& input,
               DayNumber today, int left, int top, int right, int plotHeight, const TextWidth& measure,
               const Scaled& px) {
    const ChartMetrics m;
    // The three totals across the top, each a small caption over a large figure.
    const struct {
        const wchar_t* caption;
        std::int64_t seconds;
    } totals[] = {{L"Today", facts.today}, {L"This week", facts.week}, {reportRangeTitle(input.range), sums.total}};
    const int width = std::max(0, right - left);
    for (int i = 0; i < 3; ++i) {
        const int columnLeft = left + width * i / 3, columnRight = left + width * (i + 1) / 3;
        body.texts.push_back({totals[i].caption, {columnLeft, top, columnRight, top + px(m.line)}});
        body.texts.push_back({clockText(totals[i].seconds),
                              {columnLeft, top + px(m.line), columnRight, top + px(m.line) + px(m.largeLine)},
                              ChartText::Align::left, ChartText::Size::large, i == 0});
    }
    const int spanTop = top + px(m.line) + px(m.largeLine) + px(m.gap);
    body.texts.push_back({span(sums.range.first, sums.range.last), {left, spanTop, right, spanTop + px(m.line)}});
    const int plotTop = spanTop + px(m.line) + px(m.gap);
    const int legendBottom = layoutBarChart(body, sums, today, left, plotTop, right, plotHeight, measure, px);
    // In a wide window the figures stay near their names.
    const int tableRight = std::min(right, left + px(maximumTable));
    return layoutReportTables(body, sums, input.shared, left, legendBottom + px(m.gap), tableRight, measure, px,
                              input.marks) +
           px(4);
}

// Shifts what was laid out at scroll 0 up by `by` pixels.
void shiftUp(ChartBody& body, int by) {
    const auto shift = [by](ChartBox& box) {
        box.top -= by;
        box.bottom -= by;
    };
    shift(body.plot);
    for (int& y : body.gridLines) y -= by;
    for (ChartBar& bar : body.bars) {
        shift(bar.box);
        for (ChartSegment& segment : bar.segments) shift(segment.box);
    }
    for (ChartText& text : body.texts) shift(text.box);
    for (ChartSegment& swatch : body.swatches) shift(swatch.box);
    for (ChartBox& rule : body.rules) shift(rule);
    for (ChartBox& band : body.bands) shift(band);
}

}  // namespace

ChartFonts historyFonts(double scale) {
    const ChartMetrics m;
    const Scaled px(scale);
    return {px(m.smallFont), px(m.largeFont)};
}

ChartSize historyDefaultSize(double scale) {
    const Scaled px(scale);
    return {px(640), px(620)};
}

ChartSize historyMinimumSize(double scale) {
    const Scaled px(scale);
    return {px(420), px(320)};
}

int historyWheelStep(double scale) { return 3 * Scaled(scale)(ChartMetrics().row); }

HistoryChart layoutHistoryChart(const std::vector<HistoryRow>& rows, DayNumber today, int width, int height,
                                double scale) {
    ChartInput input;
    input.pcs.push_back({L"", &rows});
    return layoutHistoryChart(input, today, width, height, scale);
}

HistoryChart layoutHistoryChart(const ChartInput& input, DayNumber today, int width, int height, double scale) {
    const ChartMetrics m;
    const Scaled px(scale);
    const TextWidth measure = textWidthOr(input.textWidth, px);
    HistoryChart chart;
    const int margin = px(m.margin), gap = px(m.gap), line = px(m.line), button = px(m.button);

    // The range's choice and the report's button along the top, each as wide as its words.
    int widestRange = 0;
    for (ReportRangeKind kind : reportRangeKinds) widestRange = std::max(widestRange, measure(reportRangeName(kind)));
    chart.rangeChoice = {margin, margin, margin + std::max(px(130), widestRange + px(40)), margin + button};
    const int saveWidth = std::max(px(120), measure(L"Save report...") + px(32));
    chart.saveButton = {std::max(chart.rangeChoice.right + gap, width - margin - saveWidth), margin, width - margin,
                        margin + button};
    // The export and the rates beside the report's button, as wide as their words; at the
    // narrowest window they shrink to nothing rather than cover the range's choice.
    const int exportWidth = std::max(px(100), measure(L"Export CSV...") + px(32));
    chart.exportButton = {std::max(chart.rangeChoice.right + gap, chart.saveButton.left - gap - exportWidth), margin,
                          std::max(chart.rangeChoice.right + gap, chart.saveButton.left - gap), margin + button};
    const int ratesWidth = std::max(px(120), measure(L"Rates and budgets...") + px(32));
    chart.ratesButton = {std::max(chart.rangeChoice.right + gap, chart.exportButton.left - gap - ratesWidth), margin,
                         std::max(chart.rangeChoice.right + gap, chart.exportButton.left - gap), margin + button};

    // The buttons in the bottom right corner, sharing left of the spreadsheet, and the notes
    // above them.
    chart.button = {width - margin - px(footerButtonWidth), height - margin - button, width - margin, height - margin};
    chart.shareButton = {chart.button.left - gap - px(footerButtonWidth), chart.button.top, chart.button.left - gap,
                         chart.button.bottom};
    const int notesTop = chart.button.top - gap - line * static_cast<int>(input.notes.size());
    for (std::size_t i = 0; i < input.notes.size(); ++i) {
        const int top = notesTop + line * static_cast<int>(i);
        ChartText note{input.notes[i], {margin, top, width - margin, top + line}};
        note.ellipsis = true;
        chart.notes.push_back(std::move(note));
    }
    chart.body = {0, chart.rangeChoice.bottom + gap / 2, width, std::max(chart.rangeChoice.bottom + gap / 2,
                                                                         notesTop - gap / 2)};

    chart.range = reportRange(input.range, today, workedDays(input.pcs), input.rangeMarks);
    // The window keeps the range's sums between paints; they are made here only when it has none
    // for this range.
    const std::shared_ptr<const ReportSums> kept =
        input.sums && input.sums->range == chart.range
            ? input.sums
            : std::make_shared<const ReportSums>(sumReport(input.pcs, chart.range, input.rates));
    const ReportSums& sums = *kept;
    BodyFacts facts;
    const DayNumber monday = today - weekdayIndex(today);
    for (const ChartPc& pc : input.pcs) {
        forEachRow(pc, [&](DayNumber day, const std::wstring&, std::int64_t seconds, const std::wstring&) {
            if (day == today) facts.today += seconds;
            if (day >= monday && day <= monday + 6) facts.week += seconds;
        });
    }

    // Laid out once with the smallest plot to learn what else the part holds, then with the
    // plot taking whatever height is left, then scrolled.
    const int bodyTop = chart.body.top + gap / 2, bodyHeight = chart.body.bottom - chart.body.top;
    const auto layout = [&](int plotHeight) {
        ChartBody body;
        const int bottom = layoutBody(body, sums, facts, input, today, margin, bodyTop, width - margin, plotHeight,
                                      measure, px);
        return std::make_pair(std::move(body), bottom - chart.body.top);
    };
    auto [body, content] = layout(px(minimumPlot));
    if (content < bodyHeight) std::tie(body, content) = layout(px(minimumPlot) + bodyHeight - content);
    static_cast<ChartBody&>(chart) = std::move(body);
    chart.contentHeight = content;
    chart.scroll = std::clamp(input.scroll, 0, std::max(0, content - bodyHeight));
    shiftUp(chart, chart.scroll);
    return chart;
}
