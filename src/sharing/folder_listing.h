#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

// A folder's entries as its listing gives them, without opening any file in it: opening a
// OneDrive "online only" file downloads it, and a file a sync fault left there may be huge.
// One implementation per platform (folder_listing_win.cpp, folder_listing_posix.cpp).
struct ListedFile {
    std::wstring name;
    std::uint64_t size = 0;
    std::int64_t lastWrite = 0;  // in the platform's own units
    bool folder = false;
    bool online = false;  // its bytes are elsewhere: reading it downloads it first
};

// The entries of `folder`, "." and ".." aside; `error` says why it could not be listed.
std::vector<ListedFile> listFolder(const std::wstring& folder, std::error_code& error);
// One file of `folder` as its listing gives it; nullopt when it is not there or cannot be listed.
std::optional<ListedFile> listedFile(const std::wstring& folder, const std::wstring& name);
