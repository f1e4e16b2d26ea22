#include "overlay/context_menu_win.h"

#include "overlay/base_win.h"
#include "common/local_clock.h"

PopupMenu buildPopupMenu(const std::vector<MenuEntry>& entries) {
    PopupMenu menu;
    for (const MenuEntry& entry : entries) {
        switch (entry.kind) {
        case MenuEntry::Kind::separator:
            AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
            break;
        case MenuEntry::Kind::submenu: {
            PopupMenu submenu = buildPopupMenu(entry.submenu);
            if (AppendMenuW(menu.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(submenu.get()), entry.text.c_str()))
                submenu.release();
            break;
        }
        case MenuEntry::Kind::item:
            AppendMenuW(menu.get(),
                        MF_STRING | (entry.checked ? MF_CHECKED : 0u) | (entry.disabled ? MF_GRAYED : 0u), entry.id,
                        entry.text.c_str());
            if (entry.radio) {
                // AppendMenuW has no flag for it; the item's type takes the dot.
                MENUITEMINFOW info{};
                info.cbSize = sizeof info;
                info.fMask = MIIM_FTYPE;
                info.fType = MFT_STRING | MFT_RADIOCHECK;
                SetMenuItemInfoW(menu.get(), entry.id, FALSE, &info);
            }
            break;
        }
    }
    return menu;
}

void Base::showContextMenu() {
    firstStartNote.close();  // its work is done
    // Asked first: the raise below may itself make the overlay the foreground window.
    const HWND previous = GetForegroundWindow();
    SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, windowSize.cx, windowSize.cy, SWP_NOMOVE | SWP_NOSIZE);
    const PopupMenu menu = buildPopupMenu(contextMenuEntries(*this, readLocalMoment().day));
    history.notice.clear();  // said once
    projects.notice.clear();
    shownChoice.notice.clear();
    // A menu whose owner is not the foreground window stays open when the user clicks elsewhere,
    // and the overlay never takes the foreground by itself; so it does for the menu's lifetime,
    // and the posted WM_NULL lets the menu's loop end properly (TrackPopupMenu's remarks).
    SetForegroundWindow(hwnd);
    // The choice comes back to the window as WM_COMMAND, handled in a later frame.
    TrackPopupMenu(menu.get(), TPM_RIGHTBUTTON, cursorPos.x, cursorPos.y, 0, hwnd, nullptr);
    // A click beside the menu closes it and, like any click that dismisses a menu, goes no
    // further. Left waiting in the queue and handed to the overlay, its press would start the
    // system's move loop for a drag whose release has gone with the menu (under Wine the release
    // is lost outright), and the loop would wait for it for good: no frame, no counting.
    MSG pending;
    while (PeekMessageW(&pending, nullptr, WM_NCMOUSEMOVE, WM_NCMBUTTONDBLCLK, PM_REMOVE)) {
    }
    while (PeekMessageW(&pending, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
    }
    PostMessageW(hwnd, WM_NULL, 0, 0);
    // Back to the user's program: their next keys go there, and count, without a click first.
    if (previous && previous != hwnd && IsWindow(previous)) SetForegroundWindow(previous);
}
