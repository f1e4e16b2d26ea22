#include <sys/stat.h>

#include <filesystem>

#include "common/text.h"
#include "sharing/folder_listing.h"

namespace {

std::optional<ListedFile> fileAt(const std::filesystem::path& path) {
    // stat reads the entry's inode; no file is opened.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return std::nullopt;
    ListedFile file;
    file.name = fromUtf8(path.filename().string());
    file.size = static_cast<std::uint64_t>(info.st_size);
    file.lastWrite = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    file.folder = S_ISDIR(info.st_mode);
    return file;
}

}  // namespace

std::vector<ListedFile> listFolder(const std::wstring& folder, std::error_code& error) {
    std::vector<ListedFile> files;
    error.clear();
    std::filesystem::directory_iterator entries(toUtf8(folder), error);
    for (; !error && entries != std::filesystem::directory_iterator(); entries.increment(error))
        if (auto file = fileAt(entries->path())) files.push_back(std::move(*file));
    return files;
}

std::optional<ListedFile> listedFile(const std::wstring& folder, const std::wstring& name) {
    return fileAt(std::filesystem::path(toUtf8(folder)) / toUtf8(name));
}
