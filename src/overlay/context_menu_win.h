#pragma once

#include <windows.h>

#include <vector>

#include "overlay/context_menu.h"

// Owns a popup menu; destroying it destroys the submenus appended to it as well.
class PopupMenu {
public:
    PopupMenu() : menu_(CreatePopupMenu()) {}
    PopupMenu(const PopupMenu&) = delete;
    PopupMenu& operator=(const PopupMenu&) = delete;
    PopupMenu(PopupMenu&& other) noexcept : menu_(other.release()) {}
    ~PopupMenu() {
        if (menu_) DestroyMenu(menu_);
    }

    HMENU get() const { return menu_; }
    // Hands the menu to a parent menu, which destroys it from then on.
    HMENU release() {
        HMENU menu = menu_;
        menu_ = nullptr;
        return menu;
    }

private:
    HMENU menu_;
};

// The native popup menu for these entries, submenus included.
PopupMenu buildPopupMenu(const std::vector<MenuEntry>& entries);
