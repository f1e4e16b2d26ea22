#include "config/skin_file.h"

#include <cmath>
#include <filesystem>
#include <stdexcept>

#include "config/file_system.h"

const wchar_t skinLayoutPath[] = L"data/skin.cfg";
const wchar_t skinFontPath[] = L"data/font.ttf";

namespace {

const wchar_t* const skinLineMeanings[] = {
    L"the x of the time text's centre",  L"the y of the time text's centre", L"the font size in pixels",
    L"the alpha of the text colour",     L"the red of the text colour",      L"the green of the text colour",
    L"the x of the project name's centre", L"the y of the project name's centre",
    L"the project name's font size in pixels", L"the widest the project name may be, in pixels",
};

}  // namespace

const SettingsFileInfo skinFileInfo{L"skin layout file", skinLineMeanings, 10};

float skinFontSize(const ConfigFile& skin) {
    return readSetting(skinFileInfo, skin, 2,
                       [](const ConfigFile& file, int index) { return parseFloat(file.getString(index)); });
}

std::optional<float> optionalSkinNumber(const ConfigFile& skin, int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= skin.lines.size()) return std::nullopt;
    if (skin.getString(index).find_first_not_of(L' ') == std::wstring::npos) return std::nullopt;
    return readSetting(skinFileInfo, skin, index, [](const ConfigFile& file, int i) {
        const float value = parseFloat(file.getString(i));
        // "inf" and "nan" read as numbers, but no place or size can be one.
        if (!std::isfinite(value)) throw std::out_of_range("stof argument out of range");
        return value;
    });
}

std::wstring skinFolder(const std::wstring& programFolder) {
    try {
        if (pathExists(L"data") || programFolder.empty()) return L"data/";
    } catch (const std::filesystem::filesystem_error&) {
        return L"data/";  // there, but unreadable: the working directory's skin says why
    }
    return programFolder + L"\\data\\";
}
