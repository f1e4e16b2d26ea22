#include "overlay/capture_hiding_win.h"

#ifndef WDA_EXCLUDEFROMCAPTURE
#define WDA_EXCLUDEFROMCAPTURE 0x00000011
#endif

std::uint32_t windowsBuildNumber() {
    // GetVersionEx answers by the manifest's compatibility list; ntdll tells the truth.
    using RtlGetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOW*);
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    if (!ntdll) return 0;
    const auto rtlGetVersion =
        reinterpret_cast<RtlGetVersionFunction>(reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")));
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof version;
    if (!rtlGetVersion || rtlGetVersion(&version) != 0) return 0;
    return version.dwBuildNumber;
}

DWORD setHiddenFromCapture(HWND window, bool hidden) {
    if (SetWindowDisplayAffinity(window, hidden ? WDA_EXCLUDEFROMCAPTURE : WDA_NONE)) return 0;
    const DWORD error = GetLastError();
    return error ? error : ERROR_GEN_FAILURE;
}
