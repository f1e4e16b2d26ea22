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

// Frames with the input flag that the hooks and the digitizers' raw input raise, and the system's
// last-input time for what neither sees.
struct PenStep {
    // 'k' a key the hooks see; 'p' a digitizer report (`report`, from `device`); 'f' a frame;
    // 'l' a frame that also looks at the system's last-input time, then `time`
    char kind;
    std::uint32_t time;
    // Frames: '-' no input, 'i' input first seen at `at`, 'r' the same and the hooks put back.
    char verdict = '-';
    std::uint32_t at = 0;
    std::uint8_t report = 0;
    std::uintptr_t device = 1;
};

TEST(PenInput, CountsInTheFrameAfterItBesideTheHooksAndNeverPutsThemBack) {
    const struct {
        const char* name;
        std::vector<PenStep> steps;
    } cases[] = {
        {"a stroke counts in the first frame, at its own time", {{'p', 1000, '-', 0, 7}, {'f', 0, 'i', 1000}}},
        {"strokes for seconds, every look seeing the system's time move, never put the hooks back",
         {{'p', 300, '-', 0, 1}, {'l', 300, 'i', 300}, {'p', 550, '-', 0, 2}, {'l', 550, 'i', 550},
          {'p', 800, '-', 0, 3}, {'l', 800, 'i', 800}, {'p', 1050, '-', 0, 4}, {'l', 1050, 'i', 1050}}},
        {"a report that repeats the device's last is a pen lying still",
         {{'p', 300, '-', 0, 5}, {'f', 0, 'i', 300}, {'p', 330, '-', 0, 5}, {'f', 0}, {'p', 360, '-', 0, 6},
          {'f', 0, 'i', 360}}},
        {"each device has its own last report",
         {{'p', 300, '-', 0, 5, 1}, {'p', 310, '-', 0, 5, 2}, {'f', 0, 'i', 300}, {'p', 320, '-', 0, 5, 2}, {'f', 0}}},
        {"a key and a stroke in one frame: the earlier time", {{'k', 900}, {'p', 1000, '-', 0, 1}, {'f', 0, 'i', 900}}},
        {"a pen that raw input misses counts from the third look and has the hooks put back",
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
            if (step.kind == 'k') raiseInputFlag([&] { return step.time; });
            if (step.kind == 'p') reports.note(step.device, &step.report, 1, step.time);
            if (step.kind != 'f' && step.kind != 'l') continue;
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
