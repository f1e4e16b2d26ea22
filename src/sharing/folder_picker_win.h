#pragma once

#include <windows.h>

#include <string>

// What the user chose in Windows' folder picker.
struct FolderChoice {
    std::wstring folder;  // empty when the user cancelled, or the picker failed
    HRESULT error = S_OK; // why the picker could not be shown
};

// Windows' own folder picker (IFileOpenDialog with FOS_PICKFOLDERS), modal to `owner`; only
// folders of the file system can be chosen.
FolderChoice pickFolder(HWND owner, const std::wstring& title);
