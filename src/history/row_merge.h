#pragma once

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <vector>

// Rows added to a history in date order, many at once, as adding them one by one would: each
// to the row of its day and key (program and project) when there is one, else after the rows of
// its day in the order they came. A day of thousands of rows (a spreadsheet's export, a journal
// kept through a long outage) would cost the square of its rows one by one; here each touched day
// is sorted once, so a merge costs n log n.
//
// `dayOf(row)` gives a row's day; `keyLess(a, b)` orders rows by key alone; `absorb(into, row)`
// adds `row` to the row of its key `into` (false: it was refused, and `refuse(row)` is told).
// Rows already there whose key repeats within a day (none should) take the added rows into the
// last of them, as the one-by-one rule found it.
template <class Row, class DayOf, class KeyLess, class Absorb, class Refuse>
void mergeIntoDays(std::vector<Row>& rows, std::vector<Row> added, DayOf dayOf, KeyLess keyLess, Absorb absorb,
                   Refuse refuse) {
    if (added.empty()) return;
    const auto byDay = [&](const Row& a, const Row& b) { return dayOf(a) < dayOf(b); };
    if (!std::is_sorted(added.begin(), added.end(), byDay)) std::stable_sort(added.begin(), added.end(), byDay);
    // The days before the first added one stay as they are.
    const auto tailStart = std::lower_bound(rows.begin(), rows.end(), added.front(), byDay);
    std::vector<Row> tail(std::make_move_iterator(tailStart), std::make_move_iterator(rows.end()));
    rows.erase(tailStart, rows.end());

    struct Entry {
        Row* row;
        bool added;
        bool absorbed;
    };
    std::vector<Entry> entries;
    std::vector<std::size_t> order;
    std::size_t t = 0, a = 0;
    while (t < tail.size() || a < added.size()) {
        const bool fromTail = a == added.size() || (t < tail.size() && dayOf(tail[t]) < dayOf(added[a]));
        const auto day = fromTail ? dayOf(tail[t]) : dayOf(added[a]);
        const std::size_t t0 = t, a0 = a;
        while (t < tail.size() && dayOf(tail[t]) == day) ++t;
        while (a < added.size() && dayOf(added[a]) == day) ++a;
        if (a == a0) {  // nothing added to this day
            for (std::size_t i = t0; i < t; ++i) rows.push_back(std::move(tail[i]));
            continue;
        }
        entries.clear();
        for (std::size_t i = t0; i < t; ++i) entries.push_back({&tail[i], false, false});
        for (std::size_t i = a0; i < a; ++i) entries.push_back({&added[i], true, false});
        order.resize(entries.size());
        for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
        // Stable: within a key, the rows there come first, then the added ones as they came.
        std::stable_sort(order.begin(), order.end(),
                         [&](std::size_t x, std::size_t y) { return keyLess(*entries[x].row, *entries[y].row); });
        for (std::size_t g = 0; g < order.size();) {
            std::size_t end = g + 1;
            while (end < order.size() && !keyLess(*entries[order[g]].row, *entries[order[end]].row)) ++end;
            std::size_t keeper = g;  // the last row that was there, else the first added
            for (std::size_t i = g; i < end && !entries[order[i]].added; ++i) keeper = i;
            for (std::size_t i = keeper + 1; i < end; ++i) {
                Entry& entry = entries[order[i]];
                entry.absorbed = true;
                if (!absorb(*entries[order[keeper]].row, *entry.row)) refuse(*entry.row);
            }
            g = end;
        }
        for (Entry& entry : entries)
            if (!entry.absorbed) rows.push_back(std::move(*entry.row));
    }
}
