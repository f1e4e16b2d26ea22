#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "overlay/overlay_core.h"

// A rectangle in screen pixels; right and bottom are one past the last column and row.
struct ScreenRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

// Where a pinned overlay, a square of `side` pixels stored with its top-left corner at `stored`,
// opens. `touchedWorkArea` is the work area of the monitor the square overlaps most, or nothing
// when it overlaps no monitor (one was removed); `primaryWorkArea` is the main monitor's.
// Wholly inside the touched work area: unchanged. Partly outside it: moved just inside. On no
// monitor at all: centred on the primary work area. The stored place is left for the caller
// to keep: it is right again once that monitor is back.
OverlayCore::Point pinnedPlace(OverlayCore::Point stored, std::int32_t side,
                               const std::optional<ScreenRect>& touchedWorkArea, const ScreenRect& primaryWorkArea);

// Where the top-left corner of a note `width` x `height` goes beside the overlay `overlay`, `gap`
// pixels from it, inside the work area `work`: to its right where there is room, else to its
// left, else below it, else above it; level with the overlay's middle (centred under or over it),
// moved inside the work area along that side. Never over the overlay: with room on no side it
// goes to the right all the same.
OverlayCore::Point notePlace(const ScreenRect& overlay, std::int32_t width, std::int32_t height, std::int32_t gap,
                             const ScreenRect& work);

// Where the overlay `plate` goes after the monitors changed while it runs (one unplugged, a
// laptop undocked, a resolution or scale changed) and are now `monitors`: nothing while it still
// overlaps one of them; on none, where a start puts a pinned place that is on no monitor:
// centred on the main monitor's work area. The stored pinned place is the caller's to keep, for
// when that monitor is back.
std::optional<OverlayCore::Point> placeAfterDisplayChange(const ScreenRect& plate, const std::vector<ScreenRect>& monitors,
                                                          const ScreenRect& primaryWorkArea);
