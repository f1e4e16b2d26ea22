#pragma once

#include <string>

// Text in the ANSI code page: what Windows programs save when they are not told to save UTF-8
// (Excel's "CSV (delimiter-separated)", Notepad's "ANSI").

// The character that Windows-1252, the ANSI code page of Western Windows, gives `byte`; U+FFFD
// for the five bytes it leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D).
wchar_t cp1252Character(unsigned char byte);

// `bytes` read in the ANSI code page: on Windows the system's (CP_ACP), Windows-1252 where
// that is UTF-8 (which the caller has tried already); elsewhere Windows-1252. A byte or
// sequence the code page leaves undefined becomes U+FFFD, never a control character.
std::wstring decodeAnsi(const std::string& bytes);
