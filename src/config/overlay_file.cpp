#include "config/overlay_file.h"

#include <algorithm>

#include "config/file_system.h"

namespace {

constexpr const char* words[] = {"run", "today", "project"};

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r'; }
char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Without the spaces around it, in lower case.
std::string word(const std::string& text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && isSpace(text[begin])) ++begin;
    while (end > begin && isSpace(text[end - 1])) --end;
    std::string result;
    for (std::size_t i = begin; i < end; ++i) result += lower(text[i]);
    return result;
}

std::optional<bool> onOff(const std::string& value) {
    if (value == "on") return true;
    if (value == "off") return false;
    return std::nullopt;
}

// Digits only, within [least, most].
std::optional<int> number(const std::string& value, int least, int most) {
    if (value.empty() || value.size() > 3) return std::nullopt;
    int n = 0;
    for (const char c : value) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + (c - '0');
    }
    if (n < least || n > most) return std::nullopt;
    return n;
}

std::optional<int> goal(const std::string& value) {
    if (value == "off") return 0;
    const std::optional<int> hours = number(value, 1, 24);
    if (hours && std::find(std::begin(goalChoices), std::end(goalChoices), *hours) != std::end(goalChoices))
        return hours;
    return std::nullopt;
}

// Applies one `name=value` line; false when the name is known and the value is not one of its own
// (the choice keeps its default), and `known` says whether the name is one of this version's.
bool applyLine(OverlayChoices& choices, const std::string& name, const std::string& value, bool& known) {
    known = true;
    const auto set = [](auto& field, auto parsed) {
        if (!parsed) return false;
        field = *parsed;
        return true;
    };
    if (name == "opacity") return set(choices.opacity, number(value, leastOpacity, 100));
    if (name == "clickthrough") return set(choices.clickThrough, onOff(value));
    if (name == "hidden") return set(choices.hidden, onOff(value));
    if (name == "fullscreen") return set(choices.hideOverFullScreen, onOff(value));
    if (name == "capture") return set(choices.hideFromCapture, onOff(value));
    if (name == "goal") return set(choices.goalHours, goal(value));
    known = false;
    return true;
}

const char* onOffWord(bool on) { return on ? "on" : "off"; }

}  // namespace

std::wstring overlayFilePath(const std::wstring& stateFolder) { return stateFolder + L"/overlay.cfg"; }

std::optional<OverlayShows> parseOverlayShows(const std::string& bytes) {
    std::string first = bytes.substr(0, bytes.find('\n'));
    if (first.compare(0, 3, "\xEF\xBB\xBF") == 0) first.erase(0, 3);
    const std::string shows = word(first);
    if (shows.empty()) return OverlayShows::run;
    for (int i = 0; i < 3; ++i)
        if (shows == words[i]) return static_cast<OverlayShows>(i);
    return std::nullopt;
}

std::string formatOverlayShows(OverlayShows shows) { return std::string(words[static_cast<int>(shows)]) + "\r\n"; }

OverlayFileText parseOverlayFile(const std::string& bytes) {
    OverlayFileText text;
    if (const std::optional<OverlayShows> shows = parseOverlayShows(bytes)) text.choices.shows = *shows;
    else text.unreadableLines.push_back(1);
    std::size_t at = bytes.find('\n');
    for (int line = 2; at != std::string::npos; ++line) {
        const std::size_t end = bytes.find('\n', at + 1);
        std::string raw = bytes.substr(at + 1, end == std::string::npos ? std::string::npos : end - at - 1);
        at = end;
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        if (word(raw).empty()) continue;
        const std::size_t equals = raw.find('=');
        bool known = false;
        if (equals != std::string::npos &&
            !applyLine(text.choices, word(raw.substr(0, equals)), word(raw.substr(equals + 1)), known))
            text.unreadableLines.push_back(line);
        // A later version's line: kept as it stood, for that version.
        else if (!known) text.kept.push_back(std::move(raw));
    }
    return text;
}

std::string formatOverlayFile(const OverlayChoices& choices, const std::vector<std::string>& kept) {
    std::string text = formatOverlayShows(choices.shows);
    text += "opacity=" + std::to_string(choices.opacity) + "\r\n";
    text += std::string("clickthrough=") + onOffWord(choices.clickThrough) + "\r\n";
    text += std::string("hidden=") + onOffWord(choices.hidden) + "\r\n";
    text += std::string("fullscreen=") + onOffWord(choices.hideOverFullScreen) + "\r\n";
    text += std::string("capture=") + onOffWord(choices.hideFromCapture) + "\r\n";
    text += "goal=" + (choices.goalHours > 0 ? std::to_string(choices.goalHours) : std::string("off")) + "\r\n";
    for (const std::string& line : kept) text += line + "\r\n";
    return text;
}

OverlayFileLoad loadOverlayFile(const std::wstring& path) {
    OverlayFileLoad load;
    bool found = false;
    const std::optional<std::string> bytes = readWholeFile(path, found, load.error);
    if (!found) {
        load.error.clear();
        return load;
    }
    if (bytes) load.text = parseOverlayFile(*bytes);
    else load.unreadable = true;
    return load;
}

std::error_code saveOverlayFile(const std::wstring& path, const OverlayChoices& choices,
                                const std::vector<std::string>& kept) {
    return writeFileAtomically(path, formatOverlayFile(choices, kept));
}
