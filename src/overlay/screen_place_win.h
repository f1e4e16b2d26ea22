#pragma once

#include <windows.h>

#include "overlay/screen_place.h"

// Where a pinned overlay stored at `stored` opens on the monitors there are now (see pinnedPlace).
OverlayCore::Point pinnedPlaceOnScreen(OverlayCore::Point stored, std::int32_t side);

// Where a window `width` x `height` goes beside the overlay `overlay`, `gap` pixels from it, in the
// work area of the overlay's monitor (see notePlace).
OverlayCore::Point placeBeside(HWND overlay, std::int32_t width, std::int32_t height, std::int32_t gap);

// Where the overlay goes now that the monitors have changed (see placeAfterDisplayChange): nothing
// while it is still on one of them.
std::optional<OverlayCore::Point> placeAfterDisplayChangeOnScreen(HWND overlay);
