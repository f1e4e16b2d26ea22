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

OverlayCore::Point notePlace(const ScreenRect& overlay, std::int32_t width, std::int32_t height, std::int32_t gap,
                             const ScreenRect& work) {
    const std::int64_t middleX = (std::int64_t{overlay.left} + overlay.right) / 2;
    const std::int64_t middleY = (std::int64_t{overlay.top} + overlay.bottom) / 2;
    const std::int32_t beside = clampInto(middleY - height / 2, work.top, work.bottom, height);
    const std::int32_t alongside = clampInto(middleX - width / 2, work.left, work.right, width);
    if (std::int64_t{overlay.right} + gap + width <= work.right) return {overlay.right + gap, beside};
    if (std::int64_t{overlay.left} - gap - width >= work.left) return {overlay.left - gap - width, beside};
    if (std::int64_t{overlay.bottom} + gap + height <= work.bottom) return {alongside, overlay.bottom + gap};
    if (std::int64_t{overlay.top} - gap - height >= work.top) return {alongside, overlay.top - gap - height};
    return {overlay.right + gap, beside};
}

std::optional<OverlayCore::Point> placeAfterDisplayChange(const ScreenRect& plate, const std::vector<ScreenRect>& monitors,
                                                          const ScreenRect& primaryWorkArea) {
    const auto overlaps = [&plate](const ScreenRect& monitor) {
        return std::max(plate.left, monitor.left) < std::min(plate.right, monitor.right) &&
               std::max(plate.top, monitor.top) < std::min(plate.bottom, monitor.bottom);
    };
    if (std::any_of(monitors.begin(), monitors.end(), overlaps)) return std::nullopt;
    const std::int64_t side = std::int64_t{plate.right} - plate.left;
    return pinnedPlace({plate.left, plate.top}, static_cast<std::int32_t>(side), std::nullopt, primaryWorkArea);
}
