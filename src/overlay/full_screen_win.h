#pragma once

#include <windows.h>

#include "overlay/full_screen.h"

// What hidesOverlay needs of `front` (the foreground window), all but whether it is a target:
// the caller knows its program (ProgramNames) and sets `target`.
FrontWindow frontWindowFacts(HWND front);

// The whole rectangle of the monitor `window` is on (the nearest one when it is on none).
ScreenRect monitorOf(HWND window);
