#include "overlay/pause_hotkey_win.h"

#ifndef MOD_NOREPEAT
#define MOD_NOREPEAT 0x4000
#endif

PauseHotkey::PauseHotkey(HWND window, int id) : window_(window), id_(id) {
    // No repeats: a held key would pause and resume over and over.
    registered_ = RegisterHotKey(window, id, pauseHotkeyModifiers | MOD_NOREPEAT, pauseHotkeyKey) != FALSE;
    if (!registered_) error_ = GetLastError();
}

PauseHotkey::~PauseHotkey() {
    if (registered_) UnregisterHotKey(window_, id_);
}
