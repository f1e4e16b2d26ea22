// The overlay against real windows: a full-screen window in front, the pause hotkey, capture
// hiding and the monitors there are.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/platform_session_win.h"
#include "overlay/goal_line.h"
#include "overlay/render_win.h"
#include "process_harness.h"

#include "common/window_handles_win.h"
#include "overlay/capture_hiding_win.h"
#include "overlay/full_screen_win.h"
#include "overlay/pause_hotkey_win.h"
#include "overlay/screen_place_win.h"

namespace {

HWND window(const wchar_t* className, const wchar_t* title, DWORD style, RECT at, DWORD exStyle = 0) {
    return CreateWindowExW(exStyle, className, title, style | WS_VISIBLE, at.left, at.top, at.right - at.left,
                           at.bottom - at.top, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

RECT screen() { return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

// Messages of this thread until `done` says so or `ms` milliseconds have passed.
template <class Done>
bool pumpUntil(Done done, int ms = 3000) {
    for (int i = 0; i < ms / 10; ++i) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (done(message)) return true;
            DispatchMessageW(&message);
        }
        Sleep(10);
    }
    return false;
}

// Ctrl+Alt+Shift+P from X, as a person types it, with X's focus on the window titled `title`:
// xdotool, a Linux program, started from this Wine process. Returns at once.
bool pressPauseKeysInX(const std::wstring& title) {
    std::wstring command = L"Z:\\bin\\sh -c \"w=$(xdotool search --name '^" + title +
                           L"$' | head -n 1); xdotool windowfocus --sync $w; xdotool key ctrl+alt+shift+p\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

TEST(FullScreenWin, ABorderlessPopupOverTheWholeScreenHidesTheOverlayANormalOrMaximisedWindowDoesNot) {
    const OwnedWindow overlay(window(L"STATIC", L"overlay", WS_POPUP, {100, 100, 300, 300}, WS_EX_TOPMOST));
    const ScreenRect monitor = monitorOf(overlay.get());
    EXPECT_EQ(monitor.right - monitor.left, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(monitor.bottom - monitor.top, GetSystemMetrics(SM_CYSCREEN));

    const OwnedWindow video(window(L"STATIC", L"video", WS_POPUP, screen()));
    FrontWindow front = frontWindowFacts(video.get());
    EXPECT_TRUE(front.exists && front.visible && !front.maximised && !front.shell);
    EXPECT_TRUE(hidesOverlay(front, monitor));
    front.target = true;  // a drawing program's canvas-only mode
    EXPECT_FALSE(hidesOverlay(front, monitor));
    ShowWindow(video.get(), SW_MINIMIZE);
    EXPECT_FALSE(hidesOverlay(frontWindowFacts(video.get()), monitor));

    const OwnedWindow editor(window(L"STATIC", L"editor", WS_OVERLAPPEDWINDOW, {200, 150, 900, 700}));
    EXPECT_FALSE(hidesOverlay(frontWindowFacts(editor.get()), monitor));
    ShowWindow(editor.get(), SW_MAXIMIZE);
    front = frontWindowFacts(editor.get());
    EXPECT_TRUE(front.maximised);
    EXPECT_FALSE(hidesOverlay(front, monitor));

    EXPECT_FALSE(frontWindowFacts(nullptr).exists);
}

// A player's full-screen button or F11: the same window, in front all along, loses its frame
// and grows over the screen, then goes back.
TEST(FullScreenWin, AWindowThatGoesFullScreenAndBackInFrontIsSeenBothTimes) {
    const OwnedWindow overlay(window(L"STATIC", L"overlay", WS_POPUP, {100, 100, 300, 300}, WS_EX_TOPMOST));
    const ScreenRect monitor = monitorOf(overlay.get());
    const OwnedWindow player(window(L"STATIC", L"player", WS_OVERLAPPEDWINDOW, {200, 150, 900, 700}));
    EXPECT_FALSE(hidesOverlay(frontWindowFacts(player.get()), monitor));
    const LONG_PTR framed = GetWindowLongPtrW(player.get(), GWL_STYLE);
    SetWindowLongPtrW(player.get(), GWL_STYLE, (framed & ~WS_OVERLAPPEDWINDOW) | WS_POPUP);
    const RECT all = screen();
    SetWindowPos(player.get(), HWND_TOP, all.left, all.top, all.right, all.bottom, SWP_FRAMECHANGED);
    EXPECT_TRUE(hidesOverlay(frontWindowFacts(player.get()), monitor));
    SetWindowLongPtrW(player.get(), GWL_STYLE, framed);
    SetWindowPos(player.get(), HWND_TOP, 200, 150, 700, 550, SWP_FRAMECHANGED);
    EXPECT_FALSE(hidesOverlay(frontWindowFacts(player.get()), monitor));
}

// This test program stands for both: another program's video, and a target's canvas-only mode.
TEST(FullScreenWin, OnlyAFullScreenWindowOfAProgramThatIsNoTargetHidesTheOverlay) {
    const OwnedWindow overlay(window(L"STATIC", L"overlay", WS_POPUP, {100, 100, 300, 300}, WS_EX_TOPMOST));
    const OwnedWindow canvas(window(L"STATIC", L"canvas", WS_POPUP, screen()));
    const OwnedWindow editor(window(L"STATIC", L"editor", WS_OVERLAPPEDWINDOW, {200, 150, 900, 700}));
    ProgramNames names;
    const ScreenRect monitor = monitorOf(overlay.get());
    EXPECT_TRUE(fullScreenHidesOverlay(monitor, canvas.get(), {L"notepad.exe"}, names));
    EXPECT_FALSE(fullScreenHidesOverlay(monitor, canvas.get(), {L"notepad.exe", L"WIN_TESTS.EXE"}, names));
    EXPECT_FALSE(fullScreenHidesOverlay(monitor, editor.get(), {L"notepad.exe"}, names));
    EXPECT_FALSE(fullScreenHidesOverlay(monitor, nullptr, {L"notepad.exe"}, names));
}

TEST(FullScreenWin, TheDesktopCoveringTheScreenIsNeverFullScreen) {
    WNDCLASSEXW description{};
    description.cbSize = sizeof description;
    description.lpfnWndProc = DefWindowProcW;
    description.hInstance = GetModuleHandleW(nullptr);
    description.lpszClassName = L"WorkerW";
    const WindowClass desktopClass(description);
    ASSERT_TRUE(desktopClass);
    const OwnedWindow overlay(window(L"STATIC", L"overlay", WS_POPUP, {100, 100, 300, 300}));
    const OwnedWindow desktop(window(L"WorkerW", L"", WS_POPUP, screen()));
    const FrontWindow front = frontWindowFacts(desktop.get());
    EXPECT_TRUE(front.shell);
    EXPECT_FALSE(hidesOverlay(front, monitorOf(overlay.get())));
}

TEST(PauseHotkeyWin, RegistersForItsWindowReportsWhenTakenAndFreesTheKeysWhenItGoes) {
    const OwnedWindow first(window(L"STATIC", L"pause hotkey test", WS_POPUP, {0, 0, 100, 100}));
    const OwnedWindow second(window(L"STATIC", L"another program", WS_POPUP, {0, 0, 100, 100}));
    {
        const PauseHotkey hotkey(first.get());
        EXPECT_TRUE(hotkey.registered());
        EXPECT_FALSE(hotkey.taken());
        EXPECT_EQ(hotkey.error(), 0u);
        const PauseHotkey again(second.get(), pauseHotkeyId + 1);
        EXPECT_FALSE(again.registered());
        EXPECT_TRUE(again.taken());
        EXPECT_EQ(again.error(), 1409u);  // ERROR_HOTKEY_ALREADY_REGISTERED
        EXPECT_TRUE(hotkey.pressed(WM_HOTKEY, pauseHotkeyId));
        EXPECT_FALSE(hotkey.pressed(WM_HOTKEY, pauseHotkeyId + 1));
        EXPECT_FALSE(again.pressed(WM_HOTKEY, pauseHotkeyId + 1));
    }
    const PauseHotkey later(second.get());
    EXPECT_TRUE(later.registered());
}

TEST(PauseHotkeyWin, CtrlAltShiftPTypedInXReachesTheWindowAsWmHotkey) {
    const OwnedWindow target(window(L"STATIC", L"pause hotkey keys", WS_POPUP, {50, 50, 250, 250}, WS_EX_TOPMOST));
    const PauseHotkey hotkey(target.get());
    ASSERT_TRUE(hotkey.registered());
    pumpUntil([](const MSG&) { return false; }, 300);  // shown and mapped in X before the keys come
    ASSERT_TRUE(pressPauseKeysInX(L"pause hotkey keys")) << GetLastError();
    EXPECT_TRUE(pumpUntil([&](const MSG& message) { return hotkey.pressed(message.message, message.wParam); }));
}

// The notification icon's window may be one that only takes messages: the keys still reach it
// while another window of the program has X's focus.
TEST(PauseHotkeyWin, AMessageOnlyWindowGetsTheHotkeyToo) {
    const OwnedWindow icon(CreateWindowExW(0, L"STATIC", L"icon", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                           GetModuleHandleW(nullptr), nullptr));
    ASSERT_TRUE(icon.get());
    const OwnedWindow focus(window(L"STATIC", L"pause hotkey focus", WS_POPUP, {50, 50, 250, 250}, WS_EX_TOPMOST));
    const PauseHotkey hotkey(icon.get());
    ASSERT_TRUE(hotkey.registered());
    pumpUntil([](const MSG&) { return false; }, 300);
    ASSERT_TRUE(pressPauseKeysInX(L"pause hotkey focus")) << GetLastError();
    EXPECT_TRUE(pumpUntil([&](const MSG& message) {
        return message.hwnd == icon.get() && hotkey.pressed(message.message, message.wParam);
    }));
}

TEST(CaptureHidingWin, TheBuildIsReadAndARefusedRequestLeavesTheWindowAsItWas) {
    const std::uint32_t build = windowsBuildNumber();
    EXPECT_GT(build, 0u);
    const OwnedWindow overlay(window(L"STATIC", L"overlay", WS_POPUP, {100, 100, 300, 300}));
    const DWORD error = setHiddenFromCapture(overlay.get(), true);
    DWORD affinity = 0xFFFF;
    const BOOL read = GetWindowDisplayAffinity(overlay.get(), &affinity);
    std::printf("build %u, hiding from capture: error %lu, affinity read %d as 0x%lx\n", static_cast<unsigned>(build),
                error, read, affinity);
    if (error == 0) {
        EXPECT_EQ(affinity, 0x11u);
        EXPECT_EQ(setHiddenFromCapture(overlay.get(), false), 0u);
        ASSERT_TRUE(GetWindowDisplayAffinity(overlay.get(), &affinity));
        EXPECT_EQ(affinity, static_cast<DWORD>(WDA_NONE));
    } else if (read) {
        EXPECT_EQ(affinity, static_cast<DWORD>(WDA_NONE));
    }
}

TEST(DisplayChangeWin, APlateOnAMonitorStaysAndOneOffEveryMonitorGoesToTheMainScreensMiddle) {
    const OwnedWindow overlay(window(L"STATIC", L"overlay", WS_POPUP, {100, 100, 300, 300}));
    EXPECT_FALSE(placeAfterDisplayChangeOnScreen(overlay.get()).has_value());
    SetWindowPos(overlay.get(), nullptr, 20000, 20000, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    const auto place = placeAfterDisplayChangeOnScreen(overlay.get());
    ASSERT_TRUE(place.has_value());
    MONITORINFO primary{};
    primary.cbSize = sizeof primary;
    ASSERT_TRUE(GetMonitorInfoW(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &primary));
    const RECT& work = primary.rcWork;
    EXPECT_EQ(place->x, work.left + (work.right - work.left - 200) / 2);
    EXPECT_EQ(place->y, work.top + (work.bottom - work.top - 200) / 2);
}

// The plate the goal line must stay on, read from the default skin's picture as the frame draws
// it, at 100 % and at 150 %.
TEST(GoalLineWin, TheDefaultSkinsPlateIsFoundInItsPicture) {
    SDL_SetMainReady();
    const PlatformSession session;
    const std::wstring picture = binaryFolder() + L"\\data\\base.png";
    Gdiplus::Image base(picture.c_str());
    ASSERT_EQ(base.GetLastStatus(), Gdiplus::Ok);
    FrameCache cache;
    for (const int side : {200, 300}) {
        SCOPED_TRACE(side);
        const auto plate = visiblePlate(cache.plateFor(&base, side), side);
        ASSERT_TRUE(plate.has_value());
        EXPECT_NEAR(plate->left, 14, 1);
        EXPECT_NEAR(plate->top, 54, 1);
        EXPECT_NEAR(plate->right, 187, 1);
        EXPECT_NEAR(plate->bottom, 151, 1);
    }
}

}  // namespace
