#include "history/history_chart.h"

#include <algorithm>

namespace {

// Steps an hour axis can take: whole minutes below an hour, whole hours above, and round
// numbers of hours for the months of All time.
constexpr std::int64_t axisSteps[] = {300,   600,   900,   1800,  3600,   7200,   10800,  14400,
                                      21600, 28800, 43200, 86400, 180000, 360000, 720000, 1800000};
constexpr int mostSteps = 5;

// How many bars apart labels stand when not every bar has room for one: days by weeks, months
// by quarters and years.
constexpr int dayLabelSteps[] = {1, 2, 7, 14, 28};
constexpr int monthLabelSteps[] = {1, 2, 3, 6, 12, 24, 60, 120};

std::wstring axisLabel(std::int64_t seconds) {
    if (seconds == 0) return L"0";
    if (seconds < 3600) return std::to_wstring(seconds / 60) + L" min";
    std::wstring label = std::to_wstring(seconds / 3600) + L" h";
    if (seconds % 3600) label += L" " + std::to_wstring(seconds % 3600 / 60);
    return label;
}

// The smallest step that shows the highest bar in at most mostSteps steps whose grid lines
// stay apart (a single step always fits); a chart without work shows the first hour.
void chooseAxis(ChartBody& body, std::int64_t highest, int plotHeight, int minimumSpacing) {
    const std::int64_t shown = highest > 0 ? highest : 3600;
    for (std::int64_t step : axisSteps) {
        const std::int64_t steps = (shown + step - 1) / step;
        if (steps > mostSteps || (steps > 1 && plotHeight < steps * minimumSpacing)) continue;
        body.axisStep = step;
        body.axisTop = steps * step;
        return;
    }
    // Beyond 2,500 hours in one bar: only a hand-edited history holds that. Whole thousands.
    body.axisStep = (shown + mostSteps * 3600000 - 1) / (mostSteps * 3600000) * 3600000;
    body.axisTop = (shown + body.axisStep - 1) / body.axisStep * body.axisStep;
}

// Each bar's two label lines ("Mon" over "7", "Nov" over "2026") as wide as the widest of them.
int labelWidth(const ReportSums& sums, const TextWidth& measure) {
    int widest = 0;
    for (const PeriodSum& bar : sums.bars) {
        const std::wstring& label = bar.period.label;
        const std::size_t lineBreak = label.find(L'\n');
        widest = std::max(widest, measure(label.substr(0, lineBreak)));
        if (lineBreak != std::wstring::npos) widest = std::max(widest, measure(label.substr(lineBreak + 1)));
    }
    return widest;
}

// A swatch and a name for each project, side by side and on as many lines as they need; a name
// too long for a whole line is cut. Returns the y below the last line.
int layoutLegend(ChartBody& body, const ReportSums& sums, int left, int top, int right, const TextWidth& measure,
                 const Scaled& px) {
    const ChartMetrics m;
    const int line = px(m.line), swatch = px(m.swatch), afterSwatch = px(m.afterSwatch), between = px(m.legendGap);
    int x = left, y = top;
    for (std::size_t i = 0; i < sums.projects.size(); ++i) {
        const ProjectSum& project = sums.projects[i];
        const std::wstring name = projectTitle(project.project);
        const int nameWidth = std::min(measure(name), std::max(0, right - left - swatch - afterSwatch));
        const int width = swatch + afterSwatch + nameWidth;
        if (x > left && x + width > right) {
            x = left;
            y += line;
        }
        const int swatchTop = y + (line - swatch) / 2;
        const ReportColour colour = projectColour(i, project.project.empty());
        body.swatches.push_back({{x, swatchTop, x + swatch, swatchTop + swatch}, colour, static_cast<int>(i)});
        ChartText text{name, {x + swatch + afterSwatch, y, x + width, y + line}};
        text.ellipsis = true;
        text.tone = ChartText::Tone::text;
        body.texts.push_back(std::move(text));
        x += width + between;
    }
    return sums.projects.empty() ? top : y + line;
}

}  // namespace

TextWidth textWidthOr(const TextWidth& measure, const Scaled& px) {
    if (measure) return measure;
    // An average character of the small font.
    return [factor = px.factor()](const std::wstring& text) {
        return static_cast<int>(std::lround(static_cast<double>(text.size()) * ChartMetrics().smallFont * 0.6 * factor));
    };
}

int layoutBarChart(ChartBody& body, const ReportSums& sums, DayNumber today, int left, int top, int right,
                   int plotHeight, const TextWidth& measure, const Scaled& px) {
    const ChartMetrics m;
    body.plot = {left + px(m.axisLabels), top, std::max(right, left + px(m.axisLabels)), top + std::max(plotHeight, 0)};
    const ChartBox& plot = body.plot;
    plotHeight = plot.bottom - plot.top;
    std::int64_t highest = 0;
    for (const PeriodSum& bar : sums.bars) highest = std::max(highest, bar.seconds);
    chooseAxis(body, highest, plotHeight, px(m.gridSpacing));

    for (std::int64_t value = 0; value <= body.axisTop; value += body.axisStep) {
        const int y = plot.bottom - static_cast<int>(value * plotHeight / body.axisTop);
        body.gridLines.push_back(y);
        body.texts.push_back({axisLabel(value), {left, y - px(m.line) / 2, plot.left - px(6), y + px(m.line) / 2},
                              ChartText::Align::right});
    }

    // One slot a bar; where a slot is too narrow for its label, labels stand every so many
    // bars, counted from today's bar (or the last one) so that today's is always labelled.
    const int count = static_cast<int>(sums.bars.size());
    const double slot = static_cast<double>(plot.right - plot.left) / std::max(count, 1);
    const int needed = labelWidth(sums, measure) + px(6);
    const bool daily = reportBarUnit(sums.range) == ReportBarUnit::day;
    int labelEvery = daily ? 28 : 120;
    for (int step : daily ? std::vector<int>(std::begin(dayLabelSteps), std::end(dayLabelSteps))
                          : std::vector<int>(std::begin(monthLabelSteps), std::end(monthLabelSteps))) {
        if (slot * step >= needed) {
            labelEvery = step;
            break;
        }
    }
    int anchor = count - 1;
    for (int i = 0; i < count; ++i)
        if (sums.bars[i].period.first <= today && today <= sums.bars[i].period.last) anchor = i;

    for (int i = 0; i < count; ++i) {
        const PeriodSum& period = sums.bars[i];
        const int slotLeft = plot.left + static_cast<int>(std::lround(slot * i));
        const int slotRight = plot.left + static_cast<int>(std::lround(slot * (i + 1)));
        const int inset = std::max(slotRight - slotLeft > 2 ? 1 : 0, static_cast<int>(std::lround(slot * 0.2)));
        const bool isToday = i == anchor && period.period.first <= today && today <= period.period.last;
        ChartBar bar{{slotLeft + inset, plot.bottom, slotRight - inset, plot.bottom}, isToday, {}};
        // Each project's part stands on the one below; a project of a few seconds still shows.
        std::int64_t below = 0;
        for (std::size_t p = 0; p < period.byProject.size(); ++p) {
            const std::int64_t seconds = period.byProject[p];
            if (seconds <= 0) continue;
            below += seconds;
            const int partTop =
                std::min(plot.bottom - static_cast<int>(below * plotHeight / body.axisTop), bar.box.top - 1);
            bar.segments.push_back({{bar.box.left, partTop, bar.box.right, bar.box.top},
                                    projectColour(p, sums.projects[p].project.empty()), static_cast<int>(p)});
            bar.box.top = partTop;
        }
        body.bars.push_back(std::move(bar));
        if ((i - anchor) % labelEvery != 0) continue;
        const double middle = plot.left + slot * (i + 0.5);
        const double half = std::max<double>(needed, slot) / 2;
        // Kept within the plot's width, so that the first and last labels meet no axis label.
        int labelLeft = static_cast<int>(std::lround(middle - half));
        int labelRight = static_cast<int>(std::lround(middle + half));
        if (labelLeft < plot.left) labelRight += plot.left - labelLeft, labelLeft = plot.left;
        if (labelRight > plot.right) labelLeft -= labelRight - plot.right, labelRight = plot.right;
        body.texts.push_back({period.period.label,
                              {labelLeft, plot.bottom + px(4), labelRight, plot.bottom + px(m.barLabels)},
                              ChartText::Align::center, ChartText::Size::small, isToday});
    }
    const int legendTop = plot.bottom + px(m.barLabels) + px(m.gap) / 2;
    return layoutLegend(body, sums, left, legendTop, right, measure, px);
}
