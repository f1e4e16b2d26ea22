#pragma once

#include "history/date_order.h"

// The order of the user's short date format (GetLocaleInfoEx, LOCALE_SSHORTDATE); dayFirst when
// the system cannot say.
DateOrder userDateOrder();
