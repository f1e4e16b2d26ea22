// How the history keeps every counted second: the journal beside history.csv across kills and
// restarts, a history.csv changed by someone else between two writes, and writes that fail.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "common/text.h"
#include "config/file_system.h"
#include "history/history_journal.h"
#include "history/work_history.h"
#include "history_rows.h"
#include "temp_folder.h"

namespace {

namespace fs = std::filesystem;

const DayNumber D = dayNumber({2026, 12, 7}).value();


std::wstring describeFile(const fs::path& file) { return describe(parseHistoryText(readBytes(file)).rows); }

const std::string header = "date,program,seconds\r\n";
const std::string before = header + "2026-12-06,np.exe,100\r\n2026-12-07,np.exe,50\r\n";

// Saves `bytes` as a spreadsheet does: a new file put in place of the old one.
void saveAsASpreadsheetDoes(const fs::path& file, const std::string& bytes) {
    writeBytes(file.wstring() + L".saving", bytes);
    fs::rename(file.wstring() + L".saving", file);
}

// The state a run left when it was killed, and what the next start makes of it.
TEST(HistoryJournal, TheNextStartAddsWhatTheJournalKeptUnlessTheFileHoldsItAlready) {
    const std::string withThem = header + "2026-12-06,np.exe,100\r\n2026-12-07,np.exe,62\r\n";
    const std::string edited = header + "2026-12-06,np.exe,80\r\n2026-12-07,np.exe,50\r\n2026-12-07,meeting,600\r\n";
    const std::vector<HistoryRow> twelve = {{D, L"np.exe", 12}};
    const struct {
        const char* name;
        std::string file;  // "" for no file
        HistoryJournal journal;
        const wchar_t* rows;
        std::string olderText = "";  // the journal as the version before wrote it, instead of `journal`
    } cases[] = {
        {"killed while counting: the journal's seconds are added", before, {contentMark(before), {}, twelve},
         L"2026-12-06 np.exe 100; 2026-12-07 np.exe 62"},
        {"killed as history.csv was about to be replaced: added", before,
         {contentMark(before), contentMark(withThem), twelve}, L"2026-12-06 np.exe 100; 2026-12-07 np.exe 62"},
        {"killed after history.csv was replaced, before the journal went: not counted twice", withThem,
         {contentMark(before), contentMark(withThem), twelve}, L"2026-12-06 np.exe 100; 2026-12-07 np.exe 62"},
        {"the file was corrected after the last write: the seconds go on top of the corrections", edited,
         {contentMark(before), {}, twelve}, L"2026-12-06 np.exe 80; 2026-12-07 np.exe 62; 2026-12-07 meeting 600"},
        {"the file was deleted: the journal's seconds start a new one", "", {contentMark(before), {}, twelve},
         L"2026-12-07 np.exe 12"},
        {"there was no file when the seconds were counted", "", {{ContentMark::noFile, 0}, {}, twelve},
         L"2026-12-07 np.exe 12"},
        {"a journal a person broke is kept aside", before, {{5, 5}, {}, {{D, L"", 12}}},
         L"2026-12-06 np.exe 100; 2026-12-07 np.exe 50"},
        {"killed while counting into a project: a row of its own", before,
         {contentMark(before), {}, {{D, L"np.exe", 12, L"Smith, Jones"}}},
         L"2026-12-06 np.exe 100; 2026-12-07 np.exe 50; 2026-12-07 np.exe 12 for Smith, Jones"},
        {"a journal of the version before, in three columns: read as it was", "", {}, L"2026-12-07 np.exe 12",
         "Ardeno Time: seconds not yet in history.csv\r\nbase,none\r\n"
         "date,program,seconds\r\n2026-12-07,np.exe,12\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        const fs::path file = historyFilePath(folder.path().wstring());
        if (!c.file.empty()) writeBytes(file, c.file);
        writeBytes(journalPathFor(file.wstring()), c.olderText.empty() ? formatJournal(c.journal) : c.olderText);
        const bool broken = c.olderText.empty() && c.journal.rows[0].program.empty();  // a row no journal holds
        if (!broken) {
            EXPECT_EQ(describe(*keptHistory(file.wstring())), c.rows) << "read without changing anything";
        }

        WorkHistory history;
        history.open(file.wstring(), {D, 3600});
        EXPECT_EQ(describe(history.rows()), c.rows);
        EXPECT_EQ(describeFile(file), c.rows);
        EXPECT_FALSE(fs::exists(journalPathFor(file.wstring())));
        EXPECT_FALSE(history.hasWaitingSeconds());
        EXPECT_EQ(fs::exists(folder.path() / "history journal unreadable 2026-12-07 010000.txt"), broken);
        EXPECT_EQ(history.notice.find(L"history journal unreadable") != std::wstring::npos, broken);
        history.open(file.wstring(), {D, 3601});
        EXPECT_EQ(describe(history.rows()), c.rows) << "and only once";
    }
}

// Makes reads of the files named fail, as a virus scanner or a sync client holding them would.
struct FailingReads {
    explicit FailingReads(std::vector<std::wstring>* paths) {
        failReadsForTests([paths](const std::wstring& path) {
            const bool fails = std::find(paths->begin(), paths->end(), path) != paths->end();
            return fails ? std::make_error_code(std::errc::permission_denied) : std::error_code();
        });
    }
    ~FailingReads() { failReadsForTests(nullptr); }
};

// history.csv or its journal cannot be read for a moment at the start: it stays where it is,
// nothing writes over it or is told on, and it is read again after 1, 2, 4 ... seconds. Here a
// kill came right after history.csv was written with the journal's 12 s: once readable, they
// are not counted twice, and the seconds counted meanwhile are all there.
TEST(HistoryReads, AFileThatCannotBeReadForAMomentStaysAndIsReadAgainLosingNothing) {
    const std::string withThem = header + "2026-12-06,np.exe,100\r\n2026-12-07,np.exe,62\r\n";
    const HistoryJournal leftByAKill{contentMark(before), contentMark(withThem), {{D, L"np.exe", 12}}};
    const std::string journalBytes = formatJournal(leftByAKill);
    for (const bool journalFails : {false, true}) {
        SCOPED_TRACE(journalFails ? "the journal cannot be read" : "history.csv cannot be read");
        TempFolder folder;
        const fs::path file = historyFilePath(folder.path().wstring()), journal = journalPathFor(file.wstring());
        writeBytes(file, withThem);
        writeBytes(journal, journalBytes);
        std::vector<std::wstring> failing = {journalFails ? journal.wstring() : file.wstring()};
        const FailingReads reads(&failing);
        WorkHistory history;
        int told = 0;
        history.setWriteListener([&](const std::vector<HistoryRow>&, LocalMoment) { ++told; });
        history.open(file.wstring(), {D, 1000});
        const struct {
            const char* name;
            std::int32_t seconds;
            LocalMoment at;
            bool readable;  // from this step on
            bool readWhole;
        } steps[] = {
            {"counted while it cannot be read", 5, {D, 1000}, false, false},
            {"a second later it is read again, and fails", 0, {D, 1001}, false, false},
            {"... then after two seconds, not before", 3, {D, 1002}, false, false},
            {"readable now, but not due", 0, {D, 1002}, true, false},
            {"due: read", 0, {D, 1003}, true, true},
        };
        for (const auto& step : steps) {
            SCOPED_TRACE(step.name);
            if (step.readable) failing.clear();
            history.record(L"np.exe", L"", step.seconds, step.at);
            history.writeWhenDue(step.at);
            EXPECT_EQ(history.readWhole(), step.readWhole);
            EXPECT_EQ(history.waitingToRead(), !step.readWhole);
            if (step.readWhole) break;
            EXPECT_EQ(readBytes(file), withThem) << "not written over";
            EXPECT_EQ(told, 0) << "nothing told on";
            EXPECT_EQ(history.readingText().rfind(journalFails ? L"history.csv.journal cannot be read now ("
                                                               : L"history.csv cannot be read now (",
                                                  0),
                      0u) << toUtf8(history.readingText());
            const std::optional<HistoryJournal> kept = parseJournal(readBytes(journal));
            ASSERT_TRUE(kept);
            EXPECT_EQ(kept->base, leftByAKill.base) << "its marks stay";
            EXPECT_EQ(kept->next, leftByAKill.next);
            // The seconds go into the journal while only history.csv cannot be read.
            EXPECT_EQ(secondsOnDay(kept->rows, D), journalFails ? 12 : 12 + secondsOnDay(history.rows(), D));
        }
        EXPECT_EQ(describe(history.rows()), L"2026-12-06 np.exe 100; 2026-12-07 np.exe 70");
        EXPECT_EQ(describeFile(file), L"2026-12-06 np.exe 100; 2026-12-07 np.exe 70");
        EXPECT_FALSE(fs::exists(journal));
        EXPECT_EQ(told, 1);
        EXPECT_EQ(history.readingText(), L"");
        EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 1)
            << "nothing set aside";
    }

    // Read again before a write, a file a spreadsheet saved cannot be read for a moment: the
    // history already read stays, its corrections are taken once it can be.
    TempFolder folder;
    const fs::path file = historyFilePath(folder.path().wstring());
    writeBytes(file, before);
    WorkHistory history;
    history.open(file.wstring(), {D, 1000});
    history.record(L"np.exe", L"", 4, {D, 1004});
    saveAsASpreadsheetDoes(file, header + "2026-12-06,np.exe,80\r\n2026-12-07,np.exe,50\r\n");
    std::vector<std::wstring> failing = {file.wstring()};
    {
        const FailingReads reads(&failing);
        history.flush({D, 1010});
        EXPECT_TRUE(history.readWhole()) << "read once: the rows are whole";
        EXPECT_TRUE(history.waitingToRead());
        EXPECT_EQ(secondsOnDay(history.rows(), D), 54);
        history.writeWhenDue({D, 1011});  // fails again
        failing.clear();
        history.writeWhenDue({D, 1012});
        EXPECT_TRUE(history.waitingToRead()) << "after 2 s, not 1";
        history.writeWhenDue({D, 1013});
    }
    EXPECT_FALSE(history.waitingToRead());
    EXPECT_EQ(describeFile(file), L"2026-12-06 np.exe 80; 2026-12-07 np.exe 54");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 1);
}

// Between two writes a person saves the file from a spreadsheet; the program has counted 10 s
// meanwhile. The next write keeps what they saved and adds the 10 s.
TEST(HistoryMerge, ACorrectedFileKeepsTheCorrectionsAndGetsTheSecondsCountedSince) {
    const struct {
        const char* name;
        std::string saved;  // "" for a deleted file
        DateOrder localOrder;
        const wchar_t* after;
        bool keptAside;
        const wchar_t* project = L"";  // of the seconds counted
    } cases[] = {
        {"an earlier day corrected", header + "2026-12-06,np.exe,80\r\n2026-12-07,np.exe,50\r\n", DateOrder::dayFirst,
         L"2026-12-06 np.exe 80; 2026-12-07 np.exe 60", false},
        {"a row of the user's own added", before + "2026-12-07,meeting,600\r\n", DateOrder::dayFirst,
         L"2026-12-06 np.exe 100; 2026-12-07 np.exe 60; 2026-12-07 meeting 600", false},
        {"today's row corrected", header + "2026-12-06,np.exe,100\r\n2026-12-07,np.exe,20\r\n", DateOrder::dayFirst,
         L"2026-12-06 np.exe 100; 2026-12-07 np.exe 30", false},
        {"everything removed", header, DateOrder::dayFirst, L"2026-12-07 np.exe 10", false},
        {"saved in a US spreadsheet", "Date;Program;Seconds\r\n12/6/2026;np.exe;100\r\n12/7/2026;np.exe;50\r\n",
         DateOrder::monthFirst, L"2026-12-06 np.exe 100; 2026-12-07 np.exe 60", false},
        {"saved again unchanged", before, DateOrder::dayFirst, L"2026-12-06 np.exe 100; 2026-12-07 np.exe 60", false},
        {"deleted: the history in memory goes back", "", DateOrder::dayFirst,
         L"2026-12-06 np.exe 100; 2026-12-07 np.exe 60", false},
        {"made unreadable: kept aside, its readable rows go on", before + "yesterday,np.exe,5\r\n", DateOrder::dayFirst,
         L"2026-12-06 np.exe 100; 2026-12-07 np.exe 60", true},
        {"saved with projects, the seconds counted into one of them",
         "date,program,seconds,project\r\n2026-12-06,np.exe,100,\"Smith, Jones\"\r\n2026-12-07,np.exe,50\r\n"
         "2026-12-07,np.exe,7,Acme\r\n",
         DateOrder::dayFirst,
         L"2026-12-06 np.exe 100 for Smith, Jones; 2026-12-07 np.exe 50; 2026-12-07 np.exe 17 for Acme", false,
         L"Acme"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        const fs::path file = historyFilePath(folder.path().wstring());
        writeBytes(file, before);
        WorkHistory history;
        history.open(file.wstring(), {D, 1000}, c.localOrder);
        history.record(L"np.exe", c.project, 4, {D, 1004});
        if (c.saved.empty()) fs::remove(file);
        else saveAsASpreadsheetDoes(file, c.saved);
        history.record(L"np.exe", c.project, 6, {D, 1010});
        history.flush({D, 1011});
        EXPECT_EQ(describe(history.rows()), c.after);
        EXPECT_EQ(readBytes(file), formatHistoryText(history.rows(), history.fileForm())) << "written in its own form";
        EXPECT_FALSE(fs::exists(journalPathFor(file.wstring())));
        const fs::path kept = folder.path() / "history unreadable 2026-12-07 001651.csv";
        EXPECT_EQ(fs::exists(kept), c.keptAside);
        if (c.keptAside) {
            EXPECT_EQ(readBytes(kept), c.saved);
            EXPECT_EQ(history.notice.rfind(L"1 line of history.csv could not be read", 0), 0u) << history.notice;
        }
        // Counting on: only the new seconds are added at the next write.
        history.record(L"np.exe", L"", 1, {D, 1100});
        history.flush({D, 1101});
        EXPECT_EQ(readBytes(file), formatHistoryText(history.rows(), history.fileForm()));
    }
}

// history.csv is written a minute after the first second it lacks (the frames ask, counting or
// not) and when asked at once (Exit, the history window); seconds it cannot take wait in the
// journal, and only seconds kept nowhere are an error.
TEST(HistoryWrites, SecondsTheFileCannotTakeWaitInTheJournalAndShowOnlyWhenTheyAreKeptNowhere) {
    TempFolder folder;
    const fs::path file = historyFilePath(folder.path().wstring());
    const fs::path journal = journalPathFor(file.wstring());
    // A folder where a temporary file goes makes that file's writes fail.
    const fs::path fileBlocker = temporaryPathFor(file.wstring()), journalBlocker = temporaryPathFor(journal.wstring());
    writeBytes(file, before);
    WorkHistory history;
    int told = 0;
    history.setWriteListener([&](const std::vector<HistoryRow>& rows, LocalMoment) {
        ++told;
        EXPECT_EQ(rows, history.rows()) << "the whole history, written or not";
    });
    history.open(file.wstring(), {D, 1000});
    const struct {
        const char* name;
        bool fileBlocked, journalBlocked;
        int seconds;
        LocalMoment at;
        bool flush;
        bool fileWritten, waiting, notSaved;
    } steps[] = {
        {"history.csv cannot be replaced: the journal keeps the seconds, when asked at once too", true, false, 5,
         {D, 1070}, true, false, true, false},
        {"... and between two writes", true, false, 2, {D, 1072}, false, false, true, false},
        {"neither can be written: kept in memory, the red mark", true, true, 3, {D, 1073}, false, false, false, true},
        {"the journal again: all of them kept there", true, false, 1, {D, 1074}, false, false, true, false},
        {"history.csv again, asked at once: all of them in it", false, false, 0, {D, 1075}, true, true, false, false},
        {"neither once more", true, true, 4, {D, 1140}, false, false, false, true},
        {"both free, 59 s after the first second the file lacks: the journal only", false, false, 1, {D, 1199}, false,
         false, false, false},
        {"both again, a minute after the first second the file lacks: all in it", false, false, 1, {D, 1200}, false,
         true, false, false},
        {"a spell's seconds: the journal only", false, false, 2, {D, 1300}, false, false, false, false},
        {"a pause after it: a frame 59 s after its first second writes nothing", false, false, 0, {D, 1359}, false,
         false, false, false},
        {"... the first frame a minute after it writes them", false, false, 0, {D, 1360}, false, true, false, false},
        {"history.csv cannot be replaced: a second waits in the journal", true, false, 1, {D, 1400}, false, false,
         false, false},
        {"... a frame a minute later tries, and says so", true, false, 0, {D, 1460}, false, false, true, false},
        {"free again: frames before the next minute do not try", false, false, 0, {D, 1519}, false, false, true, false},
        {"... the frame a minute after the last try writes it", false, false, 0, {D, 1520}, false, true, false, false},
    };
    std::int64_t counted = 0;
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        for (const auto& [blocker, blocked] : {std::pair{fileBlocker, step.fileBlocked}, {journalBlocker, step.journalBlocked}}) {
            if (blocked) fs::create_directories(blocker);
            else fs::remove(blocker);
        }
        const std::string fileBefore = readBytes(file);
        history.record(L"np.exe", L"", step.seconds, step.at);
        history.writeWhenDue(step.at);  // as every frame does
        if (step.flush) history.flush(step.at);
        counted += step.seconds;
        EXPECT_EQ(secondsOnDay(history.rows(), D), 50 + counted) << "every second counted shows";
        EXPECT_EQ(readBytes(file) != fileBefore, step.fileWritten);
        EXPECT_EQ(!history.waitingText().empty(), step.waiting) << history.waitingText();
        EXPECT_EQ(static_cast<bool>(history.saveError()), step.notSaved);
        if (step.waiting) {
            EXPECT_EQ(history.waitingText().rfind(L"history.csv cannot be written now (", 0), 0u);
            EXPECT_EQ(*keptHistory(file.wstring()), history.rows()) << "file and journal hold every second";
        }
    }
    EXPECT_EQ(describeFile(file), L"2026-12-06 np.exe 100; 2026-12-07 np.exe 70");
    EXPECT_FALSE(fs::exists(journal));
    EXPECT_EQ(told, 6) << "every attempt to write history.csv is told";
}

// A rewrite of history.csv costs its whole size in bytes written; a larger file waits longer
// between rewrites, so that what a counted second costs stays about the same.
TEST(HistoryWrites, ALargerFileWaitsLongerBetweenRewrites) {
    const struct {
        std::int64_t fileBytes;  // negative: no file, or unknown
        std::int64_t waited;
        bool due;
    } cases[] = {
        {ContentMark::noFile, 59, false}, {ContentMark::unknown, 60, true}, {30, 59, false},  {30, 60, true},
        {117000, 59, false},               {117000, 60, true},                {1048576, 511, false},
        {1048576, 512, true},              {1048577, 512, false},             {1048577, 513, true},
        {4 << 20, 899, false},             {4 << 20, 900, true},              {1048576, -1, true},  // a clock set back
    };
    for (const auto& c : cases)
        EXPECT_EQ(rewriteDue(c.fileBytes, c.waited), c.due) << c.fileBytes << " bytes, " << c.waited << " s";

    // Ten years of 5,000 days: 165,033 bytes with the mark, rewritten 81 s after the first second it lacks.
    TempFolder folder;
    const fs::path file = historyFilePath(folder.path().wstring());
    std::vector<HistoryRow> years;
    for (DayNumber day = D - 5000; day < D; ++day) years.push_back({day, L"photoshop.exe", 28800});
    ASSERT_FALSE(saveHistoryFile(file.wstring(), years));
    ASSERT_EQ(fs::file_size(file), 165033u);
    WorkHistory history;
    history.open(file.wstring(), {D, 1000});
    history.record(L"photoshop.exe", L"Acme", 1, {D, 1000});
    history.record(L"photoshop.exe", L"Acme", 1, {D, 1060});
    history.writeWhenDue({D, 1080});
    EXPECT_TRUE(history.hasWaitingSeconds()) << "not yet after 80 s";
    history.writeWhenDue({D, 1081});
    EXPECT_FALSE(history.hasWaitingSeconds());
}

}  // namespace
