#include "overlay/counting.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include <SDL.h>

#include <limits>

#include "common/local_clock.h"

namespace {

// The clock input events are stamped with: GetTickCount on Windows. Elsewhere no event carries a
// time, and SDL's tick stands in.
std::uint32_t inputClockNow() {
#ifdef _WIN32
    return GetTickCount();
#else
    return SDL_GetTicks();
#endif
}

// Milliseconds since the system started, through sleep, and never adjusted (GetTickCount64 on
// Windows). SDL's 64-bit tick stands in elsewhere.
std::int64_t idleClockNow() {
#ifdef _WIN32
    return static_cast<std::int64_t>(GetTickCount64());
#else
    return static_cast<std::int64_t>(SDL_GetTicks64());
#endif
}

std::int32_t saturatingAdd(std::int32_t counter, std::int64_t seconds) {
    const std::int64_t sum = std::int64_t{counter} + seconds;
    if (sum > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    if (sum < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(sum);
}

std::int32_t countSeconds(OverlayCore& overlay, const FrameInput& input, FrameClocks now) {
    // The time-out passed in a silence that no frame saw: a frame after it would otherwise take
    // the whole silence for work, a night of sleep included.
    if (input.qualifies && std::int64_t{input.silenceBefore} >= std::int64_t{overlay.stopAfterSeconds} * 1000)
        endSpell(overlay);
    if (input.qualifies) {
        overlay.active = true;
        overlay.lastActivity = now.idleClock;
        if (input.program) overlay.countedProgram = *input.program;
        judgeTitle(overlay.projects, input.title);
    }
    // Checked before counting: the frame that ends a spell adds nothing, however long it was.
    const std::int64_t idleSeconds = (now.idleClock - overlay.lastActivity) / 1000;
    if (idleSeconds >= overlay.stopAfterSeconds) overlay.active = false;
    if (!overlay.active) return 0;

    if (!overlay.wasActive) overlay.secondMark = now.ticks;
    const std::uint32_t elapsed = now.ticks - overlay.secondMark;  // right across a tick wrap
    if (elapsed < 1000) return 0;
    const std::int32_t whole = static_cast<std::int32_t>(elapsed / 1000);
    overlay.currentSeconds = saturatingAdd(overlay.currentSeconds, whole);
    overlay.totalSeconds = saturatingAdd(overlay.totalSeconds, whole);
    overlay.secondMark = now.ticks - elapsed % 1000;
    return whole;
}

}  // namespace

FrameClocks readClocks() { return {idleClockNow(), SDL_GetTicks(), inputClockNow(), readLocalMoment()}; }

void endSpell(OverlayCore& overlay) {
    // The partial second goes too: the next spell starts its first second afresh.
    overlay.active = false;
    overlay.wasActive = false;
}

std::int32_t accountFrame(OverlayCore& overlay, const FrameInput& input, FrameClocks now) {
    if (input.paused) {
        // The partial second before the pause goes with the spell; so does the one after it.
        endSpell(overlay);
        return 0;
    }
    const std::int32_t counted = countSeconds(overlay, input, now);
    overlay.wasActive = overlay.active;
    return counted;
}
