#pragma once

#include <stdexcept>
#include <string>

#include "common/startup_error.h"
#include "config/config_file.h"

// What a person needs to know about one settings file to fix it.
struct SettingsFileInfo {
    const wchar_t* title;               // "state file"
    const wchar_t* const* lineMeanings;  // what each line holds, by index
    int lineCount;
};

// A line of a settings file that cannot be used: the message names the file's full path, the
// line as a person counts it, what the line means and what is wrong with it.
class SettingsError : public StartupError {
public:
    SettingsError(const SettingsFileInfo& info, const ConfigFile& file, int index, const std::exception& cause);

    int index() const { return index_; }

private:
    int index_;
};

// The path as the user would type it: absolute, with the platform's separators.
std::wstring displayPath(const std::wstring& path);

// Runs `read(file, index)` and turns a bad index or number into a SettingsError.
template <class Read>
auto readSetting(const SettingsFileInfo& info, const ConfigFile& file, int index, Read read)
    -> decltype(read(file, index)) {
    try {
        return read(file, index);
    } catch (const std::logic_error& cause) {
        throw SettingsError(info, file, index, cause);
    }
}

// The two readings every settings file uses, with the errors turned as above.
inline int settingInt(const SettingsFileInfo& info, const ConfigFile& file, int index) {
    return readSetting(info, file, index, [](const ConfigFile& f, int i) { return f.getInt(i); });
}
inline std::wstring settingString(const SettingsFileInfo& info, const ConfigFile& file, int index) {
    return readSetting(info, file, index, [](const ConfigFile& f, int i) { return f.getString(i); });
}
