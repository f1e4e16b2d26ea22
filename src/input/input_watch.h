#pragma once

#include <cstdint>
#include <functional>

#include "input/missed_input.h"

// What a frame knows of the keyboard, mouse, pen and touch input since the previous frame.
struct InputSinceLastFrame {
    bool seen = false;
    std::uint32_t firstAt = 0;  // GetTickCount time of the earliest input known, when seen
};

// What InputWatch asks of the system (Windows' answers: windowsInputSystem in input_hook_win.h).
struct InputSystem {
    std::function<std::uint32_t()> lastInputTime;  // the session's last-input time
    std::function<bool()> foregroundAboveUs;       // the foreground window's process is of higher integrity
    std::function<void()> reinstallHooks;          // asks the hook thread to put its hooks back
};

// Input for one frame at a time: the input flag (the hooks', and the digitizers' raw input),
// taken with the time of its first event, and, when asked, what the session's last-input time
// says of input that neither saw (MissedInput). Asking the system is a round trip to the window
// server under Wine, dearer than a frame's other work, so the caller asks a few times a second.
// Main thread only; poll once a frame.
class InputWatch {
public:
    explicit InputWatch(InputSystem system);
    InputSinceLastFrame poll(bool askSystem);

private:
    InputSystem system_;
    MissedInput missed_;
    bool flagSeen_ = false;  // since the last time the system could have been asked
};
