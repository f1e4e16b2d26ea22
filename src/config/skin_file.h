#pragma once

#include "config/settings_error.h"

#include <optional>
#include <string>

// The skin is the folder data/ in the working directory. A start that does not set the working
// directory (a command prompt elsewhere, a scheduled task, a launcher) finds the one beside the
// program instead; the working directory's comes first.
// Its files: skin.cfg, font.ttf, base.png (under the time) and targetSelect.png.
// skin.cfg holds one value a line:
//   0, 1 centre of the time text (x, y)   2 font size in pixels (may have a fraction)
//   3, 4, 5 text colour bytes: alpha, red, green (blue is always full)
// and may go on with the place of the project's name, in the system's interface font and the
// text colour; each line may be left out or empty, and the file may end before it:
//   6, 7 its centre (x, y)   8 its font size in pixels   9 the widest it may be (0: not shown)
extern const wchar_t skinLayoutPath[];  // data/skin.cfg, in the working directory
extern const wchar_t skinFontPath[];    // data/font.ttf, in the working directory
extern const SettingsFileInfo skinFileInfo;

// The skin folder, ending in a separator: "data/" when the working directory has one (or when
// that cannot be told), else `programFolder` followed by "\data\".
std::wstring skinFolder(const std::wstring& programFolder);

// The font size of line 2; throws SettingsError when it is not a number.
float skinFontSize(const ConfigFile& skin);

// One of the optional lines 6 to 9: a number that may have a fraction, or nullopt when the line
// is missing or holds nothing before a remark. Throws SettingsError when it is not a number.
std::optional<float> optionalSkinNumber(const ConfigFile& skin, int index);
