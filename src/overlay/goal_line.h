#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "overlay/overlay_core.h"

// A box in the overlay's own pixels (96 DPI, the frame scaled as a whole); right and bottom are
// the far edges.
struct PlateBox {
    float left = 0, top = 0, right = 0, bottom = 0;
};

// The plate of a skin: the box of its picture's pixels at least this opaque. Its soft shadow
// is less, and a line over the shadow would float beside the plate.
constexpr std::uint8_t plateEdgeAlpha = 200;

// Where the plate is in the skin's picture drawn over a frame of `side` x `side` premultiplied
// ARGB `pixels` (alpha in the top byte), in the overlay's own pixels (the frame is 200 of them
// wide at any scale). Nothing when no pixel is that opaque, or the pixels are not of that frame.
std::optional<PlateBox> visiblePlate(const std::vector<std::uint32_t>& pixels, int side);


// The goal in seconds for `hours` from overlay.cfg: 0 (no line) for anything but a choice.
std::int32_t dailyGoalSeconds(int hours);

// The box "00:00:00" takes, `width` x `height` as measured, centred on the skin's text centre.
PlateBox figureBox(OverlayCore::Point textCenter, float width, float height);

// Where the skin draws the project's name: its layout box, as wide as it may be and two font
// sizes high. Nothing when the skin hides names. Taken whether or not a name shows now, so that
// the goal line stays put when a project is chosen.
std::optional<PlateBox> projectNameBox(const OverlayCore::ProjectPlace& place);

// The goal's progress line: as wide as the figure's box, `thickness` high, kept `gap` from the
// figure and the name and between the top and bottom of `plate` (the visible part of the
// skin's picture). Below the name
// where there is room, else above the figure, else in the gap between them; with a name above the
// figure, below the figure and above the name are tried too. Nothing when no place fits.
std::optional<PlateBox> goalLinePlace(const PlateBox& figure, const std::optional<PlateBox>& name, const PlateBox& plate,
                                      float thickness, float gap);

// How much of a line `width` long is filled after `secondsDone` of a goal of `goalSeconds`:
// in proportion, full at the goal and never past it, empty with no goal.
float goalFilledWidth(float width, std::int64_t secondsDone, std::int32_t goalSeconds);

// Whole per cent of the goal done, for the icon's tooltip: 0 to 100, 0 with no goal.
int goalPercent(std::int64_t secondsDone, std::int32_t goalSeconds);
