#include "config/projects_file.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>

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

bool isControl(std::uint32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

// Characters, not UTF-16 units, so that a name in a script beyond the first plane has its 60
// too; null when the text holds something no file can keep as it is (half a surrogate pair, a
// byte-order mark that a reader would take away) or a control character.
std::optional<std::size_t> characterCount(const std::wstring& text) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++i, ++count) {
        const auto c = static_cast<std::uint32_t>(text[i]);
        if (isControl(c) || c == 0xFEFF || c > 0x10FFFF) return std::nullopt;
        if (c >= 0xDC00 && c <= 0xDFFF) return std::nullopt;
        if (c >= 0xD800 && c <= 0xDBFF) {
            const bool pairs = sizeof(wchar_t) == 2 && i + 1 < text.size() &&
                               static_cast<std::uint32_t>(text[i + 1]) >= 0xDC00 &&
                               static_cast<std::uint32_t>(text[i + 1]) <= 0xDFFF;
            if (!pairs) return std::nullopt;
            ++i;
        }
    }
    return count;
}

const std::wstring* sameName(const std::vector<std::wstring>& names, const std::wstring& name) {
    for (const std::wstring& known : names)
        if (sameFileName(known, name)) return &known;
    return nullptr;
}

}  // namespace

std::optional<std::wstring> projectName(const std::wstring& typed) {
    std::wstring name = trimmed(typed);
    const std::optional<std::size_t> count = characterCount(name);
    if (!count || *count == 0 || *count > projectNameLimit) return std::nullopt;
    return name;
}

std::wstring projectsFilePath(const std::wstring& stateFolder) { return stateFolder + L"/projects.cfg"; }

std::optional<ProjectSettings> parseProjects(const std::string& bytes) {
    const std::wstring text = decodeFileText(bytes);
    std::vector<std::wstring> lines;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find(L'\n', start), text.size());
        std::wstring line = text.substr(start, end - start);
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }

    ProjectSettings settings;
    if (lines.empty()) return settings;
    if (!trimmed(lines[0]).empty()) {
        std::optional<std::wstring> current = projectName(lines[0]);
        if (!current) return std::nullopt;
        settings.current = std::move(*current);
    }
    if (lines.size() > 1) {
        const std::wstring titles = trimmed(lines[1]);
        if (titles != L"true" && titles != L"false") return std::nullopt;
        settings.fromTitles = titles == L"true";
    }
    for (std::size_t i = 2; i < lines.size(); ++i) {
        if (trimmed(lines[i]).empty()) continue;
        std::optional<std::wstring> name = projectName(lines[i]);
        if (!name) return std::nullopt;
        if (!sameName(settings.recent, *name)) settings.recent.push_back(std::move(*name));
    }
    if (!settings.current.empty()) {
        if (const std::wstring* known = sameName(settings.recent, settings.current)) settings.current = *known;
        else settings.recent.insert(settings.recent.begin(), settings.current);
    }
    return settings;
}

std::string formatProjects(const ProjectSettings& settings) {
    std::string bytes = toUtf8(settings.current) + "\r\n" + (settings.fromTitles ? "true" : "false") + "\r\n";
    for (const std::wstring& name : settings.recent) bytes += toUtf8(name) + "\r\n";
    return bytes;
}

ProjectsLoad loadProjectsFile(const std::wstring& path, const std::wstring& stamp) {
    ProjectsLoad load;
    bool found = false;
    std::error_code readError;
    const std::optional<std::string> bytes = readWholeFile(path, found, readError);
    if (!found) return load;
    if (!bytes && !isFolder(path)) {
        load.writable = false;
        load.error = readError;
        return load;
    }
    if (bytes) {
        if (std::optional<ProjectSettings> settings = parseProjects(*bytes)) {
            load.settings = std::move(*settings);
            return load;
        }
    }
    if (std::optional<std::wstring> kept = keepAside(path, L"projects unreadable " + stamp, L".cfg", readError, load.error))
        load.keptAs = std::move(*kept);
    else
        load.writable = false;
    return load;
}

std::error_code saveProjectsFile(const std::wstring& path, const ProjectSettings& settings) {
    return writeFileAtomically(path, formatProjects(settings));
}
