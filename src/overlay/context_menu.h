#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "overlay/overlay_core.h"

// Command ids of the context menu, as WM_COMMAND carries them in its low word.
enum MenuCommand : unsigned {
    selectTargetCommand = 1124,
    exitCommand = 1125,
    stopAfterFirstCommand = 1126,  // 1126 to 1130: "Stop after 1, 5, 10, 30, 60 seconds"
    loadRecentTimeCommand = 1131,
    pinCommand = 1132,
    workHistoryCommand = 1133,  // "Work history": opens the history window
    stopAfterLongFirstCommand = 1134,  // 1134 to 1136: "Stop after 2, 5, 15 minutes"
    addTargetCommand = 1137,  // "Add target program": the next window clicked adds its program
    noProjectCommand = 1138,  // "No project"
    newProjectCommand = 1139,  // "New project...": opens the dialog that names one
    recentProjectFirstCommand = 1140,  // 1140 to 1149: the recent projects, most recent first
    removeTargetFirstCommand = 1150,  // 1150 to 1159: the "Target programs" submenu, one a program
    projectFromTitlesCommand = 1160,  // "Project from window titles": on or off
    showRunCommand = 1161,  // "Overlay shows": "This run"
    showTodayCommand = 1162,  // ... "Today", every PC's while sharing
    showProjectCommand = 1163,  // ... "This project", over all days and PCs
    opacityFirstCommand = 1164,  // 1164 to 1167: "Overlay look": opacity 100, 80, 60, 40 %
    hideOverlayCommand = 1168,  // "Hide overlay" / "Show overlay"
    clickThroughCommand = 1169,  // "Click-through": on or off
    pauseCommand = 1170,  // "Pause counting": on or off, also Ctrl+Alt+Shift+P
    fullScreenCommand = 1171,  // "Hide over full-screen programs": on or off
    captureCommand = 1172,  // "Hide from screen sharing": on or off
    goalFirstCommand = 1173,  // 1173 to 1177: "Daily goal": off, 2, 4, 6, 8 hours
};

// One line of the menu as it is shown, in order.
struct MenuEntry {
    enum class Kind { item, separator, submenu };
    Kind kind = Kind::item;
    unsigned id = 0;
    std::wstring text;
    bool checked = false;
    bool disabled = false;
    std::vector<MenuEntry> submenu;
    bool radio = false;  // one of a group of which one is chosen: its check mark is a dot
};

// The menu for the overlay's state at this moment: the total stored in data.cfg, the seconds of
// `today` in the work history (every PC's, when shared), the target programs (while there are two
// or more), the projects (each recent one with its seconds of `today`, every PC's when shared),
// the pin text, the time-out's check mark, what the overlay shows and, while the last save of a
// file failed or there is news about the history, projects.cfg or overlay.cfg, first lines saying so. Throws SettingsError when the
// stored total is not a number.
std::vector<MenuEntry> contextMenuEntries(const OverlayCore& overlay, DayNumber today);

// Whether a right press at screen point (x, y) is over the overlay whose top-left corner is
// (left, top): strictly inside, so its first column and row do not count, and sized `side`
// (200 x 200 at 96 DPI) whatever the window's rectangle says.
bool insideMenuArea(std::int32_t left, std::int32_t top, std::int32_t x, std::int32_t y, std::int32_t side = 200);

// Writes one line of data.cfg and notes in saveError whether it reached the disk.
void saveLine(OverlayCore& overlay, int index, std::wstring text);

// Brings the overlay's settings in line with data.cfg after a change was saved. When the save
// failed, the lines in memory are applied instead of the older file, which would take back
// the change and the total counted since the last successful write.
void applySavedChange(OverlayCore& overlay, const std::function<void()>& reloadFromDisk);

// Carries out a menu command. `windowLeft` and `windowTop` are the overlay's position, stored
// when pinning. Ids outside the menu's range do nothing. Returns true for "Exit".
bool carryOutCommand(OverlayCore& overlay, unsigned id, std::int32_t windowLeft, std::int32_t windowTop,
                     const std::function<void()>& reloadFromDisk);

// Target selection has picked `programName`: it becomes the only program to track or, after "Add
// target program", joins the others (one already chosen changes nothing); selection ends. A
// window whose program cannot be named (closing, or a process that cannot be asked) gives an
// empty name: nothing is stored, selection goes on, and the result is false.
bool pickTarget(OverlayCore& overlay, std::wstring programName, const std::function<void()>& reloadFromDisk);

// The menu's first line while the last save has failed: the file and the system's reason.
std::wstring saveFailureText(const std::wstring& path, const std::error_code& error);
