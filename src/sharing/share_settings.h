#pragma once

#include <string>
#include <system_error>

// share.cfg, beside data.cfg: the folder through which this PC shares its history with the
// user's other PCs (a OneDrive, Dropbox or Syncthing folder, a network share). UTF-8, its first
// line the folder's full path. No file, or an empty first line, means not sharing.

std::wstring shareSettingsPath(const std::wstring& stateFolder);

// The folder named in the text of share.cfg; empty when not sharing. A byte-order mark, the
// line end and spaces around the path are dropped; a line that is not UTF-8 is read in the ANSI
// code page, as Notepad saves a hand-edited file (see decodeFileText).
std::wstring parseShareSettings(const std::string& bytes);
std::string formatShareSettings(const std::wstring& folder);

// What share.cfg says. A missing file is not sharing; a file that is there but cannot be read
// is not sharing either, with the system's reason for the history window to show.
struct ShareSettings {
    std::wstring folder;
    bool found = false;  // share.cfg is there, sharing or not
    std::error_code error;
};
ShareSettings readShareSettings(const std::wstring& path);
// Replaces share.cfg in one step; an empty folder stops sharing. The system's reason on failure.
std::error_code writeShareSettings(const std::wstring& path, const std::wstring& folder);
