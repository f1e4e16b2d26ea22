#pragma once

#include <optional>
#include <string>
#include <system_error>

// overlay.cfg, beside data.cfg: what the overlay's figure shows, chosen in the menu's "Overlay
// shows". UTF-8 with CR LF line ends, one line: "run", "today" or "project". Without the file
// the overlay shows this run, as it always did; the file is written only once a choice is made.
enum class OverlayShows { run, today, project };

std::wstring overlayFilePath(const std::wstring& stateFolder);

// What an overlay.cfg text says; nullopt when it cannot be read. Read tolerantly, as a person may
// have edited it: a byte-order mark, LF line ends, spaces around the word and its letter case are
// nothing, and an empty text is the default. Lines after the first are left for later versions.
std::optional<OverlayShows> parseOverlayShows(const std::string& bytes);
std::string formatOverlayShows(OverlayShows shows);

// What reading overlay.cfg found. A file that is there but cannot be read gives the default, and
// stays as it is until the next choice replaces it.
struct OverlayShowsLoad {
    OverlayShows shows = OverlayShows::run;
    bool unreadable = false;
    std::error_code error;  // the system's reason, when the bytes could not be read at all
};
OverlayShowsLoad loadOverlayShows(const std::wstring& path);

// Replaces the file in one step (see writeFileAtomically).
std::error_code saveOverlayShows(const std::wstring& path, OverlayShows shows);
