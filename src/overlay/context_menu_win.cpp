#include "overlay/context_menu_win.h"

#include "overlay/base_win.h"
#include "overlay/local_clock_win.h"

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
            break;
        }
    }
    return menu;
}

void Base::showContextMenu() {
    SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 200, 200, SWP_NOMOVE | SWP_NOSIZE);
    const PopupMenu menu = buildPopupMenu(contextMenuEntries(*this, readLocalMoment().day));
    history.notice.clear();  // said once
    // The choice comes back to the window as WM_COMMAND, handled in a later frame.
    TrackPopupMenu(menu.get(), TPM_RIGHTBUTTON, cursorPos.x, cursorPos.y, 0, hwnd, nullptr);
}
