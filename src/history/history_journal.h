#pragma once

#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "history/history_file.h"

// The seconds counted since history.csv was last written, in a small file beside it
// (history.csv.journal) that is replaced in one step at every counted second, as data.cfg is.
// history.csv itself is rewritten far less often, and not at all while another program holds
// it; the journal keeps what it does not hold yet, for the next write or the next start.
//
// The journal names the history.csv its rows are not in yet (`base`), by the size and hash of
// its bytes. Just before history.csv is written with the rows in it, the journal also names
// that new file (`next`): a start after a kill between that write and the journal's removal
// finds `next` in place and knows that the rows are in it already, so no second counts twice.
//
// The text, UTF-8 with CR LF line ends:
//   Ardeno Time: seconds not yet in history.csv
//   base,117013,9f3a6c0e21d4b7a8      (or base,none: there was no file; base,unknown)
//   next,117045,12ab44f09e31c0d2      (only while a write of history.csv is under way)
//   date,program,seconds,project
//   2026-12-07,photoshop.exe,12,Acme logo
// A journal of the version before, its rows under "date,program,seconds", reads as it did.
struct HistoryJournal {
    ContentMark base;
    std::optional<ContentMark> next;
    std::vector<HistoryRow> rows;
};

// history.csv.journal beside history.csv.
std::wstring journalPathFor(const std::wstring& historyPath);

std::string formatJournal(const HistoryJournal& journal);
// Nullopt for a text that is not a whole journal.
std::optional<HistoryJournal> parseJournal(const std::string& bytes);

// Whether the journal's rows are still missing from a history.csv whose bytes are `file`: they
// are, unless the file is the one the journal says was being written with them. A file that
// is neither base nor next was put there by someone else after the last write (a spreadsheet),
// from a file that did not hold the rows either.
bool journalRowsPending(const HistoryJournal& journal, const ContentMark& file);
