#pragma once

// What the command line may say. The program takes no options from people; the shortcut in the
// Startup folder adds this one, so that a copy started at sign-in can tell that nobody is waiting
// for it.
constexpr char signInArgument[] = "/sign-in";

// Whether the arguments (UTF-8, as SDL2main passes them) hold signInArgument, in any letter case.
bool startedAtSignIn(int argc, char* argv[]);

// SDL sets the system's timer to 1 ms for as long as it runs, unless told otherwise. The overlay
// is on screen all day, and so fine a timer keeps the processor out of its power-saving states;
// frames a thirtieth of a second apart do not need it. Call before SDL_Init.
void useCoarseSystemTimer();
