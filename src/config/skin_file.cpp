#include "config/skin_file.h"

#include <filesystem>

#include "config/file_system.h"

const wchar_t skinLayoutPath[] = L"data/skin.cfg";
const wchar_t skinFontPath[] = L"data/font.ttf";

namespace {

const wchar_t* const skinLineMeanings[] = {
    L"the x of the time text's centre",  L"the y of the time text's centre", L"the font size in pixels",
    L"the alpha of the text colour",     L"the red of the text colour",      L"the green of the text colour",
};

}  // namespace

const SettingsFileInfo skinFileInfo{L"skin layout file", skinLineMeanings, 6};

float skinFontSize(const ConfigFile& skin) {
    return readSetting(skinFileInfo, skin, 2,
                       [](const ConfigFile& file, int index) { return parseFloat(file.getString(index)); });
}

std::wstring skinFolder(const std::wstring& programFolder) {
    try {
        if (pathExists(L"data") || programFolder.empty()) return L"data/";
    } catch (const std::filesystem::filesystem_error&) {
        return L"data/";  // there, but unreadable: the working directory's skin says why
    }
    return programFolder + L"\\data\\";
}
