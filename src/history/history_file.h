#pragma once

#include <cstdint>
#include <string>
#include <system_error>
#include <vector>

#include "common/calendar.h"

// history.csv, beside data.cfg: the seconds counted per local day and target program, for
// people to read and to open in a spreadsheet. UTF-8 without a byte-order mark, CR LF line
// ends, the header "date,program,seconds", then one row per day and program in date order:
//   2026-12-07,photoshop.exe,3723
// A program name holding a comma or a quote, or beginning or ending with a space, is quoted
// as spreadsheets expect ("a,b.exe", "say ""hi"".exe").

struct HistoryRow {
    DayNumber day = 0;
    std::wstring program;
    std::int64_t seconds = 0;
};

inline bool operator==(const HistoryRow& a, const HistoryRow& b) {
    return a.day == b.day && a.program == b.program && a.seconds == b.seconds;
}

// What a history text holds, as far as it can be read. People save the file back from
// spreadsheets, so reading is tolerant:
// - UTF-8 with or without a byte-order mark; a file that is not UTF-8 is read as Latin-1;
// - the separator is "," or ";", whichever the header uses; fields may be quoted or not, spaces
//   around unquoted fields are dropped, and empty fields at the end of a line are ignored;
// - a date is 2026-12-07, 2026/12/07 or 07.12.2026 (one or two digits for day and month); a date
//   such as 12/07/2026 could be either day or month first and is not guessed;
// - seconds are a whole number from 0 to 2147483647;
// - blank lines are skipped; rows of the same day and program are added together, since each
//   says how long was worked; rows come out in date order, each day's in the order they came.
// A line that breaks any of these is unreadable. A text with nothing but blank lines is an
// empty history; without a header naming date, program and seconds nothing can be read.
struct HistoryText {
    bool headerFound = false;
    std::vector<HistoryRow> rows;
    std::vector<int> unreadableLines;  // 1-based line numbers
};

HistoryText parseHistoryText(const std::string& bytes);
std::string formatHistoryText(const std::vector<HistoryRow>& rows);
// The first line, with its line end.
std::string historyHeader();
// Appends the lines of rows [first, last) as formatHistoryText writes them after the header.
void appendHistoryRows(std::string& bytes, std::vector<HistoryRow>::const_iterator first,
                       std::vector<HistoryRow>::const_iterator last);

// Adds `row` to the history, to its day and program's row if there is one, else as a new row
// after the rows of its day and of every earlier day.
void addToHistory(std::vector<HistoryRow>& rows, const HistoryRow& row);

// history.csv in the folder of data.cfg.
std::wstring historyFilePath(const std::wstring& stateFolder);

// What starting with a history file found.
struct HistoryLoad {
    std::vector<HistoryRow> rows;
    // False when the file exists but could neither be read nor moved aside: it must not be
    // written over, since what it holds is unknown.
    bool usable = false;
    // Where the file was moved because some or all of it could not be read; empty otherwise.
    std::wstring keptAs;
    std::size_t unreadableLines = 0;  // with keptAs: how many lines were left behind
    bool nothingReadable = false;     // with keptAs: the whole file was unreadable
    std::error_code error;            // why it could not be read, moved or written afresh
};

// Reads the history at `path`. A missing file is created with the header alone. A file of
// which anything cannot be read is never written over: it is moved beside itself under a name
// carrying `stamp` ("history unreadable 2026-12-07 153012.csv"), and a new file with the rows
// that could be read takes its place.
HistoryLoad loadHistoryFile(const std::wstring& path, const std::wstring& stamp);

// Replaces the file with these rows in one step (see writeFileAtomically).
std::error_code saveHistoryFile(const std::wstring& path, const std::vector<HistoryRow>& rows);
