// Measures reading and merging a history with many rows on one day: 20,000 rows of one day (a
// spreadsheet's export pasted in: 10,000 programs, each written twice),
// parsed as history.csv, added to a history at once, packed and compared as sharing does.
// Before days were sorted once, each of these cost the square of the day's rows.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "history/history_file.h"
#include "history/packed_history.h"

namespace {

constexpr int kRows = 20000;
constexpr DayNumber kDay = 20'794;  // 2026-12-07

template <class F>
double millisecondsOf(F f) {
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main() {
    std::vector<HistoryRow> rows;
    for (int i = 0; i < kRows; ++i)
        rows.push_back({kDay, L"program" + std::to_wstring(i % (kRows / 2)) + L".exe", 60, L"Project " + std::to_wstring(i % (kRows / 2) % 7)});
    const std::string text = formatHistoryText(rows);

    HistoryText parsed;
    const double parse = millisecondsOf([&] { parsed = parseHistoryText(text); });
    std::vector<HistoryRow> merged(parsed.rows.begin(), parsed.rows.begin() + 1);
    const double add = millisecondsOf([&] { addToHistory(merged, rows); });
    PackedHistory packed;
    const double pack = millisecondsOf([&] { packed.add(rows); });
    bool covered = false;
    const double cover = millisecondsOf([&] { covered = packed.covers(PackedHistory(parsed.rows)); });

    std::printf("%d rows of one day, %zu after merging\n", kRows, parsed.rows.size());
    std::printf("parse history.csv:   %8.1f ms\n", parse);
    std::printf("add to a history:    %8.1f ms\n", add);
    std::printf("pack:                %8.1f ms\n", pack);
    std::printf("pack again + covers: %8.1f ms\n", cover);
    const bool right = parsed.rows.size() == merged.size() && covered && packed.rows().size() == merged.size();
    std::printf("%s\n", right ? "results agree" : "RESULTS DISAGREE");
    return right ? 0 : 1;
}
