#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "input/missed_input.h"

// The procedure of both low-level hooks: notes the input and passes the event on untouched.
LRESULT CALLBACK inputHookProc(int nCode, WPARAM wParam, LPARAM lParam);

// Starts and detaches the thread that installs the global keyboard and mouse hooks and then
// services them for the rest of the process. Returns once both hooks are in place: an empty
// text then, otherwise a sentence for the user saying what failed.
std::wstring startInputHookThread();

// Asks the hook thread to remove its hooks and install them again: the system may have removed
// them without a word. Does nothing when no hook thread runs.
void requestHookReinstall();

// Whether the foreground window belongs to a process of higher integrity than this one: the
// system hides input to it from our hooks. A process whose token cannot even be read is taken
// to be one (an elevated program's token is closed to a normal one).
bool foregroundAboveOurIntegrity();

// What a frame knows of the keyboard and mouse input since the previous frame.
struct InputSinceLastFrame {
    bool seen = false;
    std::uint32_t firstAt = 0;  // GetTickCount time of the earliest input known, when seen
};

// Input for one frame at a time: the hooks' flag, taken with the time of their first event, and,
// when asked, what the session's last-input time (GetLastInputInfo) says of input the hooks did
// not see (MissedInput). Asking the system is a round trip to the window server under Wine,
// dearer than a frame's other work, so the caller asks a few times a second. Main thread only;
// poll once a frame.
class InputWatch {
public:
    explicit InputWatch(std::function<void()> reinstallHooks = requestHookReinstall);
    InputSinceLastFrame poll(bool askSystem);

private:
    static DWORD lastInputTime();
    MissedInput missed_;
    bool hooksSawInput_ = false;  // since the last time the system could have been asked
    std::function<void()> reinstallHooks_;
};
