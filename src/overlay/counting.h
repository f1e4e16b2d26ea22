#pragma once

#include <cstdint>
#include <string>

#include "common/calendar.h"
#include "overlay/overlay_core.h"

// The clocks the counting works with, read once per frame by readClocks. They are never mixed:
// the idle clock only measures idleness, the tick only counts seconds. The idle clock is one that
// nobody sets and that runs on through sleep (GetTickCount64 on Windows), not the wall clock: a
// wall clock set back an hour, by hand or by the time service after a resume, would otherwise
// count an hour that nobody worked.
struct FrameClocks {
    std::int64_t idleClock = 0;    // milliseconds since the system started, never set back
    std::uint32_t ticks = 0;       // SDL milliseconds, wrapping
    std::uint32_t inputClock = 0;  // milliseconds on the clock input events are stamped with, wrapping
    LocalMoment local;             // the wall clock as local time: the day a counted second goes to
};

// What a frame learnt of the user's input since the previous frame.
struct FrameInput {
    bool qualifies = false;  // input was seen while a target program's window was in front
    // Milliseconds from the previous frame to the first input since it (0 when it followed at
    // once). Only frames run the rule, so a silence in which no frame ran (a suspended machine,
    // a stopped process) shows only here.
    std::uint32_t silenceBefore = 0;
    // The target in front when the frame qualifies, spelt as in line 1 (chosenTarget); borrowed
    // for the call.
    const std::wstring* program = nullptr;
    // The title of the window in front when the frame qualifies and titles may name the project;
    // borrowed for the call, never kept.
    const std::wstring* title = nullptr;
    // The person paused counting (from the menu or the hotkey): the frame ends the spell and
    // counts nothing, its input included. The pause's own time never counts, and the first
    // second after it needs new input, as after a suspend.
    bool paused = false;
};

// The only place the program reads the real clocks.
FrameClocks readClocks();

// One frame of counting. A qualifying frame starts or prolongs counting; counting ends in the
// first frame in which stopAfterSeconds whole seconds have passed since the last qualifying
// frame, or before a qualifying frame whose input came a whole time-out after the previous
// frame: the spell ended in that silence, and the input starts a new one. Whole seconds gathered
// since secondMark go to both counters (saturating at the int32 range) and the partial second is
// carried. Ends with wasActive := active. Returns the whole seconds of this frame: when it is
// above 0, the total has to be written, and the seconds go to the history row of
// overlay.countedProgram: the target in front at the last qualifying frame, this one included,
// and to its project: the one that frame's title named, else the chosen one (countedProject).
// Counting goes on whatever is in front until the time-out, so a second counted after a switch
// to another program belongs to the one worked in last.
std::int32_t accountFrame(OverlayCore& overlay, const FrameInput& input, FrameClocks now);

// Ends the counting spell at once: the machine is about to sleep, and nothing of the night may
// be counted when it wakes.
void endSpell(OverlayCore& overlay);
