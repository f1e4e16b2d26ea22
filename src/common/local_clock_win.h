#pragma once

#include "common/calendar.h"

// The local date and time of day as Windows reads them now (GetLocalTime: the time zone and
// daylight saving time of the system).
LocalMoment readLocalMoment();
