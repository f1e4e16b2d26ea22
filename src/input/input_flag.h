#pragma once

#include <atomic>
#include <cstdint>

// Raised by the low-level input hooks on every keyboard or mouse event anywhere in the
// system; read by the overlay's update and cleared by the main loop after every frame.
// The hook thread only ever stores true; relaxed single-byte accesses would do for the flag
// alone, and the release store orders firstInputTime before it.
extern std::atomic<bool> inputSeen;

// When the first input event after the last clear of inputSeen happened, on the GetTickCount
// clock, as the system stamped the event. Written by the hook before it raises the flag, so a
// frame that finds the flag raised (acquire) reads that event's time. It tells a frame whether
// its input followed the previous frame at once or only after a long silence in which no frame
// ran (a suspended machine, a stopped process).
extern std::atomic<std::uint32_t> firstInputTime;
