#pragma once

#include <optional>
#include <string>
#include <system_error>
#include <vector>

// overlay.cfg, beside data.cfg: how the overlay shows itself, chosen in its menu. UTF-8 with CR LF
// line ends. The first line is what the figure shows, "run", "today" or "project", and is all an
// earlier version reads; `name=value` lines follow in any order. Without the file the overlay
// shows this run, fully opaque, as it always did; the file is written only once a choice is made.
enum class OverlayShows { run, today, project };

std::wstring overlayFilePath(const std::wstring& stateFolder);

// What an overlay.cfg's first line says; nullopt when it cannot be read. Read tolerantly, as a
// person may have edited it: a byte-order mark, LF line ends, spaces around the word and its letter
// case are nothing, and an empty text is the default.
std::optional<OverlayShows> parseOverlayShows(const std::string& bytes);
std::string formatOverlayShows(OverlayShows shows);

// The opacities the menu offers, percent, and the least a hand-edited line may ask for: below it
// the plate could no longer be found on the screen.
constexpr int opacityChoices[] = {100, 80, 60, 40};
constexpr int leastOpacity = 10;
// The daily goals the menu offers, hours; 0 is no goal.
constexpr int goalChoices[] = {0, 2, 4, 6, 8};

// Every choice overlay.cfg keeps, each with the default it has when its line is missing or
// cannot be read.
struct OverlayChoices {
    OverlayShows shows = OverlayShows::run;
    int opacity = 100;               // percent, leastOpacity to 100
    bool clickThrough = false;       // clicks go to the window under the plate
    bool hidden = false;             // put away from the notification-area icon; counting goes on
    bool hideOverFullScreen = true;  // hidden while another program fills the monitor
    bool hideFromCapture = false;    // left out of screen shares and recordings
    int goalHours = 0;               // the daily goal's progress line; 0: none

};
inline bool operator==(const OverlayChoices& a, const OverlayChoices& b) {
    return a.shows == b.shows && a.opacity == b.opacity && a.clickThrough == b.clickThrough &&
           a.hidden == b.hidden && a.hideOverFullScreen == b.hideOverFullScreen &&
           a.hideFromCapture == b.hideFromCapture && a.goalHours == b.goalHours;
}

// An overlay.cfg as read: the choices, the lines of later versions as they stood (written back at
// every save), and which lines gave a default because they could not be read (1 is the first).
struct OverlayFileText {
    OverlayChoices choices;
    std::vector<std::string> kept;
    std::vector<int> unreadableLines;
};
OverlayFileText parseOverlayFile(const std::string& bytes);
// Every choice, the first line first, then the kept lines.
std::string formatOverlayFile(const OverlayChoices& choices, const std::vector<std::string>& kept = {});

// What reading overlay.cfg found. A file that is there but whose bytes cannot be read gives the
// defaults, and stays as it is until the next choice replaces it.
struct OverlayFileLoad {
    OverlayFileText text;
    bool unreadable = false;  // the bytes could not be read at all
    std::error_code error;    // the system's reason for that
};
OverlayFileLoad loadOverlayFile(const std::wstring& path);

// Replaces the file in one step (see writeFileAtomically).
std::error_code saveOverlayFile(const std::wstring& path, const OverlayChoices& choices,
                                const std::vector<std::string>& kept);
