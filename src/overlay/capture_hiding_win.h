#pragma once

#include <windows.h>

#include <cstdint>

#include "overlay/capture_hiding.h"

// The running Windows' build number, as the system tells it whatever the manifest says
// (RtlGetVersion); 0 when it cannot be read.
std::uint32_t windowsBuildNumber();

// Leaves `window` out of screen shares and recordings (`hidden`), or puts it back. Returns 0 when
// done, else the error: an older system, a window of another process, or a system (Wine) that
// has no such thing. The window is as it was when it fails.
DWORD setHiddenFromCapture(HWND window, bool hidden);
