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

// Input for one frame at a time: the hooks' flag with the time of their first event and, when
// asked, a change of the session's last-input time (GetLastInputInfo) that the hooks did not
// see. Asking the system is a round trip to the window server under Wine, dearer than a frame's
// other work, so the caller asks a few times a second. Main thread only; poll once a frame,
// before the main loop clears the flag.
class InputWatch {
public:
    InputWatch();
    InputSinceLastFrame poll(bool askSystem);

private:
    static DWORD lastInputTime();
    DWORD lastInputTime_;
    bool hooksSawInput_ = false;  // since the last time the system could have been asked
    bool behind_ = false;         // lastInputTime_ predates input that the hooks saw
};
