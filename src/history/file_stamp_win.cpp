#include <windows.h>

#include "common/kernel_handle_win.h"
#include "history/file_stamp.h"

std::optional<FileStamp> fileStampOf(const std::wstring& path) {
    // No access asked for: this open is never refused for the way another program holds the file.
    const KernelHandle file(CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!file || !GetFileInformationByHandle(file.get(), &info)) return std::nullopt;
    const auto join = [](DWORD high, DWORD low) { return (std::uint64_t{high} << 32) | low; };
    return FileStamp{join(info.nFileSizeHigh, info.nFileSizeLow),
                     static_cast<std::int64_t>(join(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime)),
                     info.dwVolumeSerialNumber, join(info.nFileIndexHigh, info.nFileIndexLow)};
}

bool heldOpenByAnotherProgram(const std::wstring& path) {
    // Replacing a file needs the right to delete it, which a program that opened it without
    // sharing deletion withholds from everyone while it has it open. (Under Wine the replace
    // itself then fails with "access denied", as for other reasons; this open fails with a
    // sharing violation, measured.)
    const KernelHandle file(CreateFileW(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, 0, nullptr));
    return !file && GetLastError() == ERROR_SHARING_VIOLATION;
}
