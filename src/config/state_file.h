#pragma once

#include <string>

#include "config/settings_error.h"
#include "overlay/overlay_core.h"

// data.cfg: everything that outlives a run, seven lines:
//   0 target program's executable name   1 idle time-out in seconds   2 previous run's seconds
//   3 pinned: "true" or "false"          4, 5 pinned left and top     6 all-time total in seconds
extern const char defaultStateFile[];  // the file written when there is none: 37 bytes
extern const SettingsFileInfo stateFileInfo;

struct StateFileLocation {
    std::wstring folder;
    std::wstring file;
};

// The folder "Ardeno Time" and its data.cfg under the common application-data folder.
StateFileLocation stateFileLocation(const std::wstring& commonAppDataFolder);

// Finds or creates data.cfg under `commonAppDataFolder`, loads it into overlay.dataFile and
// applies its values (all but line 2) to the overlay and to windowFixed, in line order. An
// existing file is never rewritten here. Throws SettingsError for a missing or malformed line
// and StartupError when the file cannot be checked or created; nothing is written then.
void loadState(OverlayCore& overlay, const std::wstring& commonAppDataFolder);

// Applies the lines held in overlay.dataFile as loadState does, without reading the disk.
void applyState(OverlayCore& overlay);
