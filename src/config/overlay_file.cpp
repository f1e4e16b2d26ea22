#include "config/overlay_file.h"

#include "config/file_system.h"

namespace {

constexpr const char* words[] = {"run", "today", "project"};

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r'; }
char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

std::wstring overlayFilePath(const std::wstring& stateFolder) { return stateFolder + L"/overlay.cfg"; }

std::optional<OverlayShows> parseOverlayShows(const std::string& bytes) {
    std::string first = bytes.substr(0, bytes.find('\n'));
    if (first.compare(0, 3, "\xEF\xBB\xBF") == 0) first.erase(0, 3);
    std::size_t begin = 0, end = first.size();
    while (begin < end && isSpace(first[begin])) ++begin;
    while (end > begin && isSpace(first[end - 1])) --end;
    std::string word;
    for (std::size_t i = begin; i < end; ++i) word += lower(first[i]);
    if (word.empty()) return OverlayShows::run;
    for (int i = 0; i < 3; ++i)
        if (word == words[i]) return static_cast<OverlayShows>(i);
    return std::nullopt;
}

std::string formatOverlayShows(OverlayShows shows) { return std::string(words[static_cast<int>(shows)]) + "\r\n"; }

OverlayShowsLoad loadOverlayShows(const std::wstring& path) {
    OverlayShowsLoad load;
    bool found = false;
    const std::optional<std::string> bytes = readWholeFile(path, found, load.error);
    if (!found) {
        load.error.clear();
        return load;
    }
    const std::optional<OverlayShows> shows = bytes ? parseOverlayShows(*bytes) : std::nullopt;
    if (shows) load.shows = *shows;
    else load.unreadable = true;
    return load;
}

std::error_code saveOverlayShows(const std::wstring& path, OverlayShows shows) {
    return writeFileAtomically(path, formatOverlayShows(shows));
}
