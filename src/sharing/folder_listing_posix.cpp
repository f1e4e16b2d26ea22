#include <sys/stat.h>

#include <filesystem>

#include "common/text.h"
#include "sharing/folder_listing.h"

std::vector<ListedFile> listFolder(const std::wstring& folder, std::error_code& error) {
    std::vector<ListedFile> files;
    error.clear();
    std::filesystem::directory_iterator entries(toUtf8(folder), error);
    for (; !error && entries != std::filesystem::directory_iterator(); entries.increment(error)) {
        // stat reads the entry's inode; no file is opened.
        struct stat info {};
        if (::stat(entries->path().c_str(), &info) != 0) continue;
        ListedFile file;
        file.name = fromUtf8(entries->path().filename().string());
        file.size = static_cast<std::uint64_t>(info.st_size);
        file.lastWrite = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
        file.folder = S_ISDIR(info.st_mode);
        files.push_back(std::move(file));
    }
    return files;
}
