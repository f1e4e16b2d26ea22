#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "common/calendar.h"
#include "common/csv.h"
#include "config/file_system.h"
#include "history/date_order.h"

// history.csv, beside data.cfg: the seconds counted per local day, target program and project,
// for people to read and to open in a spreadsheet. UTF-8 with a byte-order mark (without one,
// Excel reads a file in the ANSI code page), CR LF line ends, the header
// "date,program,seconds,project", then one row per day, program and project in date order, the
// project's cell empty for seconds that went to none:
//   2026-12-07,photoshop.exe,3723,Acme logo
//   2026-12-07,photoshop.exe,600,
// The separator is "," or, where the user's spreadsheet expects it, ";" (see spreadsheetCsv);
// a file keeps the one it had when last read. The project came last so that the first three
// columns, all that older files have, keep their place for the formulas people built on them. A
// name holding the separator or a quote, or beginning or ending with a space, is quoted as
// spreadsheets expect ("a,b.exe", "say ""hi"".exe"). The journal and the shared PC files hold
// rows in the same way, in the plain form (",", no mark) that earlier versions wrote.

struct HistoryRow {
    DayNumber day = 0;
    std::wstring program;
    std::int64_t seconds = 0;
    std::wstring project{};  // empty: none; given a default so that rows of no project may leave it out
};

inline bool operator==(const HistoryRow& a, const HistoryRow& b) {
    return a.day == b.day && a.program == b.program && a.seconds == b.seconds && a.project == b.project;
}

class PackedHistory;

// One PC's history, as the work-history window and the reports count it (forEachRow in
// packed_history.h reads either form).
struct ChartPc {
    std::wstring name;  // as the window and the reports show it
    const std::vector<HistoryRow>* rows = nullptr;
    const PackedHistory* packed = nullptr;  // or kept packed, as other PCs' histories are
};

// What a history text holds, as far as it can be read. People save the file back from
// spreadsheets, so reading is tolerant:
// - with or without a byte-order mark, each line UTF-8 when it is, else in the ANSI code page
//   (see decodeFileText);
// - the separator is "," or ";", whichever the header uses; fields may be quoted or not, spaces
//   around unquoted fields are dropped, and empty fields at the end of a line are ignored;
// - a date has its year first (2026-12-07, 2026/12/7) or last, with "/", "." or "-" between
//   its parts (7.12.2026, 12/7/2026; one or two digits for day and month). Whether a date with
//   the year last has its day or its month first, the file's own rows settle when they can: a
//   first number above 12 is a day, a second above 12 is a month. When they do not (or say
//   both), `localOrder` decides: the order of the user's short date format, in which their
//   spreadsheet saves;
// - seconds are a whole number from 0 to 2147483647;
// - the header names date, program and seconds, and may name project after them: the files of
//   older versions have three columns, and a row of three fields under four has no project
//   (a spreadsheet drops empty cells at the ends of rows). A fourth field without a project
//   column is unreadable, as is any field after the project;
// - blank lines are skipped; rows of the same day, program and project are added together,
//   since each says how long was worked, as long as their sum stays a number the file can hold;
//   rows come out in date order, each day's in the order they came.
// A line that breaks any of these is unreadable. A text with nothing but blank lines is an
// empty history; without a header naming date, program and seconds nothing can be read.
// Whatever this reads, formatHistoryText writes so that it reads back the same.
struct HistoryText {
    bool headerFound = false;
    std::optional<char> separator;  // the header's; none without a header line
    std::vector<HistoryRow> rows;
    std::vector<int> unreadableLines;  // 1-based line numbers
};

HistoryText parseHistoryText(const std::string& bytes, DateOrder localOrder = DateOrder::dayFirst);
// The rows in `form`: its byte-order mark, the header, the rows.
std::string formatHistoryText(const std::vector<HistoryRow>& rows, const CsvForm& form = plainCsv);
// The first line in `form`, with its line end (without the mark).
std::string historyHeader(const CsvForm& form = plainCsv);
// Appends the lines of rows [first, last) as formatHistoryText writes them after the header.
void appendHistoryRows(std::string& bytes, std::vector<HistoryRow>::const_iterator first,
                       std::vector<HistoryRow>::const_iterator last, const CsvForm& form = plainCsv);

// The most seconds a row holds, as the file can say it.
constexpr std::int64_t maxRowSeconds = 2147483647;

// Adds `row` to the history, to the row of its day, program and project if there is one (a sum
// past maxRowSeconds stays at it), else as a new row after the rows of its day and of every
// earlier day.
void addToHistory(std::vector<HistoryRow>& rows, const HistoryRow& row);
// Adds every row of `added` as the one above would, one after the other, at the cost of sorting
// each day they touch once (many rows of one day would else cost the square of their number).
void addToHistory(std::vector<HistoryRow>& rows, std::vector<HistoryRow> added);

// history.csv in the folder of data.cfg.
std::wstring historyFilePath(const std::wstring& stateFolder);

// A file's bytes in brief, to recognise them later without keeping them: their size and a
// 64-bit FNV-1a hash. Two sizes stand for no bytes at all.
struct ContentMark {
    static constexpr std::int64_t noFile = -1;   // nothing was there
    static constexpr std::int64_t unknown = -2;  // something was there but could not be read
    std::int64_t size = unknown;
    std::uint64_t hash = 0;
};
inline bool operator==(const ContentMark& a, const ContentMark& b) { return a.size == b.size && a.hash == b.hash; }
inline bool operator!=(const ContentMark& a, const ContentMark& b) { return !(a == b); }
ContentMark contentMark(const std::string& bytes);

// What reading a history file found.
struct HistoryLoad {
    std::vector<HistoryRow> rows;
    // False when the file exists but could not be read (a moment's read error, see readFailed),
    // or was unreadable and could not be moved aside: it must not be written over, since what it
    // holds is unknown.
    bool usable = false;
    // The file is there but its bytes could not be read (held by another program, a read
    // error): it was left where it is, to be read again.
    bool readFailed = false;
    // The separator of its header, when one was read.
    std::optional<char> separator;
    // Nothing usable is at the path now (there was no file, or it was moved aside): the rows
    // are to be written there.
    bool mustWrite = false;
    // Where the file was moved because some or all of it could not be read; empty otherwise.
    std::wstring keptAs;
    std::size_t unreadableLines = 0;  // with keptAs: how many lines were left behind
    bool nothingReadable = false;     // with keptAs: the whole file was unreadable
    std::error_code error;            // why it could be neither read nor moved aside
    ContentMark found;                // the bytes that were at the path
};

// Reads the history at `path`. A file of which anything cannot be read is never written over:
// it is moved beside itself under a name carrying `stamp` ("history unreadable 2026-12-07
// 153012.csv"), and the rows that could be read are to go into a new file in its place. A file
// whose bytes cannot be read now is no such file: it stays (readFailed). Only a folder in its
// place, which no read will ever get bytes from, is moved aside as if unreadable.
HistoryLoad loadHistoryFile(const std::wstring& path, const std::wstring& stamp,
                            DateOrder localOrder = DateOrder::dayFirst);

// Replaces the file with these rows, in `form`, in one step (see writeFileAtomically).
std::error_code saveHistoryFile(const std::wstring& path, const std::vector<HistoryRow>& rows,
                                const CsvForm& form = spreadsheetCsv(L","));
