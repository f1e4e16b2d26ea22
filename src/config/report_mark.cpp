#include "config/report_mark.h"

#include <algorithm>
#include <filesystem>
#include <vector>

#include "common/text.h"
#include "config/file_system.h"

namespace {

bool isSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\u00A0' || c == L'\u3000'; }

std::wstring trimmed(const std::wstring& text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && isSpace(text[begin])) ++begin;
    while (end > begin && isSpace(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

// A whole number of `least` to `most` digits at `at`, moved past.
std::optional<int> number(const std::wstring& text, std::size_t& at, std::size_t least, std::size_t most) {
    int value = 0;
    std::size_t digits = 0;
    for (; at < text.size() && text[at] >= L'0' && text[at] <= L'9' && digits < most; ++at, ++digits)
        value = value * 10 + (text[at] - L'0');
    if (digits < least) return std::nullopt;
    return value;
}

// "2026-12-07", "2026/1/5", "2026.12.7".
std::optional<DayNumber> parseDay(const std::wstring& text) {
    std::size_t at = 0;
    const std::optional<int> year = number(text, at, 4, 4);
    if (!year || at >= text.size()) return std::nullopt;
    const wchar_t mark = text[at];
    if (mark != L'-' && mark != L'/' && mark != L'.') return std::nullopt;
    const std::optional<int> month = number(text, ++at, 1, 2);
    if (!month || at >= text.size() || text[at] != mark) return std::nullopt;
    const std::optional<int> day = number(text, ++at, 1, 2);
    if (!day || at != text.size()) return std::nullopt;
    return dayNumber({*year, *month, *day});
}

}  // namespace

std::wstring reportMarkFilePath(const std::wstring& stateFolder) { return stateFolder + L"/lastreport.cfg"; }

bool parseReportMark(const std::string& bytes, std::optional<ReportMark>& mark) {
    const std::wstring text = decodeFileText(bytes);
    std::vector<DayNumber> days;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find(L'\n', start), text.size());
        std::wstring line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        line = trimmed(line);
        if (line.empty()) continue;
        const std::optional<DayNumber> day = parseDay(line);
        if (!day || days.size() == 3) return false;
        days.push_back(*day);
    }
    mark.reset();
    if (days.empty()) return true;
    if (days.size() != 3 || days[0] > days[1]) return false;
    mark = ReportMark{days[0], days[1], days[2]};
    return true;
}

std::string formatReportMark(const ReportMark& mark) {
    return toUtf8(isoDate(mark.first)) + "\r\n" + toUtf8(isoDate(mark.last)) + "\r\n" + toUtf8(isoDate(mark.savedOn)) +
           "\r\n";
}

ReportMarkLoad loadReportMarkFile(const std::wstring& path, const std::wstring& stamp) {
    ReportMarkLoad load;
    bool found = false;
    std::error_code readError;
    const std::optional<std::string> bytes = readWholeFile(path, found, readError);
    if (!found) return load;
    if (!bytes && !isFolder(path)) {
        load.writable = false;
        load.error = readError;
        return load;
    }
    if (bytes && parseReportMark(*bytes, load.mark)) return load;
    if (std::optional<std::wstring> kept = keepAside(path, L"lastreport unreadable " + stamp, L".cfg", readError, load.error))
        load.keptAs = std::move(*kept);
    else
        load.writable = false;
    return load;
}

std::error_code saveReportMarkFile(const std::wstring& path, const ReportMark& mark) {
    return writeFileAtomically(path, formatReportMark(mark));
}
