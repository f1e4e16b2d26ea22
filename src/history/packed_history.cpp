#include "history/packed_history.h"

#include <algorithm>
#include <utility>

#include "history/row_merge.h"

namespace {

std::uint32_t hashOf(const std::wstring& name) {
    std::uint32_t hash = 2166136261u;
    for (wchar_t c : name) hash = (hash ^ static_cast<std::uint32_t>(c)) * 16777619u;
    return hash;
}

// The heap a string takes beyond itself: none while it fits in the string's own buffer.
std::size_t heapOf(const std::wstring& text) {
    return text.capacity() > std::wstring().capacity() ? (text.capacity() + 1) * sizeof(wchar_t) : 0;
}

}  // namespace

PackedHistory::PackedHistory(const std::vector<HistoryRow>& rows) {
    add(rows);
    shrink();
}

std::uint32_t PackedHistory::place(const std::wstring& name) {
    if (lookup_.size() < 2 * (names_.size() + 1)) {
        // Kept at most half full, so that a free slot is always near.
        std::vector<std::uint32_t> larger(std::max<std::size_t>(16, lookup_.size() * 2), 0);
        for (std::uint32_t i = 0; i < names_.size(); ++i) {
            std::size_t slot = hashOf(names_[i]) & (larger.size() - 1);
            while (larger[slot]) slot = (slot + 1) & (larger.size() - 1);
            larger[slot] = i + 1;
        }
        lookup_ = std::move(larger);
    }
    std::size_t slot = hashOf(name) & (lookup_.size() - 1);
    for (; lookup_[slot]; slot = (slot + 1) & (lookup_.size() - 1))
        if (names_[lookup_[slot] - 1] == name) return lookup_[slot] - 1;
    names_.push_back(name);
    namesHeap_ += heapOf(names_.back());
    lookup_[slot] = static_cast<std::uint32_t>(names_.size());
    return lookup_[slot] - 1;
}

void PackedHistory::add(const HistoryRow& row) {
    const PackedRow packed{row.day, place(row.program), place(row.project),
                           static_cast<std::int32_t>(std::clamp<std::int64_t>(row.seconds, 0, maxRowSeconds))};
    // Rows come in date order, each day's in the order they came.
    const auto dayEnd = std::upper_bound(rows_.begin(), rows_.end(), row.day,
                                         [](DayNumber day, const PackedRow& r) { return day < r.day; });
    for (auto it = dayEnd; it != rows_.begin() && (it - 1)->day == row.day; --it) {
        if ((it - 1)->program == packed.program && (it - 1)->project == packed.project) {
            (it - 1)->seconds =
                static_cast<std::int32_t>(std::min<std::int64_t>(std::int64_t{(it - 1)->seconds} + packed.seconds,
                                                                 maxRowSeconds));
            return;
        }
    }
    rows_.insert(dayEnd, packed);
}

void PackedHistory::add(const std::vector<HistoryRow>& rows) {
    std::vector<PackedRow> added;
    added.reserve(rows.size());
    for (const HistoryRow& row : rows)
        added.push_back({row.day, place(row.program), place(row.project),
                         static_cast<std::int32_t>(std::clamp<std::int64_t>(row.seconds, 0, maxRowSeconds))});
    mergeIntoDays(
        rows_, std::move(added), [](const PackedRow& r) { return r.day; },
        [](const PackedRow& a, const PackedRow& b) {
            return a.program != b.program ? a.program < b.program : a.project < b.project;
        },
        [](PackedRow& into, const PackedRow& r) {
            into.seconds = static_cast<std::int32_t>(
                std::min<std::int64_t>(std::int64_t{into.seconds} + r.seconds, maxRowSeconds));
            return true;
        },
        [](const PackedRow&) {});
}

void PackedHistory::shrink() {
    rows_.shrink_to_fit();
    names_.shrink_to_fit();
    lookup_.clear();
    lookup_.shrink_to_fit();
}

HistoryRow PackedHistory::row(std::size_t index) const {
    const PackedRow& row = rows_[index];
    return {row.day, names_[row.program], row.seconds, names_[row.project]};
}

std::vector<HistoryRow> PackedHistory::unpacked() const {
    std::vector<HistoryRow> rows;
    rows.reserve(rows_.size());
    for (std::size_t i = 0; i < rows_.size(); ++i) rows.push_back(row(i));
    return rows;
}

std::size_t PackedHistory::memoryBytes() const {
    return rows_.size() * sizeof(PackedRow) + names_.size() * sizeof(std::wstring) + namesHeap_;
}

std::pair<std::size_t, std::size_t> PackedHistory::dayRows(DayNumber day) const {
    const auto range = std::equal_range(rows_.begin(), rows_.end(), PackedRow{day, 0, 0, 0},
                                        [](const PackedRow& a, const PackedRow& b) { return a.day < b.day; });
    return {static_cast<std::size_t>(range.first - rows_.begin()),
            static_cast<std::size_t>(range.second - rows_.begin())};
}

std::int64_t PackedHistory::secondsOnDay(DayNumber day) const {
    std::int64_t sum = 0;
    const auto [first, last] = dayRows(day);
    for (std::size_t i = first; i < last; ++i) sum += rows_[i].seconds;
    return sum;
}

std::int64_t PackedHistory::projectSecondsOnDay(DayNumber day, const std::wstring& project) const {
    std::int64_t sum = 0;
    const auto [first, last] = dayRows(day);
    for (std::size_t i = first; i < last; ++i)
        if (names_[rows_[i].project] == project) sum += rows_[i].seconds;
    return sum;
}

std::int64_t PackedHistory::projectSeconds(const std::wstring& project) const {
    // Each name once: the rows compare places.
    const auto named = std::find(names_.begin(), names_.end(), project);
    if (named == names_.end()) return 0;
    const auto place = static_cast<std::uint32_t>(named - names_.begin());
    std::int64_t sum = 0;
    for (const PackedRow& row : rows_)
        if (row.project == place) sum += row.seconds;
    return sum;
}

bool PackedHistory::covers(const PackedHistory& part) const {
    // Both are in date order, each (day, program, project) once: each day of `part` is looked
    // up in the same day's rows here, sorted by name once, since a day may have thousands.
    const auto less = [](const std::wstring& programA, const std::wstring& projectA, const std::wstring& programB,
                         const std::wstring& projectB) {
        return programA != programB ? programA < programB : projectA < projectB;
    };
    std::vector<std::uint32_t> sorted;  // this day's rows here, by program and project
    for (std::size_t i = 0; i < part.rows_.size();) {
        const DayNumber day = part.rows_[i].day;
        const auto [first, last] = dayRows(day);
        sorted.clear();
        for (std::size_t k = first; k < last; ++k) sorted.push_back(static_cast<std::uint32_t>(k));
        std::sort(sorted.begin(), sorted.end(), [&](std::uint32_t a, std::uint32_t b) {
            return less(names_[rows_[a].program], names_[rows_[a].project], names_[rows_[b].program],
                        names_[rows_[b].project]);
        });
        for (; i < part.rows_.size() && part.rows_[i].day == day; ++i) {
            const PackedRow& row = part.rows_[i];
            const std::wstring& program = part.names_[row.program];
            const std::wstring& project = part.names_[row.project];
            auto it = std::lower_bound(sorted.begin(), sorted.end(), 0u, [&](std::uint32_t k, std::uint32_t) {
                return less(names_[rows_[k].program], names_[rows_[k].project], program, project);
            });
            bool held = false;
            for (; it != sorted.end() && !held && !less(program, project, names_[rows_[*it].program],
                                                        names_[rows_[*it].project]);
                 ++it)
                held = rows_[*it].seconds >= row.seconds;
            if (!held) return false;
        }
    }
    return true;
}

bool operator==(const PackedHistory& a, const PackedHistory& b) {
    return a.rows().size() == b.rows().size() && a.covers(b) && b.covers(a);
}

std::string formatHistoryText(const PackedHistory& history) {
    // A few hundred rows at a time, so that the whole history never stands in memory unpacked.
    constexpr std::size_t chunk = 512;
    std::string bytes = historyHeader();
    bytes.reserve(history.rows().size() * 40);
    std::vector<HistoryRow> rows;
    for (std::size_t first = 0; first < history.rows().size(); first += chunk) {
        rows.clear();
        for (std::size_t i = first; i < std::min(first + chunk, history.rows().size()); ++i)
            rows.push_back(history.row(i));
        appendHistoryRows(bytes, rows.begin(), rows.end());
    }
    return bytes;
}
