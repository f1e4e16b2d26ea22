#pragma once

#include <windows.h>

#include <string>

// File name of the executable of the process that owns `window` ("notepad.exe"), in the case
// the system reports it. Empty when there is no such process, it cannot be queried with
// limited rights, or its path does not fit MAX_PATH.
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
};
