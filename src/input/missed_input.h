#pragma once

#include <cstdint>
#include <functional>

// When the system's own last-input time (GetLastInputInfo) moves without the hooks having seen
// any input, the move is input only where the hooks could not have seen it:
// - input to a window of a process of higher integrity, which the system hides from our hooks;
// - hooks that the system removed (one call once ran past LowLevelHooksTimeout): they go silent
//   while the system keeps seeing input.
// Anything else moves that time too: under Wine, a window that appears. So one unexplained move
// never counts; a run of them, look after look, means the hooks have gone: they are put back,
// and the input counts for as long as the run lasts.
class MissedInput {
public:
    // Moves in this many looks in a row, none of them seen by the hooks, mean the hooks are gone.
    // Looks come a few times a second; typing moves the time at every look.
    static constexpr int silentHookLooks = 3;

    struct Verdict {
        bool input = false;
        std::uint32_t at = 0;          // the system's last-input time, when input
        bool reinstallHooks = false;   // the hooks are taken to be gone: put them back
    };

    // The hooks saw input since the previous look; the system need not be asked this time.
    void hooksSawInput();
    // One look at the system's last-input time. `foregroundAboveUs` tells whether the foreground
    // window belongs to a process of higher integrity; it is asked only when the time moved
    // unexplained.
    Verdict look(std::uint32_t lastInputTime, const std::function<bool()>& foregroundAboveUs);
    // The time as it stands now, before the first look: what came before the start is no news.
    void start(std::uint32_t lastInputTime);

private:
    std::uint32_t known_ = 0;
    bool behind_ = false;  // known_ predates input that the hooks saw
    int silentMoves_ = 0;  // looks in a row whose move the hooks did not see
};
