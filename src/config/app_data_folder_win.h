#pragma once

#include <string>

// The machine's common application-data folder (C:\ProgramData). Throws StartupError when the
// shell cannot say where it is.
std::wstring commonAppDataFolder();
