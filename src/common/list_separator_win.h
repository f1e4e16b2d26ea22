#pragma once

#include <string>

// The list separator of the user's locale (GetLocaleInfoEx, LOCALE_SLIST): "," in the United
// States, ";" in Germany. "," when the system cannot say.
std::wstring userListSeparator();
