// The work history: the calendar it counts days with, which row a counted second goes to, and
// history.csv as the program writes it and as people save it back from spreadsheets.
#include <gtest/gtest.h>

#include <filesystem>

#include "common/text.h"
#include "history/history_file.h"
#include "history/packed_history.h"
#include "history/work_history.h"
#include "history_rows.h"
#include "temp_folder.h"

namespace {

DayNumber day(int year, int month, int dayOfMonth) { return dayNumber({year, month, dayOfMonth}).value(); }

const DayNumber D = day(2026, 12, 7);  // a Monday


TEST(Calendar, DaysWeekdaysAndDatesAgree) {
    const struct {
        CivilDate date;
        DayNumber number;
        int weekday;  // 0 Monday
    } cases[] = {{{1970, 1, 1}, 0, 3},     {{1969, 12, 31}, -1, 2},   {{2000, 2, 29}, 11016, 1},
                 {{2026, 12, 7}, 20794, 0}, {{2026, 12, 13}, 20800, 6}, {{1, 1, 1}, -719162, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.number);
        EXPECT_EQ(dayNumber(c.date), c.number);
        EXPECT_EQ(weekdayIndex(c.number), c.weekday);
        const CivilDate back = civilDate(c.number);
        EXPECT_EQ(back.year * 10000 + back.month * 100 + back.day,
                  c.date.year * 10000 + c.date.month * 100 + c.date.day);
    }
    for (const CivilDate bad : {CivilDate{2026, 2, 29}, {2100, 2, 29}, {2026, 13, 1}, {2026, 4, 31}, {0, 1, 1}})
        EXPECT_FALSE(dayNumber(bad)) << bad.year << "-" << bad.month << "-" << bad.day;
    for (DayNumber n = -719162; n < 2932897; n += 367) ASSERT_EQ(dayNumber(civilDate(n)), n);
    EXPECT_EQ(isoDate(D), L"2026-12-07");
    EXPECT_EQ(fileStamp({D, 15 * 3600 + 30 * 60 + 12}), L"2026-12-07 153012");
}

struct CountedFrame {
    const wchar_t* program;
    std::int32_t seconds;
    LocalMoment at;
    const wchar_t* project = L"";
};

TEST(HistoryRule, CountedSecondsGoToTheRowOfTheirDayAndProgram) {
    const struct {
        const char* name;
        std::vector<HistoryRow> before;
        std::vector<CountedFrame> frames;
        const wchar_t* after;
    } cases[] = {
        {"a frame adds to its day's row", {}, {{L"np.exe", 1, {D, 36000}}, {L"np.exe", 2, {D, 36002}}},
         L"2026-12-07 np.exe 3"},
        {"changing the target starts a new row that day, and going back finds the old one", {},
         {{L"np.exe", 2, {D, 100}}, {L"ps.exe", 3, {D, 200}}, {L"np.exe", 1, {D, 300}}},
         L"2026-12-07 np.exe 3; 2026-12-07 ps.exe 3"},
        {"12 s ending at 00:00:05: 5 to the new day, 7 to the day before", {}, {{L"np.exe", 12, {D, 5}}},
         L"2026-12-06 np.exe 7; 2026-12-07 np.exe 5"},
        {"a frame ending at 00:00:00 belongs wholly to the day before", {}, {{L"np.exe", 3, {D, 0}}},
         L"2026-12-06 np.exe 3"},
        {"the last second of a day stays in it", {}, {{L"np.exe", 1, {D, 86399}}}, L"2026-12-07 np.exe 1"},
        {"across the new year", {}, {{L"np.exe", 10, {day(2027, 1, 1), 4}}},
         L"2026-12-31 np.exe 6; 2027-01-01 np.exe 4"},
        {"an earlier day's seconds go before the later days, a day's new program after its rows",
         {{D + 1, L"ps.exe", 1}}, {{L"np.exe", 5, {D + 1, 2}}},
         L"2026-12-07 np.exe 3; 2026-12-08 ps.exe 1; 2026-12-08 np.exe 2"},
        {"a frame longer than a day reaches back day by day", {}, {{L"np.exe", 90000, {D, 100}}},
         L"2026-12-05 np.exe 3500; 2026-12-06 np.exe 86400; 2026-12-07 np.exe 100"},
        {"no seconds, no row", {}, {{L"np.exe", 0, {D, 100}}, {L"np.exe", -5, {D, 100}}}, L""},
        {"each project of a program is a row of its own, and so is no project; names are not folded", {},
         {{L"np.exe", 2, {D, 100}, L"Acme"}, {L"np.exe", 3, {D, 200}}, {L"ps.exe", 4, {D, 300}, L"Acme"},
          {L"np.exe", 5, {D, 400}, L"Acme"}, {L"np.exe", 1, {D, 500}, L"acme"}},
         L"2026-12-07 np.exe 7 for Acme; 2026-12-07 np.exe 3; 2026-12-07 ps.exe 4 for Acme; "
         L"2026-12-07 np.exe 1 for acme"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<HistoryRow> rows = c.before;
        for (const CountedFrame& frame : c.frames)
            addCountedSeconds(rows, frame.program, frame.project, frame.seconds, frame.at);
        EXPECT_EQ(describe(rows), c.after);
    }
}

TEST(HistoryRule, TodayThisWeekAndTheLastDaysAddUpEveryProgram) {
    const std::vector<HistoryRow> rows = {{D - 8, L"a", 999}, {D - 7, L"a", 200}, {D - 1, L"a", 500, L"P"},
                                          {D, L"a", 1000},    {D, L"b", 30, L"P"}, {D + 6, L"a", 7}};
    const struct {
        DayNumber today;
        std::int64_t day, week;
        std::vector<std::int64_t> lastThree;
    } cases[] = {
        {D, 1030, 1037, {0, 500, 1030}},         // Monday: the week runs to Sunday D + 6
        {D + 6, 7, 1037, {0, 0, 7}},             // Sunday: the same week
        {D - 1, 500, 700, {0, 0, 500}},          // the Sunday before: the week from D - 7
        {D + 7, 0, 0, {0, 7, 0}},                // the next Monday: a new week
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.today - D);
        EXPECT_EQ(secondsOnDay(rows, c.today), c.day);
        EXPECT_EQ(secondsInWeekOf(rows, c.today), c.week);
        EXPECT_EQ(dailyTotals(rows, c.today, 3), c.lastThree);
    }
    EXPECT_EQ(projectSecondsOnDay(rows, D, L"P"), 30);
    EXPECT_EQ(projectSecondsOnDay(rows, D, L""), 1000) << "no project";
    EXPECT_EQ(projectSecondsOnDay(rows, D - 1, L"P"), 500);
}

TEST(PackedHistory, HoldsWhatTheRowsHoldInAFractionOfTheMemory) {
    // Rows as files list them: out of date order, one day, program and project twice, a sum past
    // the most a row holds, programs that differ in letter case only.
    const std::vector<HistoryRow> added = {
        {D, L"a.exe", 10, L"X"}, {D - 2, L"b.exe", 5}, {D, L"a.exe", 7, L"X"}, {D, L"a.exe", 3},
        {D - 1, L"A.exe", 1},    {D - 2, L"b.exe", maxRowSeconds}, {D + 1, L"a.exe", 2, L"Y"}, {D, L"a.exe", 4, L"Y"}};
    std::vector<HistoryRow> expected;
    PackedHistory packed;
    for (const HistoryRow& row : added) {
        addToHistory(expected, row);
        packed.add(row);
    }
    EXPECT_EQ(describe(packed.unpacked()), describe(expected));
    EXPECT_EQ(formatHistoryText(packed), formatHistoryText(expected));
    for (DayNumber day = D - 3; day <= D + 1; ++day) {
        EXPECT_EQ(packed.secondsOnDay(day), secondsOnDay(expected, day));
        for (const wchar_t* project : {L"", L"X", L"Y", L"Z"})
            EXPECT_EQ(packed.projectSecondsOnDay(day, project), projectSecondsOnDay(expected, day, project));
    }
    for (const wchar_t* project : {L"", L"X", L"Y", L"Z"})
        EXPECT_EQ(packed.projectSeconds(project), projectSeconds(expected, project));

    const struct {
        const char* name;
        std::vector<HistoryRow> part;
        bool covered;
    } parts[] = {
        {"nothing", {}, true},
        {"fewer rows with fewer seconds", {{D - 2, L"b.exe", 9}, {D, L"a.exe", 17, L"X"}}, true},
        {"a row with more seconds", {{D, L"a.exe", 18, L"X"}}, false},
        {"another project", {{D, L"a.exe", 1, L"Z"}}, false},
        {"another program's spelling", {{D - 1, L"a.exe", 1}}, false},
        {"another day", {{D - 3, L"b.exe", 1}}, false},
    };
    for (const auto& part : parts) EXPECT_EQ(packed.covers(part.part), part.covered) << part.name;

    const PackedHistory career(careerRows(D));
    EXPECT_EQ(career.rows().size(), 73000u);
    EXPECT_LT(career.memoryBytes(), career.rows().size() * 20) << "some 16 bytes a row, the names once";
}

TEST(HistoryFile, ReadsWhatSpreadsheetsSaveAndNamesTheLinesItCannot) {
    const struct {
        const char* name;
        std::string bytes;
        bool header;
        const wchar_t* rows;
        std::vector<int> unreadable;
    } cases[] = {
        {"its own format", "date,program,seconds\r\n2026-12-07,photoshop.exe,3723\r\n", true,
         L"2026-12-07 photoshop.exe 3723", {}},
        {"semicolons, quotes everywhere, a byte-order mark, LF ends and padding cells",
         "\xEF\xBB\xBF\"date\";\"program\";\"seconds\"\n\"07.12.2026\";\"photoshop.exe\";\"3723\";;\n;;\n", true,
         L"2026-12-07 photoshop.exe 3723", {}},
        {"quoted names holding the separator and doubled quotes",
         "date,program,seconds\r\n2026-12-07,\"a,b.exe\",5\r\n2026-12-07,\"say \"\"hi\"\".exe\",6\r\n", true,
         L"2026-12-07 a,b.exe 5; 2026-12-07 say \"hi\".exe 6", {}},
        {"a person's own rows: spaces, slashes, one-digit days, a capital header",
         "Date , Program , Seconds\r\n 2026/12/7 , meeting notes , 600 \r\n\r\n7.1.2027;x;1\r\n", true,
         L"2026-12-07 meeting notes 600", {4}},
        {"rows of the same day and program add up; dates come in order, each day's rows as they came",
         "date,program,seconds\r\n2026-12-08,x,1\r\n2026-12-07,y,2\r\n2026-12-07,x,3\r\n2026-12-07,y,4\r\n", true,
         L"2026-12-07 y 6; 2026-12-07 x 3; 2026-12-08 x 1", {}},
        {"dates and numbers that are not taken",
         "date,program,seconds\r\n12/07/26,a,1\r\n2026-13-01,a,1\r\n2026-02-29,a,1\r\n2026-12-07,a,-5\r\n"
         "2026-12-07,a,3.5\r\n2026-12-07,,5\r\n2026-12-07,a,1,note\r\n2026-12-07,\"a,1\r\n2026-12-07,\"a\"b,1\r\n"
         "2026-12-07,a,2147483648\r\n2024-02-29,leap,2147483647\r\n",
         true, L"2024-02-29 leap 2147483647", {2, 3, 4, 5, 6, 7, 8, 9, 10, 11}},
        {"a file that is not UTF-8 is read in the ANSI code page", "date;program;seconds\r\n2026-12-07;caf\xe9.exe;5\r\n", true,
         L"2026-12-07 caf\u00e9.exe 5", {}},
        {"no header", "2026-12-07,photoshop.exe,5\r\n", false, L"", {}},
        {"not a history at all", std::string("\x89PNG\r\n\x1a\n\0\0", 10), false, L"", {}},
        {"an emptied file is an empty history", "\r\n  \r\n", true, L"", {}},
        {"four columns from a spreadsheet: semicolons, quotes, a byte-order mark, cells of no project left out",
         "\xEF\xBB\xBF\"Date\";\"Program\";\"Seconds\";\"Project\"\n07.12.2026;ps.exe;5\n"
         "07.12.2026;ps.exe;6;\"Globex; brief\"\n7.12.2026;ps.exe;1;Acme;;\n;;;\n",
         true, L"2026-12-07 ps.exe 5; 2026-12-07 ps.exe 6 for Globex; brief; 2026-12-07 ps.exe 1 for Acme", {}},
        {"four columns: quoted projects keep commas, quotes and spaces, unquoted ones lose the spaces; none",
         "date,program,seconds,project\r\n2026-12-07,\"a,b.exe\",5,\"Smith, Jones\"\r\n"
         "2026-12-07,x,6,\" say \"\"hi\"\" \"\r\n2026-12-07,x,1 ,  Acme  \r\n2026-12-07,x,2,\r\n",
         true,
         L"2026-12-07 a,b.exe 5 for Smith, Jones; 2026-12-07 x 6 for  say \"hi\" ; 2026-12-07 x 1 for Acme; "
         L"2026-12-07 x 2", {}},
        {"rows of the same day, program and project add up, to the most the file can hold",
         "date,program,seconds,project\r\n2026-12-07,x,1,A\r\n2026-12-07,x,2\r\n2026-12-07,x,3,A\r\n"
         "2026-12-08,x,2147483647\r\n2026-12-08,x,1\r\n2026-12-08,x,0\r\n",
         true, L"2026-12-07 x 4 for A; 2026-12-07 x 2; 2026-12-08 x 2147483647", {6}},
        {"a field after the project, and a column that is not the project",
         "date,program,seconds,project\r\n2026-12-07,x,1,A,note\r\n2026-12-07,x,1,A\r\n", true,
         L"2026-12-07 x 1 for A", {2}},
        {"a header of four columns whose last is not the project", "date,program,seconds,note\r\n2026-12-07,x,1,A\r\n",
         false, L"", {}},
        {"a project in cp1252, among UTF-8 lines",
         "date;program;seconds;project\r\n2026-12-07;a.exe;5;Caf\xe9 \x96 M\xfcller\r\n"
         "2026-12-07;a.exe;6;\xC3\x9C" "berarbeitung\r\n2026-12-07;a.exe;7;\xDC" "berarbeitung\r\n",
         true, L"2026-12-07 a.exe 5 for Caf\u00e9 \u2013 M\u00fcller; 2026-12-07 a.exe 13 for \u00dcberarbeitung", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const HistoryText text = parseHistoryText(c.bytes);
        EXPECT_EQ(text.headerFound, c.header);
        EXPECT_EQ(describe(text.rows), c.rows);
        EXPECT_EQ(text.unreadableLines, c.unreadable);
        EXPECT_EQ(parseHistoryText(formatHistoryText(text.rows)).rows, text.rows) << "written back, read the same";
    }

    const std::vector<HistoryRow> rows = {{D - 1, L"photoshop.exe", 3723},
                                          {D, L"a,b.exe", 5, L"Smith, Jones"},
                                          {D, L"say \"hi\".exe", 6, L"say \"hi\""},
                                          {D, L" lead.exe", 7, L"trail "},
                                          {D, L"\u0444\u043e\u0442\u043e.exe", 2147483647, L"\u6f22\u5b57"}};
    EXPECT_EQ(formatHistoryText(rows),
              "date,program,seconds,project\r\n2026-12-06,photoshop.exe,3723,\r\n"
              "2026-12-07,\"a,b.exe\",5,\"Smith, Jones\"\r\n2026-12-07,\"say \"\"hi\"\".exe\",6,\"say \"\"hi\"\"\"\r\n"
              "2026-12-07,\" lead.exe\",7,\"trail \"\r\n"
              "2026-12-07,\xd1\x84\xd0\xbe\xd1\x82\xd0\xbe.exe,2147483647,\xe6\xbc\xa2\xe5\xad\x97\r\n");
    EXPECT_EQ(parseHistoryText(formatHistoryText(rows)).rows, rows);
}

// A German Excel splits a file at ";" and reads one without a byte-order mark in the ANSI code
// page; history.csv is written for the user's spreadsheet, and a field holding the file's
// separator or a quote is quoted.
TEST(HistoryFile, IsWrittenInTheFormOfTheUsersSpreadsheetAndQuotesWhatItsSeparatorWouldSplit) {
    const struct {
        const wchar_t* listSeparator;
        char separator;
    } locales[] = {{L",", ','}, {L";", ';'}, {L".", ','}, {L";;", ','}, {L"", ','}};
    for (const auto& l : locales) {
        EXPECT_EQ(spreadsheetCsv(l.listSeparator).separator, l.separator) << toUtf8(l.listSeparator);
        EXPECT_TRUE(spreadsheetCsv(l.listSeparator).byteOrderMark);
    }

    const std::vector<HistoryRow> rows = {{D, L"a;b.exe", 5, L"Smith, Jones"},
                                          {D, L"say \"hi\".exe", 6, L"\u00dcberarbeitung; Entwurf"}};
    const struct {
        const char* name;
        CsvForm form;
        std::string bytes;
    } forms[] = {
        {"German: ';', the mark; a name holding ';' quoted, one holding ',' not", spreadsheetCsv(L";"),
         "\xEF\xBB\xBF" "date;program;seconds;project\r\n2026-12-07;\"a;b.exe\";5;Smith, Jones\r\n"
         "2026-12-07;\"say \"\"hi\"\".exe\";6;\"\xC3\x9C" "berarbeitung; Entwurf\"\r\n"},
        {"the journal's and the shared files' form: as earlier versions wrote it", plainCsv,
         "date,program,seconds,project\r\n2026-12-07,a;b.exe,5,\"Smith, Jones\"\r\n"
         "2026-12-07,\"say \"\"hi\"\".exe\",6,\xC3\x9C" "berarbeitung; Entwurf\r\n"},
        {"every field quoted", CsvForm{';', false, CsvQuoting::always},
         "\"date\";\"program\";\"seconds\";\"project\"\r\n\"2026-12-07\";\"a;b.exe\";\"5\";\"Smith, Jones\"\r\n"
         "\"2026-12-07\";\"say \"\"hi\"\".exe\";\"6\";\"\xC3\x9C" "berarbeitung; Entwurf\"\r\n"},
    };
    for (const auto& f : forms) {
        SCOPED_TRACE(f.name);
        EXPECT_EQ(formatHistoryText(rows, f.form), f.bytes);
        const HistoryText back = parseHistoryText(f.bytes);
        EXPECT_EQ(back.rows, rows);
        EXPECT_EQ(back.separator, f.form.separator);
    }
}

// A new history.csv takes the user's separator; a file that was there keeps the one it was
// read with, and a spreadsheet's save with the other one switches it.
TEST(HistoryFile, ANewFileTakesTheLocalesSeparatorAndAReadOneKeepsItsOwn) {
    const std::string commas = "date,program,seconds\r\n2026-12-07,np.exe,5\r\n";
    const std::string semicolons = "\xEF\xBB\xBF" "date;program;seconds;project\r\n2026-12-07;np.exe;5;\r\n";
    const struct {
        const char* name;
        const wchar_t* listSeparator;
        std::string before;  // "" for no file
        const char* header;  // of the file written, after its mark
    } cases[] = {
        {"a new file in Germany", L";", "", "date;program;seconds;project\r\n"},
        {"a new file in the United States", L",", "", "date,program,seconds,project\r\n"},
        {"an earlier version's comma file in Germany stays commas", L";", commas, "date,program,seconds,project\r\n"},
        {"a ';' file taken to a comma locale stays ';'", L",", semicolons, "date;program;seconds;project\r\n"},
        {"an unreadable file kept aside: the new one is the locale's", L";", "<html>\r\n",
         "date;program;seconds;project\r\n"},
        {"an emptied file is the locale's", L";", "\r\n", "date;program;seconds;project\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        const std::filesystem::path file = historyFilePath(folder.path().wstring());
        if (!c.before.empty()) writeBytes(file, c.before);
        WorkHistory history;
        history.open(file.wstring(), {D, 100}, DateOrder::dayFirst, spreadsheetCsv(c.listSeparator));
        history.record(L"np.exe", L"", 1, {D, 101});
        history.flush({D, 102});
        const std::string bytes = readBytes(file);
        EXPECT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF") << "always the mark";
        EXPECT_EQ(bytes.substr(3, bytes.find('\n') - 2), c.header);
        if (c.before != commas) continue;
        // Saved from a German spreadsheet with ";": the file is ";" from then on.
        writeBytes(file, "date;program;seconds\r\n07.12.2026;np.exe;9\r\n");
        history.record(L"np.exe", L"", 1, {D, 200});
        history.flush({D, 201});
        EXPECT_EQ(readBytes(file), "\xEF\xBB\xBF" "date;program;seconds;project\r\n2026-12-07;np.exe;10;\r\n");
    }
}

TEST(HistoryFile, DatesWithTheYearLastFollowTheFileElseTheUsersShortDateFormat) {
    const struct {
        const wchar_t* pattern;
        DateOrder order;
    } patterns[] = {{L"M/d/yyyy", DateOrder::monthFirst}, {L"dd/MM/yyyy", DateOrder::dayFirst},
                    {L"d.M.yyyy", DateOrder::dayFirst}, {L"yyyy-MM-dd", DateOrder::dayFirst},
                    {L"'M'd/M/yyyy", DateOrder::dayFirst}};
    for (const auto& p : patterns) EXPECT_EQ(dateOrderOfPattern(p.pattern), p.order) << toUtf8(p.pattern);

    const std::string head = "date,program,seconds\r\n";
    const struct {
        const char* name;
        std::string rows;
        DateOrder local;
        const wchar_t* read;
        std::vector<int> unreadable;
    } cases[] = {
        {"en-US: month first", "12/5/2026,a,1\r\n", DateOrder::monthFirst, L"2026-12-05 a 1", {}},
        {"en-GB: day first", "12/05/2026,a,1\r\n", DateOrder::dayFirst, L"2026-05-12 a 1", {}},
        {"de-DE: day first with dots", "7.12.2026,a,1\r\n", DateOrder::dayFirst, L"2026-12-07 a 1", {}},
        {"dashes, month first", "12-7-2026,a,1\r\n", DateOrder::monthFirst, L"2026-12-07 a 1", {}},
        {"a first number above 12 settles day first, whatever the user's order",
         "12/5/2026,a,1\r\n25/12/2026,a,2\r\n", DateOrder::monthFirst, L"2026-05-12 a 1; 2026-12-25 a 2", {}},
        {"a second number above 12 settles month first", "5/12/2026,a,1\r\n12/25/2026,a,2\r\n", DateOrder::dayFirst,
         L"2026-05-12 a 1; 2026-12-25 a 2", {}},
        {"rows that say both: the user's order, and what cannot be in it is unreadable",
         "25/12/2026,a,1\r\n12/25/2026,a,2\r\n", DateOrder::monthFirst, L"2026-12-25 a 2", {2}},
        {"year first is read in any order, with any of the three separators",
         "2026-12-07,a,1\r\n2026/12/8,a,1\r\n2026.12.09,a,1\r\n", DateOrder::monthFirst,
         L"2026-12-07 a 1; 2026-12-08 a 1; 2026-12-09 a 1", {}},
        {"two-digit years, mixed separators and three-digit parts are not dates",
         "12/5/26,a,1\r\n12/5.2026,a,1\r\n123/5/2026,a,1\r\n2026-012-07,a,1\r\n", DateOrder::monthFirst, L"",
         {2, 3, 4, 5}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const HistoryText text = parseHistoryText(head + c.rows, c.local);
        EXPECT_EQ(describe(text.rows), c.read);
        EXPECT_EQ(text.unreadableLines, c.unreadable);
        EXPECT_EQ(parseHistoryText(formatHistoryText(text.rows)).rows, text.rows) << "written and read again";
    }

    // A history saved by a US spreadsheet is read at the start and written back with ISO dates.
    TempFolder folder;
    const std::filesystem::path file = historyFilePath(folder.path().wstring());
    writeBytes(file, "Date,Program,Seconds\r\n12/5/2026,photoshop.exe,3600\r\n12/7/2026,photoshop.exe,60\r\n");
    WorkHistory history;
    history.open(file.wstring(), {D, 100}, DateOrder::monthFirst);
    EXPECT_EQ(history.notice, L"");
    EXPECT_EQ(describe(history.rows()), L"2026-12-05 photoshop.exe 3600; 2026-12-07 photoshop.exe 60");
    history.record(L"photoshop.exe", L"", 1, {D, 101});
    history.flush({D, 102});
    EXPECT_EQ(readBytes(file), "\xEF\xBB\xBF"
                               "date,program,seconds,project\r\n2026-12-05,photoshop.exe,3600,\r\n2026-12-07,photoshop.exe,61,\r\n");
}

TEST(HistoryFile, AFileThatCannotBeReadIsKeptAsItWasAndANewOneTakesItsPlace) {
    const std::string readable = "date,program,seconds\r\n2026-12-07,np.exe,5\r\n";
    const std::string partly = "date;program;seconds\r\n2026-12-07;np.exe;5\r\n12/07/26;np.exe;9\r\n";
    const std::string unreadable = "<html>not a history</html>\r\n";
    const std::string written = "\xEF\xBB\xBF" "date,program,seconds,project\r\n";
    const struct {
        const char* name;
        std::string before;  // "" for no file, "/" for a folder in its place
        const wchar_t* rows;
        std::string fileAfter;
        std::size_t unreadableLines;
    } cases[] = {
        {"none yet: made with its header", "", L"", written, 0},
        {"readable: read and left as it is", readable, L"2026-12-07 np.exe 5", readable, 0},
        {"partly readable: the readable rows go on, with the file's separator", partly, L"2026-12-07 np.exe 5",
         "\xEF\xBB\xBF" "date;program;seconds;project\r\n2026-12-07;np.exe;5;\r\n", 1},
        {"unreadable: a new history", unreadable, L"", written, 0},
        {"a folder in its place", "/", L"", written, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        const std::filesystem::path file = historyFilePath(folder.path().wstring());
        if (c.before == "/") std::filesystem::create_directory(file);
        else if (!c.before.empty()) writeBytes(file, c.before);

        WorkHistory history;
        history.open(file.wstring(), {D, 15 * 3600 + 30 * 60 + 12});
        EXPECT_FALSE(history.saveError());
        EXPECT_EQ(describe(history.rows()), c.rows);
        EXPECT_EQ(readBytes(file), c.fileAfter);
        const bool kept = c.before != "" && c.before != readable;
        const std::filesystem::path keptAs = folder.path() / "history unreadable 2026-12-07 153012.csv";
        EXPECT_EQ(std::filesystem::exists(keptAs), kept);
        if (!kept) {
            EXPECT_EQ(history.notice, L"");
            continue;
        }
        if (c.before != "/") {
            EXPECT_EQ(readBytes(keptAs), c.before) << "kept byte for byte";
        }
        EXPECT_NE(history.notice.find(keptAs.filename().wstring()), std::wstring::npos) << history.notice;
        EXPECT_EQ(history.notice.rfind(c.unreadableLines ? L"1 line of history.csv could not be read"
                                                         : L"history.csv could not be read", 0), 0u);

        // Counting goes on into the new file; a second unreadable file at the same moment gets a name of its own.
        history.record(L"np.exe", L"", 4, {D, 15 * 3600 + 30 * 60 + 13});
        history.flush({D, 15 * 3600 + 30 * 60 + 13});
        EXPECT_EQ(parseHistoryText(readBytes(file)).rows, history.rows());
        writeBytes(file, unreadable);
        history.open(file.wstring(), {D, 15 * 3600 + 30 * 60 + 12});
        EXPECT_EQ(readBytes(folder.path() / "history unreadable 2026-12-07 153012 (2).csv"), unreadable);
    }

    // Every write holds the whole history, however the rows changed: a new day, a frame that
    // reaches back over midnight to earlier days, a program new to a day.
    TempFolder folder;
    const std::wstring file = historyFilePath(folder.path().wstring());
    WorkHistory history;
    history.open(file, {D, 100});
    const CountedFrame frames[] = {{L"np.exe", 5, {D, 200}},       {L"np.exe", 3, {D + 1, 50}},
                                   {L"ps.exe", 9, {D + 2, 4}},     {L"np.exe", 90000, {D + 2, 10}, L"Acme"},
                                   {L"ps.exe", 2, {D + 2, 20}},    {L"ps.exe", 8, {D + 3, 5}}};
    for (const CountedFrame& frame : frames) {
        history.record(frame.program, frame.project, frame.seconds, frame.at);
        history.flush(frame.at);
        EXPECT_EQ(readBytes(file), formatHistoryText(history.rows(), history.fileForm())) << frame.seconds;
    }
}

}  // namespace

// A view adds what the last record added, when it was up to date just before; seconds that went
// back past midnight to two days are not given as one day's.
TEST(WorkHistory, TheLastRecordedSecondsAreToldForAViewToAdd) {
    TempFolder folder;
    WorkHistory history;
    history.open(folder.file(L"history.csv"), {D, 100});
    EXPECT_EQ(history.lastRecorded().revision, 0u);
    history.record(L"np.exe", L"Acme", 3, {D, 200});
    const WorkHistory::Recorded first = history.lastRecorded();
    EXPECT_EQ(first.revision, history.revision());
    EXPECT_EQ(first.day, D);
    EXPECT_EQ(first.program + L"|" + first.project + L"|" + std::to_wstring(first.seconds), L"np.exe|Acme|3");
    history.record(L"np.exe", L"", 5, {D + 1, 2});  // 2 s today, 3 s yesterday
    EXPECT_EQ(history.lastRecorded().revision, 0u);
}
