// The report's bar chart as inline SVG: one bar per period of the range, stacked by project in
// the table's order (the project with most time at the bottom), an hour axis on the left and
// the periods' labels below; each bar's time above it where there is room. Hovering a part of
// a bar names its period, project and time.
#include <algorithm>
#include <cstdio>

#include "history/report_html.h"
#include "history/report_table.h"

namespace {

// The picture's own units; it scales to the page's width.
constexpr double width = 720, height = 250;
constexpr double plotLeft = 58, plotRight = 712, plotTop = 20, plotBottom = 212;
constexpr double labelLine = 14;
constexpr int mostSteps = 5;

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    std::string result = text;
    if (result.size() > 2 && result.compare(result.size() - 2, 2, ".0") == 0) result.resize(result.size() - 2);
    return result;
}

std::string hex(const ReportColour& colour) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", colour.red & 0xff, colour.green & 0xff, colour.blue & 0xff);
    return text;
}

// The step between grid lines: the smallest of these that shows the highest bar in at most
// mostSteps steps; beyond them, powers of ten hours.
std::int64_t axisStep(std::int64_t highest) {
    static constexpr std::int64_t hours[] = {1, 2, 3, 4, 5, 6, 8, 10, 12, 15, 20, 25, 30, 40, 50, 60, 80, 100};
    static constexpr std::int64_t minutes[] = {15, 30};
    for (std::int64_t m : minutes)
        if (highest <= m * 60 * mostSteps) return m * 60;
    for (std::int64_t h : hours)
        if (highest <= h * 3600 * mostSteps) return h * 3600;
    std::int64_t step = 200 * 3600;
    while (highest > step * mostSteps) step *= 10;
    return step;
}

std::string axisLabel(std::int64_t seconds) {
    if (seconds == 0) return "0";
    if (seconds < 3600) return std::to_string(seconds / 60) + " min";
    return std::to_string(seconds / 3600) + " h";
}

void text(std::string& svg, double x, double y, const char* anchor, const std::string& content) {
    svg += "<text x=\"" + number(x) + "\" y=\"" + number(y) + "\" text-anchor=\"" + anchor + "\">" + content +
           "</text>";
}

// The two lines under each bar, as many as there is room for: a day's weekday and number (or
// the number of every day or every second day, and the month's name where one begins), a
// month's name and its year (or the year under each January, every so many years).
std::vector<std::pair<std::wstring, std::wstring>> barLabels(const ReportSums& sums, double slot) {
    static const wchar_t* const months[] = {L"Jan", L"Feb", L"Mar", L"Apr", L"May", L"Jun",
                                            L"Jul", L"Aug", L"Sep", L"Oct", L"Nov", L"Dec"};
    constexpr double roomForYear = 40;
    std::vector<std::pair<std::wstring, std::wstring>> labels;
    const bool daily = reportBarUnit(sums.range) == ReportBarUnit::day;
    const int yearsApart = static_cast<int>(roomForYear / (slot * 12)) + 1;
    for (std::size_t i = 0; i < sums.bars.size(); ++i) {
        const ReportPeriod& period = sums.bars[i].period;
        const std::size_t lineBreak = period.label.find(L'\n');
        const std::wstring top = period.label.substr(0, lineBreak);
        const std::wstring bottom = lineBreak == std::wstring::npos ? L"" : period.label.substr(lineBreak + 1);
        const CivilDate date = civilDate(period.first);
        if (slot >= 30) {
            labels.emplace_back(top, daily || i == 0 || date.month == 1 ? bottom : L"");
        } else if (daily) {
            const bool monthBegins = i == 0 || date.day == 1;
            labels.emplace_back(slot >= 16 || i % 2 == 0 ? bottom : L"", monthBegins ? months[date.month - 1] : L"");
        } else {
            const bool shown = date.month == 1 ? date.year % yearsApart == 0 : i == 0 && (13 - date.month) * slot >= roomForYear;
            labels.emplace_back(shown ? bottom : L"", L"");
        }
    }
    return labels;
}

}  // namespace

std::string reportChartSvg(const ReportSums& sums) {
    std::string svg = "<svg class=\"chart\" viewBox=\"0 0 " + number(width) + " " + number(height) +
                      "\" role=\"img\" aria-labelledby=\"chart-title\">"
                      "<title id=\"chart-title\">" +
                      htmlText(reportHeading(sums.range) + L", each bar split by project") + "</title>";

    std::int64_t highest = 0;
    for (const PeriodSum& bar : sums.bars) highest = std::max(highest, bar.seconds);
    const std::int64_t step = axisStep(std::max<std::int64_t>(highest, 1));
    const std::int64_t top = std::max<std::int64_t>(1, (std::max<std::int64_t>(highest, 1) + step - 1) / step) * step;
    const double plotHeight = plotBottom - plotTop;
    const auto y = [&](std::int64_t seconds) {
        return plotBottom - static_cast<double>(seconds) / static_cast<double>(top) * plotHeight;
    };

    svg += "<g class=\"axis\" font-size=\"11\" fill=\"#5a5e64\">";
    for (std::int64_t value = 0; value <= top; value += step) {
        svg += "<line x1=\"" + number(plotLeft) + "\" x2=\"" + number(plotRight) + "\" y1=\"" + number(y(value)) +
               "\" y2=\"" + number(y(value)) + "\" stroke=\"" + (value == 0 ? "#969ca4" : "#dee2e7") + "\"/>";
        text(svg, plotLeft - 6, y(value) + 4, "end", axisLabel(value));
    }
    svg += "</g>";

    const std::size_t count = std::max<std::size_t>(sums.bars.size(), 1);
    const double slot = (plotRight - plotLeft) / static_cast<double>(count);
    const double barWidth = std::max(1.0, slot * 0.7);
    svg += "<g class=\"bars\">";
    for (std::size_t i = 0; i < sums.bars.size(); ++i) {
        const PeriodSum& bar = sums.bars[i];
        const double left = plotLeft + slot * static_cast<double>(i) + (slot - barWidth) / 2;
        if (bar.seconds > 0 && slot >= 36) {
            svg += "<text x=\"" + number(left + barWidth / 2) + "\" y=\"" +
                   number(std::min(y(bar.seconds), plotBottom - 0.6) - 4) +
                   "\" text-anchor=\"middle\" font-size=\"10\" fill=\"#3c4046\">" +
                   htmlText(hoursMinutesText(bar.seconds)) + "</text>";
        }
        std::int64_t below = 0;
        for (std::size_t p = 0; p < bar.byProject.size(); ++p) {
            const std::int64_t seconds = bar.byProject[p];
            if (seconds <= 0) continue;
            const double bottom = y(below);
            below += seconds;
            // A part of a few seconds is still a visible sliver.
            const double partTop = std::min(y(below), bottom - 0.6);
            const ProjectSum& project = sums.projects[p];
            svg += "<rect x=\"" + number(left) + "\" y=\"" + number(partTop) + "\" width=\"" + number(barWidth) +
                   "\" height=\"" + number(bottom - partTop) + "\" fill=\"" +
                   hex(projectColour(p, project.project.empty())) + "\"><title>" +
                   htmlText(bar.period.name + L", " + projectTitle(project.project) + L": " +
                            hoursMinutesText(seconds) + L" (" + decimalHoursText(seconds) + L" h)") +
                   "</title></rect>";
        }
    }
    svg += "</g><g class=\"labels\" font-size=\"11\" fill=\"#5a5e64\">";
    const auto labels = barLabels(sums, slot);
    for (std::size_t i = 0; i < labels.size(); ++i) {
        const double middle = plotLeft + slot * (static_cast<double>(i) + 0.5);
        if (!labels[i].first.empty()) text(svg, middle, plotBottom + labelLine, "middle", htmlText(labels[i].first));
        if (!labels[i].second.empty())
            text(svg, middle, plotBottom + 2 * labelLine, "middle", htmlText(labels[i].second));
    }
    svg += "</g></svg>";
    return svg;
}
