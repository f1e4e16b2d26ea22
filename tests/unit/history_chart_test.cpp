// The work-history window's layout, computed from literal rows, dates, ranges and client sizes.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "common/text.h"
#include "history/history_layout.h"
#include "history/work_history.h"

namespace {

DayNumber day(int year, int month, int dayOfMonth) { return dayNumber({year, month, dayOfMonth}).value(); }

const DayNumber monday = day(2026, 12, 7);
const DayNumber sunday = day(2026, 12, 13);
using Kind = ReportRangeKind;

bool inside(const ChartBox& box, const ChartBox& area) {
    return box.left >= area.left && box.top >= area.top && box.right <= area.right && box.bottom <= area.bottom &&
           box.left <= box.right && box.top <= box.bottom;
}
bool overlap(const ChartBox& a, const ChartBox& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}
const ChartText* findText(const HistoryChart& chart, const std::wstring& text) {
    for (const ChartText& t : chart.texts)
        if (t.text == text) return &t;
    return nullptr;
}
// The figure under a caption ("Today", "This week", the range's name).
std::wstring figureUnder(const HistoryChart& chart, const std::wstring& caption) {
    const auto at =
        std::find_if(chart.texts.begin(), chart.texts.end(), [&](const ChartText& t) { return t.text == caption; });
    return at != chart.texts.end() && at + 1 != chart.texts.end() ? (at + 1)->text : L"";
}
std::vector<const ChartText*> barLabels(const HistoryChart& chart) {
    std::vector<const ChartText*> labels;
    for (const ChartText& t : chart.texts)
        if (t.text.find(L'\n') != std::wstring::npos) labels.push_back(&t);
    return labels;
}
// "Acme 0:30 0.50 50%" for the table line whose name is `name`: its texts left to right.
std::wstring tableLine(const HistoryChart& chart, const std::wstring& name) {
    const ChartText* first = nullptr;
    for (const ChartText& t : chart.texts)
        if (t.text == name && t.box.top > chart.plot.bottom) first = &t;
    if (!first) return L"";
    std::vector<const ChartText*> cells;
    for (const ChartText& t : chart.texts)
        if (t.box.top == first->box.top && t.box.left >= first->box.left) cells.push_back(&t);
    std::sort(cells.begin(), cells.end(), [](auto a, auto b) { return a->box.left < b->box.left; });
    std::wstring line;
    for (const ChartText* cell : cells) line += (line.empty() ? L"" : L" ") + cell->text;
    return line;
}
// The table's text `text` (not the legend's).
const ChartText* findTableText(const HistoryChart& chart, const std::wstring& text) {
    const ChartText* found = nullptr;
    for (const ChartText& t : chart.texts)
        if (t.text == text && t.box.top > chart.plot.bottom) found = &t;
    return found;
}
// 6.5 pixels a character at 100 %, as the window's small font measures about.
TextWidth measureAt(double scale) {
    return [scale](const std::wstring& text) { return static_cast<int>(text.size() * 6.5 * scale); };
}

TEST(HistoryChart, EachRangeItsBarsTotalsAndLabels) {
    const std::vector<HistoryRow> rows = {{sunday, L"a", 600},
                                          {sunday - 6, L"b", 1200},
                                          {sunday - 7, L"a", 300},
                                          {sunday - 14, L"a", 999},
                                          {day(2025, 3, 2), L"a", 4000}};
    const struct {
        const char* name;
        std::vector<HistoryRow> rows;
        DayNumber today;
        Kind range;
        int width, height;
        std::size_t bars, labels;
        int todayBar;  // the bar that holds today, -1 for none
        const wchar_t *todayText, *weekText, *rangeText, *span;
    } cases[] = {
        {"nothing counted yet", {}, monday, Kind::last14Days, 640, 620, 14, 14, 13, L"00:00:00", L"00:00:00",
         L"00:00:00", L"24 Nov \u2013 7 Dec 2026"},
        {"the smallest window labels every second day, today's included", rows, sunday, Kind::last14Days, 420, 320, 14,
         7, 13, L"00:10:00", L"00:30:00", L"00:35:00", L"30 Nov \u2013 13 Dec 2026"},
        {"this week on its Monday, with the days to come", rows, sunday - 6, Kind::thisWeek, 640, 620, 7, 7, 0,
         L"00:20:00", L"00:30:00", L"00:30:00", L"7 Dec \u2013 13 Dec 2026"},
        {"last week holds no today", rows, sunday, Kind::lastWeek, 640, 620, 7, 7, -1, L"00:10:00", L"00:30:00",
         L"00:05:00", L"30 Nov \u2013 6 Dec 2026"},
        {"this month: 31 days, every second labelled in a window of default width", rows, sunday, Kind::thisMonth, 640,
         620, 31, 16, 12, L"00:10:00", L"00:30:00", L"00:35:00", L"1 Dec \u2013 31 Dec 2026"},
        {"last month, narrow: labels a week apart", rows, sunday, Kind::lastMonth, 420, 320, 30, 5, -1, L"00:10:00",
         L"00:30:00", L"00:16:39", L"1 Nov \u2013 30 Nov 2026"},
        {"all time by month, from March 2025", rows, sunday, Kind::allTime, 640, 620, 22, 11, 21, L"00:10:00",
         L"00:30:00", L"01:58:19", L"2 Mar 2025 \u2013 13 Dec 2026"},
        {"across the new year", {{day(2026, 12, 31), L"a", 3600}}, day(2027, 1, 3), Kind::last14Days, 640, 620, 14, 14,
         13, L"00:00:00", L"01:00:00", L"01:00:00", L"21 Dec 2026 \u2013 3 Jan 2027"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ChartInput input;
        input.pcs = {{L"", &c.rows}};
        input.range = c.range;
        input.textWidth = measureAt(1.0);
        const HistoryChart chart = layoutHistoryChart(input, c.today, c.width, c.height, 1.0);
        const ChartBox client{0, 0, c.width, c.height};
        EXPECT_EQ(chart.range.kind, c.range);
        ASSERT_EQ(chart.gridLines.size(), static_cast<std::size_t>(chart.axisTop / chart.axisStep + 1));
        EXPECT_EQ(chart.gridLines.front(), chart.plot.bottom);
        EXPECT_EQ(chart.gridLines.back(), chart.plot.top);
        EXPECT_GE(chart.plot.bottom - chart.plot.top, 120) << "bars tall enough to compare, scrolled if need be";

        ASSERT_EQ(chart.bars.size(), c.bars);
        for (std::size_t i = 0; i < chart.bars.size(); ++i) {
            const ChartBox& bar = chart.bars[i].box;
            EXPECT_TRUE(inside(bar, chart.plot)) << i;
            EXPECT_EQ(chart.bars[i].today, static_cast<int>(i) == c.todayBar) << i;
            if (i + 1 < chart.bars.size()) {
                EXPECT_LT(bar.right, chart.bars[i + 1].box.left) << "bars stand apart";
            }
        }
        const std::vector<const ChartText*> labels = barLabels(chart);
        EXPECT_EQ(labels.size(), c.labels);
        EXPECT_EQ(std::count_if(labels.begin(), labels.end(), [](auto t) { return t->strong; }), c.todayBar >= 0 ? 1 : 0)
            << "today's bar is labelled, in today's colour";
        for (std::size_t i = 0; i + 1 < labels.size(); ++i)
            EXPECT_LE(labels[i]->box.right, labels[i + 1]->box.left) << "labels apart";

        EXPECT_EQ(figureUnder(chart, L"Today"), c.todayText);
        EXPECT_EQ(figureUnder(chart, L"This week"), c.weekText);
        EXPECT_EQ(figureUnder(chart, reportRangeName(c.range)), c.rangeText);
        EXPECT_TRUE(findText(chart, c.span)) << "the dates shown";

        // Controls inside the window and apart; the scrolling part between them.
        for (const ChartBox& box : {chart.rangeChoice, chart.saveButton, chart.shareButton, chart.button})
            EXPECT_TRUE(inside(box, client));
        EXPECT_FALSE(overlap(chart.rangeChoice, chart.saveButton));
        EXPECT_GE(chart.body.top, chart.saveButton.bottom);
        EXPECT_LE(chart.body.bottom, chart.button.top);
        for (std::size_t i = 0; i < chart.texts.size(); ++i) {
            const ChartText& a = chart.texts[i];
            EXPECT_TRUE(a.box.left >= 0 && a.box.right <= c.width) << "text outside: " << i;
            EXPECT_FALSE(overlap(a.box, chart.plot)) << "text over the chart: " << i;
            for (std::size_t k = i + 1; k < chart.texts.size(); ++k)
                EXPECT_FALSE(overlap(a.box, chart.texts[k].box)) << "texts " << i << " and " << k << " overlap";
        }
    }
}

TEST(HistoryChart, BarsSplitByProjectInTheLegendsColours) {
    const std::vector<HistoryRow> alpha = {{monday, L"a.exe", 3600, L"Acme"},
                                           {monday, L"b.exe", 1800},
                                           {monday, L"a.exe", 900, L"Beta"},
                                           {monday - 1, L"a.exe", 1800, L"Beta"}};
    const std::vector<HistoryRow> beta = {{monday, L"a.exe", 1800, L"Acme"}};
    ChartInput input;
    input.pcs = {{L"ALPHA (this PC)", &alpha}, {L"BETA", &beta}};
    input.shared = true;
    input.textWidth = measureAt(1.0);
    const HistoryChart chart = layoutHistoryChart(input, monday, 640, 620, 1.0);

    // Today Acme 1:30 (both PCs), Beta 0:15, No project 0:30; over the 14 days Beta has 0:45
    // and comes second: the most first, at the bottom.
    const ChartBar& today = chart.bars.back();
    ASSERT_EQ(today.segments.size(), 3u);
    const double perSecond = (chart.plot.bottom - chart.plot.top) / static_cast<double>(chart.axisTop);
    const std::int64_t seconds[] = {5400, 900, 1800};
    for (std::size_t p = 0; p < 3; ++p) {
        const ChartSegment& part = today.segments[p];
        EXPECT_EQ(part.project, static_cast<int>(p));
        EXPECT_EQ(part.box.bottom, p == 0 ? chart.plot.bottom : today.segments[p - 1].box.top);
        EXPECT_NEAR(part.box.bottom - part.box.top, seconds[p] * perSecond, 1.0) << p;
        EXPECT_EQ(part.colour.red, projectColour(p, p == 2).red);
    }
    EXPECT_EQ(chart.bars[chart.bars.size() - 2].segments.size(), 1u) << "yesterday: Beta alone";
    EXPECT_EQ(chart.bars[chart.bars.size() - 2].segments[0].project, 1);

    // A swatch in the legend and one in the table per project, in the project's colour.
    ASSERT_EQ(chart.swatches.size(), 6u);
    for (const ChartSegment& swatch : chart.swatches) {
        const ReportColour colour = projectColour(static_cast<std::size_t>(swatch.project), swatch.project == 2);
        EXPECT_EQ(std::tie(swatch.colour.red, swatch.colour.green, swatch.colour.blue),
                  std::tie(colour.red, colour.green, colour.blue));
    }
    for (int p = 0; p < 3; ++p)
        EXPECT_EQ(std::count_if(chart.swatches.begin(), chart.swatches.end(), [p](auto& s) { return s.project == p; }), 2);
    EXPECT_EQ(tableLine(chart, L"Acme"), L"Acme 1:30 1.50 55%");
    EXPECT_EQ(tableLine(chart, L"No project"), L"No project 0:30 0.50 18%");
    EXPECT_EQ(tableLine(chart, L"Total"), L"Total 2:45 2.75 100%");
    EXPECT_EQ(tableLine(chart, L"ALPHA (this PC)"), L"ALPHA (this PC) 2:15 2.25 82%") << "which PC worked how long";
    EXPECT_EQ(tableLine(chart, L"BETA"), L"BETA 0:30 0.50 18%");
    EXPECT_EQ(figureUnder(chart, L"Today"), L"02:15:00") << "every PC counts";
}

TEST(HistoryChart, TablesReadAtEveryWidthAndScale) {
    std::vector<HistoryRow> rows;
    for (int i = 0; i < 6; ++i)
        rows.push_back({monday - i, L"program-with-a-long-name-" + std::to_wstring(i) + L".exe", 3600L * (i + 1) + 7,
                        i % 3 ? L"Project " + std::to_wstring(i % 3) + L" with a name longer than any window" : L""});
    rows.push_back({monday, L"b.exe", 1234567, L"Big"});
    const std::vector<HistoryRow> other = {{monday, L"a.exe", 60, L"Big"}};
    const struct {
        int width, height;
        double scale;
        bool shared;
    } cases[] = {{420, 320, 1.0, false}, {420, 320, 1.0, true}, {640, 620, 1.0, true},  {1400, 1000, 1.0, true},
                 {630, 480, 1.5, true},  {960, 930, 1.5, false}, {840, 640, 2.0, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height) + " at " + std::to_string(c.scale) +
                     (c.shared ? ", shared" : ""));
        ChartInput input;
        input.pcs = {{L"THIS-PC-WITH-A-LONG-NAME (this PC)", &rows}, {L"OTHER", &other}};
        input.shared = c.shared;
        input.notes = {L"Sharing with other PCs through D:\\a folder with a long name\\that goes on and on and on"};
        input.textWidth = measureAt(c.scale);
        const int margin = static_cast<int>(16 * c.scale);
        for (int scroll : {0, 1 << 20}) {
            input.scroll = scroll;
            const HistoryChart chart = layoutHistoryChart(input, monday, c.width, c.height, c.scale);
            const int bodyHeight = chart.body.bottom - chart.body.top;
            EXPECT_EQ(chart.scroll, scroll ? std::max(0, chart.contentHeight - bodyHeight) : 0);
            EXPECT_NE(tableLine(chart, L"Big").find(L"Big 342:57 342.95 "), std::wstring::npos) << "hours past 99";
            EXPECT_EQ(!tableLine(chart, L"OTHER").empty(), c.shared) << "the PCs' table while sharing";
            // Every figure is whole, right-aligned under its heading; names are cut, never figures.
            int figures = 0;
            const ChartText* heading = findText(chart, L"Project and program");
            ASSERT_TRUE(heading);
            for (const ChartText& t : chart.texts) {
                if (t.box.top < heading->box.top) continue;  // the tables only
                EXPECT_GE(t.box.left, margin);
                EXPECT_LE(t.box.right, std::min(c.width - margin, margin + static_cast<int>(720 * c.scale)))
                    << "inside the window, and in a wide one near their names";
                if (t.align == ChartText::Align::right) {
                    ++figures;
                    EXPECT_GE(t.box.right - t.box.left, input.textWidth(t.text)) << std::string(t.text.begin(), t.text.end());
                } else {
                    EXPECT_TRUE(t.ellipsis);
                    EXPECT_GE(t.box.right - t.box.left, 100 * c.scale) << "room for a name";
                }
            }
            EXPECT_EQ(figures, 3 * (c.shared ? 17 : 14)) << "headings, 4 projects, 8 programs, the total, 2 PCs";
            // Scrolled to the end, the last line is in view.
            if (scroll) {
                EXPECT_LE(chart.texts.back().box.bottom, chart.body.bottom);
            }
        }
    }
}

// With rates and budgets the project table gains billed hours, rate, amount, budget used and
// left, in the user's marks; a passed budget's line is red; the sums the window kept are used.
TEST(HistoryChart, TheTableBillsInTheUsersMarksAndAPassedBudgetIsRed) {
    const std::vector<HistoryRow> rows = {{monday, L"a.exe", 3601, L"Acme"}, {monday, L"b.exe", 60, L"Globex"}};
    ChartInput input;
    input.pcs = {{L"", &rows}};
    input.rates = {L"EUR", 15, {{L"Acme", 12'000'000, 10'000}}};
    input.marks = {L",", L"."};
    input.range = ReportRangeKind::thisWeek;
    const struct {
        int width;
        const wchar_t *acme, *globex, *total;
    } cases[] = {
        {900, L"Acme 1:00 1,00 98% 1,25 1.200,00 1.500,00 EUR 1,25 -0,25", L"Globex 0:01 0,02 2% 0,25    ",
         L"Total 1:01 1,02 100% 1,50  1.500,00 EUR  "},
        // At the narrowest, what an invoice needs least gives way to the names.
        {420, L"Acme 1:00 1,00 1,25 1.500,00 EUR", L"Globex 0:01 0,02 0,25 ", L"Total 1:01 1,02 1,50 1.500,00 EUR"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.width);
        const HistoryChart chart = layoutHistoryChart(input, monday, c.width, 700, 1.0);
        EXPECT_EQ(tableLine(chart, L"Acme"), c.acme);
        EXPECT_EQ(tableLine(chart, L"Globex"), c.globex);
        EXPECT_EQ(tableLine(chart, L"Total"), c.total);
        const ChartText* heading = findText(chart, L"Project and program");
        ASSERT_TRUE(heading);
        for (const ChartText& t : chart.texts) {
            if (t.box.top <= heading->box.top) continue;  // the table's lines only
            EXPECT_EQ(t.tone == ChartText::Tone::warning, t.box.top == findTableText(chart, L"Acme")->box.top)
                << toUtf8(t.text) << ": red on the line past its budget alone";
            if (t.align == ChartText::Align::left) {
                EXPECT_GE(t.box.right - t.box.left, 100) << "room for a name";
            }
        }
    }
    // Sums handed in for the range are what the table shows; for another range they are not used.
    const std::vector<HistoryRow> none;
    auto kept = std::make_shared<ReportSums>(sumReport({{L"", &rows}}, reportRange(ReportRangeKind::thisWeek, monday, {})));
    input.pcs = {{L"", &none}};
    input.sums = kept;
    EXPECT_FALSE(tableLine(layoutHistoryChart(input, monday, 900, 700, 1.0), L"Acme").empty());
    input.range = ReportRangeKind::lastWeek;
    EXPECT_TRUE(tableLine(layoutHistoryChart(input, monday, 900, 700, 1.0), L"Acme").empty());
}

// The top row: the range's choice, then Rates and budgets..., Export CSV... and Save report...,
// apart at every width and, from the default size on, each with room for its words.
TEST(HistoryChart, TheTopRowsButtonsStandApartAndReadFromTheDefaultSizeOn) {
    const std::vector<HistoryRow> rows = {{monday, L"a.exe", 60, L"Acme"}};
    ChartInput input;
    input.pcs = {{L"", &rows}};
    for (const double scale : {1.0, 1.5, 2.0}) {
        input.textWidth = measureAt(scale);
        for (const int width : {historyMinimumSize(scale).width, historyDefaultSize(scale).width, 1400}) {
            SCOPED_TRACE(std::to_string(width) + " at " + std::to_string(scale));
            const HistoryChart chart = layoutHistoryChart(input, monday, width, historyDefaultSize(scale).height, scale);
            const ChartBox row[] = {chart.rangeChoice, chart.ratesButton, chart.exportButton, chart.saveButton};
            for (std::size_t i = 0; i + 1 < std::size(row); ++i) {
                EXPECT_LE(row[i].right, row[i + 1].left) << i;
                EXPECT_EQ(row[i].top, row[i + 1].top);
            }
            EXPECT_LE(chart.saveButton.right, width);
            if (width < historyDefaultSize(scale).width) continue;
            EXPECT_GE(chart.ratesButton.right - chart.ratesButton.left, input.textWidth(L"Rates and budgets..."));
            EXPECT_GE(chart.exportButton.right - chart.exportButton.left, input.textWidth(L"Export CSV..."));
        }
    }
}

TEST(HistoryChart, EverySizeFollowsTheScale) {
    const std::vector<HistoryRow> rows = {{monday, L"a", 3723, L"Acme"}, {monday - 5, L"a", 2000}};
    const HistoryChart one = layoutHistoryChart(rows, monday, 640, 620, 1.0);
    const HistoryChart two = layoutHistoryChart(rows, monday, 1280, 1240, 2.0);
    const auto doubled = [](const ChartBox& a, const ChartBox& b) {
        return std::abs(2 * a.left - b.left) <= 2 && std::abs(2 * a.top - b.top) <= 2 &&
               std::abs(2 * a.right - b.right) <= 2 && std::abs(2 * a.bottom - b.bottom) <= 2;
    };
    EXPECT_TRUE(doubled(one.plot, two.plot));
    EXPECT_TRUE(doubled(one.button, two.button));
    EXPECT_TRUE(doubled(one.rangeChoice, two.rangeChoice));
    EXPECT_TRUE(doubled(one.saveButton, two.saveButton));
    ASSERT_EQ(one.texts.size(), two.texts.size());
    for (std::size_t i = 0; i < one.texts.size(); ++i) EXPECT_TRUE(doubled(one.texts[i].box, two.texts[i].box)) << i;
    for (std::size_t i = 0; i < one.bars.size(); ++i) EXPECT_TRUE(doubled(one.bars[i].box, two.bars[i].box)) << i;
    EXPECT_EQ(historyFonts(2.0).small, 2 * historyFonts(1.0).small);
    EXPECT_EQ(historyFonts(2.0).large, 2 * historyFonts(1.0).large);
    EXPECT_EQ(historyMinimumSize(2.0).width, 2 * historyMinimumSize(1.0).width);
    EXPECT_EQ(historyDefaultSize(2.0).height, 2 * historyDefaultSize(1.0).height);
    EXPECT_EQ(historyWheelStep(2.0), 2 * historyWheelStep(1.0));
}

}  // namespace
