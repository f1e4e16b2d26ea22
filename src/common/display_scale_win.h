#pragma once

#include <windows.h>

#include "common/display_scale.h"

// The scale of the monitor `window` is on, as Windows gives it to a per-monitor-aware program.
DisplayScale windowScale(HWND window);

// The scale WM_DPICHANGED announces in its wParam.
inline DisplayScale announcedScale(WPARAM wParam) { return DisplayScale(HIWORD(wParam)); }
