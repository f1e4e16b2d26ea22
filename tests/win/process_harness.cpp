#include "process_harness.h"

#include <vector>

std::wstring binaryFolder() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L"\\/"));
}

OverlayProcess::OverlayProcess(const std::wstring& workingDirectory, const std::wstring& arguments) {
    std::wstring commandLine = L"\"" + binaryFolder() + L"\\ArdenoTime.exe\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        workingDirectory.c_str(), &startup, &process_))
        process_ = {};
}

OverlayProcess::~OverlayProcess() {
    if (!process_.hProcess) return;
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_.hProcess, 99);
        WaitForSingleObject(process_.hProcess, 5000);
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}

namespace {

struct WindowSearch {
    DWORD processId;
    const wchar_t* className;
    const wchar_t* title;
    HWND found;
};

BOOL CALLBACK matchWindow(HWND hwnd, LPARAM context) {
    auto* search = reinterpret_cast<WindowSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner != search->processId) return TRUE;
    wchar_t text[256] = {};
    if (search->className) {
        GetClassNameW(hwnd, text, 256);
        if (std::wstring(text) != search->className) return TRUE;
    }
    GetWindowTextW(hwnd, text, 256);
    if (std::wstring(text) != search->title) return TRUE;
    search->found = hwnd;
    return FALSE;
}

BOOL CALLBACK collectStatic(HWND hwnd, LPARAM context) {
    wchar_t className[64] = {};
    GetClassNameW(hwnd, className, 64);
    if (lstrcmpiW(className, L"Static") != 0) return TRUE;
    const int length = GetWindowTextLengthW(hwnd);
    if (length == 0) return TRUE;
    std::vector<wchar_t> text(length + 1);
    GetWindowTextW(hwnd, text.data(), length + 1);
    auto* joined = reinterpret_cast<std::wstring*>(context);
    if (!joined->empty()) *joined += L"\n";
    *joined += text.data();
    return TRUE;
}

}  // namespace

HWND OverlayProcess::waitForWindow(const wchar_t* className, const wchar_t* title, DWORD timeoutMs) const {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    do {
        WindowSearch search{process_.dwProcessId, className, title, nullptr};
        EnumWindows(matchWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found) return search.found;
        Sleep(50);
    } while (GetTickCount64() < deadline);
    return nullptr;
}

DWORD OverlayProcess::waitForExit(DWORD timeoutMs) const {
    if (WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0) return STILL_ACTIVE;
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
}

std::wstring messageBoxText(HWND dialog) {
    std::wstring joined;
    EnumChildWindows(dialog, collectStatic, reinterpret_cast<LPARAM>(&joined));
    return joined;
}
