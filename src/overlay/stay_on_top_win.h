#pragma once

#include <windows.h>

#include <vector>

#include "overlay/stay_on_top.h"

// The visible windows above `window` in the z-order, nearest first, with what raiseAbove needs
// of each. A round trip to the window server for each under Wine: asked a few times a second.
std::vector<WindowAbove> visibleWindowsAbove(HWND window);
