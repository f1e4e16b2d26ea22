#pragma once

#include <string>

#include "config/config_file.h"
#include "overlay/overlay_core.h"

// The two settings files, applied to the overlay. Each value is applied as soon as its line has
// been read, so that a bad line stops the application there: what came before it is applied,
// nothing after it. A bad line throws SettingsError.

// Finds or creates data.cfg under `commonAppDataFolder`, loads it into overlay.dataFile and
// applies its values (all but line 2) to the overlay and to windowFixed, in line order. An
// existing file is never rewritten here; StartupError when it cannot be checked or created.
// Returns true when there was no data.cfg before: it was created now, with the defaults.
bool loadState(OverlayCore& overlay, const std::wstring& commonAppDataFolder);

// Applies the lines held in overlay.dataFile as loadState does, without reading the disk.
void applyState(OverlayCore& overlay);

// Stores the skin's text centre, the three colour bytes (their low 8 bits) and the project name's
// place (its optional lines, or under the time) in line order.
void applySkinLayout(const ConfigFile& skin, OverlayCore& overlay);
