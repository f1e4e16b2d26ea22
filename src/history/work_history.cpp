#include "history/work_history.h"

#include <algorithm>
#include <filesystem>

#include "config/file_system.h"
#include "config/settings_error.h"
#include "history/history_journal.h"

void addCountedSeconds(std::vector<HistoryRow>& rows, const std::wstring& program, const std::wstring& project,
                       std::int32_t seconds, LocalMoment now) {
    std::int64_t remaining = seconds;
    std::int64_t room = now.secondOfDay;
    for (DayNumber day = now.day; remaining > 0; --day, room = secondsPerDay) {
        const std::int64_t here = std::min(remaining, room);
        if (here > 0) addToHistory(rows, {day, program, here, project});
        remaining -= here;
    }
}

std::int64_t secondsOnDay(const std::vector<HistoryRow>& rows, DayNumber day) {
    return dailyTotals(rows, day, 1).front();
}

std::int64_t projectSecondsOnDay(const std::vector<HistoryRow>& rows, DayNumber day, const std::wstring& project) {
    // Rows are in date order: the day's rows end where the later days begin.
    auto it = std::upper_bound(rows.begin(), rows.end(), day,
                               [](DayNumber d, const HistoryRow& r) { return d < r.day; });
    std::int64_t sum = 0;
    for (; it != rows.begin() && (it - 1)->day == day; --it)
        if ((it - 1)->project == project) sum += (it - 1)->seconds;
    return sum;
}

std::int64_t rewriteIntervalSeconds(std::int64_t fileBytes) {
    const std::int64_t shortest = 60, longest = 15 * 60;
    const std::int64_t bytes = std::max<std::int64_t>(fileBytes, 0);
    return std::clamp((bytes + rewriteBytesPerSecond - 1) / rewriteBytesPerSecond, shortest, longest);
}

bool rewriteDue(std::int64_t fileBytes, std::int64_t waitedSeconds) {
    return waitedSeconds < 0 || waitedSeconds >= rewriteIntervalSeconds(fileBytes);
}

std::int64_t projectSeconds(const std::vector<HistoryRow>& rows, const std::wstring& project) {
    std::int64_t sum = 0;
    for (const HistoryRow& row : rows)
        if (row.project == project) sum += row.seconds;
    return sum;
}

std::int64_t secondsInWeekOf(const std::vector<HistoryRow>& rows, DayNumber day) {
    const std::vector<std::int64_t> week = dailyTotals(rows, day - weekdayIndex(day) + 6, 7);
    std::int64_t sum = 0;
    for (std::int64_t seconds : week) sum += seconds;
    return sum;
}

std::vector<std::int64_t> dailyTotals(const std::vector<HistoryRow>& rows, DayNumber lastDay, int count) {
    std::vector<std::int64_t> totals(static_cast<std::size_t>(std::max(count, 0)), 0);
    const std::int64_t first = std::int64_t{lastDay} - count + 1;
    for (const HistoryRow& row : rows) {
        const std::int64_t index = row.day - first;
        if (index >= 0 && index < count) totals[static_cast<std::size_t>(index)] += row.seconds;
    }
    return totals;
}

namespace {

std::int64_t localSeconds(LocalMoment moment) { return std::int64_t{moment.day} * secondsPerDay + moment.secondOfDay; }

struct JournalRead {
    bool found = false;
    std::optional<HistoryJournal> journal;  // when found and whole
    // Found, but its bytes could not be read now (a folder in its place excepted): `error`.
    bool failed = false;
    std::error_code error;
};

JournalRead readJournalFile(const std::wstring& path) {
    JournalRead read;
    const std::optional<std::string> bytes = readWholeFile(path, read.found, read.error);
    if (bytes) read.journal = parseJournal(*bytes);
    else read.failed = read.found && !isFolder(path);
    return read;
}

}  // namespace

void WorkHistory::open(std::wstring path, LocalMoment now, DateOrder localOrder, CsvForm newFile) {
    path_ = std::move(path);
    journalPath_ = journalPathFor(path_);
    localOrder_ = localOrder;
    newFileForm_ = form_ = newFile;
    rows_.clear();
    pending_.clear();
    saveError_.clear();
    fileError_.clear();
    journalError_.clear();
    held_ = usable_ = fileRead_ = journalRead_ = false;
    heldJournal_.reset();
    onDisk_ = foundAtRead_ = ContentMark{};
    retry_.succeeded();
    stamp_.reset();
    waitingSince_ = localSeconds(now);
    ++revision_;
    readWhatWasNotRead(now);
}

// Reads history.csv and its journal, whichever has not been read since open; once both have
// been, the journal's rows that the file lacks go into it. False while either waits.
bool WorkHistory::readWhatWasNotRead(LocalMoment now) {
    if (!fileRead_) {
        HistoryLoad load = loadHistoryFile(path_, fileStamp(now), localOrder_);
        if (load.usable) {
            fileRead_ = true;
            foundAtRead_ = load.found;
            adopt(std::move(load));
        } else {
            fileError_ = load.error;
            held_ = heldOpenByAnotherProgram(path_);
        }
    }
    if (!journalRead_) readJournal(now);
    if (!readWhole()) {
        retry_.failed(now);
        if (!pending_.empty()) keepInJournal(std::nullopt);
        return false;
    }
    const bool waited = retry_.waiting();
    retry_.succeeded();
    if (heldJournal_) {
        if (journalRowsPending(*heldJournal_, foundAtRead_)) {
            addToHistory(rows_, heldJournal_->rows);
            // The journal's seconds were counted before this run's.
            std::vector<HistoryRow> pending = std::move(heldJournal_->rows);
            addToHistory(pending, pending_);
            pending_ = std::move(pending);
            ++revision_;
        }
        heldJournal_.reset();
    }
    if (!pending_.empty() || onDisk_.size == ContentMark::noFile) {
        writeFile(now);
    } else {
        removeFile(journalPath_);  // nothing in it that the file lacks
        if (waited) tell(now);     // the history was not handed on while it was not read
    }
    return true;
}

// The journal a run left; its rows are judged once history.csv has been read too. A journal
// only a person could have made unreadable is kept aside for them; one that cannot be read now,
// or cannot be moved aside, stays where it is and is never written over.
void WorkHistory::readJournal(LocalMoment now) {
    JournalRead read = readJournalFile(journalPath_);
    if (read.failed) {
        journalError_ = read.error;
        return;
    }
    if (read.journal || !read.found) {
        if (read.journal) heldJournal_ = std::move(read.journal);
        journalRead_ = true;
        return;
    }
    try {
        const std::wstring kept = freeNameBeside(path_, L"history journal unreadable " + fileStamp(now), L".txt");
        if (!replaceFile(journalPath_, kept)) {
            journalError_ = lastFileError();
            if (!journalError_) journalError_ = std::make_error_code(std::errc::io_error);
            return;
        }
        notice = L"The journal of history.csv could not be read; it was kept as " + displayPath(kept);
        journalRead_ = true;
    } catch (const std::filesystem::filesystem_error& error) {
        journalError_ = error.code();
    }
}

void WorkHistory::adopt(HistoryLoad load) {
    // Seconds not yet in the file go on top of what it holds.
    addToHistory(load.rows, pending_);
    rows_ = std::move(load.rows);
    ++revision_;
    usable_ = load.usable;
    fileError_ = load.error;
    held_ = fileError_ && heldOpenByAnotherProgram(path_);
    onDisk_ = load.found;
    if (load.mustWrite) onDisk_.size = ContentMark::noFile;
    stamp_ = load.mustWrite || !load.usable ? std::nullopt : fileStampOf(path_);
    // A file keeps the separator it was read with: people's imports and formulas rely on it, and
    // a spreadsheet's save with the other one switches it.
    form_ = newFileForm_;
    if (load.separator) form_.separator = *load.separator;
    if (load.keptAs.empty()) return;
    const std::wstring kept = displayPath(load.keptAs);
    if (load.nothingReadable) {
        notice = L"history.csv could not be read; it was kept as " + kept;
    } else {
        const std::size_t lines = load.unreadableLines;
        notice = std::to_wstring(lines) + (lines == 1 ? L" line" : L" lines") +
                 L" of history.csv could not be read; the file was kept as " + kept;
    }
}

void WorkHistory::record(const std::wstring& program, const std::wstring& project, std::int32_t seconds,
                         LocalMoment now) {
    if (seconds <= 0) return;
    if (pending_.empty()) waitingSince_ = localSeconds(now);
    addCountedSeconds(rows_, program, project, seconds, now);
    addCountedSeconds(pending_, program, project, seconds, now);
    ++revision_;
    // Seconds reaching back past midnight went to two days: the view sums again.
    lastRecorded_ = seconds <= now.secondOfDay ? Recorded{revision_, now.day, program, project, seconds} : Recorded{};
    // While a file waits to be read again, writeWhenDue reads it when that is due.
    if (!retry_.waiting() && due(now)) flush(now);
    else keepInJournal(std::nullopt);
}

bool WorkHistory::due(LocalMoment now) const {
    // The size as last written or read: the rows grow by a few bytes a day in between.
    return rewriteDue(onDisk_.size, localSeconds(now) - waitingSince_);
}

void WorkHistory::writeWhenDue(LocalMoment now) {
    if (retry_.waiting()) {
        if (retry_.due(now)) flush(now);
        return;
    }
    if (!pending_.empty() && due(now)) flush(now);
}

void WorkHistory::flush(LocalMoment now) {
    if (path_.empty()) return;
    waitingSince_ = localSeconds(now);  // a file that cannot be written is tried again when due
    if (!readWhole()) {
        readWhatWasNotRead(now);
        return;
    }
    const FileState state = takeChanges(now);
    if (state == FileState::blocked) {
        if (!pending_.empty()) keepInJournal(std::nullopt);
        tell(now);
        return;
    }
    if (state == FileState::changed || !pending_.empty()) writeFile(now);
}

// Compares the file with what was last written or read, cheaply first; reads it again only
// when it differs.
WorkHistory::FileState WorkHistory::takeChanges(LocalMoment now) {
    const std::optional<FileStamp> stamp = fileStampOf(path_);
    if (usable_ && stamp && stamp_ && *stamp == *stamp_) return FileState::unchanged;
    HistoryLoad load = loadHistoryFile(path_, fileStamp(now), localOrder_);
    if (load.readFailed) retry_.failed(now);
    else retry_.succeeded();
    if (!load.usable) {
        usable_ = false;
        fileError_ = load.error;
        held_ = heldOpenByAnotherProgram(path_);
        return FileState::blocked;
    }
    if (load.mustWrite && load.keptAs.empty() && usable_) {
        // Deleted, or between the steps of a program's save: the history in memory goes back.
        onDisk_.size = ContentMark::noFile;
        return FileState::changed;
    }
    if (usable_ && !load.mustWrite && load.found == onDisk_) {
        stamp_ = stamp;  // touched, not changed
        return FileState::unchanged;
    }
    adopt(std::move(load));
    return FileState::changed;
}

void WorkHistory::writeFile(LocalMoment now) {
    const std::string text = formatHistoryText(rows_, form_);
    const ContentMark written = contentMark(text);
    // Named before the write: a kill between the write and the journal's removal must not
    // bring its seconds back at the next start.
    if (!pending_.empty()) keepInJournal(written);
    fileError_ = writeFileAtomically(path_, text);
    held_ = fileError_ && heldOpenByAnotherProgram(path_);
    if (!fileError_) {
        onDisk_ = written;
        stamp_ = fileStampOf(path_);
        pending_.clear();
        saveError_.clear();
        removeFile(journalPath_);
    }
    tell(now);
}

void WorkHistory::keepInJournal(const std::optional<ContentMark>& next) {
    // Not opened: rows in memory only. A journal that could not be read is never written over.
    if (path_.empty() || !journalRead_) return;
    if (heldJournal_) {
        // history.csv is not read yet: whether the journal's rows are in it is still open, so
        // its marks stay as they were, and the seconds counted since go with its rows.
        HistoryJournal journal = *heldJournal_;
        addToHistory(journal.rows, pending_);
        saveError_ = writeFileAtomically(journalPath_, formatJournal(journal));
        return;
    }
    saveError_ = writeFileAtomically(journalPath_, formatJournal({onDisk_, next, pending_}));
}

void WorkHistory::tell(LocalMoment now) const {
    if (listener_) listener_(rows_, now);
}

std::wstring WorkHistory::readingText() const {
    if (!waitingToRead()) return L"";
    if (!journalRead_)
        return L"history.csv.journal cannot be read now (" + systemReason(journalError_) +
               L"); it is read again in a moment, and the new seconds are kept in memory until then";
    return L"history.csv cannot be read now (" + systemReason(fileError_) +
           L"); it is read again in a moment, and the new seconds are kept until then";
}

std::vector<std::wstring> WorkHistory::readingNotes() const {
    if (!waitingToRead()) return {};
    const bool journal = !journalRead_;
    return {(journal ? L"history.csv.journal" : L"history.csv") + std::wstring(L" cannot be read now (") +
                systemReason(journal ? journalError_ : fileError_) + L").",
            readWhole() ? L"It is read again in a moment; the new seconds are kept until then."
                        : L"It is read again in a moment; until then only the seconds counted since the start show."};
}

std::wstring WorkHistory::waitingText() const {
    if (std::wstring reading = readingText(); !reading.empty()) return reading;
    if (!fileError_ || saveError_) return L"";
    if (held_)
        return L"history.csv is open in another program; the new seconds are kept and written when it is closed";
    return L"history.csv cannot be written now (" + systemReason(fileError_) +
           L"); the new seconds are kept and written when it can be";
}

std::optional<std::vector<HistoryRow>> keptHistory(const std::wstring& path, DateOrder localOrder) {
    bool found = false;
    std::error_code error;
    const std::optional<std::string> bytes = readWholeFile(path, found, error);
    if (found && !bytes) return std::nullopt;
    HistoryText text;
    if (bytes) {
        text = parseHistoryText(*bytes, localOrder);
        if (!text.headerFound || !text.unreadableLines.empty()) return std::nullopt;
    }
    const JournalRead journal = readJournalFile(journalPathFor(path));
    if (journal.found && !journal.journal) return std::nullopt;
    ContentMark file;
    file.size = ContentMark::noFile;
    if (bytes) file = contentMark(*bytes);
    if (journal.journal && journalRowsPending(*journal.journal, file))
        addToHistory(text.rows, journal.journal->rows);
    return text.rows;
}
