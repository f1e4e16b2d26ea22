#pragma once

#include "config/settings_error.h"

// data/skin.cfg, relative to the working directory:
//   0, 1 centre of the time text (x, y)   2 font size in pixels (may have a fraction)
//   3, 4, 5 text colour bytes: alpha, red, green (blue is always full)
extern const wchar_t skinLayoutPath[];
extern const wchar_t skinFontPath[];
extern const SettingsFileInfo skinFileInfo;

// The font size of line 2; throws SettingsError when it is not a number.
float skinFontSize(const ConfigFile& skin);
