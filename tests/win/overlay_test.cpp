// The overlay driven by the real main loop in this process: menu commands arrive as posted
// WM_COMMANDs, the menu is read back from the real HMENU, and program names come from real
// processes.
#include <windows.h>

#include "app/main_loop.h"
#include "common/time_text.h"
#include "history/work_history.h"
#include "input/input_flag.h"
#include "config/app_data_folder_win.h"
#include "config/config_file.h"
#include "overlay/context_menu.h"
#include "overlay/context_menu_win.h"
#include "config/overlay_file.h"
#include "overlay/process_name_win.h"
#include "overlay_fixture.h"
#include "temp_folder.h"

namespace {

class OverlayLoopTest : public OverlayTest {
protected:
    void SetUp() override {
        OverlayTest::SetUp();
        stateFolder = path(commonAppDataFolder()) / L"Ardeno Time";
        std::filesystem::remove_all(stateFolder);
        std::filesystem::create_directories(stateFolder);
        writeBytes(stateFile(), "notepad.exe\r\n10\r\n75\r\nfalse\r\n0\r\n0\r\n90061\r\n");
        scripted = std::make_unique<ScriptedOverlay>();
        scripted->init();
    }
    void TearDown() override {
        scripted.reset();
        OverlayTest::TearDown();
        std::filesystem::remove_all(stateFolder);
    }
    path stateFile() const { return stateFolder / L"data.cfg"; }
    std::vector<std::wstring> lines() const { return parseLines(readBytes(stateFile())); }
    void post(unsigned id, unsigned highWord = 0) {
        PostMessageW(scripted->hwnd, WM_COMMAND, MAKEWPARAM(id, highWord), 0);
    }
    void run() {
        std::vector<Window*> windows{scripted.get()};
        FPSmanager limiter{};
        runMainLoop(windows, limiter);
        quitWindows(windows);
    }

    path stateFolder;
    std::unique_ptr<ScriptedOverlay> scripted;
};

// Reads a real menu back as text: "id text [x] (grayed)", separators as "---", submenus as
// "popup text" with their items in braces.
std::wstring readMenu(HMENU menu) {
    std::wstring text;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        // A submenu's state carries its item count in the high byte, which may look like flags.
        HMENU sub = GetSubMenu(menu, i);
        const UINT state = GetMenuState(menu, i, MF_BYPOSITION) & (sub ? 0xFFu : ~0u);
        wchar_t label[128] = {};
        GetMenuStringW(menu, i, label, 128, MF_BYPOSITION);
        if (state & MF_SEPARATOR) {
            text += L"---\n";
            continue;
        }
        MENUITEMINFOW type{};
        type.cbSize = sizeof type;
        type.fMask = MIIM_FTYPE;
        GetMenuItemInfoW(menu, i, TRUE, &type);
        text += (sub ? L"popup" : std::to_wstring(GetMenuItemID(menu, i))) + L" " + label + ((state & MF_CHECKED) ? L" [x]" : L"") +
                ((state & MF_GRAYED) ? L" (grayed)" : L"") + ((type.fType & MFT_RADIOCHECK) ? L" (radio)" : L"") + L"\n";
        if (sub) text += L"{\n" + readMenu(sub) + L"}\n";
    }
    return text;
}

TEST_F(OverlayLoopTest, CommandsAreCarriedOutBeforeTheNextUpdateAndExitEndsTheLoop) {
    std::vector<std::wstring> seen;
    auto& s = scripted->script;
    s[0] = [&](ScriptedOverlay&) { post(1129, 0x55); };
    s[1] = [&](ScriptedOverlay& o) {
        EXPECT_EQ(o.stopAfterSeconds, 30);
        EXPECT_EQ(lines()[1], L"30");
        post(pinCommand);
    };
    s[2] = [&](ScriptedOverlay& o) {
        RECT rect;
        GetWindowRect(o.hwnd, &rect);
        EXPECT_TRUE(windowFixed);
        EXPECT_EQ(lines()[3], L"true");
        EXPECT_EQ(lines()[4], std::to_wstring(rect.left));
        EXPECT_EQ(lines()[5], std::to_wstring(rect.top));
        EXPECT_EQ(readMenu(buildPopupMenu(contextMenuEntries(o, clock.now.day)).get()),
                  L"0 Total work time : 25hours 1minutes 1seconds\n0 Today : 0hours 0minutes 0seconds\n"
                  L"1133 Work history\n---\n1124 Select target program\n1137 Add target program\n"
                  L"popup Project\n{\n1138 No project [x]\n---\n1139 New project...\n"
                  L"1160 Project from window titles [x]\n}\n---\n"
                  L"1131 Load recent time\n1132 Unfix window position\n---\npopup Time stopping speed\n{\n"
                  L"1126 Stop after 1 seconds\n1127 Stop after 5 seconds\n1128 Stop after 10 seconds\n"
                  L"1129 Stop after 30 seconds [x]\n1130 Stop after 60 seconds\n1134 Stop after 2 minutes\n"
                  L"1135 Stop after 5 minutes\n1136 Stop after 15 minutes\n}\npopup Overlay shows\n{\n"
                  L"1161 This run [x] (radio)\n1162 Today (radio)\n1163 This project (radio)\n}\n"
                  L"popup Overlay look\n{\n1164 Opacity 100 % [x] (radio)\n1165 Opacity 80 % (radio)\n"
                  L"1166 Opacity 60 % (radio)\n1167 Opacity 40 % (radio)\n---\n1169 Click-through\n"
                  L"1171 Hide over full-screen programs [x]\n"
                  // Wine says it is Windows 7: no leaving the overlay out of screen shares there.
                  L"1172 Hide from screen sharing (needs Windows 10 version 2004 or later) (grayed)\n}\n"
                  L"popup Daily goal\n{\n1173 Off [x] (radio)\n1174 2 hours (radio)\n1175 4 hours (radio)\n"
                  L"1176 6 hours (radio)\n1177 8 hours (radio)\n}\n---\n"
                  L"1170 Pause counting\tCtrl+Alt+Shift+P\n1168 Hide overlay\n1125 Exit\n");
        post(1123);
        post(1149);
        post(1150);
        post(0);
        post(loadRecentTimeCommand);
    };
    HANDLE holder = INVALID_HANDLE_VALUE;
    s[3] = [&](ScriptedOverlay& o) {
        EXPECT_EQ(o.currentSeconds, 75);
        EXPECT_EQ(lines()[1], L"30");
        // Another program holds the file without letting it be replaced, as a backup tool does.
        holder = CreateFileW(stateFile().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(holder, INVALID_HANDLE_VALUE);
        post(1127);
    };
    s[4] = [&](ScriptedOverlay& o) {
        EXPECT_EQ(o.saveError.value(), ERROR_ACCESS_DENIED);
        EXPECT_EQ(o.stopAfterSeconds, 5);
        EXPECT_EQ(lines()[1], L"30");
        const std::wstring menu = readMenu(buildPopupMenu(contextMenuEntries(o, clock.now.day)).get());
        const std::wstring expectedStart = L"0 Not saved: " + stateFile().lexically_normal().make_preferred().wstring();
        EXPECT_EQ(menu.rfind(expectedStart, 0), 0u) << menu.c_str();
        EXPECT_NE(menu.find(L"(grayed)\n0 Total work time"), std::wstring::npos) << menu.c_str();
        CloseHandle(holder);
        post(1128);
    };
    s[5] = [&](ScriptedOverlay& o) {
        EXPECT_FALSE(o.saveError);
        EXPECT_EQ(lines()[1], L"10");
        EXPECT_EQ(contextMenuEntries(o, clock.now.day)[0].text, L"Total work time : 25hours 1minutes 1seconds");
        o.currentSeconds = 42;
        o.history.record(L"notepad.exe", L"", 3600, clock.now);  // 13:00 to 14:00 today
        post(showTodayCommand);
    };
    s[7] = [&](ScriptedOverlay& o) {
        EXPECT_EQ(o.frameContent().timeText, L"01:00:00") << "today's hour, not this run's 42 s";
        EXPECT_EQ(readBytes(stateFolder / L"overlay.cfg").substr(0, 7), "today\r\n");
        post(opacityFirstCommand + 2);
    };
    // The notification-area icon is there (Wine's own tray window): the plate may be put away
    // and clicked through, and it counts on meanwhile.
    s[9] = [&](ScriptedOverlay& o) {
        EXPECT_TRUE(o.trayIcon.shown());
        EXPECT_EQ(o.frameContent().alpha, 153);
        post(hideOverlayCommand);
    };
    s[11] = [&](ScriptedOverlay& o) {
        EXPECT_FALSE(IsWindowVisible(o.hwnd));
        EXPECT_NE(o.iconTip(clock.now.day).find(L"Hidden: click the icon to show"), std::wstring::npos);
        post(hideOverlayCommand);
    };
    s[13] = [&](ScriptedOverlay& o) {
        EXPECT_TRUE(IsWindowVisible(o.hwnd));
        post(clickThroughCommand);
    };
    s[15] = [&](ScriptedOverlay& o) {
        EXPECT_NE(GetWindowLongW(o.hwnd, GWL_EXSTYLE) & WS_EX_TRANSPARENT, 0);
        EXPECT_TRUE(o.frameContent().clickThroughMark);
        EXPECT_EQ(parseOverlayFile(readBytes(stateFolder / L"overlay.cfg")).choices.opacity, 60);
        post(exitCommand, 0xBEEF);
    };
    run();
    EXPECT_EQ(scripted->frame, 17) << "Exit ends the loop after the frame that handled it";
    EXPECT_TRUE(scripted->closed);
    EXPECT_EQ(lines(), (std::vector<std::wstring>{L"notepad.exe", L"10", L"42", L"true", lines()[4], lines()[5],
                                                   L"90061"}));
}

// "New project..." opens its dialog on a thread of its own: the frames go on while it is open, the
// overlay keeps it above itself, Enter takes the name typed (trimmed), and Escape takes nothing.
TEST_F(OverlayLoopTest, TheNewProjectDialogRunsBesideTheFramesAndEnterOrEscapeCloseIt) {
    HWND dialog = nullptr, edit = nullptr;
    const auto openDialog = [&](ScriptedOverlay& o, const wchar_t* typed) {
        dialog = waitFor([&] { return o.newProjectDialog.window(); });
        ASSERT_NE(dialog, nullptr);
        edit = FindWindowExW(dialog, nullptr, L"Edit", nullptr);
        SetWindowTextW(edit, typed);
    };
    const auto above = [](HWND window, HWND below) {
        for (HWND w = GetWindow(below, GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV))
            if (w == window) return true;
        return false;
    };
    auto& s = scripted->script;
    s[1] = [&](ScriptedOverlay&) { post(newProjectCommand); };
    s[3] = [&](ScriptedOverlay& o) {
        openDialog(o, L"  Acme & Co ");
        wchar_t title[32] = {};
        GetWindowTextW(dialog, title, 32);
        EXPECT_STREQ(title, L"New project");
    };
    s[23] = [&](ScriptedOverlay& o) {
        EXPECT_TRUE(IsWindowVisible(dialog)) << "open while twenty frames ran";
        EXPECT_TRUE(above(dialog, o.hwnd)) << "the overlay, raised a few times meanwhile, is under it";
        PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
    };
    s[33] = [&](ScriptedOverlay& o) {
        EXPECT_FALSE(IsWindow(dialog));
        EXPECT_EQ(o.projects.settings.current, L"Acme & Co");
        EXPECT_EQ(readBytes(stateFolder / L"projects.cfg"), "Acme & Co\r\ntrue\r\nAcme & Co\r\n");
        post(newProjectCommand);
    };
    s[36] = [&](ScriptedOverlay& o) {
        openDialog(o, L"Globex");
        PostMessageW(edit, WM_KEYDOWN, VK_ESCAPE, 0);
    };
    s[46] = [&](ScriptedOverlay& o) {
        EXPECT_FALSE(IsWindow(dialog));
        EXPECT_EQ(o.projects.settings.current, L"Acme & Co");
        o.closed = true;
    };
    run();
}

// A monitor that was removed leaves the pinned place off every screen; it stays stored for the
// day the monitor is back.
TEST_F(OverlayLoopTest, PinnedPlaceOffTheScreenOpensOnItAndStaysStored) {
    RECT work{};
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
    const struct {
        long storedX, storedY, x, y;
    } cases[] = {
        {work.right + 5000, work.bottom + 5000, (work.left + work.right - 200) / 2, (work.top + work.bottom - 200) / 2},
        {work.right - 100, work.top + 100, work.right - 200, work.top + 100},
        {work.left + 30, work.top + 40, work.left + 30, work.top + 40},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.storedX);
        const std::string saved = "notepad.exe\r\n10\r\n75\r\ntrue\r\n" + std::to_string(c.storedX) + "\r\n" +
                                  std::to_string(c.storedY) + "\r\n90061\r\n";
        writeBytes(stateFile(), saved);
        Base pinned;
        pinned.init();
        RECT rect{};
        GetWindowRect(pinned.hwnd, &rect);
        EXPECT_EQ(rect.left, c.x);
        EXPECT_EQ(rect.top, c.y);
        EXPECT_EQ(readBytes(stateFile()), saved);
    }
}

// While it runs, its monitor goes away (unplugged, undocked) or a new resolution leaves it off every
// monitor: it moves as a start with such a place does, and the pinned place stays stored. On a
// monitor still, a display change leaves it where it is.
TEST_F(OverlayLoopTest, ADisplayChangeThatLeavesThePlateOnNoMonitorBringsItBackAndKeepsThePin) {
    RECT work{};
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
    const std::string saved = "notepad.exe\r\n10\r\n75\r\ntrue\r\n" + std::to_string(work.left + 30) + "\r\n" +
                              std::to_string(work.top + 40) + "\r\n90061\r\n";
    writeBytes(stateFile(), saved);
    Base pinned;
    pinned.init();
    std::uint32_t elapsed = 0;
    const auto changeAt = [&](int x, int y) {
        SetWindowPos(pinned.hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(pinned.hwnd, WM_DISPLAYCHANGE, 32, MAKELPARAM(work.right, work.bottom));
        pinned.update(elapsed);
        RECT rect{};
        GetWindowRect(pinned.hwnd, &rect);
        return rect;
    };
    const RECT kept = changeAt(work.left + 60, work.top + 70);
    EXPECT_EQ(kept.left, work.left + 60) << "on a monitor: left where it is";
    EXPECT_EQ(kept.top, work.top + 70);
    const RECT back = changeAt(work.right + 5000, work.bottom + 5000);
    EXPECT_EQ(back.left, (work.left + work.right - 200) / 2);
    EXPECT_EQ(back.top, (work.top + work.bottom - 200) / 2);
    EXPECT_EQ(readBytes(stateFile()), saved) << "the pinned place stays for when that monitor is back";
}

// No data.cfg before this start: a note beside the overlay, taken along when the overlay moves,
// and there until the newcomer right-clicks the plate or counts a first second. (tests/journey.sh
// shows it with the real program.)
TEST_F(OverlayLoopTest, TheFirstStartShowsANoteBesideTheOverlayThatWaitsForTheNewcomer) {
    std::filesystem::remove_all(stateFolder);
    Base first;
    first.init();
    const HWND note = first.firstStartNote.window();
    ASSERT_NE(note, nullptr);
    RECT overlay{}, beside{}, moved{};
    GetWindowRect(first.hwnd, &overlay);
    GetWindowRect(note, &beside);
    SetWindowPos(first.hwnd, nullptr, overlay.left - 100, overlay.top + 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    GetWindowRect(note, &moved);
    EXPECT_EQ(moved.left - beside.left + (moved.top - beside.top) * 1000, -100 + 50 * 1000);
    // No time limit: a newcomer who looked away still finds it.
    std::uint32_t elapsed = 0;
    first.update(elapsed);
    first.update(elapsed);
    EXPECT_EQ(first.firstStartNote.window(), note);
}

// Dragged onto a monitor at 150 %: Windows suggests the place and size there, and the overlay
// takes that monitor's scale. Pinned, it stores its place in screen pixels, unscaled.
TEST_F(OverlayLoopTest, AnnouncedDpiChangeTakesTheSuggestedPlaceAndTheNewScale) {
    auto& s = scripted->script;
    s[1] = [](ScriptedOverlay& o) {
        RECT suggested{420, 260, 720, 560};
        SendMessageW(o.hwnd, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
        RECT rect{};
        GetWindowRect(o.hwnd, &rect);
        EXPECT_EQ(rect.left, 420);
        EXPECT_EQ(rect.top, 260);
        EXPECT_EQ(rect.right - rect.left, 300);
        EXPECT_EQ(rect.bottom - rect.top, 300);
        EXPECT_EQ(o.frameContent().scale.dpi(), 144);
    };
    s[2] = [&](ScriptedOverlay&) { post(pinCommand); };
    s[3] = [&](ScriptedOverlay& o) {
        EXPECT_EQ(lines()[3] + L" " + lines()[4] + L" " + lines()[5], L"true 420 260");
        o.closed = true;
    };
    run();
}

// The system may remove low-level hooks (one answered too slowly) and they see no input aimed
// at an elevated window; this process has none at all, and typing still counts.
TEST_F(OverlayLoopTest, TypingIntoTheTargetCountsWithoutTheHooks) {
    const Notepad notepad;
    ASSERT_NE(notepad.window, nullptr);
    SetForegroundWindow(notepad.window);

    INPUT keys[2]{};
    keys[0].type = keys[1].type = INPUT_KEYBOARD;
    keys[0].ki.wVk = keys[1].ki.wVk = 'A';
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    for (int frame = 0; frame < 90; frame += 6)
        scripted->script[frame] = [&](ScriptedOverlay&) { SendInput(2, keys, sizeof(INPUT)); };
    // Going to sleep ends the spell at once, inside the window procedure that is told.
    scripted->script[100] = [](ScriptedOverlay& o) {
        EXPECT_TRUE(o.active);
        SendMessageW(o.hwnd, WM_POWERBROADCAST, PBT_APMSUSPEND, 0);
        EXPECT_FALSE(o.active);
        o.closed = true;
    };
    run();
    EXPECT_FALSE(inputSeen) << "no hook ran in this process";
    EXPECT_GE(scripted->currentSeconds, 2);
    EXPECT_EQ(lines()[6], std::to_wstring(90061 + scripted->currentSeconds));
}

// A spell that runs on across local midnight: the seconds before it stay with the day that
// ended, the rest go to the new day, which the menu and the overlay's "Today" then call today.
TEST_F(OverlayLoopTest, ASpellAcrossMidnightGivesEachDayItsOwnSeconds) {
    const Notepad notepad;
    ASSERT_NE(notepad.window, nullptr);
    SetForegroundWindow(notepad.window);
    const DayNumber ending = clock.now.day;
    const LocalMoment start{ending, secondsPerDay - 3};  // 23:59:57

    INPUT keys[2]{};
    keys[0].type = keys[1].type = INPUT_KEYBOARD;
    keys[0].ki.wVk = keys[1].ki.wVk = 'A';
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    auto& s = scripted->script;
    // The local clock goes on a second every 30 frames; typing for five seconds, then none.
    for (int frame = 0; frame < 240; ++frame)
        s[frame] = [&, frame](ScriptedOverlay&) {
            const std::int32_t second = start.secondOfDay + frame / 30;
            clock.now = {ending + second / secondsPerDay, second % secondsPerDay};
            if (frame == 0) {
                post(stopAfterFirstCommand);
                post(showTodayCommand);
            }
            if (frame < 150 && frame % 6 == 0) SendInput(2, keys, sizeof(INPUT));
        };
    s[240] = [&](ScriptedOverlay& o) {
        EXPECT_FALSE(o.active) << "the spell ended a second after the typing";
        const std::int64_t before = secondsOnDay(o.history.rows(), ending);
        const std::int64_t after = secondsOnDay(o.history.rows(), ending + 1);
        EXPECT_GE(before, 1) << "counted at 23:59:58 and 23:59:59";
        EXPECT_GE(after, 2) << "counted after midnight";
        EXPECT_EQ(before + after, o.currentSeconds);
        EXPECT_EQ(contextMenuEntries(o, clock.now.day)[1].text, todayWorkText(after));
        EXPECT_EQ(o.frameContent().timeText, timeText(static_cast<std::int32_t>(after)));
        o.closed = true;
    };
    run();
}

// A Store app's window in front is its frame, drawn by ApplicationFrameHost.exe; the app is a
// child window of its own process inside it. The pick and the counting both name the app.
TEST_F(OverlayLoopTest, AStoreAppIsNamedByItsContentWhenPickedAndWhenItsFrameIsInFront) {
    const path apps = folder / L"apps";
    std::filesystem::create_directories(apps);
    for (const wchar_t* name : {L"ApplicationFrameHost.exe", L"StoreApp.exe"})
        std::filesystem::copy_file(path(binaryFolder()) / L"hosted_window.exe", apps / name);
    const StandIn host((apps / L"ApplicationFrameHost.exe").wstring(), L"frame");
    const HWND frame = waitFor([] { return FindWindowW(L"ApplicationFrameWindow", L"Hosted app"); });
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(foregroundProgramName(frame), L"ApplicationFrameHost.exe") << "a frame that holds no app yet";

    const StandIn app((apps / L"StoreApp.exe").wstring(),
                      L"content " + std::to_wstring(reinterpret_cast<INT_PTR>(frame)));
    const HWND content =
        waitFor([&] { return FindWindowExW(frame, nullptr, L"Windows.UI.Core.CoreWindow", nullptr); });
    ASSERT_NE(content, nullptr);
    RECT rect{};
    GetWindowRect(content, &rect);
    const POINT middle{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    EXPECT_EQ(foregroundProgramName(WindowFromPoint(middle)), L"StoreApp.exe") << "the window a pick clicks";
    EXPECT_EQ(foregroundProgramName(frame), L"StoreApp.exe") << "the frame in front";

    // Counted with the frame in front, against a target spelt in another case.
    ASSERT_TRUE(pickTarget(*scripted, L"storeapp.exe", [&] { scripted->loadState(); }));
    SetForegroundWindow(frame);
    ASSERT_TRUE(waitFor([&] { return GetForegroundWindow() == frame; }));
    for (int frameNumber = 0; frameNumber < 60; frameNumber += 3)
        scripted->script[frameNumber] = [](ScriptedOverlay&) { inputSeen = true; };
    scripted->script[75] = [](ScriptedOverlay& o) { o.closed = true; };
    run();
    EXPECT_GE(scripted->currentSeconds, 1);
}

TEST(ProgramName, IsTheExecutablesFileNameWhileItsProcessRuns) {
    Notepad notepad;
    const HWND window = notepad.window;
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(foregroundProgramName(window), L"notepad.exe");
    EXPECT_EQ(foregroundProgramName(GetWindow(window, GW_CHILD)), L"notepad.exe") << "its edit control";
    EXPECT_EQ(foregroundProgramName(nullptr), L"");

    notepad.end();
    EXPECT_EQ(foregroundProgramName(window), L"") << "a process that has ended";
}

}  // namespace
