// What the system's last-input time may count when the hooks saw nothing: each step is a look a
// quarter of a second after the previous one, or a note that the hooks saw input meanwhile.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "input/missed_input.h"

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

}  // namespace
