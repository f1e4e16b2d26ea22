#pragma once

#include <string_view>

#include "overlay/screen_place.h"

// What the overlay needs to know of the window in front to tell whether it is full screen.
struct FrontWindow {
    bool exists = false;     // there is a foreground window
    ScreenRect rect;         // where it is drawn: DWM's frame bounds when there are any, else its rectangle
    bool visible = false;    // shown and not cloaked (another virtual desktop, a suspended app)
    bool minimised = false;
    bool maximised = false;  // zoomed: the system sized it to the work area, whatever that is
    bool target = false;     // it belongs to a program whose work counts
    bool shell = false;      // the desktop or a taskbar (see isShellWindowClass)
};

// The desktop and the taskbars: they cover a monitor or sit in front without being a program
// someone watches full screen.
bool isShellWindowClass(std::wstring_view className);

// The overlay hides while the window in front covers the whole of the overlay's monitor and is
// another program's video, game or slide show: not a target (over a drawing program's
// canvas-only mode it stays and counts), not the desktop or a taskbar, not minimised or hidden,
// and not maximised: with a taskbar that hides itself the work area is the whole monitor, and a
// maximised editor would hide the overlay all day.
bool hidesOverlay(const FrontWindow& front, const ScreenRect& overlayMonitor);
