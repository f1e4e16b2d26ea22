#include <windows.h>

#include "sharing/folder_listing.h"

namespace {

ListedFile fileOf(const WIN32_FIND_DATAW& data) {
    ListedFile file;
    file.name = data.cFileName;
    file.size = (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
    file.lastWrite = static_cast<std::int64_t>((std::uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) |
                                               data.ftLastWriteTime.dwLowDateTime);
    file.folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    // Cloud files whose bytes are not on this PC (OneDrive "online only" and the like).
    constexpr DWORD recallOnOpen = 0x00040000, recallOnDataAccess = 0x00400000;
    file.online = (data.dwFileAttributes & (FILE_ATTRIBUTE_OFFLINE | recallOnOpen | recallOnDataAccess)) != 0;
    return file;
}

std::wstring inFolder(const std::wstring& folder, const std::wstring& name) {
    std::wstring path = folder;
    if (!path.empty() && path.back() != L'\\' && path.back() != L'/') path += L'\\';
    return path + name;
}

}  // namespace

std::vector<ListedFile> listFolder(const std::wstring& folder, std::error_code& error) {
    std::vector<ListedFile> files;
    error.clear();
    WIN32_FIND_DATAW data;
    // The listing's own sizes and attributes: FindFirstFileExW opens no file of the folder.
    const HANDLE find = FindFirstFileExW(inFolder(folder, L"*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                         nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        if (code != ERROR_FILE_NOT_FOUND) error = std::error_code(static_cast<int>(code), std::system_category());
        return files;
    }
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        files.push_back(fileOf(data));
    } while (FindNextFileW(find, &data));
    const DWORD code = GetLastError();
    FindClose(find);
    if (code != ERROR_NO_MORE_FILES) error = std::error_code(static_cast<int>(code), std::system_category());
    return files;
}

std::optional<ListedFile> listedFile(const std::wstring& folder, const std::wstring& name) {
    WIN32_FIND_DATAW data;
    const HANDLE find = FindFirstFileExW(inFolder(folder, name).c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                         nullptr, 0);
    if (find == INVALID_HANDLE_VALUE) return std::nullopt;
    FindClose(find);
    return fileOf(data);
}
