// Writes the report of literal rows with the production code, for tests/report/in-browser.sh
// to open in a real browser: two PCs sharing, four projects (one named like markup, one with
// letters beyond ASCII, and none), a program spelt in two letter cases, a row before the range.
// With "billed", the last 14 days priced: Acme logo at 80 EUR an hour with a budget of 20 hours,
// Café Müller at 65.50, billed in quarter hours.
// Usage: sample_report OUT.html [all-time | billed]
#include <cstdio>
#include <string>

#include "history/report_html.h"

namespace {

DayNumber day(int year, int month, int dayOfMonth) { return dayNumber({year, month, dayOfMonth}).value(); }

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: sample_report OUT.html [all-time | billed]\n");
        return 2;
    }
    const std::wstring acme = L"Acme logo", markup = L"<b>&\"x\"", cafe = L"Caf\u00e9 M\u00fcller";
    const std::vector<HistoryRow> studio = {
        {day(2024, 7, 2), L"photoshop.exe", 5400, acme},
        {day(2025, 3, 15), L"blender.exe", 9000, cafe},
        {day(2026, 11, 29), L"photoshop.exe", 9999, acme},
        {day(2026, 11, 30), L"photoshop.exe", 10800, acme},
        {day(2026, 11, 30), L"notepad.exe", 1800, markup},
        {day(2026, 12, 1), L"photoshop.exe", 8100, acme},
        {day(2026, 12, 2), L"notepad.exe", 3600},
        {day(2026, 12, 3), L"photoshop.exe", 14400, cafe},
        {day(2026, 12, 4), L"notepad.exe", 2700, markup},
        {day(2026, 12, 7), L"photoshop.exe", 18000, acme},
        {day(2026, 12, 8), L"blender.exe", 12600, cafe},
        {day(2026, 12, 10), L"photoshop.exe", 3600, acme},
        {day(2026, 12, 11), L"notepad.exe", 900},
    };
    const std::vector<HistoryRow> laptop = {
        {day(2026, 12, 9), L"Photoshop.exe", 7200, acme},
        {day(2026, 12, 12), L"notepad.exe", 3601, markup},
    };
    const std::vector<ChartPc> pcs = {{L"STUDIO", &studio}, {L"LAPTOP <2>", &laptop}};
    const DayNumber today = day(2026, 12, 13);
    const bool allTime = argc > 2 && std::string(argv[2]) == "all-time";
    const ReportRange range = reportRange(allTime ? ReportRangeKind::allTime : ReportRangeKind::last14Days, today,
                                          workedDays(pcs));
    RateSettings rates;
    if (argc > 2 && std::string(argv[2]) == "billed") {
        rates.currency = L"EUR";
        rates.roundingMinutes = 15;
        rates.projects = {{acme, 80 * rateScale, 20 * rateScale}, {cafe, 655 * rateScale / 10, std::nullopt}};
    }
    const std::string html = reportHtml(sumReport(pcs, range, rates), {true, {today, 15 * 3600 + 30 * 60}});
    std::FILE* file = std::fopen(argv[1], "wb");
    if (!file || std::fwrite(html.data(), 1, html.size(), file) != html.size() || std::fclose(file) != 0) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
