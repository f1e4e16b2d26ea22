#include "overlay/overlay_core.h"

bool windowFixed = false;

SDL_HitTestResult hitTest(SDL_Window* window, const SDL_Point* point, void* data) {
    (void)window;
    (void)point;
    (void)data;
    return windowFixed ? SDL_HITTEST_NORMAL : SDL_HITTEST_DRAGGABLE;
}
