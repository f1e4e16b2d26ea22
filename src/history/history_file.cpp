#include "history/history_file.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>

#include "common/text.h"
#include "config/file_system.h"
#include "history/row_merge.h"

namespace {

bool isBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

std::wstring trimmed(const std::wstring& text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && isBlank(text[begin])) ++begin;
    while (end > begin && isBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

// Splits a line at `separator`. A quoted field may hold the separator, and "" stands for a
// quote; it keeps its spaces. Nullopt for a quote left open or text after a closing quote.
std::optional<std::vector<std::wstring>> splitFields(const std::wstring& line, wchar_t separator) {
    std::vector<std::wstring> fields;
    std::size_t i = 0;
    for (;;) {
        while (i < line.size() && isBlank(line[i])) ++i;
        std::wstring field;
        if (i < line.size() && line[i] == L'"') {
            for (++i;; ++i) {
                if (i >= line.size()) return std::nullopt;
                if (line[i] != L'"') {
                    field += line[i];
                } else if (i + 1 < line.size() && line[i + 1] == L'"') {
                    field += L'"';
                    ++i;
                } else {
                    break;
                }
            }
            ++i;
            while (i < line.size() && isBlank(line[i])) ++i;
            if (i < line.size() && line[i] != separator) return std::nullopt;
        } else {
            const std::size_t end = std::min(line.find(separator, i), line.size());
            field = trimmed(line.substr(i, end - i));
            i = end;
        }
        fields.push_back(std::move(field));
        if (i >= line.size()) break;
        ++i;
    }
    // Spreadsheets pad rows with empty cells up to their widest row.
    while (!fields.empty() && fields.back().empty()) fields.pop_back();
    return fields;
}

bool equalsIgnoringCase(const std::wstring& text, const wchar_t* word) {
    std::size_t i = 0;
    for (; i < text.size() && word[i]; ++i) {
        const wchar_t c = text[i] >= L'A' && text[i] <= L'Z' ? text[i] - L'A' + L'a' : text[i];
        if (c != word[i]) return false;
    }
    return i == text.size() && !word[i];
}

// How many columns a header names: 3 (older files), 4 (with the project), 0 for no header.
std::size_t headerColumns(const std::optional<std::vector<std::wstring>>& fields) {
    if (!fields || fields->size() < 3 || fields->size() > 4 || !equalsIgnoringCase((*fields)[0], L"date") ||
        !equalsIgnoringCase((*fields)[1], L"program") || !equalsIgnoringCase((*fields)[2], L"seconds"))
        return 0;
    if (fields->size() == 4 && !equalsIgnoringCase((*fields)[3], L"project")) return 0;
    return fields->size();
}

// Reads the digits at `i`; nullopt unless there are minDigits to maxDigits of them.
std::optional<int> digitsAt(const std::wstring& text, std::size_t& i, std::size_t minDigits, std::size_t maxDigits) {
    const std::size_t start = i;
    int value = 0;
    while (i < text.size() && i - start < maxDigits && text[i] >= L'0' && text[i] <= L'9')
        value = value * 10 + (text[i++] - L'0');
    if (i - start < minDigits || (i < text.size() && text[i] >= L'0' && text[i] <= L'9')) return std::nullopt;
    return value;
}

// A date's three numbers as written: the year (four digits) first or last, the same separator
// twice.
struct DateParts {
    int first = 0, second = 0, third = 0;
    bool yearFirst = false;
};

std::optional<DateParts> dateParts(const std::wstring& text) {
    const std::size_t at = text.find_first_of(L"-/.");
    if (at == std::wstring::npos) return std::nullopt;
    const wchar_t separator = text[at];
    DateParts parts;
    parts.yearFirst = at == 4;
    int* values[] = {&parts.first, &parts.second, &parts.third};
    std::size_t i = 0;
    for (int k = 0; k < 3; ++k) {
        const bool year = parts.yearFirst ? k == 0 : k == 2;
        const auto value = digitsAt(text, i, year ? 4 : 1, year ? 4 : 2);
        if (!value) return std::nullopt;
        *values[k] = *value;
        if (k < 2 && (i >= text.size() || text[i++] != separator)) return std::nullopt;
    }
    if (i != text.size()) return std::nullopt;
    return parts;
}

std::optional<DayNumber> parseDate(const std::wstring& text, DateOrder order) {
    const auto parts = dateParts(text);
    if (!parts) return std::nullopt;
    if (parts->yearFirst) return dayNumber({parts->first, parts->second, parts->third});
    if (order == DateOrder::dayFirst) return dayNumber({parts->third, parts->second, parts->first});
    return dayNumber({parts->third, parts->first, parts->second});
}

// The order the dates with the year last show by themselves: a number above 12 can only be a
// day. When the rows show neither order, or both, the user's own decides.
DateOrder settledOrder(const std::vector<std::optional<std::vector<std::wstring>>>& lines, DateOrder localOrder) {
    bool dayFirst = false, monthFirst = false;
    for (const auto& fields : lines) {
        if (!fields || fields->empty()) continue;
        const auto parts = dateParts(fields->front());
        if (!parts || parts->yearFirst) continue;
        dayFirst |= parts->first > 12 && parts->second <= 12;
        monthFirst |= parts->second > 12 && parts->first <= 12;
    }
    if (dayFirst != monthFirst) return dayFirst ? DateOrder::dayFirst : DateOrder::monthFirst;
    return localOrder;
}

std::optional<std::int64_t> parseSeconds(const std::wstring& text) {
    if (text.empty() || text.size() > 10) return std::nullopt;
    std::int64_t value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return std::nullopt;
        value = value * 10 + (c - L'0');
    }
    if (value > maxRowSeconds) return std::nullopt;
    return value;
}

// A row of `columns` columns; its empty cells at the end are gone already.
std::optional<HistoryRow> parseRow(const std::optional<std::vector<std::wstring>>& fields, DateOrder order,
                                   std::size_t columns) {
    if (!fields || fields->size() < 3 || fields->size() > columns || (*fields)[1].empty()) return std::nullopt;
    const auto day = parseDate((*fields)[0], order);
    const auto seconds = parseSeconds((*fields)[2]);
    if (!day || !seconds) return std::nullopt;
    return HistoryRow{*day, (*fields)[1], *seconds, fields->size() == 4 ? (*fields)[3] : std::wstring()};
}

// A name's field as the row before had it: rows of one program, or of one project, follow one
// another, so each field is made again only when the name changes.
struct FieldCache {
    const std::wstring* name = nullptr;
    std::string field;
};

void appendField(std::string& bytes, FieldCache& cache, const std::wstring& name, const CsvForm& form) {
    if (!cache.name || *cache.name != name) {
        cache.name = &name;
        cache.field.clear();
        appendCsvField(cache.field, name, form);
    }
    bytes += cache.field;
}

}  // namespace

HistoryText parseHistoryText(const std::string& bytes, DateOrder localOrder) {
    HistoryText result;
    const std::wstring text = decodeFileText(bytes);
    std::optional<wchar_t> separator;
    std::size_t columns = 0;
    bool anything = false;
    int number = 0;
    // The rows are split first: all of them together settle the order of their dates.
    std::vector<int> numbers;
    std::vector<std::optional<std::vector<std::wstring>>> lines;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = std::min(text.find(L'\n', start), text.size());
        std::wstring line = text.substr(start, end - start);
        start = end + 1;
        ++number;
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        if (trimmed(line).empty()) continue;
        if (!anything) {
            anything = true;
            for (wchar_t candidate : {L',', L';'})
                if (!separator && (columns = headerColumns(splitFields(line, candidate))) != 0) separator = candidate;
            if (!separator) return result;
            result.headerFound = true;
            result.separator = static_cast<char>(*separator);
            continue;
        }
        numbers.push_back(number);
        lines.push_back(splitFields(line, *separator));
    }
    const DateOrder order = settledOrder(lines, localOrder);
    struct Read {
        HistoryRow row;
        int line;
    };
    std::vector<Read> read;
    read.reserve(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i] && lines[i]->empty()) continue;  // a row of empty cells
        if (auto row = parseRow(lines[i], order, columns)) read.push_back({std::move(*row), numbers[i]});
        else result.unreadableLines.push_back(numbers[i]);
    }
    // Put in date order all at once (in mergeIntoDays): a file sorted otherwise in a spreadsheet
    // (newest first, by program) would else move the rows read so far for every row, and ten
    // years have many.
    // Rows of one day, program and project are added together; a day of thousands of rows (an
    // export pasted in) is sorted once rather than searched through for every row.
    std::vector<Read> merged;
    mergeIntoDays(
        merged, std::move(read), [](const Read& r) { return r.row.day; },
        [](const Read& a, const Read& b) {
            return a.row.program != b.row.program ? a.row.program < b.row.program : a.row.project < b.row.project;
        },
        [](Read& into, const Read& r) {
            if (into.row.seconds + r.row.seconds > maxRowSeconds) return false;
            into.row.seconds += r.row.seconds;
            return true;
        },
        // A sum the file could not hold, once written.
        [&](const Read& r) { result.unreadableLines.push_back(r.line); });
    result.rows.reserve(merged.size());
    for (Read& r : merged) result.rows.push_back(std::move(r.row));
    std::sort(result.unreadableLines.begin(), result.unreadableLines.end());
    // Nothing at all is an empty history, as a person who emptied the file meant.
    if (!anything) result.headerFound = true;
    return result;
}

std::string formatHistoryText(const std::vector<HistoryRow>& rows, const CsvForm& form) {
    std::string bytes = csvStart(form) + historyHeader(form);
    appendHistoryRows(bytes, rows.begin(), rows.end(), form);
    return bytes;
}

// Ten years of rows are put together whenever the file is written, so each row is made from
// digits rather than through the formatting functions.
void appendHistoryRows(std::string& bytes, std::vector<HistoryRow>::const_iterator first,
                       std::vector<HistoryRow>::const_iterator last, const CsvForm& form) {
    bytes.reserve(bytes.size() + static_cast<std::size_t>(last - first) * 48);
    const bool quoteAll = form.quoting == CsvQuoting::always;
    char dateText[16];  // "2026-12-07," of the day before, made again only for a new day
    std::size_t dateLength = 0;
    std::optional<DayNumber> dateDay;
    FieldCache program, project;
    for (; first != last; ++first) {
        const HistoryRow& row = *first;
        char text[32];
        int at = 0;
        const auto digits = [&](std::int64_t value, int width) {
            char reversed[20];
            int count = 0;
            do reversed[count++] = static_cast<char>('0' + value % 10);
            while ((value /= 10) > 0 || count < width);
            while (count > 0) text[at++] = reversed[--count];
        };
        if (dateDay != row.day) {
            const CivilDate date = civilDate(row.day);
            if (quoteAll) text[at++] = '"';
            digits(date.year, 4);
            text[at++] = '-';
            digits(date.month, 2);
            text[at++] = '-';
            digits(date.day, 2);
            if (quoteAll) text[at++] = '"';
            text[at++] = form.separator;
            std::copy(text, text + at, dateText);
            dateLength = static_cast<std::size_t>(at);
            dateDay = row.day;
        }
        bytes.append(dateText, dateLength);
        appendField(bytes, program, row.program, form);
        at = 0;
        text[at++] = form.separator;
        if (quoteAll) text[at++] = '"';
        digits(row.seconds < 0 ? 0 : row.seconds, 1);
        if (quoteAll) text[at++] = '"';
        text[at++] = form.separator;
        bytes.append(text, static_cast<std::size_t>(at));
        if (!row.project.empty() || quoteAll) appendField(bytes, project, row.project, form);
        bytes.append("\r\n", 2);
    }
}

void addToHistory(std::vector<HistoryRow>& rows, const HistoryRow& row) {
    // Rows are in date order, so the day's rows end where the later days begin.
    const auto dayEnd = std::upper_bound(rows.begin(), rows.end(), row.day,
                                         [](DayNumber day, const HistoryRow& r) { return day < r.day; });
    for (auto it = dayEnd; it != rows.begin() && (it - 1)->day == row.day; --it) {
        if ((it - 1)->program == row.program && (it - 1)->project == row.project) {
            // The most a row can hold and be read back; a day has 86,400 seconds, so only
            // hand-edited rows ever get there.
            (it - 1)->seconds = std::min((it - 1)->seconds + row.seconds, maxRowSeconds);
            return;
        }
    }
    rows.insert(dayEnd, row);
}

void addToHistory(std::vector<HistoryRow>& rows, std::vector<HistoryRow> added) {
    mergeIntoDays(
        rows, std::move(added), [](const HistoryRow& r) { return r.day; },
        [](const HistoryRow& a, const HistoryRow& b) {
            return a.program != b.program ? a.program < b.program : a.project < b.project;
        },
        [](HistoryRow& into, const HistoryRow& r) {
            into.seconds = std::min(into.seconds + r.seconds, maxRowSeconds);
            return true;
        },
        [](const HistoryRow&) {});
}

std::wstring historyFilePath(const std::wstring& stateFolder) { return stateFolder + L"/history.csv"; }

ContentMark contentMark(const std::string& bytes) {
    std::uint64_t hash = 14695981039346656037ull;
    for (char c : bytes) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    return {static_cast<std::int64_t>(bytes.size()), hash};
}

HistoryLoad loadHistoryFile(const std::wstring& path, const std::wstring& stamp, DateOrder localOrder) {
    HistoryLoad load;
    bool found = false;
    std::error_code readError;
    const std::optional<std::string> bytes = readWholeFile(path, found, readError);
    if (!found) {
        load.usable = load.mustWrite = true;
        load.found.size = ContentMark::noFile;
        return load;
    }
    if (!bytes && !isFolder(path)) {
        // Held by another program, or a read error: what it holds is unknown, not unreadable.
        load.readFailed = true;
        load.error = readError;
        return load;
    }
    std::optional<HistoryText> text;
    if (bytes) {
        text = parseHistoryText(*bytes, localOrder);
        load.found = contentMark(*bytes);
        load.separator = text->separator;
    }
    if (text && text->headerFound && text->unreadableLines.empty()) {
        load.rows = std::move(text->rows);
        load.usable = true;
        return load;
    }
    try {
        // Unreadable in part or whole, or not a file at all: what it holds stays as it is.
        const std::wstring kept = freeNameBeside(path, L"history unreadable " + stamp, L".csv");
        if (!replaceFile(path, kept)) {
            load.error = lastFileError();
            if (!load.error) load.error = readError ? readError : std::make_error_code(std::errc::io_error);
            return load;
        }
        load.keptAs = kept;
    } catch (const std::filesystem::filesystem_error& error) {
        load.error = error.code();
        return load;
    }
    load.nothingReadable = !text || !text->headerFound;
    if (text && text->headerFound) {
        load.rows = std::move(text->rows);
        load.unreadableLines = text->unreadableLines.size();
    }
    load.usable = load.mustWrite = true;
    return load;
}

std::error_code saveHistoryFile(const std::wstring& path, const std::vector<HistoryRow>& rows, const CsvForm& form) {
    return writeFileAtomically(path, formatHistoryText(rows, form));
}

std::string historyHeader(const CsvForm& form) {
    std::string header;
    const char* names[] = {"date", "program", "seconds", "project"};
    for (const char* name : names) {
        if (!header.empty()) header += form.separator;
        if (form.quoting == CsvQuoting::always) header += std::string("\"") + name + "\"";
        else header += name;
    }
    return header + "\r\n";
}
