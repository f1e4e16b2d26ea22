#include "history/history_table.h"

#include <algorithm>
#include <array>

#include "history/report_table.h"

namespace {

// A line of a table: its name and its figures.
struct TableLine {
    enum class Kind { project, program, total, pc };
    std::wstring name;
    std::vector<std::wstring> figures;  // time, hours, share; billed, rate, amount; budget used, left
    Kind kind = Kind::pc;
    int project = -1;  // the swatch's project on a project's line
    bool warning = false;  // red: past its budget
};

TableLine::Kind lineKind(ReportTableRow::Kind kind) {
    switch (kind) {
    case ReportTableRow::Kind::project: return TableLine::Kind::project;
    case ReportTableRow::Kind::program: return TableLine::Kind::program;
    case ReportTableRow::Kind::total: return TableLine::Kind::total;
    }
    return TableLine::Kind::program;
}

// The least room a name is left before figures give way to it.
constexpr int nameRoom = 100;

// The right edges of the figure columns, and where the names must end.
struct Columns {
    std::vector<std::wstring> heads;
    std::vector<int> right;
    int nameRight = 0;
};

Columns columnsFor(std::vector<std::wstring> heads, const std::vector<std::vector<TableLine>>& tables, int left,
                   int right, const TextWidth& measure, const Scaled& px) {
    const ChartMetrics m;
    const std::size_t count = heads.size();
    // Bold lines measure wider than the small font says; a tenth more keeps them whole.
    std::vector<int> widths(count);
    for (std::size_t c = 0; c < count; ++c) widths[c] = measure(heads[c]);
    for (const auto& lines : tables)
        for (const TableLine& line : lines)
            for (std::size_t c = 0; c < count && c < line.figures.size(); ++c)
                widths[c] = std::max(widths[c], measure(line.figures[c]) * 11 / 10 + px(1));
    Columns columns;
    columns.heads = std::move(heads);
    columns.right.resize(count);
    int x = right;
    for (std::size_t c = count; c-- > 0;) {
        columns.right[c] = x;
        x -= widths[c] + px(m.gap);
    }
    columns.nameRight = std::max(left, x);
    return columns;
}

int layoutTable(ChartBody& body, const std::wstring& head, const std::vector<TableLine>& lines,
                const Columns& columns, const ReportSums& sums, int left, int top, int right, const Scaled& px) {
    const ChartMetrics m;
    const int row = px(m.row), indent = px(m.swatch) + px(m.afterSwatch);
    const auto cell = [&](const std::wstring& text, int cellLeft, int cellRight, int y, ChartText::Align align,
                          bool bold, ChartText::Tone tone) {
        ChartText t{text, {cellLeft, y, std::max(cellLeft, cellRight), y + row}, align};
        t.ellipsis = align == ChartText::Align::left;
        t.bold = bold;
        t.tone = tone;
        body.texts.push_back(std::move(t));
    };
    const auto figureLeft = [&](std::size_t c) { return c == 0 ? columns.nameRight : columns.right[c - 1]; };

    int y = top;
    cell(head, left, columns.nameRight, y, ChartText::Align::left, false, ChartText::Tone::label);
    for (std::size_t c = 0; c < columns.heads.size(); ++c)
        cell(columns.heads[c], figureLeft(c), columns.right[c], y, ChartText::Align::right, false,
             ChartText::Tone::label);
    y += row;
    body.rules.push_back({left, y - 1, right, y});
    for (const TableLine& line : lines) {
        const bool project = line.kind == TableLine::Kind::project;
        const bool total = line.kind == TableLine::Kind::total;
        if (total) body.rules.push_back({left, y, right, y + 1});
        if (project) {
            body.bands.push_back({left, y, right, y + row});
            const int swatchTop = y + (row - px(m.swatch)) / 2;
            body.swatches.push_back({{left, swatchTop, left + px(m.swatch), swatchTop + px(m.swatch)},
                                     projectColour(static_cast<std::size_t>(line.project),
                                                   sums.projects[static_cast<std::size_t>(line.project)].project.empty()),
                                     line.project});
        }
        // Programs stand under their project's name; projects after their colour.
        const int nameLeft = line.kind == TableLine::Kind::program || project ? left + indent : left;
        const ChartText::Tone tone = line.warning ? ChartText::Tone::warning : ChartText::Tone::text;
        cell(line.name, nameLeft, columns.nameRight, y, ChartText::Align::left, project || total, tone);
        for (std::size_t c = 0; c < columns.heads.size() && c < line.figures.size(); ++c)
            cell(line.figures[c], figureLeft(c), columns.right[c], y, ChartText::Align::right, project || total, tone);
        y += row;
    }
    return y;
}

}  // namespace

int layoutReportTables(ChartBody& body, const ReportSums& sums, bool shared, int left, int top, int right,
                       const TextWidth& measure, const Scaled& px, const NumberMarks& marks) {
    const bool billing = showsBilling(sums), budgets = showsBudgets(sums);
    std::vector<std::wstring> heads{L"Time", L"Hours", L"Share"};
    if (billing) heads.insert(heads.end(), {L"Billed", L"Rate", L"Amount"});
    if (budgets) heads.insert(heads.end(), {L"Used", L"Left"});
    std::vector<std::vector<TableLine>> tables(1);
    for (const ReportTableRow& row : projectTableRows(sums, marks)) {
        TableLine line{row.name, {row.time, row.hours, row.share}, lineKind(row.kind), row.project, row.overBudget};
        if (billing) line.figures.insert(line.figures.end(), {row.billed, row.rate, row.amount});
        if (budgets) line.figures.insert(line.figures.end(), {row.budgetUsed, row.budgetLeft});
        tables[0].push_back(std::move(line));
    }
    if (shared) {
        tables.emplace_back();
        for (const ReportPcRow& row : pcTableRows(sums))
            tables[1].push_back({row.name, {row.time, row.hours, row.share}});
    }
    // One set of columns for both tables, so that their figures stand under each other. A window
    // too narrow for every billing figure leaves out the ones an invoice needs least, until the
    // names have room again; the amount and the billed hours stay.
    Columns columns = columnsFor(heads, tables, left, right, measure, px);
    for (const wchar_t* dropped : {L"Used", L"Rate", L"Left", L"Share", L"Time"}) {
        if (!billing && !budgets) break;
        if (columns.nameRight - left >= px(nameRoom)) break;
        const auto at = std::find(heads.begin(), heads.end(), dropped);
        if (at == heads.end()) continue;
        const auto place = static_cast<std::size_t>(at - heads.begin());
        heads.erase(at);
        for (auto& lines : tables)
            for (TableLine& line : lines)
                if (place < line.figures.size()) line.figures.erase(line.figures.begin() + static_cast<std::ptrdiff_t>(place));
        columns = columnsFor(heads, tables, left, right, measure, px);
    }
    int y = layoutTable(body, L"Project and program", tables[0], columns, sums, left, top, right, px);
    if (shared) y = layoutTable(body, L"PC", tables[1], columns, sums, left, y + px(ChartMetrics().gap), right, px);
    return y;
}
