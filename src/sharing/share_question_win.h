#pragma once

#include <windows.h>

#include "sharing/pc_identity.h"

// Asks the person, modal to `owner`, whether this PC's history was corrected by hand or this PC
// is a copy of another PC (made from the same disk image): the one question the rows of this
// PC's file in the shared folder cannot answer. PcAnswer::none when they put it off.
PcAnswer askWhoseHistory(HWND owner);
