#pragma once

#include <windows.h>

// Ctrl+Alt+Shift+P, the key that pauses and resumes counting from anywhere.
constexpr UINT pauseHotkeyModifiers = MOD_CONTROL | MOD_ALT | MOD_SHIFT;
constexpr UINT pauseHotkeyKey = 'P';
// The id WM_HOTKEY carries in its wParam; an application's own ids are below 0xC000.
constexpr int pauseHotkeyId = 0x5041;

// The pause hotkey, registered for `window` (whose thread then gets WM_HOTKEY) for as long as
// the owner lives. Another program may hold the same keys: that is reported, never silent, so
// the menu can say so.
class PauseHotkey {
public:
    explicit PauseHotkey(HWND window, int id = pauseHotkeyId);
    PauseHotkey(const PauseHotkey&) = delete;
    PauseHotkey& operator=(const PauseHotkey&) = delete;
    ~PauseHotkey();

    bool registered() const { return registered_; }
    // Not registered because another program (or another window) holds Ctrl+Alt+Shift+P.
    bool taken() const { return error_ == ERROR_HOTKEY_ALREADY_REGISTERED; }
    // Why the registration failed; 0 when it succeeded.
    DWORD error() const { return error_; }
    // `message` with `wParam` is a press of this hotkey.
    bool pressed(UINT message, WPARAM wParam) const {
        return registered_ && message == WM_HOTKEY && wParam == static_cast<WPARAM>(id_);
    }

private:
    HWND window_;
    int id_;
    bool registered_ = false;
    DWORD error_ = 0;
};
