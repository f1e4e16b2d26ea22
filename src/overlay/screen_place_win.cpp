#include "overlay/screen_place_win.h"

#include <algorithm>
#include <climits>
#include <vector>

namespace {

ScreenRect toScreenRect(const RECT& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

// The work area of the monitor that the square overlaps most; nothing when it overlaps none.
std::optional<ScreenRect> workAreaTouching(OverlayCore::Point corner, std::int32_t side) {
    // A hand-edited place near the int32 limit must not overflow the far edge.
    const auto farEdge = [side](std::int32_t edge) {
        return static_cast<LONG>(std::min<std::int64_t>(std::int64_t{edge} + side, INT32_MAX));
    };
    const RECT square{corner.x, corner.y, farEdge(corner.x), farEdge(corner.y)};
    MONITORINFO info{};
    info.cbSize = sizeof info;
    const HMONITOR monitor = MonitorFromRect(&square, MONITOR_DEFAULTTONULL);
    if (!monitor || !GetMonitorInfoW(monitor, &info)) return std::nullopt;
    return toScreenRect(info.rcWork);
}

ScreenRect primaryWorkArea() {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &info))
        return toScreenRect(info.rcWork);
    return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

}  // namespace

OverlayCore::Point pinnedPlaceOnScreen(OverlayCore::Point stored, std::int32_t side) {
    return pinnedPlace(stored, side, workAreaTouching(stored, side), primaryWorkArea());
}

OverlayCore::Point placeBeside(HWND overlay, std::int32_t width, std::int32_t height, std::int32_t gap) {
    RECT beside{};
    GetWindowRect(overlay, &beside);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoW(MonitorFromWindow(overlay, MONITOR_DEFAULTTONEAREST), &monitor))
        monitor.rcWork = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return notePlace(toScreenRect(beside), width, height, gap, toScreenRect(monitor.rcWork));
}

std::optional<OverlayCore::Point> placeAfterDisplayChangeOnScreen(HWND overlay) {
    RECT plate{};
    if (!GetWindowRect(overlay, &plate)) return std::nullopt;
    std::vector<ScreenRect> monitors;
    const MONITORENUMPROC add = [](HMONITOR, HDC, LPRECT rect, LPARAM list) -> BOOL {
        reinterpret_cast<std::vector<ScreenRect>*>(list)->push_back(toScreenRect(*rect));
        return TRUE;
    };
    // No monitor to be read (a display being switched): leave it where it is for now.
    if (!EnumDisplayMonitors(nullptr, nullptr, add, reinterpret_cast<LPARAM>(&monitors)) || monitors.empty())
        return std::nullopt;
    return placeAfterDisplayChange(toScreenRect(plate), monitors, primaryWorkArea());
}
