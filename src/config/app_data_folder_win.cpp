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

std::wstring programFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return L"";
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        if (path.size() >= 32768) return L"";
        path.resize(path.size() * 2);
    }
    const std::size_t separator = path.find_last_of(L"\\/");
    return separator == std::wstring::npos ? L"" : path.substr(0, separator);
}
