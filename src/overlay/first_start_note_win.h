#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>

#include "common/display_scale.h"
#include "common/gdi_handles_win.h"
#include "common/window_handles_win.h"

// The note beside the overlay at the very first start, when nothing yet tells a new user that
// a right-click chooses what counts: "Right-click to choose the programs you work in". A plain
// topmost popup in the colours of a tooltip, drawn with the system's message font at the
// overlay's scale; it never takes the foreground. It waits for the newcomer, who may have looked
// away: it goes at the first right-click on the plate or the icon, the first counted second, or a
// click on the note itself. Main thread only.
class FirstStartNote {
public:
    static constexpr const wchar_t* text = L"Right-click to choose the programs you work in";

    FirstStartNote() = default;
    FirstStartNote(const FirstStartNote&) = delete;
    FirstStartNote& operator=(const FirstStartNote&) = delete;

    // Shows the note beside `overlay`, drawn at `scale`.
    void show(HWND overlay, DisplayScale scale);
    // Puts it beside `overlay` again: the overlay was moved.
    void follow(HWND overlay);
    // Lets go of it once it was clicked away.
    void update();
    void close();
    // The note's window while it is shown; null otherwise.
    HWND window() const;

private:
    std::optional<WindowClass> class_;
    std::optional<FontHandle> font_;
    std::optional<OwnedWindow> window_;  // after the class and the font: it goes first
    DisplayScale scale_;
};
