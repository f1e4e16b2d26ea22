#pragma once

#include <cstdint>

struct SDL_Window;
struct SDL_Renderer;
union SDL_Event;

// A window driven by the main loop. It owns one hidden 200 x 200 SDL window and a renderer
// for it; both live until SDL_Quit. Operations run on the main thread only.
class Window {
public:
    // Creates the hidden SDL window and its renderer; throws StartupError when SDL cannot.
    Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    virtual void init() {}
    virtual void quit() {}
    virtual void update(std::uint32_t& elapsedMs) { (void)elapsedMs; }
    virtual void render() {}
    virtual void handleEvent(const SDL_Event& event) { (void)event; }

    SDL_Window* sdlWindow = nullptr;
    SDL_Renderer* renderer = nullptr;
    bool closed = false;

protected:
    // Windows live until the process ends and are never deleted through this interface.
    ~Window() = default;
};
