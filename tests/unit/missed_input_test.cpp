// What the system's last-input time may count when the hooks saw nothing: each step is a look a
// quarter of a second after the previous one, or a note that the hooks saw input meanwhile. Then
// pens and touch screens beside the hooks and that fallback, and the rule over what a pen does.
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
// `device`) at `time`; 'n' input seen and left uncounted (a resting pen); 'f' a frame; 'l' a frame that also looks at the system's last-input time,
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

TEST(InputWatch, LooksOnceASecondWhileNothingMovesAndQuicklyOnceSomethingDoes) {
    inputSeen = false;
    std::uint32_t systemTime = 100;
    InputWatch watch({[&] { return systemTime; }, [] { return false; }, nullptr});
    EXPECT_EQ(watch.lookIntervalMs(), InputWatch::quickLookMs) << "the first look comes quickly";
    const struct {
        char kind;  // 'l': a look at the system's time; 'h': the hooks saw input, then a look
        std::uint32_t time;
        std::uint32_t nextLookMs;
    } steps[] = {
        {'l', 100, InputWatch::quietLookMs},   // nothing since the start
        {'l', 100, InputWatch::quietLookMs},
        {'l', 2300, InputWatch::quickLookMs},  // input the hooks did not see: three looks in a row decide
        {'l', 2550, InputWatch::quickLookMs},
        {'l', 2550, InputWatch::quietLookMs},  // it stopped
        {'h', 2550, InputWatch::quickLookMs},  // typing the hooks see
        {'l', 4000, InputWatch::quickLookMs},  // its last key moved the system's time since
        {'l', 4000, InputWatch::quietLookMs},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.time);
        if (step.kind == 'h') raiseInputFlag([] { return 2500u; });
        systemTime = step.time;
        watch.poll(true);
        EXPECT_EQ(watch.lookIntervalMs(), step.nextLookMs);
    }
    inputSeen = false;
}

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
        {"a pen resting in range moves the system's time at every look and counts nothing",
         {{'n', 0}, {'l', 350}, {'n', 0}, {'l', 600}, {'n', 0}, {'l', 850}, {'n', 0}, {'l', 1100}}},
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
            if (step.kind == 'n') {
                noteUncountedInput();
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

// What one report of a pen or a finger says, as the HID parser reads it, and whether the rule
// counts it ('1') or not ('0'). Thresholds of 10 units along each axis.
struct Report {
    const char* state;  // 'r' in range, 't' tip down, 'b' barrel, 'e' eraser, 'p' a palm (not confident)
    long x, y;
    char counts;
    std::uint32_t id = 0;
    std::uintptr_t device = 1;
};

TEST(PenRule, CountsWhatTheHandDoesNeverWhatTheDeviceRepeats) {
    const struct {
        const char* name;
        std::vector<Report> reports;
    } cases[] = {
        {"a pen hovering still jitters by a unit or two",
         {{"r", 1000, 1000, '1'}, {"r", 1001, 1000, '0'}, {"r", 999, 1002, '0'}, {"r", 1002, 998, '0'}}},
        {"reports that differ only in a ticking scan time say the same",
         {{"r", 500, 500, '1'}, {"r", 500, 500, '0'}, {"r", 500, 500, '0'}}},
        {"a stroke: the tip down, moving, the tip up",
         {{"r", 0, 0, '1'}, {"rt", 0, 0, '1'}, {"rt", 30, 5, '1'}, {"rt", 60, 12, '1'}, {"r", 60, 12, '1'}}},
        {"a slow stroke adds up from where it last counted",
         {{"rt", 0, 0, '1'}, {"rt", 4, 0, '0'}, {"rt", 8, 0, '0'}, {"rt", 12, 0, '1'}, {"rt", 14, 0, '0'}}},
        {"a moving hover counts", {{"r", 0, 0, '1'}, {"r", 8, 8, '1'}, {"r", 16, 16, '1'}}},
        {"a tap, then the pen leaves range and comes back",
         {{"rt", 300, 300, '1'}, {"r", 300, 300, '1'}, {"", 300, 300, '0'}, {"", 900, 900, '0'}, {"r", 900, 900, '1'}}},
        {"a pen held still with the tip down",
         {{"rt", 50, 50, '1'}, {"rt", 51, 50, '0'}, {"rt", 50, 52, '0'}, {"rt", 49, 49, '0'}}},
        {"the barrel button and the eraser",
         {{"r", 0, 0, '1'}, {"rb", 0, 0, '1'}, {"r", 0, 0, '1'}, {"re", 1, 0, '1'}, {"re", 0, 1, '0'}}},
        {"fingers, each by its own identifier: down, moving, up",
         {{"rt", 100, 100, '1', 3}, {"rt", 140, 100, '1', 3}, {"rt", 400, 400, '1', 4}, {"rt", 141, 101, '0', 3},
          {"", 141, 101, '1', 3}}},
        {"a palm the device marks as not confident counts nothing until it moves as a hand",
         {{"rtp", 100, 100, '0'}, {"rtp", 200, 100, '0'}, {"rt", 200, 100, '0'}, {"rt", 230, 100, '1'}}},
        {"two tablets with a pen each", {{"r", 10, 10, '1', 0, 1}, {"r", 10, 10, '1', 0, 2}, {"r", 11, 10, '0', 0, 1}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PenRule rule;
        std::string got, expected;
        for (const Report& r : c.reports) {
            const std::string state = r.state;
            PenContact contact;
            contact.id = r.id;
            contact.inRange = state.find('r') != std::string::npos;
            contact.tip = state.find('t') != std::string::npos;
            contact.barrel = state.find('b') != std::string::npos;
            contact.eraser = state.find('e') != std::string::npos;
            contact.confident = state.find('p') == std::string::npos;
            contact.x = r.x;
            contact.y = r.y;
            got += rule.note(r.device, contact, 10, 10) ? '1' : '0';
            expected += r.counts;
        }
        EXPECT_EQ(got, expected);
    }
}

TEST(PenRule, MovementThatCountsIsHalfAMillimetreOrAFractionOfTheRange) {
    const struct {
        const char* name;
        DigitizerAxis axis;
        double threshold;
    } cases[] = {
        {"216 mm in hundredths of a centimetre, 20000 units", {0, 20000, 0, 2160, 0x11, 0x0E}, 20000 * 0.5 / 216},
        {"8.5 inches in thousandths, 43180 units", {0, 43180, 0, 8500, 0x13, 0x0D}, 100},
        {"no units: 1/2000 of the range", {0, 32767, 0, 32767, 0, 0}, 32767 / 2000.0},
        {"no physical range: 1/2000 of the range", {0, 32767, 0, 0, 0x11, 0x0E}, 32767 / 2000.0},
        {"never below a resting pen's jitter", {0, 1000, 0, 0, 0, 0}, 3},
        {"an empty logical range", {5, 5, 0, 100, 0x11, 0}, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_NEAR(movementThreshold(c.axis), c.threshold, 1e-6);
    }
}

TEST(PenRule, PenMadeMouseInputIsLeftToTheRuleOnlyWhileItsDigitizerIsRead) {
    EXPECT_EQ(pointerSource(0), PointerSource::mouse);
    EXPECT_EQ(pointerSource(0xFF515700), PointerSource::pen);
    EXPECT_EQ(pointerSource(0xFF51577F), PointerSource::pen) << "the low seven bits: which pen";
    EXPECT_EQ(pointerSource(0xFF515780), PointerSource::touch);
    EXPECT_EQ(pointerSource(0xFF515600), PointerSource::mouse);
    EXPECT_EQ(pointerSource(0x7F515700), PointerSource::mouse);

    ParsedDigitizers parsed;
    EXPECT_FALSE(parsed.leftToPenRule(PointerSource::pen, 1000)) << "no reports read: it counts as mouse input";
    parsed.reportRead(DigitizerKind::pen, 1000);
    EXPECT_TRUE(parsed.leftToPenRule(PointerSource::pen, 1500));
    EXPECT_TRUE(parsed.leftToPenRule(PointerSource::pen, 990)) << "stamped a moment before the report";
    EXPECT_FALSE(parsed.leftToPenRule(PointerSource::touch, 1500)) << "no touch screen's reports are read";
    EXPECT_FALSE(parsed.leftToPenRule(PointerSource::mouse, 1500));
    EXPECT_FALSE(parsed.leftToPenRule(PointerSource::pen, 1000 + ParsedDigitizers::liveMs)) << "raw input went away";
    parsed.reportRead(DigitizerKind::touch, 0xFFFFFF00);
    EXPECT_TRUE(parsed.leftToPenRule(PointerSource::touch, 0x100)) << "across the tick's wrap";
}

}  // namespace
