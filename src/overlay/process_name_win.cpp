#include "overlay/process_name_win.h"

#include "common/kernel_handle_win.h"

namespace {

bool hasClass(HWND window, const wchar_t* name) {
    wchar_t text[64] = {};
    return GetClassNameW(window, text, 64) > 0 && lstrcmpW(text, name) == 0;
}

struct HostedContent {
    DWORD hostProcess = 0;
    HWND content = nullptr;
};

BOOL CALLBACK findHostedContent(HWND child, LPARAM data) {
    auto& search = *reinterpret_cast<HostedContent*>(data);
    DWORD processId = 0;
    GetWindowThreadProcessId(child, &processId);
    if (processId == 0 || processId == search.hostProcess) return TRUE;
    search.content = child;
    return FALSE;
}

std::wstring imageNameOfProcessOf(HWND window) {
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

}  // namespace

HWND programWindow(HWND window) {
    const HWND root = GetAncestor(window, GA_ROOT);
    if (!root) return window;
    // A Store app's window in front is its frame, which ApplicationFrameHost.exe draws; the app
    // itself is a child window of its own process inside it.
    if (!hasClass(root, L"ApplicationFrameWindow")) return root;
    HostedContent search;
    GetWindowThreadProcessId(root, &search.hostProcess);
    EnumChildWindows(root, findHostedContent, reinterpret_cast<LPARAM>(&search));
    return search.content ? search.content : root;
}

std::wstring foregroundProgramName(HWND window) { return imageNameOfProcessOf(programWindow(window)); }

const std::wstring& ProgramNames::of(HWND window) {
    // An empty name may mean a process that is still starting up or one without rights, and a
    // frame may not yet hold its app: ask again.
    if (!known_ || window != window_ || name_.empty() || !settled_) {
        const HWND shown = programWindow(window);
        name_ = imageNameOfProcessOf(shown);
        window_ = window;
        known_ = true;
        settled_ = !hasClass(shown, L"ApplicationFrameWindow");
    }
    return name_;
}
