#pragma once

#include <cstdint>
#include <string>

#include "config/overlay_file.h"

// What keeps the overlay off the screen while it counts on, if anything. The person's own choice
// holds only while the notification-area icon is there to bring it back.
enum class HiddenBy { nothing, choice, fullScreen };
HiddenBy overlayHiddenBy(const OverlayChoices& choices, bool iconShown, bool fullScreenInFront);

// Click-through holds only while the icon is there: the plate's own menu cannot be reached then.
bool clickThroughNow(const OverlayChoices& choices, bool iconShown);

// The layered window's constant alpha for an opacity in percent; a quarter of that while the
// pointer is over a click-through plate, so that what is under it shows.
std::uint8_t plateAlpha(int opacityPercent, bool fadedForPointer);

// Whether screen point (x, y) is over the plate whose top-left corner is (left, top), `side` wide.
bool pointerOverPlate(std::int32_t left, std::int32_t top, std::int32_t side, std::int32_t x, std::int32_t y);

// The plate's alpha on its way to a new target: a short, even fade rather than a jump, so that the
// eye follows it. Ticks are milliseconds of any steady clock.
class PlateFade {
public:
    static constexpr std::uint32_t fadeMs = 150;

    // The alpha at `now` on the way to `target`; a new target starts a fade from where it is.
    std::uint8_t at(std::uint8_t target, std::uint32_t now);
    // Whether the last alpha given was still on its way.
    bool fading() const { return fading_; }

private:
    bool started_ = false;
    bool fading_ = false;
    std::uint8_t from_ = 255, target_ = 255, shown_ = 255;
    std::uint32_t since_ = 0;
};

// The icon's tooltip, at most 127 characters, a line each: the program, what the overlay shows,
// today's total on every PC, why the overlay is hidden and, when they apply, a paused count and
// the daily goal's progress.
struct IconFacts {
    OverlayShows shows = OverlayShows::run;
    std::int32_t shownSeconds = 0;
    std::int64_t todaySeconds = 0;
    HiddenBy hiddenBy = HiddenBy::nothing;
    bool paused = false;
    int goalHours = 0;
};
std::wstring iconTooltip(const IconFacts& facts);

// The figure's text for `seconds`: "HH:MM:SS", and from 1,000 hours on the hours and minutes
// only, "1234:56", so that a career's total still reads at the plate's size.
std::wstring figureText(std::int32_t seconds);
// How much a figure `width` wide must shrink to fit `box` (the box "00:00:00" takes): 1 when it
// fits as it is.
float figureShrink(float width, float box);
