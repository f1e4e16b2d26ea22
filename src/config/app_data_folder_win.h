#pragma once

#include <string>

// The machine's common application-data folder (C:\ProgramData). Throws StartupError when the
// shell cannot say where it is.
std::wstring commonAppDataFolder();

// The folder that holds the running program (ArdenoTime.exe), without a trailing separator;
// empty when Windows cannot say.
std::wstring programFolder();
