#include "config/settings_error.h"

#include <filesystem>

#include "common/text.h"

namespace {

// The value as the message quotes it. A message box ends its text at a NUL and shows other
// control characters as nothing useful, so each becomes U+FFFD; a long line is cut.
std::wstring quoted(std::wstring value) {
    for (wchar_t& c : value)
        if (c < 0x20 || c == 0x7F) c = L'\uFFFD';
    if (value.size() > 60) value = value.substr(0, 60) + L"\u2026";
    return L"\"" + value + L"\"";
}

std::wstring whatIsWrong(const ConfigFile& file, int index, const std::exception& cause) {
    const std::string what = cause.what();
    if (what == "invalid vector subscript") {
        if (file.lines.empty()) return L"is missing: the file is empty or could not be read";
        return L"is missing: the file has only " + std::to_wstring(file.lines.size()) +
               (file.lines.size() == 1 ? L" line" : L" lines");
    }
    const std::wstring text = quoted(file.getString(index));
    if (what == "invalid stoi argument") return L"does not start with a whole number: " + text;
    if (what == "stoi argument out of range")
        return L"holds a number outside -2147483648 to 2147483647: " + text;
    if (what == "invalid stof argument") return L"does not start with a number: " + text;
    if (what == "stof argument out of range") return L"holds a number too large or too small: " + text;
    return L"cannot be used (" + fromUtf8(what) + L")";
}

std::wstring describe(const SettingsFileInfo& info, const ConfigFile& file, int index, const std::exception& cause) {
    const std::wstring meaning =
        index >= 0 && index < info.lineCount ? std::wstring(L" (") + info.lineMeanings[index] + L")" : L"";
    return std::wstring(L"Ardeno Time cannot use its ") + info.title + L":\n" + displayPath(file.path) +
           L"\n\nLine " + std::to_wstring(index + 1) + meaning + L" " + whatIsWrong(file, index, cause) +
           L".\n\nNothing was changed. Correct that line and start Ardeno Time again.";
}

// Lines are not read in file order (data.cfg's line 2 only on request, the skin's size last), so
// the line asked for when a file proves short need not be its first absent one; that one is what
// the user has to restore.
int reportedIndex(const ConfigFile& file, int index, const std::exception& cause) {
    const bool beyondTheEnd = index >= 0 && static_cast<std::size_t>(index) >= file.lines.size();
    return beyondTheEnd && std::string(cause.what()) == "invalid vector subscript" ? static_cast<int>(file.lines.size())
                                                                                  : index;
}

}  // namespace

SettingsError::SettingsError(const SettingsFileInfo& info, const ConfigFile& file, int index,
                             const std::exception& cause)
    : StartupError(describe(info, file, reportedIndex(file, index, cause), cause)),
      index_(reportedIndex(file, index, cause)) {}

std::wstring displayPath(const std::wstring& path) {
    std::error_code ignored;
    std::filesystem::path full = std::filesystem::absolute(std::filesystem::path(path), ignored);
    if (full.empty()) full = path;
    return full.lexically_normal().make_preferred().wstring();
}
