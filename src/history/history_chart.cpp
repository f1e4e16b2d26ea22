#include "history/history_chart.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "common/time_text.h"
#include "history/work_history.h"

namespace {

// Steps an hour axis can take: whole minutes below an hour, whole hours above.
constexpr std::int64_t axisSteps[] = {300, 600, 900, 1800, 3600, 7200, 10800, 14400, 21600, 28800, 43200, 86400};
constexpr int mostSteps = 5;

const wchar_t* const weekdays[] = {L"Mon", L"Tue", L"Wed", L"Thu", L"Fri", L"Sat", L"Sun"};
const wchar_t* const months[] = {L"Jan", L"Feb", L"Mar", L"Apr", L"May", L"Jun",
                                 L"Jul", L"Aug", L"Sep", L"Oct", L"Nov", L"Dec"};

// Pixel sizes at scale 1.
struct Metrics {
    double margin = 16, smallFont = 12, largeFont = 22, line = 16, largeLine = 30, gap = 12;
    double axisLabels = 52, dayLabels = 32, button = 28, buttonWidth = 168, gridSpacing = 20;
    double labelWidth = 30;  // "Mon" with room on both sides
};

class Scaled {
public:
    explicit Scaled(double scale) : scale_(scale > 0 ? scale : 1.0) {}
    int operator()(double pixels) const { return static_cast<int>(std::lround(pixels * scale_)); }
    double factor() const { return scale_; }

private:
    double scale_;
};

std::wstring clockText(std::int64_t seconds) {
    return timeText(
        static_cast<std::int32_t>(std::min<std::int64_t>(seconds, std::numeric_limits<std::int32_t>::max())));
}

std::wstring axisLabel(std::int64_t seconds) {
    if (seconds == 0) return L"0";
    if (seconds < 3600) return std::to_wstring(seconds / 60) + L" min";
    std::wstring label = std::to_wstring(seconds / 3600) + L" h";
    if (seconds % 3600) label += L" " + std::to_wstring(seconds % 3600 / 60);
    return label;
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

// The smallest step that shows the highest bar in at most mostSteps steps whose grid lines
// stay apart (a single step always fits); a chart without work shows the first hour.
void chooseAxis(HistoryChart& chart, std::int64_t highest, int plotHeight, int minimumSpacing) {
    const std::int64_t shown = highest > 0 ? highest : 3600;
    for (std::int64_t step : axisSteps) {
        const std::int64_t steps = (shown + step - 1) / step;
        if (steps > mostSteps || (steps > 1 && plotHeight < steps * minimumSpacing)) continue;
        chart.axisStep = step;
        chart.axisTop = steps * step;
        return;
    }
    // More than five days in one day: only a hand-edited history holds that. Whole days.
    chart.axisStep = (shown + mostSteps * 86400 - 1) / (mostSteps * 86400) * 86400;
    chart.axisTop = (shown + chart.axisStep - 1) / chart.axisStep * chart.axisStep;
}

// A line per PC in `area`: its colour, its name and its week, the weeks in one column right
// of the longest name. Names give way first when the window is narrow.
void layoutLegend(HistoryChart& chart, const ChartInput& input, DayNumber today, const ChartBox& area,
                  const Scaled& px) {
    const Metrics m;
    const int line = px(m.line);
    // Without the window's own measure: an average character of the small font.
    const TextWidth measure = input.textWidth ? input.textWidth : [&](const std::wstring& text) {
        return static_cast<int>(std::lround(static_cast<double>(text.size()) * m.smallFont * 0.6 * px.factor()));
    };
    const int swatch = px(10), afterSwatch = px(6), betweenColumns = px(16);
    std::vector<std::wstring> weeks;
    int nameWidth = 0, weekWidth = 0;
    for (const ChartPc& pc : input.pcs) {
        static const std::vector<HistoryRow> none;
        weeks.push_back(clockText(secondsInWeekOf(pc.rows ? *pc.rows : none, today)) + L" this week");
        nameWidth = std::max(nameWidth, measure(pc.name));
        weekWidth = std::max(weekWidth, measure(weeks.back()));
    }
    const int nameLeft = area.left + swatch + afterSwatch;
    const int room = std::max(0, area.right - nameLeft - betweenColumns - weekWidth);
    nameWidth = std::min(nameWidth, room);
    const int weekLeft = nameLeft + nameWidth + betweenColumns;
    for (std::size_t i = 0; i < input.pcs.size(); ++i) {
        const int top = area.top + line * static_cast<int>(i);
        const int swatchTop = top + (line - swatch) / 2;
        chart.swatches.push_back({{area.left, swatchTop, area.left + swatch, swatchTop + swatch}, static_cast<int>(i)});
        ChartText name{input.pcs[i].name, {nameLeft, top, nameLeft + nameWidth, top + line}};
        name.ellipsis = true;
        chart.texts.push_back(std::move(name));
        ChartText weekText{weeks[i], {weekLeft, top, std::min(area.right, weekLeft + weekWidth), top + line}};
        weekText.ellipsis = true;
        chart.texts.push_back(std::move(weekText));
    }
}

}  // namespace

ChartFonts historyFonts(double scale) {
    const Metrics m;
    const Scaled px(scale);
    return {px(m.smallFont), px(m.largeFont)};
}

ChartSize historyDefaultSize(double scale) {
    const Scaled px(scale);
    return {px(600), px(420)};
}

ChartSize historyMinimumSize(double scale) {
    const Scaled px(scale);
    return {px(420), px(320)};
}

HistoryChart layoutHistoryChart(const std::vector<HistoryRow>& rows, DayNumber today, int width, int height,
                                double scale) {
    ChartInput input;
    input.pcs.push_back({L"", &rows});
    return layoutHistoryChart(input, today, width, height, scale);
}

HistoryChart layoutHistoryChart(const ChartInput& input, DayNumber today, int width, int height, double scale) {
    const Metrics m;
    const Scaled px(scale);
    HistoryChart chart;
    chart.stacked = input.shared;
    const int margin = px(m.margin);
    const DayNumber first = today - chartDays + 1;

    // Each PC's days, and all PCs' together.
    std::vector<std::vector<std::int64_t>> pcDays;
    std::vector<std::int64_t> days(chartDays, 0);
    std::int64_t week = 0;
    for (const ChartPc& pc : input.pcs) {
        static const std::vector<HistoryRow> none;
        const std::vector<HistoryRow>& rows = pc.rows ? *pc.rows : none;
        pcDays.push_back(dailyTotals(rows, today, chartDays));
        for (int i = 0; i < chartDays; ++i) days[i] += pcDays.back()[i];
        week += secondsInWeekOf(rows, today);
    }

    // The three totals across the top, each a small caption over a large figure.
    std::int64_t fortnight = 0;
    for (std::int64_t seconds : days) fortnight += seconds;
    const struct {
        const wchar_t* caption;
        std::int64_t seconds;
    } totals[] = {{L"Today", days.back()}, {L"This week", week}, {L"Last 14 days", fortnight}};
    const int column = std::max(0, width - 2 * margin) / 3;
    for (int i = 0; i < 3; ++i) {
        const int left = margin + i * column;
        chart.texts.push_back({totals[i].caption, {left, margin, left + column, margin + px(m.line)}});
        chart.texts.push_back({clockText(totals[i].seconds),
                               {left, margin + px(m.line), left + column, margin + px(m.line) + px(m.largeLine)},
                               ChartText::Align::left, ChartText::Size::large, i == 0});
    }
    const int captionTop = margin + px(m.line) + px(m.largeLine) + px(m.gap);
    chart.texts.push_back({span(first, today), {margin, captionTop, width - margin, captionTop + px(m.line)}});

    // The buttons in the bottom right corner, sharing left of the spreadsheet.
    chart.button = {width - margin - px(m.buttonWidth), height - margin - px(m.button), width - margin,
                    height - margin};
    chart.shareButton = {chart.button.left - px(m.gap) - px(m.buttonWidth), chart.button.top,
                         chart.button.left - px(m.gap), chart.button.bottom};

    // Above the buttons, from the bottom up: the notes, then the legend with a line per PC.
    const int line = px(m.line);
    const int notesTop = chart.button.top - px(m.gap) - line * static_cast<int>(input.notes.size());
    const int legendLines = input.shared ? static_cast<int>(input.pcs.size()) : 0;
    const int legendTop = notesTop - line * legendLines;
    const int labelsBottom = legendLines + static_cast<int>(input.notes.size()) > 0 ? legendTop - px(m.gap)
                                                                                     : chart.button.top - px(m.gap);
    for (std::size_t i = 0; i < input.notes.size(); ++i) {
        const int top = notesTop + line * static_cast<int>(i);
        ChartText note{input.notes[i], {margin, top, width - margin, top + line}};
        note.ellipsis = true;
        chart.texts.push_back(std::move(note));
    }
    if (legendLines > 0) layoutLegend(chart, input, today, {margin, legendTop, width - margin, notesTop}, px);

    chart.plot = {margin + px(m.axisLabels), captionTop + px(m.line) + px(m.gap), width - margin,
                  labelsBottom - px(m.dayLabels)};
    chart.plot.bottom = std::max(chart.plot.bottom, chart.plot.top);
    const int plotHeight = chart.plot.bottom - chart.plot.top;
    chooseAxis(chart, *std::max_element(days.begin(), days.end()), plotHeight, px(m.gridSpacing));

    for (std::int64_t value = 0; value <= chart.axisTop; value += chart.axisStep) {
        const int y = chart.plot.bottom - static_cast<int>(value * plotHeight / chart.axisTop);
        chart.gridLines.push_back(y);
        chart.texts.push_back({axisLabel(value),
                               {margin, y - px(m.line) / 2, chart.plot.left - px(6), y + px(m.line) / 2},
                               ChartText::Align::right});
    }

    // One slot a day; labels thin out to every second or every seventh day, counted back from
    // today's, when a slot is too narrow for one.
    const double slot = static_cast<double>(chart.plot.right - chart.plot.left) / chartDays;
    const int labelEvery = slot >= px(m.labelWidth) ? 1 : slot * 2 >= px(m.labelWidth) ? 2 : 7;
    for (int i = 0; i < chartDays; ++i) {
        const int slotLeft = chart.plot.left + static_cast<int>(std::lround(slot * i));
        const int slotRight = chart.plot.left + static_cast<int>(std::lround(slot * (i + 1)));
        const int inset = static_cast<int>(std::lround(slot * 0.2));
        const bool isToday = i == chartDays - 1;
        ChartBar bar{{slotLeft + inset, chart.plot.bottom, slotRight - inset, chart.plot.bottom}, isToday, {}};
        // Each PC's part stands on the one below; a PC that worked that day never looks empty.
        std::int64_t below = 0;
        for (std::size_t pc = 0; pc < pcDays.size(); ++pc) {
            const std::int64_t seconds = pcDays[pc][i];
            if (seconds <= 0) continue;
            below += seconds;
            const int top = std::min(chart.plot.bottom - static_cast<int>(below * plotHeight / chart.axisTop),
                                     bar.box.top - 1);
            bar.segments.push_back({{bar.box.left, top, bar.box.right, bar.box.top}, static_cast<int>(pc)});
            bar.box.top = top;
        }
        chart.bars.push_back(std::move(bar));
        if ((chartDays - 1 - i) % labelEvery != 0) continue;
        const DayNumber day = first + i;
        const double middle = chart.plot.left + slot * (i + 0.5);
        const double half = std::max<double>(px(m.labelWidth), slot) / 2;
        chart.texts.push_back({std::wstring(weekdays[weekdayIndex(day)]) + L"\n" + std::to_wstring(civilDate(day).day),
                               {static_cast<int>(std::lround(middle - half)), chart.plot.bottom + px(4),
                                static_cast<int>(std::lround(middle + half)), chart.plot.bottom + px(m.dayLabels)},
                               ChartText::Align::center, ChartText::Size::small, isToday});
    }
    return chart;
}
