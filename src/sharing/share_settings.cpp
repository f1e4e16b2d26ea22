#include "sharing/share_settings.h"

#include <filesystem>

#include "common/text.h"
#include "config/file_system.h"

namespace {

bool isSpace(wchar_t c) { return c == L' ' || c == L'\t'; }

}  // namespace

std::wstring shareSettingsPath(const std::wstring& stateFolder) { return stateFolder + L"/share.cfg"; }

std::wstring parseShareSettings(const std::string& bytes) {
    const std::wstring line = decodeFileText(bytes.substr(0, bytes.find('\n')));
    std::size_t begin = 0, end = line.size();
    // A second byte-order mark, after the first or after spaces, is no part of a path either.
    while (begin < end && (isSpace(line[begin]) || line[begin] == L'\uFEFF')) ++begin;
    while (end > begin && (isSpace(line[end - 1]) || line[end - 1] == L'\r')) --end;
    return line.substr(begin, end - begin);
}

std::string formatShareSettings(const std::wstring& folder) { return toUtf8(folder) + "\r\n"; }

ShareSettings readShareSettings(const std::wstring& path) {
    ShareSettings settings;
    std::FILE* file = openFile(path, "rb");
    if (!file) {
        const std::error_code error = lastFileError();
        try {
            if (!pathExists(path)) return settings;
            settings.found = true;
            settings.error = error ? error : std::make_error_code(std::errc::io_error);
        } catch (const std::filesystem::filesystem_error& failure) {
            settings.error = failure.code();
        }
        return settings;
    }
    settings.found = true;
    std::string bytes;
    char buffer[4096];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, got);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) settings.error = std::make_error_code(std::errc::io_error);
    else settings.folder = parseShareSettings(bytes);
    return settings;
}

std::error_code writeShareSettings(const std::wstring& path, const std::wstring& folder) {
    return writeFileAtomically(path, formatShareSettings(folder));
}
