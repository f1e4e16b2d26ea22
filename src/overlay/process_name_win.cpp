#include "overlay/process_name_win.h"

#include "common/kernel_handle_win.h"

std::wstring foregroundProgramName(HWND window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    const KernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process) return L"";
    wchar_t path[MAX_PATH];
    DWORD length = MAX_PATH;
    if (!QueryFullProcessImageNameW(process.get(), 0, path, &length)) return L"";
    // Only a backslash separates: the system reports the Win32 form of the path.
    const std::wstring full(path, length);
    const std::size_t separator = full.rfind(L'\\');
    return separator == std::wstring::npos ? full : full.substr(separator + 1);
}

const std::wstring& ProgramNames::of(HWND window) {
    // An empty name may mean a process that is still starting up or one without rights: ask again.
    if (!known_ || window != window_ || name_.empty()) {
        name_ = foregroundProgramName(window);
        window_ = window;
        known_ = true;
    }
    return name_;
}
