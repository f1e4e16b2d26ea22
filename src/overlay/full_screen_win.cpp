#include "overlay/full_screen_win.h"

#include <dwmapi.h>

#include "overlay/target_programs.h"

namespace {

ScreenRect toScreenRect(const RECT& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

// Where the window is drawn. Its rectangle takes in the invisible resize borders of Windows 10 on,
// so DWM's frame bounds are used when it gives them (not under Wine, nor with DWM off).
ScreenRect drawnRect(HWND window) {
    RECT rect{};
    if (SUCCEEDED(DwmGetWindowAttribute(window, DWMWA_EXTENDED_FRAME_BOUNDS, &rect, sizeof rect)) &&
        rect.right > rect.left && rect.bottom > rect.top)
        return toScreenRect(rect);
    if (!GetWindowRect(window, &rect)) return {};
    return toScreenRect(rect);
}

// A window on another virtual desktop, or a suspended Store app, may be "visible" and cloaked.
bool cloaked(HWND window) {
    DWORD value = 0;
    return SUCCEEDED(DwmGetWindowAttribute(window, DWMWA_CLOAKED, &value, sizeof value)) && value != 0;
}

}  // namespace

FrontWindow frontWindowFacts(HWND front) {
    FrontWindow facts;
    if (!front || !IsWindow(front)) return facts;
    facts.exists = true;
    facts.rect = drawnRect(front);
    facts.visible = IsWindowVisible(front) && !cloaked(front);
    facts.minimised = IsIconic(front) != FALSE;
    facts.maximised = IsZoomed(front) != FALSE;
    WCHAR className[64] = {};
    const int length = GetClassNameW(front, className, static_cast<int>(std::size(className)));
    // The desktop itself, which Wine gives as the foreground window when nothing else is.
    facts.shell = (length > 0 && isShellWindowClass(std::wstring_view(className, static_cast<std::size_t>(length)))) ||
                  front == GetDesktopWindow() || front == GetShellWindow();
    return facts;
}

ScreenRect monitorOf(HWND window) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info)) return {};
    return toScreenRect(info.rcMonitor);
}

bool fullScreenHidesOverlay(const ScreenRect& monitor, HWND front, const std::vector<std::wstring>& targets,
                            ProgramNames& names) {
    if (!front) return false;
    // Asked four times a second, each question a round trip to the window server under Wine:
    // most windows in front cover no whole monitor, which their place alone says.
    FrontWindow placeOnly;
    placeOnly.exists = placeOnly.visible = true;
    placeOnly.rect = drawnRect(front);
    if (!hidesOverlay(placeOnly, monitor)) return false;
    FrontWindow facts = frontWindowFacts(front);
    // Only a window that would hide it needs its program named.
    if (!hidesOverlay(facts, monitor)) return false;
    facts.target = chosenTarget(targets, names.of(front)) != nullptr;
    return hidesOverlay(facts, monitor);
}
