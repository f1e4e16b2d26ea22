#pragma once

#include <cstdint>

#include "overlay/overlay_core.h"

// The two clocks the counting works with, read once per frame by readClocks. They are never
// mixed: the wall clock only measures idleness, the tick only counts seconds.
struct FrameClocks {
    std::int64_t wallClock = 0;  // 100 ns units since 1970-01-01 00:00 UTC
    std::uint32_t ticks = 0;     // SDL milliseconds, wrapping
};

// The only place the program reads the real clocks.
FrameClocks readClocks();

// One frame of counting. `qualifies`: input was seen while the target program's window was in
// front. A qualifying frame starts or prolongs counting; counting ends in the first frame in
// which stopAfterSeconds whole seconds have passed since the last qualifying frame. Whole
// seconds gathered since secondMark go to both counters (saturating at the int32 range) and the
// partial second is carried. Ends with wasActive := active. Returns the whole seconds of this frame:
// when it is above 0, the total has to be written.
std::int32_t accountFrame(OverlayCore& overlay, bool qualifies, FrameClocks now);
