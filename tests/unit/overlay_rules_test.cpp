// The overlay's portable rules: counting with literal clock readings, the time texts, and the
// context menu's entries and commands against a real data.cfg in a temporary folder.
#include <gtest/gtest.h>

#include <climits>
#include <filesystem>

#include "config/file_system.h"
#include "history/history_file.h"
#include "history/history_journal.h"
#include "config/state_file.h"
#include "overlay/context_menu.h"
#include "overlay/counting.h"
#include "common/display_scale.h"
#include "overlay/overlay_settings.h"
#include "overlay/mouse_buttons.h"
#include "overlay/overlay_look.h"
#include "overlay/screen_place.h"
#include "overlay/stay_on_top.h"
#include "overlay/target_programs.h"
#include "common/text.h"
#include "common/time_text.h"
#include "config/projects_file.h"
#include "temp_folder.h"

namespace {

constexpr std::int64_t second = 1000;  // idle-clock units
constexpr std::int64_t T = 86'400 * second;
constexpr LocalMoment noon{20'000, 12 * 3600};

struct Frame {
    bool qualifies;
    std::int64_t idle;  // the idle clock
    std::uint32_t ticks;
    std::uint32_t silenceBefore = 0;  // ms from the previous frame to the first input since
    bool sleepsBefore = false;        // the machine announced a suspend before this frame
    LocalMoment local = noon;         // the wall clock, as local time
};

struct CountingCase {
    const char* name;
    std::int32_t stopAfter;
    std::vector<Frame> frames;
    std::int32_t seconds;   // added to both counters over all frames
    int writes;             // frames that asked for the total to be written
    bool activeAtEnd;
    std::int64_t markBehind;  // ticks of the last frame minus secondMark, or -1: not checked
    std::int32_t startTotal = 0;
};

TEST(Counting, FramesGiveTheExpectedSecondsWritesAndCarry) {
    const LocalMoment hourBack{noon.day, noon.secondOfDay - 3600};
    const CountingCase cases[] = {
        {"idle 4.999 s keeps counting at a time-out of 5", 5,
         {{true, T, 0}, {false, T + 4999, 4999}}, 4, 1, true, 999},
        {"idle 5 s ends it, and that frame adds nothing", 5,
         {{true, T, 0}, {false, T + 5 * second, 5000}}, 0, 0, false, -1},
        {"2999 ms add 2 and carry 999", 60, {{true, T, 100}, {false, T + second, 3099}}, 2, 1, true, 999},
        {"999 ms add nothing, exactly 1000 add 1 and carry 0", 60,
         {{true, T, 0}, {false, T, 999}, {false, T, 1000}}, 1, 1, true, 0},
        {"a 12.5 s stall adds 12 with one write", 60,
         {{true, T, 0}, {false, T + 12'500, 12500}}, 12, 1, true, 500},
        {"a 1.8 s spell adds 1 and carries nothing into the next", 1,
         {{true, T, 0}, {true, T + 800, 800}, {false, T + second, 1000},
          {false, T + 1800, 1800}, {true, T + 30 * second, 30000}, {false, T + 30 * second, 30900}},
         1, 1, true, 900},
        {"a time-out of 0 never counts", 0, {{true, T, 0}, {true, T, 5000}}, 0, 0, false, -1},
        {"a negative time-out never counts", -3, {{true, T, 0}, {true, T, 5000}}, 0, 0, false, -1},
        {"input elsewhere never starts counting", 5, {{false, T, 0}, {false, T, 3000}}, 0, 0, false, -1},
        // The time service sets the clock back an hour after the last input: counting still ends
        // one time-out after it.
        {"the wall clock set back an hour ends the spell one time-out after the last input", 5,
         {{true, T, 0}, {false, T + 2 * second, 2000, 0, false, hourBack},
          {false, T + 5 * second, 5000, 0, false, hourBack}},
         2, 1, false, -1},
        {"the tick counter wrapping", 60,
         {{true, T, 0xFFFFFC18u}, {false, T, 1500}}, 2, 1, true, 500},
        // While a target is picked no frame reaches the counting; the next one adds the pause.
        {"a pick of 3 s while counting adds 3 at once", 10,
         {{true, T, 0}, {false, T + 3 * second, 3000}}, 3, 1, true, 0},
        {"the total saturates", 60, {{true, T, 0}, {false, T, 5000}}, 5, 1, true, 0, INT_MAX - 2},
        // No frame ran for 31 s (a stopped process); the first key came 30.9 s after the last frame.
        {"input after a silence of a whole time-out starts a new spell", 1,
         {{true, T, 0}, {true, T + 31 * second, 31000, 30'900}, {true, T + 32 * second, 32000}}, 1, 1, true, 0},
        {"input after a silence shorter than the time-out prolongs the spell", 5,
         {{true, T, 0}, {true, T + 4900, 4900, 4'899}}, 4, 1, true, 900},
        {"a suspend ends the spell at once, whatever the time-out", 60,
         {{true, T, 0}, {true, T + 8 * 3600 * second, 28'800'000, 0, true},
          {false, T + 8 * 3600 * second, 28'800'500}},
         0, 0, true, 500},
        {"the longest time-out, 15 minutes, holds through 14 minutes of thought", 900,
         {{true, T, 0}, {false, T + 899 * second, 899'000}, {false, T + 900 * second, 900'000}}, 899, 1, false, -1},
    };
    for (const CountingCase& c : cases) {
        SCOPED_TRACE(c.name);
        OverlayCore overlay;
        overlay.stopAfterSeconds = c.stopAfter;
        overlay.lastActivity = T - 3600 * second;
        overlay.totalSeconds = c.startTotal;
        int writes = 0;
        std::int32_t added = 0;
        for (const Frame& frame : c.frames) {
            if (frame.sleepsBefore) endSpell(overlay);
            const std::int32_t counted = accountFrame(overlay, {frame.qualifies, frame.silenceBefore},
                                                      {frame.idle, frame.ticks, 0, frame.local});
            writes += counted > 0;
            added += counted;
            EXPECT_EQ(overlay.wasActive, overlay.active);
        }
        EXPECT_EQ(added, c.seconds);
        EXPECT_EQ(overlay.currentSeconds, c.seconds);
        EXPECT_EQ(overlay.totalSeconds, c.startTotal ? INT_MAX : c.seconds);
        EXPECT_EQ(writes, c.writes);
        EXPECT_EQ(overlay.active, c.activeAtEnd);
        if (c.markBehind >= 0) {
            EXPECT_EQ(c.frames.back().ticks - overlay.secondMark, c.markBehind);
        }
    }
}

// Frames of a pause at a time-out of 5 s: `paused` frames come between the person's pause and
// resume. Both ends of a pause end the spell, so no second spans one.
TEST(Counting, APauseEndsTheSpellCountsNothingAndTheFirstSecondAfterItNeedsNewInput) {
    struct Look {
        bool qualifies;
        bool paused;
        std::uint32_t ms;  // on both clocks
    };
    const struct {
        const char* name;
        std::vector<Look> frames;
        std::int32_t seconds;
        bool activeAtEnd;
    } cases[] = {
        {"without a pause, 2 s of work count 2", {{true, false, 0}, {false, false, 2000}}, 2, true},
        {"the partial second before a pause is lost and nothing counts after a resume without input",
         {{true, false, 0}, {true, false, 1500}, {false, true, 1700}, {false, false, 2500}, {false, false, 4000}}, 1,
         false},
        {"input while paused counts nothing, however long",
         {{true, false, 0}, {true, true, 1000}, {true, true, 5000}, {true, true, 60'000}}, 0, false},
        {"after a resume the first second runs from the first input",
         {{true, false, 0}, {false, true, 500}, {false, false, 600}, {true, false, 2000}, {false, false, 2999},
          {false, false, 3000}},
         1, true},
        {"a pause shorter than a second still splits the spell",
         {{true, false, 0}, {true, false, 900}, {false, true, 950}, {true, false, 1000}, {false, false, 1900}}, 0,
         true},
        {"a pause in a long spell keeps what was counted before it",
         {{true, false, 0}, {true, false, 3200}, {false, true, 3300}, {true, false, 10'000}, {true, false, 12'100}}, 5,
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        OverlayCore overlay;
        overlay.stopAfterSeconds = 5;
        std::int32_t added = 0;
        for (const Look& look : c.frames) {
            FrameInput input{look.qualifies, 0};
            input.paused = look.paused;
            added += accountFrame(overlay, input, {T + look.ms, look.ms, 0, noon});
            if (look.paused) {
                EXPECT_FALSE(overlay.active);
            }
        }
        EXPECT_EQ(added, c.seconds);
        EXPECT_EQ(overlay.totalSeconds, c.seconds);
        EXPECT_EQ(overlay.active, c.activeAtEnd);
    }
}

// Which history row each counted second goes to: frames at `ms` on both clocks, with or without
// input, and the program in front then. Line 1 holds Photoshop.exe|clipstudiopaint.exe.
TEST(Counting, EachSecondGoesToTheTargetInFrontAtTheLastQualifyingFrameAsLine1SpellsIt) {
    struct Look {
        bool input;
        const wchar_t* front;
        std::uint32_t ms;
    };
    const struct {
        const char* name;
        std::vector<Look> frames;
        const wchar_t* rows;
    } cases[] = {
        {"each under line 1's spelling", {{true, L"PHOTOSHOP.EXE", 0}, {true, L"photoshop.exe", 1000},
          {true, L"ClipStudioPaint.exe", 1500}, {true, L"explorer.exe", 2000}},
         L"Photoshop.exe 1|clipstudiopaint.exe 1|"},
        {"after a switch to another program, or a target in front without input, the last one keeps them",
         {{true, L"Photoshop.exe", 0}, {true, L"explorer.exe", 2000}, {false, L"clipstudiopaint.exe", 3000}},
         L"Photoshop.exe 2|Photoshop.exe 1|"},
        {"a window that cannot be named is none of them", {{true, L"", 0}, {true, L"", 2000}}, L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        OverlayCore overlay;
        overlay.stopAfterSeconds = 5;
        overlay.targetPrograms = {L"Photoshop.exe", L"clipstudiopaint.exe"};
        std::wstring rows;
        for (const Look& look : c.frames) {
            const std::wstring* inFront = look.input ? chosenTarget(overlay.targetPrograms, look.front) : nullptr;
            const std::int32_t counted =
                accountFrame(overlay, {inFront != nullptr, 0, inFront}, {T + look.ms, look.ms, 0, noon});
            if (counted > 0) rows += overlay.countedProgram + L" " + std::to_wstring(counted) + L"|";
        }
        EXPECT_EQ(rows, c.rows);
    }
}

// The title rule: which recent project a window's title names.
TEST(Projects, ATitleNamesTheRecentProjectItHoldsAsAWholeWordTheLongestOfSeveral) {
    const std::vector<std::wstring> recent = {L"Acme", L"logo", L"Acme logo", L"R&D", L"Globex brief", L"\u00e9cole"};
    const struct {
        const wchar_t* title;
        const wchar_t* named;  // null: none
    } cases[] = {
        {L"acme-logo.psd @ 66.7% (RGB/8) - Photoshop", L"Acme"},  // two as long: the more recent
        {L"ACME LOGO v2.kra - Krita", L"Acme logo"},
        {L"Acme_logo.psd", L"Acme"},
        {L"Globex brief.docx - Word", L"Globex brief"},
        {L"R&D notes.txt - Notepad", L"R&D"},
        {L"Acmeville.psd", nullptr},
        {L"TheAcme.psd", nullptr},
        {L"Acme2.psd", nullptr},
        {L"acmeville + acme.psd", L"Acme"},
        {L"Globex  brief.docx", nullptr},
        {L"Untitled - Notepad", nullptr},
        {L"", nullptr},
#ifdef _WIN32  // Windows folds and knows letters beyond ASCII
        {L"\u00c9COLE poster.psd", L"\u00e9cole"},
        {L"Acme\u00e9.psd", nullptr},
        {L"\u65e5\u672cAcme.psd", nullptr},
#endif
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(toUtf8(c.title));
        const std::wstring* named = projectNamedIn(c.title, recent);
        EXPECT_EQ(named ? *named : L"none", c.named ? c.named : L"none");
    }
}

// Frames at `ms` on both clocks, with input or not, and the title of notepad's window in front;
// "Chosen" is the current project. Each counted second goes to the project that the last
// qualifying frame's title named, else to the chosen one.
TEST(Counting, EachSecondGoesToTheProjectTheLastQualifyingTitleNamedElseTheChosenOne) {
    struct Look {
        bool input;
        const wchar_t* title;
        std::uint32_t ms;
    };
    const struct {
        const char* name;
        bool fromTitles;
        std::vector<Look> frames;
        const wchar_t* rows;
    } cases[] = {
        {"the title's project, then the chosen one when it names none", true,
         {{true, L"acme-logo.txt - Notepad", 0}, {true, L"acme-logo.txt - Notepad", 1000},
          {true, L"Untitled - Notepad", 1500}, {false, L"acme-logo.txt - Notepad", 2000}},
         L"Acme 1|Chosen 1|"},
        {"titles off: always the chosen one", false,
         {{true, L"acme-logo.txt - Notepad", 0}, {true, L"acme-logo.txt - Notepad", 2000}}, L"Chosen 2|"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        OverlayCore overlay;
        overlay.stopAfterSeconds = 5;
        overlay.targetPrograms = {L"notepad.exe"};
        overlay.projects.settings = {L"Chosen", c.fromTitles, {L"Chosen", L"Acme"}};
        std::wstring rows;
        for (const Look& look : c.frames) {
            const std::wstring title = look.title;
            const std::wstring* program = look.input ? &overlay.targetPrograms[0] : nullptr;
            const std::wstring* seen = program && titlesMayNameProject(overlay.projects) ? &title : nullptr;
            if (const std::int32_t n = accountFrame(overlay, {look.input, 0, program, seen}, {T + look.ms, look.ms, 0, noon}))
                rows += countedProject(overlay.projects) + L" " + std::to_wstring(n) + L"|";
        }
        EXPECT_EQ(rows, c.rows);
    }
}

TEST(TimeTexts, CountsBecomeTheOverlayTimeAndTheMenuTotal) {
    const struct {
        std::int32_t seconds;
        const wchar_t* time;
        const wchar_t* total;
    } cases[] = {
        {0, L"00:00:00", L"Total work time : 0hours 0minutes 0seconds"},
        {59, L"00:00:59", nullptr},
        {60, L"00:01:00", nullptr},
        {3599, L"00:59:59", nullptr},
        {3725, L"01:02:05", L"Total work time : 1hours 2minutes 5seconds"},
        {90061, L"25:01:01", L"Total work time : 25hours 1minutes 1seconds"},
        {359999, L"99:59:59", nullptr},
        {360000, L"100:00:00", nullptr},
        {INT_MAX, L"596523:14:07", L"Total work time : 596523hours 14minutes 7seconds"},
        {-1, L"00:00:-1", L"Total work time : 0hours 0minutes -1seconds"},
        {-61, L"00:-1:-1", nullptr},
        {-3600, L"-1:00:00", nullptr},
        {INT_MIN, L"-596523:-14:-8", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.seconds);
        EXPECT_EQ(timeText(c.seconds), c.time);
        if (c.total) {
            EXPECT_EQ(totalWorkText(c.seconds), c.total);
        }
    }
    const DurationText split = splitDuration(3725);
    EXPECT_EQ(split.hours + L"|" + split.minutes + L"|" + split.seconds, L"1|2|5");
    EXPECT_EQ(padTwoDigits(L""), L"00");
    EXPECT_EQ(padTwoDigits(L"-1"), L"-1");
    EXPECT_EQ(padTwoDigits(L"123"), L"123");
}

TEST(DisplayScale, LengthsGrowWithTheMonitorsDpiRoundedToWholePixels) {
    const struct {
        int dpi;
        std::int32_t side, centreX, centreY, markRadius;  // 200, 100, 104, 9 at 96 DPI
        float fontSize;                                    // 28 at 96 DPI
    } cases[] = {
        {96, 200, 100, 104, 9, 28.0f},   {120, 250, 125, 130, 11, 35.0f}, {144, 300, 150, 156, 14, 42.0f},
        {168, 350, 175, 182, 16, 49.0f}, {192, 400, 200, 208, 18, 56.0f}, {0, 200, 100, 104, 9, 28.0f},
        {-144, 200, 100, 104, 9, 28.0f}, {100, 208, 104, 108, 9, 29.1667f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dpi);
        const DisplayScale scale(c.dpi);
        EXPECT_EQ(scale.pixels(200), c.side);
        EXPECT_EQ(scale.pixels(100), c.centreX);
        EXPECT_EQ(scale.pixels(104), c.centreY);
        EXPECT_EQ(scale.pixels(9), c.markRadius);
        EXPECT_EQ(scale.pixels(-9), -c.markRadius) << "halves round away from zero on both sides";
        EXPECT_NEAR(scale.exact(28.0f), c.fontSize, 1e-3);
        // The menu opens on the scaled square: strictly inside it, and not beyond it.
        EXPECT_TRUE(insideMenuArea(100, 50, 100 + c.side - 1, 50 + c.side / 2, c.side));
        EXPECT_FALSE(insideMenuArea(100, 50, 100 + c.side, 50 + c.side / 2, c.side));
    }
    EXPECT_EQ(DisplayScale(144).pixels(INT32_MAX), INT32_MAX) << "saturates instead of wrapping";
}

TEST(ContextMenu, OpensOnlyStrictlyInsideTheOverlaysSquare) {
    const struct {
        std::int32_t x, y;
        bool inside;
    } cases[] = {{100, 50, false}, {101, 51, true}, {299, 249, true}, {300, 100, false}, {150, 250, false},
                 {99, 100, false}};
    for (const auto& c : cases) EXPECT_EQ(insideMenuArea(100, 50, c.x, c.y), c.inside) << c.x << "," << c.y;
    EXPECT_FALSE(insideMenuArea(INT_MAX - 10, 0, INT_MIN, 5));
    EXPECT_TRUE(insideMenuArea(INT_MAX - 10, 0, INT_MAX, 5));
}

TEST(PinnedPlace, StaysOnItsScreenComesBackInsideWhenPartlyOffAndCentresWhenOnNone) {
    using P = OverlayCore::Point;
    const ScreenRect primary{0, 0, 1280, 984}, second{1280, 40, 3200, 1080}, narrow{0, 0, 150, 984};
    const struct {
        const char* name;
        P stored;
        std::optional<ScreenRect> touched;
        P expected;
    } cases[] = {
        {"wholly inside", {300, 150}, primary, {300, 150}},
        {"half off the right edge", {1180, 100}, primary, {1080, 100}},
        {"above the second monitor's work area and left of it", {1200, 0}, second, {1280, 40}},
        {"below the taskbar's edge", {50, 900}, primary, {50, 784}},
        {"on no monitor", {9000, 9000}, std::nullopt, {540, 392}},
        {"on no monitor, at the int32 limits", {INT_MAX, INT_MIN}, std::nullopt, {540, 392}},
        {"at the int32 limit on a monitor", {INT_MAX, 10}, primary, {1080, 10}},
        {"a work area narrower than the overlay keeps its left edge", {60, 10}, narrow, {0, 10}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const P place = pinnedPlace(c.stored, 200, c.touched, primary);
        EXPECT_EQ(place.x, c.expected.x);
        EXPECT_EQ(place.y, c.expected.y);
    }
}

// The first start's note, 300 x 30, 6 pixels from the overlay, in a work area of 1280 x 984.
TEST(FirstStartNote, GoesBesideTheOverlayWhereThereIsRoomNeverOverIt) {
    const struct {
        ScreenRect overlay;
        std::int32_t x, y;
    } cases[] = {
        {{540, 392, 740, 592}, 746, 477},  // to the right, level with its middle
        {{1080, -90, 1280, 110}, 774, 0},  // at the right edge to the left, inside the work area
        {{0, 0, 1100, 200}, 400, 206},     // no room beside it: below, centred
        {{0, 0, 1280, 984}, 1286, 477},    // no room anywhere: to the right all the same
    };
    for (const auto& c : cases) {
        const OverlayCore::Point place = notePlace(c.overlay, 300, 30, 6, {0, 0, 1280, 984});
        EXPECT_EQ(place.x + place.y * 10000, c.x + c.y * 10000) << c.x << "," << c.y;
    }
}

class MenuCommands : public ::testing::Test {
protected:
    void SetUp() override {
        windowFixed = false;
        std::filesystem::create_directories(stateFile().parent_path());
        writeBytes(stateFile(), "photoshop.exe\r\n10\r\n75\r\nfalse\r\n0\r\n0\r\n90061\r\n");
        reload();
    }
    void TearDown() override { windowFixed = false; }

    std::filesystem::path stateFile() const { return folder.path() / "Ardeno Time" / "data.cfg"; }
    void reload() {
        ++reloads;
        loadState(overlay, folder.path().wstring());
    }
    bool command(unsigned id, std::int32_t left = -150, std::int32_t top = 40) {
        return carryOutCommand(overlay, id, left, top, [this] { reload(); });
    }
    std::vector<std::wstring> linesOnDisk() const { return parseLines(readBytes(stateFile())); }

    TempFolder folder;
    OverlayCore overlay;
    int reloads = 0;
    const DayNumber today = *dayNumber({2026, 12, 7});
};

std::wstring describe(const std::vector<MenuEntry>& entries) {
    std::wstring text;
    for (const MenuEntry& e : entries) {
        text += std::to_wstring(e.id) + L" " + (e.kind == MenuEntry::Kind::separator ? L"---" : e.text) +
                (e.checked ? L" [x]" : L"") + (e.disabled ? L" (disabled)" : L"") + L"\n";
        if (!e.submenu.empty()) text += L"{\n" + describe(e.submenu) + L"}\n";
    }
    return text;
}

TEST_F(MenuCommands, MenuShowsTheStateAndEveryCommandChangesWhatItShould) {
    // Today's line adds up every program of today's rows and nothing of other days.
    overlay.history.record(L"notepad.exe", L"", 3600, {today, 40000});
    overlay.history.record(L"photoshop.exe", L"Acme", 123, {today, 50000});
    overlay.history.record(L"notepad.exe", L"", 999, {today - 1, 50000});
    EXPECT_EQ(describe(contextMenuEntries(overlay, today)),
              L"0 Total work time : 25hours 1minutes 1seconds\n0 Today : 1hours 2minutes 3seconds\n"
              L"1133 Work history\n0 ---\n1124 Select target program\n1137 Add target program\n0 Project\n{\n"
              L"1138 No project [x]\n0 ---\n1139 New project...\n1160 Project from window titles [x]\n}\n0 ---\n"
              L"1131 Load recent time\n1132 Fix window position\n0 ---\n0 Time stopping speed\n{\n"
              L"1126 Stop after 1 seconds\n1127 Stop after 5 seconds\n1128 Stop after 10 seconds [x]\n"
              L"1129 Stop after 30 seconds\n1130 Stop after 60 seconds\n1134 Stop after 2 minutes\n"
              L"1135 Stop after 5 minutes\n1136 Stop after 15 minutes\n}\n0 Overlay shows\n{\n1161 This run [x]\n"
              L"1162 Today\n1163 This project\n}\n0 Overlay look\n{\n1164 Opacity 100 % [x]\n1165 Opacity 80 %\n"
              L"1166 Opacity 60 %\n1167 Opacity 40 %\n0 ---\n"
              L"1169 Click-through (off until the notification-area icon is back)\n"
              L"1171 Hide over full-screen programs [x]\n"
              L"1172 Hide from screen sharing (needs Windows 10 version 2004 or later) (disabled)\n}\n"
              L"0 Daily goal\n{\n1173 Off [x]\n1174 2 hours\n1175 4 hours\n1176 6 hours\n1177 8 hours\n}\n0 ---\n"
              L"1170 Pause counting\tCtrl+Alt+Shift+P\n1168 Hide overlay (disabled)\n1125 Exit\n");

    const auto before = readBytes(stateFile());
    // 1133 opens the history window and 1139 the New project dialog, which is the Windows
    // overlay's to do: nothing changes here; nor does taking the only program off the list, nor
    // choosing a recent project that is not there.
    for (unsigned ignored : {0u, 1123u, 1133u, 1139u, 1149u, 1150u}) EXPECT_FALSE(command(ignored));
    EXPECT_EQ(readBytes(stateFile()), before);
    EXPECT_EQ(reloads, 1);

    // Each time-out is stored in line 2 and carries the check mark once it is the one in use.
    const struct {
        unsigned id;
        const wchar_t* line;
    } timeOuts[] = {{1134, L"120"}, {1136, L"900"}, {1135, L"300"}, {1129, L"30"}};
    for (const auto& t : timeOuts) {
        SCOPED_TRACE(t.id);
        EXPECT_FALSE(command(t.id));
        EXPECT_EQ(linesOnDisk()[1], t.line);
        EXPECT_EQ(overlay.stopAfterSeconds, std::stoi(t.line));
        std::vector<unsigned> checked;
        const std::vector<MenuEntry> menu = contextMenuEntries(overlay, today);
        for (const MenuEntry& choice : menu[11].submenu)
            if (choice.checked) checked.push_back(choice.id);
        EXPECT_EQ(checked, std::vector<unsigned>{t.id});
    }

    EXPECT_FALSE(command(pinCommand));
    EXPECT_EQ(linesOnDisk(), (std::vector<std::wstring>{L"photoshop.exe", L"30", L"75", L"true", L"-150", L"40",
                                                         L"90061"}));
    EXPECT_TRUE(windowFixed);
    EXPECT_EQ(overlay.fixedX, -150);
    EXPECT_EQ(contextMenuEntries(overlay, today)[9].text, L"Unfix window position");
    EXPECT_FALSE(command(pinCommand, 500, 500));
    EXPECT_FALSE(windowFixed);
    EXPECT_EQ(linesOnDisk()[4], L"-150");

    overlay.currentSeconds = 5;
    EXPECT_FALSE(command(loadRecentTimeCommand));
    EXPECT_FALSE(command(loadRecentTimeCommand));
    EXPECT_EQ(overlay.currentSeconds, 75);

    EXPECT_FALSE(command(selectTargetCommand));
    EXPECT_TRUE(overlay.selectingTarget);
    // A click on a window whose program cannot be named picks nothing; selection goes on.
    const auto unpicked = readBytes(stateFile());
    EXPECT_FALSE(pickTarget(overlay, L"", [this] { reload(); }));
    EXPECT_TRUE(overlay.selectingTarget);
    EXPECT_EQ(overlay.targetPrograms, std::vector<std::wstring>{L"photoshop.exe"});
    EXPECT_EQ(readBytes(stateFile()), unpicked);
    EXPECT_TRUE(pickTarget(overlay, L"notepad.exe", [this] { reload(); }));
    EXPECT_FALSE(overlay.selectingTarget);
    EXPECT_EQ(overlay.targetPrograms, std::vector<std::wstring>{L"notepad.exe"});
    EXPECT_EQ(readBytes(stateFile()), "notepad.exe\r\n30\r\n75\r\nfalse\r\n-150\r\n40\r\n90061\r\n");

    overlay.stopAfterSeconds = 7;
    const std::vector<MenuEntry> unchecked = contextMenuEntries(overlay, today);
    for (const MenuEntry& choice : unchecked[11].submenu) EXPECT_FALSE(choice.checked);
    EXPECT_TRUE(command(exitCommand));
}

TEST_F(MenuCommands, TargetProgramsAreAddedListedAndTakenOff) {
    const auto add = [this](const wchar_t* name) {
        command(addTargetCommand);
        const bool picked = overlay.selectingTarget && pickTarget(overlay, name, [this] { reload(); });
        return picked && !overlay.selectingTarget && !overlay.pickAdds;
    };
    const auto menu = [this] { return contextMenuEntries(overlay, today); };
    EXPECT_TRUE(add(L"PHOTOSHOP.EXE"));
    EXPECT_EQ(reloads, 1) << "one already chosen changes nothing";
    EXPECT_TRUE(add(L"R&D Paint.exe"));
    EXPECT_EQ(linesOnDisk()[0], L"photoshop.exe|R&D Paint.exe");
    const std::vector<MenuEntry> two = menu();
    EXPECT_EQ(describe({two.begin() + 4, two.begin() + 7}), L"1124 Select target program\n1137 Add target program\n"
              L"0 Target programs\n{\n1150 photoshop.exe [x]\n1151 R&&D Paint.exe [x]\n}\n");
    EXPECT_FALSE(command(1150));
    EXPECT_EQ(linesOnDisk()[0], L"R&D Paint.exe");
    EXPECT_EQ(menu()[6].text, L"Project") << "no list of one: the projects follow Add target program";
    EXPECT_EQ(two[7].text, L"Project") << "... or the list";
    EXPECT_FALSE(command(1150));
    EXPECT_EQ(linesOnDisk()[0], L"R&D Paint.exe") << "the last one stays";

    // Edited by hand: eleven count, ten are listed, and no more are added.
    saveLine(overlay, 0, L"1.exe|2.exe|3.exe|4.exe|5.exe|6.exe|7.exe|8.exe|9.exe|10.exe|11.exe");
    reload();
    EXPECT_TRUE(menu()[5].disabled);
    EXPECT_EQ(menu()[6].submenu.size(), 10u);
    EXPECT_FALSE(add(L"12.exe"));
    EXPECT_FALSE(command(1159));
    EXPECT_EQ(linesOnDisk()[0], L"1.exe|2.exe|3.exe|4.exe|5.exe|6.exe|7.exe|8.exe|9.exe|11.exe");
}

// The Project submenu, each recent project with its time today on every PC, and what its
// commands keep in projects.cfg.
TEST_F(MenuCommands, ProjectsAreChosenListedWithTodaysTimeAndKeptInProjectsCfg) {
    const std::wstring stateFolder = stateFile().parent_path().wstring();
    const std::filesystem::path file = projectsFilePath(stateFolder);
    loadProjects(overlay.projects, stateFolder, {today, 100});
    const auto projectMenu = [&] { return describe(contextMenuEntries(overlay, today)[6].submenu); };
    EXPECT_FALSE(std::filesystem::exists(file)) << "nothing is written before a choice";

    chooseProject(overlay.projects, L"Acme & Co");
    chooseProject(overlay.projects, L"Globex");
    overlay.history.record(L"photoshop.exe", L"Acme & Co", 3723, {today, 40000});
    overlay.history.record(L"photoshop.exe", L"Globex", 600, {today, 40000});
    overlay.history.record(L"photoshop.exe", L"Globex", 999, {today - 1, 40000});
    overlay.shared.shareThrough(L"X:/shared");
    ShareReport report;
    report.folder = L"X:/shared";
    auto laptop = std::make_shared<OtherPcHistory>();
    laptop->rows = std::vector<HistoryRow>{{today, L"krita.exe", 60, L"Globex"}};
    report.pcs.push_back(laptop);
    overlay.shared.take(std::move(report));
    EXPECT_EQ(projectMenu(), L"1138 No project\n1140 Globex\t00:11:00 [x]\n1141 Acme && Co\t01:02:03\n0 ---\n"
                             L"1139 New project...\n1160 Project from window titles [x]\n");
    EXPECT_EQ(readBytes(file), "Globex\r\ntrue\r\nGlobex\r\nAcme & Co\r\n");

    EXPECT_FALSE(command(1141));
    EXPECT_EQ(overlay.projects.settings.current, L"Acme & Co") << "chosen, and the most recent now";
    chooseProject(overlay.projects, L"GLOBEX");
    EXPECT_EQ(readBytes(file), "Globex\r\ntrue\r\nGlobex\r\nAcme & Co\r\n") << "the recent one's spelling";
    EXPECT_FALSE(command(noProjectCommand));
    EXPECT_FALSE(command(projectFromTitlesCommand));
    EXPECT_EQ(readBytes(file), "\r\nfalse\r\nGlobex\r\nAcme & Co\r\n");
    EXPECT_NE(projectMenu().find(L"1138 No project [x]\n"), std::wstring::npos);
    EXPECT_NE(projectMenu().find(L"1160 Project from window titles\n"), std::wstring::npos);

    // Ten are kept: the eleventh pushes out the least recent.
    for (int i = 1; i <= 9; ++i) chooseProject(overlay.projects, L"P" + std::to_wstring(i));
    EXPECT_EQ(overlay.projects.settings.recent.size(), 10u);
    EXPECT_EQ(overlay.projects.settings.recent.back(), L"Globex");
    EXPECT_FALSE(command(1149));
    EXPECT_EQ(overlay.projects.settings.current, L"Globex");
    EXPECT_EQ(overlay.projects.settings.recent[1], L"P9");

    // A restart keeps the current project; an unreadable file is kept aside, said once in the
    // menu's first line, and a new one starts.
    Projects again;
    loadProjects(again, stateFolder, {today, 200});
    EXPECT_EQ(again.settings, overlay.projects.settings);
    writeBytes(file, "Acme\r\nmaybe\r\n");
    loadProjects(overlay.projects, stateFolder, {today, 3723});
    EXPECT_EQ(overlay.projects.settings, ProjectSettings{});
    const std::filesystem::path kept = stateFile().parent_path() / "projects unreadable 2026-12-07 010203.cfg";
    EXPECT_EQ(readBytes(kept), "Acme\r\nmaybe\r\n");
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_EQ(contextMenuEntries(overlay, today)[0].text,
              L"projects.cfg could not be read; it was kept as " + displayPath(kept.wstring()));
}

// projects.cfg held for a moment at the start (a sync client, a virus scanner): it is read
// again, never set aside or written over meanwhile, and a choice made meanwhile is made again on
// top of what it holds.
TEST_F(MenuCommands, ProjectsCfgThatCannotBeReadForAMomentIsReadAgainAndKeepsAChoiceMadeMeanwhile) {
    const std::wstring stateFolder = stateFile().parent_path().wstring();
    const std::filesystem::path file = projectsFilePath(stateFolder);
    const std::string held = "Acme\r\ntrue\r\nAcme\r\nGlobex\r\n";
    writeBytes(file, held);
    bool fails = true;
    failReadsForTests([&](const std::wstring& path) {
        return fails && path == file.wstring() ? std::make_error_code(std::errc::permission_denied) : std::error_code();
    });
    loadProjects(overlay.projects, stateFolder, {today, 100});
    EXPECT_FALSE(overlay.projects.writable);
    EXPECT_EQ(contextMenuEntries(overlay, today)[0].text.rfind(L"projects.cfg cannot be read now (", 0), 0u);
    chooseProject(overlay.projects, L"Initech");
    EXPECT_EQ(countedProject(overlay.projects), L"Initech") << "the choice holds meanwhile";
    readProjectsWhenDue(overlay.projects, {today, 101});
    readProjectsWhenDue(overlay.projects, {today, 102});  // not due: two seconds after the second failure
    EXPECT_EQ(readBytes(file), held) << "not written over";
    fails = false;
    readProjectsWhenDue(overlay.projects, {today, 102});
    EXPECT_FALSE(overlay.projects.writable) << "not due yet";
    readProjectsWhenDue(overlay.projects, {today, 103});
    failReadsForTests(nullptr);
    EXPECT_TRUE(overlay.projects.writable);
    EXPECT_FALSE(overlay.projects.error);
    EXPECT_EQ(readBytes(file), "Initech\r\ntrue\r\nInitech\r\nAcme\r\nGlobex\r\n");
    EXPECT_EQ(contextMenuEntries(overlay, today)[0].text.rfind(L"Total work time", 0), 0u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(stateFolder), std::filesystem::directory_iterator()), 2)
        << "data.cfg and projects.cfg: nothing set aside";
}

TEST_F(MenuCommands, FailedSaveIsShownUntilAWriteSucceedsAndLosesNoCountedSeconds) {
    // A folder where the temporary file goes makes every write fail.
    const auto blocker = std::filesystem::path(temporaryPathFor(stateFile().wstring()));
    std::filesystem::create_directories(blocker);
    overlay.totalSeconds = 90070;
    saveLine(overlay, 6, L"90070");
    ASSERT_TRUE(overlay.saveError);

    const std::vector<MenuEntry> entries = contextMenuEntries(overlay, today);
    EXPECT_TRUE(entries[0].disabled);
    EXPECT_EQ(entries[0].id, 0u);
    EXPECT_NE(entries[0].text.find(L"data.cfg"), std::wstring::npos);
    EXPECT_EQ(entries[0].text.find(L"Not saved: "), 0u) << entries[0].text.c_str();
    EXPECT_EQ(describe(std::vector<MenuEntry>(entries.begin() + 1, entries.end())),
              describe([&] { OverlayCore ok = overlay; ok.saveError = {}; return contextMenuEntries(ok, today); }()));

    // A setting chosen meanwhile keeps the unsaved total instead of re-reading the older file.
    EXPECT_FALSE(command(1130));
    EXPECT_EQ(overlay.totalSeconds, 90070);
    EXPECT_EQ(overlay.stopAfterSeconds, 60);
    EXPECT_EQ(reloads, 1);

    std::filesystem::remove(blocker);
    saveLine(overlay, 6, L"90071");
    EXPECT_FALSE(overlay.saveError);
    EXPECT_EQ(linesOnDisk()[1], L"60");
    EXPECT_EQ(linesOnDisk()[6], L"90071");
    EXPECT_EQ(contextMenuEntries(overlay, today)[0].text, L"Total work time : 25hours 1minutes 11seconds");

    // Seconds the history can keep nowhere (its journal cannot be written) are named the same
    // way; its notice about a kept file follows.
    const std::wstring history = historyFilePath(stateFile().parent_path().wstring());
    overlay.history.open(history, {today, 100});
    std::filesystem::create_directories(std::filesystem::path(temporaryPathFor(journalPathFor(history))));
    overlay.history.record(L"notepad.exe", L"", 7, {today, 200});
    overlay.history.notice = L"history.csv could not be read; it was kept as x";
    const std::vector<MenuEntry> withHistory = contextMenuEntries(overlay, today);
    EXPECT_EQ(withHistory[0].text.rfind(L"Not saved: ", 0), 0u);
    EXPECT_NE(withHistory[0].text.find(L"history.csv"), std::wstring::npos) << withHistory[0].text.c_str();
    EXPECT_EQ(withHistory[1].text, overlay.history.notice);
    EXPECT_TRUE(withHistory[0].disabled && withHistory[1].disabled);
    EXPECT_EQ(withHistory[3].text, L"Today : 0hours 0minutes 7seconds") << "kept in memory until a write succeeds";

    // projects.cfg the same: a choice that could not be written is kept and named, and written
    // with the next counted second once it can be.
    loadProjects(overlay.projects, stateFile().parent_path().wstring(), {today, 300});
    const std::wstring projects = projectsFilePath(stateFile().parent_path().wstring());
    const auto projectsBlocker = std::filesystem::path(temporaryPathFor(projects));
    std::filesystem::create_directories(projectsBlocker);
    chooseProject(overlay.projects, L"Acme");
    EXPECT_EQ(contextMenuEntries(overlay, today)[2].text.rfind(L"Not saved: " + displayPath(projects), 0), 0u);
    std::filesystem::remove(projectsBlocker);
    retryProjectsSave(overlay.projects);
    EXPECT_FALSE(overlay.projects.error);
    EXPECT_EQ(readBytes(projects), "Acme\r\ntrue\r\nAcme\r\n");
}

TEST_F(MenuCommands, BadLinesMetWhileRunningGiveTheStartUpMessage) {
    writeBytes(stateFile(), "photoshop.exe\r\n10\r\nlots\r\nfalse\r\n0\r\n0\r\n90061\r\n");
    reload();
    try {
        command(loadRecentTimeCommand);
        ADD_FAILURE() << "no error";
    } catch (const SettingsError& error) {
        EXPECT_NE(error.message().find(L"Line 3 (the seconds counted in the previous run) does not start with a whole "
                                       L"number: \"lots\""),
                  std::wstring::npos);
    }
    overlay.dataFile.lines[6] = L"x";
    EXPECT_THROW(contextMenuEntries(overlay, today), SettingsError);
}

}  // namespace

// GetAsyncKeyState reads the physical buttons; a left-handed user's primary button is the right one.
TEST(MouseButtons, ARoleIsReadOnThePhysicalButtonThatPlaysItNow) {
    // VK_LBUTTON 0x01 drags and picks, VK_RBUTTON 0x02 opens the menu, unless they are swapped.
    EXPECT_EQ(virtualKeyOf(MouseButton::primary, false), 0x01);
    EXPECT_EQ(virtualKeyOf(MouseButton::secondary, false), 0x02);
    EXPECT_EQ(virtualKeyOf(MouseButton::primary, true), 0x02);
    EXPECT_EQ(virtualKeyOf(MouseButton::secondary, true), 0x01);
}

// Menus, drop-down lists and tooltips of the program being counted stay above the overlay while
// they are open; any other window above it is covered again.
TEST(StayOnTop, TheOverlayGoesBackOnTopUnlessAPopupIsAboveIt) {
    const struct {
        const char* name;
        std::vector<WindowAbove> above;
        bool raise;
    } cases[] = {
        {"nothing above", {}, false},
        {"an ordinary window", {{L"Notepad"}}, true},
        {"another always-on-top window", {{L"TaskManagerWindow"}}, true},
        {"a menu", {{L"#32768"}}, false},
        {"a menu's shadow and the menu", {{L"SysShadow"}, {L"#32768"}}, false},
        {"a drop-down list", {{L"ComboLBox"}}, false},
        {"a tooltip", {{L"tooltips_class32"}}, false},
        {"a menu of a window that draws its own", {{L"Chrome_WidgetWin_1", true}}, false},
        {"an ordinary window over a menu", {{L"Notepad"}, {L"#32768"}}, false},
        {"a window of its own, the New project dialog", {{L"ArdenoTimeNewProject", false, true}}, false},
    };
    for (const auto& c : cases) EXPECT_EQ(raiseAbove(c.above), c.raise) << c.name;
}

TEST(PlateLook, OpacityFadeAndPointer) {
    const struct {
        int percent;
        bool faded;
        int alpha;
    } alphas[] = {{100, false, 255}, {80, false, 204}, {60, false, 153}, {40, false, 102},
                  {100, true, 64},   {60, true, 38},   {10, false, 26},  {10, true, 7}};
    for (const auto& a : alphas) EXPECT_EQ(plateAlpha(a.percent, a.faded), a.alpha) << a.percent << a.faded;

    // Edges: the first column and row are over the plate, the one past the side is not.
    EXPECT_TRUE(pointerOverPlate(100, 50, 200, 100, 50));
    EXPECT_TRUE(pointerOverPlate(100, 50, 200, 299, 249));
    EXPECT_FALSE(pointerOverPlate(100, 50, 200, 300, 100));
    EXPECT_FALSE(pointerOverPlate(100, 50, 200, 150, 49));
    EXPECT_FALSE(pointerOverPlate(INT_MAX - 10, 0, 200, INT_MIN, 10)) << "no overflow past the coordinate limit";

    // The first frame shows the plate as chosen; a new target fades evenly over 150 ms from where
    // the plate is, also when it turns back half-way.
    PlateFade fade;
    const struct {
        std::uint8_t target;
        std::uint32_t at;
        int alpha;
        bool fading;
    } steps[] = {{255, 1000, 255, false}, {64, 1000, 255, true}, {64, 1075, 160, true}, {64, 1150, 64, false},
                 {64, 9000, 64, false},  {255, 9000, 64, true}, {255, 9030, 102, true}, {64, 9030, 102, true},
                 {64, 9180, 64, false}};
    for (const auto& s : steps) {
        EXPECT_EQ(fade.at(s.target, s.at), s.alpha) << s.at;
        EXPECT_EQ(fade.fading(), s.fading) << s.at;
    }
}

TEST(PlateLook, AFigureOfAnyLengthFitsTheBoxOfEightDigits) {
    const struct {
        std::int32_t seconds;
        const wchar_t* text;
    } figures[] = {{0, L"00:00:00"},
                   {999 * 3600 + 3599, L"999:59:59"},
                   {1000 * 3600, L"1000:00"},
                   {1234 * 3600 + 56 * 60 + 59, L"1234:56"},
                   {INT32_MAX, L"596523:14"}};
    for (const auto& f : figures) EXPECT_EQ(figureText(f.seconds), f.text) << f.seconds;
    EXPECT_FLOAT_EQ(figureShrink(90, 100), 1.0f);
    EXPECT_FLOAT_EQ(figureShrink(100, 100), 1.0f);
    EXPECT_FLOAT_EQ(figureShrink(125, 100), 0.8f);
    EXPECT_FLOAT_EQ(figureShrink(125, 0), 1.0f) << "no box measured: drawn as it is";
}

TEST(PlateLook, TheIconsTooltipSaysWhatTheOverlayShowsAndWhyItIsHidden) {
    const struct {
        IconFacts facts;
        const wchar_t* tip;
    } tips[] = {
        {{OverlayShows::run, 75, 3600, HiddenBy::nothing, false, 0}, L"Ardeno Time\nThis run: 00:01:15\nToday: 01:00:00"},
        {{OverlayShows::today, 3600, 3600, HiddenBy::choice, false, 0},
         L"Ardeno Time\nToday: 01:00:00\nHidden: click the icon to show"},
        {{OverlayShows::project, 7200, 5400, HiddenBy::fullScreen, true, 4},
         L"Ardeno Time\nThis project: 02:00:00\nToday: 01:30:00\nGoal 4 h: 37 % done\nCounting paused\n"
         L"Hidden over a full-screen program"},
        {{OverlayShows::today, 30000, 30000, HiddenBy::nothing, false, 8}, L"Ardeno Time\nToday: 08:20:00\nGoal 8 h: 100 % done"},
    };
    for (const auto& t : tips) {
        EXPECT_EQ(iconTooltip(t.facts), t.tip);
        EXPECT_LE(iconTooltip(t.facts).size(), 127u);
    }
}
