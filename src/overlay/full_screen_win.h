#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "overlay/full_screen.h"
#include "overlay/process_name_win.h"

// What hidesOverlay needs of `front` (the foreground window), all but whether it is a target:
// the caller knows its program (ProgramNames) and sets `target`.
FrontWindow frontWindowFacts(HWND front);

// The whole rectangle of the monitor `window` is on (the nearest one when it is on none).
ScreenRect monitorOf(HWND window);

// Whether an overlay on `monitor` (monitorOf) hides now because of `front`, the window in front
// (GetForegroundWindow): the rule of hidesOverlay, with `front`'s program looked up through
// `names` and compared with `targets` as the counting compares it.
bool fullScreenHidesOverlay(const ScreenRect& monitor, HWND front, const std::vector<std::wstring>& targets,
                            ProgramNames& names);
