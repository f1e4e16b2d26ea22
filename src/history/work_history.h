#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "common/calendar.h"
#include "common/csv.h"
#include "config/read_retry.h"
#include "history/date_order.h"
#include "history/file_stamp.h"
#include "history/history_file.h"
#include "history/history_journal.h"

// The work history's rule: which row a counted second belongs to. The caller passes the local
// moment in; nothing here reads a clock.

// Adds the `seconds` that one frame counted for `program` and `project` (empty for none), the
// frame ending at `now`, to the rows. The seconds run up to `now`, so those after local midnight
// go to the new day and the rest to the day before it (and further back, should a frame ever
// span more than a day).
void addCountedSeconds(std::vector<HistoryRow>& rows, const std::wstring& program, const std::wstring& project,
                       std::int32_t seconds, LocalMoment now);

// All programs' seconds on `day`.
std::int64_t secondsOnDay(const std::vector<HistoryRow>& rows, DayNumber day);
// The seconds of `project` (empty: of no project) on `day`, in every program; names are
// compared as they are written.
std::int64_t projectSecondsOnDay(const std::vector<HistoryRow>& rows, DayNumber day, const std::wstring& project);
// The seconds of `project` over all days, compared as projectSecondsOnDay compares.
std::int64_t projectSeconds(const std::vector<HistoryRow>& rows, const std::wstring& project);
// All programs' seconds from the Monday to the Sunday of the week that holds `day`.
std::int64_t secondsInWeekOf(const std::vector<HistoryRow>& rows, DayNumber day);
// All programs' seconds on each of the `count` days that end with `lastDay`, oldest first.
std::vector<std::int64_t> dailyTotals(const std::vector<HistoryRow>& rows, DayNumber lastDay, int count);

// How long history.csv, `fileBytes` long as last written or read (negative when unknown), waits
// between rewrites while seconds are counted: a minute, or longer for a large file, so that its
// rewrites cost about rewriteBytesPerSecond per second of waiting (a 1 MB file: 512 s), up to a
// quarter of an hour. The journal keeps every second meanwhile.
std::int64_t rewriteIntervalSeconds(std::int64_t fileBytes);
constexpr std::int64_t rewriteBytesPerSecond = 2048;
// Whether history.csv is to be rewritten now, `waitedSeconds` after the first second it lacks
// (or after the last attempt that failed). A clock set back (a negative wait) writes at once.
bool rewriteDue(std::int64_t fileBytes, std::int64_t waitedSeconds);

// The history while the program runs: the rows in memory, history.csv and its journal (see
// history_journal.h). Every counted second goes into the journal at once; history.csv is
// rewritten whole when rewriteDue says so, and whenever flush asks for it (Exit, sign-out,
// sleep, the history window, "Open in spreadsheet"). Before each write it looks whether
// someone else changed the file since (a spreadsheet saving corrections) and, if so, reads it
// again and adds only the seconds counted since its own last write. A file that cannot be
// replaced (another program holds it) or read is never written over; the journal keeps the
// seconds until it can be, across restarts. rows() always holds every counted second.
//
// A file whose bytes cannot be read for a moment (a virus scanner or a sync client holding it)
// is no broken file: it stays where it is and is read again after a second, then at growing
// intervals (ReadRetry). Until history.csv and the journal have both been read, nothing writes
// history.csv, the journal keeps the marks it had (so that a file written just before a kill
// is never counted twice once it can be read), counted seconds wait in the journal (in memory
// only while the journal is what cannot be read), and nothing is told to the write listener:
// rows() then holds only what has been read and counted, never to be taken for the history.
class WorkHistory {
public:
    // Called after every write or attempted write of history.csv, with the whole history as it
    // was written (or was to be), including seconds the file could not take; and once a history
    // that could not be read at the start has been read.
    using WriteListener = std::function<void(const std::vector<HistoryRow>& rows, LocalMoment now)>;

    // Reads history.csv at `path` (dates with the year last in `localOrder` unless its rows say
    // otherwise) and its journal; seconds the journal kept that the file lacks go into it now. A
    // history.csv written anew takes `newFile`'s form; one that was read keeps its separator.
    void open(std::wstring path, LocalMoment now, DateOrder localOrder = DateOrder::dayFirst,
              CsvForm newFile = spreadsheetCsv(L","));
    // Adds a frame's counted seconds for `program` and `project` (empty for none).
    void record(const std::wstring& program, const std::wstring& project, std::int32_t seconds, LocalMoment now);
    // Writes history.csv now if seconds wait for it, someone else changed it since the last
    // write, or it is missing; otherwise does nothing. What could not be read is tried first.
    void flush(LocalMoment now);
    // Writes history.csv if seconds have waited for it as long as rewriteDue asks, or reads
    // again what could not be read when that is due; nothing otherwise. Every frame calls it,
    // so that the seconds of a spell followed by a long pause reach the file too; it costs a
    // comparison while nothing waits.
    void writeWhenDue(LocalMoment now);
    void setWriteListener(WriteListener listener) { listener_ = std::move(listener); }

    const std::vector<HistoryRow>& rows() const { return rows_; }
    const std::wstring& path() const { return path_; }
    const std::wstring& journalPath() const { return journalPath_; }
    // Whether history.csv and its journal have both been read since open, so that rows() holds
    // the whole history: false before open and while either waits to be read again.
    bool readWhole() const { return fileRead_ && journalRead_; }
    // Whether a file waits to be read again: not read whole yet, or history.csv could not be
    // read again before a write.
    bool waitingToRead() const { return !path_.empty() && (!readWhole() || retry_.waiting()); }
    // While a file waits to be read again: a line saying which and why, for the menu. Empty
    // otherwise.
    std::wstring readingText() const;
    // The same in two shorter lines, for the history window; none otherwise.
    std::vector<std::wstring> readingNotes() const;
    // The form history.csv is written in.
    const CsvForm& fileForm() const { return form_; }
    // Why counted seconds are in memory only: the journal could not be written, nor history.csv.
    // Empty while every counted second is on disk.
    const std::error_code& saveError() const { return saveError_; }
    // Why the last attempt to write history.csv failed; empty once one succeeds.
    const std::error_code& fileError() const { return fileError_; }
    // While a file waits to be read again, or history.csv cannot be written but the journal
    // keeps the seconds: a line saying so for the menu. Empty otherwise.
    std::wstring waitingText() const;
    // Seconds counted that history.csv does not hold yet.
    bool hasWaitingSeconds() const { return !pending_.empty(); }
    // Grows with every change of the rows, so that a view can tell that it is out of date.
    std::uint64_t revision() const { return revision_; }
    // What the last record() added, and the revision it made: a view that was up to date one
    // revision before adds it to its sums rather than summing every row again.
    struct Recorded {
        std::uint64_t revision = 0;  // 0: nothing recorded yet
        DayNumber day = 0;
        std::wstring program;
        std::wstring project;
        std::int64_t seconds = 0;
    };
    const Recorded& lastRecorded() const { return lastRecorded_; }

    // News about the files for the menu to say once (where an unreadable one was kept); the
    // menu clears it.
    std::wstring notice;

private:
    enum class FileState { unchanged, changed, blocked };

    bool readWhatWasNotRead(LocalMoment now);
    void readJournal(LocalMoment now);
    void adopt(HistoryLoad load);
    FileState takeChanges(LocalMoment now);
    void writeFile(LocalMoment now);
    void keepInJournal(const std::optional<ContentMark>& next);
    void tell(LocalMoment now) const;
    bool due(LocalMoment now) const;

    std::wstring path_;
    std::wstring journalPath_;
    DateOrder localOrder_ = DateOrder::dayFirst;
    CsvForm newFileForm_;              // a new history.csv's
    CsvForm form_;                     // history.csv's, as last read or written
    std::vector<HistoryRow> rows_;
    std::vector<HistoryRow> pending_;  // counted since history.csv was last written
    bool usable_ = false;              // history.csv may be written over
    bool fileRead_ = false;            // history.csv was read since open
    bool journalRead_ = false;         // the journal was read since open (or was not there)
    // The journal as read, its rows not yet judged against history.csv, which has not been read.
    std::optional<HistoryJournal> heldJournal_;
    ContentMark foundAtRead_;          // the bytes of history.csv when it was read at the start
    ReadRetry retry_;
    std::error_code journalError_;     // why the journal could not be read
    ContentMark onDisk_;               // the bytes of history.csv as last written or read
    std::optional<FileStamp> stamp_;   // history.csv's stamp then
    std::int64_t waitingSince_ = 0;    // local seconds: the first second of pending_, or the last attempt to write
    std::error_code saveError_;
    std::error_code fileError_;
    bool held_ = false;  // fileError_ came of another program holding the file open
    std::uint64_t revision_ = 0;
    Recorded lastRecorded_;
    WriteListener listener_;
};

// What history.csv and its journal hold together, read without changing either: the file's rows
// and the journal's rows the file lacks. Nullopt when either is there but cannot be read whole.
std::optional<std::vector<HistoryRow>> keptHistory(const std::wstring& path, DateOrder localOrder = DateOrder::dayFirst);
