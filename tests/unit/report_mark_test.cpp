// The ranges a person picks or that follow the last report, and lastreport.cfg that keeps where
// the last report left off.
#include <gtest/gtest.h>

#include <filesystem>

#include "config/file_system.h"
#include "config/report_mark.h"
#include "history/last_report.h"
#include "history/report_range.h"
#include "temp_folder.h"

namespace {

DayNumber day(int year, int month, int dayOfMonth) { return dayNumber({year, month, dayOfMonth}).value(); }

using Kind = ReportRangeKind;

ReportMark mark(DayNumber first, DayNumber last, DayNumber savedOn) { return {first, last, savedOn}; }

TEST(AnyRange, CustomAndSinceTheLastReport) {
    const WorkedDays worked{day(2025, 3, 4), day(2026, 12, 10)};
    const struct {
        const char* name;
        Kind kind;
        DayNumber today;
        RangeMarks marks;
        const wchar_t* dates;
        std::size_t bars;
    } cases[] = {
        {"custom across a month's end", Kind::custom, day(2026, 12, 20), {day(2026, 11, 25), day(2026, 12, 3), {}},
         L"2026-11-25 to 2026-12-03", 9},
        {"custom across a year's end", Kind::custom, day(2027, 2, 1), {day(2026, 12, 30), day(2027, 1, 2), {}},
         L"2026-12-30 to 2027-01-02", 4},
        {"custom picked the wrong way round", Kind::custom, day(2026, 12, 20), {day(2026, 11, 15), day(2026, 11, 1), {}},
         L"2026-11-01 to 2026-11-15", 15},
        {"custom of one day", Kind::custom, day(2026, 12, 20), {day(2026, 12, 24), day(2026, 12, 24), {}},
         L"2026-12-24", 1},
        {"since the last report with none yet: all time", Kind::sinceLastReport, day(2026, 12, 13), {},
         L"2025-03-04 to 2026-12-13", 22},
        {"since a Last month report: the day after its range", Kind::sinceLastReport, day(2026, 12, 13),
         {0, 0, mark(day(2026, 11, 1), day(2026, 11, 30), day(2026, 12, 2))}, L"2026-12-01 to 2026-12-13", 13},
        {"since a This month report saved on the 15th: from the 15th", Kind::sinceLastReport, day(2027, 1, 10),
         {0, 0, mark(day(2026, 12, 1), day(2026, 12, 31), day(2026, 12, 15))}, L"2026-12-15 to 2027-01-10", 27},
        {"since a report saved on its range's last day: from that day", Kind::sinceLastReport, day(2026, 12, 13),
         {0, 0, mark(day(2026, 11, 30), day(2026, 12, 6), day(2026, 12, 6))}, L"2026-12-06 to 2026-12-13", 8},
        {"since a report saved today of a range up to yesterday: today", Kind::sinceLastReport, day(2026, 12, 13),
         {0, 0, mark(day(2026, 12, 1), day(2026, 12, 12), day(2026, 12, 13))}, L"2026-12-13", 1},
        {"since a mark after today: today alone", Kind::sinceLastReport, day(2026, 12, 13),
         {0, 0, mark(day(2027, 1, 1), day(2027, 1, 31), day(2027, 2, 1))}, L"2026-12-13", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ReportRange range = reportRange(c.kind, c.today, worked, c.marks);
        EXPECT_EQ(range.kind, c.kind);
        EXPECT_EQ(reportDatesText(range), c.dates);
        EXPECT_EQ(reportPeriods(range).size(), c.bars);
    }
    EXPECT_EQ(reportDatesText(reportRange(Kind::sinceLastReport, day(2026, 12, 13), {})), L"2026-12-13");
    EXPECT_STREQ(reportRangeName(Kind::custom), L"Custom...");
    EXPECT_STREQ(reportRangeName(Kind::sinceLastReport), L"Since the last report");
}

TEST(AnyRange, OnlyALaterRangeMovesTheMark) {
    const ReportRange december{Kind::thisMonth, day(2026, 12, 1), day(2026, 12, 31)};
    const ReportRange november{Kind::lastMonth, day(2026, 11, 1), day(2026, 11, 30)};
    const ReportRange fortnight{Kind::last14Days, day(2026, 12, 7), day(2026, 12, 20)};
    const struct {
        const char* name;
        std::optional<ReportMark> before;
        ReportRange saved;
        DayNumber savedOn;
        ReportMark after;
        DayNumber since;
    } cases[] = {
        {"the first report", {}, november, day(2026, 12, 2), mark(day(2026, 11, 1), day(2026, 11, 30), day(2026, 12, 2)),
         day(2026, 12, 1)},
        {"This month saved mid-month", mark(day(2026, 11, 1), day(2026, 11, 30), day(2026, 12, 2)), december,
         day(2026, 12, 15), mark(day(2026, 12, 1), day(2026, 12, 31), day(2026, 12, 15)), day(2026, 12, 15)},
        {"an older range saved later keeps the mark", mark(day(2026, 12, 1), day(2026, 12, 31), day(2026, 12, 15)),
         november, day(2026, 12, 20), mark(day(2026, 12, 1), day(2026, 12, 31), day(2026, 12, 15)), day(2026, 12, 15)},
        {"a range ending later than the day saved moves it to that day",
         mark(day(2026, 12, 1), day(2026, 12, 31), day(2026, 12, 15)), fortnight, day(2026, 12, 20),
         mark(day(2026, 12, 7), day(2026, 12, 20), day(2026, 12, 20)), day(2026, 12, 20)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ReportMark after = markAfterSave(c.before, c.saved, c.savedOn);
        EXPECT_EQ(after, c.after);
        EXPECT_EQ(sinceLastReportFirst(after), c.since);
    }
}

TEST(ReportMarkFile, ReadsWhatPeopleWriteAndWritesWhatItReads) {
    const ReportMark december = mark(day(2026, 12, 1), day(2026, 12, 31), day(2026, 12, 15));
    EXPECT_EQ(formatReportMark(december), "2026-12-01\r\n2026-12-31\r\n2026-12-15\r\n");
    const struct {
        const char* text;
        bool readable;
        std::optional<ReportMark> mark;
    } cases[] = {
        {"2026-12-01\r\n2026-12-31\r\n2026-12-15\r\n", true, december},
        {"\xEF\xBB\xBF 2026-12-01 \n\n2026/12/31\n\t2026.12.15", true, december},
        {"2026-12-1\r\n2026-12-31\r\n2026-12-15\r\n\r\n", true, december},
        {"", true, {}},
        {"\r\n  \r\n", true, {}},
        {"2026-12-01\r\n2026-12-31\r\n", false, {}},
        {"2026-12-01\r\n2026-12-31\r\n2026-12-15\r\n2026-12-16\r\n", false, {}},
        {"2026-12-31\r\n2026-12-01\r\n2026-12-15\r\n", false, {}},
        {"2026-02-30\r\n2026-12-31\r\n2026-12-15\r\n", false, {}},
        {"15.12.2026\r\n2026-12-31\r\n2026-12-15\r\n", false, {}},
        {"2026-12/01\r\n2026-12-31\r\n2026-12-15\r\n", false, {}},
        {"2026-12-01x\r\n2026-12-31\r\n2026-12-15\r\n", false, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        std::optional<ReportMark> read = ReportMark{1, 2, 3};
        EXPECT_EQ(parseReportMark(c.text, read), c.readable);
        if (c.readable) {
            EXPECT_EQ(read, c.mark);
        }
    }
    std::optional<ReportMark> back;
    ASSERT_TRUE(parseReportMark(formatReportMark(december), back));
    EXPECT_EQ(back, december);
}

TEST(ReportMarkFile, ASaveMovesTheMarkInTheFile) {
    TempFolder folder;
    const std::wstring path = reportMarkFilePath(folder.path().wstring());
    const LocalMoment now{day(2026, 12, 15), 3600};
    LastReport last;
    last.open(path, now);
    EXPECT_FALSE(last.mark());
    EXPECT_FALSE(std::filesystem::exists(path));  // nothing saved, nothing written

    EXPECT_FALSE(last.noteRangeBilled({Kind::thisMonth, day(2026, 12, 1), day(2026, 12, 31)}, now.day, now));
    EXPECT_EQ(readBytes(path), "2026-12-01\r\n2026-12-31\r\n2026-12-15\r\n");
    EXPECT_FALSE(last.noteRangeBilled({Kind::lastMonth, day(2026, 11, 1), day(2026, 11, 30)}, day(2026, 12, 20), now));
    EXPECT_EQ(readBytes(path), "2026-12-01\r\n2026-12-31\r\n2026-12-15\r\n") << "an older range saved later";

    LastReport again;
    again.open(path, now);
    ASSERT_TRUE(again.mark());
    EXPECT_EQ(sinceLastReportFirst(*again.mark()), day(2026, 12, 15));
    EXPECT_TRUE(again.notes().empty());
}

TEST(ReportMarkFile, AnUnreadableFileIsKeptAsideAndNamed) {
    TempFolder folder;
    const std::wstring path = reportMarkFilePath(folder.path().wstring());
    writeBytes(path, "my last invoice was on the 3rd\r\n");
    const LocalMoment now{day(2026, 12, 15), 15 * 3600 + 30 * 60 + 12};
    LastReport last;
    last.open(path, now);
    EXPECT_FALSE(last.mark());
    const std::wstring kept = folder.file(L"lastreport unreadable 2026-12-15 153012.cfg");
    EXPECT_EQ(readBytes(kept), "my last invoice was on the 3rd\r\n");
    ASSERT_EQ(last.notes().size(), 1u);
    EXPECT_NE(last.notes()[0].find(L"lastreport unreadable 2026-12-15 153012.cfg"), std::wstring::npos);
    EXPECT_FALSE(last.noteRangeBilled({Kind::custom, day(2026, 12, 1), day(2026, 12, 10)}, now.day, now));
    EXPECT_EQ(readBytes(path), "2026-12-01\r\n2026-12-10\r\n2026-12-15\r\n");
    EXPECT_EQ(readBytes(kept), "my last invoice was on the 3rd\r\n");
}

TEST(ReportMarkFile, AFileThatCannotBeReadNowIsNeverWrittenOver) {
    TempFolder folder;
    const std::wstring path = reportMarkFilePath(folder.path().wstring());
    writeBytes(path, "2026-11-01\r\n2026-11-30\r\n2026-12-02\r\n");
    const LocalMoment now{day(2026, 12, 15), 3600};
    failReadsForTests([&](const std::wstring& p) {
        return p == path ? std::make_error_code(std::errc::permission_denied) : std::error_code();
    });
    LastReport last;
    last.open(path, now);
    EXPECT_TRUE(last.noteRangeBilled({Kind::custom, day(2026, 12, 1), day(2026, 12, 10)}, now.day, now));
    EXPECT_EQ(readBytes(path), "2026-11-01\r\n2026-11-30\r\n2026-12-02\r\n");
    ASSERT_TRUE(last.mark());  // this run's save still counts
    EXPECT_EQ(sinceLastReportFirst(*last.mark()), day(2026, 12, 11));
    EXPECT_EQ(last.notes().size(), 1u);
    failReadsForTests(nullptr);
    // Readable again: the file's mark is older, so this run's save goes into it.
    EXPECT_FALSE(last.noteRangeBilled({Kind::custom, day(2026, 12, 1), day(2026, 12, 10)}, now.day, now));
    EXPECT_EQ(readBytes(path), "2026-12-01\r\n2026-12-10\r\n2026-12-15\r\n");
    EXPECT_TRUE(last.notes().empty());
}

}  // namespace
