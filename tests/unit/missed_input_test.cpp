// What the system's last-input time may count when the hooks saw nothing: each step is a look a
// quarter of a second after the previous one, or a note that the hooks saw input meanwhile. Then
// pens and touch screens beside the hooks and that fallback.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "input/input_flag.h"
#include "input/input_watch.h"
#include "input/missed_input.h"
#include "input/pen_input.h"

namespace {

struct Step {
    char kind;               // 'h': the hooks saw input; 'l': a look; 'e': a look, an elevated window in front
    std::uint32_t time = 0;  // the system's last-input time at a look
    // The verdict: '-' nothing, 'i' input, 'r' input and the hooks put back.
    char verdict = '-';
};

TEST(MissedInput, OnlyInputTheHooksCouldNotSeeCounts) {
    const struct {
        const char* name;
        std::vector<Step> steps;
    } cases[] = {
        {"no move, nothing", {{'l', 100}, {'l', 100}}},
        // Under Wine a window that appears moves the time once; nobody typed.
        {"a single move the hooks did not see is not input", {{'l', 350}, {'l', 350}, {'l', 350}}},
        {"two moves apart are two single moves", {{'l', 350}, {'l', 350}, {'l', 900}, {'l', 900}, {'l', 1400}}},
        {"two moves in a row are not yet a run", {{'l', 350}, {'l', 600}, {'l', 600}}},
        // Hooks removed by the system: typing goes on, look after look, and none of it is seen.
        {"a run of moves puts the hooks back and counts, and goes on counting while it lasts",
         {{'l', 350}, {'l', 600}, {'l', 850, 'r'}, {'l', 1100, 'i'}, {'l', 1100}, {'l', 1600}, {'l', 1850},
          {'l', 2100, 'r'}}},
        {"hooks that see input again end the run", {{'l', 350}, {'l', 600}, {'h'}, {'l', 850}, {'l', 1100}, {'l', 1350}}},
        {"the look after hooked input only catches up", {{'h'}, {'l', 5000}, {'l', 5000}, {'l', 5300}}},
        // Typing into a program run as administrator: the system hides it from the hooks.
        {"a move while an elevated window is in front counts at once", {{'e', 350, 'i'}, {'e', 350}, {'e', 600, 'i'}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MissedInput missed;
        missed.start(100);
        std::string got, expected;
        for (const Step& step : c.steps) {
            if (step.kind == 'h') {
                missed.hooksSawInput();
                continue;
            }
            const MissedInput::Verdict v = missed.look(step.time, [&] { return step.kind == 'e'; });
            got += v.reinstallHooks ? 'r' : v.input ? 'i' : '-';
            expected += step.verdict;
            if (v.input) {
                EXPECT_EQ(v.at, step.time);
            }
            EXPECT_FALSE(v.reinstallHooks && !v.input);
        }
        EXPECT_EQ(got, expected);
    }
}

// Pens beside the hooks and the fallback. Steps: 'p' a digitizer's report (byte `report` of
// `device`) at `time`; 'f' a frame; 'l' a frame that also looks at the system's last-input time,
// then `time`. A frame's verdict: '-' nothing, 'i' input first seen at `at`, 'r' that and the
// hooks put back.
struct PenStep {
    char kind;
    std::uint32_t time;
    char verdict = '-';
    std::uint32_t at = 0;
    std::uint8_t report = 0;
    std::uintptr_t device = 1;
};

TEST(PenInput, CountsInTheFrameAfterItAtItsOwnTimeAndNeverPutsTheHooksBack) {
    const struct {
        const char* name;
        std::vector<PenStep> steps;
    } cases[] = {
        {"a stroke counts at once; the same report again (a pen lying still) is none, unless from another pen",
         {{'p', 1000, '-', 0, 5}, {'f', 0, 'i', 1000}, {'p', 1030, '-', 0, 5}, {'f', 0}, {'p', 1060, '-', 0, 5, 2},
          {'f', 0, 'i', 1060}}},
        {"strokes for seconds while the system's time moves at every look",
         {{'p', 300, '-', 0, 1}, {'l', 300, 'i', 300}, {'p', 550, '-', 0, 2}, {'l', 550, 'i', 550},
          {'p', 800, '-', 0, 3}, {'l', 800, 'i', 800}, {'p', 1050, '-', 0, 4}, {'l', 1050, 'i', 1050}}},
        {"strokes that raw input misses count from the third look, and the hooks are put back",
         {{'l', 350}, {'l', 600}, {'l', 850, 'r', 850}, {'l', 1100, 'i', 1100}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        inputSeen = false;
        std::uint32_t systemTime = 100;
        int reinstalls = 0;
        InputWatch watch({[&] { return systemTime; }, [] { return false; }, [&] { ++reinstalls; }});
        DigitizerReports reports;
        std::string got, expected;
        for (const PenStep& step : c.steps) {
            if (step.kind == 'p') {
                reports.note(step.device, &step.report, 1, step.time);
                continue;
            }
            if (step.kind == 'l') systemTime = step.time;
            const int before = reinstalls;
            const InputSinceLastFrame input = watch.poll(step.kind == 'l');
            got += reinstalls > before ? 'r' : input.seen ? 'i' : '-';
            expected += step.verdict;
            if (input.seen) {
                EXPECT_EQ(input.firstAt, step.at);
            }
        }
        EXPECT_EQ(got, expected);
    }
    inputSeen = false;
}

}  // namespace
