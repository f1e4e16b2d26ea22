#include "sharing/pc_history_files.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string_view>

#include "common/text.h"
#include "config/file_system.h"

namespace {

const wchar_t prefix[] = L"history-";
const wchar_t suffix[] = L".csv";
constexpr std::size_t idDigits = 8;

wchar_t lower(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

bool startsWithIgnoringCase(const std::wstring& text, std::size_t at, const wchar_t* word) {
    for (std::size_t i = 0; word[i]; ++i)
        if (at + i >= text.size() || lower(text[at + i]) != word[i]) return false;
    return true;
}

// Windows tells file names apart without regard to case.
bool sameIgnoringCase(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

int hexValue(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

// Paths as the platform's file calls take them: wide on Windows, UTF-8 elsewhere.
std::filesystem::path nativePath(const std::wstring& path) {
#ifdef _WIN32
    return std::filesystem::path(path);
#else
    return std::filesystem::path(toUtf8(path));
#endif
}

std::wstring fileNameOf(const std::filesystem::path& path) {
#ifdef _WIN32
    return path.filename().wstring();
#else
    return fromUtf8(path.filename().string());
#endif
}

std::wstring joined(const std::wstring& folder, const std::wstring& name) {
    if (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/')) return folder + name;
#ifdef _WIN32
    return folder + L"\\" + name;
#else
    return folder + L"/" + name;
#endif
}

// "line 5", "lines 5 and 9", "lines 5, 9, 12 and 4 more".
std::wstring lineList(const std::vector<int>& lines) {
    if (lines.size() == 1) return L"line " + std::to_wstring(lines.front());
    constexpr std::size_t named = 3;
    std::wstring text = L"lines ";
    const std::size_t shown = std::min(lines.size(), named);
    for (std::size_t i = 0; i < shown; ++i) {
        if (i > 0) text += i + 1 == shown && lines.size() <= named ? L" and " : L", ";
        text += std::to_wstring(lines[i]);
    }
    if (lines.size() > named) text += L" and " + std::to_wstring(lines.size() - named) + L" more";
    return text;
}

// The 1-based number of the first line that is not blank: where the header should have been.
int firstFilledLine(const std::string& bytes) {
    int number = 1;
    for (char c : bytes) {
        if (c == '\n') ++number;
        else if (c != '\r' && c != ' ' && c != '\t') return number;
    }
    return 1;
}

bool readWholeFile(const std::wstring& path, std::string& bytes, std::error_code& error) {
    std::FILE* file = openFile(path, "rb");
    if (!file) {
        error = lastFileError();
        if (!error) error = std::make_error_code(std::errc::io_error);
        return false;
    }
    char buffer[16384];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, got);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) error = std::make_error_code(std::errc::io_error);
    return !failed;
}

bool stillThere(const std::wstring& path) {
    try {
        return pathExists(path);
    } catch (const std::filesystem::filesystem_error&) {
        return true;
    }
}

}  // namespace

std::uint32_t fnv1a32(const std::string& bytes) {
    std::uint32_t hash = 2166136261u;
    for (char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 16777619u;
    }
    return hash;
}

std::uint32_t pcIdFromMachineGuid(const std::wstring& machineGuid) {
    std::wstring canonical;
    for (wchar_t c : machineGuid)
        if (c != L'{' && c != L'}' && c != L' ') canonical += lower(c);
    return fnv1a32(toUtf8(canonical));
}

std::wstring pcIdText(std::uint32_t id) {
    std::wstring text(idDigits, L'0');
    for (std::size_t i = idDigits; i-- > 0; id >>= 4) text[i] = L"0123456789abcdef"[id & 0xF];
    return text;
}

std::wstring fileNameSafe(const std::wstring& computerName) {
    std::wstring safe;
    for (wchar_t c : computerName) {
        const bool forbidden =
            c < 0x20 || c == 0x7F || std::wstring_view(L"<>:\"/\\|?*").find(c) != std::wstring_view::npos;
        safe += forbidden ? L'_' : c;
    }
    while (!safe.empty() && (safe.back() == L'.' || safe.back() == L' ')) safe.pop_back();
    std::size_t begin = 0;
    while (begin < safe.size() && safe[begin] == L' ') ++begin;
    safe.erase(0, begin);
    return safe.empty() ? L"PC" : safe;
}

std::wstring pcHistoryFileName(const std::wstring& computerName, std::uint32_t id) {
    return prefix + fileNameSafe(computerName) + L"-" + pcIdText(id) + suffix;
}

std::optional<PcFileName> parsePcHistoryFileName(const std::wstring& fileName) {
    const std::size_t prefixLength = std::char_traits<wchar_t>::length(prefix);
    const std::size_t suffixLength = std::char_traits<wchar_t>::length(suffix);
    // history- NAME - ID .csv, with a name of at least one character
    if (fileName.size() < prefixLength + 1 + 1 + idDigits + suffixLength) return std::nullopt;
    if (!startsWithIgnoringCase(fileName, 0, prefix)) return std::nullopt;
    const std::size_t suffixAt = fileName.size() - suffixLength;
    if (!startsWithIgnoringCase(fileName, suffixAt, suffix)) return std::nullopt;
    const std::size_t idAt = suffixAt - idDigits;
    if (fileName[idAt - 1] != L'-') return std::nullopt;
    PcFileName pc;
    for (std::size_t i = idAt; i < suffixAt; ++i) {
        const int value = hexValue(fileName[i]);
        if (value < 0) return std::nullopt;
        pc.id = pc.id << 4 | static_cast<std::uint32_t>(value);
    }
    pc.name = fileName.substr(prefixLength, idAt - 1 - prefixLength);
    return pc;
}

OtherPcHistory readOtherPcText(const PcFileName& pc, const std::wstring& fileName, const std::string& bytes) {
    OtherPcHistory history{pc.name, pc.id, fileName, {}, {}};
    // Whole lines only: the rest is still on its way.
    const std::size_t lastLineEnd = bytes.rfind('\n');
    const std::string whole = bytes.substr(0, lastLineEnd == std::string::npos ? 0 : lastLineEnd + 1);
    HistoryText text = parseHistoryText(whole);
    const std::wstring cannot = L"the history of " + pc.name + L" could not be read: ";
    if (!text.headerFound) {
        history.problem = cannot + L"line " + std::to_wstring(firstFilledLine(whole));
        return history;
    }
    history.rows = std::move(text.rows);
    if (!text.unreadableLines.empty()) history.problem = cannot + lineList(text.unreadableLines);
    return history;
}

PcFolder::PcFolder(std::wstring folder, std::wstring ownFileName, std::uint32_t ownId)
    : folder_(std::move(folder)), ownFileName_(std::move(ownFileName)), ownId_(ownId) {}

std::error_code PcFolder::writeOwnFile(const std::vector<HistoryRow>& rows) {
    return writeFileAtomically(joined(folder_, ownFileName_), formatHistoryText(rows));
}

FolderRead PcFolder::read() const {
    FolderRead result;
    std::error_code error;
    std::filesystem::directory_iterator entries(nativePath(folder_), error);
    if (error) {
        result.error = error;
        return result;
    }
    std::vector<std::pair<PcFileName, std::wstring>> found;
    for (; entries != std::filesystem::directory_iterator(); entries.increment(error)) {
        const std::wstring name = fileNameOf(entries->path());
        if (sameIgnoringCase(name, ownFileName_)) result.ownFileFound = true;
        const auto pc = parsePcHistoryFileName(name);
        if (!pc || pc->id == ownId_) continue;
        std::error_code kind;
        if (entries->is_directory(kind)) continue;
        found.emplace_back(*pc, name);
    }
    if (error) {
        result.error = error;
        return result;
    }
    result.reached = true;
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        return a.first.name != b.first.name ? a.first.name < b.first.name : a.first.id < b.first.id;
    });
    for (const auto& [pc, name] : found) {
        std::string bytes;
        std::error_code readError;
        const std::wstring path = joined(folder_, name);
        if (readWholeFile(path, bytes, readError)) {
            result.pcs.push_back(readOtherPcText(pc, name, bytes));
        } else if (stillThere(path)) {
            // One that vanished since the listing simply stops counting.
            result.pcs.push_back({pc.name, pc.id, name, {}, L"the history of " + pc.name + L" could not be read: " +
                                                             systemReason(readError)});
        }
    }
    return result;
}

bool PcFolder::present() const {
    std::error_code error;
    return std::filesystem::is_directory(nativePath(folder_), error);
}
