#pragma once

#include <windows.h>

#include <string>

// File name of the executable of the process that owns `window` ("notepad.exe"), in the case
// the system reports it. Empty when there is no such process, it cannot be queried with
// limited rights, or its path does not fit MAX_PATH.
std::wstring foregroundProgramName(HWND window);
