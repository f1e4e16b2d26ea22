// Rules of what the overlay does about the screen around it: full-screen programs in front,
// screen capture, monitors that change, and where the daily goal's line goes on the plate.
#include <gtest/gtest.h>

#include "overlay/full_screen.h"

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

}  // namespace
