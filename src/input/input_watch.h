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

    // How long the caller may wait before it asks the system again: a quarter of a second while
    // input comes (seen by the hooks, or moving the system's time), a second once a look found
    // none. At the first move the looks come quickly again, so that input the hooks cannot see
    // counts from its third look on, as before, and an idle overlay asks once a second.
    static constexpr std::uint32_t quickLookMs = 250;
    static constexpr std::uint32_t quietLookMs = 1000;
    std::uint32_t lookIntervalMs() const { return lively_ ? quickLookMs : quietLookMs; }

private:
    InputSystem system_;
    bool lively_ = true;            // the last look found input
    std::uint32_t lastAsked_ = 0;   // the system's last-input time at the last look
    MissedInput missed_;
    bool flagSeen_ = false;  // since the last time the system could have been asked
};
