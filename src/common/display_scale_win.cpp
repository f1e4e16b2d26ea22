#include "common/display_scale_win.h"

namespace {

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);

// From Windows 10 1607 on; looked up so that the program still starts on older systems, where the
// screen's DPI stands in.
GetDpiForWindowFunction getDpiForWindow() {
    static const auto function = reinterpret_cast<GetDpiForWindowFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    return function;
}

}  // namespace

DisplayScale windowScale(HWND window) {
    if (const GetDpiForWindowFunction function = getDpiForWindow())
        if (const UINT dpi = function(window)) return DisplayScale(static_cast<int>(dpi));
    const HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : DisplayScale::standardDpi;
    if (screen) ReleaseDC(nullptr, screen);
    return DisplayScale(dpi);
}
