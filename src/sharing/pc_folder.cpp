#include "sharing/pc_folder.h"

#include <cstdio>
#include <filesystem>

#include "common/text.h"
#include "config/file_system.h"
#include "sharing/folder_listing.h"

PcListing PcFolder::list() const {
    PcListing listing;
    for (ListedFile& file : listFolder(folder_, listing.error)) {
        const auto pc = parsePcHistoryFileName(file.name);
        if (!pc || file.folder) continue;
        listing.files.push_back({*pc, std::move(file.name), file.size, file.lastWrite, file.online});
    }
    listing.reached = !listing.error;
    if (!listing.reached) listing.files.clear();
    return listing;
}

PcFileBytes PcFolder::read(const std::wstring& fileName) const {
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
        if (bytes.size() > largestPcFileBytes) {
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

std::error_code PcFolder::write(const std::wstring& fileName, const std::vector<HistoryRow>& rows,
                                ContentMark& written) const {
    const std::string bytes = formatHistoryText(rows);
    written = contentMark(bytes);
    return writeFileAtomically(path(fileName), bytes);
}

bool PcFolder::removeIfHolds(const std::wstring& fileName, const ContentMark& mark) const {
    const PcFileBytes found = read(fileName);
    if (found.gone || found.tooLarge || (found.bytes && contentMark(*found.bytes) != mark)) return true;
    if (!found.bytes) return false;
    if (removeFile(path(fileName))) return true;
    try {
        return !pathExists(path(fileName));
    } catch (const std::filesystem::filesystem_error&) {
        return false;
    }
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
