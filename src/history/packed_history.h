#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "history/history_file.h"

// A history kept to be read, in little memory: other PCs' histories, and this PC's as it is
// handed to sharing. Twenty years of a busy freelancer's projects are some 73,000 rows; as
// HistoryRow (two strings each) they take about 13 MB, packed about 1.2 MB: each row four
// numbers, and each program and project name once in a table that the rows point into.
struct PackedRow {
    DayNumber day = 0;
    std::uint32_t program = 0;  // places in the name table
    std::uint32_t project = 0;
    std::int32_t seconds = 0;   // up to maxRowSeconds, which fits
};

class PackedHistory {
public:
    PackedHistory() = default;
    // Not explicit: wherever a history is handed on to be read, its rows will do.
    PackedHistory(const std::vector<HistoryRow>& rows);

    // Adds `row` as addToHistory adds it: to the row of its day, program and project if there is
    // one, else after the rows of its day and of every earlier day.
    void add(const HistoryRow& row);
    // Adds every row as add would, one after the other, sorting each day they touch once.
    void add(const std::vector<HistoryRow>& rows);
    // Gives back what adding left spare, the lookup table of names among it.
    void shrink();

    const std::vector<PackedRow>& rows() const { return rows_; }
    bool empty() const { return rows_.empty(); }
    const std::wstring& name(std::uint32_t place) const { return names_[place]; }
    HistoryRow row(std::size_t index) const;
    std::vector<HistoryRow> unpacked() const;
    // What it takes of the heap once shrunk, about (while rows are added, up to twice that).
    std::size_t memoryBytes() const;

    // All programs' seconds on `day`; with `project`, those of that project (empty: of none).
    std::int64_t secondsOnDay(DayNumber day) const;
    std::int64_t projectSecondsOnDay(DayNumber day, const std::wstring& project) const;
    // The seconds of `project` over all days.
    std::int64_t projectSeconds(const std::wstring& project) const;

    // Whether this holds at least the seconds of every row of `part` (the same day, program and
    // project): `part` is an earlier copy of the same history, or a part of it.
    bool covers(const PackedHistory& part) const;

private:
    std::uint32_t place(const std::wstring& name);
    // The day's rows: [first, last) of rows_.
    std::pair<std::size_t, std::size_t> dayRows(DayNumber day) const;

    std::vector<PackedRow> rows_;
    std::vector<std::wstring> names_;
    std::vector<std::uint32_t> lookup_;  // open addressing: a place in names_ plus one, 0 for free
    std::size_t namesHeap_ = 0;          // what the names take beyond their strings
};

bool operator==(const PackedHistory& a, const PackedHistory& b);

// Calls `f(day, program, seconds, project)` for every row of `pc`, whichever form it is in.
template <class F>
void forEachRow(const ChartPc& pc, F f) {
    if (pc.rows)
        for (const HistoryRow& row : *pc.rows) f(row.day, row.program, row.seconds, row.project);
    if (pc.packed)
        for (const PackedRow& row : pc.packed->rows())
            f(row.day, pc.packed->name(row.program), std::int64_t{row.seconds}, pc.packed->name(row.project));
}

// The text of history.csv's format with these rows, as formatHistoryText writes it.
std::string formatHistoryText(const PackedHistory& history);
