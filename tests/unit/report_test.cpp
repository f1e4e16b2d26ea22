// Ranges, sums and figures of the history's reports, and the report's HTML, from literal rows.
#include <gtest/gtest.h>

#include "common/text.h"
#include "history/report_html.h"
#include "history/report_table.h"

namespace {

DayNumber day(int year, int month, int dayOfMonth) { return dayNumber({year, month, dayOfMonth}).value(); }

using Kind = ReportRangeKind;

TEST(ReportRange, WeeksRunFromMondayAndMonthsToTheirLastDay) {
    const WorkedDays worked{day(2024, 7, 2), day(2026, 12, 10)};
    const struct {
        const char* name;
        Kind kind;
        DayNumber today;
        std::optional<WorkedDays> worked;
        const wchar_t* dates;
        std::size_t bars;
    } cases[] = {
        {"the default: today and 13 days before", Kind::last14Days, day(2026, 12, 7), {}, L"2026-11-24 to 2026-12-07", 14},
        {"this week on its Monday", Kind::thisWeek, day(2026, 12, 7), {}, L"2026-12-07 to 2026-12-13", 7},
        {"this week on its Sunday", Kind::thisWeek, day(2026, 12, 13), {}, L"2026-12-07 to 2026-12-13", 7},
        {"last week on a Sunday", Kind::lastWeek, day(2026, 12, 13), {}, L"2026-11-30 to 2026-12-06", 7},
        {"last week across the year's end", Kind::lastWeek, day(2027, 1, 4), {}, L"2026-12-28 to 2027-01-03", 7},
        {"this week across the year's end", Kind::thisWeek, day(2027, 1, 1), {}, L"2026-12-28 to 2027-01-03", 7},
        {"this month on its last day", Kind::thisMonth, day(2026, 4, 30), {}, L"2026-04-01 to 2026-04-30", 30},
        {"a leap February", Kind::thisMonth, day(2028, 2, 10), {}, L"2028-02-01 to 2028-02-29", 29},
        {"February of 2100 is not leap", Kind::thisMonth, day(2100, 2, 1), {}, L"2100-02-01 to 2100-02-28", 28},
        {"last month from a 31st: the leap February", Kind::lastMonth, day(2028, 3, 31), {},
         L"2028-02-01 to 2028-02-29", 29},
        {"last month across the year's end", Kind::lastMonth, day(2027, 1, 1), {}, L"2026-12-01 to 2026-12-31", 31},
        {"all time: from the first day with work, a bar a month", Kind::allTime, day(2026, 12, 13), worked,
         L"2024-07-02 to 2026-12-13", 30},
        {"all time without work: today", Kind::allTime, day(2026, 12, 13), {}, L"2026-12-13", 1},
        {"all time with rows after today holds them", Kind::allTime, day(2026, 11, 20), worked,
         L"2024-07-02 to 2026-12-10", 30},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ReportRange range = reportRange(c.kind, c.today, c.worked);
        EXPECT_EQ(range.kind, c.kind);
        EXPECT_EQ(reportDatesText(range), c.dates);
        EXPECT_EQ(reportFileName(range), L"Ardeno Time " + std::wstring(c.dates) + L".html");
        const std::vector<ReportPeriod> bars = reportPeriods(range);
        ASSERT_EQ(bars.size(), c.bars);
        EXPECT_EQ(bars.front().first, range.first);
        EXPECT_EQ(bars.back().last, range.last);
        for (std::size_t i = 1; i < bars.size(); ++i) EXPECT_EQ(bars[i].first, bars[i - 1].last + 1) << i;
    }
    EXPECT_EQ(reportPeriods(reportRange(Kind::thisWeek, day(2026, 12, 9), {})).front().label, L"Mon\n7");
    const std::vector<ReportPeriod> months = reportPeriods(reportRange(Kind::allTime, day(2026, 12, 13), worked));
    EXPECT_EQ(months.front().name, L"July 2024");
    EXPECT_EQ(months.front().last, day(2024, 7, 31));
    EXPECT_EQ(months[7].label, L"Feb\n2025");
    EXPECT_EQ(months[7].last, day(2025, 2, 28));
    EXPECT_EQ(reportBarUnit({Kind::last14Days, 0, 61}), ReportBarUnit::day) << "62 days";
    EXPECT_EQ(reportBarUnit({Kind::last14Days, 0, 62}), ReportBarUnit::month) << "63 days";
}

// "Acme 100 = b.exe 60 a.exe 40 | No project 5 = a.exe 5".
std::wstring describe(const ReportSums& sums) {
    std::wstring text;
    for (const ProjectSum& project : sums.projects) {
        text += (text.empty() ? L"" : L" | ") + projectTitle(project.project) + L" " + std::to_wstring(project.seconds) +
                L" =";
        for (const ProgramSum& program : project.programs)
            text += L" " + program.program + L" " + std::to_wstring(program.seconds);
    }
    return text;
}

TEST(ReportSums, ByProjectAndProgramMostFirstNoProjectLast) {
    const DayNumber d = day(2026, 12, 7);
    const struct {
        const char* name;
        std::vector<HistoryRow> mine, other;
        const wchar_t* sums;
        std::int64_t total, mineTotal;
    } cases[] = {
        {"most time first, programs too; No project last however long",
         {{d, L"a.exe", 40, L"Acme"}, {d, L"b.exe", 60, L"Acme"}, {d, L"a.exe", 500}, {d, L"a.exe", 70, L"Zed"}},
         {},
         L"Acme 100 = b.exe 60 a.exe 40 | Zed 70 = a.exe 70 | No project 500 = a.exe 500", 670, 670},
        {"equal times by name", {{d, L"b.exe", 10, L"Beta"}, {d, L"a.exe", 10, L"Beta"}, {d, L"a.exe", 10, L"Alpha"}},
         {}, L"Beta 20 = a.exe 10 b.exe 10 | Alpha 10 = a.exe 10", 30, 30},
        {"days outside the range and rows without seconds count nothing",
         {{d - 14, L"a.exe", 99, L"Old"}, {d + 1, L"a.exe", 99, L"New"}, {d, L"a.exe", 0, L"Zero"}, {d - 13, L"a.exe", 5}},
         {}, L"No project 5 = a.exe 5", 5, 5},
        {"one program in two letter cases on two PCs is one, spelt as this PC spells it",
         {{d, L"Photoshop.exe", 30, L"Acme"}}, {{d, L"photoshop.EXE", 12, L"Acme"}},
         L"Acme 42 = Photoshop.exe 42", 42, 30},
        {"one project in two letter cases on two PCs is one, spelt as this PC spells it",
         {{d, L"a.exe", 3, L"acme"}}, {{d, L"a.exe", 4, L"Acme"}}, L"acme 7 = a.exe 7", 7, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ReportSums sums =
            sumReport({{L"this", &c.mine}, {L"other", &c.other}, {L"none", nullptr}}, {Kind::last14Days, d - 13, d});
        EXPECT_EQ(describe(sums), c.sums);
        EXPECT_EQ(sums.total, c.total);
        ASSERT_EQ(sums.pcs.size(), 3u);
        EXPECT_EQ(sums.pcs[0].seconds, c.mineTotal);
        EXPECT_EQ(sums.pcs[1].seconds, c.total - c.mineTotal);
        EXPECT_EQ(sums.pcs[2].seconds, 0);
    }
}

TEST(ReportSums, BarsDaysAndTableLines) {
    const DayNumber d = day(2026, 12, 7);
    const std::vector<HistoryRow> rows = {{d - 40, L"a.exe", 7200, L"Acme"}, {d - 1, L"a.exe", 20, L"Acme"},
                                          {d - 1, L"b.exe", 20, L"Beta"},    {d, L"a.exe", 20, L"Gamma"},
                                          {d, L"a.exe", 3570}};
    const ReportSums week = sumReport({{L"", &rows}}, reportRange(Kind::thisWeek, d, {}));
    ASSERT_EQ(week.bars.size(), 7u);
    EXPECT_EQ(week.bars[0].byProject, (std::vector<std::int64_t>{20, 3570})) << "Gamma, then No project";
    EXPECT_EQ(daySeconds(week, d), 3590);
    const std::vector<ReportDayRow> days = dayTableRows(week);
    ASSERT_EQ(days.size(), 7u) << "every day of the week, with work or not";
    EXPECT_EQ(days[1].date + L" " + days[1].weekday + L" " + days[1].time + L" " + days[1].hours,
              L"2026-12-08 Tue 0:00 0.00");
    EXPECT_FALSE(days[1].worked);

    // Each line is rounded from its own seconds and the total from their sum: three projects of
    // 20 s and 59.5 minutes of none add up to 1:00 and 1.02 as shown, but are 1:01 and 1.01.
    const ReportSums fortnight = sumReport({{L"", &rows}}, reportRange(Kind::last14Days, d, {}));
    std::wstring table;
    for (const ReportTableRow& row : projectTableRows(fortnight))
        table += row.name + L" " + row.time + L" " + row.hours + L" " + row.share + L"|";
    EXPECT_EQ(table, L"Acme 0:00 0.01 1%|a.exe 0:00 0.01 |Beta 0:00 0.01 1%|b.exe 0:00 0.01 |"
                     L"Gamma 0:00 0.01 1%|a.exe 0:00 0.01 |No project 1:00 0.99 98%|a.exe 1:00 0.99 |"
                     L"Total 1:01 1.01 100%|");

    const ReportSums all = sumReport({{L"", &rows}}, reportRange(Kind::allTime, d, workedDays({{L"", &rows}})));
    ASSERT_EQ(all.bars.size(), 3u) << "October from the 28th, November, December to the 7th";
    EXPECT_EQ(all.bars[0].seconds, 7200);
    EXPECT_EQ(all.bars[1].seconds, 0);
    EXPECT_EQ(all.bars[2].seconds, 3630);
    EXPECT_EQ(dayTableRows(all).size(), 3u) << "by month, only the days with work";
}

// Billed hours, rate and amount beside the exact hours, in the user's marks; budgets over every
// day; a project without a rate has its hours and no amount.
TEST(ReportSums, BilledHoursRatesAmountsAndBudgetsInTheTable) {
    const DayNumber d = day(2026, 12, 7);
    const std::vector<HistoryRow> mine = {{d, L"a.exe", 301, L"Acme"}, {d - 1, L"a.exe", 5400, L"Globex"},
                                          {d - 30, L"a.exe", 36000, L"Acme"}, {d, L"n.exe", 60}};
    const std::vector<HistoryRow> other = {{d, L"b.exe", 300, L"ACME"}};
    const RateSettings rates{L"EUR", 15, {{L"acme", 12000000, 100000}, {L"Globex", std::nullopt, std::nullopt}}};
    const ReportSums sums = sumReport({{L"this", &mine}, {L"other", &other}}, reportRange(Kind::last14Days, d, {}), rates);
    std::wstring table;
    for (const ReportTableRow& row : projectTableRows(sums, {L",", L"."}))
        if (row.kind != ReportTableRow::Kind::program)
            table += row.name + L" " + row.hours + L" " + row.billed + L" " + row.rate + L" " + row.amount + L" " +
                     row.budgetUsed + L" " + row.budgetLeft + (row.overBudget ? L" over|" : L"|");
    EXPECT_EQ(table, L"Globex 1,50 1,50    |Acme 0,17 0,25 1.200,00 300,00 EUR 10,25 -0,25 over|"
                     L"No project 0,02 0,25    |Total 1,68 2,00  300,00 EUR  |");
    EXPECT_TRUE(showsBilling(sums));
    EXPECT_TRUE(showsBudgets(sums));
    EXPECT_NE(billingRuleText(sums).find(L"rounded up to 15 minutes"), std::wstring::npos);

    const std::string html = reportHtml(sums, {false, {d, 3600}, {L",", L"."}});
    for (const char* shown : {"<th scope=\"col\" class=\"num\">Amount</th>", "<tr class=\"project over\">",
                              "amount <strong>300,00 EUR</strong>", "rounded up to 15 minutes"})
        EXPECT_NE(html.find(shown), std::string::npos) << shown;

    // Without rates or rounding the table is as it was.
    const ReportSums plain = sumReport({{L"this", &mine}}, reportRange(Kind::last14Days, d, {}));
    EXPECT_FALSE(showsBilling(plain));
    EXPECT_FALSE(showsBudgets(plain));
    EXPECT_EQ(reportHtml(plain, {false, {d, 3600}}).find("Billed"), std::string::npos);
}

// Everything sums hold, as text, to compare sums made in two ways.
std::wstring everything(const ReportSums& sums) {
    std::wstring text = std::to_wstring(sums.total) + L"|";
    for (const ProjectSum& project : sums.projects) {
        text += project.project + L"=" + std::to_wstring(project.seconds);
        for (const ProgramSum& program : project.programs)
            text += L"," + program.program + L":" + std::to_wstring(program.seconds);
        text += L";";
    }
    for (const PeriodSum& bar : sums.bars) {
        text += L"|" + std::to_wstring(bar.seconds);
        for (const std::int64_t part : bar.byProject) text += L"," + std::to_wstring(part);
    }
    for (const auto& [day, seconds] : sums.workedDays) text += L"|" + isoDate(day) + L":" + std::to_wstring(seconds);
    for (const PcSum& pc : sums.pcs) text += L"|" + pc.name + L":" + std::to_wstring(pc.seconds);
    text += L"|" + std::to_wstring(sums.billing.totalCents());
    // The billing's own order is the order rows came in, which the table never shows.
    for (const ProjectSum& project : sums.projects) {
        const ProjectBill* bill = sums.billing.find(project.project);
        text += L"|" + bill->project + L":" + std::to_wstring(bill->billed) + L"," + std::to_wstring(bill->billedEver);
    }
    for (const BilledUnit& unit : sums.billing.units())
        text += L"|" + isoDate(unit.day) + L" " + unit.project + L" " + std::to_wstring(unit.billed);
    return text;
}

// Seconds counted while the window is open are added to its sums as they come; the sums are then
// what summing every row anew would give.
TEST(ReportSums, SecondsAddedAsTheyComeGiveWhatSummingAnewGives) {
    const DayNumber d = day(2026, 12, 7);
    const RateSettings rates{L"EUR", 6, {{L"Acme", 800000, 20000}}};
    const std::vector<HistoryRow> other = {{d - 1, L"a.exe", 400, L"Beta"}, {d - 40, L"a.exe", 3600, L"Acme"}};
    const struct {
        const char* name;
        std::vector<HistoryRow> mine, counted;
    } cases[] = {
        {"a second more of a program and project there already", {{d, L"a.exe", 10, L"Acme"}}, {{d, L"a.exe", 1, L"Acme"}}},
        {"a new project overtakes the others", {{d, L"a.exe", 10, L"Acme"}},
         {{d, L"b.exe", 300, L"Zed"}, {d, L"b.exe", 200, L"Zed"}}},
        {"another spelling of a project and a program", {{d, L"Photoshop.exe", 10, L"Acme"}},
         {{d, L"photoshop.EXE", 5, L"ACME"}}},
        {"no project stays last", {{d, L"a.exe", 10, L"Acme"}}, {{d, L"n.exe", 900, L""}, {d, L"a.exe", 1, L"Acme"}}},
        {"a new day, and a day outside the range for the budget alone", {},
         {{d, L"a.exe", 1, L"Acme"}, {d - 20, L"a.exe", 30, L"Acme"}, {d, L"a.exe", 0, L"Gone"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ReportRange range = reportRange(Kind::last14Days, d, {});
        ReportSums added = sumReport({{L"this", &c.mine}, {L"other", &other}}, range, rates);
        std::vector<HistoryRow> all = c.mine;
        for (const HistoryRow& row : c.counted) {
            addToReport(added, 0, row.day, row.program, row.project, row.seconds);
            all.push_back(row);
        }
        const ReportSums anew = sumReport({{L"this", &all}, {L"other", &other}}, range, rates);
        EXPECT_EQ(toUtf8(everything(added)), toUtf8(everything(anew)));
    }
}

TEST(ReportFigures, EachRoundedToTheNearestMinuteAndHundredthAHalfUpwards) {
    const struct {
        std::int64_t seconds;
        const wchar_t *time, *hours;
    } cases[] = {
        {0, L"0:00", L"0.00"},           {17, L"0:00", L"0.00"},       {18, L"0:00", L"0.01"},
        {29, L"0:00", L"0.01"},          {30, L"0:01", L"0.01"},       {3569, L"0:59", L"0.99"},
        {3570, L"1:00", L"0.99"},        {16200, L"4:30", L"4.50"},    {16218, L"4:30", L"4.51"},
        {359999, L"100:00", L"100.00"},  {1234567, L"342:56", L"342.94"}, {-5, L"0:00", L"0.00"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(hoursMinutesText(c.seconds), c.time) << c.seconds;
        EXPECT_EQ(decimalHoursText(c.seconds), c.hours) << c.seconds;
    }
    const struct {
        std::int64_t part, whole;
        const wchar_t* share;
    } shares[] = {{1, 200, L"1%"}, {1, 201, L"<1%"}, {0, 100, L"0%"}, {2, 3, L"67%"}, {1, 3, L"33%"}, {5, 0, L""}};
    for (const auto& s : shares) EXPECT_EQ(shareText(s.part, s.whole), s.share) << s.part << "/" << s.whole;
}

TEST(ReportHtml, NamesShowAsTypedAndNothingLoads) {
    EXPECT_EQ(htmlText(L"<b>&\"x\" 'y'"), "&lt;b&gt;&amp;&quot;x&quot; &#39;y&#39;");
    EXPECT_EQ(htmlText(L"Caf\u00e9\x01\x85\tz"), "Caf\xC3\xA9\xEF\xBF\xBD\xEF\xBF\xBD\tz");

    const DayNumber d = day(2026, 12, 7);
    const std::vector<HistoryRow> rows = {{d, L"a<script>.exe", 3600, L"<b>&\"x\""}, {d, L"n.exe", 60}};
    const ReportSums sums = sumReport({{L"<i>PC</i>", &rows}}, reportRange(Kind::last14Days, d, {}));
    const std::string html = reportHtml(sums, {true, {d, 3600}});
    for (const char* raw : {"<b>", "<script", "<i>", "\"x\"", "http", "src=", "href=", "url(", "@import", "<link"})
        EXPECT_EQ(html.find(raw), std::string::npos) << raw;
    const auto count = [&](const std::string& text) {
        std::size_t n = 0;
        for (std::size_t at = html.find(text); at != std::string::npos; at = html.find(text, at + 1)) ++n;
        return n;
    };
    EXPECT_EQ(count("&lt;b&gt;&amp;&quot;x&quot;"), 3u) << "the table, the legend and the chart's bar";
    EXPECT_EQ(count("a&lt;script&gt;.exe"), 1u);
    EXPECT_EQ(count("&lt;i&gt;PC&lt;/i&gt;"), 1u);
    EXPECT_EQ(fromUtf8(html).find(L"\uFFFD"), std::wstring::npos) << "well-formed UTF-8";
}

}  // namespace
