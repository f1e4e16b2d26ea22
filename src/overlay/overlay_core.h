#pragma once

#include <SDL.h>

#include <cstdint>
#include <string>
#include <system_error>
#include <vector>

#include "config/config_file.h"
#include "overlay/projects.h"
#include "overlay/shown_time.h"
#include "sharing/shared_history.h"
#include "history/work_history.h"

// The overlay's state that needs no Windows: what the settings files fill and what the
// counting works on. The Windows overlay (Base) adds its handles and drawing objects.
struct OverlayCore {
    struct Point {
        std::int32_t x = 0;
        std::int32_t y = 0;
    };

    Point textCenter;                   // skin: centre of the time text, window pixels
    // skin: where the project's name goes, at 96 DPI: its centre, font size and the widest it
    // may be (0 or less: it is not shown)
    struct ProjectPlace {
        float x = 100, y = 132, size = 12, width = 180;
    } projectPlace;
    ConfigFile dataFile;                // the state file, loaded for the whole run
    bool selectingTarget = false;       // the next left click picks the program to track
    bool pickAdds = false;              // ... and adds it to the others rather than replacing them
    // The programs whose work counts (line 1 of data.cfg, see target_programs.h), compared as
    // Windows compares file names.
    std::vector<std::wstring> targetPrograms;
    // The target in front at the last qualifying frame, spelt as in line 1: the history row that
    // counted seconds go to.
    std::wstring countedProgram;
    Projects projects;                  // projects.cfg, and the project the last title named
    bool active = false;                // seconds are being counted in this frame
    bool wasActive = false;             // `active` at the end of the previous frame
    std::int64_t lastActivity = 0;      // idle clock (FrameClocks) of the last qualifying input, ms
    std::uint32_t secondMark = 0;       // SDL tick at which the current partial second began
    std::int32_t currentSeconds = 0;    // this run's count, shown on the overlay
    std::int32_t totalSeconds = 0;      // all runs
    std::int32_t fixedX = 0;            // pinned position, screen pixels
    std::int32_t fixedY = 0;
    std::uint8_t textColor[3] = {0, 0, 0};  // skin: alpha, red, green of the time text
    std::int32_t stopAfterSeconds = 0;  // idle time-out in seconds
    std::error_code saveError;          // why the last write of dataFile failed; empty once one succeeds
    WorkHistory history;                // seconds per day and program, in history.csv beside data.cfg
    SharedHistory shared;               // the user's other PCs' histories, when shared through a folder
    ShownChoice shownChoice;            // what the overlay's figure shows, kept in overlay.cfg
    ShownTime shownTime;                // the sums behind that figure
    bool iconShown = false;             // the notification-area icon is there to bring the overlay back
    bool paused = false;                // the person paused counting, until they resume or the program ends
    bool pauseHotkeyTaken = false;      // another program holds Ctrl+Alt+Shift+P
    bool captureHidingAvailable = false;  // this Windows can leave a window out of screen shares
    std::wstring captureFailure;        // why leaving the overlay out of screen shares failed; empty when it did not
};

// The overlay is pinned at (fixedX, fixedY) and cannot be dragged. Main thread only.
extern bool windowFixed;

// SDL hit test of the overlay: the whole window drags it unless it is pinned. Reads the flag
// at every call, so pinning and unpinning take effect at once.
SDL_HitTestResult hitTest(SDL_Window* window, const SDL_Point* point, void* data);
