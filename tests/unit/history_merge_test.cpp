// Many rows of one day, added together at once: the same history as adding them one by one, in
// the file, in memory and packed.
#include <gtest/gtest.h>

#include "history/history_file.h"
#include "history/packed_history.h"
#include "history_rows.h"

namespace {

const DayNumber D = dayNumber({2026, 12, 7}).value();

TEST(HistoryMerge, RowsOfOneDayAddUpAsOneByOne) {
    const struct {
        const char* name;
        std::vector<HistoryRow> there;
        std::vector<HistoryRow> added;
        std::wstring expected;
    } cases[] = {
        {"into nothing, repeats summed in the order first seen",
         {},
         {{D, L"b.exe", 5}, {D, L"a.exe", 1}, {D, L"b.exe", 2}, {D, L"a.exe", 3, L"Acme"}, {D, L"a.exe", 4}},
         L"2026-12-07 b.exe 7; 2026-12-07 a.exe 5; 2026-12-07 a.exe 3 for Acme"},
        {"into rows there, new ones after the day's",
         {{D - 1, L"a.exe", 1}, {D, L"c.exe", 10}, {D + 1, L"a.exe", 2}},
         {{D, L"a.exe", 1}, {D, L"c.exe", 5}, {D + 1, L"a.exe", 3}, {D - 2, L"z.exe", 9}},
         L"2026-12-05 z.exe 9; 2026-12-06 a.exe 1; 2026-12-07 c.exe 15; 2026-12-07 a.exe 1; 2026-12-08 a.exe 5"},
        {"a project's seconds stay its own",
         {{D, L"a.exe", 1, L"Acme"}},
         {{D, L"a.exe", 2}, {D, L"a.exe", 4, L"acme"}, {D, L"a.exe", 8, L"Acme"}},
         L"2026-12-07 a.exe 9 for Acme; 2026-12-07 a.exe 2; 2026-12-07 a.exe 4 for acme"},
        {"a sum stops at the most a row holds",
         {{D, L"a.exe", maxRowSeconds - 1}},
         {{D, L"a.exe", 5}},
         L"2026-12-07 a.exe 2147483647"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<HistoryRow> atOnce = c.there;
        addToHistory(atOnce, c.added);
        EXPECT_EQ(describe(atOnce), c.expected);
        std::vector<HistoryRow> oneByOne = c.there;
        for (const HistoryRow& row : c.added) addToHistory(oneByOne, row);
        EXPECT_EQ(atOnce, oneByOne);
        PackedHistory packed(c.there);
        packed.add(c.added);
        EXPECT_EQ(describe(packed.unpacked()), c.expected);
    }
}

// Thousands of rows of one day, each program twice and some three times, in a scrambled order.
std::vector<HistoryRow> crowdedDay() {
    std::vector<HistoryRow> rows;
    for (int i = 0; i < 6000; ++i) {
        const int program = (i * 7919) % 2500;
        rows.push_back({D, L"p" + std::to_wstring(program) + L".exe", 1 + i % 60, i % 3 ? L"" : L"Acme"});
    }
    return rows;
}

TEST(HistoryMerge, ACrowdedDayReadsAsAddedOneByOne) {
    const std::vector<HistoryRow> rows = crowdedDay();
    std::vector<HistoryRow> oneByOne;
    for (const HistoryRow& row : rows) addToHistory(oneByOne, row);
    std::int64_t total = 0;
    for (const HistoryRow& row : rows) total += row.seconds;

    const HistoryText parsed = parseHistoryText(formatHistoryText(rows));
    EXPECT_TRUE(parsed.unreadableLines.empty());
    EXPECT_EQ(parsed.rows, oneByOne);
    std::int64_t parsedTotal = 0;
    for (const HistoryRow& row : parsed.rows) parsedTotal += row.seconds;
    EXPECT_EQ(parsedTotal, total);
    EXPECT_LT(parsed.rows.size(), rows.size());  // repeats were put together

    std::vector<HistoryRow> atOnce{{D - 1, L"a.exe", 1}};
    addToHistory(atOnce, rows);
    ASSERT_EQ(atOnce.size(), oneByOne.size() + 1);
    EXPECT_EQ(std::vector<HistoryRow>(atOnce.begin() + 1, atOnce.end()), oneByOne);

    const PackedHistory packed(rows);
    EXPECT_EQ(packed.unpacked(), oneByOne);
    EXPECT_TRUE(packed.covers(PackedHistory(oneByOne)));
    std::vector<HistoryRow> more = oneByOne;
    more[4321].seconds += 1;
    EXPECT_FALSE(packed.covers(PackedHistory(more)));
    more[4321].seconds -= 1;
    more.push_back({D, L"new.exe", 1});
    EXPECT_FALSE(packed.covers(PackedHistory(more)));
}

TEST(HistoryMerge, ASumTheFileCannotHoldIsAnUnreadableLine) {
    const std::string text = "date,program,seconds,project\r\n"
                             "2026-12-07,a.exe,2147483000,\r\n"
                             "2026-12-07,b.exe,5,\r\n"
                             "2026-12-07,a.exe,1000,\r\n"
                             "2026-12-07,a.exe,600,\r\n";
    const HistoryText parsed = parseHistoryText(text);
    EXPECT_EQ(describe(parsed.rows), L"2026-12-07 a.exe 2147483600; 2026-12-07 b.exe 5");
    EXPECT_EQ(parsed.unreadableLines, std::vector<int>{4});
}

}  // namespace
