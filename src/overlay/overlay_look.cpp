#include "overlay/overlay_look.h"

#include <algorithm>

#include "common/time_text.h"

HiddenBy overlayHiddenBy(const OverlayChoices& choices, bool iconShown, bool fullScreenInFront) {
    if (choices.hidden && iconShown) return HiddenBy::choice;
    if (fullScreenInFront && choices.hideOverFullScreen) return HiddenBy::fullScreen;
    return HiddenBy::nothing;
}

bool clickThroughNow(const OverlayChoices& choices, bool iconShown) { return choices.clickThrough && iconShown; }

std::uint8_t plateAlpha(int opacityPercent, bool fadedForPointer) {
    const int percent = std::clamp(opacityPercent, 0, 100);
    const int alpha = (percent * 255 + 50) / 100;
    return static_cast<std::uint8_t>(fadedForPointer ? (alpha + 2) / 4 : alpha);
}

bool pointerOverPlate(std::int32_t left, std::int32_t top, std::int32_t side, std::int32_t x, std::int32_t y) {
    return x >= left && y >= top && std::int64_t{x} < std::int64_t{left} + side &&
           std::int64_t{y} < std::int64_t{top} + side;
}

std::uint8_t PlateFade::at(std::uint8_t target, std::uint32_t now) {
    if (!started_) {
        // The first frame shows the plate as chosen, without a fade in.
        started_ = true;
        from_ = target_ = shown_ = target;
        since_ = now;
    } else if (target != target_) {
        from_ = shown_;
        target_ = target;
        since_ = now;
    }
    const std::uint32_t elapsed = now - since_;
    if (elapsed >= fadeMs || from_ == target_) {
        shown_ = target_;
        fading_ = false;
    } else {
        const int delta = int{target_} - int{from_};
        shown_ = static_cast<std::uint8_t>(int{from_} + delta * static_cast<int>(elapsed) / static_cast<int>(fadeMs));
        fading_ = true;
    }
    return shown_;
}

std::wstring iconTooltip(const IconFacts& facts) {
    const wchar_t* shows = facts.shows == OverlayShows::today     ? L"Today"
                           : facts.shows == OverlayShows::project ? L"This project"
                                                                  : L"This run";
    std::wstring tip = L"Ardeno Time\n";
    tip += std::wstring(shows) + L": " + figureText(facts.shownSeconds);
    if (facts.shows != OverlayShows::today)
        tip += L"\nToday: " + figureText(static_cast<std::int32_t>(std::min<std::int64_t>(facts.todaySeconds, INT32_MAX)));
    if (facts.goalHours > 0) {
        const std::int64_t goal = std::int64_t{facts.goalHours} * 3600;
        const std::int64_t percent = std::min<std::int64_t>(facts.todaySeconds, goal) * 100 / goal;
        tip += L"\nGoal " + std::to_wstring(facts.goalHours) + L" h: " + std::to_wstring(percent) + L" % done";
    }
    if (facts.paused) tip += L"\nCounting paused";
    if (facts.hiddenBy == HiddenBy::choice) tip += L"\nHidden: click the icon to show";
    else if (facts.hiddenBy == HiddenBy::fullScreen) tip += L"\nHidden over a full-screen program";
    if (tip.size() > 127) tip.resize(127);
    return tip;
}

std::wstring figureText(std::int32_t seconds) {
    if (seconds < 1000 * 3600) return timeText(seconds);
    const std::int32_t minutes = seconds / 60;
    const std::wstring mm = std::to_wstring(minutes % 60);
    return std::to_wstring(minutes / 60) + L":" + (mm.size() < 2 ? L"0" : L"") + mm;
}

float figureShrink(float width, float box) {
    if (!(width > box) || !(box > 0)) return 1.0f;
    return box / width;
}
