#include "config/app_data_folder_win.h"

#include <windows.h>

#include <shlobj.h>

#include <cstdio>

#include "common/startup_error.h"

std::wstring commonAppDataFolder() {
    wchar_t folder[MAX_PATH] = {};
    const HRESULT result = SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder);
    if (FAILED(result) || folder[0] == L'\0') {
        wchar_t code[16];
        std::swprintf(code, 16, L"0x%08lX", static_cast<unsigned long>(result));
        throw StartupError(std::wstring(L"Ardeno Time cannot find the common application-data folder, where it "
                                        L"keeps its state file (error ") +
                           code + L").\n\nNothing was changed.");
    }
    return folder;
}
