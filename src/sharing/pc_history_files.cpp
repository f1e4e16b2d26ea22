#include "sharing/pc_history_files.h"

#include <algorithm>
#include <string_view>

#include "common/text.h"

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

int hexValue(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

constexpr std::size_t namedItems = 3;

// "a", "a and b", "a, b, c and 4 more": the first items of `count`.
std::wstring listed(const std::vector<std::wstring>& first, std::size_t count) {
    std::wstring text;
    const std::size_t shown = std::min(first.size(), namedItems);
    for (std::size_t i = 0; i < shown; ++i) {
        if (i > 0) text += i + 1 == shown && count <= namedItems ? L" and " : L", ";
        text += first[i];
    }
    if (count > namedItems) text += L" and " + std::to_wstring(count - namedItems) + L" more";
    return text;
}

// "line 5", "lines 5 and 9", "lines 5, 9, 12 and 4 more".
std::wstring lineList(const std::vector<int>& lines) {
    std::vector<std::wstring> numbers;
    for (std::size_t i = 0; i < lines.size() && i < namedItems; ++i) numbers.push_back(std::to_wstring(lines[i]));
    return (lines.size() == 1 ? L"line " : L"lines ") + listed(numbers, lines.size());
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

// Where the line after the first filled one (the header) begins, looking no further than `end`.
std::size_t headerEnd(const std::string& bytes, std::size_t end) {
    bool filled = false;
    for (std::size_t i = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0; i < end; ++i) {
        const char c = bytes[i];
        if (c == '\n' && filled) return i + 1;
        if (c != '\n' && c != '\r' && c != ' ' && c != '\t') filled = true;
    }
    return end;
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

OtherPcHistory readOtherPcText(const PcFileName& pc, const std::wstring& fileName, const std::string& bytes,
                               std::size_t pieceBytes, std::size_t memoryCap) {
    OtherPcHistory history{pc.name, pc.id, fileName, {}, {}, false};
    // Whole lines only: the rest is still on its way.
    const std::size_t lastLineEnd = bytes.rfind('\n');
    const std::size_t wholeEnd = lastLineEnd == std::string::npos ? 0 : lastLineEnd + 1;
    const std::wstring cannot = L"the history of " + pc.name + L" could not be read: ";
    std::vector<int> unreadable;
    std::string header;    // the lines up to the header's, put before every later piece
    int headerLines = 0;
    int linesBefore = 0;   // the lines of the pieces before this one
    const std::size_t headerStop = headerEnd(bytes, wholeEnd);  // the first piece holds the header
    for (std::size_t at = 0; at < wholeEnd;) {
        std::size_t end = std::min(at + std::max<std::size_t>(pieceBytes, 1), wholeEnd);
        if (at == 0) end = std::max(end, headerStop);
        if (end < wholeEnd) {
            const std::size_t cut = bytes.rfind('\n', end - 1);
            end = cut != std::string::npos && cut >= at ? cut + 1 : bytes.find('\n', at) + 1;  // a line longer than a piece
        }
        const bool first = at == 0;
        HistoryText text = parseHistoryText(first ? bytes.substr(0, end) : header + bytes.substr(at, end - at));
        if (first) {
            if (!text.headerFound) {
                history.problem = cannot + L"line " + std::to_wstring(firstFilledLine(bytes.substr(0, wholeEnd)));
                return history;
            }
            header = bytes.substr(0, headerStop);
            headerLines = static_cast<int>(std::count(header.begin(), header.end(), '\n'));
        }
        history.rows.add(text.rows);
        if (history.rows.memoryBytes() > memoryCap) {
            history.rows = PackedHistory();
            history.problem.clear();
            history.overBudget = true;
            return history;
        }
        for (int line : text.unreadableLines) unreadable.push_back(first ? line : line - headerLines + linesBefore);
        linesBefore += static_cast<int>(std::count(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                                                   bytes.begin() + static_cast<std::ptrdiff_t>(end), '\n'));
        at = end;
    }
    history.rows.shrink();
    if (!unreadable.empty()) history.problem = cannot + lineList(unreadable);
    return history;
}

std::wstring sizeText(std::uint64_t bytes) {
    constexpr std::uint64_t kb = 1024, mb = kb * kb, gb = mb * kb;
    // Rounded up below ten, so that a file just over a limit never reads as the limit itself.
    const auto text = [](std::uint64_t value, std::uint64_t unit, const wchar_t* name) {
        if (value >= 10 * unit) return std::to_wstring((value + unit / 2) / unit) + name;
        const std::uint64_t tenths = (value * 10 + unit - 1) / unit;
        if (tenths % 10 == 0) return std::to_wstring(tenths / 10) + name;
        return std::to_wstring(tenths / 10) + L"." + std::to_wstring(tenths % 10) + name;
    };
    if (bytes >= gb) return text(bytes, gb, L" GB");
    if (bytes >= mb) return text(bytes, mb, L" MB");
    return std::to_wstring((bytes + kb - 1) / kb) + L" KB";
}

std::wstring tooLargeText(const std::wstring& name, std::uint64_t bytes) {
    return L"the history of " + name + L" is " + sizeText(bytes) + L", too large to be a history: left out";
}

std::wstring tooManyText(const std::wstring& name, std::size_t keptBytes) {
    return L"the history of " + name + L" is left out: the histories in the shared folder take more than " +
           sizeText(keptBytes) + L" of memory";
}

std::optional<std::wstring> syncCopyOriginal(const std::wstring& fileName) {
    const std::size_t suffixLength = std::char_traits<wchar_t>::length(suffix);
    if (fileName.size() <= suffixLength || !startsWithIgnoringCase(fileName, fileName.size() - suffixLength, suffix))
        return std::nullopt;
    const std::wstring stem = fileName.substr(0, fileName.size() - suffixLength);
    std::optional<std::size_t> cut;
    std::wstring lowerStem;
    for (wchar_t c : stem) lowerStem += lower(c);
    if (const std::size_t at = lowerStem.find(L".sync-conflict-"); at != std::wstring::npos) cut = at;
    const std::size_t open = stem.rfind(L" (");
    if (!cut && open != std::wstring::npos && stem.back() == L')') {
        const std::wstring inside = lowerStem.substr(open + 2, stem.size() - open - 3);
        const bool number = !inside.empty() && std::all_of(inside.begin(), inside.end(), [](wchar_t c) {
            return c >= L'0' && c <= L'9';
        });
        if (number || inside.find(L"conflicted copy") != std::wstring::npos) cut = open;
    }
    if (!cut) return std::nullopt;
    std::wstring original = stem.substr(0, *cut) + suffix;
    if (!parsePcHistoryFileName(original)) return std::nullopt;
    return original;
}

std::vector<std::wstring> oneDriveCopyOriginals(const std::wstring& fileName) {
    std::vector<std::wstring> originals;
    if (!parsePcHistoryFileName(fileName)) return originals;
    const std::wstring stem = fileName.substr(0, fileName.size() - std::char_traits<wchar_t>::length(suffix));
    // The computer's name that OneDrive added runs from one of the stem's dashes to its end:
    // whatever stands before that dash is the file it copies, if that is a PC file's name.
    for (std::size_t dash = stem.find(L'-'); dash != std::wstring::npos; dash = stem.find(L'-', dash + 1)) {
        std::wstring original = stem.substr(0, dash) + suffix;
        if (parsePcHistoryFileName(original)) originals.push_back(std::move(original));
    }
    return originals;
}

std::wstring syncCopiesText(const std::vector<std::wstring>& fileNames) {
    return L"copies that a sync service made, not counted, which may be deleted: " +
           listed(fileNames, fileNames.size());
}
