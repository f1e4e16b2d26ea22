#pragma once

#include <cstdint>
#include <optional>
#include <string>

// What the file system says about a file without reading it: enough to notice that another
// program wrote to it or put a new file in its place, as a spreadsheet does when it saves.
// One implementation per platform (file_stamp_posix.cpp, file_stamp_win.cpp).
struct FileStamp {
    std::uint64_t size = 0;
    std::int64_t lastWrite = 0;  // in the platform's own units
    std::uint64_t volume = 0;    // with index: which file it is, whatever its name
    std::uint64_t index = 0;
};

inline bool operator==(const FileStamp& a, const FileStamp& b) {
    return a.size == b.size && a.lastWrite == b.lastWrite && a.volume == b.volume && a.index == b.index;
}
inline bool operator!=(const FileStamp& a, const FileStamp& b) { return !(a == b); }

// Nullopt when the file is not there or the system will not say.
std::optional<FileStamp> fileStampOf(const std::wstring& path);

// Whether another program has the file open in a way that stops it from being replaced (a
// spreadsheet, a backup or a virus scanner holding it), which passes when that program closes it.
bool heldOpenByAnotherProgram(const std::wstring& path);
