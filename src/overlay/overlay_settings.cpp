#include "overlay/overlay_settings.h"

#include "config/settings_error.h"
#include "config/skin_file.h"
#include "config/state_file.h"
#include "overlay/target_programs.h"

bool loadState(OverlayCore& overlay, const std::wstring& commonAppDataFolder) {
    bool created = false;
    overlay.dataFile = openStateFile(commonAppDataFolder, &created);
    applyState(overlay);
    return created;
}

void applyState(OverlayCore& overlay) {
    const ConfigFile& file = overlay.dataFile;
    overlay.targetPrograms = parseTargetPrograms(settingString(stateFileInfo, file, 0));
    overlay.stopAfterSeconds = settingInt(stateFileInfo, file, 1);
    windowFixed = settingString(stateFileInfo, file, 3) == L"true";
    overlay.fixedX = settingInt(stateFileInfo, file, 4);
    overlay.fixedY = settingInt(stateFileInfo, file, 5);
    overlay.totalSeconds = settingInt(stateFileInfo, file, 6);
}

void applySkinLayout(const ConfigFile& skin, OverlayCore& overlay) {
    const int x = settingInt(skinFileInfo, skin, 0);
    const int y = settingInt(skinFileInfo, skin, 1);
    overlay.textCenter = {x, y};
    // Only the low 8 bits count: 256 is 0 and -1 is 255.
    for (int i = 0; i < 3; ++i)
        overlay.textColor[i] = static_cast<std::uint8_t>(settingInt(skinFileInfo, skin, 3 + i));
    // A skin of six lines shows the project's name under the time.
    OverlayCore::ProjectPlace& place = overlay.projectPlace;
    place = {static_cast<float>(x), static_cast<float>(y) + 28, 12, 180};
    float* const values[] = {&place.x, &place.y, &place.size, &place.width};
    for (int i = 0; i < 4; ++i)
        if (const std::optional<float> value = optionalSkinNumber(skin, 6 + i)) *values[i] = *value;
}
