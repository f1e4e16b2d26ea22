#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "common/text.h"
#include "config/file_system.h"

std::FILE* openFile(const std::wstring& path, const char* mode) { return std::fopen(toUtf8(path).c_str(), mode); }

bool flushToDisk(std::FILE* file) { return std::fflush(file) == 0 && fsync(fileno(file)) == 0; }

bool replaceFile(const std::wstring& from, const std::wstring& to) {
    return std::rename(toUtf8(from).c_str(), toUtf8(to).c_str()) == 0;
}

std::FILE* createTemporary(const std::wstring& path) { return openFile(path, "wb"); }

bool putInPlace(std::FILE*, const std::wstring& from, const std::wstring& to) { return replaceFile(from, to); }

std::error_code lastFileError() { return std::error_code(errno, std::generic_category()); }

bool removeFile(const std::wstring& path) { return std::remove(toUtf8(path).c_str()) == 0; }

void createSharedFolder(const std::wstring& path) { mkdir(toUtf8(path).c_str(), 0755); }

bool pathExists(const std::wstring& path) {
    struct stat info;
    if (stat(toUtf8(path).c_str(), &info) == 0) return true;
    if (errno == ENOENT || errno == ENOTDIR || errno == ENAMETOOLONG) return false;
    throw std::filesystem::filesystem_error("exists", std::filesystem::path(path),
                                            std::error_code(errno, std::generic_category()));
}

bool isFolder(const std::wstring& path) {
    struct stat info;
    return stat(toUtf8(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}
