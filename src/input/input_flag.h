#pragma once

#include <atomic>

// Raised by the low-level input hooks on every keyboard or mouse event anywhere in the
// system; read by the overlay's update and cleared by the main loop after every frame.
// The hook thread only ever stores true and nothing is ordered against it, so relaxed
// single-byte accesses are all it needs.
extern std::atomic<bool> inputSeen;
