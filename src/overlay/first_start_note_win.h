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
// overlay's scale; it never takes the foreground. It goes at the overlay's first right-click,
// a click on the note itself, or a minute after it appeared. Main thread only.
class FirstStartNote {
public:
    static constexpr const wchar_t* text = L"Right-click to choose the programs you work in";
    static constexpr std::uint32_t shownMs = 60'000;

    FirstStartNote() = default;
    FirstStartNote(const FirstStartNote&) = delete;
    FirstStartNote& operator=(const FirstStartNote&) = delete;

    // Shows the note beside `overlay`, drawn at `scale`, at SDL tick `now`.
    void show(HWND overlay, DisplayScale scale, std::uint32_t now);
    // Puts it beside `overlay` again: the overlay was moved.
    void follow(HWND overlay);
    // Closes it once its minute is over.
    void update(std::uint32_t now);
    void close();
    // The note's window while it is shown; null otherwise.
    HWND window() const;

private:
    std::optional<WindowClass> class_;
    std::optional<FontHandle> font_;
    std::optional<OwnedWindow> window_;  // after the class and the font: it goes first
    std::uint32_t shownAt_ = 0;
    DisplayScale scale_;
};
