#include "app/command_line.h"

#include <SDL.h>

bool startedAtSignIn(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i)
        if (argv[i] && SDL_strcasecmp(argv[i], signInArgument) == 0) return true;
    return false;
}

void useCoarseSystemTimer() { SDL_SetHint(SDL_HINT_TIMER_RESOLUTION, "0"); }
