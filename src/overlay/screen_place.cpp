#include "overlay/screen_place.h"

#include <algorithm>

namespace {

// 64-bit: stored places come from a file a person may have edited, up to the int32 limits.
std::int32_t clampInto(std::int64_t position, std::int64_t low, std::int64_t high, std::int32_t side) {
    // A work area narrower than the overlay keeps its left or top edge visible: that is where
    // the menu is reached from.
    return static_cast<std::int32_t>(std::max(low, std::min(position, high - side)));
}

}  // namespace

OverlayCore::Point pinnedPlace(OverlayCore::Point stored, std::int32_t side,
                               const std::optional<ScreenRect>& touchedWorkArea, const ScreenRect& primaryWorkArea) {
    if (!touchedWorkArea) {
        const ScreenRect& area = primaryWorkArea;
        return {static_cast<std::int32_t>(area.left + (std::int64_t{area.right} - area.left - side) / 2),
                static_cast<std::int32_t>(area.top + (std::int64_t{area.bottom} - area.top - side) / 2)};
    }
    const ScreenRect& area = *touchedWorkArea;
    return {clampInto(stored.x, area.left, area.right, side), clampInto(stored.y, area.top, area.bottom, side)};
}
