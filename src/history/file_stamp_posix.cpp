#include <sys/stat.h>

#include "common/text.h"
#include "history/file_stamp.h"

std::optional<FileStamp> fileStampOf(const std::wstring& path) {
    struct stat info;
    if (stat(toUtf8(path).c_str(), &info) != 0) return std::nullopt;
    return FileStamp{static_cast<std::uint64_t>(info.st_size),
                     static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec,
                     static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

// An open file never stops a rename here.
bool heldOpenByAnotherProgram(const std::wstring&) { return false; }
