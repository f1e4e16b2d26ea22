#pragma once

#include <windows.h>

#include <string>

// The procedure of both low-level hooks: notes the input and passes the event on untouched.
LRESULT CALLBACK inputHookProc(int nCode, WPARAM wParam, LPARAM lParam);

// Starts and detaches the thread that installs the global keyboard and mouse hooks and then
// services them for the rest of the process. Returns once both hooks are in place: an empty
// text then, otherwise a sentence for the user saying what failed.
std::wstring startInputHookThread();
