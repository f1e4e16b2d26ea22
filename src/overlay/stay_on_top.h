#pragma once

#include <string>
#include <vector>

// A visible window above the overlay in the z-order, as far as keeping on top cares.
struct WindowAbove {
    std::wstring className;
    bool threadInMenu = false;  // its thread is tracking a menu (GUI_INMENUMODE, GUI_POPUPMENUMODE)
    bool ours = false;          // a window of Ardeno Time's own, such as the New project dialog
};

// Whether the overlay goes back to the top of the topmost band, given the visible windows above
// it now (nearest first). Menus, drop-down lists and tooltips are topmost windows too, and the
// overlay must not cover those of the program being counted while they are open, nor a window of
// its own (a dialog waiting for the user): while one is above, it waits, and it goes back on top
// once they are gone. Any other window above, topmost or not, is covered again.
bool raiseAbove(const std::vector<WindowAbove>& visibleAbove);
