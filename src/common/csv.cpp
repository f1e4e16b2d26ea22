#include "common/csv.h"

#include <algorithm>
#include <cstdint>

#include "common/text.h"

namespace {

bool isBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

}  // namespace

CsvForm spreadsheetCsv(const std::wstring& listSeparator) {
    CsvForm form;
    form.separator = listSeparator == L";" ? ';' : ',';
    form.byteOrderMark = true;
    return form;
}

bool csvNeedsQuotes(const std::wstring& text, const CsvForm& form) {
    if (form.quoting == CsvQuoting::always) return true;
    if (!text.empty() && (isBlank(text.front()) || isBlank(text.back()))) return true;
    const auto separator = static_cast<wchar_t>(form.separator);
    return std::any_of(text.begin(), text.end(),
                       [&](wchar_t c) { return c == separator || c == L'"' || c == L'\n' || c == L'\r'; });
}

void appendCsvField(std::string& bytes, const std::wstring& text, const CsvForm& form) {
    const bool quote = csvNeedsQuotes(text, form);
    // Most names are plain ASCII and copied as they are: ten years of rows are put together at
    // every write of the history.
    const bool ascii = std::all_of(text.begin(), text.end(), [](wchar_t c) { return static_cast<std::uint32_t>(c) < 0x80; });
    if (!quote && ascii) {
        const std::size_t at = bytes.size();
        bytes.resize(at + text.size());
        std::transform(text.begin(), text.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at),
                       [](wchar_t c) { return static_cast<char>(c); });
        return;
    }
    if (!quote) {
        bytes += toUtf8(text);
        return;
    }
    std::wstring quoted = L"\"";
    for (wchar_t c : text) {
        if (c == L'"') quoted += L'"';
        quoted += c;
    }
    bytes += toUtf8(quoted + L"\"");
}

std::string csvStart(const CsvForm& form) { return form.byteOrderMark ? "\xEF\xBB\xBF" : ""; }
