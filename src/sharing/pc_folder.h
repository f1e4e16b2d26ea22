#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "sharing/pc_history_files.h"

// One PC file as the shared folder's listing shows it.
struct PcFileEntry {
    PcFileName pc;
    std::wstring fileName;
    std::uint64_t size = 0;
    std::int64_t lastWrite = 0;
    bool online = false;  // reading it downloads it first
};

// The PC files of the shared folder, as one listing found them.
struct PcListing {
    bool reached = false;  // the folder could be listed
    std::error_code error; // why not
    std::vector<PcFileEntry> files;
    std::vector<std::wstring> syncCopies;  // copies a sync service made of PC files (syncCopyOriginal), by name
};

// One PC file's bytes, read no further than a limit.
struct PcFileBytes {
    std::optional<std::string> bytes;
    bool gone = false;      // it is not there (any more)
    bool tooLarge = false;  // it has grown past the limit
    std::error_code error;  // why it could not be read
};

// The shared folder's files, as this PC touches them. Every call blocks for as long as the
// folder takes (a network share, a file a cloud service downloads first), so it belongs on a
// thread of its own. Only this PC's own files are ever written or removed.
class PcFolder {
public:
    explicit PcFolder(std::wstring folder) : folder_(std::move(folder)) {}

    const std::wstring& folder() const { return folder_; }
    // The PC files, their sizes from the listing: none of them is opened. The copies that sync
    // services made are named apart, a OneDrive copy only while the file it copies is listed.
    PcListing list() const;
    PcFileBytes read(const std::wstring& fileName, std::uint64_t limit = largestPcFileBytes) const;
    // Replaces this PC's file `fileName` with these bytes in one step (see writeFileAtomically).
    // A folder that is not there is out of reach: it is not made again.
    std::error_code write(const std::wstring& fileName, const std::string& bytes) const;
    // One PC file as the listing gives it; nullopt when it is not there.
    std::optional<PcFileEntry> listed(const std::wstring& fileName) const;
    // Removes this PC's earlier file when it still holds exactly the bytes of `mark`. True once
    // nothing is left to do: it is removed, gone, or holds what someone else wrote; false when
    // it could not be read or removed, for a later try.
    bool removeIfHolds(const std::wstring& fileName, const ContentMark& mark) const;
    // Whether the folder is still there, without reading anything in it.
    bool present() const;

private:
    std::wstring path(const std::wstring& fileName) const;

    std::wstring folder_;
};
