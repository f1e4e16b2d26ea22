#pragma once

#include <windows.h>

// SDL and GDI+ for the lifetime of the program. They come up SDL first, GDI+ second, and
// go down in the same order: SDL_Quit destroys the windows, which may still be drawing with
// GDI+ objects, so GDI+ must outlive it. Throws StartupError when either cannot start.
class PlatformSession {
public:
    PlatformSession();
    PlatformSession(const PlatformSession&) = delete;
    PlatformSession& operator=(const PlatformSession&) = delete;
    ~PlatformSession();

private:
    void shutDown();

    bool sdlStarted_ = false;
    ULONG_PTR gdiplusToken_ = 0;
};
