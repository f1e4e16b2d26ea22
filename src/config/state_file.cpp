#include "config/state_file.h"

#include <filesystem>

#include "common/text.h"
#include "config/file_system.h"

const char defaultStateFile[] = "photoshop.exe\r\n1\r\n0\r\nfalse\r\n0\r\n0\r\n0\r\n";

namespace {

const wchar_t* const stateLineMeanings[] = {
    L"the executable file name of the program to track",
    L"the idle time-out in seconds",
    L"the seconds counted in the previous run",
    L"whether the overlay is pinned, true or false",
    L"the left edge of the pinned position",
    L"the top edge of the pinned position",
    L"the all-time total in seconds",
};

}  // namespace

const SettingsFileInfo stateFileInfo{L"state file", stateLineMeanings, 7};

StateFileLocation stateFileLocation(const std::wstring& commonAppDataFolder) {
    // The shell's folder keeps its backslashes; the platform accepts the mix.
    const std::wstring folder = commonAppDataFolder + L"/Ardeno Time";
    return {folder, folder + L"/data.cfg"};
}

ConfigFile openStateFile(const std::wstring& commonAppDataFolder, bool* created) {
    const StateFileLocation location = stateFileLocation(commonAppDataFolder);
    createSharedFolder(location.folder);

    bool exists;
    try {
        exists = pathExists(location.file);
    } catch (const std::filesystem::filesystem_error& error) {
        throw StartupError(L"Ardeno Time cannot check its state file:\n" + displayPath(location.file) + L"\n\n" +
                           fromUtf8(error.code().message()) + L" (error " + std::to_wstring(error.code().value()) +
                           L").\n\nNothing was changed.");
    }
    const std::error_code failed = exists ? std::error_code() : writeFileAtomically(location.file, defaultStateFile);
    if (failed) {
        throw StartupError(L"Ardeno Time cannot create its state file:\n" + displayPath(location.file) + L"\n\n" +
                           systemReason(failed) + L".\n\nCheck that the folder exists and that you may write to it.");
    }
    if (created) *created = !exists;

    ConfigFile file;
    file.load(location.file);
    return file;
}
