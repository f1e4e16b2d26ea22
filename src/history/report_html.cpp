#include "history/report_html.h"

#include <cstdio>

#include "common/text.h"
#include "history/report_table.h"

namespace {

// Screen: a column of comfortable width that narrows with the window. Print: the page's width
// between margins that A4 (210 mm) and Letter (216 x 279 mm) both leave, small type, the
// colours kept, and no line, bar chart or legend entry cut in two at a page's end.
const char* const style = R"(
:root { color-scheme: light; }
* { box-sizing: border-box; }
body { margin: 2rem auto; max-width: 48rem; padding: 0 1rem; color: #1e2226; background: #fff;
  font: 15px/1.45 "Segoe UI", system-ui, -apple-system, "Helvetica Neue", Arial, sans-serif; }
header { border-bottom: 2px solid #46708f; padding-bottom: .6rem; margin-bottom: 1.2rem; }
.app { margin: 0; color: #46708f; font-weight: 600; letter-spacing: .02em; }
h1 { margin: .1rem 0 .5rem; font-size: 1.55rem; font-weight: 600; }
p.total { margin: 0; font-size: 1.15rem; }
p.total strong { font-size: 1.6rem; font-variant-numeric: tabular-nums; }
.written, .note, .empty { margin: .3rem 0 0; color: #5a5e64; font-size: .85rem; }
figure { margin: 0 0 1.2rem; }
figcaption, caption { text-align: left; font-weight: 600; font-size: 1.05rem; padding: 0 0 .4rem; }
svg { display: block; width: 100%; height: auto; }
.legend { list-style: none; display: flex; flex-wrap: wrap; gap: .2rem 1.2rem; margin: .4rem 0 0;
  padding: 0 0 0 8%; font-size: .9rem; }
.legend li { overflow-wrap: anywhere; }
.swatch { display: inline-block; width: .8em; height: .8em; margin-right: .4em; border-radius: 2px;
  vertical-align: -.05em; }
table { width: 100%; table-layout: fixed; border-collapse: collapse; margin: 0 0 1.4rem;
  font-variant-numeric: tabular-nums; }
th, td { padding: .28rem .5rem; border-bottom: 1px solid #e3e6ea; text-align: left; vertical-align: top; }
thead th { border-bottom: 2px solid #969ca4; color: #3c4046; font-size: .85rem; font-weight: 600; }
th[scope=row], th[scope=rowgroup] { overflow-wrap: anywhere; font-weight: 400; }
.num { text-align: right; width: 17%; }
tr.project th, tr.project td { font-weight: 600; border-top: 1px solid #c6cbd1; }
tr.program th { padding-left: 2.1rem; font-weight: 400; color: #3c4046; }
tr.program td { color: #3c4046; }
tr.total th, tr.total td { font-weight: 700; border-top: 2px solid #1e2226; border-bottom: 0; }
tr.idle td, tr.idle th { color: #8a9097; font-weight: 400; }
table.billing { font-size: .9rem; table-layout: auto; }
table.billing th[scope=row], table.billing th[scope=rowgroup] { overflow-wrap: break-word; }
table.billing .num { width: 11%; }
table.billing td.num { white-space: nowrap; }
table.billing.budgets .num { width: 9%; }
tr.over th, tr.over td { color: #b3261e; }
table.days th[scope=row], table.days th:first-child { width: 9em; white-space: nowrap; }
@media (max-width: 36rem) {
  body { margin: 1rem auto; padding: 0 .5rem; font-size: 14px; }
  th, td { padding: .25rem .3rem; }
  tr.program th { padding-left: 1.1rem; }
  table.days th[scope=row], table.days th:first-child { width: 7.5em; }
}
@page { margin: 16mm 15mm; }
@media print {
  body { margin: 0; max-width: none; padding: 0; font-size: 9.5pt; }
  * { -webkit-print-color-adjust: exact; print-color-adjust: exact; }
  header { margin-bottom: 4mm; }
  figure, tr, .legend li, p.total, table.whole { break-inside: avoid; }
  figcaption, caption, h1 { break-after: avoid; }
  thead { display: table-header-group; }
  th, td { padding: .16rem .4rem; }
  table { margin-bottom: 5mm; }
}
)";

void append(std::string& html, const std::wstring& text) { html += htmlText(text); }

std::string colourStyle(const ReportColour& colour) {
    char text[40];
    std::snprintf(text, sizeof text, "background:#%02x%02x%02x", colour.red & 0xff, colour.green & 0xff,
                  colour.blue & 0xff);
    return text;
}

std::string swatch(const ReportSums& sums, int project) {
    const auto place = static_cast<std::size_t>(project);
    return "<span class=\"swatch\" aria-hidden=\"true\" style=\"" +
           colourStyle(projectColour(place, sums.projects[place].project.empty())) + "\"></span>";
}

// A table's start: its caption and its column headers, the first `textColumns` of them over
// text and the rest over figures. A table short enough to fit a page is kept on one.
void tableStart(std::string& html, const char* name, const char* caption, std::size_t lines,
                const std::vector<const char*>& columns, int textColumns = 1, const char* more = "") {
    constexpr std::size_t linesOnAPage = 36;
    html += std::string("<table class=\"") + name + more + (lines <= linesOnAPage ? " whole" : "") + "\"><caption>" +
            caption + "</caption>\n<thead><tr>";
    int column = 0;
    for (const char* header : columns)
        html += std::string(column++ < textColumns ? "<th scope=\"col\">" : "<th scope=\"col\" class=\"num\">") +
                header + "</th>";
    html += "</tr></thead>\n";
}

void cells(std::string& html, std::initializer_list<const std::wstring*> texts) {
    for (const std::wstring* text : texts) {
        html += "<td class=\"num\">";
        append(html, *text);
        html += "</td>";
    }
}

void projectTable(std::string& html, const ReportSums& sums, const NumberMarks& marks) {
    const std::vector<ReportTableRow> rows = projectTableRows(sums, marks);
    const bool billing = showsBilling(sums), budgets = showsBudgets(sums);
    std::vector<const char*> columns{"Project and program", "Time (h:mm)", "Hours", "Share"};
    if (billing) columns.insert(columns.end(), {"Billed hours", "Rate", "Amount"});
    if (budgets) columns.insert(columns.end(), {"Budget used", "Budget left"});
    tableStart(html, "projects", "Time by project and program", rows.size(), columns, 1,
               billing || budgets ? (budgets ? " billing budgets" : " billing") : "");
    bool open = false;
    const std::wstring none;
    for (const ReportTableRow& row : rows) {
        // Each project with its programs is a group of rows that the project's name heads.
        if (row.kind != ReportTableRow::Kind::program) {
            if (open) html += "</tbody>\n";
            html += "<tbody>";
            open = true;
        }
        switch (row.kind) {
        case ReportTableRow::Kind::project:
            html += std::string(row.overBudget ? "<tr class=\"project over\">" : "<tr class=\"project\">") +
                    "<th scope=\"rowgroup\">" + swatch(sums, row.project);
            break;
        case ReportTableRow::Kind::program: html += "<tr class=\"program\"><th scope=\"row\">"; break;
        case ReportTableRow::Kind::total: html += "<tr class=\"total\"><th scope=\"row\">"; break;
        }
        append(html, row.name);
        html += "</th>";
        cells(html, {&row.time, &row.hours, row.kind == ReportTableRow::Kind::program ? &none : &row.share});
        if (billing) cells(html, {row.kind == ReportTableRow::Kind::program ? &none : &row.billed, &row.rate, &row.amount});
        if (budgets) cells(html, {&row.budgetUsed, &row.budgetLeft});
        html += "</tr>\n";
    }
    html += "</tbody></table>\n";
    if (billing || budgets) {
        html += "<p class=\"note\">";
        append(html, billingRuleText(sums));
        html += "</p>\n";
    }
}

void pcTable(std::string& html, const ReportSums& sums) {
    const std::vector<ReportPcRow> rows = pcTableRows(sums);
    tableStart(html, "pcs", "Time by PC", rows.size(), {"PC", "Time (h:mm)", "Hours", "Share"});
    html += "<tbody>";
    for (const ReportPcRow& row : rows) {
        html += "<tr><th scope=\"row\">";
        append(html, row.name);
        html += "</th>";
        cells(html, {&row.time, &row.hours, &row.share});
        html += "</tr>\n";
    }
    html += "</tbody></table>\n";
}

void dayTable(std::string& html, const ReportSums& sums) {
    const bool byMonth = reportBarUnit(sums.range) == ReportBarUnit::month;
    const std::vector<ReportDayRow> rows = dayTableRows(sums);
    tableStart(html, "days", byMonth ? "Days with work" : "Time by day", rows.size(),
               {"Date", "Day", "Time (h:mm)", "Hours"}, 2);
    html += "<tbody>";
    for (const ReportDayRow& row : rows) {
        html += row.worked ? "<tr><th scope=\"row\">" : "<tr class=\"idle\"><th scope=\"row\">";
        append(html, row.date);
        html += "</th><td>";
        append(html, row.weekday);
        html += "</td>";
        cells(html, {&row.time, &row.hours});
        html += "</tr>\n";
    }
    html += "</tbody></table>\n";
}

void chart(std::string& html, const ReportSums& sums) {
    html += "<figure>";
    html += reportBarUnit(sums.range) == ReportBarUnit::month ? "<figcaption>Time by month</figcaption>"
                                                              : "<figcaption>Time by day</figcaption>";
    html += reportChartSvg(sums);
    if (!sums.projects.empty()) {
        html += "\n<ul class=\"legend\" aria-label=\"Projects\">";
        for (std::size_t i = 0; i < sums.projects.size(); ++i) {
            html += "<li>" + swatch(sums, static_cast<int>(i));
            append(html, projectTitle(sums.projects[i].project));
            html += "</li>";
        }
        html += "</ul>";
    }
    html += "</figure>\n";
}

std::wstring writtenText(LocalMoment moment) {
    wchar_t time[8];
    std::swprintf(time, 8, L"%02d:%02d", moment.secondOfDay / 3600 % 24, moment.secondOfDay / 60 % 60);
    return L"Written " + isoDate(moment.day) + L" " + time + L" by Ardeno Time";
}

}  // namespace

std::string htmlText(const std::wstring& text) {
    std::wstring escaped;
    escaped.reserve(text.size());
    for (const wchar_t c : text) {
        switch (c) {
        case L'&': escaped += L"&amp;"; break;
        case L'<': escaped += L"&lt;"; break;
        case L'>': escaped += L"&gt;"; break;
        case L'"': escaped += L"&quot;"; break;
        case L'\'': escaped += L"&#39;"; break;
        default:
            const bool control = (c < 0x20 && c != L'\t' && c != L'\n' && c != L'\r') || (c >= 0x7f && c < 0xa0);
            escaped += control ? L'\uFFFD' : c;
        }
    }
    return toUtf8(escaped);
}

std::string reportHtml(const ReportSums& sums, const ReportOptions& options) {
    std::string html = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
                       "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>";
    // The title is what a browser offers as the name of a PDF printed from the report.
    append(html, reportFileName(sums.range).substr(0, reportFileName(sums.range).size() - 5));
    html += "</title>\n<style>";
    html += style;
    html += "</style>\n</head>\n<body>\n<header>\n<p class=\"app\">Ardeno Time: work time report</p>\n<h1>";
    append(html, reportHeading(sums.range));
    html += "</h1>\n<p class=\"total\">Total <strong>";
    append(html, hoursMinutesText(sums.total));
    html += "</strong> (";
    append(html, hoursText(sums.total, 2, options.marks));
    html += " hours)";
    if (sums.billing.anyAmount()) {
        html += ", amount <strong>";
        append(html, projectTableRows(sums, options.marks).back().amount);
        html += "</strong>";
    }
    html += "</p>\n<p class=\"written\">";
    append(html, writtenText(options.written));
    html += "</p>\n</header>\n<main>\n";
    if (sums.total == 0) html += "<p class=\"empty\">No work time was counted in these days.</p>\n";
    chart(html, sums);
    projectTable(html, sums, options.marks);
    if (options.shared) pcTable(html, sums);
    dayTable(html, sums);
    html += "<p class=\"note\">Times are rounded to the nearest minute and decimal hours to the nearest hundredth of "
            "an hour (36 seconds), a half upwards, each from its own seconds: a total is rounded from the sum of "
            "its seconds, so the rounded lines above it may add up to a minute or a hundredth more or less.</p>\n";
    html += "</main>\n</body>\n</html>\n";
    return html;
}
