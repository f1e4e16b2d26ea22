// The floor of the overlay's idle cost, for scripts/bench.sh: an SDL window made as the overlay
// makes its own, run by the same event loop with the same 30-frame pacing, doing nothing else.
// What the overlay spends beyond this program is its own work. It ends when its window is
// closed.
#include <SDL.h>
#include <SDL2_framerate.h>

int main(int argc, char* argv[]) {
    (void)argc;
    (void)argv;
    if (SDL_Init(SDL_INIT_EVERYTHING) != 0) return 1;
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
    SDL_Window* window = SDL_CreateWindow("Ardeno Time bare loop", 1040, 760, 200, 200,
                                          SDL_WINDOW_ALLOW_HIGHDPI | SDL_WINDOW_SKIP_TASKBAR);
    if (!window || !SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE)) return 1;
    FPSmanager limiter{};
    SDL_Event event;
    for (bool running = true; running;) {
        while (SDL_PollEvent(&event))
            if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_CLOSE) running = false;
        SDL_framerateDelay(&limiter);
    }
    SDL_Quit();
    return 0;
}
