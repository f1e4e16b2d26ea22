#include "overlay/process_name_win.h"

namespace {

// Owns a process handle for the length of one query.
class ProcessHandle {
public:
    explicit ProcessHandle(HANDLE handle) : handle_(handle) {}
    ProcessHandle(const ProcessHandle&) = delete;
    ProcessHandle& operator=(const ProcessHandle&) = delete;
    ~ProcessHandle() {
        if (handle_) CloseHandle(handle_);
    }
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

}  // namespace

std::wstring foregroundProgramName(HWND window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    const ProcessHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process.get()) return L"";
    wchar_t path[MAX_PATH];
    DWORD length = MAX_PATH;
    if (!QueryFullProcessImageNameW(process.get(), 0, path, &length)) return L"";
    // Only a backslash separates: the system reports the Win32 form of the path.
    const std::wstring full(path, length);
    const std::size_t separator = full.rfind(L'\\');
    return separator == std::wstring::npos ? full : full.substr(separator + 1);
}
