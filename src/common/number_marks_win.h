#pragma once

#include "common/number_text.h"

// The decimal mark and digit grouping of the user's locale (GetLocaleInfoEx, LOCALE_SDECIMAL
// and LOCALE_STHOUSAND): "." and "," in the United States, "," and "." in Germany. "." and no
// grouping when the system cannot say.
NumberMarks userNumberMarks();
