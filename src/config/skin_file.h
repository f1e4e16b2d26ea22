#pragma once

#include "config/settings_error.h"

#include <string>

// The skin is the folder data/ in the working directory. A start that does not set the working
// directory (a command prompt elsewhere, a scheduled task, a launcher) finds the one beside the
// program instead; the working directory's comes first.
// Its files: skin.cfg, font.ttf, base.png (under the time) and targetSelect.png.
// skin.cfg holds one value a line:
//   0, 1 centre of the time text (x, y)   2 font size in pixels (may have a fraction)
//   3, 4, 5 text colour bytes: alpha, red, green (blue is always full)
extern const wchar_t skinLayoutPath[];  // data/skin.cfg, in the working directory
extern const wchar_t skinFontPath[];    // data/font.ttf, in the working directory
extern const SettingsFileInfo skinFileInfo;

// The skin folder, ending in a separator: "data/" when the working directory has one (or when
// that cannot be told), else `programFolder` followed by "\data\".
std::wstring skinFolder(const std::wstring& programFolder);

// The font size of line 2; throws SettingsError when it is not a number.
float skinFontSize(const ConfigFile& skin);
