#include "app/window.h"

#include <SDL.h>

#include "common/startup_error.h"

Window::Window() {
    sdlWindow = SDL_CreateWindow("Ardeno Time", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 200, 200,
                                 SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI | SDL_WINDOW_SKIP_TASKBAR);
    if (!sdlWindow)
        throw StartupError(L"The overlay window could not be created.", SDL_GetError());
    renderer = SDL_CreateRenderer(sdlWindow, -1, SDL_RENDERER_SOFTWARE);
    if (!renderer)
        throw StartupError(L"The overlay window's renderer could not be created.", SDL_GetError());
}
