#include "overlay/goal_line.h"

#include <algorithm>
#include <vector>

namespace {

bool overlaps(const PlateBox& a, const PlateBox& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

PlateBox grown(const PlateBox& box, float by) { return {box.left - by, box.top - by, box.right + by, box.bottom + by}; }

}  // namespace

std::optional<PlateBox> visiblePlate(const std::vector<std::uint32_t>& pixels, int side) {
    if (side <= 0 || pixels.size() != static_cast<std::size_t>(side) * static_cast<std::size_t>(side)) return std::nullopt;
    int left = side, top = side, right = -1, bottom = -1;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            if ((pixels[static_cast<std::size_t>(y) * side + x] >> 24) >= plateEdgeAlpha) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    if (right < 0) return std::nullopt;
    const float unit = 200.0f / static_cast<float>(side);
    return PlateBox{left * unit, top * unit, (right + 1) * unit, (bottom + 1) * unit};
}

std::int32_t dailyGoalSeconds(int hours) {
    const bool choice = std::find(std::begin(goalChoices), std::end(goalChoices), hours) !=
                        std::end(goalChoices);
    return choice ? hours * 3600 : 0;
}

PlateBox figureBox(OverlayCore::Point textCenter, float width, float height) {
    const float x = static_cast<float>(textCenter.x) - width * 0.5f;
    const float y = static_cast<float>(textCenter.y) - height * 0.5f;
    return {x, y, x + width, y + height};
}

std::optional<PlateBox> projectNameBox(const OverlayCore::ProjectPlace& place) {
    if (!(place.width > 0)) return std::nullopt;
    return PlateBox{place.x - place.width / 2, place.y - place.size, place.x + place.width / 2, place.y + place.size};
}

std::optional<PlateBox> goalLinePlace(const PlateBox& figure, const std::optional<PlateBox>& name, const PlateBox& plate,
                                      float thickness, float gap) {
    const auto lineAt = [&](float top) { return PlateBox{figure.left, top, figure.right, top + thickness}; };
    std::vector<PlateBox> tries;
    if (name) {
        tries.push_back(lineAt(name->bottom + gap));
        tries.push_back(lineAt(figure.top - gap - thickness));
        const PlateBox& upper = name->top < figure.top ? *name : figure;
        const PlateBox& lower = name->top < figure.top ? figure : *name;
        tries.push_back(lineAt((upper.bottom + lower.top - thickness) / 2));
        tries.push_back(lineAt(figure.bottom + gap));
        tries.push_back(lineAt(name->top - gap - thickness));
    } else {
        tries.push_back(lineAt(figure.bottom + gap));
        tries.push_back(lineAt(figure.top - gap - thickness));
    }
    for (const PlateBox& line : tries) {
        const bool inside = line.top >= plate.top && line.bottom <= plate.bottom;
        // Clear by a whole gap, so that the line never touches the glyphs' edges.
        const PlateBox kept = grown(line, gap * 0.999f);
        const bool clear = !overlaps(kept, figure) && !(name && overlaps(kept, *name));
        if (inside && clear) return line;
    }
    return std::nullopt;
}

float goalFilledWidth(float width, std::int64_t secondsDone, std::int32_t goalSeconds) {
    if (goalSeconds <= 0 || secondsDone <= 0) return 0;
    if (secondsDone >= goalSeconds) return width;
    return width * static_cast<float>(static_cast<double>(secondsDone) / goalSeconds);
}

int goalPercent(std::int64_t secondsDone, std::int32_t goalSeconds) {
    if (goalSeconds <= 0 || secondsDone <= 0) return 0;
    if (secondsDone >= goalSeconds) return 100;
    return static_cast<int>(secondsDone * 100 / goalSeconds);
}
