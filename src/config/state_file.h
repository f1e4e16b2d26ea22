#pragma once

#include <string>

#include "config/config_file.h"
#include "config/settings_error.h"

// data.cfg: everything that outlives a run, seven lines:
//   0 target programs' executable names  1 idle time-out in seconds   2 previous run's seconds
//   3 pinned: "true" or "false"          4, 5 pinned left and top     6 all-time total in seconds
extern const char defaultStateFile[];  // the file written when there is none: 37 bytes
extern const SettingsFileInfo stateFileInfo;

struct StateFileLocation {
    std::wstring folder;
    std::wstring file;
};

// The folder "Ardeno Time" and its data.cfg under the common application-data folder.
StateFileLocation stateFileLocation(const std::wstring& commonAppDataFolder);

// Finds data.cfg under `commonAppDataFolder`, or creates it with the defaults (in a folder every
// account may write to), and loads it. An existing file is never rewritten here. Throws
// StartupError when the file cannot be checked or created; nothing is written then. `created`,
// when given, tells whether there was no file before this call.
ConfigFile openStateFile(const std::wstring& commonAppDataFolder, bool* created = nullptr);
