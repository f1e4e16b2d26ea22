#include "overlay/full_screen.h"

bool isShellWindowClass(std::wstring_view className) {
    return className == L"Progman" || className == L"WorkerW" || className == L"Shell_TrayWnd" ||
           className == L"Shell_SecondaryTrayWnd";
}

bool hidesOverlay(const FrontWindow& front, const ScreenRect& overlayMonitor) {
    // A monitor that could not be read is never covered, not always.
    if (overlayMonitor.right <= overlayMonitor.left || overlayMonitor.bottom <= overlayMonitor.top) return false;
    if (!front.exists || !front.visible || front.minimised || front.maximised || front.target || front.shell)
        return false;
    // Covering, not equal: a game's window may reach past the monitor's edges.
    return front.rect.left <= overlayMonitor.left && front.rect.top <= overlayMonitor.top &&
           front.rect.right >= overlayMonitor.right && front.rect.bottom >= overlayMonitor.bottom;
}
