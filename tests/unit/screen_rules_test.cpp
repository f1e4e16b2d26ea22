// Rules of what the overlay does about the screen around it: full-screen programs in front,
// screen capture, monitors that change, and where the daily goal's line goes on the plate.
#include <gtest/gtest.h>

#include <climits>

#include "overlay/capture_hiding.h"
#include "overlay/full_screen.h"
#include "overlay/goal_line.h"
#include "overlay/screen_place.h"

namespace {

const ScreenRect first{0, 0, 1920, 1080};
const ScreenRect second{1920, 0, 4480, 1440};

FrontWindow shown(ScreenRect rect) {
    FrontWindow front;
    front.exists = true;
    front.visible = true;
    front.rect = rect;
    return front;
}

TEST(FullScreen, OnlyAnotherProgramCoveringTheOverlaysWholeMonitorHidesIt) {
    const auto with = [](ScreenRect rect, void (*change)(FrontWindow&)) {
        FrontWindow front = shown(rect);
        change(front);
        return front;
    };
    const struct {
        const char* name;
        FrontWindow front;
        ScreenRect overlayMonitor;
        bool hides;
    } cases[] = {
        {"a borderless window exactly covering the monitor", shown(first), first, true},
        {"a game reaching past the monitor's edges", shown({-8, -8, 1928, 1088}), first, true},
        {"one pixel short of the bottom", shown({0, 0, 1920, 1079}), first, false},
        {"a normal window", shown({100, 100, 900, 700}), first, false},
        {"maximised with the taskbar hidden: as big as the monitor, and more",
         with({-8, -8, 1928, 1088}, [](FrontWindow& f) { f.maximised = true; }), first, false},
        {"maximised with DWM's bounds equal to the monitor",
         with(first, [](FrontWindow& f) { f.maximised = true; }), first, false},
        {"borderless on the second monitor, the overlay on the first", shown(second), first, false},
        {"borderless on the second monitor, the overlay there too", shown(second), second, true},
        {"one window over both monitors", shown({0, 0, 4480, 1440}), second, true},
        {"the desktop", with(first, [](FrontWindow& f) { f.shell = true; }), first, false},
        {"a target program full screen keeps the overlay", with(first, [](FrontWindow& f) { f.target = true; }),
         first, false},
        {"minimised", with(first, [](FrontWindow& f) { f.minimised = true; }), first, false},
        {"hidden or cloaked", with(first, [](FrontWindow& f) { f.visible = false; }), first, false},
        {"no window in front", with(first, [](FrontWindow& f) { f.exists = false; }), first, false},
        {"a monitor that could not be read", shown({0, 0, 0, 0}), ScreenRect{}, false},
    };
    for (const auto& c : cases) EXPECT_EQ(hidesOverlay(c.front, c.overlayMonitor), c.hides) << c.name;
}

TEST(FullScreen, TheDesktopAndTaskbarsAreShellWindowsAndNothingElse) {
    for (const wchar_t* name : {L"Progman", L"WorkerW", L"Shell_TrayWnd", L"Shell_SecondaryTrayWnd"})
        EXPECT_TRUE(isShellWindowClass(name));
    for (const wchar_t* name : {L"progman", L"Shell_TrayWnd2", L"", L"Chrome_WidgetWin_1", L"Notepad"})
        EXPECT_FALSE(isShellWindowClass(name));
}

TEST(CaptureHiding, IsOfferedFromWindows10Version2004On) {
    const struct {
        std::uint32_t build;
        bool available;
    } cases[] = {{0, false}, {18363, false}, {19040, false}, {19041, true}, {19045, true}, {22631, true}};
    for (const auto& c : cases) EXPECT_EQ(captureHidingAvailable(c.build), c.available) << c.build;
}

TEST(DisplayChange, ThePlateMovesOnlyWhenItIsOnNoMonitorAndThenToTheMainScreensMiddle) {
    using P = OverlayCore::Point;
    const ScreenRect work{0, 0, 1920, 1040};
    const struct {
        const char* name;
        ScreenRect plate;
        std::vector<ScreenRect> monitors;
        ScreenRect primaryWork;
        std::optional<P> place;
    } cases[] = {
        {"on the second monitor, still there", {2500, 300, 2700, 500}, {first, second}, work, std::nullopt},
        {"the second monitor unplugged", {2500, 300, 2700, 500}, {first}, work, P{860, 420}},
        {"the main screen's resolution lowered", {1500, 800, 1700, 1000}, {{0, 0, 1280, 720}}, {0, 0, 1280, 680},
         P{540, 240}},
        {"one column still on the main screen stays", {1919, 100, 2119, 300}, {first}, work, std::nullopt},
        {"touching the main screen's edge from outside is off it", {1920, 100, 2120, 300}, {first}, work, P{860, 420}},
        {"left of a second monitor to the left of the main one", {-3000, 0, -2800, 200}, {{-2560, 0, 0, 1440}, first},
         work, P{860, 420}},
        {"at 150 %, a larger plate", {5000, 5000, 5300, 5300}, {first}, work, P{810, 370}},
        {"near the int32 limits", {INT_MAX - 300, INT_MIN, INT_MAX - 100, INT_MIN + 200}, {first}, work, P{860, 420}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<P> place = placeAfterDisplayChange(c.plate, c.monitors, c.primaryWork);
        ASSERT_EQ(place.has_value(), c.place.has_value());
        if (place) {
            EXPECT_EQ(place->x, c.place->x);
            EXPECT_EQ(place->y, c.place->y);
        }
    }
}

TEST(DailyGoal, OnlyTheOfferedHoursAreAGoal) {
    const struct {
        int hours;
        std::int32_t seconds;
    } cases[] = {{0, 0}, {2, 7200}, {4, 14'400}, {6, 21'600}, {8, 28'800}, {3, 0}, {-2, 0}, {10, 0}, {INT_MAX, 0}};
    for (const auto& c : cases) EXPECT_EQ(dailyGoalSeconds(c.hours), c.seconds) << c.hours;
}

TEST(DailyGoal, TheLineFillsInProportionFullAtTheGoalAndNeverPastIt) {
    const struct {
        std::int64_t done;
        std::int32_t goal;
        float filled;
        int percent;
    } cases[] = {
        {0, 7200, 0, 0},         {3600, 7200, 72.5f, 50}, {3599, 7200, 72.48f, 49}, {7199, 7200, 144.98f, 99},
        {7200, 7200, 145, 100},  {9000, 7200, 145, 100},  {INT64_MAX, 28'800, 145, 100}, {-5, 7200, 0, 0},
        {3600, 0, 0, 0},         {3600, -7200, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.done) + " of " + std::to_string(c.goal));
        EXPECT_NEAR(goalFilledWidth(145, c.done, c.goal), c.filled, 0.01f);
        EXPECT_EQ(goalPercent(c.done, c.goal), c.percent);
    }
}

// The default skin: "00:00:00" in its font at 28 px measures 145.3 x 33.0 around (100, 98); the
// name is centred on (100, 130) at 12 px and at most 156 wide; base.png's opaque plate spans
// (14, 54) to (187, 151). Lines of 2 px, 3 px clear of the texts.
TEST(DailyGoal, ThePlateIsWhereTheSkinsPictureIsNearlyOpaqueNotItsShadow) {
    const std::uint32_t plate = 0xF1131921, shadow = 0x60000000, edge = 0xC8000000;
    std::vector<std::uint32_t> frame(4 * 4, 0);
    frame[2 * 4 + 1] = plate;
    frame[3 * 4 + 3] = shadow;
    const auto box = visiblePlate(frame, 4);  // 50 of the overlay's pixels to one of the frame
    ASSERT_TRUE(box.has_value());
    EXPECT_FLOAT_EQ(box->left, 50);
    EXPECT_FLOAT_EQ(box->top, 100);
    EXPECT_FLOAT_EQ(box->right, 100);
    EXPECT_FLOAT_EQ(box->bottom, 150);
    frame[0] = edge;  // exactly as opaque as a plate must be
    EXPECT_FLOAT_EQ(visiblePlate(frame, 4)->left, 0);
    EXPECT_FLOAT_EQ(visiblePlate(frame, 4)->top, 0);
    EXPECT_FALSE(visiblePlate(std::vector<std::uint32_t>(16, shadow), 4).has_value());
    EXPECT_FALSE(visiblePlate(frame, 3).has_value());
    EXPECT_FALSE(visiblePlate({}, 0).has_value());
}

// The default skin's plate: base.png's nearly opaque pixels (see the Windows test of it).
constexpr PlateBox defaultPlate{14, 54, 187, 151};

TEST(DailyGoal, TheLineGoesWhereItOverlapsNeitherTheFigureNorTheName) {
    const auto figureAt = [](int y) { return figureBox({100, y}, 145.3f, 33.0f); };
    const auto nameAt = [](float y, float width = 156) {
        return projectNameBox(OverlayCore::ProjectPlace{100, y, 12, width});
    };
    const struct {
        const char* name;
        PlateBox figure;
        std::optional<PlateBox> projectName;
        std::optional<float> top;  // of the line; nothing: no place fits
        PlateBox plate = defaultPlate;
    } cases[] = {
        {"the default skin: below the name", figureAt(98), nameAt(130), 145},
        {"a name low on the plate: above the figure", figureAt(98), nameAt(140), 76.5f},
        {"figure high and name low: between them", figureAt(72), nameAt(140), 107.25f},
        {"a skin that hides names: below the figure", figureAt(98), nameAt(130, 0), 117.5f},
        {"the name above the figure: below the figure", figureAt(98), nameAt(66), 117.5f},
        {"a plate too tight around the figure and the name: no line", figureAt(98), nameAt(130), std::nullopt,
         {14, 78, 187, 146}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<PlateBox> line = goalLinePlace(c.figure, c.projectName, c.plate, 2, 3);
        ASSERT_EQ(line.has_value(), c.top.has_value());
        if (!line) continue;
        EXPECT_FLOAT_EQ(line->top, *c.top);
        EXPECT_FLOAT_EQ(line->bottom, *c.top + 2);
        EXPECT_FLOAT_EQ(line->left, 100 - 145.3f / 2);
        EXPECT_FLOAT_EQ(line->right, 100 + 145.3f / 2);
    }
}

}  // namespace
