#include <windows.h>

#include <io.h>

#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <vector>

#include "config/file_system.h"
#include "config/shared_folder_win.h"

std::FILE* openFile(const std::wstring& path, const char* mode) {
    // _wfopen shares the file with everyone, as the settings files expect.
    const std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
    return _wfopen(path.c_str(), wideMode.c_str());
}

bool flushToDisk(std::FILE* file) { return std::fflush(file) == 0 && _commit(_fileno(file)) == 0; }

bool replaceFile(const std::wstring& from, const std::wstring& to) {
    return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

std::FILE* createTemporary(const std::wstring& path) {
    // DELETE access lets the file be renamed through this handle; sharing as _wfopen shares.
    const HANDLE handle = CreateFileW(path.c_str(), GENERIC_WRITE | DELETE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return nullptr;
    const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_BINARY);
    if (descriptor == -1) {
        CloseHandle(handle);
        return nullptr;
    }
    std::FILE* file = _fdopen(descriptor, "wb");
    if (!file) _close(descriptor);
    return file;
}

bool putInPlace(std::FILE* file, const std::wstring& /*from: the handle knows it*/, const std::wstring& to) {
    // The new name in full: a bare name would be taken relative to the current folder, not the file's.
    const DWORD length = GetFullPathNameW(to.c_str(), 0, nullptr, nullptr);
    if (length == 0) return false;
    std::vector<wchar_t> fullPath(length);
    const DWORD written = GetFullPathNameW(to.c_str(), length, fullPath.data(), nullptr);
    if (written == 0 || written >= length) return false;
    std::vector<unsigned char> buffer(sizeof(FILE_RENAME_INFO) + written * sizeof(wchar_t));
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    rename->ReplaceIfExists = TRUE;
    rename->RootDirectory = nullptr;
    rename->FileNameLength = written * sizeof(wchar_t);
    std::copy(fullPath.data(), fullPath.data() + written, rename->FileName);
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    return handle != INVALID_HANDLE_VALUE &&
           SetFileInformationByHandle(handle, FileRenameInfo, rename, static_cast<DWORD>(buffer.size())) != 0;
}

std::error_code lastFileError() {
    // The C runtime's file calls fail through Win32 calls, which leave the more precise reason.
    if (const DWORD error = GetLastError()) return std::error_code(static_cast<int>(error), std::system_category());
    return std::error_code(errno, std::generic_category());
}

bool removeFile(const std::wstring& path) { return DeleteFileW(path.c_str()) != 0; }

void createSharedFolder(const std::wstring& path) {
    // An existing folder keeps the security it has: an administrator may have set it on purpose.
    SharedFolderSecurity security;
    CreateDirectoryW(path.c_str(), security.attributes());
}

bool pathExists(const std::wstring& path) {
    if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_BAD_NETPATH ||
        error == ERROR_INVALID_NAME)
        return false;
    throw std::filesystem::filesystem_error("exists", std::filesystem::path(path),
                                            std::error_code(static_cast<int>(error), std::system_category()));
}

bool isFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}
