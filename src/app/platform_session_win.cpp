#include "app/platform_session_win.h"

#include <SDL.h>
#include <gdiplus.h>

#include "app/command_line.h"
#include "common/startup_error.h"

PlatformSession::PlatformSession() {
    useCoarseSystemTimer();
    // Joystick, haptic or audio may be missing on a machine without harming the overlay;
    // only what the overlay needs has to start.
    if (SDL_Init(SDL_INIT_EVERYTHING) != 0 && SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER | SDL_INIT_EVENTS) != 0)
        throw StartupError(L"Ardeno Time could not start SDL.", SDL_GetError());
    sdlStarted_ = true;
    // Native window messages arrive as SDL_SYSWMEVENT: the context menu's commands come that way.
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);

    Gdiplus::GdiplusStartupInput input;  // version 1, no callback, background thread, codecs on
    const Gdiplus::Status status = Gdiplus::GdiplusStartup(&gdiplusToken_, &input, nullptr);
    if (status != Gdiplus::Ok) {
        gdiplusToken_ = 0;
        shutDown();
        throw StartupError(L"Ardeno Time could not start GDI+ (status " + std::to_wstring(status) + L").");
    }
}

PlatformSession::~PlatformSession() { shutDown(); }

void PlatformSession::shutDown() {
    if (sdlStarted_) SDL_Quit();
    sdlStarted_ = false;
    if (gdiplusToken_) Gdiplus::GdiplusShutdown(gdiplusToken_);
    gdiplusToken_ = 0;
}
