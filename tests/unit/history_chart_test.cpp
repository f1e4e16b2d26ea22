// The work-history window's layout, computed from literal rows, dates and client sizes.
#include <gtest/gtest.h>

#include <algorithm>

#include "history/history_chart.h"
#include "history/work_history.h"

namespace {

DayNumber day(int year, int month, int dayOfMonth) { return dayNumber({year, month, dayOfMonth}).value(); }

const DayNumber monday = day(2026, 12, 7);
const DayNumber sunday = day(2026, 12, 13);

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
// The figure under a caption ("Today", "This week", "Last 14 days").
std::wstring figureUnder(const HistoryChart& chart, const std::wstring& caption) {
    const auto at =
        std::find_if(chart.texts.begin(), chart.texts.end(), [&](const ChartText& t) { return t.text == caption; });
    return at != chart.texts.end() && at + 1 != chart.texts.end() ? (at + 1)->text : L"";
}
int dayLabels(const HistoryChart& chart) {
    return static_cast<int>(std::count_if(chart.texts.begin(), chart.texts.end(),
                                          [](const ChartText& t) { return t.text.find(L'\n') != std::wstring::npos; }));
}

TEST(HistoryChart, LayoutFollowsTheRowsTodayAndTheWindowSize) {
    const struct {
        const char* name;
        std::vector<HistoryRow> rows;
        DayNumber today;
        int width, height;
        std::int64_t step, top;  // the hour axis, seconds
        int todayBar;            // today's bar height, pixels
        int labels;              // day labels shown
        const wchar_t *todayText, *weekText, *fortnightText, *span;
    } cases[] = {
        {"nothing counted yet: the first hour in quarters", {}, monday, 600, 420, 900, 3600, 0, 14, L"00:00:00",
         L"00:00:00", L"00:00:00", L"24 Nov \u2013 7 Dec 2026"},
        {"1 h 2 min 3 s today", {{monday, L"a", 3723}}, monday, 600, 420, 900, 4500, 190, 14, L"01:02:03",
         L"01:02:03", L"01:02:03", L"24 Nov \u2013 7 Dec 2026"},
        {"an 8 h day: steps of 2 h", {{monday - 3, L"a", 28800}, {monday, L"a", 60}}, monday, 600, 420, 7200, 28800,
         1, 14, L"00:01:00", L"00:01:00", L"08:01:00", L"24 Nov \u2013 7 Dec 2026"},
        {"a short plot takes larger steps than five", {{monday, L"a", 4500}}, monday, 600, 260, 1800, 5400, 58, 14,
         L"01:15:00", L"01:15:00", L"01:15:00", L"24 Nov \u2013 7 Dec 2026"},
        {"the smallest window labels every second day, today's included",
         {{sunday, L"a", 600}, {sunday - 6, L"b", 1200}, {sunday - 7, L"a", 300}, {sunday - 14, L"a", 999}}, sunday,
         420, 320, 300, 1200, 65, 7, L"00:10:00", L"00:30:00", L"00:35:00", L"30 Nov \u2013 13 Dec 2026"},
        {"narrower still: every seventh day", {}, monday, 250, 320, 900, 3600, 0, 2, L"00:00:00", L"00:00:00",
         L"00:00:00", L"24 Nov \u2013 7 Dec 2026"},
        {"across the new year", {{day(2026, 12, 31), L"a", 3600}}, day(2027, 1, 3), 600, 420, 900, 3600, 0, 14,
         L"00:00:00", L"01:00:00", L"01:00:00", L"21 Dec 2026 \u2013 3 Jan 2027"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const HistoryChart chart = layoutHistoryChart(c.rows, c.today, c.width, c.height, 1.0);
        const ChartBox client{0, 0, c.width, c.height};
        EXPECT_EQ(chart.axisStep, c.step);
        EXPECT_EQ(chart.axisTop, c.top);
        ASSERT_EQ(chart.gridLines.size(), static_cast<std::size_t>(c.top / c.step + 1));
        EXPECT_EQ(chart.gridLines.front(), chart.plot.bottom);
        EXPECT_EQ(chart.gridLines.back(), chart.plot.top);

        ASSERT_EQ(chart.bars.size(), 14u);
        EXPECT_EQ(chart.bars.back().box.bottom - chart.bars.back().box.top, c.todayBar);
        EXPECT_TRUE(chart.bars.back().today);
        for (std::size_t i = 0; i < chart.bars.size(); ++i) {
            const ChartBox& bar = chart.bars[i].box;
            EXPECT_TRUE(inside(bar, chart.plot)) << i;
            EXPECT_EQ(bar.bottom, chart.plot.bottom) << i;
            if (i + 1 < chart.bars.size()) {
                EXPECT_LT(bar.right, chart.bars[i + 1].box.left) << "bars stand apart, oldest first";
                EXPECT_FALSE(chart.bars[i].today);
            }
        }
        EXPECT_EQ(dayLabels(chart), c.labels);
        const ChartText* todayLabel = &chart.texts.back();
        EXPECT_TRUE(todayLabel->strong && todayLabel->text.find(L'\n') != std::wstring::npos) << "today is labelled";

        EXPECT_EQ(figureUnder(chart, L"Today"), c.todayText);
        EXPECT_EQ(figureUnder(chart, L"This week"), c.weekText);
        EXPECT_EQ(figureUnder(chart, L"Last 14 days"), c.fortnightText);
        EXPECT_TRUE(findText(chart, c.span)) << "the dates shown";

        // Everything fits the window, and nothing covers anything else.
        EXPECT_TRUE(inside(chart.button, client));
        for (std::size_t i = 0; i < chart.texts.size(); ++i) {
            const ChartText& a = chart.texts[i];
            EXPECT_TRUE(c.width < 420 || inside(a.box, client)) << "text outside: " << i;
            EXPECT_FALSE(overlap(a.box, chart.plot) || overlap(a.box, chart.button)) << "text over the chart: " << i;
            for (std::size_t k = i + 1; k < chart.texts.size(); ++k)
                EXPECT_FALSE(overlap(a.box, chart.texts[k].box)) << "texts " << i << " and " << k << " overlap";
        }
    }
}

TEST(HistoryChart, EverySizeFollowsTheScale) {
    const std::vector<HistoryRow> rows = {{monday, L"a", 3723}, {monday - 5, L"a", 2000}};
    const HistoryChart one = layoutHistoryChart(rows, monday, 600, 420, 1.0);
    const HistoryChart two = layoutHistoryChart(rows, monday, 1200, 840, 2.0);
    const auto doubled = [](const ChartBox& a, const ChartBox& b) {
        return std::abs(2 * a.left - b.left) <= 2 && std::abs(2 * a.top - b.top) <= 2 &&
               std::abs(2 * a.right - b.right) <= 2 && std::abs(2 * a.bottom - b.bottom) <= 2;
    };
    EXPECT_TRUE(doubled(one.plot, two.plot));
    EXPECT_TRUE(doubled(one.button, two.button));
    ASSERT_EQ(one.texts.size(), two.texts.size());
    for (std::size_t i = 0; i < one.texts.size(); ++i) EXPECT_TRUE(doubled(one.texts[i].box, two.texts[i].box)) << i;
    for (std::size_t i = 0; i < one.bars.size(); ++i) EXPECT_TRUE(doubled(one.bars[i].box, two.bars[i].box)) << i;
    EXPECT_EQ(historyFonts(2.0).small, 2 * historyFonts(1.0).small);
    EXPECT_EQ(historyFonts(2.0).large, 2 * historyFonts(1.0).large);
    EXPECT_EQ(historyMinimumSize(2.0).width, 2 * historyMinimumSize(1.0).width);
    EXPECT_EQ(historyDefaultSize(2.0).height, 2 * historyDefaultSize(1.0).height);
}

TEST(HistoryChart, SharedHistoriesStackByPcWithALegendThatFitsAtEverySize) {
    const std::vector<HistoryRow> alpha = {{monday, L"a", 3600}, {monday - 1, L"a", 1800}};
    const std::vector<HistoryRow> beta = {{monday, L"b", 1800}, {monday - 2, L"b", 900}};
    const std::vector<HistoryRow> gamma = {{monday, L"c", 600}};
    const struct {
        const char* name;
        int width, height;
        double scale;
        std::size_t pcs;
        const wchar_t *todayText, *weekText;
        const wchar_t* thisPc = L"ALPHA-WORKSTATION-2 (this PC)";
    } cases[] = {
        {"two PCs at the default size", 600, 420, 1.0, 2, L"01:30:00", L"01:30:00"},
        {"three PCs in the smallest window", 420, 320, 1.0, 3, L"01:40:00", L"01:40:00"},
        {"three PCs at 150 %", 630, 480, 1.5, 3, L"01:40:00", L"01:40:00"},
        {"two PCs at 200 %, smallest", 840, 640, 2.0, 2, L"01:30:00", L"01:30:00"},
        {"a name too long for the smallest window gives way to the weeks", 420, 320, 1.0, 2, L"01:30:00",
         L"01:30:00", L"A-COMPUTER-NAME-LONGER-THAN-ANY-WINDOWS-ALLOWS (this PC)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ChartInput input;
        input.shared = true;
        input.pcs = {{c.thisPc, &alpha}, {L"BETA", &beta}, {L"GAMMA", &gamma}};
        input.pcs.resize(c.pcs);
        input.notes = {L"Sharing with other PCs through D:\\a folder with a long name\\that goes on and on and on"};
        // 6.5 pixels a character at 100 %, as the window's small font measures about.
        input.textWidth = [&](const std::wstring& text) { return static_cast<int>(text.size() * 6.5 * c.scale); };
        const HistoryChart chart = layoutHistoryChart(input, monday, c.width, c.height, c.scale);
        const ChartBox client{0, 0, c.width, c.height};
        EXPECT_TRUE(chart.stacked);
        EXPECT_EQ(figureUnder(chart, L"Today"), c.todayText) << "all PCs together";
        EXPECT_EQ(figureUnder(chart, L"This week"), c.weekText);

        // Today's bar: this PC at the bottom, each PC's part on the one below, and together as
        // high as a single PC's bar of the same seconds would be.
        const ChartBar& today = chart.bars.back();
        ASSERT_EQ(today.segments.size(), c.pcs);
        std::int64_t seconds = 0;
        for (std::size_t pc = 0; pc < c.pcs; ++pc) {
            const ChartSegment& part = today.segments[pc];
            EXPECT_EQ(part.pc, static_cast<int>(pc));
            EXPECT_EQ(part.box.bottom, pc == 0 ? chart.plot.bottom : today.segments[pc - 1].box.top);
            EXPECT_LT(part.box.top, part.box.bottom);
            seconds += secondsOnDay(*input.pcs[pc].rows, monday);
        }
        EXPECT_EQ(today.box.top, today.segments.back().box.top);
        EXPECT_NEAR(today.box.bottom - today.box.top,
                    seconds * (chart.plot.bottom - chart.plot.top) / static_cast<double>(chart.axisTop), 1.0);
        EXPECT_EQ(chart.bars[chartDays - 2].segments.size(), 1u) << "yesterday: this PC alone";
        EXPECT_EQ(chart.bars[chartDays - 3].segments.front().pc, 1) << "the day before: the second PC alone";

        // A swatch and a line per PC, in order; everything inside the window and nothing over
        // anything else; the week column wide enough for its text.
        ASSERT_EQ(chart.swatches.size(), c.pcs);
        for (std::size_t pc = 0; pc < c.pcs; ++pc) {
            EXPECT_EQ(chart.swatches[pc].pc, static_cast<int>(pc));
            const ChartText* week = nullptr;
            for (const ChartText& t : chart.texts)
                if (t.text.find(L" this week") != std::wstring::npos && t.box.top <= chart.swatches[pc].box.top &&
                    chart.swatches[pc].box.bottom <= t.box.bottom)
                    week = &t;
            ASSERT_TRUE(week) << pc;
            EXPECT_EQ(week->text, (pc == 0 ? std::wstring(L"01:00:00") : pc == 1 ? L"00:30:00" : L"00:10:00") +
                                      L" this week");
            EXPECT_GE(week->box.right - week->box.left, input.textWidth(week->text));
            EXPECT_FALSE(overlap(chart.swatches[pc].box, week->box));
        }
        std::vector<ChartBox> boxes = {chart.plot, chart.button, chart.shareButton};
        for (const ChartSegment& swatch : chart.swatches) boxes.push_back(swatch.box);
        for (const ChartText& t : chart.texts) boxes.push_back(t.box);
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            EXPECT_TRUE(inside(boxes[i], client)) << i;
            for (std::size_t k = i + 1; k < boxes.size(); ++k)
                EXPECT_FALSE(overlap(boxes[i], boxes[k])) << i << " and " << k;
        }
        EXPECT_GE(chart.plot.bottom - chart.plot.top, 40 * c.scale) << "the plot keeps room for its bars";
    }
}

TEST(HistoryChart, NotSharedItLooksAsBeforeWithBothButtons) {
    const std::vector<HistoryRow> rows = {{monday, L"a", 3723}};
    const HistoryChart chart = layoutHistoryChart(rows, monday, 600, 420, 1.0);
    EXPECT_FALSE(chart.stacked);
    EXPECT_TRUE(chart.swatches.empty());
    EXPECT_EQ(chart.bars.back().segments.size(), 1u);
    EXPECT_TRUE(chart.bars.front().segments.empty()) << "a day without work has no part";
    EXPECT_EQ(chart.shareButton.top, chart.button.top);
    EXPECT_LT(chart.shareButton.right, chart.button.left);
    for (const HistoryChart& small : {layoutHistoryChart(rows, monday, 420, 320, 1.0),
                                      layoutHistoryChart(rows, monday, 630, 480, 1.5)})
        EXPECT_GE(small.shareButton.left, 0) << "both buttons fit the smallest window";
}

}  // namespace
