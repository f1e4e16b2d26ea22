#pragma once

#include "overlay/screen_place.h"

// Where a pinned overlay stored at `stored` opens on the monitors there are now (see pinnedPlace).
OverlayCore::Point pinnedPlaceOnScreen(OverlayCore::Point stored, std::int32_t side);
