#include "sharing/pc_folder.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "common/text.h"
#include "config/file_system.h"
#include "sharing/folder_listing.h"

PcListing PcFolder::list() const {
    PcListing listing;
    for (ListedFile& file : listFolder(folder_, listing.error)) {
        if (file.folder) continue;
        if (const auto pc = parsePcHistoryFileName(file.name))
            listing.files.push_back({*pc, std::move(file.name), file.size, file.lastWrite, file.online});
        else if (syncCopyOriginal(file.name))
            listing.syncCopies.push_back(std::move(file.name));
    }
    listing.reached = !listing.error;
    if (!listing.reached) {
        listing.files.clear();
        listing.syncCopies.clear();
    }
    const auto listed = [&](const std::wstring& name) {
        return std::any_of(listing.files.begin(), listing.files.end(),
                           [&](const PcFileEntry& entry) { return sameFileName(entry.fileName, name); });
    };
    std::vector<PcFileEntry> files;
    for (PcFileEntry& entry : listing.files) {
        const std::vector<std::wstring> originals = oneDriveCopyOriginals(entry.fileName);
        if (std::any_of(originals.begin(), originals.end(), listed)) listing.syncCopies.push_back(entry.fileName);
        else files.push_back(entry);
    }
    listing.files = std::move(files);
    std::sort(listing.syncCopies.begin(), listing.syncCopies.end());
    return listing;
}

PcFileBytes PcFolder::read(const std::wstring& fileName, std::uint64_t limit) const {
    PcFileBytes read;
    std::FILE* file = openFile(path(fileName), "rb");
    if (!file) {
        read.error = lastFileError();
        try {
            read.gone = !pathExists(path(fileName));
        } catch (const std::filesystem::filesystem_error&) {
        }
        if (!read.error) read.error = std::make_error_code(std::errc::io_error);
        return read;
    }
    std::string bytes;
    char buffer[16384];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        bytes.append(buffer, got);
        // Grown past the limit since the listing: no further.
        if (bytes.size() > limit) {
            read.tooLarge = true;
            break;
        }
    }
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) read.error = std::make_error_code(std::errc::io_error);
    else if (!read.tooLarge) read.bytes = std::move(bytes);
    return read;
}

std::error_code PcFolder::write(const std::wstring& fileName, const std::string& bytes) const {
    return writeFileAtomically(path(fileName), bytes);
}

bool PcFolder::removeIfHolds(const std::wstring& fileName, const ContentMark& mark) const {
    // Larger than what it wrote there, it holds something else.
    const PcFileBytes found = read(fileName, static_cast<std::uint64_t>(std::max<std::int64_t>(mark.size, 0)));
    if (found.gone || found.tooLarge || (found.bytes && contentMark(*found.bytes) != mark)) return true;
    if (!found.bytes) return false;
    if (removeFile(path(fileName))) return true;
    try {
        return !pathExists(path(fileName));
    } catch (const std::filesystem::filesystem_error&) {
        return false;
    }
}

std::optional<PcFileEntry> PcFolder::listed(const std::wstring& fileName) const {
    const auto pc = parsePcHistoryFileName(fileName);
    std::optional<ListedFile> file = listedFile(folder_, fileName);
    if (!pc || !file || file->folder) return std::nullopt;
    return PcFileEntry{*pc, fileName, file->size, file->lastWrite, file->online};
}

bool PcFolder::present() const {
    std::error_code error;
#ifdef _WIN32
    return std::filesystem::is_directory(std::filesystem::path(folder_), error);
#else
    return std::filesystem::is_directory(std::filesystem::path(toUtf8(folder_)), error);
#endif
}

std::wstring PcFolder::path(const std::wstring& fileName) const {
    if (!folder_.empty() && (folder_.back() == L'\\' || folder_.back() == L'/')) return folder_ + fileName;
#ifdef _WIN32
    return folder_ + L"\\" + fileName;
#else
    return folder_ + L"/" + fileName;
#endif
}
