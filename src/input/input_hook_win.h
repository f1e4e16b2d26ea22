#pragma once

#include <windows.h>

#include <string>

#include "input/input_watch.h"

// The procedure of both low-level hooks: notes the input and passes the event on untouched.
LRESULT CALLBACK inputHookProc(int nCode, WPARAM wParam, LPARAM lParam);

// Starts and detaches the thread that installs the global keyboard and mouse hooks and then
// services them for the rest of the process. It also takes pens' and touch screens' raw input
// (pen_input.h) on a message-only window of its own; where the system refuses that, those count
// through the session's last-input time as before. Returns once both hooks are in place: an
// empty text then, otherwise a sentence for the user saying what failed.
std::wstring startInputHookThread();

// Asks the hook thread to remove its hooks and install them again: the system may have removed
// them without a word. Does nothing when no hook thread runs.
void requestHookReinstall();

// Whether the foreground window belongs to a process of higher integrity than this one: the
// system hides input to it from our hooks. A process whose token cannot even be read is taken
// to be one (an elevated program's token is closed to a normal one).
bool foregroundAboveOurIntegrity();

// The system's answers for InputWatch: GetLastInputInfo, foregroundAboveOurIntegrity and
// requestHookReinstall.
InputSystem windowsInputSystem();
