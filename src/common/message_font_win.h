#pragma once

#include <windows.h>

#include "common/display_scale.h"

// The system's interface font (the message font of the system's metrics: Segoe UI on Windows 10
// and 11), its height at `scale` rather than at the system's DPI, so that text of the program's
// own windows grows with the monitor they are on. "Segoe UI" at 12 pixels when the system says
// nothing.
LOGFONTW messageFontAt(DisplayScale scale);
