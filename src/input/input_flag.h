#pragma once

#include <atomic>
#include <cstdint>

// Raised by the low-level input hooks on every keyboard or mouse event anywhere in the system,
// and by pen and touch input that reaches the hook thread as raw input (see pen_input.h); taken
// (read and lowered in one step) by the overlay once a frame, with takeInput. The hook thread
// only ever stores true; the release store orders firstInputTime before it.
extern std::atomic<bool> inputSeen;

// When the first input event after the flag was last taken happened, on the GetTickCount clock,
// as the system stamped the event. Written by the hook before it raises the flag, and only while
// the flag is down, so a frame that finds the flag raised (acquire) reads that event's time. It
// tells a frame whether its input followed the previous frame at once or only after a long
// silence in which no frame ran (a suspended machine, a stopped process).
extern std::atomic<std::uint32_t> firstInputTime;

// Notes an input event, unless the flag is up already: then only a load. `eventTime` gives the
// event's time on the GetTickCount clock and is called only for the first event after a frame.
template <class EventTime>
inline void raiseInputFlag(EventTime eventTime) {
    if (inputSeen.load(std::memory_order_relaxed)) return;
    firstInputTime.store(eventTime(), std::memory_order_relaxed);
    inputSeen.store(true, std::memory_order_release);
}

// Input that the hooks or raw input saw and left uncounted: a pen resting in range, or the mouse
// input Windows makes of its reports. The system's last-input time moves for it all the same,
// and that move is then no sign of input the hooks missed. Raised by the hook thread, taken
// with the flag.
extern std::atomic<bool> inputNoticed;
inline void noteUncountedInput() {
    if (!inputNoticed.load(std::memory_order_relaxed)) inputNoticed.store(true, std::memory_order_relaxed);
}

// Where the pointer was at the last mouse event the hook saw, x in the low and y in the high 32
// bits; written by the hook thread at each move, read by the overlay when it needs to know whether
// the pointer is over it, without asking the system every frame.
extern std::atomic<std::uint64_t> pointerPosition;
inline std::uint64_t packPointer(std::int32_t x, std::int32_t y) {
    return static_cast<std::uint32_t>(x) | (std::uint64_t{static_cast<std::uint32_t>(y)} << 32);
}
struct PointerAt {
    std::int32_t x = 0, y = 0;
};
inline PointerAt unpackPointer(std::uint64_t packed) {
    return {static_cast<std::int32_t>(static_cast<std::uint32_t>(packed)),
            static_cast<std::int32_t>(static_cast<std::uint32_t>(packed >> 32))};
}

// The hooks' input since the flag was last taken.
struct HookedInput {
    bool seen = false;
    std::uint32_t firstAt = 0;  // firstInputTime, when seen
    bool noticed = false;       // uncounted input was seen (inputNoticed)
};

// Takes the flag where it is read: input that arrives a moment later raises it again for the
// next frame instead of being cleared unseen by a later store. The time is read before the flag
// is lowered, while the hook cannot write it.
HookedInput takeInput();
