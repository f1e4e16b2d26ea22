#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// The procedure of both low-level hooks: notes the input and passes the event on untouched.
LRESULT CALLBACK inputHookProc(int nCode, WPARAM wParam, LPARAM lParam);

// Starts and detaches the thread that installs the global keyboard and mouse hooks and then
// services them for the rest of the process. Returns once both hooks are in place: an empty
// text then, otherwise a sentence for the user saying what failed.
std::wstring startInputHookThread();

// What a frame knows of the keyboard and mouse input since the previous frame.
struct InputSinceLastFrame {
    bool seen = false;
    std::uint32_t firstAt = 0;  // GetTickCount time of the earliest input known, when seen
};

// Input for one frame at a time: the hooks' flag with the time of their first event, or else a
// change of the session's last-input time (GetLastInputInfo), which also sees injected input.
// Main thread only; poll once a frame, before the main loop clears the flag.
class InputWatch {
public:
    InputWatch();
    InputSinceLastFrame poll();

private:
    static DWORD lastInputTime();
    DWORD lastInputTime_;
};
