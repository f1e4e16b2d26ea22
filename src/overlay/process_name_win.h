#pragma once

#include <windows.h>

#include <string>

// The window whose process is the program that `window` shows: its top-level window, except for
// a frame that hosts another process's window (a Store app's ApplicationFrameWindow, drawn by
// ApplicationFrameHost.exe), where it is that content window. The pick (the window clicked)
// and the counting (the window in front) both go through here, so that they name one program.
HWND programWindow(HWND window);

// File name of the executable of the program that `window` shows ("notepad.exe", see
// programWindow), in the case the system reports it. Empty when there is no such process, it
// cannot be queried with limited rights, or its path does not fit MAX_PATH.
std::wstring foregroundProgramName(HWND window);

// The program of the last window asked about, kept: while the user types, the foreground window
// stays the same for minutes, and each lookup costs four round trips to the window server under
// Wine. A window belongs to one process for life, and a handle is not given to a new window
// while programs could tell the two apart, so the name stays right for that window.
class ProgramNames {
public:
    const std::wstring& of(HWND window);

private:
    HWND window_ = nullptr;
    std::wstring name_;
    bool known_ = false;
    bool settled_ = false;  // false while a frame holds no app yet
};
