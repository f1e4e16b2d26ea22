#pragma once

#include <atomic>
#include <cstdint>

// Raised by the low-level input hooks on every keyboard or mouse event anywhere in the system,
// and taken (read and lowered in one step) by the overlay once a frame, with takeInput. The
// hook thread only ever stores true; the release store orders firstInputTime before it.
extern std::atomic<bool> inputSeen;

// When the first input event after the flag was last taken happened, on the GetTickCount clock,
// as the system stamped the event. Written by the hook before it raises the flag, and only while
// the flag is down, so a frame that finds the flag raised (acquire) reads that event's time. It
// tells a frame whether its input followed the previous frame at once or only after a long
// silence in which no frame ran (a suspended machine, a stopped process).
extern std::atomic<std::uint32_t> firstInputTime;

// The hooks' input since the flag was last taken.
struct HookedInput {
    bool seen = false;
    std::uint32_t firstAt = 0;  // firstInputTime, when seen
};

// Takes the flag where it is read: input that arrives a moment later raises it again for the
// next frame instead of being cleared unseen by a later store. The time is read before the flag
// is lowered, while the hook cannot write it.
HookedInput takeInput();
