#pragma once

#include <SDL2_framerate.h>

#include <vector>

class Window;

// The windows the main loop drives, in insertion order. The first one's `closed` ends the loop.
extern std::vector<Window*> windowList;

// Holds the loop to 30 frames per second; zero-initialised and never configured, so the
// first SDL_framerateDelay sets it up with the library's defaults.
extern FPSmanager frameLimiter;

// Runs frames until a frame ends with the first window of `windows` closed. Exceptions
// from window operations pass through to the caller.
void runMainLoop(std::vector<Window*>& windows, FPSmanager& limiter);

// Calls quit once on every window, in list order, closed or not.
void quitWindows(std::vector<Window*>& windows);
