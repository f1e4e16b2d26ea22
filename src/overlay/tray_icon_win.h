#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "common/gdi_handles_win.h"
#include "common/window_handles_win.h"

// The program's icon in the notification area, owned by a hidden top-level window of its own: a
// message-only window would never hear that Explorer restarted, and the overlay's window may be
// hidden while the icon's menu is open. Main thread only: SDL's pump dispatches its messages.
// What the person does with the icon is noted and handed out by takeRequests, for the overlay's
// next frame.
class TrayIcon {
public:
    // Every few seconds while the icon could not be added: at sign-in the notification area is
    // often not ready, and the message that it is may never come.
    static constexpr std::uint32_t retryMs = 3000;
    static constexpr const wchar_t* windowClassName = L"ArdenoTime.NotificationIcon";

    struct Requests {
        bool menu = false;     // right-click, or the menu key: open the menu at `at`
        bool toggle = false;   // left click, or Enter / Space on it: show or hide the overlay
        bool hovered = false;  // the pointer is over it: its tooltip is about to show
        bool pause = false;    // the pause hotkey, registered for this window, was pressed
        POINT at{};
    };

    TrayIcon() = default;
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;
    ~TrayIcon() { remove(); }

    // Makes the window and adds the icon with `tip` at SDL tick `now`; false when the window could
    // not be made (there is no icon then, and never will be this run). A request to close the
    // icon's window (a tool that closes a program by its windows) goes to `overlay`, which ends
    // the program as "Exit" does.
    bool create(const std::wstring& tip, std::uint32_t now, HWND overlay);
    // Adds the icon again when it was not there and the retry is due.
    void update(std::uint32_t now);
    // Sets the tooltip (at most 127 characters) when it differs from the one shown.
    void setTip(const std::wstring& tip);
    // Shows the paused variant of the icon (two bars over it), or the program's own again.
    void showPaused(bool paused);
    // Removes the icon, at exit.
    void remove();

    // The icon is in the notification area now.
    bool shown() const { return shown_; }
    HWND window() const { return window_ ? window_->get() : nullptr; }
    Requests takeRequests();

    // Runs `menu` at `at` for the icon's window until it closes; the chosen command, 0 for none.
    UINT trackMenu(HMENU menu, POINT at);

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void add();
    HICON currentIcon() const;
    void onCallback(WPARAM wParam, LPARAM lParam);

    std::optional<WindowClass> class_;
    std::optional<OwnedWindow> window_;  // after the class: it goes first
    HICON icon_ = nullptr;               // the program's own, shared: never destroyed
    std::optional<IconHandle> pausedIcon_;  // made at the first pause
    bool paused_ = false;
    std::wstring tip_;
    bool shown_ = false;
    bool version4_ = false;  // the icon speaks NOTIFYICON_VERSION_4 (events in LOWORD(lParam))
    std::uint32_t lastTry_ = 0;
    UINT taskbarCreated_ = 0;
    HWND overlay_ = nullptr;
    Requests requests_;
};
