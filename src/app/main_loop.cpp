#include "app/main_loop.h"

#include <SDL.h>

#include "app/window.h"

std::vector<Window*> windowList;
FPSmanager frameLimiter{};

namespace {

bool isCloseEventFor(const SDL_Event& event, const Window& window) {
    return event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_CLOSE &&
           event.window.windowID == SDL_GetWindowID(window.sdlWindow);
}

}  // namespace

void runMainLoop(std::vector<Window*>& windows, FPSmanager& limiter) {
    SDL_Event event;
    std::uint32_t lastFrameTicks = 0;
    std::uint32_t elapsedMs = 0;
    bool running = true;
    while (running) {
        while (SDL_PollEvent(&event)) {
            for (Window* window : windows) {
                if (window->closed) continue;
                if (isCloseEventFor(event, *window)) {
                    window->closed = true;
                    SDL_HideWindow(window->sdlWindow);
                }
                // The window that was just closed still sees the close event itself.
                window->handleEvent(event);
            }
        }

        elapsedMs = SDL_GetTicks() - lastFrameTicks;
        lastFrameTicks = SDL_GetTicks();

        for (Window* window : windows) {
            window->update(elapsedMs);
            if (!window->closed) window->render();
        }

        if (windows.front()->closed) running = false;
        SDL_framerateDelay(&limiter);
    }
}

void quitWindows(std::vector<Window*>& windows) {
    for (Window* window : windows) window->quit();
}
