#include "overlay/tray_icon_win.h"

#include "overlay/pause_hotkey_win.h"

#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <utility>

namespace {

constexpr UINT iconId = 1;
constexpr UINT callbackMessage = WM_APP + 0x31;

NOTIFYICONDATAW iconData(HWND window) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = window;
    data.uID = iconId;
    return data;
}

void copyTip(NOTIFYICONDATAW& data, const std::wstring& tip) {
    const std::size_t n = std::min(tip.size(), std::size(data.szTip) - 1);
    std::wmemcpy(data.szTip, tip.c_str(), n);
    data.szTip[n] = L'\0';
}

// The program's icon with a pause sign over its lower right: two bars, white edged in dark, that
// read at the notification area's small size on a light or a dark taskbar. Null when it cannot
// be made; the icon then stays as it is and the tooltip still says so.
HICON makePausedIcon(HICON icon) {
    const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = cx;
    info.bmiHeader.biHeight = -cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const BitmapHandle color(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    const BitmapHandle mask(CreateBitmap(cx, cy, 1, 1, nullptr));
    if (!color.get() || !mask.get() || !bits) return nullptr;
    {
        const MemoryDC dc(nullptr);
        const Selection selected(dc.get(), color.get());
        if (!selected || !DrawIconEx(dc.get(), 0, 0, icon, cx, cy, 0, nullptr, DI_NORMAL)) return nullptr;
        GdiFlush();
    }
    {
        // All zero: every pixel shows, by its alpha.
        const MemoryDC dc(nullptr);
        const Selection selected(dc.get(), mask.get());
        PatBlt(dc.get(), 0, 0, cx, cy, BLACKNESS);
    }
    auto* pixels = static_cast<std::uint32_t*>(bits);
    const int barWidth = std::max(2, cx / 6), barHeight = cy / 2, gap = std::max(1, cx / 10);
    const int bottom = cy - 1, right = cx - 1;
    const auto bar = [&](int left) {
        for (int y = bottom - barHeight - 1; y <= bottom; ++y)
            for (int x = left - 1; x <= left + barWidth; ++x) {
                if (x < 0 || y < 0 || x >= cx || y >= cy) continue;
                const bool edge = y == bottom - barHeight - 1 || y == bottom || x == left - 1 || x == left + barWidth;
                pixels[y * cx + x] = edge ? 0xFF202020u : 0xFFFFFFFFu;
            }
    };
    bar(right - barWidth);
    bar(right - 2 * barWidth - gap - 1);
    ICONINFO made{};
    made.fIcon = TRUE;
    made.hbmColor = color.get();
    made.hbmMask = mask.get();
    // The icon gets copies of both bitmaps; these go with this scope.
    return CreateIconIndirect(&made);
}

}  // namespace

void TrayIcon::showPaused(bool paused) {
    paused_ = paused;
    if (paused && !pausedIcon_) pausedIcon_.emplace(makePausedIcon(icon_));
    if (!shown_) return;
    NOTIFYICONDATAW data = iconData(window());
    data.uFlags = NIF_ICON;
    data.hIcon = currentIcon();
    if (!Shell_NotifyIconW(NIM_MODIFY, &data)) shown_ = false;
}

HICON TrayIcon::currentIcon() const {
    return paused_ && pausedIcon_ && pausedIcon_->get() ? pausedIcon_->get() : icon_;
}

bool TrayIcon::create(const std::wstring& tip, std::uint32_t now, HWND overlay) {
    overlay_ = overlay;
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW description{};
    description.cbSize = sizeof description;
    description.lpfnWndProc = windowProc;
    description.hInstance = instance;
    description.lpszClassName = windowClassName;
    class_.emplace(description);
    if (!*class_) return false;
    // Top-level and never shown: it has no taskbar button, and hears broadcasts.
    window_.emplace(CreateWindowExW(0, windowClassName, L"Ardeno Time", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                    instance, nullptr));
    if (!window_->get()) return false;
    SetWindowLongPtrW(window_->get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
    // The notification area's size, read from the system: the taskbar may scale it.
    icon_ = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                          GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR | LR_SHARED));
    if (!icon_) icon_ = LoadIconW(nullptr, IDI_APPLICATION);
    tip_ = tip;
    lastTry_ = now;
    add();
    return true;
}

void TrayIcon::add() {
    if (!window()) return;
    NOTIFYICONDATAW data = iconData(window());
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP;
    data.uCallbackMessage = callbackMessage;
    data.hIcon = currentIcon();
    copyTip(data, tip_);
    // After "TaskbarCreated" for a new scale the icon may still be there, and refuses the add.
    if (!Shell_NotifyIconW(NIM_ADD, &data)) {
        if (!Shell_NotifyIconW(NIM_MODIFY, &data)) {
            shown_ = false;
            return;
        }
    }
    shown_ = true;
    NOTIFYICONDATAW version = iconData(window());
    version.uVersion = NOTIFYICON_VERSION_4;
    version4_ = Shell_NotifyIconW(NIM_SETVERSION, &version) != FALSE;
}

void TrayIcon::update(std::uint32_t now) {
    if (shown_ || !window() || now - lastTry_ < retryMs) return;
    lastTry_ = now;
    add();
}

void TrayIcon::setTip(const std::wstring& tip) {
    if (tip == tip_) return;
    tip_ = tip;
    if (!shown_) return;
    NOTIFYICONDATAW data = iconData(window());
    data.uFlags = NIF_TIP | NIF_SHOWTIP;
    copyTip(data, tip_);
    // Gone with an Explorer that ended: added again, with this tip, at the next retry.
    if (!Shell_NotifyIconW(NIM_MODIFY, &data)) shown_ = false;
}

void TrayIcon::remove() {
    if (!shown_ || !window()) return;
    NOTIFYICONDATAW data = iconData(window());
    Shell_NotifyIconW(NIM_DELETE, &data);
    shown_ = false;
}

TrayIcon::Requests TrayIcon::takeRequests() { return std::exchange(requests_, Requests{}); }

UINT TrayIcon::trackMenu(HMENU menu, POINT at) {
    // A menu whose owner is not the foreground window stays open when the person clicks elsewhere;
    // the posted WM_NULL lets its loop end properly (TrackPopupMenu's remarks).
    SetForegroundWindow(window());
    const UINT chosen = static_cast<UINT>(
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y, 0, window(), nullptr));
    PostMessageW(window(), WM_NULL, 0, 0);
    return chosen;
}

void TrayIcon::onCallback(WPARAM wParam, LPARAM lParam) {
    const UINT event = LOWORD(lParam);
    POINT at{};
    // Version 4 says where, in the message; otherwise the pointer is where the click was.
    if (version4_) at = {GET_X_LPARAM(wParam), GET_Y_LPARAM(wParam)};
    else GetCursorPos(&at);
    if (version4_ ? event == WM_CONTEXTMENU : event == WM_RBUTTONUP) {
        requests_.menu = true;
        requests_.at = at;
    } else if (version4_ ? (event == NIN_SELECT || event == NIN_KEYSELECT) : event == WM_LBUTTONUP) {
        requests_.toggle = true;
    } else if (event == WM_MOUSEMOVE) {
        requests_.hovered = true;
    }
}

LRESULT CALLBACK TrayIcon::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<TrayIcon*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self && message == callbackMessage) {
        self->onCallback(wParam, lParam);
        return 0;
    }
    // Explorer started again, or the taskbar's scale changed: the icon is gone or must be redone.
    if (self && self->taskbarCreated_ && message == self->taskbarCreated_) {
        self->shown_ = false;
        self->add();
        return 0;
    }
    if (self && message == WM_HOTKEY && wParam == static_cast<WPARAM>(pauseHotkeyId)) {
        self->requests_.pause = true;
        return 0;
    }
    if (self && message == WM_CLOSE) {
        PostMessageW(self->overlay_, WM_CLOSE, 0, 0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
