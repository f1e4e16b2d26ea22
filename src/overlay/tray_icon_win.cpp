#include "overlay/tray_icon_win.h"

#include <shellapi.h>
#include <windowsx.h>

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

}  // namespace

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
    data.hIcon = icon_;
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
    if (self && message == WM_CLOSE) {
        PostMessageW(self->overlay_, WM_CLOSE, 0, 0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
